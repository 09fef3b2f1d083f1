// What became of each file of a run, in one vocabulary for every front end, and the totals of a
// run as one value.
#pragma once

#include "files/FileError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class PendingResult;

namespace Operations {
struct CodePage;
}

namespace Engine {

// One file of a run: where it is read and where its result goes.
struct FileTask {
    // As the list or the command line gives it. A path's bytes that are not UTF-8 (the command
    // line's) are held as files/PathText.h holds them, and go to the system as they came.
    QString input;
    QString output;  // Engine::ResultPath of it
    // The output is in a folder of the run's choosing (not in place): that folder is listed
    // once, so that a result for a name it does not hold needs no look of its own.
    bool intoFolder = false;
    // Each kept line keeps its own line end (else CR LF between lines, none after the last).
    bool keepLineEnds = false;
    // The folders on the way to the output that are missing are made for its result.
    bool makeFolders = false;
    // Standard input is the input and standard output the output (engine/FileWork.h,
    // ProcessStream): nothing is compared, put in place or related to other files.
    bool stream = false;
    // A file with a NUL byte is read as text too (else it is binary and left alone).
    bool binaryAsText = false;
    // The code page of lines that are not UTF-8 in a file that names none (null: Windows-1252).
    const Operations::CodePage *legacyPage = nullptr;
    // A path that cannot be used at all (nothing there): `problem` says why, with the path;
    // nothing is read.
    QString problem;
    // With `problem`: an entry that a folder search passed over (a link out of the searched
    // folder, a path too long for the system): listed as skipped, no failure.
    bool skipped = false;
};

enum class Outcome {
    Changed,      // the result differs from what is at the output path (or nothing is there):
                  // written (in a dry run: it would be)
    Unchanged,    // the result is byte for byte what is at the output path: nothing written
    Empty,        // no line kept: nothing written, a file at the output path stays as it is
    Binary,       // the input holds a NUL byte and is no UTF-16 or UTF-32: left alone, no failure
    Undecodable,  // the input's bytes do not decode in its encoding (`failure` says which), or
                  // do not come back from it as they were: left alone, a failure
    TooComplex,   // the pattern ran into the matching library's limits on a line (`linesRead`
                  // is its number, `failure` says so): left alone, a failure
    ReadFailed,   // the input could not be read (`error` or `failure` says why)
    WriteFailed,  // the result could not be written, or put in place
    PathFailed,   // the task's path could not be used (`task.problem`)
    Skipped,      // the folder search passed over the entry (`task.problem` says why): no failure
};

// How a file's result meets an earlier file's of the same run, by the places they reach
// (Engine::Place: links and folders resolved). Both are worked on in the order of the run; a
// real run puts the earlier result in place first, a dry run looks at each file as it is.
enum class Relation {
    None,
    ReadsEarlier,       // its input is an earlier file's output: a run reads that result
    OverwritesEarlier,  // its output is an earlier file's output, whose result this replaces
};

// One file's outcome, as a sink hears of it.
struct FileReport {
    std::size_t index = 0;  // in the run, from 0
    FileTask task;
    Outcome outcome = Outcome::ReadFailed;
    Relation relation = Relation::None;
    std::size_t earlier = 0;      // with a relation: that file's index
    std::uint64_t linesRead = 0;  // so far, when it failed
    std::uint64_t linesKept = 0;  // lines removed: linesRead - linesKept
    // Characters removed from the lines, kept or dropped, line ends not counted. A line that is
    // valid UTF-8 counts each of its characters once; in any other line each byte is one.
    std::uint64_t charactersRemoved = 0;
    std::uint64_t inputBytes = 0;    // the input's size, as far as it is known
    bool binary = false;             // a stream that holds a NUL byte: passed through unchanged
    std::optional<FileError> error;  // a failure at the file system's edge
    QString failure;                 // any other failure: its description (no path)
    bool failedAtCommit = false;     // WriteFailed when the result was put in place
    std::string target;  // Changed, not dry: the file written, links resolved (file system bytes)
    std::string note;    // what the sink added while the file was worked on (a diff, say)

    bool failed() const {
        return outcome == Outcome::ReadFailed || outcome == Outcome::WriteFailed ||
               outcome == Outcome::PathFailed || outcome == Outcome::Undecodable ||
               outcome == Outcome::TooComplex;
    }
    std::uint64_t linesRemoved() const { return linesRead - linesKept; }
    // The reason and the path, as a report names them: "Permission denied: /home/ann/a.htm".
    QString description() const;
    // The same as a report box words it: the system's wording with the path, a file that does
    // not decode with its path, any other failure's description alone.
    QString reason() const;
};

// The totals of a run.
struct Totals {
    std::uint64_t files = 0;  // reported; files + notProcessed were in the run
    std::uint64_t changed = 0, unchanged = 0, empty = 0, binary = 0, skipped = 0;
    std::uint64_t readFailed = 0, writeFailed = 0, pathFailed = 0, undecodable = 0;
    std::uint64_t tooComplex = 0;
    std::uint64_t readsEarlier = 0, overwritesEarlier = 0;
    std::uint64_t notProcessed = 0;  // never reached: the run was stopped
    std::uint64_t linesRead = 0, linesRemoved = 0, charactersRemoved = 0;
    bool stopped = false;

    void add(const FileReport &report);
    std::uint64_t failed() const {
        return readFailed + writeFailed + pathFailed + undecodable + tooComplex;
    }
};

}  // namespace Engine
