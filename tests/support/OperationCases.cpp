#include "support/OperationCases.h"

#include <QDir>
#include <QTest>

// The cases name only the fields they set, every other one keeps its default; GCC 12 warns of
// each field that a designated initializer leaves out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace OperationCases {

namespace {

using Operations::Operation;
using TestFiles::Entries;
using TestFiles::Read;
using TestFiles::StampOf;
constexpr Engine::Outcome Changed = Engine::Outcome::Changed;
constexpr Engine::Outcome Unchanged = Engine::Outcome::Unchanged;
constexpr Engine::Outcome Empty = Engine::Outcome::Empty;
const QByteArray None;  // no file

const QString PageName = QStringLiteral("page.htm");

// Each operation on one page of six lines (CR LF and LF, an empty line and one of blanks,
// none after the last), into a folder and in place.
void AddEachOperation(std::vector<Case> &cases) {
    const QByteArray page("<html>\r\n<META HTTP-EQUIV=x>\nbody\r\n\r\n  \nend");
    for (const bool inPlace : {false, true}) {
        const Options where{.inPlace = inPlace};
        const QByteArray suffix = inPlace ? ", in place" : ", into a folder";
        cases.push_back({.name = "lines containing" + suffix,
                         .operation = Operation::LinesContaining,
                         .condition = "meta http",
                         .input = page,
                         .output = "<html>\r\nbody\r\n\r\n  \r\nend",
                         .linesRemoved = 1,
                         .charactersRemoved = 19,
                         .options = where});
        cases.push_back({.name = "lines not containing" + suffix,
                         .operation = Operation::LinesNotContaining,
                         .condition = "o",
                         .input = page,
                         .output = "body",
                         .linesRemoved = 5,
                         .charactersRemoved = 30,
                         .options = where});
        cases.push_back({.name = "those characters" + suffix,
                         .operation = Operation::Text,
                         .condition = "E",
                         .input = page,
                         .output = "<html>\r\n<MTA HTTP-QUIV=x>\r\nbody\r\n\r\n  \r\nnd",
                         .charactersRemoved = 3,
                         .options = where});
        cases.push_back({.name = "all characters except" + suffix,
                         .operation = Operation::AllButText,
                         .condition = "T",
                         .input = page,
                         .output = "t\r\nTTT",
                         .linesRemoved = 4,
                         .charactersRemoved = 30,
                         .options = where});
        cases.push_back({.name = "line number" + suffix,
                         .operation = Operation::LineNumber,
                         .lineNumber = "2",
                         .input = page,
                         .output = "<html>\r\nbody\r\n\r\n  \r\nend",
                         .linesRemoved = 1,
                         .charactersRemoved = 19,
                         .options = where});
        cases.push_back({.name = "blank lines" + suffix,
                         .operation = Operation::BlankLines,
                         .input = page,
                         .output = "<html>\r\n<META HTTP-EQUIV=x>\r\nbody\r\n  \r\nend",
                         .linesRemoved = 1,
                         .options = where});
    }
}

// The answer to the line number's prompt, as the run rounds it, on lines of one character.
void AddLineNumbers(std::vector<Case> &cases) {
    auto line = [&](const char *name, const char *answer, const QByteArray &input,
                    const QByteArray &output, std::uint64_t removed) {
        cases.push_back({.name = name,
                         .operation = Operation::LineNumber,
                         .lineNumber = answer,
                         .input = input,
                         .output = output,
                         .linesRemoved = removed,
                         .charactersRemoved = removed});
    };
    line("first line", "1", "a\r\nb\n", "b", 1);
    line("line number beyond 16 bits", "40000", "a\nb", "a\r\nb", 0);
    line("line number zero", "0", "a\r\nb\r\n", "a\r\nb", 0);
    line("line number rounded half to even", "2.5", "1\n2\n3", "1\r\n3", 1);
    line("negative line number", "-3", "1\n2", "1\r\n2", 0);
    cases.push_back({.name = "line number past the end, in place, line ends kept",
                     .operation = Operation::LineNumber,
                     .lineNumber = "5",
                     .input = "1\n2",
                     .output = "1\n2",
                     .outcome = Unchanged,
                     .options = {.inPlace = true, .keepLineEnds = true}});
}

// Results with no line, and files with none.
void AddEmpty(std::vector<Case> &cases) {
    cases.push_back({.name = "empty input, lines containing",
                     .operation = Operation::LinesContaining,
                     .condition = "x",
                     .input = "",
                     .output = ""});
    cases.push_back({.name = "empty input, blank lines",
                     .operation = Operation::BlankLines,
                     .input = "",
                     .output = None,
                     .outcome = Empty,
                     .linesRemoved = 1});
    cases.push_back({.name = "only empty lines",
                     .operation = Operation::BlankLines,
                     .input = "\r\n\n\n",
                     .output = None,
                     .outcome = Empty,
                     .linesRemoved = 3});
    cases.push_back({.name = "every line removed, in place",
                     .operation = Operation::LinesContaining,
                     .condition = "a",
                     .input = "a\nA\n",
                     .output = None,
                     .outcome = Empty,
                     .linesRemoved = 2,
                     .charactersRemoved = 2,
                     .options = {.inPlace = true}});
    cases.push_back({.name = "every line removed, a file at the output path",
                     .operation = Operation::LinesContaining,
                     .condition = "meta http",
                     .input = "meta http\nMETA HTTP-x\n",
                     .output = None,
                     .outcome = Empty,
                     .linesRemoved = 2,
                     .charactersRemoved = 20,
                     .options = {.existing = "old"}});
}

// The condition as typed, matched in UTF-8 lines and in Latin-1 ones; a lone CR is no line end.
void AddCharacters(std::vector<Case> &cases) {
    cases.push_back({.name = "café in a UTF-8 page",
                     .operation = Operation::LinesContaining,
                     .condition = "café",
                     .input = "Un café\r\nUN CAFÉ\nthé",
                     .output = "thé",
                     .linesRemoved = 2,
                     .charactersRemoved = 14});
    cases.push_back({.name = "café removed from a UTF-8 page, in place",
                     .operation = Operation::Text,
                     .condition = "café",
                     .input = "Un CAFÉ noir",
                     .output = "Un  noir",
                     .charactersRemoved = 4,
                     .options = {.inPlace = true}});
    cases.push_back({.name = "café in a Latin-1 page",
                     .operation = Operation::AllButText,
                     .condition = "café",
                     .input = "un CAF\xC9, un caf\xE9\nth\xE9",
                     .output = "CAF\xC9"
                               "caf\xE9",
                     .linesRemoved = 1,
                     .charactersRemoved = 11});
    cases.push_back({.name = "€uro never removes ?uro",
                     .operation = Operation::LinesContaining,
                     .condition = "€uro",
                     .input = "10 €URO\n?uro",
                     .output = "?uro",
                     .linesRemoved = 1,
                     .charactersRemoved = 7});
    cases.push_back({.name = "lone CRs are ordinary bytes",
                     .operation = Operation::LinesContaining,
                     .condition = "b",
                     .input = "a\rb\r\r\nc\r",
                     .output = "c\r",
                     .linesRemoved = 1,
                     .charactersRemoved = 4});
}

// "Keep each file's line ends", on and off, at the edges of a file.
void AddLineEnds(std::vector<Case> &cases) {
    auto containing = [&](const char *name, const char *condition, const QByteArray &input,
                          const QByteArray &output, std::uint64_t lines, std::uint64_t characters,
                          bool keep) {
        cases.push_back({.name = name,
                         .operation = Operation::LinesContaining,
                         .condition = condition,
                         .input = input,
                         .output = output,
                         .outcome = output.isNull() ? Empty : Changed,
                         .linesRemoved = lines,
                         .charactersRemoved = characters,
                         .options = {.keepLineEnds = keep}});
    };
    containing("mixed line ends kept", "a", "a1\r\nb2\n\r\nab3\n", "b2\n\r\n", 2, 5, true);
    containing("empty file, line ends kept", "a", "", "", 0, 0, true);
    containing("only CR LF, line ends kept", "a", "\r\n", "\r\n", 0, 0, true);
    containing("only CR LF", "a", "\r\n", "", 0, 0, false);
    containing("lone CR at the end, line ends kept", "a", "x\ny\r", "x\ny\r", 0, 0, true);
    containing("last line removed, no final end, line ends kept", "a", "p\r\nq\na", "p\r\nq", 1, 1,
               true);
    containing("every line removed, line ends kept", "a", "a\r\nA\n", None, 2, 2, true);
    cases.push_back({.name = "nothing removed, line ends kept, in place",
                     .operation = Operation::BlankLines,
                     .input = "p\r\nq\nr\r\ns",
                     .output = "p\r\nq\nr\r\ns",
                     .outcome = Unchanged,
                     .options = {.inPlace = true, .keepLineEnds = true}});
}

// A result that is what the output path holds already is not written again.
void AddUnchanged(std::vector<Case> &cases) {
    auto nothingToRemove = [&](const char *name, const QByteArray &input, const QByteArray &output,
                               Engine::Outcome outcome, Options options) {
        cases.push_back({.name = name,
                         .operation = Operation::LinesContaining,
                         .condition = "zzz",
                         .input = input,
                         .output = output,
                         .outcome = outcome,
                         .options = options});
    };
    nothingToRemove("the same result, in place", "a\r\nb\r\nc", "a\r\nb\r\nc", Unchanged,
                    {.inPlace = true});
    nothingToRemove("the same result, in place, line ends kept", "a\nb\r\nc\n", "a\nb\r\nc\n",
                    Unchanged, {.inPlace = true, .keepLineEnds = true});
    nothingToRemove("LF turned into CR LF, in place", "a\nb\nc\n", "a\r\nb\r\nc", Changed,
                    {.inPlace = true});
    nothingToRemove("the same result at the output path", "a\nb\nc\n", "a\r\nb\r\nc", Unchanged,
                    {.existing = "a\r\nb\r\nc"});
    nothingToRemove("the same result at the output path, line ends kept", "a\nb\r\nc", "a\nb\r\nc",
                    Unchanged, {.keepLineEnds = true, .existing = "a\nb\r\nc"});
    cases.push_back({.name = "another file at the output path is replaced",
                     .operation = Operation::LinesContaining,
                     .condition = "b",
                     .input = "a\nb\nc\n",
                     .output = "a\r\nc",
                     .linesRemoved = 1,
                     .charactersRemoved = 1,
                     .options = {.existing = "a\r\nc\r\nd"}});
}

// A file that cannot be read, a result that cannot be written: nothing is written.
void AddFailures(std::vector<Case> &cases) {
    for (const bool inPlace : {false, true}) {
        cases.push_back({.name = inPlace ? "no input file, in place" : "no input file",
                         .condition = "x",
                         .input = None,
                         .output = None,
                         .outcome = Engine::Outcome::ReadFailed,
                         .options = {.inPlace = inPlace}});
    }
    cases.push_back({.name = "a folder where the result goes",
                     .condition = "x",
                     .input = "a\nx",
                     .output = None,
                     .outcome = Engine::Outcome::WriteFailed,
                     .options = {.outputIsFolder = true}});
}

// What each operation counts: "é" is two bytes in UTF-8 and one character; 0xE9 alone is
// Latin-1, one byte and one character; line ends are not characters of a line.
void AddCounts(std::vector<Case> &cases) {
    const QByteArray text("keep\r\nx\xc3\xa9x\r\n\r\nxx\xe9\nend");
    const struct {
        Operation operation;
        QByteArray output;
        std::uint64_t lines, characters;
    } counts[] = {
        {Operation::LinesContaining, "keep\r\n\r\nend", 2, 6},
        {Operation::LinesNotContaining, "x\xc3\xa9x\r\nxx\xe9", 3, 7},
        {Operation::Text, "keep\r\n\xc3\xa9\r\n\r\n\xe9\r\nend", 0, 4},
        {Operation::AllButText, "xx\r\nxx", 3, 9},
        {Operation::LineNumber, "keep\r\n\r\nxx\xe9\r\nend", 1, 3},
        {Operation::BlankLines, "keep\r\nx\xc3\xa9x\r\nxx\xe9\r\nend", 1, 0},
    };
    for (const auto &count : counts) {
        cases.push_back({.name = "counts, " + QByteArray(Operations::InfoOf(count.operation).name),
                         .operation = count.operation,
                         .condition = "x",
                         .lineNumber = "2",
                         .input = text,
                         .output = count.output,
                         .linesRemoved = count.lines,
                         .charactersRemoved = count.characters});
    }
}

}  // namespace

