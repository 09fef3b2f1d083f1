// "Start Removing" end to end: the real window, real files in a temporary folder, and the
// scripted platform answering the prompts.

#include "support/Child.h"
#include "support/DuringEachPump.h"
#include "support/RunWindowTest.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include "app/PreviewDialog.h"
#include "app/RunDriver.h"
#include "base/ErrorReport.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "files/FileError.h"
#include "files/ReplacementJournal.h"
#include "text/Operations.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <new>
#include <stdexcept>
#include <thread>

#include <sys/prctl.h>
#include <sys/wait.h>

namespace {

using TestFiles::Entries;
using TestFiles::Read;

// The undo store's part in a run, as far as the run sees it: it is told each group before the
// group is put in place, and may refuse to keep a file, which is then not replaced.
class RefusingJournal : public ReplacementJournal {
public:
    RefusingJournal(QStringList refused, QStringList *recorded)
        : refused_(std::move(refused)), recorded_(recorded) {}
    std::vector<int> recordGroup(const std::vector<Replacement> &group) override {
        std::vector<int> answers;
        for (const Replacement &entry : group) {
            const QString name = QFileInfo(QFile::decodeName(entry.target.c_str())).fileName();
            recorded_->append(name);
            answers.push_back(refused_.contains(name) ? EDQUOT : 0);
        }
        return answers;
    }

private:
    QStringList refused_;
    QStringList *recorded_;
};

// Starts the helper that runs the core over `folder`; its process id, or -1.
// `ownGroup`: the helper leads a process group of its own, to be killed as a whole.
pid_t StartHelper(const QString &folder, bool ownGroup = false) {
    Child::Launch helper;
    helper.program = RUN_CORE_HELPER;
    helper.args = {TestFiles::Name(folder)};
    if (ownGroup)
        helper.args.prepend("--own-group");
    return Child::Start(helper);
}

// A process id that no process has (for a moment at least): a child's that has ended.
pid_t GonePid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Waits for every process below this one, the helper's own helpers included (this process
// is their reaper once the helper is gone).
void WaitForDescendants() {
    for (;;) {
        if (::waitpid(-1, nullptr, __WALL) < 0 && errno != EINTR)
            return;
    }
}

}  // namespace

class RunTest : public RunWindowTest {
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Every shared case (support/OperationCases.h) through the window: the file it leaves, the
    // summary of its "Done.", and the window as it was before the run.
    void eachCase_data() { OperationCases::AddRows(); }
    void eachCase() {
        QFETCH(OperationCases::Case, example);
        if (example.options.binaryAsText)
            QSKIP("the window leaves every binary file alone");
        const OperationCases::Files files = prepare(example);
        start();
        const QStringList messages = platform().messages();
        QCOMPARE(messages.size(), example.failed() ? 2 : 1);  // the failure's report first
        QCOMPARE(messages.last(), Done);
        files.verifyRun();
        const std::optional<RunSummary> &summary = form->lastRunSummary();
        QVERIFY(summary);
        QCOMPARE(summary->written(), int(example.outcome == Engine::Outcome::Changed));
        QCOMPARE(summary->unchanged(), int(example.outcome == Engine::Outcome::Unchanged));
        QCOMPARE(summary->empty(), int(example.outcome == Engine::Outcome::Empty));
        QCOMPARE(summary->binary(), int(example.outcome == Engine::Outcome::Binary));
        QCOMPARE(summary->failures().size(), qsizetype(example.failed()));
        QCOMPARE(form->mousePointer(), int(MousePointer::Default));
        QCOMPARE(form->progressValue(), 0.0);
        QCOMPARE(form->progressText(), QStringLiteral("Progress Bar"));
    }

