#include "support/OperationCases.h"

#include <QDir>
#include <QTest>

// Rows and options name only the fields they set, every other one keeps its default; GCC 12
// warns of each field that an initializer leaves out.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace OperationCases {

namespace {

using enum Operations::Operation;
using TestFiles::Entries;
using TestFiles::Read;
using TestFiles::StampOf;
constexpr Engine::Outcome Changed = Engine::Outcome::Changed;
constexpr Engine::Outcome Unchanged = Engine::Outcome::Unchanged;
constexpr Engine::Outcome Empty = Engine::Outcome::Empty;
constexpr Engine::Outcome Binary = Engine::Outcome::Binary;
constexpr Engine::Outcome Undecodable = Engine::Outcome::Undecodable;
constexpr Engine::Outcome ReadFailed = Engine::Outcome::ReadFailed;
constexpr Engine::Outcome WriteFailed = Engine::Outcome::WriteFailed;
constexpr Engine::Outcome TooComplex = Engine::Outcome::TooComplex;
const QByteArray None;  // no file
const QString PageName = QStringLiteral("page.htm");

const Options InPlace{.inPlace = true};
const Options KeepEnds{.keepLineEnds = true};
const Options KeepEndsInPlace{.inPlace = true, .keepLineEnds = true};
const Options FolderAtOutput{.outputIsFolder = true};
const Options BinaryAsText{.binaryAsText = true};
const Options OtherFilesIn1251{.legacyPage = QStringLiteral("windows-1251")};
const Options MatchCase{.match = {.matchCase = true}};
const Options WholeWordsInPlace{.inPlace = true, .match = {.wholeWords = true}};
const Options Regex{.match = {.regex = true}};
// Into a folder that holds `existing` at the output path.
Options Existing(const char *existing, bool keepLineEnds = false) {
    return {.keepLineEnds = keepLineEnds, .existing = existing};
}

// A case as the table writes it: the operand is the condition text or, for the line number,
// the answer to its prompt; the counts are the lines and the characters removed.
struct Row {
    QByteArray name;
    Operations::Operation operation;
    const char *operand;
    QByteArray input, output;
    Engine::Outcome outcome;
    std::uint64_t lines, characters;
    Options options;
};

// Each operation on one page of six lines (CR LF and LF, an empty line and one of blanks, none
// after the last), into a folder and in place.
const QByteArray Page("<html>\r\n<META HTTP-EQUIV=x>\nbody\r\n\r\n  \nend");
const Row EachOperation[] = {
    {"lines containing", LinesContaining, "meta http", Page, "<html>\r\nbody\r\n\r\n  \r\nend",
     Changed, 1, 19},
    {"lines not containing", LinesNotContaining, "o", Page, "body", Changed, 5, 30},
    {"those characters", Text, "E", Page, "<html>\r\n<MTA HTTP-QUIV=x>\r\nbody\r\n\r\n  \r\nnd",
     Changed, 0, 3},
    {"all characters except", AllButText, "T", Page, "t\r\nTTT", Changed, 4, 30},
    {"line number", LineNumber, "2", Page, "<html>\r\nbody\r\n\r\n  \r\nend", Changed, 1, 19},
    {"blank lines", BlankLines, "", Page, "<html>\r\n<META HTTP-EQUIV=x>\r\nbody\r\n  \r\nend",
     Changed, 1, 0},
};

// "é" is two bytes in UTF-8 and one character; 0xE9 alone is Latin-1, one byte and one
// character; line ends are not characters of a line.
const QByteArray Counted("keep\r\nx\xc3\xa9x\r\n\r\nxx\xe9\nend");

// The text in UTF-16 or UTF-32, with its byte-order mark.
QByteArray Encoded(const char *utf8, int width, bool big) {
    const QByteArray mark =
        width == 2 ? (big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE"))
                   : (big ? QByteArray("\0\0\xFE\xFF", 4) : QByteArray("\xFF\xFE\0\0", 4));
    QByteArray bytes = mark;
    for (const char32_t c : QString::fromUtf8(utf8).toUcs4()) {
        QList<char32_t> units{c};
        if (width == 2 && c >= 0x10000)
            units = {0xD800 + ((c - 0x10000) >> 10), 0xDC00 + ((c - 0x10000) & 0x3FF)};
        for (const char32_t unit : units) {
            for (int i = 0; i < width; ++i)
                bytes += char(unit >> (8 * (big ? width - 1 - i : i)) & 0xFF);
        }
    }
    return bytes;
}

// A PNG's first bytes: LF bytes, and NUL.
const QByteArray Png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\n", 21);
// Text past the reader's first megabyte, and a NUL after it.
const QByteArray LateNul = QByteArray(1100000, 'x').replace(70, 1, "\n") + '\0';
const QByteArray Privet("\xCF\xF0\xE8\xE2\xE5\xF2");  // Привет in Windows-1251
const QByteArray SjisPage("<meta charset=\"Shift_JIS\">\r\n");

const Row Encodings[] = {
    // Files with a NUL byte are binary and left alone, without a failure.
    {"a PNG is left alone, in place", LinesContaining, "x", Png, None, Binary, 0, 0, InPlace},
    {"a NUL beyond the first megabyte, in place", LinesContaining, "zzz", LateNul, None, Binary, 0,
     0, InPlace},
    {"a file with a NUL read as text", LinesContaining, "b", QByteArray("a\0\nb\n", 5),
     QByteArray("a\0", 2), Changed, 1, 1, BinaryAsText},
    {"UTF-16 without a mark is binary", LinesContaining, "x", QByteArray("<\0p\0>\0", 6), None,
     Binary, 0, 0},
    // UTF-16 and UTF-32 with a mark: decoded, matched as UTF-8, written back with the mark.
    {"UTF-16LE", LinesContaining, "DROP", Encoded("keep\ndrop 😀\r\nÉté", 2, false),
     Encoded("keep\r\nÉté", 2, false), Changed, 1, 6},
    {"UTF-16BE, line ends kept, in place", Text, "é", Encoded("Été\nx\r\n", 2, true),
     Encoded("t\nx\r\n", 2, true), Changed, 0, 2, KeepEndsInPlace},
    {"UTF-32LE", LinesNotContaining, "e", Encoded("one\ntwo\nthree", 4, false),
     Encoded("one\r\nthree", 4, false), Changed, 1, 3},
    {"UTF-16 that does not decode", LinesContaining, "x", Encoded("ab", 2, false) + 'c', None,
     Undecodable, 0, 0},
    // A UTF-8 mark is the file's: it stays when the first line goes.
    {"UTF-8 mark, first line removed", LinesContaining, "first",
     "\xEF\xBB\xBF"
     "first\r\nsecond",
     "\xEF\xBB\xBF"
     "second",
     Changed, 1, 5},
    // Lines that are not UTF-8 are in a code page: Windows-1252, the one a page names, or the
    // one other files are said to be in.
    {"Windows-1252: €uro", LinesContaining, "€uro", "10 \x80uro\r\n\x93quoted\x94\nkeep",
     "\x93quoted\x94\r\nkeep", Changed, 1, 7},
    {"Windows-1252: curly quotes", Text, "“quoted”", "a \x93QUOTED\x94 b", "a  b", Changed, 0, 8},
    {"Windows-1251 named by the page", LinesContaining, "привет",
     "<meta charset=windows-1251>\n" + Privet + " \xEC\xE8\xF0\nkeep",
     "<meta charset=windows-1251>\r\nkeep", Changed, 1, 10},
    {"other files are in Windows-1251", AllButText, "ПРИВЕТ", Privet + "!", Privet, Changed, 0, 1,
     OtherFilesIn1251},
    {"Cyrillic is not found in Windows-1252", LinesContaining, "привет", Privet + "\nkeep",
     Privet + "\r\nkeep", Changed, 0, 0},
    // A multi-byte charset that a page names, through the system's conversion.
    {"a Shift_JIS page", LinesContaining, "日本", SjisPage + "\x93\xFA\x96\x7B\x8C\xEA\r\nkeep",
     SjisPage + "keep", Changed, 1, 3},
    {"Shift_JIS that does not come back", LinesContaining, "x", SjisPage + "\xED\x40", None,
     Undecodable, 0, 0},
};

const Row Edges[] = {
    // The line number's answer, as the run rounds it.
    {"first line", LineNumber, "1", "a\r\nb\n", "b", Changed, 1, 1},
    {"line number beyond 16 bits", LineNumber, "40000", "a\nb", "a\r\nb", Changed, 0, 0},
    {"line number zero", LineNumber, "0", "a\r\nb\r\n", "a\r\nb", Changed, 0, 0},
    {"line number rounded half to even", LineNumber, "2.5", "1\n2\n3", "1\r\n3", Changed, 1, 1},
    {"negative line number", LineNumber, "-3", "1\n2", "1\r\n2", Changed, 0, 0},
    {"line number past the end, in place, line ends kept", LineNumber, "5", "1\n2", "1\n2",
     Unchanged, 0, 0, KeepEndsInPlace},
    // Results with no line, and files with none.
    {"empty input, lines containing", LinesContaining, "x", "", "", Changed, 0, 0},
    {"empty input, blank lines", BlankLines, "", "", None, Empty, 1, 0},
    {"only empty lines", BlankLines, "", "\r\n\n\n", None, Empty, 3, 0},
    {"every line removed, in place", LinesContaining, "a", "a\nA\n", None, Empty, 2, 2, InPlace},
    {"every line removed, a file at the output path", LinesContaining, "meta http",
     "meta http\nMETA HTTP-x\n", None, Empty, 2, 20, Existing("old")},
    // The condition as typed, in UTF-8 lines and in Latin-1 ones; a lone CR is no line end.
    {"café in a UTF-8 page", LinesContaining, "café", "Un café\r\nUN CAFÉ\nthé", "thé", Changed, 2,
     14},
    {"café removed from a UTF-8 page, in place", Text, "café", "Un CAFÉ noir", "Un  noir", Changed,
     0, 4, InPlace},
    {"café in a Latin-1 page", AllButText, "café", "un CAF\xC9, un caf\xE9\nth\xE9",
     "CAF\xC9"
     "caf\xE9",
     Changed, 1, 11},
    {"€uro never removes ?uro", LinesContaining, "€uro", "10 €URO\n?uro", "?uro", Changed, 1, 7},
    {"lone CRs are ordinary bytes", LinesContaining, "b", "a\rb\r\r\nc\r", "c\r", Changed, 1, 4},
    // "Keep each file's line ends", on and off, at the edges of a file.
    {"mixed line ends kept", LinesContaining, "a", "a1\r\nb2\n\r\nab3\n", "b2\n\r\n", Changed, 2, 5,
     KeepEnds},
    {"empty file, line ends kept", LinesContaining, "a", "", "", Changed, 0, 0, KeepEnds},
    {"only CR LF, line ends kept", LinesContaining, "a", "\r\n", "\r\n", Changed, 0, 0, KeepEnds},
    {"only CR LF", LinesContaining, "a", "\r\n", "", Changed, 0, 0},
    {"lone CR at the end, line ends kept", LinesContaining, "a", "x\ny\r", "x\ny\r", Changed, 0, 0,
     KeepEnds},
    {"last line removed, no final end, line ends kept", LinesContaining, "a", "p\r\nq\na", "p\r\nq",
     Changed, 1, 1, KeepEnds},
    {"every line removed, line ends kept", LinesContaining, "a", "a\r\nA\n", None, Empty, 2, 2,
     KeepEnds},
    {"nothing removed, line ends kept, in place", BlankLines, "", "p\r\nq\nr\r\ns",
     "p\r\nq\nr\r\ns", Unchanged, 0, 0, KeepEndsInPlace},
    // A result that is what the output path holds already is not written again.
    {"the same result, in place", LinesContaining, "zzz", "a\r\nb\r\nc", "a\r\nb\r\nc", Unchanged,
     0, 0, InPlace},
    {"the same result, in place, line ends kept", LinesContaining, "zzz", "a\nb\r\nc\n",
     "a\nb\r\nc\n", Unchanged, 0, 0, KeepEndsInPlace},
    {"LF turned into CR LF, in place", LinesContaining, "zzz", "a\nb\nc\n", "a\r\nb\r\nc", Changed,
     0, 0, InPlace},
    {"the same result at the output path", LinesContaining, "zzz", "a\nb\nc\n", "a\r\nb\r\nc",
     Unchanged, 0, 0, Existing("a\r\nb\r\nc")},
    {"the same result at the output path, line ends kept", LinesContaining, "zzz", "a\nb\r\nc",
     "a\nb\r\nc", Unchanged, 0, 0, Existing("a\nb\r\nc", true)},
    {"another file at the output path is replaced", LinesContaining, "b", "a\nb\nc\n", "a\r\nc",
     Changed, 1, 1, Existing("a\r\nc\r\nd")},
    // How the condition is matched; a pattern too complex for a line leaves the file alone.
    {"match case", LinesContaining, "Cat", "cat\nCat\nCATS", "cat\r\nCATS", Changed, 1, 3,
     MatchCase},
    {"whole words, in place", Text, "cat", "cat concat cat.", " concat .", Changed, 0, 6,
     WholeWordsInPlace},
    {"regular expression", AllButText, "[0-9]+", "a1b22\nnone", "122", Changed, 1, 6, Regex},
    {"pattern too complex", LinesContaining, "(\\w|\\w\\w)+$",
     "ok\naaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!", None, TooComplex, 0, 0, Regex},
    // A file that cannot be read, a result that cannot be written: nothing is written.
    {"no input file", LinesContaining, "x", None, None, ReadFailed, 0, 0},
    {"no input file, in place", LinesContaining, "x", None, None, ReadFailed, 0, 0, InPlace},
    {"a folder where the result goes", LinesContaining, "x", "a\nx", None, WriteFailed, 0, 0,
     FolderAtOutput},
    // What each operation counts.
    {"counts, lines containing", LinesContaining, "x", Counted, "keep\r\n\r\nend", Changed, 2, 6},
    {"counts, lines not containing", LinesNotContaining, "x", Counted, "x\xc3\xa9x\r\nxx\xe9",
     Changed, 3, 7},
    {"counts, those characters", Text, "x", Counted, "keep\r\n\xc3\xa9\r\n\r\n\xe9\r\nend", Changed,
     0, 4},
    {"counts, all characters except", AllButText, "x", Counted, "xx\r\nxx", Changed, 3, 9},
    {"counts, line number", LineNumber, "2", Counted, "keep\r\n\r\nxx\xe9\r\nend", Changed, 1, 3},
    {"counts, blank lines", BlankLines, "", Counted, "keep\r\nx\xc3\xa9x\r\nxx\xe9\r\nend", Changed,
     1, 0},
};

Case CaseOf(const Row &row) {
    Case c{.name = row.name,
           .operation = row.operation,
           .input = row.input,
           .output = row.output,
           .outcome = row.outcome,
           .linesRemoved = row.lines,
           .charactersRemoved = row.characters,
           .options = row.options};
    (row.operation == LineNumber ? c.lineNumber : c.condition) = QString::fromUtf8(row.operand);
    return c;
}

}  // namespace

const std::vector<Case> &Cases() {
    static const std::vector<Case> cases = [] {
        std::vector<Case> all;
        for (const bool inPlace : {false, true}) {
            for (Row row : EachOperation) {
                row.name += inPlace ? ", in place" : ", into a folder";
                row.options.inPlace = inPlace;
                all.push_back(CaseOf(row));
            }
        }
        for (const Row &row : Edges)
            all.push_back(CaseOf(row));
        for (const Row &row : Encodings)
            all.push_back(CaseOf(row));
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
