#include "app/PreviewDialog.h"

#include "app/RunDriver.h"
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

#include <QDialogButtonBox>
#include <QElapsedTimer>
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

namespace {

enum Column { NumberColumn, FileColumn, RemovedColumn, OutcomeColumn };

// How often the rows and counts found are shown while the preview works, in milliseconds.
constexpr qint64 ShownInterval = 100;

// The longest part of a line that is shown; the rest is left out.
constexpr std::size_t ShownLineBytes = 4096;

QString Counted(std::uint64_t count, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// The summary's kinds of rows, in the order it names them.
enum Kind {
    WrittenKind,
    UnchangedKind,
    EmptyKind,
    UnreadableKind,
    UnwritableKind,
    OverwritesKind,
    ReadsKind
};

Kind KindOf(const PreviewDialog::Row &row) {
    switch (row.relation) {
        case Engine::Relation::OverwritesEarlier:
            return OverwritesKind;
        case Engine::Relation::ReadsEarlier:
            return ReadsKind;
        case Engine::Relation::None:
            break;
    }
    switch (row.outcome) {
        case Engine::Outcome::Changed:
            return WrittenKind;
        case Engine::Outcome::Unchanged:
            return UnchangedKind;
        case Engine::Outcome::Empty:
            return EmptyKind;
        case Engine::Outcome::WriteFailed:
            return UnwritableKind;
        case Engine::Outcome::ReadFailed:
        case Engine::Outcome::PathFailed:
            break;
    }
    return UnreadableKind;
}

// A row that failed, with nothing shown of its lines.
bool Failed(const PreviewDialog::Row &row) {
    const Kind kind = KindOf(row);
    return kind == UnreadableKind || kind == UnwritableKind;
}

// A colour between two others: `share` of `to`.
QColor Mix(const QColor &from, const QColor &to, double share) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * share),
                            float(from.greenF() + (to.greenF() - from.greenF()) * share),
                            float(from.blueF() + (to.blueF() - from.blueF()) * share));
}

