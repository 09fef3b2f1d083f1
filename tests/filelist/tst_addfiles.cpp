// Adding files through the window: "Add HTML Files", "..." (the output folder), "Add All HTML
// Files In Folder", and files and folders dropped onto the list.

#include "base/ErrorReport.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "support/DuringEachPump.h"
#include "support/FileTree.h"
#include "support/ScriptedFolders.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <cerrno>
#include <optional>

namespace {

const QString ExtensionPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc "
    "files, etc.)");
const QString TooManyFiles = QStringLiteral(
    "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");

QStringList rows(const Form1 &form) {
    return TestFiles::Rows(*form.fileList);
}

// A tree of pages: R with sub-folders A and B, and A with sub-folder C.
void makePages(FileTree &tree) {
    for (const char *file :
         {"r.html", "R2.HTML", "a.TXT", "~b.txt", "c.htm", "d..txt", "notes", "A/a.html",
          "A/~temp.html", "A/.hidden.html", "A/.kept.html", "B/b.html", "A/C/c.html"})
        tree.file(QLatin1String(file));
    tree.setMode("A/.kept.html", 0444);  // a read-only hidden file is taken
}

QMimeData *urlData(const QStringList &paths) {
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(path.startsWith(u'/') ? QUrl::fromLocalFile(path) : QUrl(path));
    data->setUrls(urls);
    return data;
}

// Drags the data onto the list and drops it there, as the desktop would: the drop goes to
// the widget that accepted the drag. True when the drop was accepted.
bool dropOnList(Form1 &form, QMimeData *data) {
    QWidget *target = form.ListView1->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

}  // namespace

class AddFilesTest : public QObject {
    Q_OBJECT

private slots:
    // "Add HTML Files"

    void addHtmlFiles_data() {
        QTest::addColumn<QStringList>("picked");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("cancel") << QStringList() << QStringList();
        QTest::newRow("one file, taken as it is")
            << QStringList{"//srv//pages/a.htm"} << QStringList{"//srv//pages/a.htm"};
        QTest::newRow("several, in the dialog's order")
            << QStringList{"/p/c.html", "/p/a.htm", "/p/b.html"}
            << QStringList{"/p/c.html", "/p/a.htm", "/p/b.html"};
        QTest::newRow("several, cleaned") << QStringList{"//srv//a.htm", "//srv//b.htm"}
                                          << QStringList{"/srv/a.htm", "/srv/b.htm"};
        QTest::newRow("a typed name of a missing file")
            << QStringList{"/nowhere/typed.html"} << QStringList{"/nowhere/typed.html"};
        QTest::newRow("names starting with a tilde")
            << QStringList{"/p/~a.html", "/p/~b.html"} << QStringList{"/p/~a.html", "/p/~b.html"};
    }
    void addHtmlFiles() {
        QFETCH(QStringList, picked);
        QFETCH(QStringList, expected);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        fixture.platform.clear();
        fixture.platform.fileAnswers.enqueue(picked);

        form.PushButton1->click();

        QCOMPARE(rows(form), expected);
        QCOMPARE(fixture.platform.shown.size(), 1);  // the dialog, nothing else
        const ScriptedPlatform::Shown &dialog = fixture.platform.shown.first();
        QCOMPARE(dialog.kind, ScriptedPlatform::Kind::OpenFiles);
        QCOMPARE(dialog.title, "Add File(s) - Hold Ctrl to select multiple files");
        QCOMPARE(dialog.text, "HTML Files (*.htm*)");
    }

