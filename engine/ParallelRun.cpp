#include "engine/ParallelRun.h"

#include "engine/FileWork.h"
#include "engine/FixedContext.h"
#include "engine/Relations.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FolderNames.h"
#include "files/Place.h"
#include "files/ReadAhead.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Run)
};

}  // namespace

namespace Engine {

namespace {

constexpr std::size_t NoTask = std::numeric_limits<std::size_t>::max();
// Results a worker lets gather before it wakes the committer.
constexpr std::size_t WakeBatch = 8;
// Tasks found before the workers are told of them.
constexpr std::size_t PublishBatch = 64;
// Tasks a worker takes at once, at most: a small file costs less than taking it alone (a lock,
// and the wake-ups of the threads that wait on it).
constexpr std::size_t TakeBatch = 8;
// Tasks handed out but not yet taken by the committer, for each worker and at most: each holds
// its prepared result open until the committer takes it.
constexpr std::size_t WindowPerWorker = 32;
constexpr std::size_t MostWindow = 256;
// Tasks published but not yet taken by the committer, at most: the finding thread waits
// beyond, so that a run over a long list keeps what it found of a few thousand files, not of
// the list.
constexpr std::size_t MostAhead = 4096;

struct Task {
    FileTask file;
    RFTSFSO::Place input, output;
    // The earlier task whose result must be in place before this one starts.
    std::size_t after = NoTask;
};

// Each task waits for the latest earlier task whose output is its input or its output: that
// result must be in place before the task reads or compares. The finding thread's own.
class Planner {
public:
    explicit Planner(bool waits) : waits_(waits) {}

    void plan(Task &task, std::size_t index) {
        if (!task.file.problem.isEmpty() || task.file.stream)
            return;
        task.input = places_.of(task.file.input);
        task.output =
            task.file.output == task.file.input ? task.input : places_.of(task.file.output);
        if (!waits_)
            return;  // a dry run writes nothing, so no file waits for another's result
        for (const RFTSFSO::Place *place : {&task.input, &task.output}) {
            const auto writer = lastWriter_.find(*place);
            if (writer != lastWriter_.end() &&
                (task.after == NoTask || writer->second > task.after))
                task.after = writer->second;
        }
        lastWriter_[task.output] = index;
    }

    // Tasks before `index` have their results in place: no later task waits for them, so
    // what the planner keeps stays as large as the tasks in flight, not as the run.
    void settledBefore(std::size_t index) {
        if (lastWriter_.size() < 2 * kept_ + 1024)
            return;
        for (auto entry = lastWriter_.begin(); entry != lastWriter_.end();) {
            if (entry->second < index)
                entry = lastWriter_.erase(entry);
            else
                ++entry;
        }
        kept_ = lastWriter_.size();
    }

private:
    bool waits_;
    std::size_t kept_ = 0;  // entries left by the last settledBefore() that looked
    RFTSFSO::Places places_;
    std::unordered_map<RFTSFSO::Place, std::size_t, RFTSFSO::PlaceHash> lastWriter_;
};

// One task's outcome, from its worker to the committer.
struct Slot {
    bool done = false;
    bool reached = false;  // false: a stop came before the file or in the middle of it
    FileReport report;
    std::unique_ptr<PendingResult> pending;
};

QString DescriptionOf(const std::exception &error) {
    if (dynamic_cast<const std::bad_alloc *>(&error) != nullptr)
        return Texts::tr("Out of memory");
    return QString::fromUtf8(error.what());
}

// The tasks are added by the thread that finds them while worker threads prepare results and
// the committer thread takes them in order, puts them in place and tells the sink.
class Pipeline {
public:
    Pipeline(const Plan &plan, RunSink &sink, StopToken &stop)
        : plan_(plan),
          sink_(sink),
          stop_(stop),
          planner_(!plan.dryRun),
          jobs_(static_cast<std::size_t>(std::max(1, plan.jobs))),
          window_(std::min(MostWindow, WindowPerWorker * jobs_)) {
        if (!plan.dryRun)
            queue_.emplace(plan.journal, CommitQueue::Mode::Overlapped);
        for (int w = 0; w < std::max(1, plan.jobs); ++w)
            workers_.emplace_back([this] { work(); });
        committer_ = std::thread([this] { commitInOrder(); });
    }
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;
    ~Pipeline() { finish(); }

