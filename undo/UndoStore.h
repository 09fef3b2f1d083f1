// The undo store: every run keeps the files it replaces, so that the last run can be taken back.
//
// Where: $XDG_DATA_HOME/Brindlewick/Strelmark/undo/ (QStandardPaths' GenericDataLocation), or
// the folder given to the constructor. Each run that replaced or created anything has a folder
// of its own there, named by its start time so that names sort by time and two processes never
// pick the same one:
//
//     20250114T093012.345678Z-0012345-0001/      UTC start, microseconds, process id, counter
//         manifest                               the run's record (below)
//         k1, k2, ...                            the kept files: the replaced originals
//         notkept                                what copies among them could not keep (below)
//
// The manifest is text, one item a line, each line ending in LF:
//
//     strelmark-undo 2                           format and version (1: no hashes)
//     face window                                "window" or "command line"
//     started 2025-01-14T09:30:12.345Z           UTC, ISO 8601
//     operation lines-containing                 what the run was asked to do (each line
//     condition meta%20http                      optional, escaped as a <target>; older
//     folder /home/ann/out                       records have none): the operation's name,
//                                                its condition, the output folder, or
//                                                "in-place" instead of the folder
//     R <target> <kept> <old identity> <kept bytes> <new identity> <hash>    a replaced file
//     C <target> - <old identity> <kept bytes> <new identity> <hash>         a created file
//     ...
//     end <records> <kept bytes>                 written when the run finishes (a summary only)
//
//   <target>        the file's path, absolute, symbolic links resolved, as the file system's
//                   bytes: bytes 0x21 to 0x7E stand for themselves except '%'; every other byte
//                   is %XX (two upper-case hex digits), so any name round-trips and fields are
//                   separated by single spaces.
//   <kept>          the kept file's name in the run folder; "-" for a created file.
//   <identity>      four decimal numbers: device, inode, size, modification time in nanoseconds
//                   since the epoch. The old identity is the replaced file's (the kept file's,
//                   for a hard link); 0 0 0 0 for a created file. The new identity is the result
//                   that the run puts at the target.
//   <kept bytes>    the space the kept file holds (st_blocks * 512); 0 for a created file.
//   <hash>          the hash of the result's bytes (undo/ContentHash.h), 16 hex digits; left
//                   out where the run could not read the result back (and in format 1).
//
// A line that is not complete (no LF: a write torn by a crash) or does not read as one of these
// is ignored. The records of a group are appended and made durable together with the kept files
// (one syncfs of the store's file system: the manifest's data, the run folder's new entries, the
// copies) before recordGroup() returns, and so before any result is renamed into place: a run
// killed at any moment leaves either a usable record of what it replaced or no record and no
// replacement.
//
// Keeping a file: a hard link into the run folder (no copy, near-zero cost; the kept file's
// identity is the one the writer found, when the commit queue passes it on); where the file
// system refuses one (another file system, a link count at its limit, a file this user may not
// link) a copy that keeps the bytes, the permission bits, the owner and group (where allowed),
// the extended attributes and the ACL, and the access and modification times. The copy follows
// the program's one policy for metadata (posix/Attributes.h), as a run's results do: a user.*
// attribute or an ACL that it cannot take fails the keeping of that file, which is then not
// replaced. What it may leave behind (attributes that only a privileged process may set, an
// owner or group this user may not give) is noted in the run folder's "notkept", one line per
// kept file in the group's record ("k3 security.selinux owner", each item escaped as a
// <target>), and the undo that puts the file back names it.
//
// Undo of the last run, record by record, newest first:
// - a replaced file still as the run left it (same device, inode, size and modification time at
//   the target, a symbolic link there not followed, and bytes of the recorded hash: an edit of
//   the same size in the same clock tick, or with its time set back, is a change) is put back
//   atomically, as a run puts its results in place (files/Placement.h): the kept file is
//   linked to a temporary name beside the target and renamed over it by a helper process, so
//   that a kill of the undo at any moment leaves no such name; a kept file on another file
//   system is first copied, with its
//   metadata, into an unnamed file in the target's folder, which is then placed so (a copy
//   that cannot take a user.* attribute or the ACL fails, as when keeping). The original comes
//   back with every byte, its permissions, owner and extended attributes; what the store's
//   copy or the copy put back could not keep is named in the summary;
// - a created file still as the run left it is removed;
// - a file changed since the run (other content, another file) is left alone and listed; one
//   that later runs wrote again, each over what the one before left, is not (undo/Chain.h);
// - a replaced file that is no longer there (its folder renamed or moved) fails, and keeps its
//   original for the next undo;
// - a target that the run recorded but never replaced (it was killed in between: the file there
//   is still the original), or where an undo cut short has put a copy of the original back
//   already (the original's size and modification time), needs nothing, and says nothing.
// The run's folder is then removed, so that the next undo takes the run before it. When some
// files could not be put back or removed (a failure), the run stays with only those files'
// records, and their kept originals stay with them: the next undo tries them again. A run whose
// record does not read whole (a line that does not read, an end whose count the records do not
// make, kept files that no record names, a later format) is neither undone nor passed over for
// the run before it: undo answers Damaged, keeps it as it is, and takes it back only when told
// to (UndoOptions::force), as far as its records read.
//
// Bounds, applied when a run finishes: the newest 20 runs, and together at most
// min(2 GB, 10% of the free space of the store's file system); the oldest runs go first, and the
// size rule never drops the newest run nor the run that is finishing.
//
// Several processes may use the store at once (the window and the command line). Runs that write
// take turns: each holds the store's "turn" (flock on "turn" in the store folder) from before it
// reads its first file until it has finished (waitTurn()), so that two runs over the same files
// never interleave: the later one reads what the earlier one wrote, keeps that as its original,
// and starts after it, so that undoing the newest run, then the one before, gives back each file
// as it was before either. A run locks its own manifest (flock) while it records, so that it is
// known to be in progress; undo and pruning lock the store (flock on "lock" in the store folder).
// Recording itself takes no lock of the store's but the turn. A run folder is made under a hidden
// name and renamed into view once its manifest is there and locked; hidden folders are ignored, and
// left-overs of killed processes are removed by pruning.
#pragma once

