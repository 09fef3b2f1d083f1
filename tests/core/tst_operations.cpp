// The six removal operations, the loop choice, and what the loops ask of the run.
#include "ReferenceMatch.h"
#include "support/TestFiles.h"
#include "text/Operations.h"

#include <QtTest>

#include <random>

using namespace Operations;
using TestFiles::View;

namespace {

QByteArray Lines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1)
            text += "\r\n";
        text += "L" + QByteArray::number(i);
    }
    return text;
}

// A run whose controls change only where the test says: before line k (counted from 0), a
// yield runs and the condition text or the chooser's text may take new values.
class ScriptedContext : public LineContext {
public:
    struct Change {
        QString text;
        QString chooser;
    };

    ScriptedContext(QString text, QString chooser)
        : text_(std::move(text)), chooser_(std::move(chooser)) {}

    void changeBeforeLine(int line, Change change) { changes_.insert(line, change); }
    bool yieldsByClock() const override { return changes_.isEmpty(); }

    bool letEventsRun() override {
        const int line = yields++;
        if (!changes_.contains(line))
            return false;
        const Change &change = changes_[line];
        if (!change.text.isNull())
            text_ = change.text;
        if (!change.chooser.isNull())
            chooser_ = change.chooser;
        return true;
    }
    QString conditionText() override {
        ++textReads;
        return text_;
    }
    QString chooserText() override {
        ++chooserReads;
        return chooser_;
    }

    int yields = 0, textReads = 0, chooserReads = 0;

private:
    QString text_;
    QString chooser_;
    QMap<int, Change> changes_;
};

struct Outcome {
    bool written = false;
    QByteArray text;
};

// The loops read NUL bytes as text here: what makes a file binary is the reader's
// (tst_encodings.cpp).
const RFTSFSO::ReadOptions NulsAreText{.binaryAsText = true};

// Runs one loop over bytes held in memory, reading them `chunk` bytes at a time, its lines that
// are not UTF-8 in `page`.
Outcome Run(LineContext &ctx, const QByteArray &input, long long lineNumber,
            std::size_t chunk = RFTSFSO::LineReader::DefaultChunk, const CodePage *page = nullptr) {
    auto reader = RFTSFSO::LineReader::fromBytes(View(input), chunk, NulsAreText);
    std::string text;
    RFTSFSO::ResultWriter writer(&text, &reader);
    RunLoop(reader, writer, ctx, lineNumber, page);
    Outcome outcome;
    outcome.written = writer.finish();
    outcome.text = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    return outcome;
}

// What MarkLoop tells, put back together: each kept line made of its kept parts.
class Rebuilt : public LineMarks {
public:
    void lineRead(std::string_view line) override {
        line_.assign(line);
        ++linesRead;
    }
    void keptLine() override {
        kept.emplace_back();
        end_ = 0;
    }
    void keptPart(std::size_t at, std::size_t size) override {
        // Parts lie inside the line, left to right, without overlap, and are never empty.
        if (kept.empty() || size == 0 || at < end_ || at + size > line_.size())
            partsInOrder = false;
        else
            kept.back() += line_.substr(at, size);
        end_ = at + size;
    }

    std::vector<std::string> kept;
    int linesRead = 0;
    bool partsInOrder = true;

private:
    std::string line_;
    std::size_t end_ = 0;
};

// The same as Run, through MarkLoop: the text that the marks keep, and the characters removed.
Outcome Marked(LineContext &ctx, const QByteArray &input, long long lineNumber, std::size_t chunk,
               std::uint64_t *charactersRemoved = nullptr, bool *partsInOrder = nullptr,
               const CodePage *page = nullptr) {
    auto reader = RFTSFSO::LineReader::fromBytes(View(input), chunk, NulsAreText);
    Rebuilt marks;
    const std::uint64_t removed = MarkLoop(reader, marks, ctx, lineNumber, page);
    if (charactersRemoved)
        *charactersRemoved = removed;
    if (partsInOrder)
        *partsInOrder = marks.partsInOrder && marks.linesRead == int(reader.lineCount());
    Outcome outcome;
    outcome.written = !marks.kept.empty();
    if (outcome.written)
        outcome.text = QByteArray::fromStdString(std::string(reader.encoding().mark()));
    for (std::size_t i = 0; i < marks.kept.size(); ++i) {
        if (i > 0)
            outcome.text += "\r\n";
        outcome.text += QByteArray::fromStdString(marks.kept[i]);
    }
    return outcome;
}

}  // namespace

class OperationsTest : public QObject {
    Q_OBJECT

private slots:
    void operations_data();
    void operations();
    void lineNumber_data();
    void lineNumber();
    void emptyFile_data();
    void emptyFile();
    void removeCharactersExcept_data();
    void removeCharactersExcept();
    void yieldsAndRereads_data();
    void yieldsAndRereads();
    void looksInsideLongLines_data();
    void looksInsideLongLines();
    void changesDuringFile_data();
    void changesDuringFile();
    void utf8Check_data();
    void utf8Check();
    void encodings_data();
    void encodings();
    void codePages_data();
    void codePages();
    void letterCaseOverAllBytes_data();
    void letterCaseOverAllBytes();
    void longTextsAmongNearMisses_data();
    void longTextsAmongNearMisses();
    void searchAgreesWithReference_data();
    void searchAgreesWithReference();
    void loopsAgreeWithReference_data();
    void loopsAgreeWithReference();
};

