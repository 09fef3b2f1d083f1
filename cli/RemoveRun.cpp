#include "cli/RemoveRun.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "cli/CliPlatform.h"
#include "cli/Report.h"
#include "cli/Stop.h"
#include "cli/UnifiedDiff.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FileError.h"
#include "text/Operations.h"
#include "undo/UndoStore.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace Cli {

namespace {

constexpr std::size_t NoTask = std::numeric_limits<std::size_t>::max();
// Results a worker lets gather before it wakes the committer.
constexpr std::size_t WakeBatch = 8;
// Tasks found before the workers are told of them.
constexpr std::size_t PublishBatch = 64;

struct Task {
    QString input;
    QString output;
    // The earlier task whose result must be in place before this one starts.
    std::size_t after = NoTask;
    // A PATH that could not be used: its record, reported in its place.
    std::unique_ptr<FileRecord> problem;
};

Task Problem(FileRecord record) {
    Task task;
    task.problem = std::make_unique<FileRecord>(std::move(record));
    return task;
}

// The run's answers to the operation loops: the condition and the operation never change, and
// a stop ends the file in the middle.
class WorkerContext : public Operations::LineContext {
public:
    WorkerContext(QString text, QString caption)
        : text_(std::move(text)), caption_(std::move(caption)) {}
    bool letEventsRun() override {
        if (Stop::Signal() != 0)
            throw Stop::Stopped{};
        return false;
    }
    QString conditionText() override { return text_; }
    QString chooserText() override { return caption_; }

private:
    QString text_;
    QString caption_;
};

std::string Bytes(const QString &path) {
    return QFile::encodeName(path).toStdString();
}

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileRecord PathProblem(const QString &path, const std::string &bytes, const QString &text) {
    FileRecord record;
    record.path = path;
    if (Bytes(path) != bytes)
        record.pathBytes = bytes;
    record.state = FileRecord::State::Failed;
    record.error = text;
    record.errorKind = "path";
    return record;
}

// --- The files ----------------------------------------------------------------------------------

std::string Canonical(const std::string &path) {
    char *real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string text(real);
    std::free(real);
    return text;
}

// The files of the PATHs, in the order given: a folder's files as the window's walk finds
// them, any other PATH as it is; what cannot be used as a problem, in its place.
//
// Every folder is walked first (the walk looks for folders only); their files are then listed
// one folder at a time while the run goes, so that the first files are worked on while later
// folders are read. The run makes new files only in the output folder and the undo store (and
// hidden temporary files, which a listing leaves out): a walked folder that is one of those is
// listed before anything is written, so that the run works on the files that were there when
// it started, as the window's list holds them.
class Finder {
public:
    // `written`: the folders the run makes files in, symbolic links resolved.
    Finder(const RemoveRequest &request, std::vector<std::string> written)
        : pattern_(QStringLiteral("*.") + request.extension), written_(std::move(written)) {
        for (const std::string &bytes : request.paths)
            sources_.push_back(find(bytes));
    }

    // Hands each task to `take`; `folderDone` after each folder's files.
    void list(const std::function<void(Task)> &take, const std::function<void()> &folderDone) {
        for (Source &source : sources_) {
            for (Task &task : source.tasks)
                take(std::move(task));
            for (qsizetype f = 0; f < source.folders.size(); ++f) {
                const QStringList rows = source.listed[std::size_t(f)]
                                             ? *source.listed[std::size_t(f)]
                                             : filesOf(source.folders[f]);
                for (const QString &row : rows) {
                    Task task;
                    task.input = row;
                    take(std::move(task));
                }
                folderDone();
            }
        }
    }

private:
    struct Source {
        std::vector<Task> tasks;  // a file, or problems; before the folders' files
        QStringList folders;      // a folder's walk
        std::vector<std::optional<QStringList>> listed;  // files listed beforehand
    };