    // A task found; the workers hear of it with the next publish(). False as publish().
    bool add(FileTask file) {
        Task task;
        task.file = std::move(file);
        planner_.plan(task, added_);
        found_.push_back(std::move(task));
        ++added_;
        return found_.size() < PublishBatch || publish();
    }

    // Hands the tasks added so far to the workers, once the committer is near enough. False
    // when the run is ending (a stop): nothing more is worked on.
    bool publish() {
        if (found_.empty())
            return true;
        std::size_t settled;
        {
            std::unique_lock lock(mutex_);
            roomReady_.wait(lock, [&] { return stopping_ || published() - consumed_ < MostAhead; });
            if (stopping_) {
                found_.clear();
                return false;
            }
            for (Task &task : found_)
                entries_.push_back(Entry{std::move(task), Slot()});
            settled = committedThrough_;
        }
        found_.clear();
        planner_.settledBefore(settled);
        workReady_.notify_all();
        resultReady_.notify_one();
        return true;
    }

    // No more tasks: waits until every one is told, or a stop ended the run. Answers the totals.
    Totals finish() {
        if (finished_)
            return totals_;
        finished_ = true;
        publish();
        {
            std::lock_guard lock(mutex_);
            allAdded_ = true;
        }
        workReady_.notify_all();
        resultReady_.notify_one();
        committer_.join();
        for (std::thread &worker : workers_)
            worker.join();
        totals_.notProcessed = published() - taken_;
        totals_.stopped = totals_.stopped || stop_.requested();
        return totals_;
    }

private:
    // --- The workers

    void work() {
        FixedLineContext ctx(plan_.chooserText, plan_.conditionText, &stop_);
        std::vector<std::pair<std::size_t, const Task *>> batch;
        std::vector<Slot> outcomes;
        for (;;) {
            batch.clear();
            bool othersWait = false;
            if (!take(batch, othersWait))
                return;
            outcomes.resize(batch.size());
            for (std::size_t b = 0; b < batch.size(); ++b) {
                const auto [j, task] = batch[b];
                current_ = j;
                readAhead(j);
                outcomes[b] = Slot();
                process(*task, j, outcomes[b], ctx, othersWait);
            }
            bool wake;
            {
                std::lock_guard lock(mutex_);
                for (std::size_t b = 0; b < batch.size(); ++b) {
                    bytesDone_ += outcomes[b].report.inputBytes;
                    outcomes[b].done = true;
                    entryAt(batch[b].first).slot = std::move(outcomes[b]);
                }
                finishedTasks_ += batch.size();
                // The committer is woken for a batch of results rather than for each: a wake-up
                // costs more than a small file. It is woken at once when a task waits for a
                // result to be in place, when the workers would have to wait for it, and at
                // the end; and it looks by itself every so often.
                wake = !needed_.empty() || finishedTasks_ - consumed_ >= WakeBatch ||
                       next_ - consumed_ >= window_ || next_ >= published() || stop_.requested();
            }
            if (wake)
                resultReady_.notify_one();
        }
    }