void OperationsTest::operations_data() {
    QTest::addColumn<QString>("chooser");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("output");

    const QByteArray abc = "xxABCyy\r\nkeep";
    QTest::newRow("0 drops xxABCyy")
        << Captions[0] << QStringLiteral("Abc") << abc << true << QByteArray("keep");
    QTest::newRow("1 keeps xxABCyy")
        << Captions[1] << QStringLiteral("Abc") << abc << true << QByteArray("xxABCyy");
    QTest::newRow("2 gives xxyy") << Captions[2] << QStringLiteral("Abc") << abc << true
                                  << QByteArray("xxyy\r\nkeep");
    QTest::newRow("3 gives ABC") << Captions[3] << QStringLiteral("Abc") << abc << true
                                 << QByteArray("ABC");
    QTest::newRow("0 drops the only line")
        << Captions[0] << QStringLiteral("Abc") << QByteArray("xxABCyy") << false << QByteArray();

    QTest::newRow("2 aabb without ab is ab")
        << Captions[2] << QStringLiteral("ab") << QByteArray("aabb") << true << QByteArray("ab");
    QTest::newRow("2 line that becomes empty stays")
        << Captions[2] << QStringLiteral("ab") << QByteArray("x\r\nAbaB\r\ny") << true
        << QByteArray("x\r\n\r\ny");
    QTest::newRow("3 a b c is not abc")
        << Captions[3] << QStringLiteral("abc") << QByteArray("a b c") << false << QByteArray();
    QTest::newRow("1 a b c is not abc")
        << Captions[1] << QStringLiteral("abc") << QByteArray("a b c") << false << QByteArray();

    // The text is taken whole, never trimmed.
    QTest::newRow("0 blanks around the text count")
        << Captions[0] << QStringLiteral(" ab ") << QByteArray("xaby\r\nx ab y") << true
        << QByteArray("xaby");

    // Empty lines against lines of blanks.
    const QByteArray blanks = "  \r\n\r\n\t\r\nx";
    QTest::newRow("5 keeps lines of blanks")
        << Captions[5] << QStringLiteral("q") << blanks << true << QByteArray("  \r\n\t\r\nx");
    QTest::newRow("0 keeps empty lines")
        << Captions[0] << QStringLiteral("x") << blanks << true << QByteArray("  \r\n\r\n\t");
    QTest::newRow("2 keeps empty lines")
        << Captions[2] << QStringLiteral("x") << blanks << true << QByteArray("  \r\n\r\n\t\r\n");
    QTest::newRow("1 drops empty lines")
        << Captions[1] << QStringLiteral(" ") << blanks << true << QByteArray("  ");
    QTest::newRow("3 drops empty lines")
        << Captions[3] << QStringLiteral("\t") << blanks << true << QByteArray("\t");

    // Line ends in and out.
    QTest::newRow("LF and CR LF in, CR LF out")
        << Captions[5] << QStringLiteral("q") << QByteArray("a\nb\r\nc\n") << true
        << QByteArray("a\r\nb\r\nc");
    QTest::newRow("final CR LF is lost")
        << Captions[5] << QStringLiteral("q") << QByteArray("a\r\nb\r\n") << true
        << QByteArray("a\r\nb");
    QTest::newRow("lone CR is an ordinary byte")
        << Captions[0] << QStringLiteral("q") << QByteArray("a\rb\nc\r") << true
        << QByteArray("a\rb\r\nc\r");
    QTest::newRow("CR before CR LF stays")
        << Captions[5] << QStringLiteral("q") << QByteArray("a\r\r\nb") << true
        << QByteArray("a\r\r\nb");
    QTest::newRow("condition spans no line end")
        << Captions[0] << QStringLiteral("a\r") << QByteArray("xa\r\nya\rz") << true
        << QByteArray("xa");

    // A UTF-8 byte-order mark is the file's: no text of its first line, and the result's first
    // bytes whatever becomes of that line.
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("byte-order mark kept") << Captions[0] << QStringLiteral("second")
                                          << bom + "first\r\nsecond" << true << bom + "first";
    QTest::newRow("byte-order mark kept, first line removed")
        << Captions[0] << QStringLiteral("first") << bom + "first\nsecond" << true
        << bom + "second";
    QTest::newRow("byte-order mark kept, first line cut down")
        << Captions[3] << QStringLiteral("st") << bom + "first" << true << bom + "st";
    QTest::newRow("byte-order mark is no text of a UTF-8 line")
        << Captions[3] << QStringLiteral("\uFEFFf") << bom + "first" << false << QByteArray();
    QTest::newRow("byte-order mark is no text of a line in a code page")
        << Captions[3] << QStringLiteral("»¿f") << bom + "first \xE9" << false << QByteArray();
    QTest::newRow("only a byte-order mark is one empty line")
        << Captions[5] << QStringLiteral("x") << bom << false << QByteArray();

    // Letter case in Latin-1 lines (none of them is valid UTF-8): É and é are one letter; × and
    // ÷ are not; ß and ÿ are not either (they differ in the case bit only). Long lines go
    // through the sixteen-at-a-time search, short ones not.
    const QByteArray pad(40, '-');
    QTest::newRow("é finds É") << Captions[0] << QStringLiteral("café")
                               << QByteArray("CAF\xC9\r\nkeep") << true << QByteArray("keep");
    QTest::newRow("É finds é, long line")
        << Captions[2] << QStringLiteral("ÉTÉ") << pad + "\xE9t\xE9" + pad << true << pad + pad;
    QTest::newRow("÷ does not find ×") << Captions[0] << QStringLiteral("÷")
                                       << QByteArray(
                                              "a\xD7"
                                              "b")
                                       << true
                                       << QByteArray(
                                              "a\xD7"
                                              "b");
    QTest::newRow("× does not find ÷, long line")
        << Captions[0] << QStringLiteral("×") << pad + "\xF7" + pad << true << pad + "\xF7" + pad;
    QTest::newRow("ÿ does not find ß, long line")
        << Captions[1] << QStringLiteral("zÿ") << pad + "Z\xDF" + pad << false << QByteArray();
    QTest::newRow("@ does not find `, long line")
        << Captions[1] << QStringLiteral("`") << pad + "@" + pad << false << QByteArray();
    QTest::newRow("ASCII letters fold")
        << Captions[3] << QStringLiteral("mEtA hTTp") << pad + "<META HTTP-EQUIV>" << true
        << QByteArray("META HTTP");

    const QByteArray nul("a\0b\r\nc", 6);
    QTest::newRow("NUL inside a line")
        << Captions[2] << QStringLiteral("b") << nul << true << QByteArray("a\0\r\nc", 5);
    QTest::newRow("NUL is an ordinary character")
        << Captions[1] << QString(QChar(0)) + u'b' << nul << true << QByteArray("a\0b", 3);

    // Any chooser text that names none of the other loops behaves as index 0.
    QTest::newRow("other text drops like 0")
        << QStringLiteral("remove those characters") << QStringLiteral("Abc") << abc << true
        << QByteArray("keep");
    QTest::newRow("empty chooser drops like 0")
        << QString() << QStringLiteral("Abc") << abc << true << QByteArray("keep");
}

