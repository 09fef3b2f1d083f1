// The condition as a pattern: "Match case", "Whole words", "Regular expression" for the four
// operations that use the condition, replacing, refused patterns and the library's limits.
#include "support/TestFiles.h"
#include "text/Matcher.h"
#include "text/Operations.h"

#include <QtTest>

using namespace Operations;
using TestFiles::View;

namespace {

class Fixed : public LineContext {
public:
    Fixed(QString text, QString chooser) : text_(std::move(text)), chooser_(std::move(chooser)) {}
    bool letEventsRun() override { return false; }
    QString conditionText() override { return text_; }
    QString chooserText() override { return chooser_; }

private:
    QString text_, chooser_;
};

// "c": match case, "w": whole words, "r": regular expression.
MatchOptions OptionsOf(const QString &letters) {
    return {letters.contains(u'c'), letters.contains(u'w'), letters.contains(u'r')};
}

// The result of a loop over `input` with the matcher, or "-" when nothing is kept; the lines
// that are not UTF-8 are in Windows-1252. `marked`: the same through MarkLoop's parts.
QByteArray Run(const Matcher &matcher, int operation, const QByteArray &input,
               QByteArray *marked = nullptr, qsizetype chunk = 3) {
    const QString &chooser = Captions[std::size_t(operation)];
    const RFTSFSO::ReadOptions asText{.binaryAsText = true, .detect = false};
    auto reader = RFTSFSO::LineReader::fromBytes(View(input), std::size_t(chunk), asText);
    std::string text;
    RFTSFSO::ResultWriter writer(&text, &reader);
    Fixed ctx(matcher.text(), chooser);
    RunLoop(reader, writer, ctx, 0, nullptr, &matcher);
    QByteArray result = writer.finish() ? QByteArray::fromStdString(text) : "-";
    if (marked != nullptr) {
        struct Parts : LineMarks {
            std::string line, kept;
            int lines = 0;
            void lineRead(std::string_view l) override { line = l; }
            void keptLine() override { kept += lines++ > 0 ? "\r\n" : ""; }
            void keptPart(std::size_t at, std::size_t size) override {
                kept += line.substr(at, size);
            }
        } parts;
        auto again = RFTSFSO::LineReader::fromBytes(View(input), std::size_t(chunk), asText);
        Fixed markCtx(matcher.text(), chooser);
        MarkLoop(again, parts, markCtx, 0, nullptr, &matcher);
        *marked = parts.lines > 0 ? QByteArray::fromStdString(parts.kept) : "-";
    }
    return result;
}

}  // namespace