    // Takes the next tasks for a worker into `batch`: the next one, once the results it needs
    // are in place, and those after it that need none that is not, as many as leave the other
    // workers their share; `othersWait`: tasks are left for them. False: no more work (the
    // end, or a stop).
    bool take(std::vector<std::pair<std::size_t, const Task *>> &batch, bool &othersWait) {
        std::unique_lock lock(mutex_);
        workReady_.wait(lock, [&] {
            return stopping_ || (next_ < published() && next_ - consumed_ < window_) ||
                   (allAdded_ && next_ >= published());
        });
        if (stopping_ || next_ >= published())
            return false;
        const std::size_t j = next_++;
        const std::size_t after = entryAt(j).task.after;
        if (after != NoTask && after >= committedThrough_) {
            // The result it needs is taken in order and put in place at once.
            const auto need = needed_.insert(after + 1);
            resultReady_.notify_one();
            workReady_.wait(lock, [&] { return stopping_ || after < committedThrough_; });
            needed_.erase(need);
        }
        if (stopping_) {
            entryAt(j).slot.done = true;
            ++finishedTasks_;
            lock.unlock();
            resultReady_.notify_one();
            return false;
        }
        batch.emplace_back(j, &entryAt(j).task);
        const std::size_t share = std::min(TakeBatch, (published() - next_) / jobs_);
        while (batch.size() < share && next_ - consumed_ < window_) {
            const std::size_t needs = entryAt(next_).task.after;
            if (needs != NoTask && needs >= committedThrough_)
                break;  // it waits on its own, so that the batch does not wait with it
            batch.emplace_back(next_, &entryAt(next_).task);
            ++next_;
        }
        othersWait = next_ < published();
        return true;
    }

    // Over files that are not in the page cache, the files after task j are read ahead.
    void readAhead(std::size_t j) {
        std::lock_guard lock(readAheadMutex_);
        readAhead_.before([&](int k) {
            std::lock_guard tasksLock(mutex_);
            const std::size_t at = j + static_cast<std::size_t>(k);
            return at < published() ? entryAt(at).task.file.input : QString();
        });
    }

    // `othersWait`: files were left for the other workers when this one was taken.
    void process(const Task &task, std::size_t j, Slot &slot, FixedLineContext &ctx,
                 bool othersWait) {
        FileReport &report = slot.report;
        report.index = j;
        report.task = task.file;
        if (!task.file.problem.isEmpty()) {
            report.outcome = report.task.skipped ? Outcome::Skipped : Outcome::PathFailed;
            slot.reached = true;
            return;
        }
        if (stop_.requested())
            return;
        sink_.fileStarted(task.file, j);
        WorkOptions options;
        options.lineNumber = plan_.lineNumber;
        options.keepLineEnds = task.file.keepLineEnds;
        options.makeFolders = task.file.makeFolders;
        options.binaryAsText = task.file.binaryAsText;
        options.legacyPage = task.file.legacyPage;
        options.matcher = plan_.matcher.get();
        options.recorded = plan_.journal != nullptr;
        // One worker leaves the writing to a thread of its own, on another core. Several have
        // the cores to themselves while files wait for them, and handing a result over then
        // costs more than writing it; a large file with no other to go to is still written
        // behind its reading.
        using WriteBehind = WorkOptions::WriteBehind;
        options.writeBehind = jobs_ == 1   ? WriteBehind::Always
                              : othersWait ? WriteBehind::Never
                                           : WriteBehind::LargeFiles;
        if (task.file.intoFolder || task.file.makeFolders)
            options.outputFolder = &outputFolder_;
        options.folders = &folders_;
        // A dry run into an output folder not made yet looks at each result as a new file in
        // the folder that it would be made in.
        const QString &output =
            plan_.dryRunOutput.isEmpty() ? task.file.output : plan_.dryRunOutput;
        try {
            FileResult result =
                task.file.stream
                    ? ProcessStream(STDIN_FILENO, STDOUT_FILENO, ctx, options)
                    : ProcessFile(task.file.input, output, ctx, options,
                                  plan_.dryRun ? Destination::DryRun : Destination::Prepare);
            report.outcome = result.outcome;
            report.linesRead = result.linesRead;
            report.linesKept = result.linesKept;
            report.charactersRemoved = result.charactersRemoved;
            report.inputBytes = result.inputBytes;
            report.binary = result.binary;
            report.error = std::move(result.error);
            report.failure = std::move(result.failure);
            slot.pending = std::move(result.pending);
            if (slot.pending)
                report.target = slot.pending->target();
            sink_.prepare(report, ctx);
            slot.reached = true;
        } catch (const Stopped &) {
            slot = Slot();  // dropped: nothing of it is written
        } catch (const FileError &error) {
            // The file changed between the work and the sink's own reading of it.
            slot.pending.reset();
            report.outcome =
                error.kind() == FileError::Kind::Read ? Outcome::ReadFailed : Outcome::WriteFailed;
            report.error = error;
            slot.reached = true;
        } catch (const std::exception &error) {
            slot.pending.reset();
            report.outcome = Outcome::ReadFailed;
            report.failure = DescriptionOf(error);
            slot.reached = true;
        }
    }