void OperationsTest::operations() {
    QFETCH(QString, chooser);
    QFETCH(QString, condition);
    QFETCH(QByteArray, input);
    QFETCH(bool, written);
    QFETCH(QByteArray, output);

    // Whole, and one, two and three bytes at a time: chunk edges change nothing.
    for (std::size_t chunk :
         {RFTSFSO::LineReader::DefaultChunk, std::size_t(1), std::size_t(2), std::size_t(3)}) {
        ScriptedContext ctx(condition, chooser);
        const Outcome outcome = Run(ctx, input, 0, chunk);
        QCOMPARE(outcome.written, written);
        QCOMPARE(outcome.text, output);

        // The marks of the same loop keep the same parts of the same lines, and count the same
        // characters removed.
        ScriptedContext runAgain(condition, chooser), marking(condition, chooser);
        auto reader = RFTSFSO::LineReader::fromBytes(View(input), chunk, NulsAreText);
        std::string text;
        RFTSFSO::ResultWriter writer(&text, &reader);
        const std::uint64_t removed = RunLoop(reader, writer, runAgain, 0);
        std::uint64_t marked = 0;
        bool inOrder = false;
        const Outcome fromMarks = Marked(marking, input, 0, chunk, &marked, &inOrder);
        QVERIFY(inOrder);
        QCOMPARE(fromMarks.written, written);
        QCOMPARE(fromMarks.text, output);
        QCOMPARE(marked, removed);
    }
}

void OperationsTest::lineNumber_data() {
    // The number comes rounded from the run (which turns the typed answer into it).
    QTest::addColumn<qlonglong>("line");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("output");

    const QByteArray four = "one\r\ntwo\nthree\r\nfour\r\n";
    QTest::newRow("1 drops the first") << 1LL << four << QByteArray("two\r\nthree\r\nfour");
    QTest::newRow("0 drops nothing") << 0LL << four << QByteArray("one\r\ntwo\r\nthree\r\nfour");
    QTest::newRow("-3 drops nothing") << -3LL << four << QByteArray("one\r\ntwo\r\nthree\r\nfour");
    QTest::newRow("beyond the end drops nothing")
        << 5LL << four << QByteArray("one\r\ntwo\r\nthree\r\nfour");
    QTest::newRow("4 drops the last") << 4LL << four << QByteArray("one\r\ntwo\r\nthree");
    QTest::newRow("2 drops the second") << 2LL << four << QByteArray("one\r\nthree\r\nfour");
    QTest::newRow("empty lines count") << 2LL << QByteArray("\r\n\r\nx") << QByteArray("\r\nx");
    QTest::newRow("40000, past 16 bits") << 40000LL << Lines(40001) << Lines(39999) + "\r\nL40001";
    QTest::newRow("very large number")
        << 1000000000000000LL << four << QByteArray("one\r\ntwo\r\nthree\r\nfour");
}

void OperationsTest::lineNumber() {
    QFETCH(qlonglong, line);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);

    ScriptedContext ctx("unused", Captions[4]), marking("unused", Captions[4]);
    const Outcome outcome = Run(ctx, input, line);
    QVERIFY(outcome.written);
    QCOMPARE(outcome.text, output);
    QCOMPARE(Marked(marking, input, line, 2).text, output);
}

void OperationsTest::emptyFile_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<qlonglong>("lineNumber");
    QTest::addColumn<bool>("written");  // an empty file; otherwise none

    QTest::newRow("0 writes an empty file") << 0 << 0LL << true;
    QTest::newRow("1 writes none") << 1 << 0LL << false;
    QTest::newRow("2 writes an empty file") << 2 << 0LL << true;
    QTest::newRow("3 writes none") << 3 << 0LL << false;
    QTest::newRow("4 with n = 1 writes none") << 4 << 1LL << false;
    QTest::newRow("4 with n = 2 writes an empty file") << 4 << 2LL << true;
    QTest::newRow("5 writes none") << 5 << 0LL << false;
}

void OperationsTest::emptyFile() {
    QFETCH(int, operation);
    QFETCH(qlonglong, lineNumber);
    QFETCH(bool, written);

    // An empty file and a file of one CR LF are both one empty line.
    for (const QByteArray &input : {QByteArray(), QByteArray("\r\n")}) {
        ScriptedContext ctx("a", Captions[operation]);
        const Outcome outcome = Run(ctx, input, lineNumber);
        QCOMPARE(outcome.written, written);
        QCOMPARE(outcome.text, QByteArray());
    }
}

void OperationsTest::removeCharactersExcept_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("kept");

    QTest::newRow("line's own case")
        << QByteArray("xxABCyyabczz") << QStringLiteral("abc") << QByteArray("ABCabc");
    QTest::newRow("no overlap") << QByteArray("ababa") << QStringLiteral("aba")
                                << QByteArray("aba");
    QTest::newRow("every occurrence")
        << QByteArray("banana") << QStringLiteral("a") << QByteArray("aaa");
    QTest::newRow("apart is not whole")
        << QByteArray("a b c") << QStringLiteral("abc") << QByteArray();
    QTest::newRow("empty line") << QByteArray() << QStringLiteral("a") << QByteArray();
    QTest::newRow("empty text ends at once") << QByteArray("abc") << QString() << QByteArray();
    QTest::newRow("text longer than line")
        << QByteArray("ab") << QStringLiteral("abc") << QByteArray();
    QTest::newRow("UTF-8 line, folds of other lengths")
        << QByteArray(
               "STRA\xE1\xBA\x9E"
               "E stra\xC3\x9F"
               "e")
        << QStringLiteral("ß") << QByteArray("\xE1\xBA\x9E\xC3\x9F");
    QTest::newRow("Latin-1 line") << QByteArray("caf\xE9 CAF\xC9") << QStringLiteral("é")
                                  << QByteArray("\xE9\xC9");
}

