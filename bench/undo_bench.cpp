// Times what the undo store adds to an in-place run: 10,000 small files, each read, changed and
// written back in place through the commit path of the run (the result written to an unnamed
// file beside its target and made durable, a group of results recorded, then each linked in and
// renamed over its target), with and without the store's record.
//
// Contenders, each on its own fresh copy of the files and, for the store, a fresh store on the
// same file system:
//   none   the commit path alone
//   link   with the undo store keeping each replaced file by hard link (what a run does)
//   copy   with the store made to copy every replaced file (what it does across file systems)
// Each is repeated and the median is reported, the order rotated between repetitions. The time
// of the whole run includes reading and writing every file and the store's finish (its bounds).
// The undo of the last run is timed as well, for information.
//
// usage: undo_bench [--files N] [--group N] [--reps N] [--sync each|group] [--record-first]
//                   [--real] [--dir DIR]...
//   --files  files per run (default 10000), 2 to 8 KB each
//   --group  results per recorded group (default 32: a few dozen, as the commit queue groups)
//   --sync   each: fdatasync per result (as the writer does today; default); group: one syncfs
//            per group instead
//   --record-first  with --sync group: the group is recorded before its results are flushed,
//            and the results' file system is flushed only when it is not the store's (whose
//            flush in recordGroup() covered them)
//   --real   each file through the program's own path instead: the core in place (ProcessFile)
//            and the commit queue as the window's run uses it (--group, --sync and
//            --record-first do not apply)
//   --dir    where the files and the store go, in a fresh folder; repeatable (default
//            /dev/shm; on a disk, folders there are emptied only at the end)

#include "BenchSupport.h"

#include "engine/FileWork.h"
#include "files/CommitQueue.h"
#include "text/Operations.h"
#include "undo/UndoStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Options {
    int files = 10000;
    std::size_t group = 32;
    int reps = 5;
    bool syncEach = true;
    bool recordFirst = false;
    bool real = false;
    std::vector<std::string> dirs;
};

[[noreturn]] void Fail(const std::string &what) {
    std::fprintf(stderr, "undo_bench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Small HTML-like pages of 2 to 8 KB, the same for every contender.
void MakeFiles(const std::string &folder, int count) {
    fs::create_directories(folder);
    Bench::Random random(20250114);
    std::string page;
    for (int i = 0; i < count; ++i) {
        page = "<html><head><meta http-equiv=\"content-type\" content=\"text/html\">\n";
        const std::size_t size = 2000 + random.below(6000);
        while (page.size() < size) {
            page += "<p>";
            for (std::size_t words = 4 + random.below(12); words > 0; --words)
                page += "word" + std::to_string(random.below(1000)) + ' ';
            page += "</p>\n";
        }
        page += "</html>\n";
        const std::string path = folder + "/page" + std::to_string(i) + ".html";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, page.data(), page.size()) != ssize_t(page.size()))
            Fail(path);
        ::close(fd);
    }
}

