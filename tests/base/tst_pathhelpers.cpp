// Taking apart, putting together and testing paths, with '\' and with '/'.
#include "base/Main.h"

#include <QtTest>

#include <random>

using namespace Main;

class PathHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void folderPath_data();
    void folderPath();
    void collapse_data();
    void collapse();
    void roundTrip_data();
    void roundTrip();
    void folderExists_data();
    void folderExists();
};

void PathHelpersTest::fileName_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("name");

    QTest::newRow("\\ full path") << R"(C:\in\a.htm)" << QChar('\\') << "a.htm";
    QTest::newRow("\\ name only") << "a.htm" << QChar('\\') << "a.htm";
    QTest::newRow("\\ folder") << R"(C:\in\)" << QChar('\\') << "";
    QTest::newRow("\\ slash is no separator") << R"(C:\in/a.htm)" << QChar('\\') << "in/a.htm";
    QTest::newRow("/ full path") << "/in/a.htm" << QChar('/') << "a.htm";
    QTest::newRow("/ name only") << "a.htm" << QChar('/') << "a.htm";
    QTest::newRow("/ folder") << "/in/" << QChar('/') << "";
    QTest::newRow("/ empty") << "" << QChar('/') << "";
}

void PathHelpersTest::fileName() {
    QFETCH(QString, path);
    QFETCH(QChar, separator);
    QFETCH(QString, name);
    QCOMPARE(GetFileName(path, separator), name);
}

void PathHelpersTest::folderPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("folder");

    QTest::newRow("\\ full path") << R"(C:\in\a.htm)" << QChar('\\') << R"(C:\in\)";
    QTest::newRow("\\ name only") << "a.htm" << QChar('\\') << "";
    QTest::newRow("\\ leading separator") << R"(\a.htm)" << QChar('\\') << R"(\)";
    QTest::newRow("/ full path") << "/in/a.htm" << QChar('/') << "/in/";
    QTest::newRow("/ root") << "/a.htm" << QChar('/') << "/";
    QTest::newRow("/ name only") << "a.htm" << QChar('/') << "";
    QTest::newRow("/ empty") << "" << QChar('/') << "";
    // No 16-bit limit on where the last separator lies.
    const QString deep = "/" + QString(40000, u'd') + "/";
    QTest::newRow("/ last separator past 32767") << deep + "a.htm" << QChar('/') << deep;
}

void PathHelpersTest::folderPath() {
    QFETCH(QString, path);
    QFETCH(QChar, separator);
    QFETCH(QString, folder);
    QCOMPARE(GetFolderPath(path, separator), folder);
}

void PathHelpersTest::collapse_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("collapsed");

    QTest::newRow("\\ doubled") << R"(C:\out\\a.htm)" << QChar('\\') << R"(C:\out\a.htm)";
    QTest::newRow("\\ one pass only") << R"(C:\\\a.htm)" << QChar('\\') << R"(C:\\a.htm)";
    QTest::newRow("\\ four become two") << R"(C:\\\\a.htm)" << QChar('\\') << R"(C:\\a.htm)";
    QTest::newRow("\\ single leading") << R"(\server\share)" << QChar('\\') << R"(\\server\share)";
    QTest::newRow("\\ long leading run")
        << R"(\\\\server\share)" << QChar('\\') << R"(\\server\share)";
    QTest::newRow("\\ network path unchanged")
        << R"(\\server\share)" << QChar('\\') << R"(\\server\share)";
    QTest::newRow("\\ only separators") << R"(\\\)" << QChar('\\') << R"(\\)";
    QTest::newRow("\\ empty") << "" << QChar('\\') << "";
    QTest::newRow("\\ slashes untouched") << "C://a" << QChar('\\') << "C://a";
    QTest::newRow("/ doubled") << "/out//a.htm" << QChar('/') << "/out/a.htm";
    QTest::newRow("/ leading run is the root") << "//a//b" << QChar('/') << "/a/b";
    QTest::newRow("/ one pass only") << "a///b" << QChar('/') << "a//b";
    QTest::newRow("/ single leading") << "/a" << QChar('/') << "/a";
    QTest::newRow("/ only separators") << "///" << QChar('/') << "/";
    QTest::newRow("/ empty") << "" << QChar('/') << "";
    QTest::newRow("/ backslashes untouched") << R"(a\\b)" << QChar('/') << R"(a\\b)";
}

void PathHelpersTest::collapse() {
    QFETCH(QString, path);
    QFETCH(QChar, separator);
    QFETCH(QString, collapsed);
    QCOMPARE(CollapseBackslashes(path, separator), collapsed);
}

void PathHelpersTest::roundTrip_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("leadingSeparator");

    QTest::newRow("\\ drive paths") << QChar('\\') << false;
    QTest::newRow("/ relative paths") << QChar('/') << false;
    QTest::newRow("/ absolute paths") << QChar('/') << true;
}

void PathHelpersTest::roundTrip() {
    QFETCH(QChar, separator);
    QFETCH(bool, leadingSeparator);

    // Folder + separator + name, collapsed, is the path again, for every path that has a
    // separator and no doubled one (and, with '\', does not begin with one).
    std::mt19937 random(7);
    const QString alphabet = QStringLiteral("ab.:é ") + separator;
    for (int round = 0; round < 3000; ++round) {
        QString path = leadingSeparator ? QString(separator) : QStringLiteral("C");
        const int length = int(random() % 12);
        for (int i = 0; i < length; ++i) {
            const QChar c = alphabet[int(random() % alphabet.size())];
            if (c != separator || path.back() != separator)
                path += c;
        }
        if (!path.contains(separator))
            path += separator;
        if (leadingSeparator && path.size() > 1 && path[1] == separator)
            continue;
        const QString joined = CollapseBackslashes(
            GetFolderPath(path, separator) + separator + GetFileName(path, separator), separator);
        QCOMPARE(joined, path);
    }
}

void PathHelpersTest::folderExists_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("exists");

    QTest::newRow("folder") << "folder" << true;
    QTest::newRow("folder with trailing separator") << "folder/" << true;
    QTest::newRow("link to a folder") << "link" << true;
    QTest::newRow("file") << "file" << false;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("below a file") << "file/x" << false;
    QTest::newRow("empty") << "" << false;
}

void PathHelpersTest::folderExists() {
    QFETCH(QString, kind);
    QFETCH(bool, exists);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QFile file(dir.filePath("file"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(dir.filePath("folder"), dir.filePath("link")));
    QCOMPARE(FolderExists(kind.isEmpty() ? kind : dir.path() + '/' + kind), exists);
}

QTEST_GUILESS_MAIN(PathHelpersTest)
#include "tst_pathhelpers.moc"