    QStringList filesOf(const QString &folder) const {
        FileListModel found;
        AddFolder::TakeFolderListFiles({folder}, pattern_, found);
        return RowsOf(found);
    }

    static QStringList RowsOf(const FileListModel &list) {
        QStringList rows;
        rows.reserve(list.count());
        for (int row = 0; row < list.count(); ++row)
            rows.append(list.text(row));
        return rows;
    }

    Source find(const std::string &bytes) {
        Source source;
        QString path;
        if (!DecodeUtf8(bytes, path)) {
            const QString shown = QString::fromUtf8(bytes);
            source.tasks.push_back(
                Problem(PathProblem(shown, bytes, Reason(EILSEQ) + QStringLiteral(": ") + shown)));
            return source;
        }
        if (!Main::FolderExists(path)) {
            struct stat info;
            if (::stat(bytes.c_str(), &info) != 0) {
                source.tasks.push_back(
                    Problem(PathProblem(path, bytes, Reason(errno) + QStringLiteral(": ") + path)));
                return source;
            }
            Task task;
            task.input = path;  // as given, like a file dropped on the list
            source.tasks.push_back(std::move(task));
            return source;
        }
        // A folder that cannot be read at all is said so here; those below it that cannot be
        // read are passed over, as the window's walk passes them over.
        int error = 0;
        if (DIR *folder = AddFolder::SystemFolders().open(path, error))
            ::closedir(folder);
        if (error != 0) {
            source.tasks.push_back(
                Problem(PathProblem(path, bytes, Reason(error) + QStringLiteral(": ") + path)));
            return source;
        }
        CliPlatform platform([&](const QString &text) {
            source.tasks.push_back(Problem(PathProblem(path, bytes, text)));
        });
        source.folders = {path + Main::NativeSeparator};
        AddFolder::GetSubDirectories2016(platform, source.folders, true);
        for (const QString &folder : std::as_const(source.folders)) {
            const bool written =
                !written_.empty() && std::find(written_.begin(), written_.end(),
                                               Canonical(Bytes(folder))) != written_.end();
            source.listed.push_back(written ? std::optional<QStringList>(filesOf(folder))
                                            : std::nullopt);
        }
        return source;
    }

    const QString pattern_;
    const std::vector<std::string> written_;
    std::vector<Source> sources_;
};

// --- Which tasks wait for which -----------------------------------------------------------------

// The place a path names, the way the reader and the writer reach it: its folder with every
// symbolic link resolved, and its name, followed when it is a symbolic link. Two paths that
// reach one place get the same key.
class Places {
public:
    std::string keyOf(const QString &path, int depth = 0) {
        std::string bytes = Bytes(path);
        const std::size_t slash = bytes.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".")
                                   : slash == 0               ? std::string("/")
                                                              : bytes.substr(0, slash);
        const std::string name = slash == std::string::npos ? bytes : bytes.substr(slash + 1);
        Folder &known = folderOf(folder);
        if (name.empty() || name == "." || name == ".." || isLink(known, folder, name))
            return resolved(path, bytes, depth);
        return known.canonical + (known.canonical == "/" ? "" : "/") + name;
    }

private:
    struct Folder {
        std::string canonical;
        std::size_t asked = 0;
        bool listed = false;
        std::unordered_set<std::string> links;  // when listed: its entries that are links
    };

    static std::string canonical(const std::string &path) {
        if (char *real = ::realpath(path.c_str(), nullptr)) {
            std::string text(real);
            std::free(real);
            return text;
        }
        // Nowhere yet (an output folder a dry run does not make): the path made absolute.
        if (!path.empty() && path[0] == '/')
            return path;
        return Bytes(QDir::currentPath()) + '/' + path;
    }

    Folder &folderOf(const std::string &folder) {
        auto found = folders_.find(folder);
        if (found == folders_.end()) {
            found = folders_.emplace(folder, Folder{}).first;
            found->second.canonical = canonical(folder);
        }
        return found->second;
    }

