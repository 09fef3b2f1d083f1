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
    // A character that Latin-1 cannot hold becomes "?".
    QByteArray conditionText() override { return window_.conditionText().toLatin1(); }
    QString chooserText() override { return window_.chooserText(); }

private:
    RunWindow &window_;
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
    CommitQueue queue(journal.get());
    // Puts the waiting results in place; a result that cannot be is reported for its own file.
    auto commitWaiting = [&] {
        for (const CommitFailure &failure : queue.commit())
            guard.step(222, [&] { throw AppError(DescribeFileError(failure.error)); });
    };
    guard.step(120, [&] { window.setMousePointer(MousePointer::Hourglass); });
    int rows = 0;
    guard.step(122, [&] { rows = window.rowCount(); });
    QString outputPath;
    try {
        for (int i = 1; i <= rows; ++i) {
            // Rows removed while the run yielded (by a command that cleared the busy pointer)
            // leave nothing more to do.
            if (i > window.rowCount())
                break;
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

            // Steps 144 to 222: read the lines, run the operation, write the result. A file
            // that cannot be read is reported at 144 and a result that cannot be written at
            // 222, with the system's wording and the path; either way nothing is written for
            // this row and the run goes on with the next. Reports about earlier rows come
            // first.
            Operations::ProcessOptions options;
            options.lineNumber = lineNumber;
            options.keepLineEnds = KeepsLineEnds(window.settings());
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
    guard.step(226, [&] { window.setMousePointer(MousePointer::Default); });
    guard.step(228, [&] { window.setProgressValue(0); });
    guard.step(230, [&] { window.setProgressText(QStringLiteral("Progress Bar")); });
    message(232, QStringLiteral("Done."));
}

}  // namespace RunDriver
