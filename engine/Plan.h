// What a run is asked to do, and the two conversions every front end shares: where a file's
// result goes, and which line "Remove line number n in all files" removes for an answer.
#pragma once

#include "text/Matcher.h"

#include <QString>

#include <atomic>
#include <memory>

class ReplacementJournal;

namespace Engine {

// A run, as far as it is the same for every file. What may change from file to file (the
// output path, the line ends) is in each FileTask; what may change from line to line (the
// condition, the operation's caption) comes from the run's line context.
struct Plan {
    // The line that "Remove line number n in all files" drops, from 1 (already rounded).
    long long lineNumber = 0;
    // Nothing is written anywhere: what would happen is found out.
    bool dryRun = false;
    // Files worked on at once (the parallel driver).
    int jobs = 1;
    // The record of what the run replaces (the undo store's), or null: each group of results
    // is recorded in it before it is put in place.
    ReplacementJournal *journal = nullptr;
    // The parallel driver's operation and condition, the same for every line: the chooser's
    // text (a caption) and the condition text as typed. The sequential driver asks its line
    // context instead, which may change them as the run goes.
    QString chooserText;
    QString conditionText;
    // A dry run into an output folder that is not made yet looks at each result as a new file
    // at this path (a free name where the folder would be made); empty: at its output path.
    QString dryRunOutput;
    // "Match case", "Whole words", "Regular expression"; all off: the literal, case-blind text.
    Operations::MatchOptions match;
    // Each match is replaced by `replacement` (`strelmark replace`), whatever the operation.
    bool replacing = false;
    QString replacement;
    // The condition compiled (PrepareMatcher), shared by every file; null with every option off
    // and nothing to replace.
    std::shared_ptr<const Operations::Matcher> matcher;
};

// Compiles the plan's condition, `conditionText` (the parallel driver's or the window's), into
// plan.matcher when an option is on or the run replaces, and the operation `chooserText`
// selects uses the condition. The drivers do it before the first file when the front end has
// not; a front end does it before it touches anything, to refuse a run whose pattern does not
// compile. Throws Operations::InvalidPattern.
void PrepareMatcher(Plan &plan, const QString &conditionText, const QString &chooserText);

// Thrown by a run's line context or its source of files when the run is to stop: the file in
// progress is dropped, what is complete is put in place, and the run ends as after its last
// file.
struct Stopped {};

// A request to stop, which the run's contexts look at before each line and the drivers between
// files. Any thread may ask; so may a signal handler, through the flag it notes signals in.
class StopToken {
public:
    StopToken() = default;
    // A token that also counts as asked once `signal` holds anything but 0.
    explicit StopToken(const std::atomic<int> *signal) : signal_(signal) {}

    void request() { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const {
        return requested_.load(std::memory_order_relaxed) ||
               (signal_ != nullptr && signal_->load(std::memory_order_relaxed) != 0);
    }

private:
    std::atomic<bool> requested_{false};
    const std::atomic<int> *signal_ = nullptr;
};

// Where the result of `inputPath` goes: into `outputFolder` (the text of the output folder's
// box, or the command line's folder) under the input's name when `toFolder`, else in place of
// the input itself.
QString ResultPath(bool toFolder, const QString &outputFolder, const QString &inputPath);

// The line that "Remove line number n in all files" removes for the answer typed at its
// prompt: any number, rounded half to even; 0 (no line) for an answer that is no number or
// lies beyond every line a file can have.
long long LineNumberFromAnswer(const QString &answer);

}  // namespace Engine
