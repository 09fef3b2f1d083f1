#include "app/RunDriver.h"

#include "app/RunSummary.h"
#include "base/Convert.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "base/Platform.h"
#include "base/Settings.h"
#include "engine/Plan.h"
#include "engine/SequentialRun.h"
#include "engine/Sink.h"
#include "text/CodePages.h"
#include "text/OperationTable.h"
#include "text/Operations.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(RunDriver)
};

}  // namespace

namespace RunDriver {

namespace {

const QString &LineNumberCaption() {
    return Operations::Captions[4];
}

// What the operation loops ask while they work: the yield, and the window's current values. A
// stop the user asks for while the events run ends the run as after its last row.
class WindowLineContext : public Operations::LineContext {
public:
    explicit WindowLineContext(RunWindow &window) : window_(window) {}

    bool letEventsRun() override {
        try {
            return EventPump::LetEventsRun();
        } catch (const CommandStopped &) {
            throw Engine::Stopped{};
        }
    }
    // The event pump runs the events only so often.
    bool yieldsByClock() const override { return true; }
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

// The rows of the list, top to bottom, each where it is when the run reaches it: steps 124 to
// 140 for each, the progress, the yield, and where its result goes.
class WindowRows : public Engine::FileSource {
public:
    WindowRows(RunWindow &window, Guard &guard, RowCursor &cursor)
        : window_(window), guard_(guard), cursor_(cursor) {}

    bool next(std::vector<Engine::FileTask> &tasks) override {
        row_ = cursor_.take();
        if (row_ < 0)
            return false;
        const int i = row_ + 1;  // the row's number
        QString inputPath;
        guard_.step(124, [&] { inputPath = window_.rowText(i - 1); });
        guard_.step(126, [&] { window_.setProgressValue(100.0 * i / window_.rowCount()); });
        guard_.step(128, [&] {
            window_.setProgressText(Texts::tr("Processing: ") + Main::GetFileName(inputPath));
        });
        try {
            guard_.step(130, [&] { EventPump::LetEventsRun(); });
        } catch (const CommandStopped &) {
            throw Engine::Stopped{};
        }
        guard_.step(132, [&] { window_.setMousePointer(MousePointer::Hourglass); });

        if (guard_.test(134, [&] { return window_.savesToFolder(); })) {
            guard_.step(136, [&] {
                outputPath_ = Engine::ResultPath(true, window_.outputFolderText(), inputPath);
            });
        } else if (guard_.test(138, [&] { return window_.savesBesideOriginal(); })) {
            guard_.step(140, [&] { outputPath_ = Engine::ResultPath(false, {}, inputPath); });
        }
        Engine::FileTask task;
        task.input = inputPath;
        task.output = outputPath_;  // it keeps its last value when neither option is chosen
        task.intoFolder = outputPath_ != inputPath;
        readSettings();
        task.keepLineEnds = keepLineEnds_;
        task.legacyPage = legacyPage_;
        tasks.push_back(std::move(task));
        return true;
    }

    QString upcoming(int k) override {
        return row_ + k < window_.rowCount() ? window_.rowText(row_ + k) : QString();
    }

private:
    // The settings each file is read with, as they are now: looked up again only when the store
    // changed since the last file.
    void readSettings() {
        const Settings &settings = window_.settings();
        if (&settings == settingsFrom_ && settingsRead_ == settings.generation())
            return;
        keepLineEnds_ = KeepsLineEnds(settings);
        legacyPage_ = &LegacyCodePage(settings);
        settingsFrom_ = &settings;
        settingsRead_ = settings.generation();
    }

    RunWindow &window_;
    Guard &guard_;
    RowCursor &cursor_;
    int row_ = -1;
    QString outputPath_;
    bool keepLineEnds_ = false;
    const Operations::CodePage *legacyPage_ = nullptr;
    const Settings *settingsFrom_ = nullptr;  // the store they were read from; none yet
    std::uint64_t settingsRead_ = 0;          // its generation then
};

// What the run tells the window: a file that cannot be read is reported at 144, a result that
// cannot be written at 222, with the system's wording and the path; either way nothing is
// written for that row and the run goes on with the next. Every file counts in the summary.
class WindowReports : public Engine::RunSink {
public:
    WindowReports(Guard &guard, RunSummary &summary) : guard_(guard), summary_(summary) {}

