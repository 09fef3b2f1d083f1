#include "app/Form1.h"

#include "base/Convert.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "base/StartUp.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "filelist/PointerPicture.h"
#include "text/CodePages.h"
#include "text/Operations.h"
#include "undo/UndoStore.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// Positions and sizes are designed in twips; 15 twips make one pixel.
int pixels(int twips) {
    return qRound(twips / 15.0);
}

QRect twips(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(left + width) - pixels(left),
                 pixels(top + height) - pixels(top));
}

QFont arialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSizeF(points);
    return font;
}

// Sets an option button's state. Qt will not clear the checked button of an exclusive group,
// so the exclusivity is lifted while the button is cleared.
void setOptionValue(QRadioButton *option, bool selected) {
    if (selected) {
        option->setChecked(true);
        return;
    }
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

const char *const OwnCursorProperty = "strelmarkOwnCursor";

}  // namespace

Form1::Form1(Platform &platform, Settings &settings, QString programFolder,
             AddFolder::FolderAccess &folders, const QString &undoFolder, QWidget *parent)
    : QWidget(parent),
      platform_(platform),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      folders_(folders),
      undo_(std::make_unique<UndoStore>(undoFolder)) {
    createControls();
    connectHandlers();
    setUpKeyboard();
    setUpAccessibility();
}

Form1::~Form1() = default;

void Form1::createControls() {
    setFixedSize(pixels(8040), pixels(8010));
    setFont(arialBold(9));

    fileList = new FileListModel(this);
    ListView1 = new FileListView(this);
    ListView1->setFileList(fileList);
    ListView1->setDragPictureFile(programFolder_ + QStringLiteral("/drag.ico"));
    ListView1->setGeometry(twips(120, 120, 7800, 2535));

    const QFont buttonFont = arialBold(11.25);
    auto button = [&](QWidget *container, const QString &caption, QRect geometry) {
        auto *pushButton = new QPushButton(caption, container);
        pushButton->setFont(buttonFont);
        pushButton->setGeometry(geometry);
        return pushButton;
    };
    auto frame = [&](QWidget *container, const QString &caption, QRect geometry) {
        auto *groupBox = new QGroupBox(caption, container);
        groupBox->setGeometry(geometry);
        return groupBox;
    };
    auto label = [&](QWidget *container, const QString &caption, QRect geometry) {
        auto *text = new QLabel(caption, container);
        text->setGeometry(geometry);
        return text;
    };
    auto option = [&](QWidget *container, const QString &caption, QRect geometry) {
        auto *radio = new QRadioButton(caption, container);
        radio->setGeometry(geometry);
        return radio;
    };

    PushButton1 = button(this, tr("Add HTML Files"), twips(120, 2750, 3840, 405));
    PushButton5 = button(this, tr("Add All HTML Files In Folder"), twips(4080, 2750, 3840, 405));
    PushButton7 = button(this, tr("Clear List"), twips(120, 3260, 3840, 405));
    PushButton3 = button(this, tr("Load Sample/Example Files"), twips(4080, 3260, 3840, 405));

    Frame1 = frame(this, tr("Condition Options"), twips(120, 3720, 7800, 1245));
    Label1 = label(Frame1, tr("If file contains"), twips(240, 345, 1335, 255));
    Text1 = new QLineEdit(Frame1);
    Text1->setMaxLength(std::numeric_limits<int>::max());  // the condition is used whole
    Text1->setGeometry(twips(1680, 300, 5895, 345));
    Label2 = label(Frame1, tr("Then"), twips(240, 795, 1455, 255));
    Combo1 = new QComboBox(Frame1);
    Combo1->setGeometry(twips(1680, 750, 5895, 345));

    Frame3 = frame(this, tr("Save Option"), twips(120, 5040, 7800, 1815));
    Option1 = option(Frame3, tr("Save results to this folder:"), twips(240, 300, 3615, 255));
    Option1->setChecked(true);
    Frame4 = frame(Frame3, QString(), twips(480, 510, 6840, 810));
    Text2 = new QLineEdit(Frame4);
    Text2->setGeometry(twips(240, 300, 5670, 345));
    PushButton4 = button(Frame4, QStringLiteral("..."), twips(6000, 300, 600, 345));
    Option2 =
        option(Frame3, tr("Save results in folder of original file"), twips(240, 1410, 3615, 255));

    PushButton8 = button(this, tr("Start Removing"), twips(120, 6970, 7800, 405));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(twips(120, 7490, 7800, 405));
    ProgressBar1->setRange(0, 10000);  // hundredths of a percent
    ProgressBar1->setValue(0);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    setProgressText(tr("Progress Bar"));

    // Each control is found by its design name (tests, the skin's #ListView1 selectors).
    setObjectName(QStringLiteral("Form1"));
    const std::pair<QWidget *, const char *> designNames[] = {
        {ListView1, "ListView1"},     {PushButton1, "PushButton1"},
        {PushButton5, "PushButton5"}, {PushButton7, "PushButton7"},
        {PushButton3, "PushButton3"}, {Frame1, "Frame1"},
        {Label1, "Label1"},           {Text1, "Text1"},
        {Label2, "Label2"},           {Combo1, "Combo1"},
        {Frame3, "Frame3"},           {Option1, "Option1"},
        {Frame4, "Frame4"},           {Text2, "Text2"},
        {PushButton4, "PushButton4"}, {Option2, "Option2"},
        {PushButton8, "PushButton8"}, {ProgressBar1, "ProgressBar1"},
    };
    for (const auto &[control, name] : designNames)
        control->setObjectName(QLatin1String(name));
    applyTheme();  // the white of the design

    // Remember the pointer each control brings along (the text boxes' I-beam), so that the
    // default pointer can give it back.
    for (QWidget *widget : findChildren<QWidget *>())
        if (widget->testAttribute(Qt::WA_SetCursor))
            widget->setProperty(OwnCursorProperty, QVariant::fromValue(widget->cursor()));
}

