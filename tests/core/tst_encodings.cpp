// What a file's first bytes say of its encoding, reading it decoded, writing results back in
// it, and the files the run leaves alone: binary ones, and bytes that do not decode.
#include "engine/FileWork.h"
#include "engine/FixedContext.h"
#include "files/CommitQueue.h"
#include "files/Encoding.h"
#include "files/LineReader.h"
#include "support/TestFiles.h"
#include "text/Operations.h"

#include <QtTest>

using namespace RFTSFSO;
using TestFiles::View;

namespace {

QByteArray Utf16(const QString &text, bool big) {
    QByteArray bytes;
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += big ? QByteArray{&high, 1} + low : QByteArray{&low, 1} + high;
    }
    return bytes;
}

QByteArray Utf32(const QString &text, bool big) {
    QByteArray bytes;
    for (const char32_t c : text.toUcs4()) {
        for (int i = 0; i < 4; ++i)
            bytes += char(c >> (8 * (big ? 3 - i : i)) & 0xFF);
    }
    return bytes;
}

const QByteArray Le16Mark("\xFF\xFE"), Be16Mark("\xFE\xFF");
const QByteArray Le32Mark("\xFF\xFE\0\0", 4), Be32Mark("\0\0\xFE\xFF", 4);
// 日本語 in Shift_JIS, and a byte pair whose character Shift_JIS writes with other bytes.
const QByteArray Nihongo("\x93\xFA\x96\x7B\x8C\xEA"), NotBack("\xED\x40");
const QByteArray SjisHead("<meta charset=\"Shift_JIS\">\r\n");

// The lines of `bytes`, read `chunk` bytes at a time, or why they are no text.
QStringList Read(const QByteArray &bytes, std::size_t chunk, bool binaryAsText = false) {
    QStringList lines;
    try {
        LineReader reader =
            LineReader::fromBytes(View(bytes), chunk, {.binaryAsText = binaryAsText});
        std::string_view line;
        while (reader.next(line))
            lines.append(QString::fromUtf8(line.data(), qsizetype(line.size())));
    } catch (const NotText &notText) {
        return {notText.reason()};
    }
    return lines;
}

}  // namespace

class EncodingsTest : public QObject {
    Q_OBJECT

private slots:
    void detect_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("found");  // the form's name, then the charset a page names