// Bytes of a line as characters: UTF-8 where the whole line is, Latin-1 otherwise, as the
// matching reads it. Control characters show as their pictures, so that each line stays one.
QString Shown(std::string_view bytes, bool utf8) {
    QString text = utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                        : QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    for (QChar &c : text) {
        if (c.unicode() < 0x20 && c != u'\t')
            c = QChar(char16_t(0x2400 + c.unicode()));
        else if (c.unicode() == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return text;
}

}  // namespace

// What the preview asks while it works: the values it began with, and a yield as a run's, after
// which `check` may end the work.
class PreviewDialog::Context : public Operations::LineContext {
public:
    Context(const Job &job, std::function<void()> check) : job_(job), check_(std::move(check)) {}

    bool letEventsRun() override {
        bool ran;
        try {
            ran = EventPump::LetEventsRun();
        } catch (const CommandStopped &) {
            throw Engine::Stopped{};
        }
        check_();
        return ran;
    }
    QString conditionText() override { return job_.conditionText; }
    QString chooserText() override { return job_.chooserText; }

private:
    const Job &job_;
    std::function<void()> check_;
};

// The lines of one file that the preview shows: a few before the first change, then on from it
// up to ShownLines, each with the parts the loop keeps.
class PreviewDialog::Changes : public Operations::LineMarks {
public:
    struct Line {
        std::uint64_t number = 0;
        std::string bytes;     // its first ShownLineBytes bytes at most
        std::size_t size = 0;  // the whole line's
        bool utf8 = true;      // the whole line is valid UTF-8
        bool kept = false;     // the line stays (perhaps with parts removed)
        std::vector<std::pair<std::size_t, std::size_t>> parts;  // kept: at, size

        bool changed() const {
            if (!kept)
                return true;
            std::size_t covered = 0;
            for (const auto &[at, size] : parts) {
                if (at != covered)
                    return true;
                covered += size;
            }
            return covered != size;
        }
    };
    struct Enough {};  // thrown when the lines to show are complete

    void lineRead(std::string_view line) override {
        settle();
        if (firstChange_ != 0 && lines_.size() >= std::size_t(ShownLines)) {
            more_ = true;
            throw Enough{};
        }
        Line &shown = lines_.emplace_back();
        shown.number = ++count_;
        shown.size = line.size();
        shown.utf8 = Operations::IsValidUtf8(line);
        std::size_t keep = std::min(line.size(), ShownLineBytes);
        if (shown.utf8) {
            while (keep < line.size() && keep > 0 &&
                   (static_cast<unsigned char>(line[keep]) & 0xC0) == 0x80)
                --keep;  // not inside a character
        }
        shown.bytes.assign(line.substr(0, keep));
        settled_ = false;
    }
    void keptLine() override { lines_.back().kept = true; }
    void keptPart(std::size_t at, std::size_t size) override {
        lines_.back().parts.emplace_back(at, size);
    }

    // The file has ended, or the lines to show are complete.
    void finish() { settle(); }

    const std::deque<Line> &lines() const { return lines_; }
    std::uint64_t firstChange() const { return firstChange_; }  // 0: none
    bool more() const { return more_; }  // the file goes on after the lines shown

private:
    // The line read last is complete: until the first change, only the few before it stay.
    void settle() {
        if (settled_ || lines_.empty())
            return;
        settled_ = true;
        if (firstChange_ == 0 && lines_.back().changed())
            firstChange_ = lines_.back().number;
        if (firstChange_ == 0) {
            while (lines_.size() > std::size_t(ContextLines))
                lines_.pop_front();
        }
    }

    std::deque<Line> lines_;
    std::uint64_t count_ = 0;
    std::uint64_t firstChange_ = 0;
    bool settled_ = true;
    bool more_ = false;
};

PreviewDialog::PreviewDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(QStringLiteral("Preview"));
    setModal(false);
    resize(900, 660);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("PreviewHeading"));
    heading_->setWordWrap(true);
    heading_->setTextFormat(Qt::PlainText);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("PreviewProgress"));
    progress_->setRange(0, 10000);
    progress_->setAlignment(Qt::AlignCenter);
    progress_->setAccessibleName(QStringLiteral("Preview progress"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("PreviewSummary"));
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);

    table_ = new QTreeWidget(this);
    table_->setObjectName(QStringLiteral("PreviewTable"));
    table_->setAccessibleName(QStringLiteral("Files"));
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAlternatingRowColors(true);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setHeaderLabels({QStringLiteral("#"), QStringLiteral("File"),
                             QStringLiteral("Would remove"), QStringLiteral("What would happen")});
    table_->header()->setStretchLastSection(true);
    table_->setColumnWidth(NumberColumn, 44);
    table_->setColumnWidth(FileColumn, 340);
    table_->setColumnWidth(RemovedColumn, 110);
    connect(table_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            showDetail(table_->indexOfTopLevelItem(item));
    });

    auto *lower = new QWidget(this);
    detailHeading_ = new QLabel(lower);
    detailHeading_->setObjectName(QStringLiteral("PreviewDetailHeading"));
    detailHeading_->setWordWrap(true);
    detailHeading_->setTextFormat(Qt::PlainText);
    detail_ = new QTextEdit(lower);
    detail_->setObjectName(QStringLiteral("PreviewDetail"));
    detail_->setAccessibleName(QStringLiteral("Lines of the selected file"));
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
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(progress_);
    layout->addWidget(summary_);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);
    detailHeading_->setText(QStringLiteral(
        "Select a file to see its lines, with what would be removed struck through."));
}

PreviewDialog::~PreviewDialog() = default;

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
            return QStringLiteral("written");
        case UnchangedKind:
            return QStringLiteral("unchanged");
        case EmptyKind:
            return QStringLiteral("empty — not written");
        case UnreadableKind:
            return QStringLiteral("cannot be read: ") + row.reason;
        case UnwritableKind:
            return QStringLiteral("cannot be written: ") + row.reason;
        case OverwritesKind:
            return QStringLiteral("would overwrite the result of an earlier row (row %1)")
                .arg(row.earlierRow);
        case ReadsKind:
            return QStringLiteral("reads the result of an earlier row (row %1), not known yet")
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
        dialog_.progress_->setFormat(QStringLiteral("Previewing: %1 (%2 of %3)")
                                         .arg(Main::GetFileName(task.input))
                                         .arg(i + 1)
                                         .arg(count)
                                         .replace(u'%', QStringLiteral("%%")));
        context_.letEventsRun();  // once per file, as the run does
        task.output = Engine::ResultPath(job.toFolder, job.outputFolder, task.input);
        task.intoFolder = task.output != task.input;
        task.keepLineEnds = job.keepLineEnds;
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
    QString what = QStringLiteral("\"%1\"").arg(job_.chooserText);
    switch (Operations::LoopFor(job_.chooserText)) {
        case Operations::Loop::LineNumber:
            what += QStringLiteral(", line %1").arg(job_.lineNumber);
            break;
        case Operations::Loop::BlankLines:
            break;
        default:
            what += QStringLiteral(" with \"%1\"").arg(job_.conditionText);
            break;
    }
    heading_->setText(
        QStringLiteral("What \"Start Removing\" would do now: %1, %2. Nothing is written.")
            .arg(what, job_.toFolder ? QStringLiteral("results into ") + job_.outputFolder
                                     : QStringLiteral("each result in place of its file")));
}

