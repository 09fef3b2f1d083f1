#include "app/RunDriver.h"

#include "base/Convert.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "engine/Plan.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FileError.h"
#include "files/ReadAhead.h"
#include "text/Operations.h"

#include <QAbstractItemModel>

#include <QStringList>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace RunDriver {

namespace {

const QString &LineNumberCaption() {
    return Operations::Captions[4];
}

// What the operation loops ask while they work: the yield, and the window's current values.
class WindowLineContext : public Operations::LineContext {
public:
    explicit WindowLineContext(RunWindow &window) : window_(window) {}

    bool letEventsRun() override { return EventPump::LetEventsRun(); }
    QString conditionText() override { return window_.conditionText(); }
    QString chooserText() override { return window_.chooserText(); }

private:
    RunWindow &window_;
};

// Where the run stands in the list while rows come and go under it: the next row to work on,
// and the end of the rows that were there when the run began (rows added later are not the
// run's). A removal above either moves it up; one that takes its row leaves it at the row that
// followed. Rows inserted before either move it down.
class RowCursor {
public:
    RowCursor(const QAbstractItemModel &rows, int count) : end_(count) {
        connections_ = {
            QObject::connect(&rows, &QAbstractItemModel::rowsRemoved,
                             [this](const QModelIndex &parent, int first, int last) {
                                 if (!parent.isValid())
                                     removed(first, last);
                             }),
            QObject::connect(&rows, &QAbstractItemModel::rowsInserted,
                             [this](const QModelIndex &parent, int first, int last) {
                                 if (!parent.isValid())
                                     inserted(first, last);
                             }),
            QObject::connect(&rows, &QAbstractItemModel::modelReset, [this] { next_ = end_ = 0; }),
        };
    }
    ~RowCursor() {
        for (const QMetaObject::Connection &connection : connections_)
            QObject::disconnect(connection);
    }
    RowCursor(const RowCursor &) = delete;
    RowCursor &operator=(const RowCursor &) = delete;

    // The row to work on now (0-based), or -1 when none of the run's rows is left.
    int take() { return next_ < end_ ? next_++ : -1; }
    // The run's rows not yet taken.
    int remaining() const { return std::max(0, end_ - next_); }

private:
    void removed(int first, int last) {
        const int count = last - first + 1;
        for (int *place : {&next_, &end_}) {
            if (*place > last)
                *place -= count;
            else if (*place > first)
                *place = first;
        }
    }
    void inserted(int first, int last) {
        const int count = last - first + 1;
        if (first <= next_)
            next_ += count;  // a new row at the next one's place is not the run's
        if (first < end_)
            end_ += count;
    }

    int next_ = 0;
    int end_;
    std::array<QMetaObject::Connection, 3> connections_;
};

// The run's journal, when the window gives one, counting the files it recorded.
class CountingJournal : public ReplacementJournal {
public:
    explicit CountingJournal(std::unique_ptr<ReplacementJournal> journal)
        : journal_(std::move(journal)) {}

    // What the commit queue records in: this, or nothing when the window gave no journal.
    ReplacementJournal *journal() { return journal_ ? this : nullptr; }
    std::size_t recorded() const { return recorded_.load(); }

    std::vector<int> recordGroup(const std::vector<Replacement> &group) override {
        std::vector<int> answers = journal_->recordGroup(group);
        recorded_ += static_cast<std::size_t>(std::count(answers.begin(), answers.end(), 0));
        return answers;
    }
    std::uint64_t device() const override { return journal_->device(); }

private:
    std::unique_ptr<ReplacementJournal> journal_;
    // Counted on the commit queue's thread, read on the window's.
    std::atomic<std::size_t> recorded_ = 0;
};

// What a run did, for the details of its "Done.".
class RunSummary {
public:
    // A row's file was worked on to its end (whatever became of it).
    void rowDone() { ++rowsDone_; }
    void finished(Operations::FileResult::State state) {
        unchanged_ += state == Operations::FileResult::State::Unchanged;
        empty_ += state == Operations::FileResult::State::Empty;
    }
    // A row failed; `description` names the reason and the path.
    void failed(const QString &description) { failures_.append(description); }
    // A result goes to the queue; answers its tag there.
    std::size_t written(const PendingResult &result) {
        ++written_;
        Output &output = outputs_[result.target()];
        if (output.results++ == 0)
            output.path = result.path();
        targets_.push_back(result.target());
        return targets_.size() - 1;
    }
    // The result of that tag could not be put in place.
    void failedToCommit(std::size_t tag, const FileError &error) {
        --written_;
        --outputs_[targets_[tag]].results;
        failed(DescribeFileError(error));
    }
    // The user stopped the run with `left` of its rows not done (the one in progress included).
    void stopped(int left) {
        stopped_ = true;
        total_ = rowsDone_ + left;
    }
    bool anyWritten() const { return written_ > 0; }