    void fileDone(const Engine::FileReport &report) override {
        summary_.add(report);
        if (!report.failed())
            return;
        guard_.step(report.outcome == Engine::Outcome::WriteFailed ? 222 : 144,
                    [&] { throw AppError(report.reason()); });
    }

private:
    Guard &guard_;
    RunSummary &summary_;
};

}  // namespace

bool StoredChoice(const Settings &settings, const QString &key) {
    try {
        return Convert::ToBool(settings.get(key, QStringLiteral("False")));
    } catch (const AppError &) {
        return false;
    }
}

bool KeepsLineEnds(const Settings &settings) {
    return StoredChoice(settings, KeepLineEndsKey);
}

Operations::MatchOptions MatchOptionsOf(const Settings &settings) {
    return {StoredChoice(settings, MatchCaseKey), StoredChoice(settings, WholeWordsKey),
            StoredChoice(settings, RegularExpressionKey)};
}

const Operations::CodePage &LegacyCodePage(const Settings &settings) {
    const Operations::CodePage *page =
        Operations::CodePageNamed(settings.get(LegacyCodePageKey, QString()));
    return page != nullptr ? *page : Operations::DefaultCodePage();
}

std::string OperationName(const QString &chooserText) {
    for (const Operations::OperationInfo &info : Operations::OperationTable) {
        if (chooserText == QString::fromUtf8(info.caption))
            return info.name;
    }
    // Any other text runs the first row's loop.
    return Operations::OperationTable[0].name;
}

std::optional<long long> CheckInput(RunWindow &window, Guard &guard,
                                    std::optional<long long> lineNumber) {
    Platform &platform = window.platform();
    auto message = [&](int step, const QString &text) {
        guard.step(step, [&] { platform.messageBox(text); });
    };

    // Each failed check says why and ends the command.
    if (guard.test(100, [&] { return window.rowCount() == 0; })) {
        message(238, Texts::tr("No files added."));
        return std::nullopt;
    }
    if (!window.savesToFolder() && !window.savesBesideOriginal()) {
        platform.messageBox(Texts::tr("Please choose where to save the results."));
        return std::nullopt;
    }
    if (guard.test(102, [&] {
            return !Main::FolderExists(window.outputFolderText()) && !window.savesBesideOriginal();
        })) {
        message(236, Texts::tr("Folder does not exist. Please select another folder."));
        return std::nullopt;
    }
    if (guard.test(104, [&] { return window.conditionText().isEmpty(); })) {
        message(234, Texts::tr("Please provide text for: ") + window.conditionCaption());
        return std::nullopt;
    }
    bool proceed = false;
    guard.step(106, [&] { proceed = true; });
    QString lineNumberAnswer;
    if (lineNumber && window.chooserText() == LineNumberCaption())
        return lineNumber;
    if (guard.test(108, [&] { return window.chooserText() == LineNumberCaption(); })) {
        guard.step(110, [&] {
            lineNumberAnswer =
                platform.inputBox(Texts::tr("Enter row number n: "),
                                  Texts::tr("Input Row Number n"), QStringLiteral("10"));
        });
        if (guard.test(112, [&] { return !Convert::IsNumeric(lineNumberAnswer); })) {
            message(114, Texts::tr("Must be numeric value."));
            guard.step(116, [&] { proceed = false; });
        }
    }
    if (guard.test(118, [&] { return !proceed; }))
        return std::nullopt;
    return Engine::LineNumberFromAnswer(lineNumberAnswer);
}

void StartRemoving(RunWindow &window, std::optional<long long> givenLineNumber) {
    // A second "Start Removing" while the window is busy would start a run inside the run.
    if (window.isBusy())
        return;

    Platform &platform = window.platform();
    Guard guard(platform, Location::form1("PushButton8_Click"));
    const std::optional<long long> lineNumber = CheckInput(window, guard, givenLineNumber);
    if (!lineNumber)
        return;
    Engine::Plan plan;
    plan.match = MatchOptionsOf(window.settings());
    try {
        Engine::PrepareMatcher(plan, window.conditionText(), window.chooserText());
    } catch (const Operations::InvalidPattern &invalid) {
        platform.messageBox(invalid.message());
        return;
    }

    // The run, and what its undo record keeps of what it was asked.
    UndoRunWhat what;
    what.operation = OperationName(window.chooserText());
    const Operations::Operand operand = Operations::OperationNamed(what.operation)->operand;
    if (operand == Operations::Operand::Number)
        what.condition = std::to_string(*lineNumber);
    else if (operand == Operations::Operand::Text)
        what.condition = window.conditionText().toStdString();
    what.inPlace = !window.savesToFolder();
    if (!what.inPlace)
        what.folder = QFile::encodeName(
                          QDir::cleanPath(QFileInfo(window.outputFolderText()).absoluteFilePath()))
                          .toStdString();
    CountingJournal journal(window.startRunJournal(what));
    plan.lineNumber = *lineNumber;
    plan.journal = journal.journal();
    RunSummary summary;
    summary.skippedBySearch(window.skippedRows());
    if (plan.matcher)
        summary.setOptions(Operations::DescribeOptions(plan.match));
    BusyScope busy(window);
    guard.step(120, [&] { busy.begin(); });
    int rows = 0;
    guard.step(122, [&] { rows = window.rowCount(); });
    // The rows are taken top to bottom, each where it is when the run reaches it.
    RowCursor cursor(window.rowModel(), rows);
    WindowRows source(window, guard, cursor);
    WindowReports sink(guard, summary);
    WindowLineContext context(window);
    // Closing the window abandons the run: what is complete is put in place, the file in
    // progress is dropped, and nothing more is shown.
    const Engine::Totals totals = Engine::RunSequential(plan, source, context, sink);
    if (totals.stopped)
        summary.stopped(cursor.remaining() + 1);
    window.runFinished(summary);

    guard.step(226, [&] { busy.end(MousePointer::Default); });
    guard.step(228, [&] { window.setProgressValue(0); });
    guard.step(230, [&] { window.setProgressText(Texts::tr("Progress Bar")); });
    const QString details =
        summary.text(window.undoNote(journal.recorded() > 0, summary.written() > 0));
    guard.step(232, [&] {
        platform.messageBox(Texts::tr("Done."), QString(), Platform::Icon::None, details);
    });
}

}  // namespace RunDriver
