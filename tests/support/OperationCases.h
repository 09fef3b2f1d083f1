// One table of what the six operations do to a file, the same for every front end: the engine
// itself, the window's "Start Removing", its preview and the command line each run every case
// and must give its result. What the operations do line by line is tested once, in
// tests/core/tst_operations.cpp; these cases are what a front end could get wrong on its way
// there: the operation and its operand handed on, in place or into a folder, the line ends,
// a result that is empty or the same, a file that cannot be read or written, a binary file, a
// file in another encoding or code page.
//
// Each case is one file, page.htm. A new option goes into Options with the value every case
// had so far, and a runner that cannot offer it skips the cases that ask for it.
#pragma once

#include "engine/Outcome.h"
#include "support/TestFiles.h"
#include "text/Matcher.h"
#include "text/OperationTable.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace OperationCases {

struct Options {
    bool inPlace = false;       // the result replaces the input; else it goes into a folder
    bool keepLineEnds = false;  // each kept line keeps its own line end
    // Into a folder: what the output path holds before the run (null: nothing), or a folder
    // standing there so that no result can be written.
    QByteArray existing;
    bool outputIsFolder = false;
    // A file with a NUL byte is read as text (the command line's --binary; the window has no
    // such choice).
    bool binaryAsText = false;
    // The code page other files are in ("Other files are in", --encoding); empty: the default.
    QString legacyPage;
    // "Match case", "Whole words", "Regular expression" (--match-case, --word, --regex).
    Operations::MatchOptions match;
};

struct Case {
    QByteArray name;
    Operations::Operation operation = Operations::Operation::LinesContaining;
    QString condition;   // as typed, for the operations that take a text
    QString lineNumber;  // the answer to the line number's prompt, for LineNumber
    QByteArray input;    // the file's bytes; null: there is no file
    // What the output path holds after the run; null: nothing is written there (it keeps what
    // it had: in place, the input as it was).
    QByteArray output;
    Engine::Outcome outcome = Engine::Outcome::Changed;
    // As the run counts them, for a file that does not fail.
    std::uint64_t linesRemoved = 0;
    std::uint64_t charactersRemoved = 0;
    Options options;

    bool failed() const {
        return outcome == Engine::Outcome::ReadFailed || outcome == Engine::Outcome::WriteFailed ||
               outcome == Engine::Outcome::Undecodable || outcome == Engine::Outcome::TooComplex;
    }
};

const std::vector<Case> &Cases();

// For a runner's _data(): the column "case" and a row for each case.
void AddRows();

// The files of one case: its input in `inFolder`, and what its output folder `outFolder` holds
// before the run, each with its time set back so that a rewrite shows.
class Files {
public:
    Files(const Case &c, const QString &inFolder, const QString &outFolder);

    QString input;   // the input's path
    QString output;  // where its result goes: the input itself in place

    // After a run: the output path holds the case's result or, when nothing was to be written,
    // what it held before; an unchanged result was not written again; the input is as it was
    // unless it was replaced; no temporary file is left in either folder. On a mismatch the
    // current test fails (QTest::currentTestFailed()).
    void verifyRun() const;
    // After a preview or a dry run: nothing was written, replaced or left behind.
    void verifyUntouched() const;

private:
    Case case_;
    QString inFolder_, outFolder_;
    TestFiles::Stamp inputStamp_, outputStamp_;
    QStringList inEntries_, outEntries_;
};

}  // namespace OperationCases

Q_DECLARE_METATYPE(OperationCases::Case)
