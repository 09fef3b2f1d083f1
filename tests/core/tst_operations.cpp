// The six removal operations, the loop choice, and what the loops ask of the run.
#include "Operations.h"

#include <QtTest>

#include <random>

using namespace Operations;

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

std::string_view View(const QByteArray &bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A run whose controls change only where the test says: before line k (counted from 0), a
// yield runs and the condition text or the chooser's text may take new values.
class ScriptedContext : public LineContext {
public:
    struct Change {
        QByteArray text;
        QString chooser;
    };

    ScriptedContext(QByteArray text, QString chooser)
        : text_(std::move(text)), chooser_(std::move(chooser)) {}

    void changeBeforeLine(int line, Change change) { changes_.insert(line, change); }

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
    QByteArray conditionText() override {
        ++textReads;
        return text_;
    }
    QString chooserText() override {
        ++chooserReads;
        return chooser_;
    }

    int yields = 0, textReads = 0, chooserReads = 0;

private:
    QByteArray text_;
    QString chooser_;
    QMap<int, Change> changes_;
};

struct Outcome {
    bool written = false;
    QByteArray text;
};

// Runs one loop over bytes held in memory, reading them `chunk` bytes at a time.
Outcome Run(LineContext &ctx, const QByteArray &input, long long lineNumber,
            std::size_t chunk = RFTSFSO::LineReader::DefaultChunk) {
    auto reader = RFTSFSO::LineReader::fromBytes(View(input), chunk);
    std::string text;
    RFTSFSO::ResultWriter writer(&text);
    RunLoop(reader, writer, ctx, lineNumber);
    Outcome outcome;
    outcome.written = writer.finish();
    outcome.text = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    return outcome;
}

// The straightforward search, byte by byte through the fold table.
std::size_t NaiveFind(std::string_view line, std::string_view text, std::size_t from) {
    if (text.empty())
        return std::string_view::npos;
    for (std::size_t at = from; at + text.size() <= line.size(); ++at) {
        std::size_t i = 0;
        while (i < text.size() && Fold(line[at + i]) == Fold(text[i]))
            ++i;
        if (i == text.size())
            return at;
    }
    return std::string_view::npos;
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
    void changesDuringFile_data();
    void changesDuringFile();
    void searchAgreesWithByteByByte_data();
    void searchAgreesWithByteByByte();
};

void OperationsTest::operations_data() {
    QTest::addColumn<QString>("chooser");
    QTest::addColumn<QByteArray>("condition");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QByteArray>("output");

    const QByteArray abc = "xxABCyy\r\nkeep";
    QTest::newRow("0 drops xxABCyy")
        << Captions[0] << QByteArray("Abc") << abc << true << QByteArray("keep");
    QTest::newRow("1 keeps xxABCyy")
        << Captions[1] << QByteArray("Abc") << abc << true << QByteArray("xxABCyy");
    QTest::newRow("2 gives xxyy") << Captions[2] << QByteArray("Abc") << abc << true
                                  << QByteArray("xxyy\r\nkeep");
    QTest::newRow("3 gives ABC") << Captions[3] << QByteArray("Abc") << abc << true
                                 << QByteArray("ABC");
    QTest::newRow("0 drops the only line")
        << Captions[0] << QByteArray("Abc") << QByteArray("xxABCyy") << false << QByteArray();

    QTest::newRow("2 aabb without ab is ab")
        << Captions[2] << QByteArray("ab") << QByteArray("aabb") << true << QByteArray("ab");
    QTest::newRow("2 line that becomes empty stays")
        << Captions[2] << QByteArray("ab") << QByteArray("x\r\nAbaB\r\ny") << true
        << QByteArray("x\r\n\r\ny");
    QTest::newRow("3 a b c is not abc")
        << Captions[3] << QByteArray("abc") << QByteArray("a b c") << false << QByteArray();
    QTest::newRow("1 a b c is not abc")
        << Captions[1] << QByteArray("abc") << QByteArray("a b c") << false << QByteArray();

    // The text is taken whole, never trimmed.
    QTest::newRow("0 blanks around the text count")
        << Captions[0] << QByteArray(" ab ") << QByteArray("xaby\r\nx ab y") << true
        << QByteArray("xaby");

    // Empty lines against lines of blanks.
    const QByteArray blanks = "  \r\n\r\n\t\r\nx";
    QTest::newRow("5 keeps lines of blanks")
        << Captions[5] << QByteArray("q") << blanks << true << QByteArray("  \r\n\t\r\nx");
    QTest::newRow("0 keeps empty lines")
        << Captions[0] << QByteArray("x") << blanks << true << QByteArray("  \r\n\r\n\t");
    QTest::newRow("2 keeps empty lines")
        << Captions[2] << QByteArray("x") << blanks << true << QByteArray("  \r\n\r\n\t\r\n");
    QTest::newRow("1 drops empty lines")
        << Captions[1] << QByteArray(" ") << blanks << true << QByteArray("  ");
    QTest::newRow("3 drops empty lines")
        << Captions[3] << QByteArray("\t") << blanks << true << QByteArray("\t");

    // Line ends in and out.
    QTest::newRow("LF and CR LF in, CR LF out")
        << Captions[5] << QByteArray("q") << QByteArray("a\nb\r\nc\n") << true
        << QByteArray("a\r\nb\r\nc");
    QTest::newRow("final CR LF is lost")
        << Captions[5] << QByteArray("q") << QByteArray("a\r\nb\r\n") << true
        << QByteArray("a\r\nb");
    QTest::newRow("lone CR is an ordinary byte")
        << Captions[0] << QByteArray("q") << QByteArray("a\rb\nc\r") << true
        << QByteArray("a\rb\r\nc\r");
    QTest::newRow("CR before CR LF stays")
        << Captions[5] << QByteArray("q") << QByteArray("a\r\r\nb") << true
        << QByteArray("a\r\r\nb");
    QTest::newRow("condition spans no line end")
        << Captions[0] << QByteArray("a\r") << QByteArray("xa\r\nya\rz") << true
        << QByteArray("xa");

    QTest::newRow("byte-order mark kept") << Captions[0] << QByteArray("second")
                                          << QByteArray(
                                                 "\xEF\xBB\xBF"
                                                 "first\r\nsecond")
                                          << true
                                          << QByteArray(
                                                 "\xEF\xBB\xBF"
                                                 "first");
    QTest::newRow("byte-order mark is three characters") << Captions[3]
                                                         << QByteArray(
                                                                "\xBB\xBF"
                                                                "f")
                                                         << QByteArray(
                                                                "\xEF\xBB\xBF"
                                                                "first")
                                                         << true
                                                         << QByteArray(
                                                                "\xBB\xBF"
                                                                "f");

    // Letter case: É and é are one letter; × and ÷ are not; ß and ÿ are not either (they differ
    // in the case bit only). Long lines go through the sixteen-at-a-time search, short ones not.
    const QByteArray pad(40, '-');
    QTest::newRow("é finds É") << Captions[0] << QByteArray("caf\xE9")
                               << QByteArray("CAF\xC9\r\nkeep") << true << QByteArray("keep");
    QTest::newRow("É finds é, long line")
        << Captions[2] << QByteArray("\xC9T\xC9") << pad + "\xE9t\xE9" + pad << true << pad + pad;
    QTest::newRow("÷ does not find ×") << Captions[0] << QByteArray("\xF7")
                                       << QByteArray(
                                              "a\xD7"
                                              "b")
                                       << true
                                       << QByteArray(
                                              "a\xD7"
                                              "b");
    QTest::newRow("× does not find ÷, long line")
        << Captions[0] << QByteArray("\xD7") << pad + "\xF7" + pad << true << pad + "\xF7" + pad;
    QTest::newRow("ÿ does not find ß, long line")
        << Captions[1] << QByteArray("z\xFF") << pad + "Z\xDF" + pad << false << QByteArray();
    QTest::newRow("@ does not find `, long line")
        << Captions[1] << QByteArray("`") << pad + "@" + pad << false << QByteArray();
    QTest::newRow("ASCII letters fold")
        << Captions[3] << QByteArray("mEtA hTTp") << pad + "<META HTTP-EQUIV>" << true
        << QByteArray("META HTTP");

    const QByteArray nul("a\0b\r\nc", 6);
    QTest::newRow("NUL inside a line")
        << Captions[2] << QByteArray("b") << nul << true << QByteArray("a\0\r\nc", 5);
    QTest::newRow("NUL is an ordinary byte")
        << Captions[1] << QByteArray("\0b", 2) << nul << true << QByteArray("a\0b", 3);

    // Any chooser text that names none of the other loops behaves as index 0.
    QTest::newRow("other text drops like 0")
        << QStringLiteral("remove those characters") << QByteArray("Abc") << abc << true
        << QByteArray("keep");
    QTest::newRow("empty chooser drops like 0")
        << QString() << QByteArray("Abc") << abc << true << QByteArray("keep");
}

void OperationsTest::operations() {
    QFETCH(QString, chooser);
    QFETCH(QByteArray, condition);
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

    ScriptedContext ctx("unused", Captions[4]);
    const Outcome outcome = Run(ctx, input, line);
    QVERIFY(outcome.written);
    QCOMPARE(outcome.text, output);
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
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("kept");

    QTest::newRow("line's own case")
        << QByteArray("xxABCyyabczz") << QByteArray("abc") << QByteArray("ABCabc");
    QTest::newRow("no overlap") << QByteArray("ababa") << QByteArray("aba") << QByteArray("aba");
    QTest::newRow("every occurrence")
        << QByteArray("banana") << QByteArray("a") << QByteArray("aaa");
    QTest::newRow("apart is not whole") << QByteArray("a b c") << QByteArray("abc") << QByteArray();
    QTest::newRow("empty line") << QByteArray() << QByteArray("a") << QByteArray();
    QTest::newRow("empty text ends at once") << QByteArray("abc") << QByteArray() << QByteArray();
    QTest::newRow("text longer than line") << QByteArray("ab") << QByteArray("abc") << QByteArray();
}

void OperationsTest::removeCharactersExcept() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, kept);
    QCOMPARE(QByteArray::fromStdString(RemoveCharactersExcept(View(line), View(text))), kept);
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