    // The dialog's buffer of 30000 characters holds the selection's text and its closing NUL
    // (a list of several names a second one).
    void tooManyFiles_data() {
        QTest::addColumn<QStringList>("picked");
        QTest::addColumn<bool>("fits");
        const QString folder = QStringLiteral("/pages");
        // One file: its path.
        QTest::newRow("one path of 29999")
            << QStringList{folder + u'/' + QString(29992, u'a')} << true;
        QTest::newRow("one path of 30000")
            << QStringList{folder + u'/' + QString(29993, u'a')} << false;
        // Several: "/pages", each name after a NUL, and two closing NULs.
        const QString name = QString(14994, u'b');
        QTest::newRow("several, 30000 with the NULs")
            << QStringList{folder + u'/' + name + u'x', folder + u'/' + name + u'y'} << true;
        QTest::newRow("several, 30001 with the NULs")
            << QStringList{folder + u'/' + name + u'x', folder + u'/' + name + "yz"} << false;
    }
    void tooManyFiles() {
        QFETCH(QStringList, picked);
        QFETCH(bool, fits);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.fileList->append(QStringLiteral("/kept.html"));
        fixture.platform.clear();
        fixture.platform.fileAnswers.enqueue(picked);

        form.PushButton1->click();

        if (fits) {
            QCOMPARE(form.fileList->count(), 1 + picked.size());
            QVERIFY(fixture.platform.messages().isEmpty());
        } else {
            QCOMPARE(rows(form), QStringList{"/kept.html"});
            QCOMPARE(fixture.platform.messages(), QStringList{TooManyFiles});
            const ScriptedPlatform::Shown &box = fixture.platform.shown.last();
            QCOMPARE(box.title, fixture.platform.applicationTitle());
            QCOMPARE(box.icon, Platform::Icon::None);
        }
    }

    // "..."

