// Seeing a run before, during and after it: the preview, the summary of "Done.", stopping a
// long command with Escape, and taking a run back with "Undo Last Run". End to end through the
// real window, real files in a temporary folder, the scripted platform answering.

#include "support/DuringEachPump.h"
#include "support/RunWindowTest.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include "app/PreviewDialog.h"
#include "base/ErrorReport.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "files/CommitQueue.h"
#include "files/FileError.h"
#include "undo/UndoStore.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>

namespace {

using TestFiles::Entries;
using TestFiles::Read;
using TestFiles::Stamp;
using TestFiles::StampOf;

const QString HowToUndo = QStringLiteral(
    "To take this run back: \"Undo Last Run\" in the list's menu (right-click on the list), "
    "Ctrl+Z, or the command \"strelmark undo\".");

}  // namespace

class ReviewTest : public RunWindowTest {
    Q_OBJECT
    void activate() {
        form->show();
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    QAction *menuEntry(QMenu &menu, const char *name) {
        return menu.findChild<QAction *>(QLatin1String(name));
    }
    QString lastDetails() const {
        const QStringList details = fixture->platform.details();
        return details.isEmpty() ? QString() : details.last();
    }

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // ---------------------------------------------------------------------------------------
    // Preview

    // The preview's row for each shared case (support/OperationCases.h) says what the run does
    // with it, as the window's own run of the cases shows; the preview writes nothing.
    void previewOfEachCase_data() { OperationCases::AddRows(); }
    void previewOfEachCase() {
        QFETCH(OperationCases::Case, example);
        if (example.options.binaryAsText)
            QSKIP("the window leaves every binary file alone");
        const OperationCases::Files files = prepare(example);
        form->Preview_Click();
        PreviewDialog *preview = form->previewDialog();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(!preview->working());
        QVERIFY(!form->isBusy());
        QVERIFY(platform().messages().isEmpty());
        QCOMPARE(preview->rows().size(), std::size_t(1));
        const PreviewDialog::Row &row = preview->rows()[0];
        QCOMPARE(row.output, files.output);
        QCOMPARE(row.outcome, example.outcome);
        QCOMPARE(row.relation, Engine::Relation::None);
        if (example.failed()) {
            const bool read = example.outcome != Engine::Outcome::WriteFailed;
            QVERIFY2(
                row.reason.endsWith(QStringLiteral(": ") + (read ? files.input : files.output)),
                qPrintable(row.reason));
        } else {
            QCOMPARE(row.linesRemoved, example.linesRemoved);
            QCOMPARE(row.charactersRemoved, example.charactersRemoved);
        }
        files.verifyUntouched();
        QVERIFY(!form->undoStore().lastRun());
    }

    // Rows that meet: one that reads what an earlier row writes cannot be foretold, and the
    // preview says so; the run, which puts its results in place in groups, reads that result as
    // if each were written at once. Of two rows with one output, the later replaces the
    // earlier's result. Line 1 goes each time.
    void rowsThatMeet_data() {
        QTest::addColumn<QString>("second");  // the second row: the first, its result, a namesake
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<QString>("outcome");  // the second row's, as the preview says it
        QTest::addColumn<QByteArray>("result");
        const QString reads =
            QStringLiteral("reads the result of an earlier row (row 1), not known yet");
        QTest::newRow("in place, the same row twice")
            << "first" << true << reads << QByteArray("3");
        QTest::newRow("into a folder, a row reading the earlier row's result")
            << "result" << false << reads << QByteArray("3");
        QTest::newRow("into a folder, two rows of one name")
            << "namesake" << false << "would overwrite the result of an earlier row (row 1)"
            << QByteArray("5\r\n6");
    }
    void rowsThatMeet() {
        QFETCH(QString, second);
        QFETCH(bool, inPlace);
        QFETCH(QString, outcome);
        QFETCH(QByteArray, result);
        const QString first = input(QStringLiteral("one/a.htm"), "1\n2\n3");
        const QString namesake = input(QStringLiteral("two/a.htm"), "4\n5\n6");
        const QString output = inPlace ? first : out + QStringLiteral("/a.htm");
        form->fileList->append(first);
        form->fileList->append(second == u"first"    ? first
                               : second == u"result" ? output
                                                     : namesake);
        form->Option2->setChecked(inPlace);
        choose(4);
        platform().inputAnswers << QStringLiteral("1") << QStringLiteral("1");
        form->Preview_Click();
        const std::vector<PreviewDialog::Row> rows = form->previewDialog()->rows();
        QCOMPARE(int(rows.size()), 2);
        QCOMPARE(rows[0].outcome, Engine::Outcome::Changed);
        QCOMPARE(rows[1].earlierRow, 1);
        QCOMPARE(PreviewDialog::OutcomeText(rows[1]), outcome);
        start();
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(Read(output), result);
        QCOMPARE(Entries(out), inPlace ? QStringList() : QStringList{QStringLiteral("a.htm")});
        const std::vector<std::pair<QString, int>> twice{{output, 2}};
        QCOMPARE(form->lastRunSummary()->writtenMoreThanOnce(), twice);
    }

    // Ctrl+P and the list menu's entry open it; while the window is busy, neither does.
    void previewFromTheKeyboardAndTheMenu() {
        activate();
        form->fileList->append(input(QStringLiteral("a.htm"), "a\nx"));
        choose(0);
        form->ListView1->setFocus();
        QTest::keyClick(form->windowHandle(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(form->previewDialog());
        QCOMPARE(int(form->previewDialog()->rows().size()), 1);
        QCOMPARE(form->previewDialog()->parentWidget(), form);
        QVERIFY(!form->previewDialog()->isModal());
        form->previewDialog()->close();

        std::unique_ptr<QMenu> menu(form->createListMenu());
        QAction *entry = menuEntry(*menu, "Preview");
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("Preview 1 file...\tCtrl+P"));
        QVERIFY(entry->isEnabled());
        form->fileList->append(input(QStringLiteral("b.htm"), "b\nx"));
        entry->trigger();
        QVERIFY(form->previewDialog()->isVisible());
        QCOMPARE(int(form->previewDialog()->rows().size()), 2);
        form->previewDialog()->close();
        activate();

        // During a run: refused, by the key and by the menu.
        int rowsSeen = -1;
        bool menuEnabled = true;
        bool tried = false;
        DuringEachPump duringRun([&] {
            if (tried)
                return;
            tried = true;
            form->fileList->append(in + QStringLiteral("/late.htm"));
            QTest::keyClick(form->windowHandle(), Qt::Key_P, Qt::ControlModifier);
            std::unique_ptr<QMenu> busyMenu(form->createListMenu());
            menuEnabled = menuEntry(*busyMenu, "Preview")->isEnabled();
            menuEntry(*busyMenu, "Preview")->trigger();
            rowsSeen = int(form->previewDialog()->rows().size());
        });
        start();
        QVERIFY(tried);
        QVERIFY(!menuEnabled);
        QCOMPARE(rowsSeen, 2);
        QVERIFY(!form->previewDialog()->isVisible());
        QVERIFY(platform().shownOfKind(ScriptedPlatform::Kind::Question).isEmpty());
    }

    // Closing the preview while it works ends its work at the next yield, as Escape on the
    // main window does; the window is no longer busy.
    void closingOrStoppingThePreviewEndsIt_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("closing the preview") << false;
        QTest::newRow("Escape on the main window") << true;
    }
    void closingOrStoppingThePreviewEndsIt() {
        QFETCH(bool, escape);
        activate();
        form->fileList->append(bigInputs({"a.htm", "b.htm", "c.htm"}));
        choose(0, QStringLiteral("7"));
        platform().yesNoAnswers.enqueue(true);
        int pumps = 0;
        bool busyDuring = false;
        DuringEachPump duringPreview([&] {
            if (++pumps != 150)  // in the middle of the second file
                return;
            busyDuring = form->isBusy();
            if (escape) {
                form->activateWindow();
                QApplication::setActiveWindow(form);
                QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
            } else {
                form->previewDialog()->close();
            }
        });
        form->Preview_Click();
        QVERIFY(busyDuring);
        PreviewDialog *preview = form->previewDialog();
        QVERIFY(!preview->working());
        QCOMPARE(int(preview->rows().size()), 1);
        QCOMPARE(preview->summaryText(), QStringLiteral("Stopped after 1 of 3 files: 1 written."));
        QVERIFY(!form->isBusy());
        QCOMPARE(form->mousePointer(), int(MousePointer::Default));
        QCOMPARE(platform().shownOfKind(ScriptedPlatform::Kind::Question).size(), escape ? 1 : 0);
        QVERIFY(Entries(out).isEmpty());
    }

    // The selected file's lines, from a few before the first change, with the removed parts
    // marked ([- -] here, tinted and coloured on the screen).
    void previewShowsTheSelectedFile_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("heading");

        QByteArray tenLines;
        for (int i = 1; i <= 10; ++i)
            tenLines += "line " + QByteArray::number(i) + "\n";
        QTest::newRow("lines containing, from three lines before")
            << 0 << "line 8" << tenLines
            << "5   line 5\n6   line 6\n7   line 7\n8 - [-line 8-]\n9   line 9\n10   line 10"
            << "a.htm: 1 line removed; first change at line 8.";
        QTest::newRow("those characters")
            << 2 << "X" << QByteArray("axb\r\nXX\nc") << "1 ~ a[-x-]b\n2 ~ [-XX-]\n3   c"
            << "a.htm: 3 characters removed; first change at line 1.";
        QTest::newRow("all characters except")
            << 3 << "ab" << QByteArray("xaby ab\nzz") << "1 ~ [-x-]ab[-y -]ab\n2 - [-zz-]"
            << "a.htm: 5 characters removed; first change at line 1.";
        QTest::newRow("blank lines")
            << 5 << "x" << QByteArray("a\n\nb") << "1   a\n2 - [-(empty line)-]\n3   b"
            << "a.htm: 1 line removed; first change at line 2.";
        QTest::newRow("Windows-1252 bytes as its characters, controls as their pictures")
            << 0 << "caf"
            << QByteArray(
                   "ok\tok\x01\ncaf\xE9 \x93"
                   "cr\x94\rx")
            << "1   ok\tok\u2401\n2 - [-café “cr”\u240Dx-]"
            << "a.htm: 1 line removed; first change at line 2.";
        QTest::newRow("a page's own code page")
            << 2 << "и" << QByteArray("<meta charset=windows-1251>\n\xCF\xF0\xE8")
            << "1   <meta charset=windows-1251>\n2 ~ Пр[-и-]"
            << "a.htm: 1 character removed; first change at line 2.";
        const QString utf16 = QStringLiteral("Été\r\nx");
        QTest::newRow("UTF-16 decoded")
            << 2 << "é"
            << "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), 12)
            << "1 ~ [-É-]t[-é-]\n2   x"
            << "a.htm: 2 characters removed; first change at line 1.";
        QTest::newRow("a binary file") << 0 << "a" << QByteArray("a\0b", 3) << ""
                                       << "a.htm: binary — left alone";
        QTest::newRow("UTF-8 stays UTF-8") << 2 << "É" << QByteArray("café") << "1 ~ caf[-é-]"
                                           << "a.htm: 1 character removed; first change at line 1.";
        QTest::newRow("no line changes, its line ends do")
            << 0 << "zzz" << tenLines << ""
            << "a.htm: line ends only; no line would change, but the result has CR LF between "
               "its lines and none after the last.";
    }
    void previewShowsTheSelectedFile() {
        QFETCH(int, operation);
        QFETCH(QString, condition);
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QFETCH(QString, heading);
        form->fileList->append(input(QStringLiteral("a.htm"), content));
        choose(operation, condition);
        form->Preview_Click();
        PreviewDialog *preview = form->previewDialog();
        preview->selectRow(0);
        QCOMPARE(preview->detailHeading(), heading);
        // Line numbers are right-aligned to the widest shown.
        QStringList lines = preview->detailText().split(u'\n');
        for (QString &line : lines)
            line = line.trimmed();
        QCOMPARE(lines.join(u'\n'), shown);
    }

