// The list menu's commands around a run: "Preview...", "Undo Last Run" and "Stop", and what the
// window gives the run for taking it back (its journal in the undo store, the summary's note).

#include "app/Form1.h"
#include "app/PreviewDialog.h"
#include "app/RunDriver.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "filelist/FileListModel.h"
#include "undo/UndoStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <cstring>

namespace {

const QString HowToUndo = QStringLiteral(
    "To take this run back: \"Undo Last Run\" in the list's menu (right-click on the list), "
    "Ctrl+Z, or the command \"strelmark undo\".");

}  // namespace

QString Form1::SizeText(std::uint64_t bytes) {
    if (bytes < 1000)
        return QStringLiteral("%1 %2").arg(bytes).arg(bytes == 1 ? QStringLiteral("byte")
                                                                 : QStringLiteral("bytes"));
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
        return QStringLiteral("Undo Last Run");
    return QStringLiteral("Undo Last Run (%1 %2, %3)")
        .arg(last->files)
        .arg(last->files == 1 ? QStringLiteral("file") : QStringLiteral("files"))
        .arg(SizeText(last->bytesKept));
}

std::unique_ptr<ReplacementJournal> Form1::startRunJournal() {
    undoProblem_.clear();
    if (runJournals)
        return runJournals();
    // A store that cannot be made would fail every file of the run; the run goes on without a
    // record instead, and its summary says so.
    if (const int error = undo_->prepare(); error != 0) {
        undoProblem_ =
            SystemErrorText(error) + QStringLiteral(": ") +
            (undo_->folder().isEmpty() ? QStringLiteral("(no home folder)") : undo_->folder());
        return nullptr;
    }
    return undo_->beginRun(UndoFace::Window);
}

QString Form1::undoNote(bool recorded, bool wrote) const {
    if (recorded)
        return HowToUndo;
    if (wrote && !undoProblem_.isEmpty())
        return QStringLiteral("This run cannot be taken back: the undo store cannot be used (") +
               undoProblem_ + u')';
    return {};
}

void Form1::Stop_Click() {
    // Only a long command that is working now can be stopped.
    if (!isBusy() || !EventPump::Yielding())
        return;
    if (platform_.askYesNo(QStringLiteral("Stop the run?")))
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

    if (!preview_)
        preview_ = new PreviewDialog(this);
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
        platform_.messageBox(QStringLiteral("There is no run to undo."));
        return;
    }
    const QString question =
        QStringLiteral(
            "Undo the last run?\r\r%1 it replaced or created (started %2) go back to what they "
            "were before it: each file it replaced is put back, each file it created is removed. "
            "A file changed since the run is left alone.")
            .arg(last->files == 1 ? QStringLiteral("The file")
                                  : QStringLiteral("The %1 files").arg(last->files),
                 last->started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (!platform_.askYesNo(question))
        return;

    BusyScope busy(*this);
    busy.begin();
    const UndoSummary summary = undo_->undoLast();
    busy.end(MousePointer::Default);

    const QStringList lines = DescribeUndo(summary);
    if (summary.outcome != UndoSummary::Outcome::Done) {
        platform_.messageBox(lines.join(u'\n'));
        return;
    }
    QString text = QStringLiteral("The last run is undone: ") + lines.first();
    if (!summary.leftAlone.empty() || !summary.failed.empty())
        text += QStringLiteral("\r\rThe details list the files left as they are.");
    platform_.messageBox(text, {}, Platform::Icon::None, lines.mid(1).join(u'\n'));
}
