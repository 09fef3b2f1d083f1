#include "app/PreviewDialog.h"

#include "app/PreviewParts.h"

#include "app/RunDriver.h"
#include "app/RunSummary.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "engine/FileWork.h"
#include "engine/Plan.h"
#include "engine/SequentialRun.h"
#include "engine/Sink.h"
#include "files/FileError.h"
#include "text/Operations.h"
#include "text/TextMatch.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

using namespace PreviewParts;

namespace {

enum Column { NumberColumn, FileColumn, RemovedColumn, OutcomeColumn };

// How often the rows and counts found are shown while the preview works, in milliseconds.
constexpr qint64 ShownInterval = 100;

// Whether the file's line ends are other than a result's: a line feed without a carriage
// return before it, or a line end after the last line.
bool LineEndsDiffer(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char before = 0, last = 0;
    char buffer[65536];
    for (qint64 size; (size = file.read(buffer, sizeof buffer)) > 0;) {
        for (qint64 i = 0; i < size; ++i) {
            if (buffer[i] == '\n' && (i > 0 ? buffer[i - 1] : before) != '\r')
                return true;
        }
        before = last = buffer[size - 1];
    }
    return last == '\n';
}

QString SelectText() {
    return QCoreApplication::translate(
        "PreviewDialog", "Select a file to see its lines, with what would be removed marked.");
}

}  // namespace

PreviewDialog::PreviewDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(PreviewDialog::tr("Preview"));
    setModal(false);
    resize(900, 660);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("PreviewHeading"));
    // One line: a long folder is elided in its middle (fitHeading), never wrapped.
    heading_->setWordWrap(false);
    heading_->setMinimumWidth(1);
    heading_->installEventFilter(this);
    heading_->setTextFormat(Qt::PlainText);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("PreviewProgress"));
    progress_->setRange(0, 10000);
    progress_->setAlignment(Qt::AlignCenter);
    progress_->setAccessibleName(PreviewDialog::tr("Preview progress"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("PreviewSummary"));
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);

    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("PreviewTable"));
    table_->setAccessibleName(PreviewDialog::tr("Files"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAlternatingRowColors(true);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setHeaderLabels({QStringLiteral("#"), PreviewDialog::tr("File"),
                             PreviewDialog::tr("Would remove"),
                             PreviewDialog::tr("What would happen")});
    table_->header()->setStretchLastSection(true);
    table_->setColumnWidth(NumberColumn, 64);  // the tick and the number
    table_->setColumnWidth(FileColumn, 340);
    table_->setColumnWidth(RemovedColumn, 110);
    connect(table_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showDetail(table_->indexOfTopLevelItem(item));
    });
    connect(table_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *, int column) {
        if (column == NumberColumn && !working_)
            updateApply();
    });

    auto *lower = new QWidget(this);
    detailHeading_ = new QLabel(lower);
    detailHeading_->setObjectName(QStringLiteral("PreviewDetailHeading"));
    detailHeading_->setWordWrap(true);
    detailHeading_->setTextFormat(Qt::PlainText);
    detail_ = new QTextEdit(lower);
    detail_->setObjectName(QStringLiteral("PreviewDetail"));
    detail_->setAccessibleName(PreviewDialog::tr("Lines of the selected file"));
    detail_->setReadOnly(true);
    detail_->setLineWrapMode(QTextEdit::NoWrap);
    detail_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(detailHeading_);
    lowerLayout->addWidget(detail_);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table_);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    apply_ = buttons->addButton(tr("Apply"), QDialogButtonBox::ApplyRole);
    apply_->setObjectName(QStringLiteral("PreviewApply"));
    apply_->setToolTip(tr("Runs the ticked rows, in this order, as \"Start Removing\" would"));
    apply_->setEnabled(false);
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (!working_ && !tickedInputs().isEmpty())
            emit applyRequested();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(progress_);
    layout->addWidget(summary_);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);
    detailHeading_->setText(SelectText());
}

PreviewDialog::~PreviewDialog() = default;