void OperationsTest::removeCharactersExcept() {
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(QByteArray, kept);
    QCOMPARE(QByteArray::fromStdString(RemoveCharactersExcept(View(line), text)), kept);
    // Deleting them leaves the rest: together the two give back every byte of the line.
    const std::string rest = RemoveOccurrences(View(line), text);
    QCOMPARE(rest.size() + static_cast<std::size_t>(kept.size()),
             static_cast<std::size_t>(line.size()));
}

void OperationsTest::yieldsAndRereads_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("yields");  // for a file of three lines

    QTest::newRow("0 yields per line") << 0 << 3;
    QTest::newRow("1 yields per line") << 1 << 3;
    QTest::newRow("2 yields per line") << 2 << 3;
    QTest::newRow("3 yields per line") << 3 << 3;
    QTest::newRow("4 never yields") << 4 << 0;
    QTest::newRow("5 never yields") << 5 << 0;
}

void OperationsTest::yieldsAndRereads() {
    QFETCH(int, operation);
    QFETCH(int, yields);

    ScriptedContext ctx("a", Captions[operation]);
    Run(ctx, "a\r\nb\r\nc", 1);
    QCOMPARE(ctx.yields, yields);
    // The controls are read at the start of the file, and not again while no yield has run.
    QVERIFY(ctx.textReads <= 1);
    QCOMPARE(ctx.chooserReads, 1);

    // After a yield that ran they are read again.
    if (yields > 0) {
        ScriptedContext changing("a", Captions[operation]);
        changing.changeBeforeLine(1, {});
        Run(changing, "a\r\nb\r\nc", 1);
        QCOMPARE(changing.textReads, 2);
    }
}

// A very long line is looked at while it is read, a megabyte or so apart, so that a stop ends
// the loop inside it with nothing of it written; a yield that ran there has the controls read
// again before the next line. Lines of ordinary length are never looked at.
void OperationsTest::looksInsideLongLines_data() {
    QTest::addColumn<int>("lineMiB");  // 0: lines of 256 KiB
    QTest::addColumn<int>("stopAt");   // the look that stops, 0: none
    QTest::newRow("short lines") << 0 << 1;
    QTest::newRow("stop in a long line") << 24 << 1;
    QTest::newRow("yield in a long line") << 24 << 0;
}

void OperationsTest::looksInsideLongLines() {
    QFETCH(int, lineMiB);
    QFETCH(int, stopAt);
    struct Stop {};
    struct Looks : ScriptedContext {
        using ScriptedContext::ScriptedContext;
        int looks = 0, stopAt = 0;
        bool letEventsRunInLine() override {
            if (++looks == stopAt)
                throw Stop{};
            return looks == 1;
        }
    } ctx("x", Captions[0]);
    ctx.stopAt = stopAt;
    const QByteArray line(lineMiB > 0 ? lineMiB << 20 : 256 << 10, 'a');
    const QByteArray input = (lineMiB > 0 ? line : (line + "\r\n").repeated(63) + line) + "\r\nx";
    auto reader = RFTSFSO::LineReader::fromBytes(View(input), 1 << 20);
    std::string text;
    RFTSFSO::ResultWriter writer(&text, &reader);
    try {
        RunLoop(reader, writer, ctx, 0);
        QVERIFY(writer.finish());
    } catch (const Stop &) {
        QCOMPARE(reader.lineCount(), std::uint64_t(0));
        QVERIFY(text.empty());
        return;
    }
    QCOMPARE(QByteArray::fromStdString(text), input.chopped(3));
    QCOMPARE(ctx.looks >= 16, lineMiB > 0);
    QCOMPARE(ctx.textReads, lineMiB > 0 ? 2 : 1);
    QCOMPARE(stopAt == 0, lineMiB > 0);
}

void OperationsTest::changesDuringFile_data() {
    QTest::addColumn<QString>("chooser");
    QTest::addColumn<int>("line");  // before which line the yield runs
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("newChooser");
    QTest::addColumn<QByteArray>("output");

    const QString none;
    QTest::newRow("0: new text from the next line")
        << Captions[0] << 2 << QStringLiteral("b") << none << QByteArray("b\r\na");
    QTest::newRow("1: new text from the next line")
        << Captions[1] << 1 << QStringLiteral("b") << none << QByteArray("a\r\nb\r\nb\r\nb");
    QTest::newRow("3: new text from the next line")
        << Captions[3] << 2 << QStringLiteral("B") << none << QByteArray("a\r\nb\r\nb");
    QTest::newRow("0 turns into 2")
        << Captions[0] << 2 << none << Captions[2] << QByteArray("b\r\nb\r\n\r\nb");
    QTest::newRow("2 turns into 0")
        << Captions[2] << 2 << none << Captions[0] << QByteArray("\r\nb\r\nb\r\nb");
    // The loop is chosen per file; in the shared loop any other text drops like index 0.
    QTest::newRow("2 turns into 5 mid-file")
        << Captions[2] << 2 << none << Captions[5] << QByteArray("\r\nb\r\nb\r\nb");
    QTest::newRow("1 turns into 0 mid-file: still 1")
        << Captions[1] << 2 << none << Captions[0] << QByteArray("a\r\na");
}

void OperationsTest::changesDuringFile() {
    QFETCH(QString, chooser);
    QFETCH(int, line);
    QFETCH(QString, newText);
    QFETCH(QString, newChooser);
    QFETCH(QByteArray, output);

    ScriptedContext ctx("a", chooser);
    ctx.changeBeforeLine(line, {newText, newChooser});
    QCOMPARE(Run(ctx, "a\r\nb\r\nb\r\na\r\nb", 0).text, output);
}