    // With the pattern options on (from the list menu), the marks are the pattern's matches
    // and the heading names the options.
    void previewMarksThePatternsMatches() {
        std::unique_ptr<QMenu> menu(form->createListMenu());
        for (const QString &key : {RunDriver::WholeWordsKey, RunDriver::RegularExpressionKey})
            menu->findChild<QAction *>(key)->trigger();
        form->fileList->append(input(QStringLiteral("a.htm"), "Cat scot cut\ncot\nc-t"));
        choose(2, QStringLiteral("c[aeiou]t"));
        form->Preview_Click();
        PreviewDialog *preview = form->previewDialog();
        QVERIFY(
            preview->findChild<QLabel *>(QStringLiteral("PreviewHeading"))
                ->toolTip()
                .contains(QStringLiteral("with \"c[aeiou]t\" (whole words, regular expression)")));
        preview->selectRow(0);
        QStringList lines = preview->detailText().split(u'\n');
        for (QString &line : lines)
            line = line.trimmed();
        QCOMPARE(lines.join(u'\n'),
                 QStringLiteral("1 ~ [-Cat-] scot [-cut-]\n2 ~ [-cot-]\n3   c-t"));
    }

    // A long file shows ShownLines lines from the first change on, and says it goes on.
    void previewShowsALimitedPartOfALongFile() {
        QByteArray text;
        for (int i = 1; i <= 5000; ++i)
            text += (i >= 1000 ? "x " : "  ") + QByteArray::number(i) + "\n";
        form->fileList->append(input(QStringLiteral("long.htm"), text));
        choose(0);
        form->Preview_Click();
        PreviewDialog *preview = form->previewDialog();
        preview->selectRow(0);
        const QStringList lines = preview->detailText().split(u'\n');
        QCOMPARE(lines.size(), PreviewDialog::ShownLines);
        QVERIFY(lines.first().startsWith(QStringLiteral(" 997    ")));
        QVERIFY(lines.last().startsWith(QStringLiteral("1396 - ")));
        QCOMPARE(preview->detailHeading(),
                 QStringLiteral("long.htm: 4001 lines removed; first change at line 1000. "
                                "Showing lines 997 to 1396; the file goes on."));
    }

