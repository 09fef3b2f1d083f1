// The folder module: wildcards, folder names, file tests and attribute values, listing a
// folder's files, and the breadth-first walk with its skip rules and unreadable folders.

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "support/DuringEachPump.h"
#include "support/FileTree.h"
#include "support/ScriptedFolders.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "support/Unprivileged.h"

#include <QTest>

#include <cerrno>
#include <cstdio>

using namespace AddFolder;

class AddFolderTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { EventPump::Reset(); }

    void matchesPattern_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("extension") << "a.html"
                                   << "*.html" << true;
        QTest::newRow("case ignored") << "A.HTML"
                                      << "*.html" << true;
        QTest::newRow("Latin-1 case ignored") << "ÉTÉ.html"
                                              << "été.HTML" << true;
        QTest::newRow("shorter extension") << "a.htm"
                                           << "*.html" << false;
        QTest::newRow("longer extension") << "a.html"
                                          << "*.htm" << false;
        QTest::newRow("another suffix") << "a.html.bak"
                                        << "*.html" << false;
        QTest::newRow("open extension") << "a.html"
                                        << "*.htm*" << true;
        QTest::newRow("star dot star, no dot") << "README"
                                               << "*.*" << true;
        QTest::newRow("star dot star, dotfile") << ".profile"
                                                << "*.*" << true;
        QTest::newRow("two dots wanted, one given") << "a.txt"
                                                    << "*..txt" << false;
        QTest::newRow("two dots wanted and given") << "a..txt"
                                                   << "*..txt" << true;
        QTest::newRow("question mark, one") << "a.h"
                                            << "*.?" << true;
        QTest::newRow("question mark, two") << "a.hh"
                                            << "*.?" << false;
        QTest::newRow("star must back off") << "aXbXbc"
                                            << "*b*c" << true;
        QTest::newRow("star cannot cover the end") << "abc"
                                                   << "*b" << false;
        QTest::newRow("dotfile with the extension only") << ".html"
                                                         << "*.html" << true;
    }
    void matchesPattern() {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(MatchesPattern(name, pattern), matches);
    }

    void hasBadNameCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bad");
        QTest::newRow("plain") << "Pages 2021" << false;
        QTest::newRow("tab") << "a\tb" << true;
        QTest::newRow("unit separator 31") << "a\x1f" << true;
        QTest::newRow("tilde 126") << "~a" << false;
        QTest::newRow("delete 127") << "a\x7f" << true;
        QTest::newRow("control 159") << QStringLiteral("a\u009f") << true;
        QTest::newRow("no-break space 160") << QStringLiteral("a\u00a0") << false;
        QTest::newRow("question mark") << "why?" << true;
        QTest::newRow("undecodable bytes") << QStringLiteral("a\ufffd") << true;
        QTest::newRow("accents and other scripts") << QStringLiteral("Été 日本") << false;
    }
    void hasBadNameCharacters() {
        QFETCH(QString, name);
        QFETCH(bool, bad);
        QCOMPARE(HasBadNameCharacters(name), bad);
    }

    // Each sub-folder the walk leaves out by its name gets the reason that holds for it.
    void folderNameSkip_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QString long260(MaxPath, u'n');
        QTest::newRow("260 characters")
            << long260 << long260.toUtf8() << "Skipped: a folder path of 260 characters or more";
        QTest::newRow("question mark")
            << "why?" << QByteArray("why?")
            << "Skipped: a folder name with a control character, \"?\" or U+FFFD";
        QTest::newRow("not UTF-8") << QStringLiteral("caf\ufffd") << QByteArray("caf\xe9")
                                   << "Skipped: the name is not valid UTF-8";
        QTest::newRow("plain") << "Pages" << QByteArray("Pages") << QString();
    }
    void folderNameSkip() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QCOMPARE(FolderNameSkip(name, bytes.constData()), reason);
    }

    // Attribute values and the file test, for each kind of thing a path can name.
    void attributesAndExistingFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("attributes");
        QTest::addColumn<bool>("existingFile");
        QTest::newRow("file") << "file" << 32 << true;
        QTest::newRow("read-only file") << "readonly" << 33 << true;
        QTest::newRow("writable dotfile") << ".dot" << 34 << true;
        QTest::newRow("read-only dotfile") << ".readonly" << 35 << true;
        QTest::newRow("file nobody may read") << "locked" << 33 << true;
        QTest::newRow("folder") << "folder" << 16 << false;
        QTest::newRow("folder, trailing separator") << "folder/" << 16 << false;
        QTest::newRow("hidden folder") << ".folder" << 18 << false;
        QTest::newRow("link to a file") << "filelink" << 1056 << true;
        QTest::newRow("link to a folder") << "folderlink" << 1040 << false;
        QTest::newRow("link to nothing") << "dangling" << 1024 << false;
        QTest::newRow("pipe") << "pipe" << 0 << false;
        QTest::newRow("missing") << "missing" << -1 << false;
    }
    void attributesAndExistingFile() {
        QFETCH(QString, kind);
        QFETCH(int, attributes);
        QFETCH(bool, existingFile);
        FileTree tree;
        tree.file("file");
        tree.file("readonly");
        tree.setMode("readonly", 0444);
        tree.file(".dot");
        tree.file(".readonly");
        tree.setMode(".readonly", 0444);
        tree.file("locked");
        tree.setMode("locked", 0000);
        tree.folder("folder");
        tree.folder(".folder");
        tree.link(tree.path("file"), "filelink");
        tree.link(tree.path("folder"), "folderlink");
        tree.link(tree.path("missing"), "dangling");
        QVERIFY(TestFiles::MakePipe(tree.path("pipe")));

        QCOMPARE(Attributes(tree.path(kind)), attributes);
        QCOMPARE(IsExistingFile(tree.path(kind)), existingFile);
    }

    void listFolderFiles() {
        FileTree tree;
        for (const char *name :
             {"b.html", "A.html", "a.html", "c.HTML", ".dot.html", "~t.html", "x.txt", "page.htm"})
            tree.file(QLatin1String(name));
        tree.rawFile("caf\xe9.html");  // bytes that are not UTF-8: no path could name it
        tree.folder("folder.html");
        tree.file("folder.html/inner.html");
        tree.link(tree.path("x.txt"), "link.html");
        tree.link(tree.path("gone"), "dangling.html");
        QVERIFY(TestFiles::MakePipe(tree.path("pipe.html")));

        // Sorted by name without regard to case; names that differ only in case by their
        // exact form. Folders, pipes, links to nothing and undecodable names are left out.
        const QStringList expected = {".dot.html", "A.html",    "a.html", "b.html",
                                      "c.HTML",    "link.html", "~t.html"};
        QCOMPARE(ListFolderFiles(tree.path(), "*.html"), expected);
        QCOMPARE(ListFolderFiles(tree.path() + u'/', "*.html"), expected);
        QCOMPARE(ListFolderFiles(tree.path(), "*.*").size(), expected.size() + 2);
        QCOMPARE(ListFolderFiles(tree.path("missing"), "*.*"), QStringList());
    }

    void walkIsBreadthFirst() {
        FileTree tree;
        // Made in an order unlike the expected one, so that the order cannot come from that.
        for (const char *folder : {"B/E", "A/D", "A/C", "B/E/F"})
            tree.folder(QLatin1String(folder));
        tree.file("A/file.html");  // files are not folders

        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'};
        GetSubDirectories2016(platform, folders, true);
        QCOMPARE(folders, tree.entries({"", "A", "B", "A/C", "A/D", "B/E", "B/E/F"}));
        QVERIFY(platform.shown.isEmpty());
    }

    // Which sub-folders are walked, by their names; a refused folder is left out with
    // everything below it.
    void subFolderNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("walked");
        QTest::newRow("hidden") << QByteArray(".hidden") << true;
        QTest::newRow("spaces and accents") << QByteArray("Été 2021") << true;
        QTest::newRow("control character") << QByteArray("bad\x01name") << false;
        QTest::newRow("question mark") << QByteArray("why?") << false;
        QTest::newRow("bytes that are not UTF-8") << QByteArray("caf\xe9") << false;
    }
    void subFolderNames() {
        QFETCH(QByteArray, name);
        QFETCH(bool, walked);
        FileTree tree;
        tree.rawFolder(name);
        tree.rawFolder(name + "/below");

        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'};
        GetSubDirectories2016(platform, folders, true);
        const QString folder = tree.path(QFile::decodeName(name)) + u'/';
        const QStringList expected =
            walked ? QStringList{tree.path() + u'/', folder, folder + "below/"}
                   : QStringList{tree.path() + u'/'};
        QCOMPARE(folders, expected);
    }

    // Links to folders are walked like folders, except a link to the folder it is in or to one
    // above it: that would lead round in a loop (and two such links would double the walk at
    // every level).
    void links_data() {
        QTest::addColumn<QStringList>("links");  // link in R, its target
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("to a sibling")
            << QStringList{"A/toB", "../B"} << QStringList{"", "A", "B", "A/toB", "B/C", "A/toB/C"};
        QTest::newRow("back up") << QStringList{"A/up", ".."} << QStringList{"", "A", "B", "B/C"};
        QTest::newRow("two back up")
            << QStringList{"A/up", "..", "A/here", "."} << QStringList{"", "A", "B", "B/C"};
        QTest::newRow("above the chosen folder")
            << QStringList{"B/C/out", "../../.."} << QStringList{"", "A", "B", "B/C"};
        QTest::newRow("the root") << QStringList{"A/root", "/"} << QStringList{"", "A", "B", "B/C"};
    }
    void links() {
        QFETCH(QStringList, links);
        QFETCH(QStringList, expected);
        FileTree tree;
        tree.folder("A");
        tree.folder("B/C");
        for (qsizetype i = 0; i + 1 < links.size(); i += 2)
            tree.link(links[i + 1], links[i]);
        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'};
        GetSubDirectories2016(platform, folders, true);
        QCOMPARE(folders, tree.entries(expected));
    }

    // Folders whose paths reach 260 characters are left out, with everything below them.
    void longPaths() {
        FileTree tree;
        const QString d(100, u'd'), e(100, u'e'), f(100, u'f');
        tree.folder(d + u'/' + e + u'/' + f);
        QVERIFY(tree.path(d + u'/' + e + u'/').size() < MaxPath);
        QVERIFY(tree.path(d + u'/' + e + u'/' + f + u'/').size() >= MaxPath);
        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'}, skipped;
        GetSubDirectories2016(platform, folders, true, SystemFolders(), &skipped);
        QCOMPARE(folders, tree.entries({"", d, d + u'/' + e}));
        // Said, for the run's "Done." to list.
        QCOMPARE(skipped, QStringList{"Skipped: a folder path of 260 characters or more: " +
                                      tree.path(d + u'/' + e + u'/' + f + u'/')});
    }

    // A search takes a link to a file only when the file is inside the searched folder; what
    // it passes over that the pattern took is kept with the list.
    void linksOutOfTheSearchedFolder() {
        FileTree tree;
        tree.file("site/a.html");
        tree.file("site/sub/b.html");
        const QString secret = tree.file("elsewhere/secret.html");
        tree.link(tree.path("site/sub/b.html"), "site/inside.html");
        tree.link("../../elsewhere/secret.html", "site/sub/relative.html");
        tree.link(secret, "site/sub/absolute.html");
        tree.link(tree.path("site"), "site/sub/loop");  // a folder back up: not walked
        tree.rawFile("site/caf\xe9.html");
        tree.file("site/notes.txt");
        ScriptedPlatform platform;
        QStringList folders{tree.path("site") + u'/'};
        GetSubDirectories2016(platform, folders, true);
        FileListModel list;
        TakeFolderListFiles(folders, QStringLiteral("*.html"), list);
        QCOMPARE(TestFiles::Rows(list),
                 QStringList({tree.path("site/a.html"), tree.path("site/inside.html"),
                              tree.path("site/sub/b.html")}));
        const QString outside =
            QStringLiteral("Skipped: a symbolic link to a file outside the searched folder: ");
        QCOMPARE(list.skipped(), QStringList({"Skipped: the name is not valid UTF-8: " +
                                                  tree.path(QStringLiteral("site/caf\uFFFD.html")),
                                              outside + tree.path("site/sub/absolute.html"),
                                              outside + tree.path("site/sub/relative.html")}));
        list.clear();
        QVERIFY(list.skipped().isEmpty());
    }

    // The edge of the limit: a walked folder whose entry (with its separator) has 259
    // characters is taken, one of 260 is not.
    void pathLengthEdge_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("walked");
        QTest::newRow("259 characters") << 259 << true;
        QTest::newRow("260 characters") << 260 << false;
    }
    void pathLengthEdge() {
        QFETCH(int, length);
        QFETCH(bool, walked);
        FileTree tree;
        const QString top = tree.path() + u'/';
        const QString name(length - int(top.size()) - 1, u'n');  // and the closing separator
        tree.folder(name);
        tree.folder(QStringLiteral("short"));
        const QString entry = top + name + u'/';
        QCOMPARE(entry.size(), qsizetype(length));

        ScriptedPlatform platform;
        QStringList folders{top};
        GetSubDirectories2016(platform, folders, true);
        const QStringList expected =
            walked ? QStringList{top, entry, top + "short/"} : QStringList{top, top + "short/"};
        QCOMPARE(folders, expected);
    }

    // A folder removed while the walk lets other events run is left out without a message.
    void folderVanishesDuringWalk() {
        FileTree tree;
        for (const char *folder : {"A/C", "B/D"})
            tree.folder(QLatin1String(folder));
        // The walk yields on opening R, on its entries A and B, then on opening A: B goes then,
        // after it was found and before it is opened.
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        int yields = 0;
        DuringEachPump removeB([&] {
            if (++yields == 4)
                QDir(tree.path("B")).removeRecursively();
        });
        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'};
        GetSubDirectories2016(platform, folders, true);
        QCOMPARE(folders, tree.entries({"", "A", "A/C"}));
        QVERIFY(platform.shown.isEmpty());
    }

    // Folders that cannot be opened: denied or gone, they leave the list without a message;
    // any other failure keeps the folder but finds nothing below it. Only a failure to open the
    // first folder of a level is reported.
    void foldersThatCannotBeOpened_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("report");
        QTest::newRow("denied, not first") << "B" << EACCES << QStringList{"", "A", "A/C"} << "";
        QTest::newRow("gone, not first") << "B" << ENOENT << QStringList{"", "A", "A/C"} << "";
        QTest::newRow("other failure, not first")
            << "B" << EIO << QStringList{"", "A", "B", "A/C"} << "";
        QTest::newRow("denied, first of its level")
            << "A" << EACCES << QStringList{"", "A", "B", "B/D"} << "Permission denied";
        QTest::newRow("denied, the chosen folder")
            << "" << EACCES << QStringList{""} << "Permission denied";
    }
    void foldersThatCannotBeOpened() {
        QFETCH(QString, failing);
        QFETCH(int, error);
        QFETCH(QStringList, expected);
        QFETCH(QString, report);
        FileTree tree;
        for (const char *folder : {"A/C", "B/D"})
            tree.folder(QLatin1String(folder));
        ScriptedFolders access(tree.path(failing), error);

        ScriptedPlatform platform;
        QStringList folders{tree.path() + u'/'};
        GetSubDirectories2016(platform, folders, true, access);

        QCOMPARE(folders, tree.entries(expected));
        if (report.isEmpty()) {
            QVERIFY(platform.shown.isEmpty());
        } else {
            // The report names the folder after the system's wording.
            const QString description = report + QStringLiteral(": ") + tree.path(failing) + u'/';
            QCOMPARE(platform.messages(),
                     QStringList{UnexpectedErrorText(
                         description, Location::addFolder("GetSubDirectories2016"), 106)});
            QCOMPARE(platform.shown.first().title, "Application Error");
            QCOMPARE(platform.shown.first().icon, Platform::Icon::Warning);
        }
    }

    // The system's own refusal: the middle one of three sibling folders cannot be read. It is
    // left out without a message, and the walk goes on with the third. Permission bits deny
    // nothing to root, so the walk runs in a child that is no superuser.
    void unreadableMiddleFolder() {
        FileTree tree;
        for (const char *folder : {"A/a", "B/b", "C/c"})
            tree.folder(QLatin1String(folder));
        tree.setMode("B", 0000);
        Unprivileged::GiveTree(tree.path());
        const Unprivileged::Outcome walk = Unprivileged::RunChild({"--walk", tree.path()});
        tree.setMode("B", 0755);
        if (walk.exitCode == Unprivileged::CannotDrop)
            QSKIP("this system has no unprivileged user to become");
        QVERIFY2(walk.exitCode == 0, walk.err.constData());

        const QStringList folders = QString::fromUtf8(walk.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(folders, tree.entries({"", "A", "C", "A/a", "C/c"}) << "shown: 0");
    }
};

// A walk for unreadableMiddleFolder, as a user who is not root: the folders it gives, one per
// line, then how many boxes it showed.
int WalkUnprivileged(int argc, char **argv) {
    if (!Unprivileged::DropRoot())
        return Unprivileged::CannotDrop;
    QCoreApplication application(argc, argv);
    ScriptedPlatform platform;
    QStringList folders{QString::fromLocal8Bit(argv[2]) + u'/'};
    GetSubDirectories2016(platform, folders, true);
    for (const QString &folder : folders)
        std::printf("%s\n", folder.toUtf8().constData());
    std::printf("shown: %d\n", int(platform.shown.size()));
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 3 && qstrcmp(argv[1], "--walk") == 0)
        return WalkUnprivileged(argc, argv);
    QCoreApplication application(argc, argv);
    AddFolderTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_addfolder.moc"
