// The program's one window: the file list, the condition, the save option, the commands and
// the progress bar, at the fixed places of its design.
//
// The controls keep their design names (ListView1, PushButton1 ... ProgressBar1) and the
// handlers theirs (Form_Load, Text1_Change, PushButton8_Click, ...), because those names are
// what the error reports show.
#pragma once

#include "app/RunDriver.h"
#include "app/RunSummary.h"
#include "filelist/AddFolder.h"
#include "undo/UndoStore.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class FileListModel;
class FileListView;
class PreviewDialog;
class Platform;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class Settings;

class Form1 : public QWidget, public RunWindow {
    Q_OBJECT

public:
    // The window talks to the user through `platform`, keeps its choices in `settings`, finds
    // its resources (pointer, skin, samples) in `programFolder`, opens the folders it walks
    // through `folders`, and keeps what its runs replace in the undo store at `undoFolder`
    // (empty: the user's, UndoStore::DefaultFolder()).
    Form1(Platform &platform, Settings &settings, QString programFolder,
          AddFolder::FolderAccess &folders = AddFolder::SystemFolders(),
          const QString &undoFolder = QString(), QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence; the window is shown after it.
    void Form_Load();

    // WindowServices
    Platform &platform() override { return platform_; }
    Settings &settings() override { return settings_; }
    int mousePointer() const override { return mousePointer_; }
    void setMousePointer(int shape) override;
    QString programFolder() const override { return programFolder_; }

    bool hasPointerPicture() const { return pointerPicture_.has_value(); }

    // RunWindow: what the run reads and shows.
    int rowCount() const override;
    QString rowText(int row) const override;
    const QAbstractItemModel &rowModel() const override;
    QStringList skippedRows() const override;
    QString chooserText() const override;
    QString conditionText() const override;
    QString conditionCaption() const override;
    QString outputFolderText() const override;
    bool savesToFolder() const override;
    bool savesBesideOriginal() const override;
    void setProgressValue(double percent) override;
    void setProgressText(const QString &text) override;
    std::unique_ptr<ReplacementJournal> startRunJournal(const UndoRunWhat &what) override;
    QString undoNote(bool recorded, bool wrote) const override;
    void runFinished(const RunSummary &summary) override { lastRunSummary_ = summary; }

    // What the last "Start Removing" of this window did, as its "Done." told it; none before
    // the first run has ended.
    const std::optional<RunSummary> &lastRunSummary() const { return lastRunSummary_; }

    // Where each run's record of what it replaces comes from instead of the undo store, when
    // set (tests, benchmarks); a function that gives none runs without a record.
    std::function<std::unique_ptr<ReplacementJournal>()> runJournals;

    // The store that keeps what the window's runs replace, for "Undo Last Run".
    UndoStore &undoStore() { return *undo_; }
    // The preview window, once "Preview..." has opened it.
    PreviewDialog *previewDialog() const { return preview_; }

    // Progress of a run: the value as a percentage, and the text on the bar.
    double progressValue() const { return progressValue_; }
    QString progressText() const { return progressText_; }

    // The controls.
    FileListModel *fileList = nullptr;
    FileListView *ListView1 = nullptr;
    QPushButton *PushButton1 = nullptr;  // Add HTML Files
    QPushButton *PushButton5 = nullptr;  // Add All HTML Files In Folder
    QPushButton *PushButton7 = nullptr;  // Clear List
    QPushButton *PushButton3 = nullptr;  // Load Sample/Example Files
    QGroupBox *Frame1 = nullptr;         // Condition Options
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *Combo1 = nullptr;
    QGroupBox *Frame3 = nullptr;  // Save Option
    QRadioButton *Option1 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *PushButton4 = nullptr;  // "..."
    QRadioButton *Option2 = nullptr;
    QPushButton *PushButton8 = nullptr;  // Start Removing
    QProgressBar *ProgressBar1 = nullptr;

    // The commands behind the push buttons and the list.
    void PushButton1_Click();  // Add HTML Files
    void PushButton3_Click();  // Load Sample/Example Files
    void PushButton4_Click();  // "...": choose the output folder
    void PushButton5_Click();  // Add All HTML Files In Folder
    void PushButton7_Click();  // Clear List
    void PushButton8_Click();  // Start Removing
    void ListView1_DblClick();
    // Delete pressed on the list: removes the selected row as a double-click does.
    void ListView1_KeyDown();
    // Files and folders dropped onto the list, in the order of the drop: a file becomes a row as
    // it is, a folder gives every file in it and below it. The window is not busy meanwhile.
    void ListView1_OLEDragDrop(const QStringList &paths);
    // Files and folders given to the program when it started: each file becomes a row, made
    // absolute; each folder is searched as "Add All HTML Files In Folder" searches the folder
    // chosen there, for the stored extension. The window is busy meanwhile, and Escape stops
    // the search as it stops that command's.
    void OpenGiven(const QStringList &paths);
    // The menu the list shows on a right-click, made afresh each time so that its entries
    // show the current settings, the last run that can be undone, and "Stop" while a long
    // command works.
    QMenu *createListMenu();

    // The list menu's commands, each also a shortcut of the window (RunCommands.cpp).
    // "Preview..." (Ctrl+P): what "Start Removing" would do now, in the preview window.
    void Preview_Click();
    // "Undo Last Run" (Ctrl+Z): asks, then takes back the last run kept in the undo store.
    void UndoLastRun_Click();
    // "Undo Runs..." (Ctrl+Shift+Z): lists the runs kept in the undo store, and takes back the
    // one chosen, as "Undo Last Run" takes back the last.
    void UndoRuns_Click();
    // "Apply" in the preview: runs what the preview showed, the rows left ticked in their
    // order, as "Start Removing" runs the list.
    void PreviewApply_Click();
    // "Stop" (Escape): while a run or a folder walk works, asks and stops it at its next yield.
    void Stop_Click();
    // The menu entry of "Undo Last Run": "Undo Last Run (12 files, 3.4 MB)", or without the
    // figures when there is no run to undo.
    static QString UndoEntryText(const std::optional<UndoRunInfo> &last);
    // A size as the menu shows it: "512 bytes", "3.4 MB".
    static QString SizeText(std::uint64_t bytes);
    // The list's tooltip: its hint text and, when it has rows, how many.
    QString listToolTip() const;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    // Adds the folders below each of `folders` as "Add All HTML Files In Folder" searches them;
    // what the walk passes over is noted in the list, and the undo store's folders are left out.
    void searchFolders(QStringList &folders);
    // Takes the undo store's folder, and those below it, out of a walk's folders: its records
    // and kept files are never a run's files (AddFilesCommands.cpp).
    void passOverUndoStore(QStringList &folders) const;
    // The undo store, for the folder search to keep links away from its files.
    AddFolder::KeptAway undoStoreKeptAway() const;
    // The undo store's folder as set and with its links resolved; whether a path is one of
    // them or below one.
    QStringList undoStoreSpellings() const;
    static bool IsInUndoStore(const QString &path, const QStringList &store);

    // Colours the backgrounds that the window draws itself, and the text on them, from the
    // desktop's palette (Form1.cpp, "Theme").
    void applyTheme();
    // Return, Enter and Space on the push buttons, Delete on the list; the names and labels
    // that assistive technology reads.
    void setUpKeyboard();
    void setUpAccessibility();

    // Start-up routines.
    void ApplySkin();
    void loadPointerPicture(const QString &path);
    void recordSampleList();

    // Change handlers: each stores its control's value at once.
    void Option_Click();
    void Combo1_Click();
    void Text1_Change();
    void Text2_Change();
    void Form_Unload();

    // Pointer feedback while the mouse moves over the window.
    void pointerOverBackground();
    void pointerOverButton();
    void applyPointer();
    // Moves the bar to progressValue_. A move has QProgressBar measure its text (to know whether
    // to draw at once), which costs more than the work on a small file: during a command it is
    // done once for each time the events run, before the bar is drawn.
    void showProgress();

    // Runs an event handler so that nothing escapes into the event loop.
    void runHandler(const char *name, const std::function<void()> &handler);

    Platform &platform_;
    Settings &settings_;
    QString programFolder_;
    AddFolder::FolderAccess &folders_;

    bool skinned_ = false;  // the skin gave the backgrounds the button face
    int mousePointer_ = MousePointer::Default;
    std::optional<QCursor> pointerPicture_;  // the hand, when HAND-M.CUR could be read
    double progressValue_ = 0.0;
    bool progressPending_ = false;  // showProgress() is to run when the events next run
    QString progressText_;

    std::unique_ptr<UndoStore> undo_;
    QString undoProblem_;  // why the last run could keep no record, if it could not
    PreviewDialog *preview_ = nullptr;
    bool toolTipPending_ = false;  // the list's tooltip is to be brought up to date
    std::optional<RunSummary> lastRunSummary_;
};