#include "files/ReplacementJournal.h"
#include "undo/UndoSummary.h"

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Undo {
struct Record;
}

// How the store keeps a replaced file.
enum class UndoKeep {
    LinkWherePossible,  // a hard link, a copy where the file system refuses the link
    Copy,               // always a copy (tests; a store on a file system that mislinks)
};

// The store's bounds.
struct UndoLimits {
    std::size_t runs = 20;                // the newest runs kept
    std::uint64_t bytes = 2'000'000'000;  // all runs together, at most (2 GB)...
    unsigned freeSpacePercent = 10;       // ...and at most this share of the free space
};

// How an undo goes.
struct UndoOptions {
    bool dryRun = false;  // tells what it would do, and changes nothing
    // A run whose record does not read whole is taken back all the same, as far as its records
    // read; without it, such a run is refused and kept as it is.
    bool force = false;
    // Non-zero: the undo stops before the next file, and what it did not reach stays in the
    // run for the next undo (a signal's handler sets it).
    const std::atomic<int> *stop = nullptr;
};

// The record of one run. Made by UndoStore::beginRun(); given to the commit queue as its
// journal; used by one thread at a time.
class UndoRecorder final : public ReplacementJournal {
public:
    UndoRecorder(const UndoRecorder &) = delete;
    UndoRecorder &operator=(const UndoRecorder &) = delete;
    ~UndoRecorder() override;  // finish(), when it was not called

    // Keeps each existing target and appends the group's records durably (see the top of this
    // file). Answers 0 or an errno per entry; an entry with an errno has no record and must not
    // be replaced. When the record itself cannot be written, every entry of the group answers
    // that errno. A relative target is taken from the current folder.
    std::vector<int> recordGroup(const std::vector<Replacement> &group) override;

    // Waits until no other run that writes with this store is working, and then holds the
    // others off until finish() (see the top of this file). Called before the run reads its
    // first file. `keepWaiting` is asked about every 50 ms while another run works (the first
    // time before any wait): false gives up, and the answer is ECANCELED. Answers 0 or an
    // errno (a store that cannot be made or locked: the run would fail every file with it).
    int waitTurn(const std::function<bool()> &keepWaiting);

    // Ends the run: releases its lock and its turn, removes its folder when it recorded nothing,
    // and applies the store's bounds. Nothing may be recorded after it.
    void finish();

