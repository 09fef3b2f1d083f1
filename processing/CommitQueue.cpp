#include "CommitQueue.h"

#include "ReplacementJournal.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// --- Putting results in place -------------------------------------------------------------------

// One result being put in place, with everything prepared beforehand: the helper that does the
// work shares the program's memory but may use nothing but system calls.
struct Placement {
    int fd = -1;
    const char *target = nullptr;
    const char *named = nullptr;  // a named temporary file (where unnamed ones cannot be made)
    bool linkDirectly = false;    // unnamed, and nothing at the target: link it in at once
    char proc[40] = {};           // /proc/self/fd/<fd>
    // Names to link an unnamed file at before the rename: random, so that a second one is
    // needed only if something appeared at the first since it was drawn.
    static constexpr int Names = 2;
    const char *names[Names] = {};
    int error = 0;  // the outcome
};

// Gives the unnamed file a name: through /proc/self/fd, or directly with AT_EMPTY_PATH, which
// needs a privilege.
int LinkUnnamed(const Placement &p, const char *name) {
    if (::linkat(AT_FDCWD, p.proc, AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0)
        return 0;
    const int error = errno;
    if (error == ENOENT && ::linkat(p.fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0)
        return 0;
    return error;
}

// A new file takes its name directly; a file that replaces another gets a name of its own
// first, to be renamed over the old one.
int PutInPlace(const Placement &p) {
    if (p.named != nullptr) {
        if (::rename(p.named, p.target) == 0)
            return 0;
        const int error = errno;
        ::unlink(p.named);
        return error;
    }
    if (p.linkDirectly) {
        const int error = LinkUnnamed(p, p.target);
        if (error != EEXIST)
            return error;  // done, or failed
    }
    for (const char *name : p.names) {
        if (name == nullptr)
            break;
        const int error = LinkUnnamed(p, name);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error;
        if (::rename(name, p.target) == 0)
            return 0;
        const int failure = errno;
        ::unlink(name);
        return failure;
    }
    return EEXIST;
}

struct Placements {
    Placement *entries;
    std::size_t count;
};

void PutEachInPlace(Placements &work) {
    for (std::size_t i = 0; i < work.count; ++i)
        work.entries[i].error = PutInPlace(work.entries[i]);
}

// The helper process's work.
int Helper(void *argument) {
    // Signals sent to the program's group (an interrupt from the terminal) wait until the group
    // is in place; only SIGKILL stops it.
    sigset_t all;
    ::sigfillset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
    PutEachInPlace(*static_cast<Placements *>(argument));
    return 0;
}

// Between the link of a replacing file under a temporary name and its rename over the target, a
// kill of the program would leave the temporary name behind. The renames are therefore made by
// a helper process that shares the program's memory and open files (and that the program waits
// for): killed meanwhile, the program dies and the helper finishes the group on its own. Where
// no such process can be started, the program does the work itself, and so it does for a group
// that only links new files in, each in one step (a new file whose name was taken meanwhile is
// the one exception, renamed over what appeared there).
void PutAllInPlace(std::vector<Placement> &entries) {
    if (entries.empty())
        return;
    Placements work{entries.data(), entries.size()};
    const bool replaces = std::any_of(entries.begin(), entries.end(), [](const Placement &p) {
        return p.named != nullptr || !p.linkDirectly;
    });
    if (!replaces) {
        PutEachInPlace(work);
        return;
    }
    // The helper's stack, kept for the thread's later groups.
    constexpr std::size_t StackSize = std::size_t(64) << 10;
    struct Stack {
        void *base = ::mmap(nullptr, StackSize, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        ~Stack() {
            if (base != MAP_FAILED)
                ::munmap(base, StackSize);
        }
    };
    static thread_local Stack stack;
    if (stack.base != MAP_FAILED) {
        // No exit signal: nobody else's SIGCHLD handler hears of it; it is waited for here.
        const pid_t helper = ::clone(Helper, static_cast<char *>(stack.base) + StackSize,
                                     CLONE_VM | CLONE_FILES | CLONE_VFORK, &work);
        if (helper > 0) {
            // CLONE_VFORK: the helper has finished by now; only its exit status is left.
            int status = 0;
            while (::waitpid(helper, &status, __WALL) < 0 && errno == EINTR) {
            }
            return;
        }
    }
    PutEachInPlace(work);
}

}  // namespace

// --- CommitQueue --------------------------------------------------------------------------------

CommitQueue::CommitQueue(ReplacementJournal *journal) : journal_(journal) {}

CommitQueue::~CommitQueue() = default;

std::vector<CommitFailure> CommitQueue::add(std::unique_ptr<PendingResult> result,
                                            std::size_t tag) {
    std::vector<CommitFailure> failures;
    if (!result)
        return failures;
    // Two results for one target: the earlier goes in place first, and the later is compared
    // and journalled against it.
    struct stat replaced {};
    replaced.st_dev = result->device_;
    replaced.st_ino = result->inode_;
    if (holdsTarget(result->target(), &replaced, result->replaces()))
        failures = commit();
    if (pending_.empty())
        first_ = std::chrono::steady_clock::now();
    bytes_ += result->size();
    pending_.push_back(Entry{std::move(result), tag});
    if (pending_.size() >= MaxFiles || bytes_ >= MaxBytes ||
        std::chrono::steady_clock::now() - first_ >= MaxDelay) {
        std::vector<CommitFailure> more = commit();
        failures.insert(failures.end(), std::make_move_iterator(more.begin()),
                        std::make_move_iterator(more.end()));
    }
    return failures;
}

bool CommitQueue::holds(const QString &path) const {
    if (pending_.empty())
        return false;
    RFTSFSO::ResultTarget target;
    try {
        target = RFTSFSO::ResolveResultTarget(path);
    } catch (const FileError &) {
        // Not a place a result can go (a folder, links that lead nowhere): compare the path
        // as it is.
        target.path = QFile::encodeName(path).toStdString();
        target.exists = ::lstat(target.path.c_str(), &target.info) == 0;
    }
    return holdsTarget(target.path, target.exists ? &target.info : nullptr, target.exists);
}

bool CommitQueue::holdsTarget(const std::string &target, const struct stat *info,
                              bool exists) const {
    if (pending_.empty() || target.empty())
        return false;
    const std::size_t slash = target.rfind('/');
    const std::string_view name =
        std::string_view(target).substr(slash == std::string::npos ? 0 : slash + 1);
    std::optional<std::pair<dev_t, ino_t>> folder;
    for (const Entry &entry : pending_) {
        const PendingResult &result = *entry.result;
        if (result.target() == target)
            return true;
        // The file that a result replaces, under any name of any folder.
        if (exists && result.replaces() && info->st_dev == result.device_ &&
            info->st_ino == result.inode_)
            return true;
        // The same name in the same folder, spelt differently.
        const std::string &other = result.target();
        const std::size_t otherSlash = other.rfind('/');
        if (std::string_view(other).substr(otherSlash == std::string::npos ? 0 : otherSlash + 1) !=
            name)
            continue;
        if (!folder) {
            struct stat folderInfo;
            if (::stat(RFTSFSO::FolderOf(target).c_str(), &folderInfo) != 0)
                return false;
            folder.emplace(folderInfo.st_dev, folderInfo.st_ino);
        }
        if (!entry.folderKnown) {
            struct stat folderInfo;
            if (::stat(RFTSFSO::FolderOf(other).c_str(), &folderInfo) != 0)
                continue;
            entry.folderKnown = true;
            entry.folderDevice = folderInfo.st_dev;
            entry.folderInode = folderInfo.st_ino;
        }
        if (folder->first == entry.folderDevice && folder->second == entry.folderInode)
            return true;
    }
    return false;
}

// --- Durability ---------------------------------------------------------------------------------

// How a group becomes durable: one syncfs() per file system in the group. Measured on the
// development machine's ext4 disk (bench/sync_bench.cpp, 3,000 files of 5 kB in groups of 48,
// in a fresh folder of /var/tmp, medians of 5): fdatasync per file 3.5 ms a file;
// sync_file_range on the group then fdatasync per file 2.4 ms a file (each fdatasync still
// commits the file system's journal and flushes the disk's cache on its own); one syncfs per
// group 0.15 ms a file, against 0.05 ms with no sync at all. syncfs commits the journal and
// flushes the cache once for the whole group. It also writes out whatever else is waiting on
// that file system, and its error is the file system's, not a file's: when it fails, each file
// of that file system is synced on its own to find the ones whose data did not reach the disk.
void CommitQueue::makeDurable(const std::vector<PendingResult *> &results,
                              std::vector<int> &errors) {
    // The file system of each result: the replaced file's, or that of the folder it is made in
    // (looked up once per folder of the group).
    std::vector<dev_t> devices(results.size(), 0);
    std::vector<std::pair<std::string, dev_t>> folders;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PendingResult &result = *results[i];
        if (result.existed_) {
            devices[i] = result.device_;
            continue;
        }
        const std::string folder = RFTSFSO::FolderOf(result.target_);
        const auto known = std::find_if(folders.begin(), folders.end(),
                                        [&](const auto &entry) { return entry.first == folder; });
        if (known != folders.end()) {
            devices[i] = known->second;
            continue;
        }
        struct stat info;
        if (::fstat(result.fd_, &info) != 0) {
            errors[i] = errno;
            continue;
        }
        devices[i] = info.st_dev;
        folders.emplace_back(folder, info.st_dev);
    }
    std::vector<bool> done(results.size(), false);
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (done[i] || errors[i] != 0)
            continue;
        const bool synced = ::syncfs(results[i]->fd_) == 0;
        for (std::size_t j = i; j < results.size(); ++j) {
            if (done[j] || errors[j] != 0 || devices[j] != devices[i])
                continue;
            done[j] = true;
            if (!synced && ::fdatasync(results[j]->fd_) != 0 && errno != EINVAL)
                errors[j] = errno;
        }
    }
}

