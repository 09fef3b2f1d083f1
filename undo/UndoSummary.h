// What the undo store tells about its runs and about an undo, and the user's text of it.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which face of the program made a run.
enum class UndoFace { Window, CommandLine };

// What a run was asked to do, as its record keeps it. Records made before these were kept
// have none of it: every field empty.
struct UndoRunWhat {
    std::string operation;  // the operation's command-line name ("lines-containing")
    std::string condition;  // its text, or the line number; empty for the blank lines
    std::string folder;     // the output folder; empty in place
    bool inPlace = false;   // each result in place of its file
};

// One run in the store, as a menu entry shows it: "Undo Last Run (12 files, 3.4 MB)".
struct UndoRunInfo {
    QString name;       // the run folder's name
    QDateTime started;  // UTC
    UndoFace face = UndoFace::Window;
    std::size_t files = 0;        // files replaced or created
    std::uint64_t bytesKept = 0;  // the space the kept files hold
    bool inProgress = false;      // a process is still recording it (it cannot be undone yet)
    UndoRunWhat what;
    // The files still as the run left them, which an undo would put back or remove now
    // (UndoStore::listRuns() only).
    std::size_t restorable = 0;
    std::string folder;  // the folder that holds the files it wrote (listRuns() only)
};

// What an undo did.
struct UndoSummary {
    enum class Outcome {
        Done,           // the run was undone (see the lists; some files may have failed)
        NothingToUndo,  // no run in the store
        RunInProgress,  // the newest run is still being recorded by a process: nothing done
        StoreFailed,    // the store could not be read or locked (storeError): nothing done
        NotFound,       // the run asked for is not in the store (or holds nothing to undo)
        Damaged,        // the run's record does not read whole (damage): nothing done, kept
    };
    enum class Reason {
        Changed,  // another file or other content is at the target since the run
        Gone,     // the file that the run wrote is no longer there
    };
    struct LeftAlone {
        std::string path;  // the file system's bytes, as recorded
        Reason reason;
    };
    struct Failure {
        std::string path;
        int error;  // errno
    };
    // A file restored without some of what the original had: extended attributes that only a
    // privileged process may set, which the copy kept in the store or the copy put back could
    // not take ("security.selinux"), or its "owner" or "group" where this user may not give the
    // copy another.
    struct NotKept {
        std::string path;
        std::vector<std::string> what;  // attribute names, "owner", "group"
    };

    Outcome outcome = Outcome::NothingToUndo;
    bool chosen = false;                // a run chosen by name, not the last
    bool dryRun = false;                // what it would do: nothing was changed
    int storeError = 0;                 // with StoreFailed
    std::optional<UndoRunInfo> run;     // the run taken back (Done, RunInProgress)
    std::vector<std::string> restored;  // originals put back
    std::vector<std::string> removed;   // files the run created, removed
    std::vector<LeftAlone> leftAlone;   // changed since the run: not touched
    std::vector<Failure> failed;        // could not be put back; kept for the next undo
    std::vector<NotKept> notKept;       // restored (and listed so), but not with everything
    std::size_t nothingToDo = 0;        // records the run never carried out (killed between)
    std::size_t notReached = 0;         // stopped before these files: kept for the next undo
    std::string damage;                 // with Damaged: what keeps the record from reading
};

// The user's text of a summary, one line per item: "Restored: /home/ann/a.htm",
// "Removed: ...", "Left alone, changed since the run: ...", "Not restored, Permission denied:
// ...", "Restored without security.selinux, owner: ...". Paths are shown as the file system's
// bytes read as UTF-8 (Readable: what is not valid as U+FFFD), or in the text that gives any
// bytes back (Exact: files/PathText.h), for a caller that prints them as the bytes they are.
enum class UndoPaths { Readable, Exact };
QStringList DescribeUndo(const UndoSummary &summary, UndoPaths paths = UndoPaths::Readable);
