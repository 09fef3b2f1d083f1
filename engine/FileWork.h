// The work on one file, the same for every front end: read its lines, run the chosen loop, and
// compare or write the kept lines for its output path. The drivers (engine/SequentialRun.h,
// engine/ParallelRun.h) call it for each file of a run; the preview and the diff use the two
// other ways of looking at a file's result below.
#pragma once

#include "engine/Outcome.h"
#include "files/FileError.h"
#include "files/FolderNames.h"
#include "files/HeldFolders.h"
#include "text/Operations.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PendingResult;

namespace Engine {

// How one file is worked on.
struct WorkOptions {
    // The line that "Remove line number n in all files" drops, from 1 (already rounded).
    long long lineNumber = 0;
    // Off: the kept lines are joined by CR LF, with no line end after the last. On: each kept
    // line keeps the line end it had (CR LF or LF), and the last one gets none only when the
    // file's last line had none; a file of which nothing is removed comes out byte for byte.
    bool keepLineEnds = false;
    // What the run knows of its output folders' names (RFTSFSO::FolderNames), or null.
    RFTSFSO::FolderNames *outputFolder = nullptr;
    // The run's folders held open (RFTSFSO::HeldFolders), shared by its files, or null: each
    // file written in place holds its folder on its own.
    RFTSFSO::HeldFolders *folders = nullptr;
    // The folders on the way to the output that are missing are made for a result.
    bool makeFolders = false;
    // The run keeps an undo record: each result is hashed as it is written, for the record.
    bool recorded = false;
    // Whether the result's bytes are written by the writing thread (files/WriteBehind.h) while
    // the worker goes on: with the next file, or with the next part of a file larger than one
    // read. Otherwise the worker writes them itself.
    enum class WriteBehind { Always, LargeFiles, Never };
    WriteBehind writeBehind = WriteBehind::Always;
    // A file with a NUL byte is text too (else it is binary and left alone).
    bool binaryAsText = false;
    // The code page of the lines that are not UTF-8, in a file that names none (null:
    // Windows-1252).
    const Operations::CodePage *legacyPage = nullptr;
    // The condition as a pattern (the run's, Engine::PrepareMatcher), or null: the literal,
    // case-blind text.
    const Operations::Matcher *matcher = nullptr;
};

enum class Destination {
    Prepare,  // the result is written to a temporary file, to be put in place by a CommitQueue
    DryRun,   // nothing is written anywhere: what would happen is found out
};

// What the work on one file found.
struct FileResult {
    // Changed, Unchanged, Empty, Binary, Undecodable, TooComplex, ReadFailed or WriteFailed.
    // Changed with
    // Prepare: `pending` holds the result, written but not yet in place.
    Outcome outcome = Outcome::ReadFailed;
    std::uint64_t linesRead = 0;  // so far, when it failed
    std::uint64_t linesKept = 0;
    std::uint64_t charactersRemoved = 0;
    std::uint64_t inputBytes = 0;  // the input's size when it was opened
    // A stream that holds a NUL byte (ProcessStream): passed through unchanged.
    bool binary = false;
    std::optional<FileError> error;
    QString failure;  // Undecodable, TooComplex: why, without the path
    std::unique_ptr<PendingResult> pending;

    FileResult();
    FileResult(FileResult &&) noexcept;
    FileResult &operator=(FileResult &&) noexcept;
    ~FileResult();
};

// "pattern too complex at line 12": the failure of a TooComplex outcome.
QString TooComplexText(const Operations::PatternTooComplex &tooComplex);

// One file from start to end: reads `inputPath`, runs the loop that ctx.chooserText() selects
// and compares or writes the kept lines for `outputPath` (which may be `inputPath` itself).
// Failures to read the input or to write the result come back in the FileResult, and so does a
// file that is no text (binary, or bytes that do not decode) and one on whose line the pattern
// is too complex: each leaves nothing written.
// Whatever ctx.letEventsRun() throws (a stop, the window closing) passes through, also leaving
// nothing written.
FileResult ProcessFile(const QString &inputPath, const QString &outputPath,
                       Operations::LineContext &ctx, const WorkOptions &options,
                       Destination destination);

// A stream from start to end: reads the descriptor `input` (standard input) to its end and
// writes the kept lines to `output` (standard output) as they come, the buffered part before
// each read that may wait. Input that holds a NUL byte is binary and passed through unchanged
// (outcome Unchanged, `binary` set): a regular file is looked at whole, anything else in what
// its first read gives. The outcome is Changed (something written) or Empty; failures come back
// as ReadFailed or WriteFailed. Whatever ctx.letEventsRun() throws passes through.
FileResult ProcessStream(int input, int output, Operations::LineContext &ctx,
                         const WorkOptions &options);

// Runs the same loop over the file at `path`, telling `marks` each line read (decoded, for a
// file that is) and the parts of it kept. Answers the characters removed. Throws FileError
// (Read), RFTSFSO::NotText, Operations::PatternTooComplex, and what the context and the marks
// throw.
std::uint64_t MarkFile(const QString &path, Operations::LineMarks &marks,
                       Operations::LineContext &ctx, const WorkOptions &options);

// A file and its result, whole in memory, with where each result line came from.
struct ResultInMemory {
    std::string before;  // the file's text: its bytes, or, when it is decoded, its UTF-8
    std::string after;   // the result's text, as the run would write it (not encoded back)
    // For each line of `after` (split after each LF), the index of the line of `before` it was
    // made from, increasing.
    std::vector<std::size_t> origin;
};

// Reads the whole file at `path` and works out its result in memory. Throws FileError (Read),
// RFTSFSO::NotText, Operations::PatternTooComplex, and what ctx.letEventsRun() throws.
ResultInMemory WorkInMemory(const QString &path, Operations::LineContext &ctx,
                            const WorkOptions &options);

}  // namespace Engine