const std::vector<Case> &Cases() {
    static const std::vector<Case> cases = [] {
        std::vector<Case> all;
        AddEachOperation(all);
        AddLineNumbers(all);
        AddEmpty(all);
        AddCharacters(all);
        AddLineEnds(all);
        AddUnchanged(all);
        AddFailures(all);
        AddCounts(all);
        return all;
    }();
    return cases;
}

void AddRows() {
    QTest::addColumn<Case>("example");
    for (const Case &c : Cases())
        QTest::newRow(c.name.constData()) << c;
}

Files::Files(const Case &c, const QString &inFolder, const QString &outFolder)
    : input(inFolder + u'/' + PageName),
      output(c.options.inPlace ? input : outFolder + u'/' + PageName),
      case_(c),
      inFolder_(inFolder),
      outFolder_(outFolder) {
    QDir().mkpath(inFolder);
    QDir().mkpath(outFolder);
    auto writeOld = [](const QString &path, const QByteArray &bytes) {
        TestFiles::Write(path, bytes);
        if (!TestFiles::MakeOld(path))
            qFatal("cannot set the time of %s", qPrintable(path));
    };
    if (!c.input.isNull())
        writeOld(input, c.input);
    if (!c.options.inPlace && !c.options.existing.isNull())
        writeOld(output, c.options.existing);
    if (!c.options.inPlace && c.options.outputIsFolder)
        QDir().mkpath(output);
    inputStamp_ = StampOf(input);
    outputStamp_ = StampOf(output);
    inEntries_ = Entries(inFolder);
    outEntries_ = Entries(outFolder);
}

void Files::verifyRun() const {
    const Options &options = case_.options;
    if (case_.output.isNull()) {
        QVERIFY2(StampOf(output) == outputStamp_, "the output path was written");
    } else {
        QCOMPARE(Read(output), case_.output);
        if (case_.outcome == Engine::Outcome::Unchanged)
            QVERIFY2(StampOf(output) == outputStamp_, "an unchanged result was written again");
    }
    if (!options.inPlace && !case_.input.isNull()) {
        QCOMPARE(Read(input), case_.input);
        QVERIFY2(StampOf(input) == inputStamp_, "the input was written");
    }
    QCOMPARE(Entries(inFolder_), inEntries_);  // no temporary file
    const bool outputThere = !options.inPlace && (!case_.output.isNull() || !outEntries_.isEmpty());
    QCOMPARE(Entries(outFolder_), outputThere ? QStringList{PageName} : QStringList());
}

void Files::verifyUntouched() const {
    QVERIFY2(StampOf(input) == inputStamp_, "the input was written");
    QVERIFY2(StampOf(output) == outputStamp_, "the output path was written");
    QCOMPARE(Entries(inFolder_), inEntries_);
    QCOMPARE(Entries(outFolder_), outEntries_);
}

}  // namespace OperationCases