    void lineNumberPrompt() {
        form->fileList->append(input(QStringLiteral("a.htm"), "a\nb"));
        choose(4);
        platform().inputAnswers.enqueue(QStringLiteral("1"));
        start();
        const auto prompts = platform().shownOfKind(ScriptedPlatform::Kind::Input);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].text, QStringLiteral("Enter row number n: "));
        QCOMPARE(prompts[0].title, QStringLiteral("Input Row Number n"));
        QCOMPARE(prompts[0].preset, QStringLiteral("10"));
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("b"));
    }

    // The checks before a run, with their messages: a failed one ends "Start Removing" and
    // "Preview..." alike, with nothing written and no preview opened.
    void checksStopTheRunAndThePreview_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        const QString folderMissing =
            QStringLiteral("Folder does not exist. Please select another folder.");
        const QString noText = QStringLiteral("Please provide text for: If file contains");
        QTest::newRow("empty list") << "empty list"
                                    << "No files added.";
        QTest::newRow("output folder missing") << "missing folder" << folderMissing;
        QTest::newRow("output folder names a file") << "folder is a file" << folderMissing;
        QTest::newRow("no condition") << "no condition" << noText;
        QTest::newRow("no condition, line number") << "no condition 4" << noText;
        QTest::newRow("no condition, blank lines") << "no condition 5" << noText;
        QTest::newRow("line number cancelled") << "cancel"
                                               << "Must be numeric value.";
        QTest::newRow("line number not numeric") << "abc"
                                                 << "Must be numeric value.";
        QTest::newRow("no save option") << "no option"
                                        << "Please choose where to save the results.";
    }
    void checksStopTheRunAndThePreview() {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        const QString path = input(QStringLiteral("a.htm"), "keep\nx");
        if (setup != QLatin1String("empty list"))
            form->fileList->append(path);
        choose(0);
        if (setup == QLatin1String("missing folder"))
            form->Text2->setText(fixture->root() + QStringLiteral("/nowhere/"));
        if (setup == QLatin1String("folder is a file"))
            form->Text2->setText(path);
        if (setup.startsWith(QLatin1String("no condition"))) {
            form->Text1->clear();
            if (setup.endsWith(u'4'))
                form->Combo1->setCurrentIndex(4);
            if (setup.endsWith(u'5'))
                form->Combo1->setCurrentIndex(5);
        }
        if (setup == QLatin1String("cancel") || setup == QLatin1String("abc"))
            form->Combo1->setCurrentIndex(4);
        if (setup == QLatin1String("no option")) {
            form->Option1->setAutoExclusive(false);
            form->Option1->setChecked(false);
        }
        for (const bool preview : {false, true}) {
            platform().clear();
            if (setup == QLatin1String("abc"))
                platform().inputAnswers.enqueue(QStringLiteral("abc"));
            preview ? form->Preview_Click() : start();
            QCOMPARE(platform().messages(), QStringList{message});
            QVERIFY(!form->previewDialog());
            QVERIFY(Entries(out).isEmpty());
            QCOMPARE(Read(path), QByteArray("keep\nx"));
            QCOMPARE(form->mousePointer(), int(MousePointer::Default));
            QVERIFY(!form->isBusy());
        }
    }

    // In place, the output folder's text is not looked at.
    void inPlaceIgnoresTheOutputFolder() {
        const QString path = input(QStringLiteral("a.htm"), "a\nx");
        form->fileList->append(path);
        choose(0);
        form->Option2->setChecked(true);
        form->Text2->setText(QStringLiteral("not a folder at all"));
        start();
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(Read(path), QByteArray("a"));
    }

    void outputFolderWithAndWithoutSeparator_data() {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("with separator") << "/";
        QTest::newRow("without separator") << "";
        QTest::newRow("doubled separator") << "//";
    }
    void outputFolderWithAndWithoutSeparator() {
        QFETCH(QString, suffix);
        form->fileList->append(input(QStringLiteral("a.htm"), "a\nx"));
        choose(0);
        form->Text2->setText(out + suffix);
        start();
        QCOMPARE(Entries(out), QStringList{QStringLiteral("a.htm")});
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("a"));
    }

    void progressForEachFile() {
        for (const char *name : {"one.htm", "two.htm", "three.htm"})
            form->fileList->append(input(QLatin1String(name), "line"));
        choose(0);
        QList<QPair<double, QString>> seen;
        DuringEachPump duringRun([&] {
            const QPair<double, QString> now{form->progressValue(), form->progressText()};
            if (seen.isEmpty() || seen.last() != now)
                seen.append(now);
            QCOMPARE(form->mousePointer(), int(MousePointer::Hourglass));
        });
        start();
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0].first, 100.0 / 3);
        QCOMPARE(seen[1].first, 200.0 / 3);
        QCOMPARE(seen[2].first, 100.0);
        QCOMPARE(seen[0].second, QStringLiteral("Processing: one.htm"));
        QCOMPARE(seen[1].second, QStringLiteral("Processing: two.htm"));
        QCOMPARE(seen[2].second, QStringLiteral("Processing: three.htm"));
        QCOMPARE(form->progressText(), QStringLiteral("Progress Bar"));
    }

    void badRowsAreReportedAndSkipped() {
        const QString good1 = input(QStringLiteral("good1.htm"), "a\nx");
        const QString missing = in + QStringLiteral("/missing.htm");
        const QString folder = in + QStringLiteral("/folder.htm");
        QDir().mkpath(folder);
        const QString fifo = in + QStringLiteral("/pipe.htm");
        QVERIFY(TestFiles::MakePipe(fifo));
        const QString unwritable = input(QStringLiteral("blocked.htm"), "b\nx");
        QDir().mkpath(out + QStringLiteral("/blocked.htm"));  // the output path is a folder
        const QString good2 = input(QStringLiteral("good2.htm"), "c\nx");
        form->fileList->append(QStringList{good1, missing, folder, fifo, unwritable, good2});
        choose(0);
        start();

        // Each report names the file: what went wrong with it, and its path.
        using Kind = FileError::Kind;
        const QStringList expected{
            Report(FileError(Kind::Read, missing, ENOENT), 144),
            Report(FileError(Kind::Read, folder, EISDIR), 144),
            Report(FileError(Kind::Read, fifo, FileError::Special::NamedPipe), 144),
            Report(FileError(Kind::Write, out + QStringLiteral("/blocked.htm"), EISDIR), 222),
            Done,
        };
        QCOMPARE(platform().messages(), expected);
        QCOMPARE(platform().shown[0].title, QStringLiteral("Application Error"));

        QCOMPARE(Read(out + QStringLiteral("/good1.htm")), QByteArray("a"));
        QCOMPARE(Read(out + QStringLiteral("/good2.htm")), QByteArray("c"));
        QCOMPARE(Entries(out), (QStringList{"blocked.htm", "good1.htm", "good2.htm"}));
        QVERIFY(Entries(out + QStringLiteral("/blocked.htm")).isEmpty());
    }

    // The condition and the chooser are read again after a yield: a change takes effect
    // from the next line.
    void changesDuringARunTakeEffectFromTheNextLine_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("changeChooser");  // else the condition changes
        QTest::addColumn<QByteArray>("result");
        // Pumps: one before the file, then one before each line. The change comes with the
        // fourth, before the third line.
        QTest::newRow("condition") << 0 << false << QByteArray("b1\r\na2");
        QTest::newRow("chooser, lines to characters") << 0 << true << QByteArray("b1\r\n2\r\nb2");
    }
    void changesDuringARunTakeEffectFromTheNextLine() {
        QFETCH(int, operation);
        QFETCH(bool, changeChooser);
        QFETCH(QByteArray, result);
        form->fileList->append(input(QStringLiteral("a.htm"), "a1\nb1\na2\nb2"));
        choose(operation, QStringLiteral("a"));
        int pumps = 0;
        DuringEachPump duringRun([&] {
            if (++pumps != 4)
                return;
            if (changeChooser)
                form->Combo1->setCurrentIndex(2);  // "Remove those characters"
            else
                form->Text1->setText(QStringLiteral("b"));
        });
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), result);
    }

    // The loop is chosen per file: a chooser change during a file switches the next file.
    void chooserChangeSwitchesTheNextFile() {
        form->fileList->append(input(QStringLiteral("a.htm"), "a\n\nb"));
        form->fileList->append(input(QStringLiteral("b.htm"), "a\n\nb"));
        choose(0, QStringLiteral("a"));
        int pumps = 0;
        DuringEachPump duringRun([&] {
            if (++pumps == 2)  // before the first line of the first file
                form->Combo1->setCurrentIndex(5);
        });
        start();
        // The first file stays in the shared loop, where another caption acts as the first
        // operation; the second runs "Remove blank lines in all files".
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("\r\nb"));
        QCOMPARE(Read(out + QStringLiteral("/b.htm")), QByteArray("a\r\nb"));
    }

    // The settings read for each file: one stored while the run works holds from the next file.
    void settingChangeTakesEffectFromTheNextFile_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("keep each file's line ends")
            << RunDriver::KeepLineEndsKey << "True"
            << "x" << QByteArray("a\nx\r\nb\n") << QByteArray("a\r\nb") << QByteArray("a\nb\n");
        const QByteArray koi8("\xF0\xD2\xC9\xD7\xC5\xD4");  // Привет in KOI8-R
        QTest::newRow("other files are in")
            << RunDriver::LegacyCodePageKey << "koi8-r"
            << "привет" << koi8 + "\nkeep" << koi8 + "\r\nkeep" << QByteArray("keep");
    }
    void settingChangeTakesEffectFromTheNextFile() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, condition);
        QFETCH(QByteArray, content);
        for (const char *name : {"a.htm", "b.htm", "c.htm"})
            form->fileList->append(input(QLatin1String(name), content));
        choose(0, condition);
        bool changed = false;
        DuringEachPump duringRun([&] {
            if (changed || form->progressText() != QStringLiteral("Processing: b.htm"))
                return;
            changed = true;  // at the yield before the second file
            form->settings().save(key, value);
        });
        start();
        QVERIFY(changed);
        QTEST(Read(out + QStringLiteral("/a.htm")), "before");
        QTEST(Read(out + QStringLiteral("/b.htm")), "after");
        QTEST(Read(out + QStringLiteral("/c.htm")), "after");
    }

    void busyWindowRefusesRemovalAndASecondRun() {
        for (const char *name : {"a.htm", "b.htm", "c.htm"})
            form->fileList->append(input(QLatin1String(name), "x\ny"));
        choose(0);
        bool tried = false;
        DuringEachPump duringRun([&] {
            if (tried)
                return;
            tried = true;
            form->ListView1->selectRow(1);
            form->PushButton7->click();  // Clear List
            form->ListView1_DblClick();
            form->PushButton8->click();                                 // a second run
            form->fileList->append(in + QStringLiteral("/added.htm"));  // comes too late
        });
        start();
        QVERIFY(tried);
        QCOMPARE(form->fileList->count(), 4);
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(Entries(out), (QStringList{"a.htm", "b.htm", "c.htm"}));
    }

    // The list emptied under the run (no command can do that while the window is busy, but
    // the list itself can) ends the run instead of working on a stale path again.
    void listEmptiedDuringARunEndsIt() {
        const QString a = input(QStringLiteral("a.htm"), "x\ny");
        const QString b = input(QStringLiteral("b.htm"), "x\ny");
        form->fileList->append(QStringList{a, b});
        choose(0);
        form->Option2->setChecked(true);  // in place: a second pass would change a again
        int pumps = 0;
        DuringEachPump duringRun([&] {
            if (++pumps == 2)
                form->fileList->clear();
        });
        start();
        QCOMPARE(form->fileList->count(), 0);
        QCOMPARE(Read(a), QByteArray("y"));
        QCOMPARE(Read(b), QByteArray("x\ny"));
        QCOMPARE(platform().messages(), QStringList{Done});
    }

    // Rows removed or added while the run works on one: the run goes on with the rows that
    // followed it, skips none of them, and takes none that were not there when it began.
    void rowsChangedDuringARun_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("at");  // the row being worked on when the list changes
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("written");
        const QStringList four{"a", "b", "c", "d"};
        const QStringList five{"a", "b", "c", "d", "e"};
        QTest::newRow("one above") << four << "c" << QStringList{"a"} << QStringList{} << four;
        QTest::newRow("two above") << five << "c" << QStringList{"a", "b"} << QStringList{} << five;
        QTest::newRow("the current one")
            << four << "c" << QStringList{"c"} << QStringList{} << four;
        QTest::newRow("the next one")
            << five << "c" << QStringList{"d"} << QStringList{} << QStringList{"a", "b", "c", "e"};
        QTest::newRow("the last one")
            << five << "c" << QStringList{"e"} << QStringList{} << QStringList{"a", "b", "c", "d"};
        QTest::newRow("one above, one added")
            << four << "c" << QStringList{"a"} << QStringList{"x"} << four;
        QTest::newRow("the last one, one added")
            << four << "c" << QStringList{"d"} << QStringList{"x"} << QStringList{"a", "b", "c"};
    }
    void rowsChangedDuringARun() {
        QFETCH(QStringList, rows);
        QFETCH(QString, at);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, added);
        QFETCH(QStringList, written);
        auto fileOf = [](const QString &name) { return name + QStringLiteral(".htm"); };
        for (const QString &name : rows)
            form->fileList->append(input(fileOf(name), "x\ny"));
        for (const QString &name : added)
            input(fileOf(name), "x\ny");
        choose(0);
        bool changed = false;
        DuringEachPump duringRun([&] {
            if (changed || form->progressText() != QStringLiteral("Processing: ") + fileOf(at))
                return;
            changed = true;
            for (const QString &name : removed) {
                const QStringList now = TestFiles::Rows(*form->fileList);
                form->fileList->removeRow(now.indexOf(in + u'/' + fileOf(name)));
            }
            for (const QString &name : added)
                form->fileList->append(in + u'/' + fileOf(name));
        });
        start();
        QVERIFY(changed);
        QStringList expected;
        for (const QString &name : written)
            expected.append(fileOf(name));
        QCOMPARE(Entries(out), expected);
        QCOMPARE(platform().messages(), QStringList{Done});
    }

    // "Add All HTML Files In Folder" run inside the run's yield leaves the window busy until the
    // run ends: a second "Start Removing" meanwhile is refused, and one run does all the work.
    void folderAddedDuringARunLeavesItBusy() {
        for (const char *name : {"a.htm", "b.htm"})
            form->fileList->append(input(QLatin1String(name), "x\ny"));
        const QString tree = fixture->root() + QStringLiteral("/tree");
        TestFiles::Write(tree + QStringLiteral("/t.html"), "x\nt");
        choose(0);
        platform().inputAnswers.enqueue(QStringLiteral("html"));
        platform().folderAnswers.enqueue(tree);
        bool added = false;
        bool busyAfterAdding = false;
        QList<int> pointersAfterAdding;
        DuringEachPump duringRun([&] {
            if (added) {
                pointersAfterAdding.append(form->mousePointer());
                return;
            }
            added = true;  // first, as the folder's walk pumps too
            form->PushButton5->click();
            busyAfterAdding = form->isBusy();
            form->PushButton8->click();  // a second run
        });
        start();
        QVERIFY(added);
        QVERIFY(busyAfterAdding);
        QVERIFY(!pointersAfterAdding.isEmpty());
        QCOMPARE(pointersAfterAdding,
                 QList<int>(pointersAfterAdding.size(), int(MousePointer::Hourglass)));
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(TestFiles::Rows(*form->fileList),
                 (QStringList{in + "/a.htm", in + "/b.htm", tree + "/t.html"}));
        QCOMPARE(Entries(out), (QStringList{"a.htm", "b.htm"}));  // the added row came too late
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("y"));
        QCOMPARE(Read(out + QStringLiteral("/b.htm")), QByteArray("y"));
        QVERIFY(!form->isBusy());
        QCOMPARE(form->mousePointer(), int(MousePointer::Default));
    }

    // Whatever a command throws past its own guard is reported once under its name and stops
    // there: nothing reaches the event loop, and the window goes on working.
    void anyFailureOfACommandIsReported_data() {
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<QString>("description");
        QTest::newRow("no standard exception") << "int"
                                               << "Unknown error";
        QTest::newRow("standard") << "runtime_error"
                                  << "broken";
        QTest::newRow("out of memory") << "bad_alloc"
                                       << "Out of memory";
    }
    void anyFailureOfACommandIsReported() {
        QFETCH(QString, thrown);
        QFETCH(QString, description);
        form->fileList->append(input(QStringLiteral("a.htm"), "x\ny"));
        choose(0);
        form->Option1->setAutoExclusive(false);
        form->Option1->setChecked(false);  // "Please choose where ..." is told with no guard
        bool thrownOnce = false;
        platform().onShown = [&](const ScriptedPlatform::Shown &) {
            if (thrownOnce)
                return;
            thrownOnce = true;
            if (thrown == QLatin1String("runtime_error"))
                throw std::runtime_error("broken");
            if (thrown == QLatin1String("bad_alloc"))
                throw std::bad_alloc();
            throw 42;
        };
        start();
        const QStringList expected{
            QStringLiteral("Please choose where to save the results."),
            UnexpectedErrorText(description, Location::form1("PushButton8_Click"), 0)};
        QCOMPARE(platform().messages(), expected);

        platform().onShown = nullptr;
        platform().clear();
        form->Option1->setChecked(true);
        start();
        QCOMPARE(platform().messages(), QStringList{Done});
    }

    // A condition of any length is used whole: one of 1 MB pasted into the condition box is
    // stored whole, and the run removes only the lines that hold all of it.
    void longConditionIsUsedWhole() {
        QString condition;
        for (int n = 0; condition.size() < (1 << 20); ++n)
            condition += QString::number(n) + u' ';
        condition.truncate(1 << 20);
        const QByteArray whole = condition.toLatin1();
        const QByteArray start32k = whole.left(32767);  // where the box used to cut
        form->fileList->append(
            input(QStringLiteral("a.htm"), "<" + whole + ">\n" + start32k + "#\nkeep"));
        choose(0, QString());
        QGuiApplication::clipboard()->setText(condition);
        form->Text1->setFocus();
        QTest::keySequence(form->Text1, QKeySequence::Paste);
        QCOMPARE(form->Text1->text().size(), condition.size());
        QVERIFY(fixture->stored(QStringLiteral("Text1")) == condition);
        start();
        QCOMPARE(platform().messages(), QStringList{Done});
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), start32k + "#\r\nkeep");
    }

    void closingDuringARunEndsIt() {
        form->fileList->append(bigInputs({"a.htm", "b.htm", "c.htm"}));
        choose(0, QStringLiteral("7"));
        int pumps = 0;
        DuringEachPump duringRun([&] {
            if (++pumps == 150)  // in the middle of the second file
                form->close();
        });
        start();
        QCOMPARE(Entries(out), QStringList{QStringLiteral("a.htm")});  // no partial file
        QVERIFY(platform().messages().isEmpty());                      // no "Done."
        QVERIFY(EventPump::QuitRequested());
    }

    // A result that cannot be put in place (the run's journal refuses to keep what it would
    // replace) is reported for its own file at step 222, in row order with the other reports,
    // and counted as failed.
    void commitFailuresAreReportedForTheirFiles() {
        QStringList recorded;
        form->runJournals = [&] {
            return std::make_unique<RefusingJournal>(QStringList{"b.htm", "d.htm"}, &recorded);
        };
        const QString missing = in + QStringLiteral("/missing.htm");
        form->fileList->append(QStringList{
            input(QStringLiteral("a.htm"), "a\nx"), input(QStringLiteral("b.htm"), "b\nx"), missing,
            input(QStringLiteral("c.htm"), "c\nx"), input(QStringLiteral("d.htm"), "d\nx")});
        TestFiles::Write(out + QStringLiteral("/d.htm"), "old d");
        choose(0);
        start();

        using Kind = FileError::Kind;
        const QStringList expected{
            Report(FileError(Kind::Write, out + QStringLiteral("/b.htm"), EDQUOT), 222),
            Report(FileError(Kind::Read, missing, ENOENT), 144),
            Report(FileError(Kind::Write, out + QStringLiteral("/d.htm"), EDQUOT), 222),
            Done,
        };
        QCOMPARE(platform().messages(), expected);
        QCOMPARE(recorded, (QStringList{"a.htm", "b.htm", "c.htm", "d.htm"}));
        QCOMPARE(Entries(out), (QStringList{"a.htm", "c.htm", "d.htm"}));
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), QByteArray("a"));
        QCOMPARE(Read(out + QStringLiteral("/d.htm")), QByteArray("old d"));
        // Such a result counts as failed, not as written.
        const std::optional<RunSummary> &summary = form->lastRunSummary();
        QVERIFY(summary);
        QCOMPARE(summary->written(), 2);
        QCOMPARE(summary->failures().size(), 3);
        QCOMPARE(summary->failures()[0],
                 DescribeFileError(FileError(Kind::Write, out + QStringLiteral("/b.htm"), EDQUOT)));
    }

    // What the folder search that filled the list passed over (here a link out of the dropped
    // folder) is listed in the details of the run's "Done.", until the list is cleared.
    void doneListsWhatTheFolderSearchSkipped() {
        input(QStringLiteral("a.htm"), "a\nx");
        const QString outside = fixture->root() + QStringLiteral("/secret.htm");
        TestFiles::Write(outside, "s\nx");
        QVERIFY(QFile::link(outside, in + QStringLiteral("/evil.htm")));
        form->ListView1_OLEDragDrop({in});
        QCOMPARE(TestFiles::Rows(*form->fileList), QStringList{in + QStringLiteral("/a.htm")});
        choose(0);
        start();
        const QString skipped =
            QStringLiteral(
                "Skipped by the folder search: 1\n    Skipped: a symbolic link to a "
                "file outside the searched folder: ") +
            in + QStringLiteral("/evil.htm");
        QCOMPARE(platform().messages(), QStringList{Done});
        QVERIFY2(platform().details().constFirst().contains(skipped),
                 qPrintable(platform().details().constFirst()));
        QCOMPARE(Read(outside), QByteArray("s\nx"));
        form->fileList->clear();
        QVERIFY(form->skippedRows().isEmpty());
    }

    void keepLineEndsIsStoredAndRestored_data() {
        QTest::addColumn<QString>("stored");  // null: never stored
        QTest::addColumn<bool>("checked");
        QTest::newRow("never stored") << QString() << false;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("False") << "False" << false;
        QTest::newRow("not a truth value") << "sometimes" << false;
    }
    void keepLineEndsIsStoredAndRestored() {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        const QByteArray content("a\nx\r\nb\n");
        const QByteArray joined("a\r\nb"), kept("a\nb\n");
        if (!stored.isNull())
            fixture->store(RunDriver::KeepLineEndsKey, stored);
        form = &fixture->load();
        form->Text2->setText(out + u'/');
        form->fileList->append(input(QStringLiteral("a.htm"), content));
        choose(0);

        std::unique_ptr<QMenu> menu(form->createListMenu());
        QAction *entry = menu->findChild<QAction *>(QStringLiteral("KeepLineEnds"));
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("Keep each file's line ends"));
        QVERIFY(entry->isCheckable());
        QCOMPARE(entry->isChecked(), checked);
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), checked ? kept : joined);

        // The entry stores the other choice at once, and the next run follows it.
        entry->trigger();
        QCOMPARE(fixture->stored(RunDriver::KeepLineEndsKey),
                 checked ? QStringLiteral("False") : QStringLiteral("True"));
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), checked ? joined : kept);
        QCOMPARE(form->createListMenu()
                     ->findChild<QAction *>(QStringLiteral("KeepLineEnds"))
                     ->isChecked(),
                 !checked);
    }

    // "Match case", "Whole words", "Regular expression": each stored at once under its key,
    // restored at the next start, read by the next run and named in its "Done.".
    void matchOptionsAreStoredAndRestored_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QByteArray>("on");   // what the run leaves with the option on
        QTest::addColumn<QByteArray>("off");  // and off
        const QByteArray b("b");
        QTest::newRow("match case") << RunDriver::MatchCaseKey << "Match case"
                                    << "x" << QByteArray("X\r\nb") << b;
        QTest::newRow("whole words") << RunDriver::WholeWordsKey << "Whole words"
                                     << "x" << QByteArray("xy\r\nb") << b;
        QTest::newRow("regular expression")
            << RunDriver::RegularExpressionKey << "Regular expression"
            << "^x$|b" << QByteArray("xy") << QByteArray("X\r\nx\r\nxy\r\nb");
    }
    void matchOptionsAreStoredAndRestored() {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, condition);
        QFETCH(QByteArray, on);
        QFETCH(QByteArray, off);
        const QByteArray content("X\nx\nxy\nb");
        fixture->store(key, QStringLiteral("True"));
        form = &fixture->load();
        form->Text2->setText(out + u'/');
        form->fileList->append(input(QStringLiteral("a.htm"), content));
        choose(0, condition);
        // The menu is made anew each time it opens; its entry lives as long as it does.
        std::unique_ptr<QMenu> menu(form->createListMenu());
        QAction *entry = menu->findChild<QAction *>(key);
        QVERIFY(entry);
        QCOMPARE(entry->text(), caption);
        QVERIFY(entry->isChecked());
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), on);
        QVERIFY(platform().details().last().contains(QStringLiteral("Matched with: ") +
                                                     caption.toLower()));

        entry->trigger();
        QCOMPARE(fixture->stored(key), QStringLiteral("False"));
        menu.reset(form->createListMenu());
        QVERIFY(!menu->findChild<QAction *>(key)->isChecked());
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), off);
    }

    // A pattern that does not compile: the library's message, and nothing is written or
    // recorded.
    void invalidPatternIsRefused() {
        fixture->store(RunDriver::RegularExpressionKey, QStringLiteral("True"));
        form = &fixture->load();
        form->Text2->setText(out + u'/');
        form->fileList->append(input(QStringLiteral("a.htm"), "(script\nb"));
        choose(2, QStringLiteral("(script"));
        start();
        QCOMPARE(platform().messages(),
                 QStringList{"Invalid regular expression at character 7: missing closing "
                             "parenthesis"});
        QVERIFY(Entries(out).isEmpty());
        QVERIFY(!form->lastRunSummary());
        form->Preview_Click();
        QCOMPARE(platform().messages().size(), 2);
        QCOMPARE(platform().messages().last(), platform().messages().first());
    }

    // "Other files are in": one page of the list, stored at once, restored at the next start,
    // and read by the next run.
    void otherFilesAreInIsStoredAndRestored_data() {
        QTest::addColumn<QString>("stored");  // null: never stored
        QTest::addColumn<QString>("checked");
        QTest::newRow("never stored") << QString() << "windows-1252";
        QTest::newRow("KOI8-R") << "koi8-r"
                                << "koi8-r";
        QTest::newRow("no page's name") << "koi9"
                                        << "windows-1252";
    }
    void otherFilesAreInIsStoredAndRestored() {
        QFETCH(QString, stored);
        QFETCH(QString, checked);
        const QByteArray content("\xF0\xD2\xC9\xD7\xC5\xD4\nkeep");  // Привет in KOI8-R
        if (!stored.isNull())
            fixture->store(RunDriver::LegacyCodePageKey, stored);
        form = &fixture->load();
        form->Text2->setText(out + u'/');
        form->fileList->append(input(QStringLiteral("a.htm"), content));
        choose(0, QStringLiteral("привет"));
        auto entries = [&] {
            std::unique_ptr<QMenu> menu(form->createListMenu());
            QStringList names;
            for (QAction *entry :
                 menu->findChild<QMenu *>(QStringLiteral("OtherFilesAreIn"))->actions())
                names.append(entry->objectName() +
                             (entry->isChecked() ? QStringLiteral(" *") : QString()));
            return names;
        };
        QCOMPARE(entries().size(), 26);
        QVERIFY(entries().contains(checked + QStringLiteral(" *")));
        start();
        const QByteArray removed("keep"), kept("\xF0\xD2\xC9\xD7\xC5\xD4\r\nkeep");
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), checked == "koi8-r" ? removed : kept);

        const QString other =
            checked == "koi8-r" ? QStringLiteral("windows-1251") : QStringLiteral("koi8-r");
        setOtherFilesAreIn(other);
        QCOMPARE(fixture->stored(RunDriver::LegacyCodePageKey), other);
        QVERIFY(entries().contains(other + QStringLiteral(" *")));
        start();
        QCOMPARE(Read(out + QStringLiteral("/a.htm")), other == "koi8-r" ? removed : kept);
    }

    // A run killed at any moment leaves each file as it was or as its result, and no temporary
    // file; killed with its helper (the whole process group), it may leave a temporary name,
    // which the next run in that folder removes (and only the names of processes that are gone).
    void killedRunLeavesEachFileOldOrNew_data() {
        QTest::addColumn<bool>("group");
        QTest::newRow("the program") << false;
        QTest::newRow("its process group") << true;
    }
    void killedRunLeavesEachFileOldOrNew() {
        QFETCH(bool, group);
        constexpr int Files = 1000, Kills = 20;
        QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
        // In memory where the system offers it: what is checked does not depend on the disk,
        // and a disk that other programs keep busy would make twenty runs slow.
        QTemporaryDir shared(QStringLiteral("/dev/shm/strelmark-kill-XXXXXX"));
        const QString root = shared.isValid() ? shared.path() : fixture->root();
        auto makeFolder = [&](const QString &folder) {
            for (int i = 0; i < Files; ++i)
                TestFiles::Write(folder + QStringLiteral("/f%1.htm").arg(i, 4, 10, QChar(u'0')),
                                 "keep " + QByteArray::number(i) + "\nx " + QByteArray::number(i));
        };

        // How long a whole run takes here, to kill within it.
        const QString whole = root + QStringLiteral("/whole");
        makeFolder(whole);
        QElapsedTimer timer;
        timer.start();
        const pid_t first = StartHelper(whole);
        QVERIFY(first > 0);
        int status = 0;
        QCOMPARE(::waitpid(first, &status, 0), first);
        const qint64 runNs = timer.nsecsElapsed();
        WaitForDescendants();
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(Read(whole + QStringLiteral("/f0007.htm")), QByteArray("keep 7"));

        int mixed = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            const QString folder = root + QStringLiteral("/kill%1").arg(kill);
            makeFolder(folder);
            const qint64 delayNs =
                qint64(QRandomGenerator::global()->bounded(1.0) * double(runNs) * 1.2);
            const pid_t helper = StartHelper(folder, group);
            QVERIFY(helper > 0);
            std::this_thread::sleep_for(std::chrono::nanoseconds(delayNs));
            if (!group || ::kill(-helper, SIGKILL) != 0)
                ::kill(helper, SIGKILL);  // (not yet the leader of its group)
            ::waitpid(helper, nullptr, 0);
            WaitForDescendants();

            // Killed with its helper, the run may have left a temporary name: looked at below.
            QStringList entries = Entries(folder);
            if (group)
                entries = entries.filter(QRegularExpression(QStringLiteral("^f\\d+\\.htm$")));
            QCOMPARE(entries.size(), Files);  // no temporary file
            int done = 0;
            for (int i = 0; i < Files; ++i) {
                const QByteArray text = Read(folder + u'/' + entries[i]);
                const QByteArray old =
                    "keep " + QByteArray::number(i) + "\nx " + QByteArray::number(i);
                const QByteArray fresh = "keep " + QByteArray::number(i);
                if (text != old && text != fresh)
                    QFAIL(qPrintable(QStringLiteral("%1 after a kill %2 ms into the run: %3")
                                         .arg(entries[i])
                                         .arg(delayNs / 1e6)
                                         .arg(QString::fromLatin1(text))));
                done += text == fresh;
            }
            if (group) {
                // The next run there removes what a killed group left, and what this one
                // leaves as such a group would; a name of a process that is alive stays.
                const QString left = QStringLiteral("/.f0000.htm.strelmark-%1-abcdef"),
                              alive = left.arg(::getpid());
                TestFiles::Write(folder + left.arg(GonePid()), "keep 0");
                TestFiles::Write(folder + alive, "keep 0");
                TestFiles::Write(folder + QStringLiteral("/f0000.htm"), "keep 0\nx 0");  // a result
                const pid_t again = StartHelper(folder);
                QCOMPARE(::waitpid(again, nullptr, 0), again);
                WaitForDescendants();
                QVERIFY(QFile::remove(folder + alive));
                QCOMPARE(Entries(folder).size(), Files);
            }
            mixed += done > 0 && done < Files;
            QDir(folder).removeRecursively();
        }
        // The kills fell inside runs, not only before or after them.
        QVERIFY(mixed > 0);
    }
};

QTEST_MAIN(RunTest)
#include "test_run.moc"