    // The device of the store's file system; 0 before the first record. recordGroup() makes
    // the whole of that file system durable (syncfs) before it answers 0 for any entry, so
    // results written on it before the call need no flush of their own: a commit queue that
    // writes its results, records the group, and then flushes only the other file systems it
    // wrote to, pays one flush per group where it would otherwise pay two.
    std::uint64_t device() const override { return device_; }
    // The store's folder, named when its disk is full.
    QString keptIn() const override;

    // Records written so far.
    std::size_t recorded() const { return recorded_; }
    // The run folder; empty until the first record.
    QString folder() const;

private:
    friend class UndoStore;
    UndoRecorder(std::string store, UndoFace face, UndoRunWhat what, UndoLimits limits,
                 UndoKeep keep);
    int open();
    int keep(const Replacement &entry, std::string &lines, std::string &notKept);
    int keepByLink(const Replacement &entry, Undo::Record &record, bool &refused);
    int keepByCopy(const Replacement &entry, Undo::Record &record, std::string &notKept);
    int appendGroup(const std::string &lines, const std::string &notKept);
    void closeLinkFolder();

    std::string store_;
    UndoFace face_;
    UndoRunWhat what_;
    UndoLimits limits_;
    UndoKeep keep_;
    std::string name_;                // the run folder's name, once made
    std::string workingFolder_;       // ending with "/", once a relative target needed it
    int folderFd_ = -1;               // the run folder
    int manifestFd_ = -1;             // the manifest, locked
    std::string linkFolder_;          // the folder of the targets being kept, during a group
    int linkFolderFd_ = -1;           // and that folder (O_PATH), or -1
    std::uint64_t manifestSize_ = 0;  // bytes of complete records
    int notKeptFd_ = -1;              // "notkept", once a copy left something behind
    std::uint64_t notKeptSize_ = 0;   // bytes of complete lines there
    std::size_t recorded_ = 0;
    std::size_t nextKept_ = 1;
    std::uint64_t bytesKept_ = 0;
    int turnFd_ = -1;           // the store's "turn", held
    int broken_ = 0;            // the errno that made the record unusable
    std::uint64_t device_ = 0;  // the store's file system
    bool finished_ = false;
};

class UndoStore {
public:
    // `folder` empty: the user's store (DefaultFolder()). Nothing is made before it is needed.
    explicit UndoStore(QString folder = QString(), UndoLimits limits = UndoLimits(),
                       UndoKeep keep = UndoKeep::LinkWherePossible);

    // $XDG_DATA_HOME/Brindlewick/Strelmark/undo; empty when there is no home folder to find it in.
    static QString DefaultFolder();
    const QString &folder() const { return folder_; }

    // Makes the store's folder when it is missing; answers 0 or the errno that stops it (a run
    // recorded there would fail every file with it).
    int prepare() const;

    // A new run's record, with what the run was asked to do. Thread-safe: each call makes a
    // run of its own.
    std::unique_ptr<UndoRecorder> beginRun(UndoFace face, UndoRunWhat what = {}) const;

    // The newest run, if any (one whose records all got lost counts as none).
    std::optional<UndoRunInfo> lastRun() const;
    // The space the store holds: kept files and manifests.
    std::uint64_t totalSize() const;

    // Every run in the store that holds something to undo (or is being recorded), newest
    // first, each with the files it could still take back now and the folder of its files.
    std::vector<UndoRunInfo> listRuns() const;

    // Takes the newest run back (see the top of this file). `dryRun`: tells what it would do,
    // and changes nothing.
    UndoSummary undoLast(bool dryRun = false);
    UndoSummary undoLast(const UndoOptions &options);
    // Takes the run of that name (UndoRunInfo::name) back by the same rules, whatever runs
    // came after it. A file that later runs replaced again, each over what the one before left,
    // is still as the runs left it: its original goes back, and the later runs' undo finds
    // nothing to do there (undo/Chain.h). Any other file there is changed since, and left alone.
    UndoSummary undoRun(const QString &name, bool dryRun = false);
    UndoSummary undoRun(const QString &name, const UndoOptions &options);

private:
    QString folder_;
    std::string path_;  // folder_ as the file system's bytes
    UndoLimits limits_;
    UndoKeep keep_;
};
