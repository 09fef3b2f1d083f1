// What came with the preview's "Apply" and the list of runs: Apply against "Start Removing" of
// the same rows, rows left out, what the preview shows of a file, the runs chosen from the list,
// and the count of the list's rows. Through the real window and the scripted platform.

#include "support/RunWindowTest.h"
#include "support/TestFiles.h"

#include "app/PreviewDialog.h"
#include "filelist/FileListView.h"

#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

using TestFiles::Entries;
using TestFiles::Read;

// The files of a folder with their bytes.
QStringList Contents(const QString &folder) {
    QStringList contents;
    for (const QString &name : Entries(folder))
        contents << name + u'=' + QString::fromLatin1(Read(folder + u'/' + name).toHex());
    return contents;
}

}  // namespace

class ApplyTest : public RunWindowTest {
    Q_OBJECT

    PreviewDialog *preview() { return form->previewDialog(); }
    QString table(int row, int column) {
        return preview()
            ->findChild<QTreeWidget *>(QStringLiteral("PreviewTable"))
            ->topLevelItem(row)
            ->text(column);
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Apply runs the rows left ticked, in their order, as "Start Removing" runs a list of just
    // those rows: the same boxes, "Done." with the same details, the same results.
    void applyRunsWhatThePreviewShows_data() {
        QTest::addColumn<QList<int>>("unticked");
        QTest::newRow("every row") << QList<int>{};
        QTest::newRow("the second left out") << QList<int>{1};
        QTest::newRow("the first two left out") << QList<int>{0, 1};
    }
    void applyRunsWhatThePreviewShows() {
        QFETCH(QList<int>, unticked);
        const QStringList inputs = {input("a.htm", "meta 1\nkeep"), input("b.htm", "x\nmeta"),
                                    input("c/c.htm", "meta\nlast")};
        choose(0, QStringLiteral("meta"));
        for (int i = 0; i < inputs.size(); ++i)
            if (!unticked.contains(i))
                form->fileList->append(inputs[i]);
        start();
        const QList<ScriptedPlatform::Shown> ran = platform().shown;
        const QStringList results = Contents(out);

        const QString applied = fixture->root() + QStringLiteral("/applied");
        QDir().mkpath(applied);
        form->Text2->setText(applied + u'/');
        form->PushButton7->click();
        for (const QString &path : inputs)
            form->fileList->append(path);
        platform().clear();
        form->Preview_Click();
        for (int row : unticked)
            preview()->setRowTicked(row, false);
        QCOMPARE(preview()->tickedInputs().size(), inputs.size() - unticked.size());
        preview()->findChild<QPushButton *>(QStringLiteral("PreviewApply"))->click();
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(platform().details(), QStringList{ran.last().details});
        QCOMPARE(Contents(applied), results);
        QVERIFY(!preview()->isVisible());
        QVERIFY(!form->isBusy());
    }

    // A file that changes by its line ends alone says so; the heading stays one line, a long
    // folder elided in its middle; the removed text is marked without a line through it.
    void previewShowsWhatChanges_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("removed");
        QTest::newRow("line feeds") << QByteArray("a\nb") << "line ends only";
        QTest::newRow("a line end after the last") << QByteArray("a\r\nb\r\n") << "line ends only";
        QTest::newRow("as the result would be") << QByteArray("a\r\nb") << "0 lines";
        QTest::newRow("a line removed") << QByteArray("meta\nb") << "1 line";
    }
    void previewShowsWhatChanges() {
        QFETCH(QByteArray, content);
        QFETCH(QString, removed);
        QString deep = out;
        for (int level = 0; level < 6; ++level)
            deep += u'/' + QString(60, QChar(u'a' + level));
        QDir().mkpath(deep);
        form->Text2->setText(deep + u'/');
        form->fileList->append(input("a.htm", content));
        choose(0, QStringLiteral("meta"));
        form->Preview_Click();
        QCOMPARE(table(0, 2), removed);
        preview()->selectRow(0);
        QCOMPARE(preview()->detailHeading().contains(QStringLiteral("line ends only")),
                 removed == u"line ends only");
        const QLabel *heading = preview()->findChild<QLabel *>(QStringLiteral("PreviewHeading"));
        QVERIFY(heading->fontMetrics().horizontalAdvance(heading->text()) <=
                heading->contentsRect().width());
        QVERIFY(heading->text().endsWith(QStringLiteral("Nothing is written.")));
        QVERIFY(heading->text().contains(u'…'));
        const QTextEdit *detail =
            preview()->findChild<QTextEdit *>(QStringLiteral("PreviewDetail"));
        QVERIFY(!detail->toHtml().contains(QStringLiteral("line-through")));
    }

    // "Undo Runs..." lists the runs, newest first, and takes back the one chosen: an older run
    // whose file a later run wrote again, over what the older one left, puts it back.
    void undoRunsTakesBackTheChosenRun() {
        const QString a = input("a.htm", "meta\none\nthree"), b = input("b.htm", "meta\ntwo");
        form->Option2->setChecked(true);
        choose(0, QStringLiteral("meta"));
        form->fileList->append(a);
        start();
        choose(0, QStringLiteral("one"));
        form->fileList->append(b);  // the later run: a again, and b
        start();
        platform().clear();
        platform().rowAnswers.enqueue(1);
        platform().yesNoAnswers.enqueue(true);
        std::unique_ptr<QMenu> menu(form->createListMenu());
        menu->findChild<QAction *>(QStringLiteral("UndoRuns"))->trigger();
        QCOMPARE(platform().shownOfKind(ScriptedPlatform::Kind::Choice).size(), 1);
        const QList<QStringList> rows = platform().choiceRows;
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][3], QStringLiteral("Remove all lines containing those characters: one"));
        QCOMPARE(rows[1][2], QStringLiteral("1"));
        QCOMPARE(rows[1][4], QStringLiteral("1 of 1"));  // the later run wrote a again
        QVERIFY(platform().messages().value(0).startsWith(
            QStringLiteral("The run is undone: 1 restored, 0 removed, 0 left alone")));
        QCOMPARE(Read(a), QByteArray("meta\none\nthree"));
        QCOMPARE(form->undoStore().listRuns().size(), std::size_t(1));
    }

    // The list's tooltip and the menu say how many rows the list holds.
    void theListsCount_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("count");
        QTest::newRow("none") << 0 << "Preview...\tCtrl+P"
                              << "";
        QTest::newRow("one") << 1 << "Preview 1 file...\tCtrl+P"
                             << "\n\n1 file in the list.";
        QTest::newRow("thousands") << 3007 << "Preview 3,007 files...\tCtrl+P"
                                   << "\n\n3,007 files in the list.";
    }
    void theListsCount() {
        QFETCH(int, rows);
        QFETCH(QString, entry);
        QFETCH(QString, count);
        form->fileList->append(QStringLiteral("/x/seed.htm"));
        form->PushButton7->click();
        for (int i = 0; i < rows; ++i)
            form->fileList->append(QStringLiteral("/x/%1.htm").arg(i));
        std::unique_ptr<QMenu> menu(form->createListMenu());
        QCOMPARE(menu->findChild<QAction *>(QStringLiteral("Preview"))->text(), entry);
        QTRY_COMPARE(form->ListView1->toolTip(), FileListView::hintText() + count);
    }
};

QTEST_MAIN(ApplyTest)
#include "test_apply.moc"