    // ---------------------------------------------------------------------------------------
    // Summary

    // "Done." keeps its text; its details count what the run did (a binary file is counted,
    // with no report), name each failure and each output name written more than once, and say
    // how to take the run back.
    void summaryCountsWhatTheRunDid() {
        const QString missing = in + QStringLiteral("/missing.htm");
        form->fileList->append(QStringList{input(QStringLiteral("a.htm"), "a\nx"),
                                           input(QStringLiteral("same.htm"), "same"),
                                           input(QStringLiteral("gone.htm"), "x1\nx2"), missing,
                                           input(QStringLiteral("one/dup.htm"), "one\nx"),
                                           input(QStringLiteral("two/dup.htm"), "two\nx"),
                                           input(QStringLiteral("bin.htm"), QByteArray("x\0", 2))});
        TestFiles::Write(out + QStringLiteral("/same.htm"), "same");
        choose(0);
        start();
        QCOMPARE(
            platform().messages(),
            (QStringList{Report(FileError(FileError::Kind::Read, missing, ENOENT), 144), Done}));
        const QStringList expected{
            QStringLiteral("7 files."),
            QStringLiteral("Written: 3"),
            QStringLiteral("Unchanged (not rewritten): 1"),
            QStringLiteral("Empty results (not written): 1"),
            QStringLiteral("Binary files (left alone): 1"),
            QStringLiteral("Failed: 1"),
            QStringLiteral("    No such file or directory: ") + missing,
            QStringLiteral("Output names written more than once: 1"),
            QStringLiteral("    ") + out + QStringLiteral("/dup.htm (2 times)"),
            HowToUndo,
        };
        QCOMPARE(lastDetails().split(u'\n'), expected);
        QCOMPARE(platform().shown.last().title, platform().applicationTitle());
    }

