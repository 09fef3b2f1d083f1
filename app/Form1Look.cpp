// How the window looks and is reached beyond its controls' places: the theme that follows the
// desktop's palette, the keyboard, and the names that assistive tools read.
#include "app/Form1.h"

#include "filelist/FileListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------------------------
// Theme

namespace {

// Relative luminance of a colour (0 black, 1 white), as the accessibility guidelines weigh
// the channels.
double luminance(const QColor &colour) {
    auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// A dark theme writes light text on dark windows.
bool isDark(const QPalette &palette) {
    return luminance(palette.color(QPalette::WindowText)) >
           luminance(palette.color(QPalette::Window));
}

}  // namespace

// The window, its frames, labels and option buttons fill their own background: white as
// designed, or the button face once the skin is applied. Their text always takes its colour
// from the palette that background comes from, or it would not read under every theme (the
// desktop's near-white text of a dark theme on the white of the design):
// - no skin, a light palette: white, with the palette's window text (dark in a light theme);
// - no skin, a dark palette: the palette's window colour and window text, since white would
//   leave the window glaring among dark dialogs and dark text boxes;
// - the skin: the palette's button face and button text.
// The other controls (list, text boxes, chooser, buttons, progress bar) draw with the
// desktop's palette as they are, and the skin takes its colours from the palette too.
void Form1::applyTheme() {
    const QPalette desktop = QApplication::palette();
    const bool designWhite = !skinned_ && !isDark(desktop);
    const QPalette::ColorRole background = skinned_ ? QPalette::Button : QPalette::Window;
    const QPalette::ColorRole text = skinned_ ? QPalette::ButtonText : QPalette::WindowText;

    QPalette own;  // only these two roles; the others follow the desktop's palette
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        own.setColor(group, QPalette::Window,
                     designWhite ? QColor(Qt::white) : desktop.color(group, background));
        own.setColor(group, QPalette::WindowText, desktop.color(group, text));
    }

    QList<QWidget *> colored{this};
    for (QWidget *control : findChildren<QWidget *>())
        if (qobject_cast<QRadioButton *>(control) || qobject_cast<QCheckBox *>(control) ||
            qobject_cast<QGroupBox *>(control) || qobject_cast<QLabel *>(control))
            colored.append(control);
    for (QWidget *control : colored) {
        control->setPalette(own);
        control->setBackgroundRole(QPalette::Window);  // an option button's would be Button
        control->setAutoFillBackground(true);
    }
}

bool Form1::event(QEvent *event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        // The desktop changed its theme while the window is open.
        if (skinned_)
            setStyleSheet(styleSheet());  // the skin reads the palette when it is applied
        applyTheme();
    }
    return handled;
}

// ---------------------------------------------------------------------------------------------
// Keyboard and accessibility

void Form1::setUpKeyboard() {
    // Return and Enter click the push button that has the focus, as Space does.
    for (QPushButton *pushButton :
         {PushButton1, PushButton5, PushButton7, PushButton3, PushButton4, PushButton8})
        pushButton->setAutoDefault(true);

    auto *remove =
        new QShortcut(QKeySequence::Delete, ListView1, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this,
            [this] { runHandler("ListView1_KeyDown", [this] { ListView1_KeyDown(); }); });

    // The list menu's commands, anywhere in the window. A text box that has the focus keeps
    // Ctrl+Z for undoing its own typing.
    const struct {
        QKeySequence keys;
        const char *name;
        void (Form1::*handler)();
    } shortcuts[] = {
        {QKeySequence(Qt::Key_Escape), "Stop_Click", &Form1::Stop_Click},
        {QKeySequence(Qt::CTRL | Qt::Key_P), "Preview_Click", &Form1::Preview_Click},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), "UndoLastRun_Click", &Form1::UndoLastRun_Click},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "UndoRuns_Click", &Form1::UndoRuns_Click},
    };
    for (const auto &shortcut : shortcuts) {
        auto *keys = new QShortcut(shortcut.keys, this);
        const auto handler = shortcut.handler;
        const char *name = shortcut.name;
        connect(keys, &QShortcut::activated, this, [this, name, handler] {
            runHandler(name, [this, handler] { (this->*handler)(); });
        });
    }
}

void Form1::setUpAccessibility() {
    // The labels name their boxes (and would carry their mnemonics).
    Label1->setBuddy(Text1);
    Label2->setBuddy(Combo1);

    const std::pair<QWidget *, QString> names[] = {
        {ListView1, tr("HTML File(s)")},  // the heading of its one column
        {PushButton1, PushButton1->text()},
        {PushButton5, PushButton5->text()},
        {PushButton7, PushButton7->text()},
        {PushButton3, PushButton3->text()},
        {Frame1, Frame1->title()},
        {Label1, Label1->text()},
        {Text1, Label1->text()},
        {Label2, Label2->text()},
        {Combo1, Label2->text()},
        {Frame3, Frame3->title()},
        {Option1, Option1->text()},
        {Frame4, tr("Output folder")},
        {Text2, Option1->text()},
        {PushButton4, tr("Choose output folder")},
        {Option2, Option2->text()},
        {PushButton8, PushButton8->text()},
        {ProgressBar1, tr("Progress Bar")},  // its text changes during a run
    };
    for (const auto &[control, name] : names)
        control->setAccessibleName(name);
    ListView1->setAccessibleDescription(FileListView::hintText());
}

// ---------------------------------------------------------------------------------------------
// Progress

void Form1::showProgress() {
    progressPending_ = false;
    ProgressBar1->setValue(qRound(progressValue_ * 100));
}