void OperationsTest::encodings_data() {
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("occurrences");  // joined; empty: the line does not contain it
    QTest::addColumn<QByteArray>("rest");         // the line with them deleted

    const QByteArray kelvin("\xE2\x84\xAA");  // K, KELVIN SIGN, folds to k
    const QByteArray pad(40, '-');

    // All ASCII: the same bytes in either reading, but for the two letters that fold into ASCII.
    QTest::newRow("ASCII text, UTF-8 line") << QStringLiteral("caf") << QByteArray("Un CAFé noir")
                                            << QByteArray("CAF") << QByteArray("Un é noir");
    QTest::newRow("ASCII text, Latin-1 line")
        << QStringLiteral("caf") << QByteArray("Un CAF\xE9 noir") << QByteArray("CAF")
        << QByteArray("Un \xE9 noir");
    QTest::newRow("k finds the Kelvin sign")
        << QStringLiteral("k") << "5 " + kelvin + " = 5 k" << kelvin + "k" << QByteArray("5  = 5 ");
    QTest::newRow("ss finds long s") << QStringLiteral("ss") << QByteArray("Meſſe MESSE")
                                     << QByteArray("ſſSS") << QByteArray("Mee MEE");
    QTest::newRow("sk finds long s and Kelvin sign, long line")
        << QStringLiteral("sk") << pad + "ſ" + kelvin + pad + "SK"
        << "ſ" + kelvin + "SK" << pad + pad;
    QTest::newRow("k does not find the Kelvin sign's bytes in a Latin-1 line")
        << QStringLiteral("k") << kelvin + " k \xFF" << QByteArray("k") << kelvin + "  \xFF";

    // Texts that Latin-1 can hold.
    QTest::newRow("CAFÉ finds café") << QStringLiteral("CAFÉ") << QByteArray("un café, UN CAFÉ")
                                     << QByteArray("caféCAFÉ") << QByteArray("un , UN ");
    QTest::newRow("ÉTUDE finds étude") << QStringLiteral("ÉTUDE") << QByteArray("Une étude")
                                       << QByteArray("étude") << QByteArray("Une ");
    QTest::newRow("é finds bytes E9 and C9 in a Latin-1 line")
        << QStringLiteral("é") << QByteArray("caf\xE9 CAF\xC9") << QByteArray("\xE9\xC9")
        << QByteArray("caf CAF");
    QTest::newRow("one byte that is not UTF-8, far along, makes the line Latin-1")
        << QStringLiteral("é") << "café" + pad + "\xFF" << QByteArray() << "café" + pad + "\xFF";
    QTest::newRow("é does not find its UTF-8 bytes in a Latin-1 line")
        << QStringLiteral("é") << QByteArray("caf\xC3\xA9 \xFF") << QByteArray()
        << QByteArray("caf\xC3\xA9 \xFF");
    QTest::newRow("µ finds Greek mu in a UTF-8 line")
        << QStringLiteral("µ") << QByteArray("1 µm 2 μm 3 Μm") << QByteArray("µμΜ")
        << QByteArray("1 m 2 m 3 m");
    QTest::newRow("µ in a Latin-1 line") << QStringLiteral("µ") << QByteArray("1 \xB5m \xFF")
                                         << QByteArray("\xB5") << QByteArray("1 m \xFF");
    QTest::newRow("ÿ finds Ÿ in a UTF-8 line")
        << QStringLiteral("ÿ") << QByteArray("Ÿ-ÿ") << QByteArray("Ÿÿ") << QByteArray("-");
    QTest::newRow("ß finds ẞ, a fold of another length")
        << QStringLiteral("ß") << QByteArray("STRAẞE straße") << QByteArray("ẞß")
        << QByteArray("STRAE strae");
    QTest::newRow("ß in a Latin-1 line") << QStringLiteral("ß")
                                         << QByteArray(
                                                "stra\xDF"
                                                "e \xDF")
                                         << QByteArray("\xDF\xDF") << QByteArray("strae ");
    QTest::newRow("kö finds a Kelvin sign before Ö")
        << QStringLiteral("kö") << kelvin + "Ö kö" << kelvin + "Ökö" << QByteArray(" ");

    // Texts that Latin-1 cannot hold.
    QTest::newRow("€uro in a UTF-8 line") << QStringLiteral("€uro") << QByteArray("10 €URO")
                                          << QByteArray("€URO") << QByteArray("10 ");
    QTest::newRow("€uro never finds ?uro") << QStringLiteral("€uro") << QByteArray("?uro ?URO")
                                           << QByteArray() << QByteArray("?uro ?URO");
    QTest::newRow("€uro in a Windows-1252 line")
        << QStringLiteral("€uro") << QByteArray("\x80uro ?uro \xE9") << QByteArray("\x80uro")
        << QByteArray(" ?uro \xE9");
    QTest::newRow("Kelvin sign finds k and K")
        << QStringLiteral("\u212A") << QByteArray("kilo KILO") << QByteArray("kK")
        << QByteArray("ilo ILO");
    QTest::newRow("Kelvin sign in a Latin-1 line")
        << QStringLiteral("\u212A") << QByteArray("kilo \xE9") << QByteArray()
        << QByteArray("kilo \xE9");
    QTest::newRow("ſ finds s") << QStringLiteral("ſ") << QByteArray("Sas") << QByteArray("Ss")
                               << QByteArray("a");
    QTest::newRow("ẞ in a Latin-1 line") << QStringLiteral("ẞ")
                                         << QByteArray(
                                                "stra\xDF"
                                                "e \xE9")
                                         << QByteArray()
                                         << QByteArray(
                                                "stra\xDF"
                                                "e \xE9");
    QTest::newRow("ς finds Σ") << QStringLiteral("ς") << QByteArray("ΟΔΟΣ οδός") << QByteArray("Σς")
                               << QByteArray("ΟΔΟ οδό");
    QTest::newRow("ω finds the ohm sign and Ω")
        << QStringLiteral("ω") << QByteArray("5 \u2126, 5 \u03A9") << QByteArray("\u2126\u03A9")
        << QByteArray("5 , 5 ");
    QTest::newRow("beyond the first plane")
        << QStringLiteral("\U00010428") << QByteArray("\U00010400\U00010428")
        << QByteArray("\U00010400\U00010428") << QByteArray();
    QTest::newRow("a combining mark is a character of its own")
        << QStringLiteral("e") << QByteArray("e\xCC\x81") << QByteArray("e")
        << QByteArray("\xCC\x81");

    // Not valid Unicode: nowhere, never "?" or U+FFFD.
    const QByteArray replaced("? \xEF\xBF\xBD a?");
    QTest::newRow("lone high surrogate")
        << QString(QChar(0xD83D)) << replaced << QByteArray() << replaced;
    QTest::newRow("lone low surrogate after a letter")
        << QStringLiteral("a") + QChar(0xDC00) << replaced << QByteArray() << replaced;
    QTest::newRow("surrogates in the wrong order")
        << QString(QChar(0xDE00)) + QChar(0xD83D) << QByteArray("😀") << QByteArray()
        << QByteArray("😀");

    // What is kept is the line's own bytes.
    QTest::newRow("Latin-1 line keeps broken sequences")
        << QStringLiteral("é") << QByteArray("\xC3 caf\xE9 \xE2\x84") << QByteArray("\xE9")
        << QByteArray("\xC3 caf \xE2\x84");
    QTest::newRow("UTF-8 line keeps other characters")
        << QStringLiteral("b") << QByteArray("ÀbÉ😀B\xEF\xBB\xBF") << QByteArray("bB")
        << QByteArray("ÀÉ😀\xEF\xBB\xBF");
}