void OperationsTest::changesDuringFile_data() {
    QTest::addColumn<QString>("chooser");
    QTest::addColumn<int>("line");  // before which line the yield runs
    QTest::addColumn<QByteArray>("newText");
    QTest::addColumn<QString>("newChooser");
    QTest::addColumn<QByteArray>("output");

    const QString none;
    QTest::newRow("0: new text from the next line")
        << Captions[0] << 2 << QByteArray("b") << none << QByteArray("b\r\na");
    QTest::newRow("1: new text from the next line")
        << Captions[1] << 1 << QByteArray("b") << none << QByteArray("a\r\nb\r\nb\r\nb");
    QTest::newRow("3: new text from the next line")
        << Captions[3] << 2 << QByteArray("B") << none << QByteArray("a\r\nb\r\nb");
    QTest::newRow("0 turns into 2")
        << Captions[0] << 2 << QByteArray() << Captions[2] << QByteArray("b\r\nb\r\n\r\nb");
    QTest::newRow("2 turns into 0")
        << Captions[2] << 2 << QByteArray() << Captions[0] << QByteArray("\r\nb\r\nb\r\nb");
    // The loop is chosen per file; in the shared loop any other text drops like index 0.
    QTest::newRow("2 turns into 5 mid-file")
        << Captions[2] << 2 << QByteArray() << Captions[5] << QByteArray("\r\nb\r\nb\r\nb");
    QTest::newRow("1 turns into 0 mid-file: still 1")
        << Captions[1] << 2 << QByteArray() << Captions[0] << QByteArray("a\r\na");
}