std::string ReadAll(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(path);
    std::string bytes;
    char buffer[16384];
    for (ssize_t size; (size = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(size));
    ::close(fd);
    return bytes;
}

// Passes the groups on to the store's record, timing what they take.
class TimedJournal : public ReplacementJournal {
public:
    explicit TimedJournal(ReplacementJournal &journal) : journal_(journal) {}
    std::vector<int> recordGroup(const std::vector<Replacement> &group) override {
        const double start = Now();
        std::vector<int> answers = journal_.recordGroup(group);
        seconds += Now() - start;
        return answers;
    }
    std::uint64_t device() const override { return journal_.device(); }
    double seconds = 0;

private:
    ReplacementJournal &journal_;
};

struct Pending {
    std::string target;
    int fd;
    Replacement entry;
};

// Links the pending results in and renames each over its target; answers from the journal
// first when there is one. With one flush per group, the results are flushed before the group
// is recorded; or, with --record-first, after it, and only when the store's flush did not
// cover their file system.
void CommitGroup(std::vector<Pending> &group, ReplacementJournal *journal,
                 const UndoRecorder *recorder, const Options &options) {
    if (group.empty())
        return;
    const bool recordFirst = options.recordFirst && journal;
    if (!options.syncEach && !recordFirst)
        ::syncfs(group.front().fd);
    std::vector<int> answers(group.size(), 0);
    if (journal) {
        std::vector<Replacement> entries;
        for (const Pending &pending : group)
            entries.push_back(pending.entry);
        answers = journal->recordGroup(entries);
    }
    if (!options.syncEach && recordFirst && recorder->device() != group.front().entry.newDevice)
        ::syncfs(group.front().fd);

    for (std::size_t i = 0; i < group.size(); ++i) {
        Pending &pending = group[i];
        if (answers[i] != 0) {
            errno = answers[i];
            Fail("keeping " + pending.target);
        }
        const std::string temporary = pending.target + ".new";
        char proc[64];
        std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", pending.fd);
        if (::linkat(AT_FDCWD, proc, AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0)
            Fail("linking " + temporary);
        ::close(pending.fd);
        if (::rename(temporary.c_str(), pending.target.c_str()) != 0)
            Fail("renaming " + temporary);
    }
    group.clear();
}

// One in-place run over the files: each page loses its first line (the meta line), or gets it
// back, so that every run changes every file by the same amount.
void InPlaceRun(const std::vector<std::string> &files, ReplacementJournal *journal,
                const UndoRecorder *recorder, const Options &options) {
    std::vector<Pending> group;
    for (const std::string &file : files) {
        std::string bytes = ReadAll(file);
        const std::string meta = "<html><head><meta";
        if (bytes.compare(0, meta.size(), meta) == 0)
            bytes.erase(0, bytes.find('\n') + 1);
        else
            bytes.insert(0, "<html><head><meta http-equiv=\"content-type\">\n");
        const std::string folder = file.substr(0, file.rfind('/'));
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            Fail("writing beside " + file);
        if (options.syncEach && ::fdatasync(fd) != 0)
            Fail("syncing " + file);
        struct stat info;
        ::fstat(fd, &info);
        Replacement entry;
        entry.target = file;
        entry.existed = true;
        entry.newDevice = info.st_dev;
        entry.newInode = info.st_ino;
        entry.newSize = static_cast<std::uint64_t>(info.st_size);
        entry.newModifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        group.push_back({file, fd, entry});
        if (group.size() == options.group)
            CommitGroup(group, journal, recorder, options);
    }
    CommitGroup(group, journal, recorder, options);
}

// The same run through the program's own path: each page read and its "meta http" line
// removed by the core (ProcessFile, in place), the results committed by the commit queue as
// the window's run commits them (overlapped groups, recorded before they are flushed).
class FixedContext : public Operations::LineContext {
public:
    bool letEventsRun() override { return false; }
    QString conditionText() override { return QStringLiteral("meta http"); }
    QString chooserText() override { return Operations::Captions[0]; }
};

void RealRun(const std::vector<std::string> &files, ReplacementJournal *journal) {
    FixedContext ctx;
    CommitQueue queue(journal, CommitQueue::Mode::Overlapped);
    std::size_t row = 0;
    auto check = [](const std::vector<CommitFailure> &failures) {
        if (!failures.empty()) {
            errno = failures.front().error.error();
            Fail("committing " + failures.front().error.path().toStdString());
        }
    };
    for (const std::string &file : files) {
        const QString path = QString::fromStdString(file);
        Engine::FileResult result = Engine::ProcessFile(path, path, ctx, Engine::WorkOptions(),
                                                        Engine::Destination::Prepare);
        if (result.outcome != Engine::Outcome::Changed)
            Fail("no result for " + file);
        check(queue.add(std::move(result.pending), row++));
    }
    check(queue.commit());
}

std::vector<std::string> FilesIn(const std::string &folder) {
    std::vector<std::string> files;
    for (const auto &entry : fs::directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

void Measure(const std::string &base, const Options &options) {
    const std::string root = base + "/strelmark-undo-bench-" + std::to_string(::getpid());
    fs::create_directories(root);
    const bool tmpfs = Bench::FileSystemName(root) == "tmpfs";
    if (options.real)
        std::printf(
            "\n%d files of 2-8 KB in %s (%s), the core in place and the commit queue "
            "(overlapped groups, recorded before they are flushed), median of %d\n",
            options.files, root.c_str(), Bench::FileSystemName(root).c_str(), options.reps);
    else
        std::printf("\n%d files of 2-8 KB in %s (%s), groups of %zu, %s, median of %d\n",
                    options.files, root.c_str(), Bench::FileSystemName(root).c_str(), options.group,
                    options.syncEach ? "fdatasync per result" : "one syncfs per group",
                    options.reps);

    const char *const contenders[] = {"none", "link", "copy"};
    std::map<std::string, std::vector<double>> times;
    std::map<std::string, std::vector<double>> recording;  // in recordGroup() and finish()
    std::vector<double> undoTimes;
    int fresh = 0;
    for (int rep = 0; rep < options.reps; ++rep) {
        for (int k = 0; k < 3; ++k) {
            const std::string name = contenders[(rep + k) % 3];
            const std::string work = root + "/" + std::to_string(fresh++);
            MakeFiles(work + "/files", options.files);
            const std::vector<std::string> files = FilesIn(work + "/files");
            for (const std::string &file : files)  // warm the page cache
                ReadAll(file);
            ::sync();

            const double start = Now();
            if (name == "none") {
                if (options.real)
                    RealRun(files, nullptr);
                else
                    InPlaceRun(files, nullptr, nullptr, options);
            } else {
                const UndoStore store(
                    QString::fromStdString(work + "/store"), UndoLimits(),
                    name == "copy" ? UndoKeep::Copy : UndoKeep::LinkWherePossible);
                const std::unique_ptr<UndoRecorder> run = store.beginRun(UndoFace::CommandLine);
                TimedJournal journal(*run);
                if (options.real)
                    RealRun(files, &journal);
                else
                    InPlaceRun(files, &journal, run.get(), options);
                const double finish = Now();
                run->finish();
                recording[name].push_back(journal.seconds + Now() - finish);
            }
            times[name].push_back(Now() - start);

            if (name == "link") {
                UndoStore store(QString::fromStdString(work + "/store"));
                const double undoStart = Now();
                const UndoSummary summary = store.undoLast();
                undoTimes.push_back(Now() - undoStart);
                if (summary.restored.size() != files.size()) {
                    std::fprintf(stderr, "undo_bench: undo restored %zu of %zu files\n",
                                 summary.restored.size(), files.size());
                    std::exit(1);
                }
            }
            if (tmpfs)
                fs::remove_all(work);
        }
    }
    const double none = Bench::Median(times["none"]);
    std::printf("  %-34s %8.3f s  %7.1f us/file\n", "commit path alone", none,
                none / options.files * 1e6);
    for (const char *name : {"link", "copy"}) {
        const double t = Bench::Median(times[name]);
        const double record = Bench::Median(recording[name]);
        std::printf(
            "  %-34s %8.3f s  %7.1f us/file  %+6.1f%% (%+.1f us/file); recording "
            "itself %.1f us/file = %.1f%% of the run without it\n",
            name == std::string("link") ? "with undo, kept by hard link"
                                        : "with undo, kept by copy",
            t, t / options.files * 1e6, (t / none - 1) * 100, (t - none) / options.files * 1e6,
            record / options.files * 1e6, record / none * 100);
    }
    const double undo = Bench::Median(undoTimes);
    std::printf("  %-34s %8.3f s  %7.1f us/file\n", "undo of the run (hard links)", undo,
                undo / options.files * 1e6);
    fs::remove_all(root);
}

}  // namespace

int main(int argc, char **argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == "--files" && more)
            options.files = std::atoi(argv[++i]);
        else if (arg == "--group" && more)
            options.group = static_cast<std::size_t>(std::max(1, std::atoi(argv[++i])));
        else if (arg == "--reps" && more)
            options.reps = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--sync" && more)
            options.syncEach = std::string(argv[++i]) != "group";
        else if (arg == "--record-first")
            options.recordFirst = true;
        else if (arg == "--real")
            options.real = true;
        else if (arg == "--dir" && more)
            options.dirs.push_back(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: undo_bench [--files N] [--group N] [--reps N] "
                         "[--sync each|group] [--record-first] [--real] [--dir DIR]...\n");
            return 2;
        }
    }
    if (options.dirs.empty())
        options.dirs = {"/dev/shm"};
    for (const std::string &dir : options.dirs)
        Measure(dir, options);
    return 0;
}