    // Whether `name` in the folder is a symbolic link. A folder that many paths are in is
    // listed once; for a few names each is looked at on its own.
    static bool isLink(Folder &known, const std::string &folder, const std::string &name) {
        constexpr std::size_t ListFrom = 16;
        if (!known.listed && ++known.asked > ListFrom) {
            known.listed = true;
            if (DIR *dir = ::opendir(folder.c_str())) {
                while (const dirent *entry = ::readdir(dir)) {
                    bool link = entry->d_type == DT_LNK;
                    if (entry->d_type == DT_UNKNOWN) {
                        struct stat own;
                        link = ::fstatat(::dirfd(dir), entry->d_name, &own, AT_SYMLINK_NOFOLLOW) ==
                                   0 &&
                               S_ISLNK(own.st_mode);
                    }
                    if (link)
                        known.links.insert(entry->d_name);
                }
                ::closedir(dir);
            }
        }
        if (known.listed)
            return known.links.count(name) > 0;
        struct stat own;
        const std::string path = folder + '/' + name;
        return ::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
    }

    // A link, or a name that stands for a folder: where it leads.
    std::string resolved(const QString &path, const std::string &bytes, int depth) {
        if (char *real = ::realpath(bytes.c_str(), nullptr)) {
            std::string text(real);
            std::free(real);
            return text;
        }
        // A link to nothing yet: the writer makes the file where it leads.
        if (depth < 8) {
            try {
                const RFTSFSO::ResultTarget target = RFTSFSO::ResolveResultTarget(path);
                if (target.path != bytes)
                    return keyOf(QFile::decodeName(target.path.c_str()), depth + 1);
            } catch (const FileError &) {
            }
        }
        return canonical(bytes);
    }

    std::unordered_map<std::string, Folder> folders_;
};

// Each task waits for the latest earlier task whose output is its input or its output.

// Each task waits for the latest earlier task whose output is its input or its output: that
// result must be in place before the task reads or compares.
class Planner {
public:
    explicit Planner(bool inPlace) : inPlace_(inPlace) {}

    void plan(Task &task, std::size_t index) {
        if (task.problem)
            return;
        const std::string input = places_.keyOf(task.input);
        const std::string output = inPlace_ ? input : places_.keyOf(task.output);
        for (const std::string *key : {&input, &output}) {
            const auto writer = lastWriter_.find(*key);
            if (writer != lastWriter_.end() &&
                (task.after == NoTask || writer->second > task.after))
                task.after = writer->second;
        }
        lastWriter_[output] = index;
    }

private:
    bool inPlace_;
    Places places_;
    std::unordered_map<std::string, std::size_t> lastWriter_;
};

// --- Working and committing ---------------------------------------------------------------------

// One task's outcome, from its worker to the committer.
struct Slot {
    bool done = false;
    bool reached = false;  // false: a stop came before the file or in the middle of it
    Operations::FileResult result;
    QString failure;  // anything other than a FileError that ended the file
    std::string diff;
    std::uint64_t bytes = 0;  // the input's size, for the progress line
};

// The tasks are added by the thread that finds them while worker threads prepare results and
// the committer thread takes them in order, puts them in place and reports them.
class Pipeline {
public:
    Pipeline(const RemoveRequest &request, Reporter &reporter, CommitQueue *queue,
             QString evaluatedOutput)
        : request_(request),
          reporter_(reporter),
          queue_(queue),
          evaluatedOutput_(std::move(evaluatedOutput)),
          planner_(request.inPlace),
          window_(std::max<std::size_t>(16, 4 * static_cast<std::size_t>(request.jobs))),
          firstFileClock_(std::getenv("STRELMARK_STARTUP_CLOCK") != nullptr) {
        options_.lineNumber = request.lineNumber;
        options_.keepLineEnds = request.keepLineEnds;
        for (int w = 0; w < request.jobs; ++w)
            workers_.emplace_back([this] { work(); });
        committer_ = std::thread([this] { commitInOrder(); });
    }
    Pipeline(const Pipeline &) = delete;
    Pipeline &operator=(const Pipeline &) = delete;
    ~Pipeline() { finish(); }