void PreviewDialog::run(Job job) {
    job_ = std::move(job);
    rows_.clear();
    counts_.fill(0);
    table_->clear();
    ++detailGeneration_;  // a file being shown is no longer wanted
    detail_->clear();
    detailHeading_->setText(QStringLiteral(
        "Select a file to see its lines, with what would be removed struck through."));

    showHeading();
    table_->headerItem()->setText(RemovedColumn, QStringLiteral("Would remove"));

    closed_ = false;
    working_ = true;
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
    Rows source(*this, context);
    Table table(*this);
    bool stopped = false;
    try {
        stopped = Engine::RunSequential(plan, source, context, table).stopped;
    } catch (const Closed &) {
        stopped = true;
    }
    table.show(stopped);
}

QTreeWidgetItem *PreviewDialog::itemFor(const Row &row) const {
    auto *item = new QTreeWidgetItem;
    item->setText(NumberColumn, QString::number(rows_.size()));
    item->setTextAlignment(NumberColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setText(FileColumn, row.input);
    item->setToolTip(FileColumn, row.input);
    if (!Failed(row)) {
        item->setText(RemovedColumn, removesCharacters()
                                         ? Counted(row.charactersRemoved, "character", "characters")
                                         : Counted(row.linesRemoved, "line", "lines"));
        item->setTextAlignment(RemovedColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    // The file's own path is in its column already.
    QString outcome = OutcomeText(row);
    const QString ownPath = QStringLiteral(": ") + row.input;
    if (outcome.endsWith(ownPath))
        outcome.chop(ownPath.size());
    item->setText(OutcomeColumn, outcome);
    item->setToolTip(OutcomeColumn, OutcomeText(row) + QStringLiteral("\nResult: ") + row.output);
    return item;
}

QString PreviewDialog::summaryText() const {
    return summary_->text();
}

void PreviewDialog::showSummary(int done, bool stopped) {
    const char *names[] = {
        "written",
        "unchanged",
        "empty — not written",
        "cannot be read",
        "cannot be written",
        "would overwrite the result of an earlier row",
        "read the result of an earlier row",
    };
    QStringList parts;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        if (counts_[i] > 0)
            parts.append(QStringLiteral("%1 %2").arg(counts_[i]).arg(QString::fromUtf8(names[i])));
    }
    const int count = int(job_.inputs.size());
    QString text = stopped ? QStringLiteral("Stopped after %1 of %2 files").arg(done).arg(count)
                           : Counted(std::uint64_t(done), "file", "files");
    if (!parts.isEmpty())
        text += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    summary_->setText(text + u'.');
}

void PreviewDialog::selectRow(int row) {
    if (QTreeWidgetItem *item = table_->topLevelItem(row))
        table_->setCurrentItem(item);
}

QString PreviewDialog::detailHeading() const {
    return detailHeading_->text();
}

QString PreviewDialog::detailText() const {
    return detailMarked_;
}

void PreviewDialog::showDetail(int index) {
    if (index < 0 || index >= int(rows_.size()))
        return;
    const unsigned generation = ++detailGeneration_;
    const Row row = rows_[std::size_t(index)];  // a copy: rows may be added while this yields
    detail_->clear();
    detailMarked_.clear();
    const QString name = Main::GetFileName(row.input);
    if (Failed(row)) {
        detailHeading_->setText(name + QStringLiteral(": ") + OutcomeText(row));
        return;
    }
    detailHeading_->setText(QStringLiteral("Reading %1 ...").arg(name));

    Changes changes;
    Context context(job_, [this, generation] {
        if (closed_ || generation != detailGeneration_)
            throw Superseded{};
    });
    try {
        try {
            Engine::MarkFile(row.input, changes, context, job_.lineNumber);
        } catch (const Changes::Enough &) {
        }
        changes.finish();
    } catch (const Superseded &) {
        return;  // another row is shown, or the dialog closed
    } catch (const FileError &error) {
        detailHeading_->setText(name + QStringLiteral(": ") + DescribeFileError(error));
        return;
    } catch (const Engine::Stopped &) {
        // The stop is meant for the command whose yield this runs in: it is passed on.
        EventPump::RequestStop();
        return;
    } catch (const CommandAbandoned &) {
        return;  // the program ends; the command around this abandons at its next yield
    } catch (...) {
        detailHeading_->setText(name + QStringLiteral(": ") + CurrentExceptionDescription());
        return;
    }
    renderDetail(row, changes);
}

void PreviewDialog::renderDetail(const Row &row, const Changes &changes) {
    const QString name = Main::GetFileName(row.input);
    const auto &lines = changes.lines();
    QString heading;
    if (changes.firstChange() == 0) {
        heading = QStringLiteral("%1: no line would change.").arg(name);
    } else {
        heading = QStringLiteral("%1: %2 removed; first change at line %3.")
                      .arg(name, removesCharacters()
                                     ? Counted(row.charactersRemoved, "character", "characters")
                                     : Counted(row.linesRemoved, "line", "lines"))
                      .arg(changes.firstChange());
        if (changes.more())
            heading += QStringLiteral(" Showing lines %1 to %2; the file goes on.")
                           .arg(lines.front().number)
                           .arg(lines.back().number);
    }
    if (row.relation == Engine::Relation::ReadsEarlier)
        heading += QStringLiteral(
                       " The run would read row %1's result here; this is the file "
                       "as it is now.")
                       .arg(row.earlierRow);
    detailHeading_->setText(heading);
    if (changes.firstChange() == 0)
        return;

    // Colours of the palette: removed parts on the highlight colour mixed into the base, in the
    // text colour, struck through; line numbers in the placeholder colour.
    const QPalette palette = detail_->palette();
    QTextCharFormat plain;
    plain.setForeground(palette.color(QPalette::Text));
    QTextCharFormat number;
    number.setForeground(palette.color(QPalette::PlaceholderText));
    QTextCharFormat removed = plain;
    removed.setFontStrikeOut(true);
    removed.setBackground(
        Mix(palette.color(QPalette::Base), palette.color(QPalette::Highlight), 0.35));

    const int width = int(QString::number(lines.back().number).size());
    QString marked;  // the same, with the removed parts between [- and -]
    QTextCursor cursor(detail_->document());
    cursor.beginEditBlock();
    bool first = true;
    for (const Changes::Line &line : lines) {
        if (!first) {
            cursor.insertBlock();
            marked += u'\n';
        }
        first = false;
        const QString mark = !line.kept       ? QStringLiteral("- ")
                             : line.changed() ? QStringLiteral("~ ")
                                              : QStringLiteral("  ");
        const QString lineNumber = QString::number(line.number).rightJustified(width);
        cursor.insertText(lineNumber + u' ', number);
        cursor.insertText(mark, plain);
        marked += lineNumber + u' ' + mark;

        auto put = [&](std::size_t from, std::size_t to, bool kept) {
            to = std::min(to, line.bytes.size());
            if (from >= to)
                return;
            const QString text =
                Shown(std::string_view(line.bytes).substr(from, to - from), line.utf8);
            cursor.insertText(text, kept ? plain : removed);
            marked += kept ? text : QStringLiteral("[-") + text + QStringLiteral("-]");
        };
        if (!line.kept) {
            if (line.size == 0) {
                cursor.insertText(QStringLiteral("(empty line)"), removed);
                marked += QStringLiteral("[-(empty line)-]");
            }
            put(0, line.size, false);
        } else {
            std::size_t at = 0;
            for (const auto &[start, size] : line.parts) {
                put(at, start, false);
                put(start, start + size, true);
                at = start + size;
            }
            put(at, line.size, false);
        }
        if (line.bytes.size() < line.size) {
            cursor.insertText(
                QStringLiteral(" … (%1 more bytes)").arg(line.size - line.bytes.size()), number);
            marked += QStringLiteral(" …");
        }
    }
    cursor.endEditBlock();
    detailMarked_ = marked;
    detail_->moveCursor(QTextCursor::Start);
}