// The heading is fitted again whenever its own width changes (the layout gives it its width
// only once the dialog is shown).
bool PreviewDialog::eventFilter(QObject *watched, QEvent *event) {
    if (watched == heading_ && event->type() == QEvent::Resize)
        fitHeading();
    return QDialog::eventFilter(watched, event);
}

void PreviewDialog::hideEvent(QHideEvent *event) {
    closed_ = true;  // the work ends at its next yield
    QDialog::hideEvent(event);
}

bool PreviewDialog::removesCharacters() const {
    return Operations::LoopFor(job_.chooserText) == Operations::Loop::ExceptThose ||
           job_.chooserText == Operations::Captions[2];
}

QString PreviewDialog::OutcomeText(const Row &row) {
    switch (KindOf(row)) {
        case WrittenKind:
            return PreviewDialog::tr("written");
        case UnchangedKind:
            return PreviewDialog::tr("unchanged");
        case EmptyKind:
            return PreviewDialog::tr("empty — not written");
        case BinaryKind:
            return PreviewDialog::tr("binary — left alone");
        case UndecodableKind:
        case TooComplexKind:
            return PreviewDialog::tr("left alone: ") + row.reason;
        case UnreadableKind:
            return PreviewDialog::tr("cannot be read: ") + row.reason;
        case UnwritableKind:
            return PreviewDialog::tr("cannot be written: ") + row.reason;
        case OverwritesKind:
            return PreviewDialog::tr("would overwrite the result of an earlier row (row %1)")
                .arg(row.earlierRow);
        case ReadsKind:
            return PreviewDialog::tr("reads the result of an earlier row (row %1), not known yet")
                .arg(row.earlierRow);
    }
    return {};
}

// The rows of the job, one at a time, as a run takes them: the progress, and one yield per file.
class PreviewDialog::Rows : public Engine::FileSource {
public:
    Rows(PreviewDialog &dialog, Context &context) : dialog_(dialog), context_(context) {}

    bool next(std::vector<Engine::FileTask> &tasks) override {
        const Job &job = dialog_.job_;
        const int count = int(job.inputs.size());
        if (next_ >= count)
            return false;
        const int i = next_++;
        Engine::FileTask task;
        task.input = job.inputs[i];
        dialog_.progress_->setValue(qRound(10000.0 * (i + 1) / count));
        dialog_.progress_->setFormat(PreviewDialog::tr("Previewing: %1 (%2 of %3)")
                                         .arg(Main::GetFileName(task.input),
                                              CountText(std::uint64_t(i) + 1),
                                              CountText(std::uint64_t(count)))
                                         .replace(u'%', QStringLiteral("%%")));
        context_.letEventsRun();  // once per file, as the run does
        task.output = Engine::ResultPath(job.toFolder, job.outputFolder, task.input);
        task.intoFolder = task.output != task.input;
        task.keepLineEnds = job.keepLineEnds;
        task.legacyPage = job.legacyPage;
        tasks.push_back(std::move(task));
        return true;
    }

private:
    PreviewDialog &dialog_;
    Context &context_;
    int next_ = 0;
};

// The rows found, into the table a few times a second: the table laid out and drawn again at
// every yield would cost more than the rows.
class PreviewDialog::Table : public Engine::RunSink {
public:
    explicit Table(PreviewDialog &dialog) : dialog_(dialog) {}
    ~Table() override { qDeleteAll(waiting_); }  // when the program ends under the preview

    void fileDone(const Engine::FileReport &report) override {
        Row row;
        row.input = report.task.input;
        row.output = report.task.output;
        row.outcome = report.outcome;
        row.relation = report.relation;
        row.earlierRow = int(report.earlier) + 1;
        row.linesRemoved = report.linesRemoved();
        row.charactersRemoved = report.charactersRemoved;
        if (report.failed())
            row.reason = report.description();
        // In place, a result that loses nothing and is written differs by its line ends; into
        // a folder it does when the file's line ends are not the result's.
        row.lineEndsOnly = report.outcome == Engine::Outcome::Changed &&
                           report.relation == Engine::Relation::None &&
                           report.linesRemoved() == 0 && report.charactersRemoved == 0 &&
                           !report.task.keepLineEnds &&
                           (!report.task.intoFolder || LineEndsDiffer(report.task.input));
        dialog_.rows_.push_back(row);
        ++dialog_.counts_[std::size_t(KindOf(row))];
        waiting_.append(dialog_.itemFor(row));
        if (!shown_.isValid() || shown_.hasExpired(ShownInterval))
            show(false);
    }