    // A task found; the workers hear of it with the next publish().
    void add(Task task) {
        if (!task.problem) {
            task.output =
                request_.inPlace
                    ? task.input
                    : Main::CollapseBackslashes(request_.outFolder + Main::NativeSeparator +
                                                Main::GetFileName(task.input));
            // A dry run writes nothing, so no file waits for another's result.
            if (queue_ != nullptr)
                planner_.plan(task, added_);
        }
        found_.push_back(std::move(task));
        ++added_;
        if (found_.size() >= PublishBatch)
            publish();
    }

    // Hands the tasks added so far to the workers.
    void publish() {
        if (found_.empty())
            return;
        {
            std::lock_guard lock(mutex_);
            for (Task &task : found_) {
                tasks_.push_back(std::move(task));
                slots_.emplace_back();
            }
        }
        found_.clear();
        workReady_.notify_all();
        resultReady_.notify_one();
    }

    // No more tasks: waits until every one is done, or a stop ended the run. Answers the tasks
    // that were not processed.
    std::size_t finish() {
        if (finished_)
            return notProcessed_;
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
        notProcessed_ = tasks_.size() - taken_;
        return notProcessed_;
    }

private:
    // --- The workers

    void work() {
        WorkerContext ctx(request_.text, CaptionOf(request_.operation));
        for (;;) {
            std::size_t j;
            const Task *task;
            {
                std::unique_lock lock(mutex_);
                workReady_.wait(lock, [&] {
                    return stopping_ || (next_ < tasks_.size() && next_ - consumed_ < window_) ||
                           (allAdded_ && next_ >= tasks_.size());
                });
                if (stopping_ || next_ >= tasks_.size())
                    return;
                j = next_++;
                task = &tasks_[j];
                const std::size_t after = task->after;
                if (after != NoTask && after >= committedThrough_) {
                    // The result it needs is taken in order and put in place at once.
                    const auto need = needed_.insert(after + 1);
                    resultReady_.notify_one();
                    workReady_.wait(lock, [&] { return stopping_ || after < committedThrough_; });
                    needed_.erase(need);
                }
                if (stopping_) {
                    slots_[j].done = true;
                    ++finishedTasks_;
                    lock.unlock();
                    resultReady_.notify_one();
                    return;
                }
                current_ = j;
            }
            if (firstFileClock_ && j == 0) {
                timespec now;
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "strelmark: first file at %lld ns\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            }
            Slot slot;
            process(*task, slot, ctx);
            bool wake;
            {
                std::lock_guard lock(mutex_);
                bytesDone_ += slot.bytes;
                slot.done = true;
                slots_[j] = std::move(slot);
                ++finishedTasks_;
                // The committer is woken for a batch of results rather than for each: a wake-up
                // costs more than a small file. It is woken at once when a task waits for a
                // result to be in place, when the workers would have to wait for it, and at
                // the end; and it looks by itself every so often.
                wake = !needed_.empty() || finishedTasks_ - consumed_ >= WakeBatch ||
                       next_ - consumed_ >= window_ || next_ >= tasks_.size() ||
                       Stop::Signal() != 0;
            }
            if (wake)
                resultReady_.notify_one();
        }
    }

    void process(const Task &task, Slot &slot, WorkerContext &ctx) {
        if (task.problem) {
            slot.reached = true;
            return;
        }
        if (Stop::Signal() != 0)
            return;
        if (reporter_.showsProgress()) {
            struct stat info;
            if (::stat(QFile::encodeName(task.input).constData(), &info) == 0)
                slot.bytes = static_cast<std::uint64_t>(info.st_size);
        }
        // A dry run into an output folder not made yet looks at each result as a new file in
        // the folder that it would be made in.
        const QString &output = evaluatedOutput_.isEmpty() ? task.output : evaluatedOutput_;
        try {
            slot.result =
                Operations::ProcessFile(task.input, output, ctx, options_,
                                        request_.dryRun ? Operations::Destination::DryRun
                                                        : Operations::Destination::Prepare);
            if (request_.diff && slot.result.state == Operations::FileResult::State::Changed)
                slot.diff = DiffOfFile(task.input, task.output, ctx, options_);
            slot.reached = true;
        } catch (const Stop::Stopped &) {
            slot.result = Operations::FileResult();  // dropped: nothing of it is written
        } catch (const FileError &error) {
            // The file changed between the dry run and the diff's own reading.
            slot.result = Operations::FileResult();
            slot.result.error = error;
            slot.reached = true;
        } catch (const std::exception &error) {
            slot.result = Operations::FileResult();
            slot.failure = QString::fromLocal8Bit(error.what()) + QStringLiteral(": ") + task.input;
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
            if (reporter_.outputError() != 0)
                Stop::Request(SIGPIPE);
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            taken_ = k;
        }
        workReady_.notify_all();
        // What finished is put in place; later results that are ready are dropped with their
        // slots, nothing of them written.
        if (queue_ != nullptr)
            applyFailures(queue_->commit());
        inQueue_.clear();
        flush();
    }

    // Waits for task k's outcome and takes it; null when it will never come (the end, or a
    // stop). Meanwhile commits for the workers that wait for results to be in place.
    const Task *take(std::size_t k, Slot &slot) {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!stopping_ && Stop::Signal() != 0) {
                stopping_ = true;
                workReady_.notify_all();
            }
            if (k < tasks_.size() && slots_[k].done)
                break;
            if (commitWanted()) {
                lock.unlock();
                commitNow();
                lock.lock();
                continue;
            }
            if ((allAdded_ && k >= tasks_.size()) || (stopping_ && k >= next_))
                return nullptr;
            resultReady_.wait_for(lock, std::chrono::milliseconds(100));
            if (reporter_.showsProgress()) {
                const std::size_t current = current_, total = tasks_.size();
                const std::uint64_t bytes = bytesDone_;
                const QString name = current < total ? tasks_[current].input : QString();
                lock.unlock();
                reporter_.progress(k, total, bytes, name);
                lock.lock();
            }
        }
        slot = std::move(slots_[k]);
        slots_[k] = Slot();
        slots_[k].done = true;
        consumed_ = k + 1;
        const Task *task = &tasks_[k];
        lock.unlock();
        workReady_.notify_all();
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
        if (queue_ != nullptr && !queue_->empty()) {
            applyFailures(queue_->commit());
            inQueue_.clear();
            flush();
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

    FileRecord recordOf(const Task &task, Slot &slot) const {
        if (task.problem)
            return *task.problem;
        FileRecord record;
        record.path = task.input;
        record.output = task.output;
        const Operations::FileResult &result = slot.result;
        using State = Operations::FileResult::State;
        if (!slot.failure.isEmpty() || result.state == State::Failed) {
            record.state = FileRecord::State::Failed;
            if (result.error) {
                record.error = DescribeFileError(*result.error);
                record.errorKind = result.error->kind() == FileError::Kind::Read ? "read" : "write";
            } else {
                record.error = slot.failure;
                record.errorKind = "read";
            }
            return record;
        }
        record.state = result.state == State::Changed     ? FileRecord::State::Changed
                       : result.state == State::Unchanged ? FileRecord::State::Unchanged
                                                          : FileRecord::State::Empty;
        record.linesRead = result.linesRead;
        record.linesRemoved = result.linesRead - result.linesKept;
        record.charactersRemoved = result.charactersRemoved;
        record.diff = std::move(slot.diff);
        return record;
    }

    void handle(std::size_t k, const Task &task, Slot &slot) {
        if (waiting_.empty())
            waitingBase_ = k;
        waiting_.push_back(recordOf(task, slot));
        if (queue_ != nullptr && slot.result.pending) {
            inQueue_.push_back(k);
            applyFailures(queue_->add(std::move(slot.result.pending), k));
            // The queue keeps the latest results; those it no longer holds are in place.
            while (inQueue_.size() > queue_->size())
                inQueue_.pop_front();
        }
        flush();
        if (queue_ == nullptr || queue_->empty()) {
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
        if (reporter_.showsProgress()) {
            std::unique_lock lock(mutex_);
            const std::size_t total = tasks_.size();
            const std::uint64_t bytes = bytesDone_;
            lock.unlock();
            reporter_.progress(k + 1, total, bytes, task.input);
        }
    }

    void applyFailures(const std::vector<CommitFailure> &failures) {
        for (const CommitFailure &failure : failures) {
            if (failure.tag < waitingBase_ || failure.tag - waitingBase_ >= waiting_.size())
                continue;
            FileRecord &record = waiting_[failure.tag - waitingBase_];
            FileRecord failed;
            failed.path = record.path;
            failed.output = record.output;
            record = std::move(failed);
            record.state = FileRecord::State::Failed;
            record.error = DescribeFileError(failure.error);
            record.errorKind = "write";
        }
    }

    // Reports, in order, every waiting record whose result is no longer waiting to be put in
    // place: a record is final once its result is.
    void flush() {
        const std::size_t end =
            inQueue_.empty() ? waitingBase_ + waiting_.size() : inQueue_.front();
        while (!waiting_.empty() && waitingBase_ < end) {
            reporter_.file(std::move(waiting_.front()));
            waiting_.pop_front();
            ++waitingBase_;
        }
    }

    const RemoveRequest &request_;
    Reporter &reporter_;
    CommitQueue *queue_;
    const QString evaluatedOutput_;
    Operations::ProcessOptions options_;

    // The finding thread's side.
    Planner planner_;
    std::vector<Task> found_;  // added, not yet published
    std::size_t added_ = 0;
    bool finished_ = false;

    std::mutex mutex_;
    std::condition_variable workReady_;    // workers: a task may be taken, or results are in place
    std::condition_variable resultReady_;  // the committer: results are done, or wanted in place
    // Published tasks and their slots; elements stay where they are as more are added.
    std::deque<Task> tasks_;
    std::deque<Slot> slots_;
    bool allAdded_ = false;
    std::size_t next_ = 0;              // the next task to hand out
    std::size_t consumed_ = 0;          // tasks the committer has taken
    std::size_t finishedTasks_ = 0;     // tasks whose outcome is in their slot or was taken
    std::size_t committedThrough_ = 0;  // tasks before it have their results in place
    // For each worker that waits for a result to be in place: the tasks before this one.
    std::multiset<std::size_t> needed_;
    const std::size_t window_;  // tasks handed out but not yet taken, at most
    bool stopping_ = false;
    std::size_t taken_ = 0;  // tasks the committer handled
    std::size_t notProcessed_ = 0;
    std::uint64_t bytesDone_ = 0;
    std::atomic<std::size_t> current_{NoTask};  // the task started last
    const bool firstFileClock_;
    std::vector<std::thread> workers_;
    std::thread committer_;

    // The committer's own.
    std::deque<FileRecord> waiting_;  // records of tasks waitingBase_ onwards, not yet reported
    std::size_t waitingBase_ = 0;
    std::deque<std::size_t> inQueue_;  // tasks whose results the queue holds, in order
};

// Where a dry run that would make the output folder looks at its results: a name that nothing
// has in the nearest folder above it that exists, where the folder would be made.
QString EvaluationPath(const QString &outFolder) {
    QString folder = QDir(outFolder).absolutePath();
    while (!Main::FolderExists(folder) && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).path();
    for (int n = 0;; ++n) {
        const QString path = QDir(folder).filePath(
            QStringLiteral(".strelmark-dry-run-%1-%2").arg(::getpid()).arg(n));
        struct stat info;
        if (::lstat(Bytes(path).c_str(), &info) != 0 && errno == ENOENT)
            return path;
    }
}

// Makes the folder and the folders above it that are missing, as mkdir -p: 0 or the errno.
int MakeFolders(const QString &folder) {
    const std::string path = Bytes(QDir(folder).absolutePath());
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return errno;
    }
    return Main::FolderExists(folder) ? 0 : ENOTDIR;
}

}  // namespace