    QString text(const QString &undoNote) const {
        QStringList lines;
        if (stopped_)
            lines.append(
                QStringLiteral("Stopped after %1 of %2 files.").arg(rowsDone_).arg(total_));
        lines.append(QStringLiteral("Written: %1").arg(written_));
        lines.append(QStringLiteral("Unchanged (not rewritten): %1").arg(unchanged_));
        lines.append(QStringLiteral("Empty results (not written): %1").arg(empty_));
        lines.append(QStringLiteral("Failed: %1").arg(failures_.size()));
        for (const QString &failure : failures_)
            lines.append(Indent + failure);
        // In the order they were first written.
        QStringList twice;
        std::unordered_set<std::string> listed;
        for (const std::string &target : targets_) {
            const Output &output = outputs_.at(target);
            if (output.results < 2 || !listed.insert(target).second)
                continue;
            twice.append(Indent +
                         QStringLiteral("%1 (%2 times)").arg(output.path).arg(output.results));
        }
        lines.append(QStringLiteral("Output names written more than once: %1").arg(twice.size()));
        lines += twice;
        if (!undoNote.isEmpty())
            lines.append(undoNote);
        return lines.join(u'\n');
    }

private:
    static constexpr QLatin1StringView Indent{"    "};
    struct Output {
        QString path;  // as the first row that wrote it gave it
        int results = 0;
    };

    int rowsDone_ = 0, total_ = 0;
    bool stopped_ = false;
    int written_ = 0, unchanged_ = 0, empty_ = 0;
    QStringList failures_;
    // Each file written (links resolved), and the results put there; the tags' files in order.
    std::unordered_map<std::string, Output> outputs_;
    std::vector<std::string> targets_;
};

}  // namespace

bool KeepsLineEnds(const Settings &settings) {
    try {
        return Convert::ToBool(settings.get(KeepLineEndsKey, QStringLiteral("False")));
    } catch (const AppError &) {
        return false;
    }
}

std::optional<long long> CheckInput(RunWindow &window, Guard &guard) {
    Platform &platform = window.platform();
    auto message = [&](int step, const QString &text) {
        guard.step(step, [&] { platform.messageBox(text); });
    };

    // Each failed check says why and ends the command.
    if (guard.test(100, [&] { return window.rowCount() == 0; })) {
        message(238, QStringLiteral("No files added."));
        return std::nullopt;
    }
    if (!window.savesToFolder() && !window.savesBesideOriginal()) {
        platform.messageBox(QStringLiteral("Please choose where to save the results."));
        return std::nullopt;
    }
    if (guard.test(102, [&] {
            return !Main::FolderExists(window.outputFolderText()) && !window.savesBesideOriginal();
        })) {
        message(236, QStringLiteral("Folder does not exist. Please select another folder."));
        return std::nullopt;
    }
    if (guard.test(104, [&] { return window.conditionText().isEmpty(); })) {
        message(234, QStringLiteral("Please provide text for: ") + window.conditionCaption());
        return std::nullopt;
    }
    bool proceed = false;
    guard.step(106, [&] { proceed = true; });
    QString lineNumberAnswer;
    if (guard.test(108, [&] { return window.chooserText() == LineNumberCaption(); })) {
        guard.step(110, [&] {
            lineNumberAnswer =
                platform.inputBox(QStringLiteral("Enter row number n: "),
                                  QStringLiteral("Input Row Number n"), QStringLiteral("10"));
        });
        if (guard.test(112, [&] { return !Convert::IsNumeric(lineNumberAnswer); })) {
            message(114, QStringLiteral("Must be numeric value."));
            guard.step(116, [&] { proceed = false; });
        }
    }
    if (guard.test(118, [&] { return !proceed; }))
        return std::nullopt;
    return Engine::LineNumberFromAnswer(lineNumberAnswer);
}

