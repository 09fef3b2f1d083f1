// What a file's first bytes say of its encoding.
#include "files/Encoding.h"
#include "support/TestFiles.h"

#include <QtTest>

using namespace RFTSFSO;
using TestFiles::View;

namespace {

const QByteArray Le16Mark("\xFF\xFE"), Be16Mark("\xFE\xFF");
const QByteArray Le32Mark("\xFF\xFE\0\0", 4), Be32Mark("\0\0\xFE\xFF", 4);
const QByteArray SjisHead("<meta charset=\"Shift_JIS\">\r\n");

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
};

QTEST_GUILESS_MAIN(EncodingsTest)
#include "tst_encodings.moc"
