// The main window: its controls, start-up with every kind of stored value, the change
// handlers, the skin, pointer feedback, and closing.

#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "support/Child.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"
#include "text/Operations.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

QString caption(QWidget *control) {
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        return frame->title();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    return {};
}

QColor background(QWidget *control) {
    return control->palette().color(QPalette::Window);
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    // Every control, found by its design name, in its container at its place (twips / 15).
    void controlsAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Form1") << "Form1"
                               << "" << QRect(0, 0, 536, 534) << "";
        QTest::newRow("ListView1") << "ListView1"
                                   << "Form1" << QRect(8, 8, 520, 169) << "";
        QTest::newRow("PushButton1") << "PushButton1"
                                     << "Form1" << QRect(8, 183, 256, 27) << "Add HTML Files";
        QTest::newRow("PushButton5")
            << "PushButton5"
            << "Form1" << QRect(272, 183, 256, 27) << "Add All HTML Files In Folder";
        QTest::newRow("PushButton7") << "PushButton7"
                                     << "Form1" << QRect(8, 217, 256, 27) << "Clear List";
        QTest::newRow("PushButton3")
            << "PushButton3"
            << "Form1" << QRect(272, 217, 256, 27) << "Load Sample/Example Files";
        QTest::newRow("Frame1") << "Frame1"
                                << "Form1" << QRect(8, 248, 520, 83) << "Condition Options";
        QTest::newRow("Label1") << "Label1"
                                << "Frame1" << QRect(16, 23, 89, 17) << "If file contains";
        QTest::newRow("Text1") << "Text1"
                               << "Frame1" << QRect(112, 20, 393, 23) << "";
        QTest::newRow("Label2") << "Label2"
                                << "Frame1" << QRect(16, 53, 97, 17) << "Then";
        QTest::newRow("Combo1") << "Combo1"
                                << "Frame1" << QRect(112, 50, 393, 23) << "";
        QTest::newRow("Frame3") << "Frame3"
                                << "Form1" << QRect(8, 336, 520, 121) << "Save Option";
        QTest::newRow("Option1") << "Option1"
                                 << "Frame3" << QRect(16, 20, 241, 17)
                                 << "Save results to this folder:";
        QTest::newRow("Frame4") << "Frame4"
                                << "Frame3" << QRect(32, 34, 456, 54) << "";
        QTest::newRow("Text2") << "Text2"
                               << "Frame4" << QRect(16, 20, 378, 23) << "";
        QTest::newRow("PushButton4") << "PushButton4"
                                     << "Frame4" << QRect(400, 20, 40, 23) << "...";
        QTest::newRow("Option2") << "Option2"
                                 << "Frame3" << QRect(16, 94, 241, 17)
                                 << "Save results in folder of original file";
        QTest::newRow("PushButton8") << "PushButton8"
                                     << "Form1" << QRect(8, 465, 520, 27) << "Start Removing";
        QTest::newRow("ProgressBar1") << "ProgressBar1"
                                      << "Form1" << QRect(8, 499, 520, 27) << "";
    }
    void controlsAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        WindowFixture fixture;
        Form1 &form = fixture.create();
        QWidget *control =
            name == "Form1" ? &form : fixture.control<QWidget>(name.toLatin1().constData());
        QCOMPARE(control->objectName(), name);
        QCOMPARE(control->parentWidget() ? control->parentWidget()->objectName() : QString(),
                 container);
        QCOMPARE(control->size(), geometry.size());
        if (control != &form)
            QCOMPARE(control->pos(), geometry.topLeft());
        QCOMPARE(::caption(control), caption);
    }

    void fontsAreArialBold() {
        WindowFixture fixture;
        Form1 &form = fixture.create();
        for (QWidget *control :
             {static_cast<QWidget *>(form.Text1), static_cast<QWidget *>(form.Label1),
              static_cast<QWidget *>(form.ListView1)}) {
            QCOMPARE(control->font().family(), QStringLiteral("Arial"));
            QVERIFY(control->font().bold());
            QCOMPARE(control->font().pointSizeF(), 9.0);
        }
        QCOMPARE(form.PushButton8->font().pointSizeF(), 11.25);
        QVERIFY(form.PushButton8->font().bold());
    }

    void firstStartWithAnEmptyStore() {
        WindowFixture fixture;
        fixture.platform.desktop = QStringLiteral("/home/ann/Desktop");
        Form1 &form = fixture.load();

        QCOMPARE(form.Text1->text(), QString());
        QCOMPARE(form.Text2->text(), QStringLiteral("/home/ann/Desktop/"));
        QCOMPARE(form.Combo1->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(form.Combo1->itemText(i), Operations::Captions[i]);
        QCOMPARE(form.Combo1->currentIndex(), 0);
        QCOMPARE(form.Combo1->currentText(),
                 QStringLiteral("Remove all lines containing those characters"));
        QVERIFY(form.Option1->isChecked());
        QVERIFY(!form.Option2->isChecked());
        QVERIFY(form.Frame4->isEnabled());
        QCOMPARE(form.fileList->count(), 0);
        QCOMPARE(form.windowTitle(), QStringLiteral("Strelmark"));
        QCOMPARE(fixture.platform.applicationTitle(), QStringLiteral("Strelmark"));
        QCOMPARE(form.ListView1->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("HTML File(s)"));
        QCOMPARE(form.ListView1->columnWidth(0), 467);
        QCOMPARE(form.ListView1->toolTip(), FileListView::hintText());
        QCOMPARE(form.progressText(), QStringLiteral("Progress Bar"));
        QVERIFY(fixture.platform.messages().isEmpty());

        // Only the values that changed a control were written back.
        QCOMPARE(fixture.stored(QStringLiteral("Text2")), QStringLiteral("/home/ann/Desktop/"));
        QCOMPARE(fixture.stored(QStringLiteral("Combo1")), QStringLiteral("0"));
        QVERIFY(!fixture.isStored(QStringLiteral("Text1")));
        QVERIFY(!fixture.isStored(QStringLiteral("Option1")));
        QVERIFY(!fixture.isStored(QStringLiteral("Option2")));
    }

    void restoresStoredValues_data() {
        QTest::addColumn<QString>("option1");  // stored texts; a null text is absent
        QTest::addColumn<QString>("option2");
        QTest::addColumn<bool>("selected1");
        QTest::addColumn<bool>("selected2");
        QTest::newRow("False, True") << "False"
                                     << "True" << false << true;
        QTest::newRow("0, 1") << "0"
                              << "1" << false << true;
        QTest::newRow("both False") << "False"
                                    << "False" << false << false;
        QTest::newRow("True, False") << "True"
                                     << "False" << true << false;
        QTest::newRow("-1, 0") << "-1"
                               << "0" << true << false;
        QTest::newRow("only Option2 True") << QString() << "True" << false << true;
    }
    void restoresStoredValues() {
        QFETCH(QString, option1);
        QFETCH(QString, option2);
        QFETCH(bool, selected1);
        QFETCH(bool, selected2);
        WindowFixture fixture;
        if (!option1.isNull())
            fixture.store(QStringLiteral("Option1"), option1);
        fixture.store(QStringLiteral("Option2"), option2);
        Form1 &form = fixture.load();
        QCOMPARE(form.Option1->isChecked(), selected1);
        QCOMPARE(form.Option2->isChecked(), selected2);
        QCOMPARE(form.Frame4->isEnabled(), selected1);
        QCOMPARE(form.Text2->isEnabled(), selected1);  // through its frame
        QVERIFY(fixture.platform.messages().isEmpty());
    }

    void storedEmptyOutputFolderStaysEmpty() {
        WindowFixture fixture;
        fixture.store(QStringLiteral("Text2"), QString(""));
        fixture.store(QStringLiteral("Text1"), QStringLiteral("  meta http "));
        Form1 &form = fixture.load();
        QCOMPARE(form.Text2->text(), QString());
        QCOMPARE(form.Text1->text(), QStringLiteral("  meta http "));
        QVERIFY(fixture.isStored(QStringLiteral("Text2")));
        QCOMPARE(fixture.stored(QStringLiteral("Text2")), QString(""));
    }

    // A stored condition of any length comes back whole, and stays stored whole.
    void storedLongConditionComesBackWhole() {
        WindowFixture fixture;
        QString condition;
        for (int n = 0; condition.size() < (1 << 20); ++n)
            condition += QString::number(n) + u' ';
        condition.truncate(1 << 20);
        fixture.store(QStringLiteral("Text1"), condition);
        Form1 &form = fixture.load();
        QCOMPARE(form.Text1->text().size(), condition.size());
        QVERIFY(form.Text1->text() == condition);
        QVERIFY(fixture.stored(QStringLiteral("Text1")) == condition);
    }

    void restoresTheChooser_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("error");  // the report's description, or none
        QTest::newRow("none") << "-1" << -1 << "";
        QTest::newRow("last") << "5" << 5 << "";
        QTest::newRow("letters") << "abc" << -1 << "Type mismatch";
        QTest::newRow("beyond the list") << "6" << -1 << "Invalid property value";
        QTest::newRow("beyond 16 bits") << "40000" << -1 << "Overflow";
    }
    void restoresTheChooser() {
        QFETCH(QString, stored);
        QFETCH(int, index);
        QFETCH(QString, error);
        WindowFixture fixture;
        fixture.store(QStringLiteral("Combo1"), stored);
        fixture.store(QStringLiteral("Option2"), QStringLiteral("True"));
        Form1 &form = fixture.load();
        QCOMPARE(form.Combo1->currentIndex(), index);
        const QStringList reports = fixture.platform.messages();
        if (error.isEmpty()) {
            QVERIFY(reports.isEmpty());
        } else {
            QCOMPARE(reports.size(), 1);
            QCOMPARE(reports[0], UnexpectedErrorText(error, Location::form1("Form_Load"), 152));
            QCOMPARE(fixture.platform.shown[0].title, QStringLiteral("Application Error"));
        }
        // Start-up went on after the chooser: the options were restored.
        QVERIFY(form.Option2->isChecked());
        QVERIFY(!form.Frame4->isEnabled());
    }

    void unconvertibleOptionKeepsItsState() {
        WindowFixture fixture;
        fixture.store(QStringLiteral("Option1"), QStringLiteral("maybe"));
        fixture.store(QStringLiteral("Option2"), QStringLiteral("perhaps"));
        Form1 &form = fixture.load();
        const QStringList reports = fixture.platform.messages();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].contains(QStringLiteral("Form_Load at line 154")));
        QVERIFY(reports[1].contains(QStringLiteral("Form_Load at line 156")));
        QVERIFY(form.Option1->isChecked());
        QVERIFY(!form.Option2->isChecked());
        QVERIFY(form.Frame4->isEnabled());
    }

    void unknownDesktopLeavesTheOutputFolderEmpty() {
        WindowFixture fixture;
        fixture.platform.desktop.clear();
        fixture.store(QStringLiteral("Text2"), QStringLiteral("/srv/out/"));
        Form1 &form = fixture.load();
        QCOMPARE(form.Text2->text(), QString());
        const QString expected =
            UnexpectedErrorText(ErrorText::InvalidArgument, Location::form1("Form_Load"), 138);
        QCOMPARE(fixture.platform.messages(), QStringList{expected});
        QCOMPARE(form.Combo1->count(), 6);  // start-up went on
    }

    void skin_data() {
        QTest::addColumn<bool>("present");
        QTest::newRow("without the skin file") << false;
        QTest::newRow("with the skin file") << true;
    }
    void skin() {
        QFETCH(bool, present);
        WindowFixture fixture;
        if (!present)
            QFile::remove(fixture.programFolder() + QStringLiteral("/x/o.cjs"));
        Form1 &form = fixture.load();
        const QColor expected =
            present ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        QVERIFY(expected != QColor(Qt::white) || !present);
        for (QWidget *control :
             {static_cast<QWidget *>(&form), static_cast<QWidget *>(form.Frame1),
              static_cast<QWidget *>(form.Frame3), static_cast<QWidget *>(form.Frame4),
              static_cast<QWidget *>(form.Label1), static_cast<QWidget *>(form.Label2),
              static_cast<QWidget *>(form.Option1), static_cast<QWidget *>(form.Option2)})
            QCOMPARE(background(control), expected);
        QCOMPARE(form.styleSheet().isEmpty(), !present);
        QVERIFY(fixture.platform.messages().isEmpty());
    }

    void skinThatIsAFolderIsNoSkin() {
        WindowFixture fixture;
        QFile::remove(fixture.programFolder() + QStringLiteral("/x/o.cjs"));
        QDir().mkpath(fixture.programFolder() + QStringLiteral("/x/o.cjs"));
        Form1 &form = fixture.load();
        QCOMPARE(background(form.Frame1), QColor(Qt::white));
    }

    void pointerPicture_data() {
        QTest::addColumn<QByteArray>("content");  // of HAND-M.CUR; null: no such file
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("reported");
        QTest::newRow("absent") << QByteArray() << false << false;
        QTest::newRow("not a picture") << QByteArray("hello") << false << true;
    }
    void pointerPicture() {
        QFETCH(QByteArray, content);
        QFETCH(bool, loaded);
        QFETCH(bool, reported);
        WindowFixture fixture;
        const QString path = fixture.programFolder() + QStringLiteral("/HAND-M.CUR");
        QFile::remove(path);
        if (!content.isNull())
            TestFiles::Write(path, content);
        Form1 &form = fixture.load();
        QCOMPARE(form.hasPointerPicture(), loaded);
        QCOMPARE(fixture.platform.messages().size(), reported ? 1 : 0);
        if (reported)
            QVERIFY(fixture.platform.messages()[0].contains(QStringLiteral("at line 104")));
    }

    // A start-up file that is there but cannot be read is reported with its path.
    void unreadableStartUpFileIsReportedWithItsPath_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("step");
        QTest::newRow("skin") << "x/o.cjs" << 100;
        QTest::newRow("pointer picture") << "HAND-M.CUR" << 104;
    }
    void unreadableStartUpFileIsReportedWithItsPath() {
        QFETCH(QString, file);
        QFETCH(int, step);
        if (::geteuid() == 0)
            QSKIP("running as root: permission bits deny nothing");
        WindowFixture fixture;
        const QString path = fixture.programFolder() + u'/' + file;
        QVERIFY(QFile::setPermissions(path, {}));
        fixture.load();
        const QString description = QString::fromLocal8Bit(std::strerror(EACCES)) + ": " + path;
        QCOMPARE(fixture.platform.messages(),
                 QStringList{UnexpectedErrorText(description, Location::form1("Form_Load"), step)});
    }

    void shippedPointerPictureLoads() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        QVERIFY(form.hasPointerPicture());
        form.setMousePointer(MousePointer::Custom);
        QCOMPARE(form.PushButton1->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form.PushButton1->cursor().hotSpot(), QPoint(11, 2));
    }

    void homePageOpensAtMostOncePerStart() {
        WindowFixture fixture;
        for (int i = 0; i < 3; ++i)
            fixture.platform.randomDraws.enqueue(0.065);
        fixture.load();
        QCOMPARE(fixture.platform.shownOfKind(ScriptedPlatform::Kind::OpenUrl).size(), 1);
        QCOMPARE(fixture.platform.seeds.size(), 1);
    }

    void changesAreStoredAtOnce() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.show();
        form.Text1->setFocus();
        const QString typed = QStringLiteral("meta");
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(form.Text1, typed[i].toLatin1());
            QCOMPARE(fixture.stored(QStringLiteral("Text1")), typed.left(i + 1));
        }
        form.Text2->setText(QStringLiteral("/srv/out/"));
        QCOMPARE(fixture.stored(QStringLiteral("Text2")), QStringLiteral("/srv/out/"));
        form.Combo1->setCurrentIndex(4);
        QCOMPARE(fixture.stored(QStringLiteral("Combo1")), QStringLiteral("4"));

        QTest::mouseClick(form.Option2, Qt::LeftButton, {}, QPoint(8, 8));
        QVERIFY(form.Option2->isChecked());
        QCOMPARE(fixture.stored(QStringLiteral("Option1")), QStringLiteral("False"));
        QCOMPARE(fixture.stored(QStringLiteral("Option2")), QStringLiteral("True"));
        QVERIFY(!form.Frame4->isEnabled());

        QTest::mouseClick(form.Option1, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(fixture.stored(QStringLiteral("Option1")), QStringLiteral("True"));
        QCOMPARE(fixture.stored(QStringLiteral("Option2")), QStringLiteral("False"));
        QVERIFY(form.Frame4->isEnabled());
    }

    // What the window stores is in the file the moment it is stored: a second program started
    // right then, with a store of its own, reads it (the window's own store would answer from
    // memory and hide a value that never reached the file).
    void storedValuesReachAFreshProcess_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("the condition") << "Text1"
                                       << "meta http";
        QTest::newRow("the output folder") << "Text2"
                                           << "/srv/out/";
        QTest::newRow("the operation") << "Combo1"
                                       << "3";
        QTest::newRow("the save option") << "Option2"
                                         << "True";
    }
    void storedValuesReachAFreshProcess() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        WindowFixture fixture;
        fixture.load();
        if (key == "Text1" || key == "Text2")
            fixture.control<QLineEdit>(key.toLatin1().constData())->setText(value);
        else if (key == "Combo1")
            fixture.control<QComboBox>("Combo1")->setCurrentIndex(value.toInt());
        else
            fixture.control<QRadioButton>("Option2")->click();

        // No event is handled between the change and the reading.
        const Child::Outcome reader =
            Child::Run(Child::Self({"--print-setting", fixture.settingsPath(), key}));
        QCOMPARE(reader.exitCode, 0);
        QCOMPARE(QString::fromUtf8(reader.out), value);
    }

    void pointerFeedback() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTest::mouseMove(form.PushButton3, QPoint(20, 10));
        QCOMPARE(form.mousePointer(), int(MousePointer::Custom));
        QCOMPARE(form.Text1->cursor().shape(), Qt::BitmapCursor);  // over every control

        QTest::mouseMove(&form, QPoint(2, 530));  // the window's own background
        QCOMPARE(form.mousePointer(), int(MousePointer::Default));
        QCOMPARE(form.Text1->cursor().shape(), Qt::IBeamCursor);  // its own pointer again

        QTest::mouseMove(form.PushButton8, QPoint(20, 10));
        QCOMPARE(form.mousePointer(), int(MousePointer::Custom));
        QTest::mouseMove(form.Frame3, QPoint(510, 110));  // a frame's background
        QCOMPARE(form.mousePointer(), int(MousePointer::Default));

        // While busy, the hourglass stays whatever the pointer crosses.
        BusyScope busy(form);
        busy.begin();
        QTest::mouseMove(form.PushButton1, QPoint(20, 10));
        QCOMPARE(form.mousePointer(), int(MousePointer::Hourglass));
        QTest::mouseMove(&form, QPoint(2, 530));
        QCOMPARE(form.mousePointer(), int(MousePointer::Hourglass));
        QTest::mouseMove(form.ListView1->viewport(), QPoint(50, 50));
        QCOMPARE(form.mousePointer(), int(MousePointer::Hourglass));
        QCOMPARE(form.Text1->cursor().shape(), Qt::WaitCursor);
    }

    void clearListAndDoubleClick() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.fileList->append(QStringList{"/a", "/b", "/c", "/d"});

        form.ListView1->selectRow(1);
        BusyScope busy(form);
        busy.begin();
        form.ListView1_DblClick();
        form.PushButton7->click();
        QCOMPARE(form.fileList->count(), 4);  // busy: neither removes anything

        // Setting the pointer does not end the busy state.
        form.setMousePointer(MousePointer::Default);
        form.PushButton7->click();
        QCOMPARE(form.fileList->count(), 4);

        busy.end(MousePointer::Default);
        const QRect second = form.ListView1->visualRect(form.fileList->index(1));
        QTest::mouseDClick(form.ListView1->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(form.fileList->count(), 3);
        QCOMPARE(form.fileList->text(0), QStringLiteral("/a"));
        QCOMPARE(form.fileList->text(1), QStringLiteral("/c"));
        QCOMPARE(form.fileList->text(2), QStringLiteral("/d"));

        form.PushButton7->click();
        QCOMPARE(form.fileList->count(), 0);
        form.PushButton7->click();  // an empty list: nothing happens, nothing is shown
        QVERIFY(fixture.platform.shown.isEmpty());
    }

    void closingEndsTheProgram() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.show();
        form.close();
        QVERIFY(EventPump::QuitRequested());
        QVERIFY_THROWS_EXCEPTION(CommandAbandoned, EventPump::LetEventsRun());
        QVERIFY(fixture.platform.shown.isEmpty());  // no question asked
    }

    void corruptSettingsFileStillStarts() {
        WindowFixture fixture;
        TestFiles::Write(fixture.settingsPath(), QByteArray("\x00\x01[Strel\xffmark\n=\"\n", 16));
        Form1 &form = fixture.load();
        QCOMPARE(form.Combo1->currentIndex(), 0);
        QVERIFY(form.Option1->isChecked());
        QVERIFY(fixture.platform.messages().isEmpty());
    }

    // A settings path that holds no regular file: the window starts, works and keeps its values
    // for the session, and what is at the path stays as it was.
    void settingsPathThatIsNoFileStillStarts_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "named pipe";
        QTest::newRow("link to a named pipe") << "link to a named pipe";
        QTest::newRow("link to a device") << "link to a device";
    }
    void settingsPathThatIsNoFileStillStarts() {
        QFETCH(QString, kind);
        WindowFixture fixture;
        const QString path = fixture.settingsPath();
        const QString special = kind.startsWith(QLatin1String("link"))
                                    ? fixture.root() + QStringLiteral("/special")
                                    : path;
        if (kind.endsWith(QLatin1String("device"))) {
            const int error = TestFiles::MakeNullDevice(special);
            if (error != 0)
                QSKIP("cannot make a device node (only root may)");
        } else {
            QVERIFY(TestFiles::MakePipe(special));
        }
        if (special != path)
            QCOMPARE(::symlink(QFile::encodeName(special).constData(),
                               QFile::encodeName(path).constData()),
                     0);
        const QString before = TestFiles::Identity(path);

        Form1 &form = fixture.load();
        form.Text1->setText(QStringLiteral("typed"));
        form.Combo1->setCurrentIndex(2);
        form.Option2->setChecked(true);

        QVERIFY(fixture.platform.messages().isEmpty());
        QCOMPARE(TestFiles::Identity(path), before);
        QCOMPARE(fixture.settings->get(QStringLiteral("Text1"), {}), QStringLiteral("typed"));
        QCOMPARE(fixture.settings->get(QStringLiteral("Combo1"), {}), QStringLiteral("2"));
        QCOMPARE(fixture.settings->get(QStringLiteral("Option2"), {}), QStringLiteral("True"));
    }

    void unusableSettingsFileStillStarts() {
        WindowFixture fixture;
        QDir().mkpath(fixture.settingsPath());  // a folder where the file should be
        Form1 &form = fixture.load();
        form.Text1->setText(QStringLiteral("typed"));
        QCOMPARE(form.Combo1->currentIndex(), 0);
        QVERIFY(fixture.platform.messages().isEmpty());
    }
};

// The reading for storedValuesReachAFreshProcess: a fresh store on the file prints the value.
int PrintSetting(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    const Settings store(QString::fromLocal8Bit(argv[2]));
    std::fputs(
        store.get(QString::fromLocal8Bit(argv[3]), QStringLiteral("<absent>")).toUtf8().constData(),
        stdout);
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 4 && qstrcmp(argv[1], "--print-setting") == 0)
        return PrintSetting(argc, argv);
    QApplication application(argc, argv);
    QTEST_DISABLE_KEYPAD_NAVIGATION
    WindowTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_window.moc"