int RunRemove(const RemoveRequest &request) {
    Reporter reporter(request);

    // The output folder.
    QString evaluatedOutput;
    if (!request.inPlace && !Main::FolderExists(request.outFolder)) {
        if (QFileInfo::exists(request.outFolder) && !QFileInfo(request.outFolder).isDir())
            throw UsageError(
                QStringLiteral("--out %1 is not a folder").arg(request.outFolder).toStdString());
        if (!request.makeFolder)
            throw UsageError(QStringLiteral("the folder %1 does not exist (--mkdir makes it)")
                                 .arg(request.outFolder)
                                 .toStdString());
        if (request.dryRun) {
            evaluatedOutput = EvaluationPath(request.outFolder);
        } else if (const int error = MakeFolders(request.outFolder)) {
            reporter.error(QStringLiteral("cannot make the folder %1: %2")
                               .arg(request.outFolder, Reason(error)));
            reporter.finish(0, 1);
            return 1;
        }
    }

    // The undo store keeps what the run replaces; a run that writes does not start without it.
    std::vector<std::string> written;  // the folders the run makes files in
    std::unique_ptr<UndoRecorder> recorder;
    std::unique_ptr<CommitQueue> queue;
    if (!request.dryRun) {
        UndoStore store;
        if (store.folder().isEmpty()) {
            reporter.error(QStringLiteral(
                "no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)"));
            reporter.finish(0, 1);
            return 1;
        }
        if (const int error = store.prepare()) {
            reporter.error(QStringLiteral("the undo store cannot be used: %1: %2 (nothing was "
                                          "changed)")
                               .arg(Reason(error), store.folder()));
            reporter.finish(0, 1);
            return 1;
        }
        recorder = store.beginRun(UndoFace::CommandLine);
        queue = std::make_unique<CommitQueue>(recorder.get());
        written.push_back(Canonical(Bytes(store.folder())));
        if (!request.inPlace)
            written.push_back(Canonical(Bytes(request.outFolder)));
    }

    // The files, found as the window finds them, are worked on as they are found. The search
    // lets the event loop run; a stop asked for meanwhile abandons it.
    std::size_t notProcessed = 0;
    {
        Pipeline pipeline(request, reporter, queue.get(), evaluatedOutput);
        QSocketNotifier stopWatch(Stop::Descriptor(), QSocketNotifier::Read);
        QObject::connect(&stopWatch, &QSocketNotifier::activated, [] { EventPump::RequestQuit(); });
        try {
            Finder finder(request, written);
            finder.list([&](Task task) { pipeline.add(std::move(task)); },
                        [&] { pipeline.publish(); });
        } catch (const CommandAbandoned &) {
            // Stopped while searching: the signal that did it ends the run.
        }
        EventPump::Reset();
        notProcessed = pipeline.finish();
    }
    reporter.notProcessed(notProcessed);
    queue.reset();
    if (recorder)
        recorder->finish();

    int status = reporter.failed() ? 1 : 0;
    const int signal = Stop::Signal();
    if (reporter.outputError() != 0 && reporter.outputError() != EPIPE) {
        reporter.error(
            QStringLiteral("cannot write the output: %1").arg(Reason(reporter.outputError())));
        status = 1;
    } else if (signal != 0) {
        status = 128 + signal;
    }
    reporter.finish(reporter.outputError() == 0 ? signal : 0, status);
    return status;
}

}  // namespace Cli