void OperationsTest::encodings() {
    QFETCH(QString, condition);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, occurrences);
    QFETCH(QByteArray, rest);

    // The line, then one that never holds the text.
    const QByteArray input = line + "\r\n--";
    const bool contains = !occurrences.isEmpty();
    struct Expected {
        int operation;
        bool written;
        QByteArray output;
    };
    const Expected expected[] = {
        {0, true, contains ? QByteArray("--") : input},
        {1, contains, contains ? line : QByteArray()},
        {2, true, rest + "\r\n--"},
        {3, contains, occurrences},
    };
    for (const Expected &e : expected) {
        for (std::size_t chunk :
             {RFTSFSO::LineReader::DefaultChunk, std::size_t(1), std::size_t(5)}) {
            ScriptedContext ctx(condition, Captions[e.operation]);
            const Outcome outcome = Run(ctx, input, 0, chunk);
            QCOMPARE(outcome.written, e.written);
            QCOMPARE(outcome.text, e.output);
        }
    }
    QCOMPARE(QByteArray::fromStdString(RemoveCharactersExcept(View(line), condition)), occurrences);
    QCOMPARE(QByteArray::fromStdString(RemoveOccurrences(View(line), condition)), rest);
}

// Lines that are not UTF-8, in the code page the file is read in: the text's characters that the
// page holds, and no others.
void OperationsTest::codePages_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("occurrences");  // joined; empty: none

    const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2");  // Привет in Windows-1251
    QTest::newRow("curly quotes in Windows-1252")
        << "windows-1252"
        << "“QUOTED”" << QByteArray("say \x93quoted\x94 \xE9") << QByteArray("\x93quoted\x94");
    QTest::newRow("Œ and œ in Windows-1252")
        << "windows-1252"
        << "Œuvre" << QByteArray("\x8Cuvre, \x9Cuvre") << QByteArray("\x8Cuvre\x9Cuvre");
    QTest::newRow("Cyrillic in Windows-1251") << "windows-1251"
                                              << "ПРИВЕТ" << privet + " \xEC\xE8\xF0" << privet;
    QTest::newRow("Cyrillic in Windows-1252") << "windows-1252"
                                              << "привет" << privet << QByteArray();
    QTest::newRow("€ in ISO-8859-1, which has none")
        << "iso-8859-1"
        << "€" << QByteArray("\x80 \xA4") << QByteArray();
    QTest::newRow("€ in ISO-8859-15") << "iso-8859-15"
                                      << "€" << QByteArray("\x80 \xA4") << QByteArray("\xA4");
}

void OperationsTest::codePages() {
    QFETCH(QString, page);
    QFETCH(QString, condition);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, occurrences);
    for (std::size_t chunk : {RFTSFSO::LineReader::DefaultChunk, std::size_t(1)}) {
        ScriptedContext ctx(condition, Captions[3]);
        const Outcome outcome = Run(ctx, line + "\r\n--", 0, chunk, CodePageNamed(page));
        QCOMPARE(outcome.written, !occurrences.isEmpty());
        QCOMPARE(outcome.text, occurrences);
    }
}

// Letter case in each code page, over every byte: each byte is a line of its own (the line end
// aside), and the condition is each character of the page in turn. The lines it removes are
// those whose characters have the same simple case folding as it.
void OperationsTest::letterCaseOverAllBytes_data() {
    QTest::addColumn<QString>("name");
    for (const CodePage &page : CodePages())
        QTest::newRow(page.name) << QString::fromLatin1(page.name);
}

void OperationsTest::letterCaseOverAllBytes() {
    QFETCH(QString, name);
    const CodePage &page = *CodePageNamed(name);
    auto usable = [&](int b) {
        return b != '\n' && b != '\r' &&
               CharacterOf(page, static_cast<unsigned char>(b)) != NoCharacter;
    };
    auto folded = [&](int b) {
        return QChar::toCaseFolded(CharacterOf(page, static_cast<unsigned char>(b)));
    };
    QByteArray lines;
    for (int b = 0; b < 256; ++b) {
        if (usable(b))
            lines += char(b) + QByteArray("\n");
    }
    QStringList wrong;
    for (int c = 1; c < 256; ++c) {
        if (!usable(c))
            continue;
        const char32_t character = CharacterOf(page, static_cast<unsigned char>(c));
        ScriptedContext ctx(QString::fromUcs4(&character, 1), Captions[0]);
        const QByteArray kept =
            Run(ctx, lines, 0, RFTSFSO::LineReader::DefaultChunk, &page).text + "\r\n";
        for (int b = 0; b < 256; ++b) {
            if (usable(b) &&
                kept.contains(char(b) + QByteArray("\r\n")) == (folded(b) == folded(c)))
                wrong.append(QStringLiteral("%1 for %2").arg(b, 2, 16).arg(c, 2, 16));
        }
    }
    QCOMPARE(wrong, QStringList());
}

