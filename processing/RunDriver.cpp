#include "RunDriver.h"

#include "CommitQueue.h"
#include "Convert.h"
#include "ErrorReport.h"
#include "EventPump.h"
#include "FileError.h"
#include "Main.h"
#include "Operations.h"
#include "Platform.h"
#include "Settings.h"

#include <QAbstractItemModel>

#include <array>
#include <cmath>

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

}  // namespace

bool KeepsLineEnds(const Settings &settings) {
    try {
        return Convert::ToBool(settings.get(KeepLineEndsKey, QStringLiteral("False")));
    } catch (const AppError &) {
        return false;
    }
}

long long LineNumberFromAnswer(const QString &answer) {
    const std::optional<double> number = Convert::ToDouble(answer);
    if (!number)
        return 0;
    const double rounded = Convert::RoundHalfEven(*number);
    // Beyond the 64-bit range no file has such a line.
    if (!(std::fabs(rounded) < 9223372036854775808.0))
        return 0;
    return static_cast<long long>(rounded);
}

void StartRemoving(RunWindow &window) {
    // A second "Start Removing" while the window is busy would start a run inside the run.
    if (window.isBusy())
        return;

    Platform &platform = window.platform();
    Guard guard(platform, Location::form1("PushButton8_Click"));
    auto message = [&](int step, const QString &text) {
        guard.step(step, [&] { platform.messageBox(text); });
    };

    // Checking the input: each failed check says why and ends the command.
    if (guard.test(100, [&] { return window.rowCount() == 0; })) {
        message(238, QStringLiteral("No files added."));
        return;
    }
    if (!window.savesToFolder() && !window.savesBesideOriginal()) {
        platform.messageBox(QStringLiteral("Please choose where to save the results."));
        return;
    }
    if (guard.test(102, [&] {
            return !Main::FolderExists(window.outputFolderText()) && !window.savesBesideOriginal();
        })) {
        message(236, QStringLiteral("Folder does not exist. Please select another folder."));
        return;
    }
    if (guard.test(104, [&] { return window.conditionText().isEmpty(); })) {
        message(234, QStringLiteral("Please provide text for: ") + window.conditionCaption());
        return;
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
        return;
    const long long lineNumber = LineNumberFromAnswer(lineNumberAnswer);

    // The run.
    WindowLineContext context(window);
    const std::unique_ptr<ReplacementJournal> journal = window.startRunJournal();
    // The disk's wait for one group overlaps the work on the next.
    CommitQueue queue(journal.get(), CommitQueue::Mode::Overlapped);
    // Puts the waiting results in place; a result that cannot be is reported for its own file.
    auto commitWaiting = [&] {
        for (const CommitFailure &failure : queue.commit())
            guard.step(222, [&] { throw AppError(DescribeFileError(failure.error)); });
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
                    outputPath = Main::CollapseBackslashes(window.outputFolderText() +
                                                           Main::NativeSeparator +
                                                           Main::GetFileName(inputPath));
                });
            } else if (guard.test(138, [&] { return window.savesBesideOriginal(); })) {
                // The folder keeps its separator, so the doubled one collapses: the result
                // replaces the input file.
                guard.step(140, [&] {
                    outputPath = Main::CollapseBackslashes(Main::GetFolderPath(inputPath) +
                                                           Main::NativeSeparator +
                                                           Main::GetFileName(inputPath));
                });
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
            options.lineNumber = lineNumber;
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
                } catch (...) {
                    commitWaiting();
                    guard.at(144);
                    throw;
                }
                if (result.state == Operations::FileResult::State::Failed) {
                    commitWaiting();
                    guard.at(result.error->kind() == FileError::Kind::Write ? 222 : 144);
                    throw AppError(DescribeFileError(*result.error));
                }
            });
            if (result.pending) {
                for (const CommitFailure &failure :
                     queue.add(std::move(result.pending), static_cast<std::size_t>(i)))
                    guard.step(222, [&] { throw AppError(DescribeFileError(failure.error)); });
            }
        }
    } catch (const CommandAbandoned &) {
        // The window was closed: what is complete is put in place, the file in progress is
        // dropped, and nothing more is shown.
        queue.commit();
        throw;
    }
    commitWaiting();
    guard.step(226, [&] { busy.end(MousePointer::Default); });
    guard.step(228, [&] { window.setProgressValue(0); });
    guard.step(230, [&] { window.setProgressText(QStringLiteral("Progress Bar")); });
    message(232, QStringLiteral("Done."));
}

}  // namespace RunDriver