    // No undo note when nothing was written; a note that the run cannot be taken back when
    // the undo store cannot be used (the run writes all the same).
    void summaryUndoNote_data() {
        QTest::addColumn<bool>("writes");
        QTest::addColumn<bool>("storeUsable");
        QTest::addColumn<QString>("note");  // empty: the details end with the counts
        QTest::newRow("nothing written") << false << true << "";
        QTest::newRow("written, recorded") << true << true << HowToUndo;
        QTest::newRow("written, no store")
            << true << false
            << "This run cannot be taken back: the undo store cannot be used (Not a directory: ";
    }
    void summaryUndoNote() {
        QFETCH(bool, writes);
        QFETCH(bool, storeUsable);
        QFETCH(QString, note);
        if (!storeUsable)
            TestFiles::Write(fixture->undoFolder(), "a file where the store would be");
        const QString path = input(QStringLiteral("a.htm"), "a\r\nx");
        form->fileList->append(path);
        form->Option2->setChecked(true);
        choose(0, writes ? QStringLiteral("x") : QStringLiteral("zzz"));
        start();
        QCOMPARE(Read(path), writes ? QByteArray("a") : QByteArray("a\r\nx"));
        const QString last = lastDetails().split(u'\n').last();
        if (note.isEmpty())
            QVERIFY(last.startsWith(QStringLiteral("Output names written more than once: ")));
        else
            QVERIFY2(last.startsWith(note), qPrintable(last));
    }

    // ---------------------------------------------------------------------------------------
    // Stop

