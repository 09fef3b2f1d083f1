// The six removal operations and the loops that apply them to a file, line by line.
//
// The run hands each file's reader and writer to RunLoop (engine/FileWork.h does it for a run).
// The operation chooser's text picks the loop, once per file, by exact, case-sensitive
// comparison with the captions of indexes 1, 3, 4 and 5, in that order; any other text, the
// captions of indexes 0 and 2 included, goes to the loop that indexes 0 and 2 share.
//
// The loops of indexes 0 to 3 let window events run before each line (LineContext). Only a
// yield that ran can have changed the controls, so only then are the condition text and the
// chooser's text read again; a change takes effect from the next line.
#pragma once

#include "files/LineReader.h"
#include "files/ResultWriter.h"
#include "text/CodePages.h"
#include "text/Matcher.h"
#include "text/OperationTable.h"
#include "text/TextMatch.h"

#include <QCoreApplication>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Operations {

// The captions, by the chooser's index (the operation's number).
inline const std::array<QString, 6> Captions = [] {
    std::array<QString, 6> captions;
    for (std::size_t i = 0; i < captions.size(); ++i)
        captions[i] = QString::fromUtf8(OperationTable[i].caption);
    return captions;
}();

// A caption as the chooser shows it, in the user's language.
inline QString TranslatedCaption(const QString &caption) {
    return QCoreApplication::translate("Operations", caption.toUtf8().constData());
}

// The loop that a chooser text selects.
Loop LoopFor(const QString &chooserText);

// What a loop asks the run while it works.
class LineContext {
public:
    virtual ~LineContext() = default;
    // Lets pending window events run; true when they ran (and controls may have changed). Called
    // before each line by the loops of indexes 0 to 3. May throw to abandon the run.
    virtual bool letEventsRun() = 0;
    // The same inside a very long line, every megabyte or so while it is read and every
    // SearchWindow bytes while a Matcher searches it, so that a stop is seen there too. May
    // throw as letEventsRun() does; what a yield that ran changed takes effect from the next
    // line.
    virtual bool letEventsRunInLine() { return letEventsRun(); }
    // True where letEventsRun() runs the events by the clock rather than before given lines:
    // a loop may then keep many lines that cannot hold the condition between two calls.
    virtual bool yieldsByClock() const { return false; }
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

// The code page that a file's lines which are not UTF-8 are read in: the one the file names,
// else `others` (the user's choice for other files; null: Windows-1252).
const CodePage &PageOf(const RFTSFSO::FileEncoding &encoding, const CodePage *others);

// Runs the loop that ctx.chooserText() selects over every line of `input`, keeping lines in
// `output`. `lineNumber` is the line that "Remove line number n in all files" drops, counted
// from 1 (already rounded); a number that no line has drops nothing. Lines that are not UTF-8
// are read in PageOf(the input's encoding, `others`); a condition that the input's encoding
// cannot hold is found nowhere. Answers the characters removed (see FileResult). Throws what
// the reader, the writer and the context throw, and PatternTooComplex; finishing the output is
// the caller's.
//
// `matcher` null: the condition is the literal, case-blind text. Otherwise its matches are
// what the loops look for (the text it was compiled from, with its options; a text typed while
// the run yields is compiled with the same options, and one that does not compile is found
// nowhere); a matcher that replaces runs the replacing loop whatever the chooser says: every
// line kept, each match replaced.
std::uint64_t RunLoop(RFTSFSO::LineReader &input, RFTSFSO::ResultWriter &output, LineContext &ctx,
                      long long lineNumber, const CodePage *others = nullptr,
                      const Matcher *matcher = nullptr);

// What a loop keeps of each line, told as it goes: MarkLoop runs the same loops as RunLoop with
// an output that tells these marks instead of writing.
class LineMarks {
public:
    virtual ~LineMarks() = default;
    // Before the first line: the code page that the file's lines which are not UTF-8 are read
    // in.
    virtual void readIn(const CodePage &page) { (void)page; }
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
                       long long lineNumber, const CodePage *others = nullptr,
                       const Matcher *matcher = nullptr);

// The characters of `bytes`, a part of `line`: one per byte, except that in a line that is valid
// UTF-8 each character counts once.
std::uint64_t CharactersIn(std::string_view bytes, std::string_view line);

}  // namespace Operations