class PatternsTest : public QObject {
    Q_OBJECT

private slots:
    void operations_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("operation");  // the chooser's index
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");  // "-": nothing kept
        const QByteArray mixed = "Cat\r\nconcatenate\r\nthe cat sat";
        QTest::newRow("case off") << "" << 0 << "cat" << mixed << QByteArray("-");
        QTest::newRow("case on") << "c" << 0 << "cat" << mixed << QByteArray("Cat");
        QTest::newRow("word") << "w" << 1 << "cat" << mixed << QByteArray("Cat\r\nthe cat sat");
        QTest::newRow("word, case")
            << "cw" << 2 << "cat" << mixed << QByteArray("Cat\r\nconcatenate\r\nthe  sat");
        QTest::newRow("word by punctuation")
            << "w" << 3 << "cat" << QByteArray("(cat),cat_,2cat") << QByteArray("cat");
        QTest::newRow("word by digit and letter")
            << "w" << 2 << "ab" << QByteArray("ab1 éab ab.") << QByteArray("ab1 éab .");
        QTest::newRow("word edge is the match's")
            << "w" << 2 << "-" << QByteArray("a-b - c") << QByteArray("a-b  c");
        QTest::newRow("regex") << "r" << 3 << "[0-9]+" << QByteArray("a12b3\r\nnone")
                               << QByteArray("123");
        QTest::newRow("regex is literal without")
            << "" << 1 << "a.c" << QByteArray("abc\r\na.c") << QByteArray("a.c");
        QTest::newRow("escaped literal, case")
            << "c" << 1 << "a.c" << QByteArray("abc\r\na.c") << QByteArray("a.c");
        QTest::newRow("regex, word")
            << "rw" << 3 << "c[a-z]t" << QByteArray("cat cot scot cut") << QByteArray("catcotcut");
        QTest::newRow("regex, case")
            << "rc" << 0 << "^A" << QByteArray("Ab\r\nab") << QByteArray("ab");
        // Folding, as the literal search folds: simple, so ß is no "ss".
        QTest::newRow("Kelvin sign, case off")
            << "r" << 3 << "k+" << QByteArray("\u212Akx") << QByteArray("\u212Ak");
        QTest::newRow("Kelvin sign, case on")
            << "c" << 3 << "k" << QByteArray("\u212Akx") << QByteArray("k");
        QTest::newRow("long s, case off")
            << "w" << 1 << "S" << QByteArray("\u017F\r\nx") << QByteArray("\u017F");
        QTest::newRow("long s, case on")
            << "c" << 1 << "S" << QByteArray("\u017F\r\nS") << QByteArray("S");
        QTest::newRow("sharp s folds simply")
            << "w" << 3 << "\u00DF" << QByteArray("ss \u1E9E") << QByteArray("\u1E9E");
        QTest::newRow("sharp s, case on")
            << "c" << 3 << "\u00DF" << QByteArray("\u1E9E\u00DF") << QByteArray("\u00DF");
        // A line that is not UTF-8 is read in its code page (Windows-1252 here).
        QTest::newRow("legacy line, case off")
            << "w" << 3 << "\u00DF\u00C9" << QByteArray("a \xDF\xE9 b") << QByteArray("\xDF\xE9");
        QTest::newRow("legacy line, case on")
            << "c" << 1 << "\u00E9" << QByteArray("\xC9\r\n\xE9") << QByteArray("\xE9");
        QTest::newRow("legacy line, regex")
            << "r" << 2 << "\\w\u20AC" << QByteArray("x\x80y\xE9\x80") << QByteArray("y");
        QTest::newRow("legacy word edge") << "w" << 2 << "ab"
                                          << QByteArray(
                                                 "\xE9"
                                                 "ab ab\xFF")
                                          << QByteArray(
                                                 "\xE9"
                                                 "ab ab\xFF");
        // Empty matches: a match all the same, and the search goes on one character later.
        QTest::newRow("x* contains")
            << "r" << 0 << "x*" << QByteArray("abc\r\n\r\nx") << QByteArray("");
        QTest::newRow("x* deletes its x")
            << "r" << 2 << "x*" << QByteArray("axxbx\u00E9") << QByteArray("ab\u00E9");
        QTest::newRow("x* keeps its x")
            << "r" << 3 << "x*" << QByteArray("axxbx\r\nab") << QByteArray("xxx\r\n");
        QTest::newRow("lookbehind sees the line")
            << "r" << 2 << "(?<=a)b" << QByteArray("abbab") << QByteArray("aba");
    }
    void operations() {
        QFETCH(QString, options);
        QFETCH(int, operation);
        QFETCH(QString, condition);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        const auto matcher = Matcher::Compile(condition, OptionsOf(options));
        QByteArray marked;
        QCOMPARE(Run(*matcher, operation, input, &marked), output);
        QCOMPARE(marked, output);  // the preview's marks are the run's matches
    }

    void replace_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("literal") << ""
                                 << "A.b"
                                 << "$1" << QByteArray("xa.bA.By\r\nab")
                                 << QByteArray("x$1$1y\r\nab");
        QTest::newRow("groups") << "r"
                                << "(\\w+)=(\\w+)"
                                << "$2=${1}" << QByteArray("a=b, cd=e") << QByteArray("b=a, e=cd");
        QTest::newRow("named group, dollar") << "r"
                                             << "(?<n>[0-9]+)"
                                             << "$$${n}" << QByteArray("n 5") << QByteArray("n $5");
        QTest::newRow("empty replacement") << "rw"
                                           << "o+"
                                           << "" << QByteArray("oo foo o") << QByteArray(" foo ");
        QTest::newRow("empty matches")
            << "r"
            << "x*"
            << "-" << QByteArray("xxa\r\n\r\nb") << QByteArray("--a-\r\n-\r\n-b-");
        QTest::newRow("unset group") << "r"
                                     << "a(b)?"
                                     << "[$1]" << QByteArray("ab a") << QByteArray("[b] []");
        QTest::newRow("legacy line keeps its bytes")
            << "r"
            << "(\u00E9+)"
            << "<$1\u00E8>" << QByteArray("x\xE9\xE9") << QByteArray("x<\xE9\xE9\xE8>");
        QTest::newRow("legacy line without the replacement's form")
            << ""
            << "a"
            << "\u0416" << QByteArray("a\xE9\r\na") << QByteArray("a\xE9\r\n\u0416");
    }
    void replace() {
        QFETCH(QString, options);
        QFETCH(QString, text);
        QFETCH(QString, with);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, output);
        const auto matcher = Matcher::Compile(text, OptionsOf(options), true, with);
        QCOMPARE(Run(*matcher, 2, input), output);
    }

    void refused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("with");  // null: no replacement
        QTest::addColumn<QString>("message");
        QTest::newRow("open group") << "(script" << QString()
                                    << "Invalid regular expression at character 7: missing closing "
                                       "parenthesis";
        QTest::newRow("counted in characters")
            << "\u00E9\u00E9[" << QString()
            << "Invalid regular expression at character 3: missing terminating ] for character "
               "class";
        QTest::newRow("no such group") << "(a)"
                                       << "$2"
                                       << "Invalid replacement at character 0: "
                                          "there is no group 2";
        QTest::newRow("no such name") << "(a)"
                                      << "x${b}"
                                      << "Invalid replacement at character 1: "
                                         "no group is named b";
        QTest::newRow("lone dollar") << "a"
                                     << "$"
                                     << "Invalid replacement at character 0: $ must "
                                        "be followed by a group number, {name} or $";
    }
    void refused() {
        QFETCH(QString, text);
        QFETCH(QString, with);
        QFETCH(QString, message);
        for (const QString &options : {QStringLiteral("r"), QStringLiteral("rwc")}) {
            try {
                Matcher::Compile(text, OptionsOf(options), !with.isNull(), with);
                QFAIL("compiled");
            } catch (const InvalidPattern &invalid) {
                QCOMPARE(invalid.message(), message);
            }
        }
        // As a literal text it is only itself.
        if (with.isNull())
            QCOMPARE(Run(*Matcher::Compile(text, OptionsOf("c")), 3, text.toUtf8() + "x"),
                     text.toUtf8());
    }

    // A pattern that backtracks without end reaches the library's limit: the line says so, and
    // the loop ends; one that needs no backtracking matches a long line whole.
    void limits_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("tooComplex");
        const QByteArray as(100000, 'a');
        QTest::newRow("(a+)+$ on a's") << "(a+)+$" << as << false;
        QTest::newRow("(a+)+$ before b") << "(a+)+$" << as + "b" << true;
        QTest::newRow("(a|aa)+$ before b") << "(a|aa)+$" << QByteArray(5000, 'a') + "b" << true;
    }
    void limits() {
        QFETCH(QString, pattern);
        QFETCH(QByteArray, line);
        QFETCH(bool, tooComplex);
        const auto matcher = Matcher::Compile(pattern, OptionsOf("r"));
        try {
            QCOMPARE(Run(*matcher, 3, "x\r\n" + line), tooComplex ? "?" : line);
            QVERIFY(!tooComplex);
        } catch (const PatternTooComplex &complex) {
            QVERIFY(tooComplex);
            QCOMPARE(complex.line, std::uint64_t(2));
        }
    }

    // A line longer than a search window: whichever window a match starts in, or runs across,
    // it is found as one search of the whole line finds it. `text` goes at `at` in a line of
    // 2.5 windows of a's; the result is operation 3's (the matches).
    void longLine_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qsizetype>("at");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("output");  // "-": no match
        const auto w = qsizetype(SearchWindow);
        const QByteArray euro = "\u20AC";
        QTest::newRow("starts before the end")
            << "xa*y" << w - 1 << QByteArray("xaay") << QByteArray("xaay");
        QTest::newRow("starts at the end")
            << "xa*y" << w << QByteArray("xaay") << QByteArray("xaay");
        for (const qsizetype after : {w + 1, w + 2, 2 * w + 1, 2 * w + 2})
            QTest::addRow("starts at %lld", static_cast<long long>(after))
                << "xa*y" << after << QByteArray("xy") << QByteArray("xy");
        QTest::newRow("lookbehind") << "(?<=qq)z" << w << QByteArray("qqz") << QByteArray("z");
        QTest::newRow("lookahead to the end")
            << "b(?=a*$)" << w << QByteArray("b") << QByteArray("b");
        QTest::newRow("$ is the line's end") << "b$" << w - 1 << QByteArray("b") << QByteArray("-");
        QTest::newRow("\\b sees the a before")
            << "\\bq" << w + 1 << QByteArray("q") << QByteArray("-");
        QTest::newRow("character across") << "\u20ACb" << w - 1 << euro + "b" << euro + "b";
        QTest::newRow("no start inside a character")
            << "(?![a\u20AC])." << w - 1 << euro << QByteArray("-");
        QTest::newRow("legacy line") << "\u00E9b" << w - 1
                                     << QByteArray(
                                            "\xE9"
                                            "b")
                                     << QByteArray(
                                            "\xE9"
                                            "b");
        QTest::newRow("legacy character across")
            << "(?![a\u20AC])." << w - 1 << QByteArray("\x80") << QByteArray("-");
        // Where a search starts is part of what these mean: the line is searched in one call.
        QTest::newRow("\\G") << "\\Gq" << w + 1 << QByteArray("q") << QByteArray("-");
        QTest::newRow("(*COMMIT)") << "a(*COMMIT)q" << w + 1 << QByteArray("aq") << QByteArray("-");
        QTest::newRow("no match") << "\\s+x" << w << QByteArray("x") << QByteArray("-");
    }
    void longLine() {
        QFETCH(QString, pattern);
        QFETCH(qsizetype, at);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, output);
        QByteArray line(qsizetype(SearchWindow) * 5 / 2, 'a');
        line.replace(at, text.size(), text);
        QByteArray marked;
        QCOMPARE(Run(*Matcher::Compile(pattern, OptionsOf("r")), 3, line, &marked, line.size()),
                 output);
        QCOMPARE(marked, output);
    }

    // The search of a long line asks after each window whether to go on, in every loop that
    // searches: a stop there ends it, and what a yield there changed counts from the next line.
    void looksWhileSearching_data() {
        QTest::addColumn<bool>("replaces");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<bool>("stops");
        QTest::newRow("stop") << false << false << true;
        QTest::newRow("stop while replacing") << true << false << true;
        QTest::newRow("stop while marking") << false << true << true;
        QTest::newRow("yield") << false << false << false;
    }
    void looksWhileSearching() {
        QFETCH(bool, replaces);
        QFETCH(bool, marks);
        QFETCH(bool, stops);
        struct Stop {};
        struct Looks : Fixed {
            using Fixed::Fixed;
            bool stops = false, changed = false;
            int looks = 0;
            bool letEventsRunInLine() override {
                ++looks;
                if (stops)
                    throw Stop{};
                return changed = true;
            }
            QString conditionText() override { return changed ? "b" : Fixed::conditionText(); }
        } ctx(QStringLiteral("\\s+x"), Captions[0]);
        ctx.stops = stops;
        const QByteArray line(qsizetype(SearchWindow) * 3, 'a'), input = line + "\r\nb";
        // One chunk: the reader itself never looks inside the line.
        auto reader = RFTSFSO::LineReader::fromBytes(View(input), std::size_t(input.size()));
        const auto matcher = Matcher::Compile(ctx.conditionText(), OptionsOf("r"), replaces, u"y");
        std::string text;
        RFTSFSO::ResultWriter writer(&text, &reader);
        struct NoMarks : LineMarks {
            void lineRead(std::string_view) override {}
            void keptLine() override {}
            void keptPart(std::size_t, std::size_t) override {}
        } noMarks;
        auto run = [&] {
            if (marks)
                MarkLoop(reader, noMarks, ctx, 0, nullptr, matcher.get());
            else
                RunLoop(reader, writer, ctx, 0, nullptr, matcher.get());
        };
        if (stops) {
            QVERIFY_THROWS_EXCEPTION(Stop, run());
            QCOMPARE(ctx.looks, 1);
            return;
        }
        run();
        QVERIFY(writer.finish());
        QCOMPARE(qsizetype(text.size()), line.size());  // the line of b's went
        QVERIFY(ctx.looks >= 2);
    }
};

QTEST_GUILESS_MAIN(PatternsTest)
#include "tst_patterns.moc"