    // --- The committer

    void commitInOrder() {
        std::size_t k = 0;
        for (;; ++k) {
            Slot slot;
            const Task *task = take(k, slot);
            if (task == nullptr || !slot.reached)
                break;  // the end, or a stop before this file ended: it and those after stay
            handle(k, *task, slot);
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            taken_ = k;
        }
        workReady_.notify_all();
        roomReady_.notify_all();
        // What finished is put in place; later results that are ready are dropped with their
        // slots, nothing of them written.
        if (queue_)
            apply(queue_->commit());
        deliver();
    }

    // Waits for task k's outcome and takes it; null when it will never come (the end, or a
    // stop). Meanwhile commits for the workers that wait for results to be in place.
    const Task *take(std::size_t k, Slot &slot) {
        std::unique_lock lock(mutex_);
        // The results told so far are in place, though the queue still holds later ones: the
        // planner hears of it, and forgets the writers of those places.
        committedThrough_ = std::max(committedThrough_, placedThrough_);
        // Every task before k is handled: what is kept of them goes.
        while (first_ < k && !entries_.empty()) {
            entries_.pop_front();
            ++first_;
        }
        for (;;) {
            if (!stopping_ && stop_.requested()) {
                stopping_ = true;
                workReady_.notify_all();
                roomReady_.notify_all();
            }
            if (k < published() && entryAt(k).slot.done)
                break;
            if (commitWanted()) {
                lock.unlock();
                commitNow();
                lock.lock();
                continue;
            }
            if ((allAdded_ && k >= published()) || (stopping_ && k >= next_))
                return nullptr;
            resultReady_.wait_for(lock, std::chrono::milliseconds(100));
            if (sink_.showsProgress()) {
                Progress progress{k, published(), bytesDone_, {}};
                const std::size_t current = current_;
                if (current >= first_ && current < published())
                    progress.current = entryAt(current).task.file.input;
                lock.unlock();
                sink_.progress(progress);
                lock.lock();
            }
        }
        Entry &entry = entryAt(k);
        slot = std::move(entry.slot);
        entry.slot = Slot();
        entry.slot.done = true;
        consumed_ = k + 1;
        const Task *task = &entry.task;
        const bool room = published() - consumed_ == MostAhead / 2;
        lock.unlock();
        workReady_.notify_all();
        if (room)
            roomReady_.notify_one();
        return task;
    }

    // A worker waits for results that the committer has taken but not yet put in place (the
    // mutex is held).
    bool commitWanted() const {
        return !needed_.empty() && *needed_.begin() <= consumed_ &&
               committedThrough_ < *needed_.begin();
    }

    // Puts every waiting result in place; then every task taken so far has its result there.
    void commitNow() {
        if (queue_ && !queue_->empty()) {
            apply(queue_->commit());
            deliver();
        }
        settle();
    }

    // Notes that the results of every task taken so far are in place (the queue holds none).
    void settle() {
        {
            std::lock_guard lock(mutex_);
            committedThrough_ = consumed_;
        }
        workReady_.notify_all();
    }

    void handle(std::size_t k, const Task &task, Slot &slot) {
        FileReport &report = slot.report;
        if (task.file.problem.isEmpty() && !task.file.stream)
            relations_.settle(report, task.input, task.output);
        std::optional<std::size_t> handed;
        if (queue_ && slot.pending)
            handed = handed_++;
        waiting_.push_back(Waiting{std::move(report), handed});
        if (handed)
            apply(queue_->add(std::move(slot.pending), waiting_.back().report.index));
        deliver();
        if (!queue_ || queue_->empty()) {
            settle();
        } else {
            bool wanted;
            {
                std::lock_guard lock(mutex_);
                wanted = commitWanted();
            }
            if (wanted)
                commitNow();
        }
        if (sink_.showsProgress()) {
            std::unique_lock lock(mutex_);
            const Progress progress{k + 1, published(), bytesDone_, task.file.input};
            lock.unlock();
            sink_.progress(progress);
        }
    }