void OperationsTest::utf8Check_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");

    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("two, three and four bytes") << QByteArray("é€😀") << true;
    QTest::newRow("stray continuation byte") << QByteArray("a\x80") << false;
    QTest::newRow("overlong two bytes") << QByteArray("\xC1\xBF") << false;
    QTest::newRow("lowest two bytes") << QByteArray("\xC2\x80") << true;
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x9F\xBF") << false;
    QTest::newRow("lowest three bytes") << QByteArray("\xE0\xA0\x80") << true;
    QTest::newRow("last before the surrogates") << QByteArray("\xED\x9F\xBF") << true;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("overlong four bytes") << QByteArray("\xF0\x8F\xBF\xBF") << false;
    QTest::newRow("highest character") << QByteArray("\xF4\x8F\xBF\xBF") << true;
    QTest::newRow("beyond the highest") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("lead byte F5") << QByteArray("\xF5\x80\x80\x80") << false;
    QTest::newRow("cut short at the end") << QByteArray("abc\xE2\x84") << false;
    QTest::newRow("third byte not a continuation") << QByteArray("\xE2\x84z") << false;
    QTest::newRow("after sixteen ASCII bytes") << QByteArray(16, 'a') + "\xFF" << false;
    QTest::newRow("a sequence across sixteen-byte blocks")
        << QByteArray(14, 'a') + "\xF0\x9F\x98\x80" + QByteArray(20, 'a') << true;
    QTest::newRow("a sequence cut short across blocks")
        << QByteArray(14, 'a') + "\xF0\x9F\x98" + QByteArray(20, 'a') << false;
}

void OperationsTest::utf8Check() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(IsValidUtf8(View(bytes)), valid);
    QCOMPARE(Reference::IsUtf8(View(bytes)), valid);
}

namespace {

// Lines drawn from pieces of bytes, texts from pieces of text: rows for the comparisons with
// the plain reading of ReferenceMatch.h.
void AlphabetRows() {
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QStringList>("characters");
    QTest::addColumn<QString>("page");  // of the lines that are not UTF-8
    auto row = [](const char *name, const QByteArrayList &pieces, const QStringList &characters,
                  const char *page = "windows-1252") {
        QTest::newRow(name) << pieces << characters << QString::fromLatin1(page);
    };

    row("letters of both cases", {"a", "A", "b", "B"}, {"a", "A", "b", "B"});
    row("Latin-1 neighbours", {"\xDF", "\xFF", "\xD7", "\xF7", "\xC9", "\xE9", "@", "`"},
        {"ß", "ÿ", "×", "÷", "É", "é", "@", "`"});
    row("CR and NUL", {"\r", QByteArray(1, '\0'), "a"}, {"\r", QString(QChar(0)), "a"});
    row("accents in UTF-8 and Windows-1252", {"é", "É", "\xE9", "\xC9", "e", "E", "\xC3"},
        {"é", "É", "e", "E", "Ã", "©"});
    row("Windows-1252 beyond Latin-1", {"\x8A", "\x9A", "\x9F", "\xFF", "\x80", "\x81", "s", "Š"},
        {"Š", "š", "Ÿ", "ÿ", "€", "s", QString(QChar(0x81))});
    row("Kelvin sign and long s",
        {"k", "K", "s", "S", "\xE2\x84\xAA", "ſ", "\xE2\x84", "\x84\xAA", "x", "\xE9"},
        {"k", "K", "s", "S", "\u212A", "ſ", "x"});
    row("folds of other lengths", {"ẞ", "ß", "S", "\u212B", "å", "Å", "\u2126", "ω", "Ω", "\xDF"},
        {"ß", "ẞ", "s", "å", "Å", "ω", "Ω"});
    row("beyond the first plane", {"😀", "\U00010400", "\U00010428", "a", "\xF0\x9F"},
        {"😀", "\U00010400", "\U00010428", "a"});
    row("surrogates", {"a", "\xED\xA0\x80", "😀", "?", "\xEF\xBF\xBD"},
        {QString(QChar(0xD83D)), QString(QChar(0xDE00)), "a", "😀", "?"});
    // Three bytes of one letter (sigma, and mu with the micro sign) in Windows-1253.
    row("Greek in Windows-1253", {"\xD3", "\xF3", "\xF2", "\xB5", "\xCC", "\xEC", "σ", "a"},
        {"Σ", "σ", "ς", "µ", "μ", "a"}, "windows-1253");
    row("Cyrillic in KOI8-R", {"\xF0", "\xD0", "\xE1", "\xC1", "п", "x", "\xF1"},
        {"П", "п", "А", "а", "я", "x"}, "koi8-r");
}

// Draws lines and texts for one row. Every other line uses only the pieces that are valid
// UTF-8 on their own, so that both readings come up often.
class Draw {
public:
    Draw(const QByteArrayList &pieces, const QStringList &characters)
        : pieces_(pieces), characters_(characters) {
        for (const QByteArray &piece : pieces) {
            if (Reference::IsUtf8(View(piece)))
                utf8Pieces_.append(piece);
        }
    }
    std::string line(std::size_t most) {
        const QByteArrayList &from = random_() % 2 ? pieces_ : utf8Pieces_;
        std::string line;
        for (std::size_t n = random_() % (most + 1); n > 0; --n)
            line += from[static_cast<qsizetype>(random_() % from.size())].toStdString();
        return line;
    }
    QString text() {
        QString text;
        for (std::size_t n = 1 + random_() % 4; n > 0; --n)
            text += characters_[static_cast<qsizetype>(random_() % characters_.size())];
        return text;
    }
    unsigned next() { return random_(); }

private:
    QByteArrayList pieces_, utf8Pieces_;
    QStringList characters_;
    std::mt19937 random_{20240917};
};

QString Describe(const std::string &line, const QString &text) {
    return QStringLiteral("line %1, text %2")
        .arg(QByteArray::fromStdString(line).toHex(' '),
             QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2).toHex(' '));
}

}  // namespace

