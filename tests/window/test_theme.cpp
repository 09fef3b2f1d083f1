// The window under other themes and from the keyboard: text that reads on its background
// under a dark palette, with and without the skin (measured on the pixels the controls draw);
// the white design-time look under the light default; the focus ring of the skin; Return,
// Space and Delete; the names that assistive technology reads.

#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "support/DarkPalette.h"
#include "support/DuringEachPump.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOption>
#include <QTest>

#include <cmath>

namespace {

// Relative luminance and contrast ratio as the Web Content Accessibility Guidelines define
// them: 1 for equal colours, 21 for black on white; 4.5 is the least for ordinary text.
double luminance(const QColor &colour) {
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

double contrast(const QColor &a, const QColor &b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a control drew in an area that holds text and nothing else: the background is the
// colour most of the area shows, the text colour the one furthest from it (the core of a bold
// glyph stroke is drawn in the full text colour).
struct Rendered {
    QColor background;
    QColor text;
    double ratio() const { return contrast(background, text); }
};

Rendered rendered(QWidget *control, QRect area) {
    const QPixmap picture = control->grab();
    const QImage image = picture.toImage();
    const qreal scale = picture.devicePixelRatio();
    const QRect pixels = QRect(QPoint(qRound(area.left() * scale), qRound(area.top() * scale)),
                               QPoint(qRound((area.right() + 1) * scale) - 1,
                                      qRound((area.bottom() + 1) * scale) - 1))
                             .intersected(image.rect());
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    Rendered result;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            result.background = QColor(it.key());
        }
    result.text = result.background;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (contrast(QColor(it.key()), result.background) > result.ratio())
            result.text = QColor(it.key());
    return result;
}

// The area of a control where its text is drawn, as the control's style lays it out.
QRect textArea(QWidget *control) {
    QStyle *style = control->style();
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        return style->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    }
    if (auto *chooser = qobject_cast<QComboBox *>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(chooser);
        option.editable = chooser->isEditable();
        option.frame = chooser->hasFrame();
        option.currentText = chooser->currentText();
        return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                     chooser);
    }
    if (auto *option = qobject_cast<QRadioButton *>(control)) {
        QStyleOptionButton button;
        button.initFrom(option);
        button.text = option->text();
        return style->subElementRect(QStyle::SE_RadioButtonContents, &button, option);
    }
    if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.textAlignment = frame->alignment();
        option.lineWidth = 1;
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        return style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    }
    return control->rect();  // a label is all text
}

QWidget *control(Form1 &form, const QString &name) {
    QWidget *found = form.findChild<QWidget *>(name);
    if (!found)
        qFatal("the window has no control %s", qPrintable(name));
    return found;
}

// The text and its background where a part of the window shows text: a control's text, a
// frame's title, a row of the list, the list's heading.
Rendered renderedText(Form1 &form, const QString &part) {
    if (part == QLatin1String("ListView1 row")) {
        const QRect row = form.ListView1->visualRect(form.fileList->index(1));
        return rendered(form.ListView1->viewport(), row);
    }
    if (part == QLatin1String("ListView1 heading")) {
        QHeaderView *header = form.ListView1->header();
        const QRect section(header->sectionViewportPosition(0), 0, header->sectionSize(0),
                            header->height());
        return rendered(header, section.adjusted(3, 3, -3, -3));
    }
    QWidget *shown = control(form, part);
    return rendered(shown, textArea(shown));
}

// Starts the window as the user finds it: a few rows, a condition, the output folder.
Form1 &loadWithContent(WindowFixture &fixture, bool skin) {
    if (!skin)
        QFile::remove(fixture.programFolder() + QStringLiteral("/x/o.cjs"));
    Form1 &form = fixture.load();
    form.fileList->append(QStringList{QStringLiteral("/home/user/site/Winding.htm"),
                                      QStringLiteral("/home/user/site/news.htm")});
    form.Text1->setText(QStringLiteral("Wing clip"));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window was never shown");
    return form;
}

void activate(Form1 &form) {
    form.show();
    QApplication::setActiveWindow(&form);
    if (!QTest::qWaitForWindowActive(&form))
        qFatal("the window never became active");
}

const char *const TextParts[] = {
    "ListView1 row", "ListView1 heading", "Text1",   "Text2",  "Combo1", "Label1",
    "Label2",        "Option1",           "Option2", "Frame1", "Frame3"};

}  // namespace

class ThemeTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        QApplication::setPalette(QApplication::style()->standardPalette());
        EventPump::SetInterval(std::chrono::milliseconds(10));
    }

    // Each text that the window shows reads on the background it is drawn on.
    void textReadsOnItsBackground_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("skin");
        QTest::addColumn<QString>("part");
        for (bool dark : {true, false})
            for (bool skin : {true, false})
                for (const char *part : TextParts)
                    QTest::addRow("%s, %s, %s", dark ? "dark" : "light", skin ? "skin" : "no skin",
                                  part)
                        << dark << skin << QString::fromLatin1(part);
    }
    void textReadsOnItsBackground() {
        QFETCH(bool, dark);
        QFETCH(bool, skin);
        QFETCH(QString, part);
        if (dark)
            QApplication::setPalette(DarkPalette());
        WindowFixture fixture;
        Form1 &form = loadWithContent(fixture, skin);
        const Rendered shown = renderedText(form, part);
        if (shown.ratio() < 4.5)
            QFAIL(qPrintable(QStringLiteral("%1 on %2: contrast %3")
                                 .arg(shown.text.name(), shown.background.name())
                                 .arg(shown.ratio(), 0, 'f', 2)));
        if (dark)  // a dark theme gives a dark window, not a white one with light text
            QVERIFY2(luminance(shown.background) < 0.2, qPrintable(shown.background.name()));
    }

    // Under the light default palette the window keeps the white of its design; the skin
    // gives the backgrounds the palette's button face instead.
    void lightDefaultKeepsTheDesignWhite_data() {
        QTest::addColumn<bool>("skin");
        QTest::newRow("no skin") << false;
        QTest::newRow("skin") << true;
    }
    void lightDefaultKeepsTheDesignWhite() {
        QFETCH(bool, skin);
        WindowFixture fixture;
        Form1 &form = loadWithContent(fixture, skin);
        const QColor expected =
            skin ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        for (const char *name : {"Label1", "Label2", "Option1", "Option2", "Frame1", "Frame3"}) {
            QWidget *shown = control(form, QLatin1String(name));
            QCOMPARE(shown->palette().color(QPalette::Window), expected);
            QCOMPARE(rendered(shown, textArea(shown)).background, expected);
        }
        // The window's own background, between the buttons and the first frame.
        QCOMPARE(rendered(&form, QRect(300, 212, 200, 3)).background, expected);
    }

    // Switching the desktop to a dark theme while the window is open recolours it.
    void paletteChangedWhileOpen_data() {
        QTest::addColumn<bool>("skin");
        QTest::newRow("no skin") << false;
        QTest::newRow("skin") << true;
    }
    void paletteChangedWhileOpen() {
        QFETCH(bool, skin);
        WindowFixture fixture;
        Form1 &form = loadWithContent(fixture, skin);
        QApplication::setPalette(DarkPalette());
        QCoreApplication::processEvents();
        for (const char *part : TextParts) {
            const Rendered shown = renderedText(form, QLatin1String(part));
            QVERIFY2(shown.ratio() >= 4.5 && luminance(shown.background) < 0.2,
                     qPrintable(QStringLiteral("%1: %2 on %3")
                                    .arg(QLatin1String(part), shown.text.name(),
                                         shown.background.name())));
        }
    }

    // With the skin, the control that has the focus is ringed in the palette's highlight,
    // which stands out from the background around it.
    void focusRingShowsInTheSkin_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("name");
        for (bool dark : {true, false})
            for (const char *name : {"ListView1", "PushButton1", "PushButton4", "Text1", "Text2",
                                     "Combo1", "Option1", "PushButton8"})
                QTest::addRow("%s, %s", dark ? "dark" : "light", name)
                    << dark << QString::fromLatin1(name);
    }
    void focusRingShowsInTheSkin() {
        QFETCH(bool, dark);
        QFETCH(QString, name);
        if (dark)
            QApplication::setPalette(DarkPalette());
        WindowFixture fixture;
        Form1 &form = loadWithContent(fixture, true);
        activate(form);
        QWidget *shown = control(form, name);
        const QColor ring = QApplication::palette().color(QPalette::Highlight);
        auto ringPixels = [&] {
            const QImage image = shown->grab().toImage();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) == (ring.rgb() | 0xff000000u))
                        ++count;
            return count;
        };
        form.PushButton7->setFocus();
        if (name == QLatin1String("PushButton7"))
            form.PushButton3->setFocus();
        const int unfocused = ringPixels();
        shown->setFocus(Qt::TabFocusReason);
        QVERIFY(shown->hasFocus());
        const int focused = ringPixels();
        // A ring round the control: at least its height down both sides (device pixels).
        const int around = 2 * qRound(shown->height() * shown->devicePixelRatio());
        QVERIFY2(
            focused - unfocused >= around,
            qPrintable(QStringLiteral("%1 ring pixels, %2 before").arg(focused).arg(unfocused)));
        const QColor behind = shown->parentWidget()->palette().color(QPalette::Window);
        QVERIFY2(contrast(ring, behind) >= 3.0, qPrintable(ring.name() + " on " + behind.name()));
    }

    // Return, Enter and Space click the push button that has the focus, "..." included.
    void keysClickTheFocusedButton_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        const char *const buttons[] = {"PushButton1", "PushButton5", "PushButton7",
                                       "PushButton3", "PushButton4", "PushButton8"};
        const std::pair<const char *, Qt::Key> keys[] = {
            {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Space", Qt::Key_Space}};
        for (const char *name : buttons)
            for (const auto &[keyName, key] : keys)
                QTest::newRow(QByteArray(name).append(", ").append(keyName).constData())
                    << QString::fromLatin1(name) << int(key);
    }
    void keysClickTheFocusedButton() {
        QFETCH(QString, name);
        QFETCH(int, key);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        auto *button = qobject_cast<QPushButton *>(control(form, name));
        button->setFocus(Qt::TabFocusReason);
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QTest::keyClick(form.windowHandle(), Qt::Key(key));  // to whatever has the focus
        QCOMPARE(clicked.count(), 1);
    }

    // The "..." command runs from the keyboard: the folder picker is asked.
    void returnOnTheFolderButtonOpensThePicker() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        form.PushButton4->setFocus(Qt::TabFocusReason);
        fixture.platform.folderAnswers.enqueue(fixture.root());
        QTest::keyClick(form.windowHandle(), Qt::Key_Return);
        QCOMPARE(fixture.platform.shownOfKind(ScriptedPlatform::Kind::BrowseFolder).size(), 1);
        QCOMPARE(form.Text2->text(), fixture.root() + u'/');
    }

    // Tab goes through the controls in the order they are read, top to bottom; of the two
    // option buttons only the selected one takes the focus.
    void tabGoesThroughTheControlsInReadingOrder() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        form.ListView1->setFocus(Qt::TabFocusReason);
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int press = 0; press < 11; ++press) {
            QTest::keyClick(form.windowHandle(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"ListView1", "PushButton1", "PushButton5", "PushButton7",
                                     "PushButton3", "Text1", "Combo1", "Option1", "Text2",
                                     "PushButton4", "PushButton8", "ListView1"}));
    }

    // Delete on the list removes the selected row, as a double-click does; the row that
    // takes its place is selected, so Delete again removes the next one.
    void deleteRemovesTheSelectedRow_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");  // -1: none
        QTest::addColumn<int>("presses");
        QTest::addColumn<QStringList>("left");
        const QStringList abcd{"/a", "/b", "/c", "/d"};
        QTest::newRow("second row") << abcd << 1 << 1 << QStringList{"/a", "/c", "/d"};
        QTest::newRow("second row, twice") << abcd << 1 << 2 << QStringList{"/a", "/d"};
        QTest::newRow("first row") << abcd << 0 << 1 << QStringList{"/b", "/c", "/d"};
        QTest::newRow("last row, twice") << abcd << 3 << 2 << QStringList{"/a", "/b"};
        QTest::newRow("every row") << abcd << 2 << 5 << QStringList{};
        QTest::newRow("no row selected") << abcd << -1 << 1 << abcd;
        QTest::newRow("empty list") << QStringList{} << -1 << 1 << QStringList{};
        QTest::newRow("duplicates: only the selected one")
            << QStringList{"/a", "/a", "/a"} << 1 << 1 << QStringList{"/a", "/a"};
    }
    void deleteRemovesTheSelectedRow() {
        QFETCH(QStringList, rows);
        QFETCH(int, selected);
        QFETCH(int, presses);
        QFETCH(QStringList, left);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        form.fileList->append(rows);
        form.ListView1->setFocus(Qt::TabFocusReason);
        if (selected >= 0)
            form.ListView1->selectRow(selected);
        else
            form.ListView1->clearSelection();
        for (int press = 0; press < presses; ++press)
            QTest::keyClick(form.windowHandle(), Qt::Key_Delete);
        QStringList shown;
        for (int row = 0; row < form.fileList->count(); ++row)
            shown << form.fileList->text(row);
        QCOMPARE(shown, left);
        QVERIFY(fixture.platform.shown.isEmpty());  // no question, no message
    }

    // Delete in a text box deletes a character there; the list keeps its rows.
    void deleteInATextBoxEditsTheText() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        form.fileList->append(QStringList{"/a", "/b"});
        form.ListView1->selectRow(0);
        form.Text1->setText(QStringLiteral("abc"));
        form.Text1->setFocus(Qt::TabFocusReason);
        form.Text1->setCursorPosition(0);
        QTest::keyClick(form.windowHandle(), Qt::Key_Delete);
        QCOMPARE(form.Text1->text(), QStringLiteral("bc"));
        QCOMPARE(form.fileList->count(), 2);
    }

    // While a run works through the list, Delete leaves the list alone; afterwards it works.
    void deleteDuringARunRemovesNothing() {
        WindowFixture fixture;
        Form1 &form = fixture.load();
        activate(form);
        const QString out = fixture.root() + QStringLiteral("/out");
        QDir().mkpath(out);
        for (const char *name : {"a.htm", "b.htm", "c.htm"}) {
            const QString path = fixture.root() + u'/' + QLatin1String(name);
            TestFiles::Write(path, "x\ny");
            form.fileList->append(path);
        }
        form.Text1->setText(QStringLiteral("x"));
        form.Text2->setText(out + u'/');
        EventPump::SetInterval(std::chrono::nanoseconds(0));  // every yield lets events run
        bool pressed = false;
        {
            DuringEachPump duringRun([&] {
                if (pressed || !form.isBusy())
                    return;
                pressed = true;
                form.ListView1->setFocus(Qt::TabFocusReason);
                form.ListView1->selectRow(1);
                QTest::keyClick(form.windowHandle(), Qt::Key_Delete);
            });
            form.PushButton8->click();
        }
        QVERIFY(pressed);
        QCOMPARE(form.fileList->count(), 3);
        QCOMPARE(TestFiles::Entries(out), (QStringList{"a.htm", "b.htm", "c.htm"}));

        form.ListView1->setFocus(Qt::TabFocusReason);
        form.ListView1->selectRow(1);
        QTest::keyClick(form.windowHandle(), Qt::Key_Delete);
        QCOMPARE(form.fileList->count(), 2);
    }

    // What assistive technology reads for each control.
    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        const std::pair<const char *, const char *> names[] = {
            {"ListView1", "HTML File(s)"},
            {"PushButton1", "Add HTML Files"},
            {"PushButton5", "Add All HTML Files In Folder"},
            {"PushButton7", "Clear List"},
            {"PushButton3", "Load Sample/Example Files"},
            {"Frame1", "Condition Options"},
            {"Label1", "If file contains"},
            {"Text1", "If file contains"},
            {"Label2", "Then"},
            {"Combo1", "Then"},
            {"Frame3", "Save Option"},
            {"Option1", "Save results to this folder:"},
            {"Frame4", "Output folder"},
            {"Text2", "Save results to this folder:"},
            {"PushButton4", "Choose output folder"},
            {"Option2", "Save results in folder of original file"},
            {"PushButton8", "Start Removing"},
            {"ProgressBar1", "Progress Bar"},
        };
        for (const auto &[name, spoken] : names)
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(spoken);
    }
    void accessibleNames() {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        form.setProgressText(QStringLiteral("Processing: a.htm"));  // the name stays
        QWidget *shown = control(form, name);
        QCOMPARE(shown->accessibleName(), spoken);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(shown);
        QVERIFY(accessible);
        // A chooser tells its current choice as its name here; its label comes by relation.
        if (accessible->role() != QAccessible::ComboBox)
            QCOMPARE(accessible->text(QAccessible::Name), spoken);
    }

    // The labels name their boxes, for assistive technology and for mnemonics.
    void labelsAreBuddiesOfTheirBoxes_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("box");
        QTest::newRow("If file contains") << "Label1"
                                          << "Text1";
        QTest::newRow("Then") << "Label2"
                              << "Combo1";
    }
    void labelsAreBuddiesOfTheirBoxes() {
        QFETCH(QString, label);
        QFETCH(QString, box);
        WindowFixture fixture;
        Form1 &form = fixture.load();
        auto *caption = qobject_cast<QLabel *>(control(form, label));
        QCOMPARE(caption->buddy(), control(form, box));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(caption->buddy());
        QList<QObject *> labelledBy;
        for (const auto &[label, relation] : accessible->relations(QAccessible::Label))
            labelledBy << label->object();
        QVERIFY(labelledBy.contains(caption));
    }
};

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));  // as the program does
    QTEST_DISABLE_KEYPAD_NAVIGATION
    ThemeTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_theme.moc"
