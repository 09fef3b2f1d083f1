#include "engine/SequentialRun.h"

#include "engine/FileWork.h"
#include "engine/Relations.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FolderNames.h"
#include "files/Place.h"
#include "files/ReadAhead.h"

#include <QCoreApplication>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Run)
};

}  // namespace

namespace Engine {

namespace {

// The description of a failure that is no FileError, as a report box words it.
QString DescriptionOf(const std::exception &error) {
    if (dynamic_cast<const std::bad_alloc *>(&error) != nullptr)
        return Texts::tr("Out of memory");
    return QString::fromUtf8(error.what());
}

class SequentialRun {
public:
    SequentialRun(const Plan &plan, FileSource &source, Operations::LineContext &ctx, RunSink &sink)
        : plan_(plan), source_(source), ctx_(ctx), sink_(sink) {
        if (!plan.dryRun)
            queue_.emplace(plan.journal, CommitQueue::Mode::Overlapped);
    }

    Totals run() {
        std::vector<FileTask> tasks;
        try {
            while (source_.next(tasks)) {
                for (FileTask &task : tasks)
                    work(std::move(task));
                tasks.clear();
            }
        } catch (const Stopped &) {
            totals_.stopped = true;
        } catch (...) {
            // What is complete is put in place; nothing more is told.
            if (queue_)
                queue_->commit();
            throw;
        }
        commitWaiting();
        return totals_;
    }

private:
    // One file whose outcome is not yet told: its result may still be on its way into place.
    struct Waiting {
        FileReport report;
        RFTSFSO::Place output;
        std::optional<std::size_t> added;  // its result's number in the queue
    };

    void work(FileTask task) {
        FileReport report;
        report.index = next_++;
        report.task = std::move(task);
        if (!report.task.problem.isEmpty()) {
            report.outcome = report.task.skipped ? Outcome::Skipped : Outcome::PathFailed;
            tell(std::move(report), {}, {});
            return;
        }
        const RFTSFSO::Place input = places_.of(report.task.input);
        const RFTSFSO::Place output =
            report.task.output == report.task.input ? input : places_.of(report.task.output);
        // An earlier file's result goes to the place this one reads or writes: it goes in place
        // first.
        if (!held_.empty() && (held_.count(input) > 0 || held_.count(output) > 0))
            commitWaiting();
        readAhead_.before([&](int k) { return source_.upcoming(k); });

        sink_.fileStarted(report.task, report.index);
        FileResult result = process(report);
        std::unique_ptr<PendingResult> pending = std::move(result.pending);
        if (pending)
            report.target = pending->target();
        sink_.prepare(report, ctx_);
        if (report.failed()) {
            commitWaiting();
            tell(std::move(report), input, output);
            return;
        }
        if (pending && queue_) {
            ++held_[output];
            waiting_.push_back(Waiting{std::move(report), output, handed_++});
            apply(queue_->add(std::move(pending), waiting_.back().report.index));
            relate(waiting_.back(), input);
            deliver();
            return;
        }
        tell(std::move(report), input, output);
    }

    FileResult process(FileReport &report) {
        WorkOptions options;
        options.lineNumber = plan_.lineNumber;
        options.keepLineEnds = report.task.keepLineEnds;
        options.binaryAsText = report.task.binaryAsText;
        options.legacyPage = report.task.legacyPage;
        options.matcher = plan_.matcher.get();
        options.recorded = plan_.journal != nullptr;
        if (report.task.intoFolder)
            options.outputFolder = &outputFolder_;
        options.folders = &folders_;
        FileResult result;
        try {
            result = ProcessFile(report.task.input, report.task.output, ctx_, options,
                                 plan_.dryRun ? Destination::DryRun : Destination::Prepare);
        } catch (const std::exception &error) {
            result = FileResult();
            report.failure = DescriptionOf(error);
        }
        report.outcome = result.outcome;
        report.linesRead = result.linesRead;
        report.linesKept = result.linesKept;
        report.charactersRemoved = result.charactersRemoved;
        report.inputBytes = result.inputBytes;
        report.error = std::move(result.error);
        if (!result.failure.isEmpty())
            report.failure = result.failure;
        return result;
    }

    // A file whose outcome is final: told once every earlier one is.
    void tell(FileReport report, const RFTSFSO::Place &input, const RFTSFSO::Place &output) {
        waiting_.push_back(Waiting{std::move(report), output, std::nullopt});
        if (waiting_.back().report.task.problem.isEmpty())
            relate(waiting_.back(), input);
        deliver();
    }

    void relate(Waiting &entry, const RFTSFSO::Place &input) {
        relations_.settle(entry.report, input, entry.output);
    }

    void commitWaiting() {
        if (queue_ && !queue_->empty())
            apply(queue_->commit());
        deliver();
    }

    // Results that could not be put in place fail, with their reason.
    void apply(const std::vector<CommitFailure> &failures) {
        for (const CommitFailure &failure : failures) {
            for (Waiting &entry : waiting_) {
                if (entry.report.index != failure.tag)
                    continue;
                FileReport &report = entry.report;
                report.outcome = Outcome::WriteFailed;
                report.error = failure.error;
                report.failedAtCommit = true;
                report.linesRead = report.linesKept = report.charactersRemoved = 0;
            }
        }
    }

    // Tells, in order, each waiting file whose outcome is final.
    void deliver() {
        while (!waiting_.empty()) {
            Waiting &front = waiting_.front();
            if (front.added && *front.added >= queue_->settled())
                return;
            if (front.added) {
                const auto found = held_.find(front.output);
                if (found != held_.end() && --found->second == 0)
                    held_.erase(found);
            }
            totals_.add(front.report);
            sink_.fileDone(front.report);
            waiting_.pop_front();
        }
    }

    const Plan &plan_;
    FileSource &source_;
    Operations::LineContext &ctx_;
    RunSink &sink_;
    std::optional<CommitQueue> queue_;
    std::size_t next_ = 0;    // the index of the next file
    std::size_t handed_ = 0;  // results handed to the queue
    RFTSFSO::Places places_;
    Relations relations_;
    RFTSFSO::FolderNames outputFolder_;
    RFTSFSO::HeldFolders folders_;  // the folders of the files in place, held open
    RFTSFSO::ReadAhead readAhead_;
    std::deque<Waiting> waiting_;
    // The places of the results in the queue, each with how many go there.
    std::unordered_map<RFTSFSO::Place, std::size_t, RFTSFSO::PlaceHash> held_;
    Totals totals_;
};

}  // namespace

Totals RunSequential(const Plan &plan, FileSource &source, Operations::LineContext &ctx,
                     RunSink &sink) {
    if (!plan.matcher && (plan.match.any() || plan.replacing)) {
        Plan compiled = plan;
        PrepareMatcher(compiled, ctx.conditionText(), ctx.chooserText());
        return SequentialRun(compiled, source, ctx, sink).run();
    }
    return SequentialRun(plan, source, ctx, sink).run();
}

}  // namespace Engine