    // The rows and counts so far into the table.
    void show(bool stopped) {
        dialog_.table_->addTopLevelItems(waiting_);
        waiting_.clear();
        dialog_.showSummary(int(dialog_.rows_.size()), stopped);
        shown_.start();
    }

private:
    PreviewDialog &dialog_;
    QList<QTreeWidgetItem *> waiting_;  // rows not yet in the table
    QElapsedTimer shown_;
};

void PreviewDialog::showHeading() {
    QString what = tr("\"%1\"").arg(Operations::TranslatedCaption(job_.chooserText));
    switch (Operations::LoopFor(job_.chooserText)) {
        case Operations::Loop::LineNumber:
            what += PreviewDialog::tr(", line %1").arg(job_.lineNumber);
            break;
        case Operations::Loop::BlankLines:
            break;
        default:
            what += PreviewDialog::tr(" with \"%1\"").arg(job_.conditionText);
            if (job_.matcher)
                what += QStringLiteral(" (%1)").arg(Operations::DescribeOptions(job_.match));
            break;
    }
    headingFull_ =
        PreviewDialog::tr("What \"Start Removing\" would do now: %1, %2. Nothing is written.")
            .arg(what, job_.toFolder ? PreviewDialog::tr("results into ") + job_.outputFolder
                                     : PreviewDialog::tr("each result in place of its file"));
    heading_->setToolTip(headingFull_);
    fitHeading();
}

// The heading in one line: the output folder elided in its middle as far as needed, then,
// should a long condition still not fit, the whole line.
void PreviewDialog::fitHeading() {
    const QFontMetrics metrics = heading_->fontMetrics();
    const int room = heading_->contentsRect().width();
    QString text = headingFull_;
    if (job_.toFolder && metrics.horizontalAdvance(text) > room && !job_.outputFolder.isEmpty()) {
        const int rest =
            metrics.horizontalAdvance(text) - metrics.horizontalAdvance(job_.outputFolder);
        const QString folder =
            metrics.elidedText(job_.outputFolder, Qt::ElideMiddle, std::max(room - rest, 0));
        text.replace(text.lastIndexOf(job_.outputFolder), job_.outputFolder.size(), folder);
    }
    if (metrics.horizontalAdvance(text) > room)
        text = metrics.elidedText(text, Qt::ElideMiddle, room);
    heading_->setText(text);
}

QString PreviewDialog::headingText() const {
    return heading_->text();
}

QStringList PreviewDialog::tickedInputs() const {
    QStringList inputs;
    for (int i = 0; i < table_->topLevelItemCount() && i < int(rows_.size()); ++i) {
        if (table_->topLevelItem(i)->checkState(NumberColumn) == Qt::Checked)
            inputs.append(rows_[std::size_t(i)].input);
    }
    return inputs;
}

void PreviewDialog::setRowTicked(int row, bool ticked) {
    if (QTreeWidgetItem *item = table_->topLevelItem(row))
        item->setCheckState(NumberColumn, ticked ? Qt::Checked : Qt::Unchecked);
}

// Apply is for a preview that has ended with a row ticked; the summary says how many are not.
void PreviewDialog::updateApply() {
    const int ticked = int(tickedInputs().size());
    apply_->setEnabled(!working_ && ticked > 0);
    showSummary(int(rows_.size()), stopped_);
}