// Long texts in lines full of places where all but a little of the text matches: enough
// comparisons for the search to leave its quick way for the ones that are linear in the line
// (Two-Way over bytes, a single pass over characters), which must find what the plain reading
// finds. (How long they take is measured by the core benchmark's near-miss workload.)
void OperationsTest::longTextsAmongNearMisses_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("page");
    const QByteArray a599(599, 'a'), A300(300, 'A');
    const QString e(300, u'é');
    QTest::newRow("periodic text")
        << (a599 + 'b').repeated(30) + a599 + 'a' << QString(600, u'a') << "windows-1252";
    QTest::newRow("a break in the middle")
        << QByteArray("x") + (A300 + A300.toLower()).repeated(30) + A300 + "b" + A300.toLower()
        << QString(300, u'a') + u'B' + QString(300, u'a') << "windows-1252";
    QTest::newRow("Kelvin signs") << QByteArray("\xE2\x84\xAA").repeated(3000) + "kx"
                                  << QString(400, u'k') + u'x' << "windows-1252";
    QTest::newRow("letters above ASCII")
        << QString(QString(300, u'É') + u'y').repeated(20).toUtf8() + e.toUtf8() + "x" << e + u'x'
        << "windows-1252";
    QTest::newRow("a code page's letters")
        << QByteArray(5000, '\xC9') + QByteArray(150, '\xE9') + "x" + QByteArray(150, '\xC9')
        << QString(150, u'é') + u'x' + QString(150, u'é') << "windows-1252";
    QTest::newRow("nowhere") << QByteArray(20000, 'a')
                             << QString(450, u'a') + u'b' + QString(449, u'a') << "windows-1252";
}

void OperationsTest::longTextsAmongNearMisses() {
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(QString, page);
    const CodePage &in = *CodePageNamed(page);
    const std::string bytes = line.toStdString();
    const Pattern pattern(text, in);
    Line l(bytes);
    const std::vector<Reference::Character> characters = Reference::Characters(bytes, in);
    for (const std::size_t from : {std::size_t(0), characters[characters.size() / 2].offset}) {
        const Occurrence found = pattern.find(l, from);
        const Reference::Found wanted = Reference::Find(bytes, text, from, in);
        QCOMPARE(found.at, wanted.at);
        if (found.found())
            QCOMPARE(found.size, wanted.size);
    }
}

void OperationsTest::searchAgreesWithReference_data() {
    AlphabetRows();
}

void OperationsTest::searchAgreesWithReference() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(QStringList, characters);
    QFETCH(QString, page);
    const CodePage &in = *CodePageNamed(page);

    // Line lengths around the sixteen-byte blocks, every starting place at a character: the
    // search must find what the character-by-character reading finds.
    Draw draw(pieces, characters);
    for (int round = 0; round < 3000; ++round) {
        const std::string line = draw.line(40);
        const QString text = draw.text();
        const Pattern pattern(text, in);
        Line l(line);
        std::vector<std::size_t> starts;
        for (const Reference::Character &c : Reference::Characters(line, in))
            starts.push_back(c.offset);
        starts.push_back(line.size());
        for (const std::size_t from : starts) {
            const Occurrence found = pattern.find(l, from);
            const Reference::Found wanted = Reference::Find(line, text, from, in);
            if (found.at != wanted.at || (found.found() && found.size != wanted.size))
                QFAIL(qPrintable(Describe(line, text) + QStringLiteral(", from %1").arg(from)));
        }
    }
}

void OperationsTest::loopsAgreeWithReference_data() {
    AlphabetRows();
}

void OperationsTest::loopsAgreeWithReference() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(QStringList, characters);
    QFETCH(QString, page);
    const CodePage &in = *CodePageNamed(page);

    // Whole files through the loops, whose search looks ahead across lines and chunk ends.
    Draw draw(pieces, characters);
    for (int round = 0; round < 300; ++round) {
        std::string file;
        // Up to two dozen lines: enough for the loops to keep runs of lines at once.
        for (std::size_t n = draw.next() % 24; n > 0; --n)
            file += draw.line(20) + (draw.next() % 2 ? "\r\n" : "\n");
        file += draw.line(20);
        const QString text = draw.text();

        std::vector<std::string> lines{std::string()};
        for (const char c : file) {
            if (c != '\n') {
                lines.back() += c;
                continue;
            }
            if (!lines.back().empty() && lines.back().back() == '\r')
                lines.back().pop_back();
            lines.emplace_back();
        }
        if (lines.size() > 1 && lines.back().empty())
            lines.pop_back();

        for (int operation = 0; operation <= 3; ++operation) {
            QByteArrayList kept;
            for (const std::string &line : lines) {
                const bool contains = !line.empty() && Reference::Contains(line, text, in);
                std::string result = line;
                if (operation == 0 && contains)
                    continue;
                if ((operation == 1 || operation == 3) && !contains)
                    continue;
                if (operation == 2 && contains)
                    result = Reference::Without(line, text, in);
                if (operation == 3)
                    result = Reference::Except(line, text, in);
                kept.append(QByteArray::fromStdString(result));
            }
            const QByteArray input = QByteArray::fromStdString(file);
            for (std::size_t chunk : {RFTSFSO::LineReader::DefaultChunk, std::size_t(1),
                                      std::size_t(7), std::size_t(16), std::size_t(100)}) {
                ScriptedContext ctx(text, Captions[operation]), marking(text, Captions[operation]);
                const Outcome outcome = Run(ctx, input, 0, chunk, &in);
                bool inOrder = false;
                const Outcome marked = Marked(marking, input, 0, chunk, nullptr, &inOrder, &in);
                if (outcome.written != !kept.isEmpty() || outcome.text != kept.join("\r\n") ||
                    marked.written != outcome.written || marked.text != outcome.text || !inOrder)
                    QFAIL(qPrintable(
                        Describe(file, text) +
                        QStringLiteral(", operation %1, chunk %2").arg(operation).arg(chunk)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(OperationsTest)
#include "tst_operations.moc"