    // Escape while a long run yields asks; Yes ends the run at that yield: what was complete
    // is in place, the file in progress is not written, and the run ends as always.
    void escapeStopsALongRun_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("Yes") << true << false;
        QTest::newRow("No") << false << false;
        QTest::newRow("Yes, from the list menu") << true << true;
    }
    void escapeStopsALongRun() {
        QFETCH(bool, answer);
        QFETCH(bool, viaMenu);
        activate();
        form->fileList->append(bigInputs({"a.htm", "b.htm", "c.htm"}));
        choose(0, QStringLiteral("7"));
        platform().yesNoAnswers.enqueue(answer);
        int pumps = 0;
        QString stopEntry;
        DuringEachPump duringRun([&] {
            if (++pumps != 150)  // in the middle of the second file
                return;
            if (viaMenu) {
                std::unique_ptr<QMenu> menu(form->createListMenu());
                QAction *stop = menuEntry(*menu, "Stop");
                stopEntry = stop->text();
                stop->trigger();
            } else {
                QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
            }
        });
        start();
        const auto questions = platform().shownOfKind(ScriptedPlatform::Kind::Question);
        QCOMPARE(questions.size(), 1);
        QCOMPARE(questions[0].text, QStringLiteral("Stop the run?"));
        if (viaMenu)
            QCOMPARE(stopEntry, QStringLiteral("Stop\tEsc"));
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(form->mousePointer(), int(MousePointer::Default));
        QCOMPARE(form->progressText(), QStringLiteral("Progress Bar"));
        QVERIFY(!form->isBusy());
        const std::optional<RunSummary> &summary = form->lastRunSummary();
        QVERIFY(summary);
        QCOMPARE(summary->isStopped(), answer);
        if (!answer) {
            QCOMPARE(Entries(out), (QStringList{"a.htm", "b.htm", "c.htm"}));
            return;
        }
        QCOMPARE(Entries(out), QStringList{QStringLiteral("a.htm")});  // no partial file
        QVERIFY(!Read(out + QStringLiteral("/a.htm")).contains("7"));
        QCOMPARE(summary->written(), 1);
        QCOMPARE(lastDetails().split(u'\n').first(), QStringLiteral("Stopped after 1 of 3 files."));
    }

    // Escape does nothing while no long command works; the menu shows "Stop" only while one
    // does.
    void stopOnlyWhileACommandWorks() {
        activate();
        QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
        QVERIFY(platform().shown.isEmpty());
        std::unique_ptr<QMenu> menu(form->createListMenu());
        QVERIFY(!menuEntry(*menu, "Stop"));
    }

    // A stopped folder walk keeps the rows it appended and ends as it ends; a run that it
    // yielded inside goes on.
    void escapeStopsAFolderWalk_data() {
        QTest::addColumn<bool>("insideARun");
        QTest::newRow("alone") << false;
        QTest::newRow("inside a run's yield") << true;
    }
    void escapeStopsAFolderWalk() {
        QFETCH(bool, insideARun);
        activate();
        // Walking it pumps some 860 times, listing its files 800 times more.
        const QString tree = fixture->root() + QStringLiteral("/tree");
        QStringList all;
        for (int folder = 0; folder < 20; ++folder) {
            for (int file = 0; file < 40; ++file) {
                all.append(tree + QStringLiteral("/f%1/p%2.html").arg(folder).arg(file));
                TestFiles::Write(all.last(), "x\ny");
            }
        }
        platform().inputAnswers.enqueue(QStringLiteral("html"));
        platform().folderAnswers.enqueue(tree);
        platform().yesNoAnswers.enqueue(true);
        const int rowsBefore = insideARun ? 2 : 0;
        if (insideARun) {
            form->fileList->append(bigInputs({"a.htm", "b.htm"}));
            choose(0, QStringLiteral("7"));
        }
        // Escape while the walk lists the files of its folders.
        int walkPumps = 0;
        auto walkWithEscape = [&] {
            DuringEachPump duringWalk([&] {
                if (++walkPumps == 1200)
                    QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
            });
            form->PushButton5->click();
        };
        if (insideARun) {
            int runPumps = 0;
            DuringEachPump duringRun([&] {
                if (++runPumps == 2)
                    walkWithEscape();  // the walk runs inside the run's yield
            });
            start();
        } else {
            walkWithEscape();
        }
        QVERIFY(walkPumps >= 1200);
        const QStringList rows = TestFiles::Rows(*form->fileList).mid(rowsBefore);
        QVERIFY(!rows.isEmpty());
        QVERIFY(rows.size() < all.size());
        QCOMPARE(rows.size() % 40, 0);  // the files of whole folders
        for (const QString &row : rows)
            QVERIFY2(all.contains(row), qPrintable(row));
        QVERIFY(!form->isBusy());
        QCOMPARE(form->mousePointer(), int(MousePointer::Default));
        QCOMPARE(platform().shownOfKind(ScriptedPlatform::Kind::Question).size(), 1);
        if (insideARun) {
            QCOMPARE(platform().messages(), QStringList{Done});
            QCOMPARE(Entries(out), (QStringList{"a.htm", "b.htm"}));
            QVERIFY(!form->lastRunSummary()->isStopped());
        } else {
            QVERIFY(platform().messages().isEmpty());
        }
    }

    // ---------------------------------------------------------------------------------------
    // Undo

    // An in-place run taken back: every byte and every permission as before, the very files
    // (same inode) put back; the summary lists each.
    void undoAfterAnInPlaceRun() {
        activate();
        const QList<QPair<QString, mode_t>> files{{QStringLiteral("a.htm"), 0644},
                                                  {QStringLiteral("b.htm"), 0600},
                                                  {QStringLiteral("c.htm"), 0755},
                                                  {QStringLiteral("d.htm"), 02640}};
        QHash<QString, QByteArray> contents;
        QHash<QString, Stamp> stamps;
        QStringList paths;
        for (const auto &[name, mode] : files) {
            const QByteArray content = "keep " + name.toUtf8() + "\r\nx\n\xE9\n";
            paths.append(input(name, content));
            QVERIFY(::chmod(TestFiles::Name(paths.last()).constData(), mode) == 0);
            contents[paths.last()] = content;
            stamps[paths.last()] = StampOf(paths.last());
        }
        form->fileList->append(paths);
        form->Option2->setChecked(true);
        choose(0);
        start();
        QVERIFY(lastDetails().endsWith(HowToUndo));
        for (const QString &path : paths) {
            QVERIFY(Read(path) != contents[path]);
            QCOMPARE(StampOf(path).permissions, stamps[path].permissions);
        }

        platform().clear();
        platform().yesNoAnswers.enqueue(true);
        form->ListView1->setFocus();
        QTest::keyClick(form->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        const auto questions = platform().shownOfKind(ScriptedPlatform::Kind::Question);
        QCOMPARE(questions.size(), 1);
        QVERIFY(questions[0].text.startsWith(
            QStringLiteral("Undo the last run?\r\rThe 4 files it replaced or created (started ")));
        for (const QString &path : paths) {
            QCOMPARE(Read(path), contents[path]);
            QVERIFY2(StampOf(path) == stamps[path], qPrintable(path));
        }
        QCOMPARE(platform().messages(),
                 QStringList{QStringLiteral(
                     "The last run is undone: 4 restored, 0 removed, 0 left alone, 0 failed.")});
        QStringList restored;
        for (const QString &path : paths)
            restored.append(QStringLiteral("Restored: ") + path);
        QStringList listed = lastDetails().split(u'\n');
        listed.sort();
        QCOMPARE(listed, restored);
        QCOMPARE(Entries(in), (QStringList{"a.htm", "b.htm", "c.htm", "d.htm"}));
        QVERIFY(!form->undoStore().lastRun());
    }

    // Into a folder: a replaced result is put back, a created one removed, and one changed
    // since the run is left alone and listed.
    void undoRemovesCreatedFilesAndLeavesChangedOnesAlone() {
        form->fileList->append(QStringList{input(QStringLiteral("a.htm"), "a\nx"),
                                           input(QStringLiteral("b.htm"), "b\nx"),
                                           input(QStringLiteral("c.htm"), "c\nx")});
        TestFiles::Write(out + QStringLiteral("/a.htm"), "old a");
        const Stamp oldA = StampOf(out + QStringLiteral("/a.htm"));
        choose(0);
        start();
        QCOMPARE(Read(out + QStringLiteral("/b.htm")), QByteArray("b"));
        TestFiles::Write(out + QStringLiteral("/c.htm"), "changed by hand");

        std::unique_ptr<QMenu> menu(form->createListMenu());
        QAction *undo = menuEntry(*menu, "UndoLastRun");
        const std::optional<UndoRunInfo> last = form->undoStore().lastRun();
        QVERIFY(last);
        QCOMPARE(last->files, std::size_t(3));
        QCOMPARE(undo->text(), QStringLiteral("Undo Last Run (3 files, %1)\tCtrl+Z")
                                   .arg(Form1::SizeText(last->bytesKept)));
        QVERIFY(undo->isEnabled());

        platform().clear();
        platform().yesNoAnswers.enqueue(true);
        undo->trigger();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("old a"));
        QVERIFY(StampOf(out + QStringLiteral("/a.htm")) == oldA);
        QCOMPARE(Read(out + QStringLiteral("/c.htm")), QByteArray("changed by hand"));
        QCOMPARE(Entries(out), (QStringList{"a.htm", "c.htm"}));
        QCOMPARE(platform().messages(),
                 QStringList{QStringLiteral(
                     "The last run is undone: 1 restored, 1 removed, 1 left alone, 0 failed.\r\r"
                     "The details list the files left as they are.")});
        const QStringList details = lastDetails().split(u'\n');
        QCOMPARE(details, (QStringList{"Restored: " + out + "/a.htm", "Removed: " + out + "/b.htm",
                                       "Left alone, changed since the run: " + out + "/c.htm"}));

        // Nothing left to undo: the entry is disabled, Ctrl+Z says so.
        menu.reset(form->createListMenu());
        QCOMPARE(menuEntry(*menu, "UndoLastRun")->text(), QStringLiteral("Undo Last Run\tCtrl+Z"));
        QVERIFY(!menuEntry(*menu, "UndoLastRun")->isEnabled());
        platform().clear();
        form->UndoLastRun_Click();
        QCOMPARE(platform().messages(), QStringList{QStringLiteral("There is no run to undo.")});
        QVERIFY(platform().shownOfKind(ScriptedPlatform::Kind::Question).isEmpty());
    }

    // Answered No, the undo changes nothing; a focused text box keeps Ctrl+Z for its typing.
    void undoAnsweredNoOrTypingChangesNothing() {
        activate();
        const QString path = input(QStringLiteral("a.htm"), "a\nx");
        form->fileList->append(path);
        form->Option2->setChecked(true);
        choose(0);
        start();
        platform().clear();

        form->Text1->setFocus();
        QTest::keyClicks(form->Text1, QStringLiteral("yz"));
        QCOMPARE(form->Text1->text(), QStringLiteral("xyz"));
        QTest::keyClick(form->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form->Text1->text(), QStringLiteral("x"));  // the typing is undone
        QVERIFY(platform().shown.isEmpty());

        form->ListView1->setFocus();
        platform().yesNoAnswers.enqueue(false);
        QTest::keyClick(form->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(platform().shownOfKind(ScriptedPlatform::Kind::Question).size(), 1);
        QVERIFY(platform().messages().isEmpty());
        QCOMPARE(Read(path), QByteArray("a"));
        QVERIFY(form->undoStore().lastRun());
    }

    // A run that ends while "Undo Last Run" asks (the command line's) is not the one taken back.
    void undoTakesBackTheRunItAskedAbout() {
        const QString a = input(QStringLiteral("a.htm"), "a\nx"),
                      b = input(QStringLiteral("b.htm"), "b");
        form->fileList->append(a);
        form->Option2->setChecked(true);
        choose(0);
        start();
        platform().clear();
        platform().yesNoAnswers.enqueue(true);
        platform().onShown = [&](const ScriptedPlatform::Shown &shown) {
            if (shown.kind != ScriptedPlatform::Kind::Question)
                return;
            const std::unique_ptr<UndoRecorder> run =
                UndoStore(form->undoStore().folder()).beginRun(UndoFace::CommandLine);
            CommitQueue queue(run.get());
            RFTSFSO::AtomicFile file(b);
            file.write("later", 5);
            queue.add(file.prepare(), 0);
            QVERIFY(queue.commit().empty());
            run->finish();
        };
        form->UndoLastRun_Click();
        platform().onShown = nullptr;
        QCOMPARE(Read(a), QByteArray("a\nx"));
        QCOMPARE(Read(b), QByteArray("later"));
        QCOMPARE(form->undoStore().lastRun().value().face, UndoFace::CommandLine);
    }

    // A folder dropped on the list that holds the undo store: its records and kept files are
    // never rows.
    void undoStoreNeverInTheList() {
        form->fileList->append(input(QStringLiteral("a.htm"), "a\nx"));
        form->Option2->setChecked(true);
        choose(0);
        start();
        QVERIFY(!QDir(form->undoStore().folder()).isEmpty());
        form->PushButton7_Click();
        form->ListView1_OLEDragDrop({QFileInfo(form->undoStore().folder()).path()});
        QVERIFY(form->fileList->count() > 0);
        for (int row = 0; row < form->fileList->count(); ++row)
            QVERIFY2(!form->rowText(row).startsWith(form->undoStore().folder()),
                     qPrintable(form->rowText(row)));
        // Nor a file of the store dropped, itself or through a link: each is listed as skipped.
        QDirIterator it(form->undoStore().folder(), QDir::Files, QDirIterator::Subdirectories);
        const QString kept = it.hasNext() ? it.next() : QString();
        const QString link = input(QStringLiteral("b.htm"), "b") + QStringLiteral(".link");
        QVERIFY(QFile::link(kept, link));
        const int rows = form->fileList->count();
        const qsizetype skips = form->fileList->skipped().size();
        form->ListView1_OLEDragDrop({kept, link});
        QCOMPARE(form->fileList->count(), rows);
        QCOMPARE(form->fileList->skipped().size(), skips + 2);
        // Nor through a link that the folder search finds beside the store.
        const QString beside = QFileInfo(form->undoStore().folder()).path() + "/d.htm";
        QVERIFY(QFile::link(kept, beside));
        form->ListView1_OLEDragDrop({QFileInfo(beside).path()});
        for (int row = rows; row < form->fileList->count(); ++row)
            QVERIFY2(form->rowText(row) != beside, qPrintable(form->rowText(row)));
        QVERIFY(form->fileList->skipped().contains("Skipped: a file in the undo store: " + beside));
    }

    // While the window is busy, undo is refused and its menu entry disabled.
    void undoRefusedWhileBusy() {
        form->fileList->append(input(QStringLiteral("a.htm"), "a\nx"));
        choose(0);
        start();  // a run to undo
        form->fileList->append(input(QStringLiteral("b.htm"), "b\nx"));
        platform().clear();
        platform().yesNoAnswers.enqueue(true);
        bool tried = false, enabled = true;
        QString text;
        DuringEachPump duringRun([&] {
            if (tried)
                return;
            tried = true;
            std::unique_ptr<QMenu> menu(form->createListMenu());
            enabled = menuEntry(*menu, "UndoLastRun")->isEnabled();
            text = menuEntry(*menu, "UndoLastRun")->text();
            form->UndoLastRun_Click();
        });
        start();
        QVERIFY(tried);
        QVERIFY(!enabled);
        QCOMPARE(text, QStringLiteral("Undo Last Run\tCtrl+Z"));
        QVERIFY(platform().shownOfKind(ScriptedPlatform::Kind::Question).isEmpty());
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("a"));
    }

    // Closing the window in the middle of an in-place run puts in place what the run finished and
    // drops the file in progress, leaving a record of exactly what it replaced: undo in the next
    // session puts back those files and touches nothing else.
    void undoAfterARunAbandonedMidway() {
        const QStringList paths = bigInputs({"a.htm", "b.htm", "c.htm"});
        const QByteArray big = Read(paths[0]);
        form->fileList->append(paths);
        form->Option2->setChecked(true);
        choose(0, QStringLiteral("7"));
        {
            int pumps = 0;
            DuringEachPump duringRun([&] {
                if (++pumps == 150)  // in the middle of the second file
                    form->close();
            });
            start();
        }
        QVERIFY(Read(paths[0]) != big);
        QVERIFY(!Read(paths[0]).contains("line 7"));
        QCOMPARE(Read(paths[1]), big);
        QCOMPARE(Read(paths[2]), big);
        QCOMPARE(Entries(in), (QStringList{"a.htm", "b.htm", "c.htm"}));
        QVERIFY(platform().messages().isEmpty());
        TestFiles::Write(in + QStringLiteral("/b.htm"), "changed after");

        // The next session, with the same store.
        EventPump::Reset();
        form = &fixture->load();
        platform().clear();
        platform().yesNoAnswers.enqueue(true);
        form->UndoLastRun_Click();
        QCOMPARE(Read(paths[0]), big);
        QCOMPARE(Read(paths[1]), QByteArray("changed after"));
        QCOMPARE(Read(paths[2]), big);
        QCOMPARE(lastDetails(), QStringLiteral("Restored: ") + paths[0]);
        QCOMPARE(Entries(in), (QStringList{"a.htm", "b.htm", "c.htm"}));
    }

    void sizeText_data() {
        QTest::addColumn<qulonglong>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0ULL << "0 bytes";
        QTest::newRow("one") << 1ULL << "1 byte";
        QTest::newRow("below a kilobyte") << 999ULL << "999 bytes";
        QTest::newRow("a kilobyte") << 1000ULL << "1.0 kB";
        QTest::newRow("megabytes") << 3'400'000ULL << "3.4 MB";
        QTest::newRow("rounds up into the next unit") << 999'960ULL << "1.0 MB";
        QTest::newRow("gigabytes") << 2'000'000'000ULL << "2.0 GB";
    }
    void sizeText() {
        QFETCH(qulonglong, bytes);
        QFETCH(QString, text);
        QCOMPARE(Form1::SizeText(bytes), text);
    }
};

QTEST_MAIN(ReviewTest)
#include "test_review.moc"