std::vector<CommitFailure> CommitQueue::commit() {
    std::vector<Entry> group = std::exchange(pending_, {});
    bytes_ = 0;
    std::vector<CommitFailure> failures;
    if (group.empty())
        return failures;

    std::vector<int> errors(group.size(), 0);
    std::vector<PendingResult *> results;
    for (const Entry &entry : group)
        results.push_back(entry.result.get());
    makeDurable(results, errors);

    if (journal_ != nullptr) {
        std::vector<Replacement> records;
        std::vector<std::size_t> recorded;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (errors[i] != 0)
                continue;
            const PendingResult &result = *group[i].result;
            struct stat now;
            if (::fstat(result.fd_, &now) != 0) {
                errors[i] = errno;
                continue;
            }
            struct stat there;
            Replacement record;
            record.target = result.target();
            record.existed = ::lstat(result.target().c_str(), &there) == 0;
            record.newDevice = now.st_dev;
            record.newInode = now.st_ino;
            record.newSize = static_cast<std::uint64_t>(now.st_size);
            record.newModifiedNs =
                std::int64_t(now.st_mtim.tv_sec) * 1000000000 + now.st_mtim.tv_nsec;
            records.push_back(std::move(record));
            recorded.push_back(i);
        }
        if (!records.empty()) {
            // A journal that fails as a whole has kept nothing: nothing is replaced.
            std::vector<int> answers;
            try {
                answers = journal_->recordGroup(records);
            } catch (const std::exception &) {
                answers.assign(records.size(), EIO);
            }
            for (std::size_t k = 0; k < recorded.size(); ++k) {
                // A journal that answers for fewer entries than it was given has kept none of
                // the rest.
                const int answer = k < answers.size() ? answers[k] : EIO;
                if (answer != 0)
                    errors[recorded[k]] = answer;
            }
        }
    }

    std::vector<Placement> placements;
    std::vector<std::size_t> placed;
    std::vector<std::string> names;  // kept alive for the placements
    names.reserve(group.size() * Placement::Names);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (errors[i] != 0)
            continue;
        const PendingResult &result = *group[i].result;
        Placement p;
        p.fd = result.fd_;
        p.target = result.target().c_str();
        if (!result.temporary_.empty()) {
            p.named = result.temporary_.c_str();
        } else {
            p.linkDirectly = !result.existed_;
            std::snprintf(p.proc, sizeof p.proc, "/proc/self/fd/%d", result.fd_);
            // A new file needs a name of its own only if something appeared at its target.
            for (int k = 0; k < (p.linkDirectly ? 1 : Placement::Names); ++k) {
                names.push_back(RFTSFSO::TemporaryNameFor(result.target()));
                p.names[k] = names.back().c_str();
            }
        }
        placements.push_back(p);
        placed.push_back(i);
    }
    PutAllInPlace(placements);
    for (std::size_t k = 0; k < placed.size(); ++k) {
        PendingResult &result = *group[placed[k]].result;
        // In place or removed: the named temporary file is gone either way. The data is on
        // the disk already, so closing has nothing left to report.
        result.temporary_.clear();
        errors[placed[k]] = placements[k].error;
        ::close(std::exchange(result.fd_, -1));
    }

    for (std::size_t i = 0; i < group.size(); ++i) {
        if (errors[i] != 0)
            failures.push_back({group[i].tag, FileError(FileError::Kind::Write,
                                                        group[i].result->path(), errors[i])});
    }
    return failures;  // the group's results go with `group`: whatever failed leaves nothing
}
