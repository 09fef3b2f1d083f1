// The list menu's commands around a run: "Preview...", "Undo Last Run" and "Stop", and what the
// window gives the run for taking it back (its journal in the undo store, the summary's note).

#include "app/Form1.h"
#include "app/PreviewDialog.h"
#include "app/RunDriver.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "engine/Plan.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "text/OperationTable.h"
#include "text/Operations.h"
#include "undo/UndoStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>

#include <cstring>

namespace {

// In English; shown in the user's language.
const char *const HowToUndo = QT_TRANSLATE_NOOP(
    "Form1",
    "To take this run back: \"Undo Last Run\" in the list's menu (right-click on the list), "
    "Ctrl+Z, or the command \"strelmark undo\".");

QString StartedText(const UndoRunInfo &run) {
    return run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A run as the list of runs shows it: when, where, how many files, what was done (the
// operation's caption and its condition), and what it can still take back.
QStringList RunRow(const UndoRunInfo &run) {
    const QString where = run.what.inPlace || run.what.folder.empty()
                              ? Form1::tr("in place, %1").arg(QString::fromUtf8(run.folder))
                              : QString::fromUtf8(run.what.folder);
    QString what = QStringLiteral("—");
    if (const Operations::OperationInfo *operation =
            Operations::OperationNamed(run.what.operation)) {
        what = Operations::TranslatedCaption(QString::fromUtf8(operation->caption));
        if (!run.what.condition.empty())
            what += QStringLiteral(": ") + QString::fromUtf8(run.what.condition);
    }
    const QString restorable =
        run.inProgress ? Form1::tr("in progress")
                       : Form1::tr("%1 of %2").arg(CountText(run.restorable), CountText(run.files));
    return {StartedText(run), where, CountText(run.files), what, restorable};
}

// The end of an undo: what stopped it, or `done` and its counts, each file in the details.
void ShowUndone(Platform &platform, const UndoSummary &summary, const QString &done) {
    const QStringList lines = DescribeUndo(summary);
    if (summary.outcome != UndoSummary::Outcome::Done) {
        platform.messageBox(lines.join(u'\n'));
        return;
    }
    QString text = done + lines.first();
    if (!summary.leftAlone.empty() || !summary.failed.empty())
        text += Form1::tr("\r\rThe details list the files left as they are.");
    platform.messageBox(text, {}, Platform::Icon::None, lines.mid(1).join(u'\n'));
}

}  // namespace

QString Form1::SizeText(std::uint64_t bytes) {
    if (bytes < 1000)
        return QStringLiteral("%1 %2").arg(bytes).arg(bytes == 1 ? Form1::tr("byte")
                                                                 : Form1::tr("bytes"));
    const char *units[] = {"kB", "MB", "GB", "TB"};
    double value = double(bytes) / 1000.0;
    std::size_t unit = 0;
    while (value >= 999.95 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString Form1::UndoEntryText(const std::optional<UndoRunInfo> &last) {
    if (!last)
        return Form1::tr("Undo Last Run");
    return Form1::tr("Undo Last Run (%1 %2, %3)")
        .arg(last->files)
        .arg(last->files == 1 ? Form1::tr("file") : Form1::tr("files"))
        .arg(SizeText(last->bytesKept));
}

QString Form1::listToolTip() const {
    const int rows = fileList->count();
    if (rows == 0)
        return FileListView::hintText();
    return FileListView::hintText() + QStringLiteral("\n\n") +
           (rows == 1 ? tr("1 file in the list.")
                      : tr("%1 files in the list.").arg(CountText(std::uint64_t(rows))));
}

std::unique_ptr<ReplacementJournal> Form1::startRunJournal(const UndoRunWhat &what) {
    undoProblem_.clear();
    if (runJournals)
        return runJournals();
    // A store that cannot be made would fail every file of the run; the run goes on without a
    // record instead, and its summary says so.
    if (const int error = undo_->prepare(); error != 0) {
        undoProblem_ =
            SystemErrorText(error) + QStringLiteral(": ") +
            (undo_->folder().isEmpty() ? Form1::tr("(no home folder)") : undo_->folder());
        return nullptr;
    }
    std::unique_ptr<UndoRecorder> run = undo_->beginRun(UndoFace::Window, what);
    // A run of the command line over the same files goes first; the window shows that it
    // waits, and takes no input meanwhile.
    const int error = run->waitTurn([this] {
        setProgressText(Form1::tr("Waiting for another run to finish"));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !EventPump::QuitRequested();
    });
    if (error != 0) {
        undoProblem_ = SystemErrorText(error) + QStringLiteral(": ") + undo_->folder();
        return nullptr;
    }
    return run;
}

QString Form1::undoNote(bool recorded, bool wrote) const {
    if (recorded)
        return tr(HowToUndo);
    if (wrote && !undoProblem_.isEmpty())
        return Form1::tr("This run cannot be taken back: the undo store cannot be used (") +
               undoProblem_ + u')';
    return {};
}

void Form1::Stop_Click() {
    // Only a long command that is working now can be stopped.
    if (!isBusy() || !EventPump::Yielding())
        return;
    if (platform_.askYesNo(Form1::tr("Stop the run?")))
        EventPump::RequestStop();
}

void Form1::Preview_Click() {
    if (isBusy())
        return;
    Guard guard(platform_, Location::form1("Preview_Click"));
    const std::optional<long long> lineNumber = RunDriver::CheckInput(*this, guard);
    if (!lineNumber)
        return;

    PreviewDialog::Job job;
    for (int row = 0; row < rowCount(); ++row)
        job.inputs.append(rowText(row));
    job.chooserText = chooserText();
    job.conditionText = conditionText();
    job.toFolder = savesToFolder();
    job.outputFolder = outputFolderText();
    job.lineNumber = *lineNumber;
    job.keepLineEnds = RunDriver::KeepsLineEnds(settings_);
    job.legacyPage = &RunDriver::LegacyCodePage(settings_);
    Engine::Plan plan;
    plan.match = job.match = RunDriver::MatchOptionsOf(settings_);
    try {
        Engine::PrepareMatcher(plan, job.conditionText, job.chooserText);
    } catch (const Operations::InvalidPattern &invalid) {
        platform_.messageBox(invalid.message());
        return;
    }
    job.matcher = plan.matcher;

    if (!preview_) {
        preview_ = new PreviewDialog(this);
        connect(preview_, &PreviewDialog::applyRequested, this,
                [this] { runHandler("PreviewApply_Click", [this] { PreviewApply_Click(); }); });
    }
    // The window is busy while the preview works, as during a run: no run starts under it.
    BusyScope busy(*this);
    busy.begin();
    preview_->run(std::move(job));
    busy.end(MousePointer::Default);
}

void Form1::UndoLastRun_Click() {
    if (isBusy())
        return;
    const std::optional<UndoRunInfo> last = undo_->lastRun();
    if (!last) {
        platform_.messageBox(Form1::tr("There is no run to undo."));
        return;
    }
    const QString question =
        Form1::tr(
            "Undo the last run?\r\r%1 it replaced or created (started %2) go back to what they "
            "were before it: each file it replaced is put back, each file it created is removed. "
            "A file changed since the run is left alone.")
            .arg(last->files == 1 ? Form1::tr("The file")
                                  : Form1::tr("The %1 files").arg(last->files),
                 last->started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (!platform_.askYesNo(question))
        return;

    BusyScope busy(*this);
    busy.begin();
    // The run asked about, even if another one has ended since.
    const UndoSummary summary = undo_->undoRun(last->name);
    busy.end(MousePointer::Default);

    ShowUndone(platform_, summary, Form1::tr("The last run is undone: "));
}

void Form1::UndoRuns_Click() {
    if (isBusy())
        return;
    const std::vector<UndoRunInfo> runs = undo_->listRuns();
    if (runs.empty()) {
        platform_.messageBox(Form1::tr("There is no run to undo."));
        return;
    }
    QList<QStringList> rows;
    for (const UndoRunInfo &run : runs)
        rows.append(RunRow(run));
    const int chosen = platform_.chooseRow(
        tr("The runs kept, newest first. The run chosen goes back as \"Undo Last Run\" takes "
           "back the last: each file it replaced is put back, each file it created is removed, "
           "and a file edited since is left alone."),
        {tr("Started"), tr("Where"), tr("Files"), tr("Operation"), tr("Can restore")}, rows,
        tr("Undo Run"), tr("Undo Runs"));
    if (chosen < 0 || chosen >= int(runs.size()))
        return;
    const UndoRunInfo &run = runs[std::size_t(chosen)];
    const QString question =
        tr("Undo the run started %1?\r\r%2\r%3: %4\r\rA file changed since the run is left "
           "alone.")
            .arg(StartedText(run), rows[chosen][3], rows[chosen][1],
                 run.files == 1 ? tr("1 file") : tr("%1 files").arg(CountText(run.files)));
    if (!platform_.askYesNo(question))
        return;

    BusyScope busy(*this);
    busy.begin();
    const UndoSummary summary = undo_->undoRun(run.name);
    busy.end(MousePointer::Default);
    ShowUndone(platform_, summary, tr("The run is undone: "));
}