void Form1::connectHandlers() {
    connect(Text1, &QLineEdit::textChanged, this,
            [this] { runHandler("Text1_Change", [this] { Text1_Change(); }); });
    connect(Text2, &QLineEdit::textChanged, this,
            [this] { runHandler("Text2_Change", [this] { Text2_Change(); }); });
    connect(Combo1, &QComboBox::currentIndexChanged, this,
            [this] { runHandler("Combo1_Click", [this] { Combo1_Click(); }); });
    for (QRadioButton *option : {Option1, Option2})
        connect(option, &QRadioButton::toggled, this, [this](bool selected) {
            if (selected)
                runHandler("Option1_Click", [this] { Option_Click(); });
        });

    struct Command {
        QPushButton *button;
        const char *name;
        void (Form1::*handler)();
    };
    const Command commands[] = {
        {PushButton1, "PushButton1_Click", &Form1::PushButton1_Click},
        {PushButton3, "PushButton3_Click", &Form1::PushButton3_Click},
        {PushButton4, "PushButton4_Click", &Form1::PushButton4_Click},
        {PushButton5, "PushButton5_Click", &Form1::PushButton5_Click},
        {PushButton7, "PushButton7_Click", &Form1::PushButton7_Click},
        {PushButton8, "PushButton8_Click", &Form1::PushButton8_Click},
    };
    for (const Command &command : commands) {
        QPushButton *pushButton = command.button;
        connect(pushButton, &QPushButton::clicked, this, [this, command] {
            runHandler(command.name, [this, command] { (this->*command.handler)(); });
        });
        pushButton->setMouseTracking(true);
        pushButton->installEventFilter(this);
    }
    connect(ListView1, &FileListView::doubleClickedList, this,
            [this] { runHandler("ListView1_DblClick", [this] { ListView1_DblClick(); }); });
    connect(ListView1, &FileListView::pathsDropped, this, [this](const QStringList &paths) {
        runHandler("ListView1_OLEDragDrop", [this, paths] { ListView1_OLEDragDrop(paths); });
    });
    connect(ListView1, &FileListView::pointerChanged, this, [this] { applyPointer(); });
    // The count in the list's tooltip, brought up to date once the rows have settled: a
    // million rows appended one by one cost one update, not a million.
    const auto countChanged = [this] {
        if (toolTipPending_)
            return;
        toolTipPending_ = true;
        QTimer::singleShot(0, this, [this] {
            toolTipPending_ = false;
            ListView1->setToolTip(listToolTip());
        });
    };
    connect(fileList, &QAbstractItemModel::rowsInserted, this, countChanged);
    connect(fileList, &QAbstractItemModel::rowsRemoved, this, countChanged);
    connect(fileList, &QAbstractItemModel::modelReset, this, countChanged);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        runHandler("ListView1_ContextMenu", [this, at] {
            QMenu *menu = createListMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(ListView1->viewport()->mapToGlobal(at));
        });
    });

    for (QWidget *background :
         {static_cast<QWidget *>(this), static_cast<QWidget *>(Frame1),
          static_cast<QWidget *>(Frame3), static_cast<QWidget *>(Frame4), ListView1->viewport()}) {
        background->setMouseTracking(true);
        background->installEventFilter(this);
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up

void Form1::Form_Load() {
    Guard guard(platform_, Location::form1("Form_Load"));

    guard.step(100, [&] { ApplySkin(); });
    const QString pointerFile = programFolder_ + QStringLiteral("/HAND-M.CUR");
    if (guard.test(102, [&] { return Main::IsFilePresent(pointerFile); }))
        guard.step(104, [&] { loadPointerPicture(pointerFile); });
    guard.step(106, [&] { Main::OpenHomePageAtRandom(platform_); });
    if (guard.test(108, [&] { return settings_.get(QStringLiteral("Snapshot"), {}).isEmpty(); }))
        guard.step(108, [&] { recordSampleList(); });

    guard.step(130, [&] { setWindowTitle(Main::ProductTitle); });
    guard.step(130, [&] { setWindowIcon(QIcon(QStringLiteral(":/strelmark.png"))); });
    guard.step(
        130, [&] { platform_.setApplicationTitle(Main::ApplicationTitleFor(Main::ProductTitle)); });
    guard.step(132, [&] { ListView1->header()->setVisible(true); });
    guard.step(134, [&] { ListView1->setColumnWidth(0, pixels(7000)); });
    guard.step(136, [&] { Text1->setText(settings_.get(QStringLiteral("Text1"), {})); });
    guard.step(138, [&] {
        const QString desktop = Main::DesktopFolder(platform_);
        Text2->setText(settings_.get(QStringLiteral("Text2"), desktop));
    });

    int step = 140;
    for (const QString &caption : Operations::Captions) {
        guard.step(step, [&] {
            const QSignalBlocker quiet(Combo1);  // adding an item is no choice of the user's
            // Shown in the user's language; the run reads the English caption (chooserText).
            Combo1->addItem(Operations::TranslatedCaption(caption), caption);
            Combo1->setCurrentIndex(-1);
        });
        step += 2;
    }

    guard.step(152, [&] {
        const short index = Convert::ToInteger16(settings_.get(QStringLiteral("Combo1"), "0"));
        if (index < -1 || index >= Combo1->count())
            throw AppError(ErrorText::InvalidPropertyValue);
        Combo1->setCurrentIndex(index);
    });
    guard.step(154, [&] {
        setOptionValue(Option1, Convert::ToBool(settings_.get(QStringLiteral("Option1"), "1")));
    });
    guard.step(156, [&] {
        setOptionValue(Option2, Convert::ToBool(settings_.get(QStringLiteral("Option2"), "0")));
    });
    if (guard.test(158, [&] { return Option1->isChecked(); }))
        guard.step(160, [&] { Frame4->setEnabled(true); });
    else
        guard.step(162, [&] { Frame4->setEnabled(false); });
}

void Form1::ApplySkin() {
    const QFileInfo skin(programFolder_ + QStringLiteral("/x/o.cjs"));
    if (!skin.isFile() || skin.isHidden())
        return;  // no skin: the white design-time look stays

    skinned_ = true;  // from here on the backgrounds take the button face
    applyTheme();

    QFile sheet(skin.filePath());
    if (!sheet.open(QIODevice::ReadOnly))
        throw AppError::aboutPath(sheet.errorString(), skin.filePath());
    setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

void Form1::loadPointerPicture(const QString &path) {
    pointerPicture_ = LoadPointerPicture(path);
    applyPointer();
}

// ---------------------------------------------------------------------------------------------
// Change handlers

void Form1::Option_Click() {
    settings_.save(QStringLiteral("Option1"), Settings::fromBool(Option1->isChecked()));
    settings_.save(QStringLiteral("Option2"), Settings::fromBool(Option2->isChecked()));
    Frame4->setEnabled(Option1->isChecked());
}

void Form1::Combo1_Click() {
    settings_.save(QStringLiteral("Combo1"), Settings::fromInteger(Combo1->currentIndex()));
}

void Form1::Text1_Change() {
    settings_.save(QStringLiteral("Text1"), Text1->text());
}

void Form1::Text2_Change() {
    settings_.save(QStringLiteral("Text2"), Text2->text());
}

// ---------------------------------------------------------------------------------------------
// Commands

// PushButton1_Click, PushButton4_Click and PushButton5_Click: AddFilesCommands.cpp.
// PushButton3_Click and recordSampleList: SampleCommands.cpp.

void Form1::PushButton7_Click() {
    Guard guard(platform_, Location::form1("PushButton7_Click"));
    if (guard.test(100, [&] { return !isBusy(); }))
        guard.step(102, [&] { fileList->clear(); });
}

void Form1::PushButton8_Click() {
    RunDriver::StartRemoving(*this);
}

void Form1::ListView1_DblClick() {
    if (isBusy() || fileList->count() == 0)
        return;
    const int row = ListView1->selectedRow();
    if (row >= 0)
        fileList->removeRow(row);
}

void Form1::ListView1_KeyDown() {
    // The double-click's rules: nothing while the window is busy, nothing without a selected
    // row. The row that takes the removed one's place is selected, so that Delete pressed
    // again goes on down the list.
    const int row = ListView1->selectedRow();
    const int rows = fileList->count();
    ListView1_DblClick();
    if (fileList->count() < rows && fileList->count() > 0)
        ListView1->selectRow(std::min(row, fileList->count() - 1));
}

QMenu *Form1::createListMenu() {
    auto *menu = new QMenu(this);
    auto command = [this, menu](const QString &text, const char *objectName, const char *name,
                                void (Form1::*handler)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(objectName));
        connect(action, &QAction::triggered, this, [this, name, handler] {
            runHandler(name, [this, handler] { (this->*handler)(); });
        });
        return action;
    };
    if (isBusy()) {
        command(tr("Stop") + QStringLiteral("\tEsc"), "Stop", "Stop_Click", &Form1::Stop_Click);
        menu->addSeparator();
    }
    // With rows, the entry says how many the preview would go through.
    const QString preview = rowCount() == 0 ? tr("Preview...")
                            : rowCount() == 1
                                ? tr("Preview 1 file...")
                                : tr("Preview %1 files...").arg(CountText(rowCount()));
    command(preview + QStringLiteral("\tCtrl+P"), "Preview", "Preview_Click", &Form1::Preview_Click)
        ->setEnabled(!isBusy());
    const std::optional<UndoRunInfo> last = isBusy() ? std::nullopt : undo_->lastRun();
    command(UndoEntryText(last) + QStringLiteral("\tCtrl+Z"), "UndoLastRun", "UndoLastRun_Click",
            &Form1::UndoLastRun_Click)
        ->setEnabled(last.has_value());
    command(tr("Undo Runs...") + QStringLiteral("\tCtrl+Shift+Z"), "UndoRuns", "UndoRuns_Click",
            &Form1::UndoRuns_Click)
        ->setEnabled(last.has_value());
    menu->addSeparator();
    // Choices stored at once under their keys, each read when a run or a preview starts.
    auto stored = [&](const QString &caption, const QString &key) {
        QAction *entry = menu->addAction(caption);
        entry->setObjectName(key);
        entry->setCheckable(true);
        entry->setChecked(RunDriver::StoredChoice(settings_, key));
        connect(entry, &QAction::toggled, this,
                [this, key](bool checked) { settings_.save(key, Settings::fromBool(checked)); });
    };
    stored(tr("Keep each file's line ends"), RunDriver::KeepLineEndsKey);
    menu->addSeparator();
    stored(tr("Match case"), RunDriver::MatchCaseKey);
    stored(tr("Whole words"), RunDriver::WholeWordsKey);
    stored(tr("Regular expression"), RunDriver::RegularExpressionKey);
    menu->addSeparator();
    // The code page of lines that are not UTF-8, in files that name none: one choice of many.
    QMenu *pages = menu->addMenu(tr("Other files are in"));
    pages->setObjectName(QStringLiteral("OtherFilesAreIn"));
    auto *choice = new QActionGroup(pages);
    const Operations::CodePage &chosen = RunDriver::LegacyCodePage(settings_);
    for (const Operations::CodePage &page : Operations::CodePages()) {
        QAction *entry = pages->addAction(QStringLiteral("%1 (%2)").arg(
            QLatin1String(page.title), QCoreApplication::translate("CodePages", page.script)));
        entry->setObjectName(QLatin1String(page.name));
        entry->setCheckable(true);
        entry->setChecked(&page == &chosen);
        choice->addAction(entry);
        const QString name = QLatin1String(page.name);
        connect(entry, &QAction::triggered, this,
                [this, name] { settings_.save(RunDriver::LegacyCodePageKey, name); });
    }
    return menu;
}

// ---------------------------------------------------------------------------------------------
// Pointer and progress

void Form1::setMousePointer(int shape) {
    if (shape == mousePointer_)
        return;
    mousePointer_ = shape;
    applyPointer();
}

void Form1::applyPointer() {
    std::optional<QCursor> cursor;
    switch (mousePointer_) {
        case MousePointer::Default:
            break;
        case MousePointer::Hourglass:
            cursor = QCursor(Qt::WaitCursor);
            break;
        case MousePointer::Custom:
            cursor = pointerPicture_ ? *pointerPicture_ : QCursor(Qt::ArrowCursor);
            break;
        default:
            cursor = QCursor(Qt::ArrowCursor);
            break;
    }

    // A pointer other than the default shows over the whole window, controls included.
    const QList<QWidget *> controls = findChildren<QWidget *>();
    if (cursor) {
        setCursor(*cursor);
        for (QWidget *control : controls)
            control->setCursor(*cursor);
        return;
    }
    unsetCursor();
    for (QWidget *control : controls) {
        const QVariant own = control->property(OwnCursorProperty);
        if (own.isValid())
            control->setCursor(own.value<QCursor>());
        else
            control->unsetCursor();
    }
    if (const std::optional<QCursor> listCursor = ListView1->ownCursor())
        ListView1->viewport()->setCursor(*listCursor);
}

void Form1::pointerOverBackground() {
    if (!isBusy())
        setMousePointer(MousePointer::Default);
}

void Form1::pointerOverButton() {
    if (!isBusy())
        setMousePointer(MousePointer::Custom);
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::MouseMove)
        return QWidget::eventFilter(watched, event);
    auto *widget = static_cast<QWidget *>(watched);
    if (qobject_cast<QPushButton *>(widget)) {
        pointerOverButton();
    } else if (widget == ListView1->viewport()) {
        pointerOverBackground();
    } else {
        // The window and the frames also see moves that a control inside them passed on;
        // only a move over their own background counts.
        const QPoint position = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (!widget->childAt(position))
            pointerOverBackground();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::setProgressValue(double percent) {
    progressValue_ = percent;
    if (!isBusy())
        showProgress();
    else if (!std::exchange(progressPending_, true))
        QMetaObject::invokeMethod(this, &Form1::showProgress, Qt::QueuedConnection);
}

void Form1::setProgressText(const QString &text) {
    progressText_ = text;
    QString format = text;
    format.replace(u'%', QStringLiteral("%%"));  // the bar would read %p, %v and %m as fields
    ProgressBar1->setFormat(format);
}

int Form1::rowCount() const {
    return fileList->count();
}
QString Form1::rowText(int row) const {
    return fileList->text(row);
}
QStringList Form1::skippedRows() const {
    return fileList->skipped();
}

const QAbstractItemModel &Form1::rowModel() const {
    return *fileList;
}
QString Form1::chooserText() const {
    const QVariant caption = Combo1->currentData();
    return caption.isValid() ? caption.toString() : Combo1->currentText();
}
QString Form1::conditionText() const {
    return Text1->text();
}
QString Form1::conditionCaption() const {
    return Label1->text();
}
QString Form1::outputFolderText() const {
    return Text2->text();
}
bool Form1::savesToFolder() const {
    return Option1->isChecked();
}
bool Form1::savesBesideOriginal() const {
    return Option2->isChecked();
}

// ---------------------------------------------------------------------------------------------
// Shutdown and handlers

void Form1::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    // A command in progress ends at its next yield; nothing is saved here, since every choice
    // was stored when it was made.
    EventPump::RequestQuit();
    QCoreApplication::quit();
}

void Form1::runHandler(const char *name, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const CommandAbandoned &) {
        // The window was closed while the command yielded.
    } catch (const CommandStopped &) {
        // The user stopped the command while it yielded; it ended where it was.
    } catch (...) {
        // Whatever was thrown is reported here: nothing may cross the event loop's dispatch.
        try {
            ReportUnexpectedError(platform_, CurrentExceptionDescription(), Location::form1(name),
                                  0);
        } catch (...) {
            // The report itself failed; there is no other way left to tell the user.
        }
    }
}