    // One file whose outcome is not yet told: its result may still be on its way into place.
    struct Waiting {
        FileReport report;
        std::optional<std::size_t> handed;  // its result's number in the queue
    };

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

    // Tells, in order, every waiting file whose result is no longer on its way into place.
    void deliver() {
        while (!waiting_.empty()) {
            Waiting &front = waiting_.front();
            if (front.handed && *front.handed >= queue_->settled())
                return;
            totals_.add(front.report);
            sink_.fileDone(front.report);
            placedThrough_ = front.report.index + 1;
            waiting_.pop_front();
        }
    }

    const Plan &plan_;
    RunSink &sink_;
    StopToken &stop_;
    std::optional<CommitQueue> queue_;
    RFTSFSO::FolderNames outputFolder_;
    RFTSFSO::HeldFolders folders_;  // the folders of the files in place, held open
    std::mutex readAheadMutex_;
    RFTSFSO::ReadAhead readAhead_;

    // The finding thread's side.
    Planner planner_;
    std::vector<Task> found_;  // added, not yet published
    std::size_t added_ = 0;
    bool finished_ = false;

    std::mutex mutex_;
    std::condition_variable workReady_;    // workers: a task may be taken, or results are in place
    std::condition_variable resultReady_;  // the committer: results are done, or wanted in place
    std::condition_variable roomReady_;    // the finding thread: more tasks may be published
    // The published tasks from the first one the committer has not handled, with their slots;
    // elements stay where they are as more are added and the handled ones go.
    struct Entry {
        Task task;
        Slot slot;
    };
    std::deque<Entry> entries_;
    std::size_t first_ = 0;  // the task at entries_.front()
    Entry &entryAt(std::size_t index) { return entries_[index - first_]; }
    std::size_t published() const { return first_ + entries_.size(); }
    bool allAdded_ = false;
    std::size_t next_ = 0;              // the next task to hand out
    std::size_t consumed_ = 0;          // tasks the committer has taken
    std::size_t finishedTasks_ = 0;     // tasks whose outcome is in their slot or was taken
    std::size_t committedThrough_ = 0;  // tasks before it have their results in place
    // For each worker that waits for a result to be in place: the tasks before this one.
    std::multiset<std::size_t> needed_;
    const std::size_t jobs_;
    const std::size_t window_;  // tasks handed out but not yet taken, at most
    bool stopping_ = false;
    std::size_t taken_ = 0;          // tasks the committer handled
    std::size_t placedThrough_ = 0;  // the committer's: tasks before it are told, so in place
    std::uint64_t bytesDone_ = 0;
    std::atomic<std::size_t> current_{NoTask};  // the task started last
    std::vector<std::thread> workers_;
    std::thread committer_;

    // The committer's own.
    Relations relations_;
    std::deque<Waiting> waiting_;
    std::size_t handed_ = 0;  // results handed to the queue
    Totals totals_;
};

}  // namespace

Totals RunParallel(const Plan &given, FileSource &source, RunSink &sink, StopToken &stop) {
    Plan plan = given;
    if (!plan.matcher && (plan.match.any() || plan.replacing))
        PrepareMatcher(plan, plan.conditionText, plan.chooserText);
    Pipeline pipeline(plan, sink, stop);
    std::vector<FileTask> tasks;
    try {
        while (!stop.requested() && source.next(tasks)) {
            bool goesOn = true;
            for (FileTask &task : tasks)
                goesOn = pipeline.add(std::move(task)) && goesOn;
            tasks.clear();
            if (!goesOn || !pipeline.publish())
                break;
        }
    } catch (const Stopped &) {
        stop.request();
    }
    return pipeline.finish();
}

}  // namespace Engine