void OperationsTest::changesDuringFile() {
    QFETCH(QString, chooser);
    QFETCH(int, line);
    QFETCH(QByteArray, newText);
    QFETCH(QString, newChooser);
    QFETCH(QByteArray, output);

    ScriptedContext ctx("a", chooser);
    ctx.changeBeforeLine(line, {newText, newChooser});
    QCOMPARE(Run(ctx, "a\r\nb\r\nb\r\na\r\nb", 0).text, output);
}

void OperationsTest::searchAgreesWithByteByByte_data() {
    QTest::addColumn<QByteArray>("alphabet");
    QTest::newRow("letters of both cases") << QByteArray("aAbB");
    QTest::newRow("Latin-1 neighbours") << QByteArray("\xDF\xFF\xD7\xF7\xC9\xE9@`");
    QTest::newRow("line ends and NUL") << QByteArray("\r\n\0a", 4);
}

void OperationsTest::searchAgreesWithByteByByte() {
    QFETCH(QByteArray, alphabet);

    // Every line length around the sixteen-byte blocks, every text length up to five, every
    // starting place: the fast search must agree with the byte-by-byte one.
    std::mt19937 random(20240917);
    auto draw = [&](std::size_t size) {
        std::string text(size, '\0');
        for (char &c : text)
            c = alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        return text;
    };
    for (int round = 0; round < 4000; ++round) {
        const std::string line = draw(random() % 70);
        const std::string text = draw(1 + random() % 5);
        const Pattern pattern(text);
        for (std::size_t from = 0; from <= line.size(); ++from) {
            if (pattern.find(line, from) != NaiveFind(line, text, from))
                QFAIL(qPrintable(QStringLiteral("line %1, text %2, from %3")
                                     .arg(QByteArray::fromStdString(line).toHex(),
                                          QByteArray::fromStdString(text).toHex())
                                     .arg(from)));
        }
    }
}

QTEST_GUILESS_MAIN(OperationsTest)
#include "tst_operations.moc"