        const QString bytes = QStringLiteral("UTF-8");
        QTest::newRow("nothing") << QByteArray("<html>\n<p>café") << bytes;
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFx") << bytes + " marked";
        QTest::newRow("UTF-8 mark and a page's code page")
            << QByteArray("\xEF\xBB\xBF<meta charset=koi8-r>") << bytes + " marked koi8-r";
        QTest::newRow("UTF-8 mark and Shift_JIS")
            << QByteArray("\xEF\xBB\xBF") + SjisHead << bytes + " marked";
        QTest::newRow("UTF-16LE mark") << Le16Mark + "<\0"
                                       << "UTF-16LE marked";
        QTest::newRow("UTF-16BE mark") << Be16Mark + "\0<"
                                       << "UTF-16BE marked";
        QTest::newRow("UTF-32LE mark") << Le32Mark << "UTF-32LE marked";
        QTest::newRow("UTF-32BE mark") << Be32Mark << "UTF-32BE marked";
        QTest::newRow("meta charset")
            << QByteArray("<META CharSet = 'Windows-1251' >") << bytes + " windows-1251";
        QTest::newRow("meta content type")
            << QByteArray("<meta content=\"text/html; charset=KOI8-R\" http-equiv=Content-Type>")
            << bytes + " koi8-r";
        QTest::newRow("other http-equiv")
            << QByteArray("<meta http-equiv=refresh content=\"1; charset=koi8-r\">") << bytes;
        QTest::newRow("XML declaration")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>")
            << bytes + " iso-8859-2";
        QTest::newRow("inside a comment")
            << QByteArray("<!-- <meta charset=koi8-r> -->\n<meta charset=koi8-u>")
            << bytes + " koi8-u";
        QTest::newRow("beyond 1,024 bytes")
            << QByteArray(1020, ' ') + "<meta charset=koi8-r>" << bytes;
        QTest::newRow("UTF-16 named in ASCII") << QByteArray("<meta charset=utf-16>") << bytes;
        QTest::newRow("Shift_JIS") << SjisHead << "Shift_JIS";
        QTest::newRow("EUC-KR") << QByteArray("<meta charset=euc-kr>") << "EUC-KR";
    }
    void detect() {
        QFETCH(QByteArray, head);
        QFETCH(QString, found);
        const FileEncoding encoding = DetectEncoding(View(head));
        QString seen = encoding.name();
        if (encoding.marked)
            seen += QStringLiteral(" marked");
        if (!encoding.declared.empty())
            seen += u' ' + QString::fromStdString(encoding.declared);
        QCOMPARE(seen, found);
    }

    // Decoded lines, whatever the chunks; bytes that do not decode, and binary files.
    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");  // or the reason it is no text

        const QString text = QStringLiteral("a\r\nÉté 😀\nz\r\n");
        const QStringList lines{"a", "Été 😀", "z"};
        QTest::newRow("UTF-16LE") << Le16Mark + Utf16(text, false) << lines;
        QTest::newRow("UTF-16BE") << Be16Mark + Utf16(text, true) << lines;
        QTest::newRow("UTF-32LE") << Le32Mark + Utf32(text, false) << lines;
        QTest::newRow("UTF-32BE") << Be32Mark + Utf32(text, true) << lines;
        QTest::newRow("UTF-16, only its mark") << Le16Mark << QStringList{""};
        QTest::newRow("UTF-8 mark, not the first line's")
            << QByteArray("\xEF\xBB\xBFx\ny") << QStringList{"x", "y"};
        const QString undecodable = QStringLiteral("Cannot be decoded as ");
        QTest::newRow("UTF-16, odd length")
            << Le16Mark + Utf16("ab", false) + 'c' << QStringList{undecodable + "UTF-16LE"};
        QTest::newRow("UTF-16, lone high surrogate")
            << Be16Mark + Utf16(QString(QChar(0xD83D)) + u'a', true)
            << QStringList{undecodable + "UTF-16BE"};
        QTest::newRow("UTF-16, lone low surrogate")
            << Le16Mark + Utf16(QString(QChar(0xDE00)), false)
            << QStringList{undecodable + "UTF-16LE"};
        QTest::newRow("UTF-32, beyond U+10FFFF")
            << Le32Mark + QByteArray("\0\0\x11\0", 4) << QStringList{undecodable + "UTF-32LE"};
        QTest::newRow("Shift_JIS")
            << SjisHead + Nihongo << QStringList{"<meta charset=\"Shift_JIS\">", "日本語"};
        QTest::newRow("Shift_JIS that does not come back")
            << SjisHead + NotBack << QStringList{undecodable + "Shift_JIS"};
        QTest::newRow("UTF-16 without a mark") << Utf16("<html>", false) << QStringList{"Binary"};
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                             << QStringList{"Binary"};
        QTest::newRow("NUL beyond the first megabyte")
            << QByteArray(int(LineReader::DefaultChunk) + 10, 'x') + '\0' << QStringList{"Binary"};
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        for (std::size_t chunk : {LineReader::DefaultChunk, std::size_t(1), std::size_t(3)}) {
            if (bytes.size() > 100000 && chunk != LineReader::DefaultChunk)
                continue;
            QCOMPARE(Read(bytes, chunk), lines);
        }
    }
    void binaryAsText() {
        QCOMPARE(Read(QByteArray("a\0b\nc", 5), 1, true),
                 QStringList({QString("a") + QChar(0) + 'b', "c"}));
    }

    // Results in the file's own encoding, its mark first and CR LF in it; nothing removed,
    // line ends kept: the very same bytes, not written again.
    void writtenBack_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QByteArray>("output");  // in place

        const QString text = QStringLiteral("drop 😀\nÉté\ndrop\nz");
        QTest::newRow("UTF-16LE") << Le16Mark + Utf16(text, false) << false
                                  << Le16Mark + Utf16("Été\r\nz", false);
        QTest::newRow("UTF-16BE, line ends kept")
            << Be16Mark + Utf16(text, true) << true << Be16Mark + Utf16("Été\nz", true);
        QTest::newRow("UTF-32BE") << Be32Mark + Utf32(text, true) << false
                                  << Be32Mark + Utf32("Été\r\nz", true);
        QTest::newRow("UTF-8 mark, first line removed") << QByteArray(
                                                               "\xEF\xBB\xBF"
                                                               "drop\r\nx")
                                                        << false << QByteArray("\xEF\xBB\xBFx");
        const QByteArray sjis = SjisHead + "drop\r\n" + Nihongo;
        QTest::newRow("Shift_JIS") << sjis << true << SjisHead + Nihongo;
        const QByteArray same = Le16Mark + Utf16("a\r\n😀\nb", false);
        QTest::newRow("UTF-16, nothing removed") << same << true << same;
    }
    void writtenBack() {
        QFETCH(QByteArray, input);
        QFETCH(bool, keep);
        QFETCH(QByteArray, output);
        QTemporaryDir dir;
        const QString path = dir.filePath("page.htm");
        TestFiles::Write(path, input);
        QVERIFY(TestFiles::MakeOld(path));
        const TestFiles::Stamp before = TestFiles::StampOf(path);
        Engine::FixedLineContext ctx(Operations::Captions[0], "drop");
        Engine::WorkOptions options;
        options.keepLineEnds = keep;
        Engine::FileResult result =
            Engine::ProcessFile(path, path, ctx, options, Engine::Destination::Prepare);
        QCOMPARE(result.outcome,
                 input == output ? Engine::Outcome::Unchanged : Engine::Outcome::Changed);
        if (result.pending) {
            CommitQueue queue;
            QVERIFY(queue.add(std::move(result.pending), 0).empty());
            QVERIFY(queue.commit().empty());
        }
        QCOMPARE(TestFiles::Read(path), output);
        QCOMPARE(TestFiles::StampOf(path) == before, input == output);
    }

    // A condition that the file's encoding cannot hold is found nowhere in it.
    void conditionTheEncodingCannotHold_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<bool>("found");
        QTest::newRow("日本 in Shift_JIS") << SjisHead + Nihongo << "日本" << true;
        QTest::newRow("é in Shift_JIS") << SjisHead + Nihongo << "é" << false;
        QTest::newRow("long s in Shift_JIS, though it folds to s")
            << SjisHead + Nihongo << "ſhift" << false;
        QTest::newRow("long s in UTF-16") << Le16Mark + Utf16("shift", false) << "ſhift" << true;
    }
    void conditionTheEncodingCannotHold() {
        QFETCH(QByteArray, input);
        QFETCH(QString, condition);
        QFETCH(bool, found);
        LineReader reader = LineReader::fromBytes(View(input));
        std::string text;
        ResultWriter writer(&text, &reader);
        Engine::FixedLineContext ctx(Operations::Captions[1], condition);
        Operations::RunLoop(reader, writer, ctx, 0);
        QCOMPARE(writer.finish(), found);
    }
};

QTEST_GUILESS_MAIN(EncodingsTest)
#include "tst_encodings.moc"