void PreviewDialog::run(Job job) {
    job_ = std::move(job);
    rows_.clear();
    counts_.fill(0);
    table_->clear();
    ++detailGeneration_;  // a file being shown is no longer wanted
    detail_->clear();
    detailHeading_->setText(SelectText());

    showHeading();
    table_->headerItem()->setText(RemovedColumn, PreviewDialog::tr("Would remove"));

    closed_ = false;
    working_ = true;
    stopped_ = false;
    apply_->setEnabled(false);
    progress_->setValue(0);
    progress_->setVisible(true);
    summary_->clear();
    show();
    raise();
    activateWindow();

    struct Working {
        PreviewDialog &dialog;
        ~Working() {
            dialog.working_ = false;
            dialog.progress_->setVisible(false);
        }
    } working{*this};

    Context context(job_, [this] {
        if (closed_)
            throw Closed{};
    });
    Engine::Plan plan;
    plan.lineNumber = job_.lineNumber;
    plan.dryRun = true;
    plan.match = job_.match;
    plan.matcher = job_.matcher;
    Rows source(*this, context);
    Table table(*this);
    bool stopped = false;
    try {
        stopped = Engine::RunSequential(plan, source, context, table).stopped;
    } catch (const Closed &) {
        stopped = true;
    }
    stopped_ = stopped;
    table.show(stopped);
    working_ = false;
    updateApply();
}

QTreeWidgetItem *PreviewDialog::itemFor(const Row &row) const {
    auto *item = new QTreeWidgetItem;
    item->setText(NumberColumn, QString::number(rows_.size()));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(NumberColumn, Qt::Checked);
    item->setTextAlignment(NumberColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(FileColumn, row.input);
    item->setToolTip(FileColumn, row.input);
    if (!LeftAlone(row)) {
        item->setText(RemovedColumn, removedText(row));
        item->setTextAlignment(RemovedColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The file's own path is in its column already.
    QString outcome = OutcomeText(row);
    const QString ownPath = QStringLiteral(": ") + row.input;
    if (outcome.endsWith(ownPath))
        outcome.chop(ownPath.size());
    item->setText(OutcomeColumn, outcome);
    item->setToolTip(OutcomeColumn,
                     OutcomeText(row) + PreviewDialog::tr("\nResult: ") + row.output);
    return item;
}

// What the row would lose: its lines or characters, or, when it would change by its line ends
// alone (CR LF between the lines, none after the last), that.
QString PreviewDialog::removedText(const Row &row) const {
    if (row.lineEndsOnly)
        return tr("line ends only");
    return removesCharacters()
               ? Counted(row.charactersRemoved, QT_TR_NOOP("character"), QT_TR_NOOP("characters"))
               : Counted(row.linesRemoved, QT_TR_NOOP("line"), QT_TR_NOOP("lines"));
}

QString PreviewDialog::summaryText() const {
    return summary_->text();
}

void PreviewDialog::showSummary(int done, bool stopped) {
    const char *names[] = {
        QT_TR_NOOP("written"),
        QT_TR_NOOP("unchanged"),
        QT_TR_NOOP("empty — not written"),
        QT_TR_NOOP("binary — left alone"),
        QT_TR_NOOP("cannot be decoded"),
        QT_TR_NOOP("pattern too complex"),
        QT_TR_NOOP("cannot be read"),
        QT_TR_NOOP("cannot be written"),
        QT_TR_NOOP("would overwrite the result of an earlier row"),
        QT_TR_NOOP("read the result of an earlier row"),
    };
    static_assert(std::size(names) == KindCount, "a name for each kind of row");
    QStringList parts;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] > 0)
            parts.append(
                QStringLiteral("%1 %2").arg(CountText(std::uint64_t(counts_[i])), tr(names[i])));
    }
    const int count = int(job_.inputs.size());
    QString text = stopped
                       ? PreviewDialog::tr("Stopped after %1 of %2 files")
                             .arg(CountText(std::uint64_t(done)), CountText(std::uint64_t(count)))
                   : done == 1 ? PreviewDialog::tr("1 file")
                               : PreviewDialog::tr("%1 files").arg(CountText(std::uint64_t(done)));
    if (!parts.isEmpty())
        text += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    text += u'.';
    const int unticked = working_ ? 0 : done - int(tickedInputs().size());
    if (unticked > 0)
        text += u' ' +
                tr("%1 unticked: Apply leaves them out.").arg(CountText(std::uint64_t(unticked)));
    summary_->setText(text);
}