    void outputFolder_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("text2");
        QTest::addColumn<QString>("lastFolderDot");
        QTest::newRow("a folder") << "/home/user/out"
                                  << "/home/user/out/"
                                  << "/home/user/out";
        QTest::newRow("the root") << "/"
                                  << "/"
                                  << "/";
        QTest::newRow("cancel") << ""
                                << "/old/text2/"
                                << "/old/dot";
    }
    void outputFolder() {
        QFETCH(QString, answer);
        QFETCH(QString, text2);
        QFETCH(QString, lastFolderDot);
        WindowFixture fixture;
        fixture.store("Text2", "/old/text2/");
        fixture.store("LastFolderDot", "/old/dot");
        Form1 &form = fixture.load();
        fixture.platform.clear();
        fixture.platform.folderAnswers.enqueue(answer);

        form.PushButton4->click();

        const QList<ScriptedPlatform::Shown> pickers =
            fixture.platform.shownOfKind(ScriptedPlatform::Kind::BrowseFolder);
        QCOMPARE(pickers.size(), 1);
        QCOMPARE(pickers.first().text, "Please select folder:");
        QCOMPARE(pickers.first().preset, "/old/dot");
        QCOMPARE(form.Text2->text(), text2);
        QCOMPARE(fixture.stored("Text2"), text2);
        QCOMPARE(fixture.stored("LastFolderDot"), lastFolderDot);
        QCOMPARE(fixture.platform.shown.size(), 1);
    }

    // "Add All HTML Files In Folder"

    void addFolder_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("html, any case, folder by folder")
            << "html" << QStringList{"r.html",   "R2.HTML",  "A/.kept.html",
                                     "A/a.html", "B/b.html", "A/C/c.html"};
        // Every file, except names starting with "~" and writable hidden files.
        QTest::newRow("star") << "*"
                              << QStringList{"a.TXT",    "c.htm",     "d..txt",       "notes",
                                             "r.html",   "R2.HTML",   "A/.kept.html", "A/a.html",
                                             "B/b.html", "A/C/c.html"};
        QTest::newRow("txt") << "txt" << QStringList{"a.TXT", "d..txt"};
        QTest::newRow("a leading dot gives two") << ".txt" << QStringList{"d..txt"};
        QTest::newRow("nothing matches") << "doc" << QStringList{};
    }
    void addFolder() {
        QFETCH(QString, extension);
        QFETCH(QStringList, expected);
        FileTree tree;
        makePages(tree);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        fixture.platform.clear();
        fixture.platform.inputAnswers.enqueue(extension);
        fixture.platform.folderAnswers.enqueue(tree.path());

        form.PushButton5->click();

        QCOMPARE(rows(form), tree.paths(expected));
        QCOMPARE(form.mousePointer(), MousePointer::Default);
        QCOMPARE(fixture.platform.shown.size(), 2);  // the two questions, no message
        QCOMPARE(fixture.stored("Extension"), extension);
        QCOMPARE(fixture.stored("LastFolder"), tree.path());
    }

    // Files and folders given when the program starts: a file is a row as it is (made
    // absolute), a folder gives the rows "Add All HTML Files In Folder" gives for it with the
    // stored extension, and nothing is asked.
    void givenAtStart_data() {
        QTest::addColumn<QString>("extension");  // stored; empty: none stored
        QTest::addColumn<QStringList>("given");  // relative to the tree; "." is the tree
        QTest::newRow("a folder, no extension stored") << "" << QStringList{"."};
        QTest::newRow("a folder, txt stored") << "txt" << QStringList{"A/../."};
        QTest::newRow("files and a folder between") << "*" << QStringList{"notes", "A", "c.htm"};
    }
    void givenAtStart() {
        QFETCH(QString, extension);
        QFETCH(QStringList, given);
        FileTree tree;
        makePages(tree);
        QStringList expected;
        for (const QString &name : given) {
            const QString path = tree.path() + u'/' + name;
            if (!QFileInfo(path).isDir()) {
                expected << QDir::cleanPath(path);
                continue;
            }
            WindowFixture added;
            if (!extension.isEmpty())
                added.store("Extension", extension);
            added.load();
            added.platform.inputAnswers.enqueue(extension.isEmpty() ? "html" : extension);
            added.platform.folderAnswers.enqueue(QDir::cleanPath(path));
            added.form->PushButton5->click();
            expected << rows(*added.form);
        }
        WindowFixture fixture;
        if (!extension.isEmpty())
            fixture.store("Extension", extension);
        fixture.load();
        fixture.platform.clear();
        const QString current = QDir::currentPath();
        QDir::setCurrent(tree.path());  // relative paths too
        fixture.form->OpenGiven(given);
        QDir::setCurrent(current);
        QCOMPARE(rows(*fixture.form), expected);
        QCOMPARE(fixture.platform.shown.size(), 0);
        QCOMPARE(fixture.form->mousePointer(), MousePointer::Default);
    }

    void addFolderQuestions() {
        WindowFixture fixture;
        fixture.store("Extension", "*");
        fixture.store("LastFolder", "/old/folder");
        fixture.load();
        fixture.platform.clear();
        fixture.platform.inputAnswers.enqueue("txt");

        fixture.form->PushButton5->click();

        const QList<ScriptedPlatform::Shown> &shown = fixture.platform.shown;
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].kind, ScriptedPlatform::Kind::Input);
        QCOMPARE(shown[0].text, ExtensionPrompt);
        QCOMPARE(shown[0].title, fixture.platform.applicationTitle());
        QCOMPARE(shown[0].preset, "*");
        QCOMPARE(shown[1].kind, ScriptedPlatform::Kind::BrowseFolder);
        QCOMPARE(shown[1].text, "Please select folder:");
        QCOMPARE(shown[1].preset, "/old/folder");
    }

    // Cancel at either question adds nothing and leaves the pointer alone; an extension given
    // before the folder is cancelled stays saved.
    void cancel_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("savedExtension");
        QTest::newRow("extension cancelled") << "" << 1 << "old";
        QTest::newRow("folder cancelled") << "doc" << 2 << "doc";
    }
    void cancel() {
        QFETCH(QString, extension);
        QFETCH(int, questions);
        QFETCH(QString, savedExtension);
        WindowFixture fixture;
        fixture.store("Extension", "old");
        fixture.store("LastFolder", "/old/folder");
        Form1 &form = fixture.load();
        form.setMousePointer(MousePointer::Custom);
        fixture.platform.clear();
        fixture.platform.inputAnswers.enqueue(extension);

        form.PushButton5->click();

        QCOMPARE(form.fileList->count(), 0);
        QCOMPARE(fixture.platform.shown.size(), questions);
        QCOMPARE(fixture.stored("Extension"), savedExtension);
        QCOMPARE(fixture.stored("LastFolder"), "/old/folder");
        QCOMPARE(form.mousePointer(), MousePointer::Custom);
    }

    void addFolderTwice() {
        FileTree tree;
        tree.file("a.html");
        tree.file("S/b.html");
        WindowFixture fixture;
        Form1 &form = fixture.load();
        fixture.platform.inputAnswers << "html"
                                      << "html";
        fixture.platform.folderAnswers << tree.path() << tree.path();
        form.PushButton5->click();
        form.PushButton5->click();
        QCOMPARE(rows(form), tree.paths({"a.html", "S/b.html", "a.html", "S/b.html"}));
    }

    // The root comes from the picker with its separator; the rows still get only one.
    void folderWithItsSeparator() {
        FileTree tree;
        tree.file("a.html");
        tree.file("S/b.html");
        WindowFixture fixture;
        Form1 &form = fixture.load();
        fixture.platform.inputAnswers.enqueue("html");
        fixture.platform.folderAnswers.enqueue(tree.path() + u'/');
        form.PushButton5->click();
        QCOMPARE(rows(form), tree.paths({"a.html", "S/b.html"}));
    }

    // While the folder is walked the window is busy: "Clear List" does nothing, and the rows
    // come in one piece at the end.
    void busyWhileWalking() {
        FileTree tree;
        tree.file("a.html");
        tree.file("S/b.html");
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.fileList->append(QStringLiteral("/earlier.html"));
        fixture.platform.inputAnswers.enqueue("html");
        fixture.platform.folderAnswers.enqueue(tree.path());
        QList<int> pointers;
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        DuringEachPump clearList([&] {
            pointers.append(form.mousePointer());
            form.PushButton7->click();
        });

        form.PushButton5->click();

        QVERIFY(!pointers.isEmpty());
        QCOMPARE(pointers, QList<int>(pointers.size(), MousePointer::Hourglass));
        QCOMPARE(rows(form), QStringList{"/earlier.html"} + tree.paths({"a.html", "S/b.html"}));
        QCOMPARE(form.mousePointer(), MousePointer::Default);
    }

    // A chosen folder that cannot be opened is reported; nothing is added and the pointer
    // comes back.
    void chosenFolderCannotBeOpened() {
        FileTree tree;
        tree.file("a.html");
        ScriptedFolders denied(tree.path(), EACCES);
        WindowFixture fixture;
        fixture.folders = &denied;
        Form1 &form = fixture.load();
        fixture.platform.clear();
        fixture.platform.inputAnswers.enqueue("html");
        fixture.platform.folderAnswers.enqueue(tree.path());

        form.PushButton5->click();

        QCOMPARE(form.fileList->count(), 0);
        QCOMPARE(
            fixture.platform.messages(),
            QStringList{UnexpectedErrorText("Permission denied: " + tree.path() + u'/',
                                            Location::addFolder("GetSubDirectories2016"), 106)});
        QCOMPARE(form.mousePointer(), MousePointer::Default);
    }

    // Drag and drop

    void dragOver_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("text") << "text" << false;
        QTest::newRow("image") << "image" << false;
        QTest::newRow("web address") << "web" << false;
        QTest::newRow("local file") << "file" << true;
        QTest::newRow("web address and local file") << "both" << true;
    }
    void dragOver() {
        QFETCH(QString, kind);
        QFETCH(bool, accepted);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        std::unique_ptr<QMimeData> data;
        if (kind == "text") {
            data = std::make_unique<QMimeData>();
            data->setText(QStringLiteral("/tmp/a.html"));
        } else if (kind == "image") {
            data = std::make_unique<QMimeData>();
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        } else if (kind == "web") {
            data.reset(urlData({"https://www.example.org/a.html"}));
        } else if (kind == "file") {
            data.reset(urlData({"/tmp/a.html"}));
        } else {
            data.reset(urlData({"https://www.example.org/a.html", "/tmp/a.html"}));
        }
        QWidget *target = form.ListView1->viewport();

        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, data.get(),
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction | Qt::MoveAction, data.get(),
                            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QCOMPARE(move.isAccepted(), accepted);
        if (accepted)
            QCOMPARE(move.dropAction(), Qt::CopyAction);  // the proposed effect, unchanged

        QDropEvent drop(QPointF(12, 12), Qt::CopyAction, data.get(), Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        QCOMPARE(form.fileList->count(), accepted ? 1 : 0);
    }

    // Dropped items in the order of the drop: files as they are, folders with every file below
    // them except "~" names and writable hidden files.
    void drop_data() {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("files of any kind")
            << QStringList{"r.html", "notes", "~b.txt", "A/.hidden.html"}
            << QStringList{"r.html", "notes", "~b.txt", "A/.hidden.html"};
        QTest::newRow("a folder") << QStringList{"A"}
                                  << QStringList{"A/.kept.html", "A/a.html", "A/C/c.html"};
        QTest::newRow("two folders")
            << QStringList{"B", "A/C"} << QStringList{"B/b.html", "A/C/c.html"};
        QTest::newRow("a file, then a folder")
            << QStringList{"c.htm", "B"} << QStringList{"c.htm", "B/b.html"};
        QTest::newRow("a folder, then a file")
            << QStringList{"B", "c.htm"} << QStringList{"B/b.html", "c.htm"};
        QTest::newRow("a file that is gone")
            << QStringList{"gone.html"} << QStringList{"gone.html"};
        QTest::newRow("the same file twice")
            << QStringList{"r.html", "r.html"} << QStringList{"r.html", "r.html"};
    }
    void drop() {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, expected);
        FileTree tree;
        makePages(tree);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        fixture.platform.clear();
        const std::unique_ptr<QMimeData> data(urlData(tree.paths(dropped)));

        QVERIFY(dropOnList(form, data.get()));

        QTRY_COMPARE(rows(form), tree.paths(expected));
        QVERIFY(fixture.platform.shown.isEmpty());
    }

    // A dropped folder is walked without the busy pointer, so "Clear List" still works.
    void dropIsNotBusy() {
        FileTree tree;
        makePages(tree);
        ScriptedFolders folders;
        WindowFixture fixture;
        fixture.folders = &folders;
        Form1 &form = fixture.load();
        form.fileList->append(QStringLiteral("/earlier.html"));
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        const std::unique_ptr<QMimeData> data(urlData({tree.path("B")}));
        QVERIFY(dropOnList(form, data.get()));
        // Once the walk has opened a folder (it yields right after), the pointer is looked at
        // and the list cleared, once.
        std::optional<int> pointer;
        DuringEachPump clearList([&] {
            if (folders.opened() > 0 && !pointer) {
                pointer = form.mousePointer();
                form.PushButton7->click();
            }
        });

        QTRY_COMPARE(rows(form), tree.paths({"B/b.html"}));
        QCOMPARE(pointer, std::optional<int>(MousePointer::Default));
    }

    // A second drop while a dropped folder is walked is taken at once: its rows come before
    // those of the folder, which are added when its walk is done.
    void secondDropWhileWalking() {
        FileTree tree;
        makePages(tree);
        ScriptedFolders folders;
        WindowFixture fixture;
        fixture.folders = &folders;
        Form1 &form = fixture.load();
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        const std::unique_ptr<QMimeData> folder(urlData({tree.path("B")}));
        const std::unique_ptr<QMimeData> file(urlData({tree.path("c.htm")}));
        QVERIFY(dropOnList(form, folder.get()));
        bool dropped = false;
        DuringEachPump secondDrop([&] {
            if (folders.opened() > 0 && !dropped) {
                dropped = true;
                QVERIFY(dropOnList(form, file.get()));
            }
        });

        QTRY_COMPARE(rows(form), tree.paths({"c.htm", "B/b.html"}));
        QVERIFY(fixture.platform.shown.isEmpty());
    }

    // Closing the window while a dropped folder is walked ends the walk there: nothing is added
    // and nothing is reported.
    void closingDuringADropEndsIt() {
        FileTree tree;
        makePages(tree);
        ScriptedFolders folders;
        WindowFixture fixture;
        fixture.folders = &folders;
        Form1 &form = fixture.load();
        form.show();
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        const std::unique_ptr<QMimeData> data(urlData({tree.path("A")}));
        QVERIFY(dropOnList(form, data.get()));
        DuringEachPump closeWindow([&] {
            if (folders.opened() > 0 && form.isVisible())
                form.close();
        });

        // The window closes inside the walk, and the walk is over (ended or not) when the pass
        // of the event loop that ran it returns.
        QTRY_VERIFY(!form.isVisible());
        QCOMPARE(form.fileList->count(), 0);
        QVERIFY(fixture.platform.shown.isEmpty());
    }
};

QTEST_MAIN(AddFilesTest)
#include "tst_addfiles.moc"
