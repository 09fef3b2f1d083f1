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

#include "RFTSFSO.h"
#include "TextMatch.h"

#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <string_view>

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
// from 1 (already rounded); a number that no line has drops nothing. Throws what the reader,
// the writer and the context throw; finishing the output is the caller's.
void RunLoop(RFTSFSO::LineReader &input, RFTSFSO::ResultWriter &output, LineContext &ctx,
             long long lineNumber);

// One file from start to end: reads `inputPath`, runs the chosen loop and writes the kept lines
// to `outputPath` (which may be `inputPath` itself). True when a file was written; false when
// no line was kept, in which case nothing at `outputPath` was touched.
//
// Throws FileError of kind Read when the input cannot be opened or read, and of kind Write when
// the result cannot be written; in both cases nothing has been written. Whatever
// ctx.letEventsRun() throws (the window closing) passes through, also leaving nothing written.
bool ProcessFile(const QString &inputPath, const QString &outputPath, LineContext &ctx,
                 long long lineNumber);

}  // namespace Operations
