#include "RunDriver.h"

#include "Convert.h"
#include "ErrorReport.h"
#include "EventPump.h"
#include "FileError.h"
#include "Main.h"
#include "Operations.h"
#include "Platform.h"

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

}  // namespace

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
    guard.step(120, [&] { window.setMousePointer(MousePointer::Hourglass); });
    int rows = 0;
    guard.step(122, [&] { rows = window.rowCount(); });
    QString outputPath;
    for (int i = 1; i <= rows; ++i) {
        // Rows removed while the run yielded (by a command that cleared the busy pointer)
        // leave nothing more to do.
        if (i > window.rowCount())
            break;
        QString inputPath;
        guard.step(124, [&] { inputPath = window.rowText(i - 1); });
        guard.step(126, [&] { window.setProgressValue(100.0 * i / window.rowCount()); });
        guard.step(128, [&] {
            window.setProgressText(QStringLiteral("Processing: ") + Main::GetFileName(inputPath));
        });
        guard.step(130, [&] { EventPump::LetEventsRun(); });
        guard.step(132, [&] { window.setMousePointer(MousePointer::Hourglass); });

        if (guard.test(134, [&] { return window.savesToFolder(); })) {
            guard.step(136, [&] {
                outputPath =
                    Main::CollapseBackslashes(window.outputFolderText() + Main::NativeSeparator +
                                              Main::GetFileName(inputPath));
            });
        } else if (guard.test(138, [&] { return window.savesBesideOriginal(); })) {
            // The folder keeps its separator, so the doubled one collapses: the result
            // replaces the input file.
            guard.step(140, [&] {
                outputPath =
                    Main::CollapseBackslashes(Main::GetFolderPath(inputPath) +
                                              Main::NativeSeparator + Main::GetFileName(inputPath));
            });
        }

        // Steps 144 to 222: read the lines, run the operation, write the result. A file that
        // cannot be read is reported at 144 and a result that cannot be written at 222, with the
        // system's wording and the path; either way nothing is written for this row and the run
        // goes on with the next.
        guard.step(144, [&] {
            try {
                Operations::ProcessFile(inputPath, outputPath, context, lineNumber);
            } catch (const FileError &error) {
                if (error.kind() == FileError::Kind::Write)
                    guard.at(222);
                throw AppError(DescribeFileError(error));
            }
        });
    }
    guard.step(226, [&] { window.setMousePointer(MousePointer::Default); });
    guard.step(228, [&] { window.setProgressValue(0); });
    guard.step(230, [&] { window.setProgressText(QStringLiteral("Progress Bar")); });
    message(232, QStringLiteral("Done."));
}

}  // namespace RunDriver
