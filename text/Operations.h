// The six removal operations and the loops that apply them to a file, line by line.
//
// The run hands each file to ProcessFile (or to RunLoop with a reader and a writer of its own).
// The operation chooser's text picks the loop, once per file, by exact, case-sensitive
// comparison with the captions of indexes 1, 3, 4 and 5, in that order; any other text, the
// captions of indexes 0 and 2 included, goes to the loop that indexes 0 and 2 share.
//
// The loops of indexes 0 to 3 let window events run before each line (LineContext). Only a
// yield that ran can have changed the controls, so only then are the condition text and the
// chooser's text read again; a change takes effect from the next line.
#pragma once

#include "files/FileError.h"
#include "files/RFTSFSO.h"
#include "text/TextMatch.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class PendingResult;

namespace Operations {

// The captions, by the chooser's index.
inline const std::array<QString, 6> Captions = {
    QStringLiteral("Remove all lines containing those characters"),
    QStringLiteral("Remove all lines not containing those characters"),
    QStringLiteral("Remove those characters"),
    QStringLiteral("Remove all characters except those characters"),
    QStringLiteral("Remove line number n in all files"),
    QStringLiteral("Remove blank lines in all files"),
};

enum class Loop {
    Shared,         // 0 "Remove all lines containing ...", 2 "Remove those characters", others
    NotContaining,  // 1 keeps the lines that contain the text
    ExceptThose,    // 3 keeps the occurrences of the text
    LineNumber,     // 4 drops line n
    BlankLines,     // 5 drops empty lines
};

// The loop that a chooser text selects.
Loop LoopFor(const QString &chooserText);

// What a loop asks the run while it works.
class LineContext {
public:
    virtual ~LineContext() = default;
    // Lets pending window events run; true when they ran (and controls may have changed). Called
    // before each line by the loops of indexes 0 to 3. May throw to abandon the run.
    virtual bool letEventsRun() = 0;
    // The condition text as typed: at the start of each file, and after each yield that ran.
    virtual QString conditionText() = 0;
    // The chooser's text: at the start of each file, and after each yield that ran.
    virtual QString chooserText() = 0;
};

// The occurrences of `text` in `line`, left to right and without overlap, each as the line
// writes it, joined with nothing between them. Empty when there is none (and for the empty text).
std::string RemoveCharactersExcept(std::string_view line, QStringView text);

// The line with every occurrence of `text` deleted in one left-to-right pass.
std::string RemoveOccurrences(std::string_view line, QStringView text);

// Runs the loop that ctx.chooserText() selects over every line of `input`, keeping lines in
// `output`. `lineNumber` is the line that "Remove line number n in all files" drops, counted
// from 1 (already rounded); a number that no line has drops nothing. Answers the characters
// removed (see FileResult). Throws what the reader, the writer and the context throw; finishing
// the output is the caller's.
std::uint64_t RunLoop(RFTSFSO::LineReader &input, RFTSFSO::ResultWriter &output, LineContext &ctx,
                      long long lineNumber);

// What a loop keeps of each line, told as it goes: MarkLoop runs the same loops as RunLoop with
// an output that tells these marks instead of writing.
class LineMarks {
public:
    virtual ~LineMarks() = default;
    // The loop reads its next line (and has not yet decided about it). `line` stays valid until
    // the next call.
    virtual void lineRead(std::string_view line) = 0;
    // The loop keeps the line just read. Every byte of it not in one of the parts told next is
    // removed; a line kept with no part is kept empty.
    virtual void keptLine() = 0;
    // The loop keeps bytes [at, at + size) of that line (not empty), parts left to right.
    virtual void keptPart(std::size_t at, std::size_t size) = 0;
};

// Runs the loop that ctx.chooserText() selects over every line of `input`, as RunLoop does,
// telling `marks` each line read and the parts of it kept; a line read and never kept is
// dropped. Answers the characters removed. Throws what the reader, the context and the marks
// throw.
std::uint64_t MarkLoop(RFTSFSO::LineReader &input, LineMarks &marks, LineContext &ctx,
                       long long lineNumber);

// How ProcessFile works on one file.
struct ProcessOptions {
    // The line that "Remove line number n in all files" drops, from 1 (already rounded).
    long long lineNumber = 0;
    // Off: the kept lines are joined by CR LF, with no line end after the last. On: each kept
    // line keeps the line end it had (CR LF or LF), and the last one gets none only when the
    // file's last line had none; a file of which nothing is removed comes out byte for byte.
    bool keepLineEnds = false;
    // What the run knows of its output folder's names (RFTSFSO::FolderNames), or null.
    RFTSFSO::FolderNames *outputFolder = nullptr;
};

enum class Destination {
    Prepare,  // the result is written to a temporary file, to be put in place by a CommitQueue
    DryRun,   // nothing is written anywhere: what would happen is found out
};

// What became of one file.
struct FileResult {
    enum class State {
        Changed,    // the result differs from what is at the output path (or nothing is there);
                    // with Prepare, `pending` holds it, written but not yet in place
        Unchanged,  // the result is byte for byte what is at the output path: nothing written,
                    // the file keeps its modification time, inode and links
        Empty,      // no line kept: nothing written, a file at the output path stays as it is
        Failed,     // `error` says why (kind Read or Write); nothing written
    };
    State state = State::Failed;
    std::uint64_t linesRead = 0;  // so far, when it failed
    std::uint64_t linesKept = 0;  // lines removed: linesRead - linesKept
    // Characters removed from the lines, kept or dropped, line ends not counted. A line that is
    // valid UTF-8 counts each of its characters once; in any other line each byte is one.
    std::uint64_t charactersRemoved = 0;
    std::optional<FileError> error;
    std::unique_ptr<PendingResult> pending;  // Changed with Prepare only

    FileResult();
    FileResult(FileResult &&) noexcept;
    FileResult &operator=(FileResult &&) noexcept;
    ~FileResult();
};

// One file from start to end: reads `inputPath`, runs the chosen loop and compares or writes
// the kept lines for `outputPath` (which may be `inputPath` itself). Failures to read the input
// or to write the result come back in the FileResult, and leave nothing written. Whatever
// ctx.letEventsRun() throws (the window closing) passes through, also leaving nothing written.
FileResult ProcessFile(const QString &inputPath, const QString &outputPath, LineContext &ctx,
                       const ProcessOptions &options, Destination destination);

// The characters of `bytes`, a part of `line`: one per byte, except that in a line that is valid
// UTF-8 each character counts once.
std::uint64_t CharactersIn(std::string_view bytes, std::string_view line);

}  // namespace Operations