void StartRemoving(RunWindow &window) {
    // A second "Start Removing" while the window is busy would start a run inside the run.
    if (window.isBusy())
        return;

    Platform &platform = window.platform();
    Guard guard(platform, Location::form1("PushButton8_Click"));
    const std::optional<long long> lineNumber = CheckInput(window, guard);
    if (!lineNumber)
        return;

    // The run.
    WindowLineContext context(window);
    CountingJournal journal(window.startRunJournal());
    // The disk's wait for one group overlaps the work on the next.
    CommitQueue queue(journal.journal(), CommitQueue::Mode::Overlapped);
    RunSummary summary;
    // Puts the waiting results in place; a result that cannot be is reported for its own file.
    auto commitFailed = [&](const CommitFailure &failure) {
        summary.failedToCommit(failure.tag, failure.error);
        guard.step(222, [&] { throw AppError(DescribeFileError(failure.error)); });
    };
    auto commitWaiting = [&] {
        for (const CommitFailure &failure : queue.commit())
            commitFailed(failure);
    };
    BusyScope busy(window);
    guard.step(120, [&] { busy.begin(); });
    int rows = 0;
    guard.step(122, [&] { rows = window.rowCount(); });
    // The rows are taken top to bottom, each where it is when the run reaches it.
    RowCursor cursor(window.rowModel(), rows);
    // The output folder's names, listed once.
    RFTSFSO::FolderNames outputFolderNames;
    // Over files that are not in the page cache, the next rows' files are read ahead.
    RFTSFSO::ReadAhead readAhead;
    QString outputPath;
    try {
        for (int row = cursor.take(); row >= 0; row = cursor.take()) {
            const int i = row + 1;  // the row's number
            QString inputPath;
            guard.step(124, [&] { inputPath = window.rowText(i - 1); });
            guard.step(126, [&] { window.setProgressValue(100.0 * i / window.rowCount()); });
            guard.step(128, [&] {
                window.setProgressText(QStringLiteral("Processing: ") +
                                       Main::GetFileName(inputPath));
            });
            guard.step(130, [&] { EventPump::LetEventsRun(); });
            guard.step(132, [&] { window.setMousePointer(MousePointer::Hourglass); });

            if (guard.test(134, [&] { return window.savesToFolder(); })) {
                guard.step(136, [&] {
                    outputPath = Engine::ResultPath(true, window.outputFolderText(), inputPath);
                });
            } else if (guard.test(138, [&] { return window.savesBesideOriginal(); })) {
                guard.step(140, [&] { outputPath = Engine::ResultPath(false, {}, inputPath); });
            }

            // An earlier row's result goes to the file this row reads or writes: it is put in
            // place first.
            if (queue.holds(inputPath) || (outputPath != inputPath && queue.holds(outputPath)))
                commitWaiting();

            readAhead.before([&](int k) {
                return row + k < window.rowCount() ? window.rowText(row + k) : QString();
            });

            // Steps 144 to 222: read the lines, run the operation, write the result. A file
            // that cannot be read is reported at 144 and a result that cannot be written at
            // 222, with the system's wording and the path; either way nothing is written for
            // this row and the run goes on with the next. Reports about earlier rows come
            // first.
            Operations::ProcessOptions options;
            options.lineNumber = *lineNumber;
            options.keepLineEnds = KeepsLineEnds(window.settings());
            if (outputPath != inputPath)
                options.outputFolder = &outputFolderNames;
            Operations::FileResult result;
            guard.step(144, [&] {
                try {
                    result = Operations::ProcessFile(inputPath, outputPath, context, options,
                                                     Operations::Destination::Prepare);
                } catch (const CommandAbandoned &) {
                    throw;
                } catch (const CommandStopped &) {
                    throw;
                } catch (...) {
                    commitWaiting();
                    summary.failed(CurrentExceptionDescription() + QStringLiteral(": ") +
                                   inputPath);
                    guard.at(144);
                    throw;
                }
                summary.finished(result.state);
                if (result.state == Operations::FileResult::State::Failed) {
                    commitWaiting();
                    summary.failed(DescribeFileError(*result.error));
                    guard.at(result.error->kind() == FileError::Kind::Write ? 222 : 144);
                    throw AppError(DescribeFileError(*result.error));
                }
            });
            summary.rowDone();
            if (result.pending) {
                const std::size_t tag = summary.written(*result.pending);
                for (const CommitFailure &failure : queue.add(std::move(result.pending), tag))
                    commitFailed(failure);
            }
        }
    } catch (const CommandAbandoned &) {
        // The window was closed: what is complete is put in place, the file in progress is
        // dropped, and nothing more is shown.
        queue.commit();
        throw;
    } catch (const CommandStopped &) {
        // The user stopped the run: what is complete is put in place, the file in progress is
        // dropped, and the run ends as after its last row.
        summary.stopped(cursor.remaining() + 1);
    }
    commitWaiting();
    guard.step(226, [&] { busy.end(MousePointer::Default); });
    guard.step(228, [&] { window.setProgressValue(0); });
    guard.step(230, [&] { window.setProgressText(QStringLiteral("Progress Bar")); });
    const QString details =
        summary.text(window.undoNote(journal.recorded() > 0, summary.anyWritten()));
    guard.step(232, [&] {
        platform.messageBox(QStringLiteral("Done."), QString(), Platform::Icon::None, details);
    });
}

}  // namespace RunDriver
