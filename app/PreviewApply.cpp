// "Apply" in the preview: the rows it showed and left ticked, run by "Start Removing"'s own
// steps, with the values it showed them with.

#include "app/Form1.h"
#include "app/PreviewDialog.h"
#include "app/RunDriver.h"
#include "base/Platform.h"

#include <QStringListModel>

namespace {

// What the run reads: the ticked rows, the operation, condition, save option and output folder
// of the preview, and its line number. The rest is the window's: its boxes, pointer, progress
// bar, settings, undo store and the summary of its last run.
class PreviewedRun final : public RunWindow {
public:
    PreviewedRun(Form1 &window, const PreviewDialog::Job &job, const QStringList &rows)
        : window_(window), job_(job), rows_(rows) {}

    Platform &platform() override { return window_.platform(); }
    Settings &settings() override { return window_.settings(); }
    int mousePointer() const override { return window_.mousePointer(); }
    void setMousePointer(int shape) override { window_.setMousePointer(shape); }
    QString programFolder() const override { return window_.programFolder(); }

    int rowCount() const override { return rows_.rowCount(); }
    QString rowText(int row) const override { return rows_.index(row).data().toString(); }
    const QAbstractItemModel &rowModel() const override { return rows_; }
    QString chooserText() const override { return job_.chooserText; }
    QString conditionText() const override { return job_.conditionText; }
    QString conditionCaption() const override { return window_.conditionCaption(); }
    QString outputFolderText() const override { return job_.outputFolder; }
    bool savesToFolder() const override { return job_.toFolder; }
    bool savesBesideOriginal() const override { return !job_.toFolder; }
    void setProgressValue(double percent) override { window_.setProgressValue(percent); }
    void setProgressText(const QString &text) override { window_.setProgressText(text); }
    std::unique_ptr<ReplacementJournal> startRunJournal(const UndoRunWhat &what) override {
        return window_.startRunJournal(what);
    }
    QString undoNote(bool recorded, bool wrote) const override {
        return window_.undoNote(recorded, wrote);
    }
    void runFinished(const RunSummary &summary) override { window_.runFinished(summary); }

private:
    Form1 &window_;
    const PreviewDialog::Job job_;
    QStringListModel rows_;
};

}  // namespace

void Form1::PreviewApply_Click() {
    if (isBusy() || !preview_ || preview_->working())
        return;
    const PreviewDialog::Job job = preview_->job();
    // The preview's lines were found with the line ends as they were set then.
    if (RunDriver::KeepsLineEnds(settings_) != job.keepLineEnds) {
        platform_.messageBox(
            tr("\"Keep each file's line ends\" has changed since the preview. Preview again to "
               "see what the run would do."));
        return;
    }
    if (!(RunDriver::MatchOptionsOf(settings_) == job.match)) {
        platform_.messageBox(
            tr("How the text is matched has changed since the preview. Preview again to see "
               "what the run would do."));
        return;
    }
    PreviewedRun run(*this, job, preview_->tickedInputs());
    preview_->hide();  // what it shows is what the files were
    // The window is busy while the rows run, as during "Start Removing".
    BusyScope busy(*this);
    busy.begin();
    RunDriver::StartRemoving(run, job.lineNumber);
    busy.end(MousePointer::Default);
}
