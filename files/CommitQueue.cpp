#include "files/CommitQueue.h"

#include "files/Placement.h"
#include "files/ReplacementJournal.h"

#include "posix/Io.h"
#include "posix/Paths.h"
#include "posix/TemporaryNames.h"

#include <QFile>

#include <algorithm>
#include <atomic>
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

// --- CommitQueue --------------------------------------------------------------------------------

namespace {

// How many results a group may take while the one before is in flight. Each holds up to three
// descriptors (its file, written behind the file it replaces, and its folder when it holds one
// of its own), and so does each result of the group in flight: the bound leaves room under the
// process's limit for the files being read and written meanwhile.
std::size_t FilesWhileBusy() {
    static const std::size_t most = [] {
        const std::size_t limit = Posix::RaiseDescriptorLimit();
        const std::size_t room = limit > 512 ? (limit - 256) / 6 : 0;
        return std::clamp(room, CommitQueue::MaxFiles, CommitQueue::MaxFilesWhileBusy);
    }();
    return most;
}

std::int64_t Nanoseconds(const struct timespec &time) {
    return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

CommitQueue::CommitQueue(ReplacementJournal *journal, Mode mode, std::chrono::milliseconds maxDelay)
    : journal_(journal), mode_(mode), maxDelay_(maxDelay) {}

CommitQueue::~CommitQueue() {
    collect(true);
    if (committer_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        committer_.join();
    }
}

std::vector<CommitFailure> CommitQueue::add(std::unique_ptr<PendingResult> result,
                                            std::size_t tag) {
    std::vector<CommitFailure> failures = collect(false);
    if (!result)
        return failures;
    auto append = [&failures](std::vector<CommitFailure> more) {
        failures.insert(failures.end(), std::make_move_iterator(more.begin()),
                        std::make_move_iterator(more.end()));
    };
    // Two results for one target: the earlier goes in place first, and the later is compared
    // and journalled against it.
    RFTSFSO::Place place = places_.of(result->target());
    if (held_.count(place) > 0) {
        append(commit());
        // What the later result replaces is now the earlier one.
        struct stat there;
        result->existed_ = ::lstat(result->target_.c_str(), &there) == 0 && S_ISREG(there.st_mode);
        if (result->existed_) {
            result->device_ = there.st_dev;
            result->inode_ = there.st_ino;
            result->replacedSize_ = static_cast<std::uint64_t>(there.st_size);
            result->replacedModifiedNs_ = Nanoseconds(there.st_mtim);
            result->replacedSpace_ = static_cast<std::uint64_t>(there.st_blocks) * 512;
        }
    }
    if (pending_.empty())
        first_ = std::chrono::steady_clock::now();
    bytes_ += result->size();
    ++added_;
    ++held_[place];
    pending_.push_back(Entry{std::move(result), tag, std::move(place), false});
    const bool fullByCount = pending_.size() >= MaxFiles;
    const bool full = bytes_ >= MaxBytes || std::chrono::steady_clock::now() - first_ >= maxDelay_;
    if (fullByCount || full) {
        if (mode_ == Mode::InCall) {
            append(commit());
        } else if (!full && pending_.size() < FilesWhileBusy() && inFlight_ && [this] {
                       std::lock_guard<std::mutex> lock(mutex_);
                       return busy_;
                   }()) {
            // The disk is still busy with the group before: this one grows meanwhile.
        } else {
            // One group in flight at a time: this one waits for the one before.
            append(collect(true));
            flight_ = std::exchange(pending_, {});
            bytes_ = 0;
            inFlight_ = true;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                busy_ = true;
            }
            if (!committer_.joinable())
                committer_ = std::thread(&CommitQueue::committerLoop, this);
            changed_.notify_all();
        }
    }
    return failures;
}

void CommitQueue::committerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (busy_) {
            lock.unlock();
            std::vector<CommitFailure> failures = commitGroup(flight_);
            lock.lock();
            flightFailures_ = std::move(failures);
            busy_ = false;
            changed_.notify_all();
            continue;
        }
        return;
    }
}

std::vector<CommitFailure> CommitQueue::collect(bool wait) {
    if (!inFlight_)
        return {};
    std::unique_lock<std::mutex> lock(mutex_);
    if (!wait && busy_)
        return {};
    changed_.wait(lock, [this] { return !busy_; });
    inFlight_ = false;
    settled_ += flight_.size();
    release(flight_);
    flight_.clear();  // closed and placed already: nothing of it is left to drop
    return std::exchange(flightFailures_, {});
}

std::vector<CommitFailure> CommitQueue::commit() {
    std::vector<CommitFailure> failures = collect(true);
    std::vector<Entry> group = std::exchange(pending_, {});
    bytes_ = 0;
    std::vector<CommitFailure> more = commitGroup(group);
    failures.insert(failures.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
    settled_ = added_;
    held_.clear();
    return failures;  // the group's results go with `group`: whatever failed leaves nothing
}

void CommitQueue::release(const std::vector<Entry> &entries) {
    for (const Entry &entry : entries) {
        const auto found = held_.find(entry.place);
        if (found != held_.end() && --found->second == 0)
            held_.erase(found);
    }
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
void CommitQueue::makeDurable(const std::vector<PendingResult *> &results, std::vector<int> &errors,
                              std::uint64_t flushed) const {
    // The file system of each result: the replaced file's, the result's own when the writer
    // learnt it, or that of the folder it is made in (looked up once per folder and queue).
    std::vector<dev_t> devices(results.size(), 0);
    std::vector<std::pair<std::string, dev_t>> &folders = folderDevices_;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PendingResult &result = *results[i];
        if (errors[i] != 0)
            continue;
        if (result.existed_ || result.identityKnown_) {
            devices[i] = result.existed_ ? result.device_ : result.newDevice_;
            continue;
        }
        const std::string folder = Posix::FolderOf(result.target_);
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
        // The journal's flush covered its file system.
        const bool covered = flushed != 0 && devices[i] == flushed;
        const bool synced = covered || ::syncfs(results[i]->fd_) == 0;
        for (std::size_t j = i; j < results.size(); ++j) {
            if (done[j] || errors[j] != 0 || devices[j] != devices[i])
                continue;
            done[j] = true;
            if (!synced && ::fdatasync(results[j]->fd_) != 0 && errno != EINVAL)
                errors[j] = errno;
        }
    }
}

// The journal's record of the group, before anything of it is put in place. Answers the file
// system that the record's flush made durable (0: none).
std::uint64_t CommitQueue::recordGroup(std::vector<Entry> &group, std::vector<int> &errors) const {
    std::vector<Replacement> records;
    std::vector<std::size_t> recorded;
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (errors[i] != 0)
            continue;
        PendingResult &result = *group[i].result;
        if (!result.identityKnown_) {
            struct stat now;
            if (::fstat(result.fd_, &now) != 0) {
                errors[i] = errno;
                continue;
            }
            result.identityKnown_ = true;
            result.newDevice_ = now.st_dev;
            result.newInode_ = now.st_ino;
            result.newModifiedNs_ = Nanoseconds(now.st_mtim);
        }
        Replacement record;
        record.target = result.target();
        record.existed = result.existed_;
        record.newDevice = result.newDevice_;
        record.newInode = result.newInode_;
        record.newSize = result.size_;
        record.newModifiedNs = result.newModifiedNs_;
        record.resultFd = result.fd_;
        if (result.folder_) {
            record.folderFd = result.folder_->fd();
            record.name = result.name_;
        }
        record.hashKnown = result.hashKnown_;
        record.newHash = result.hash_;
        if (result.existed_) {
            record.oldKnown = true;
            record.oldDevice = result.device_;
            record.oldInode = result.inode_;
            record.oldSize = result.replacedSize_;
            record.oldModifiedNs = result.replacedModifiedNs_;
            record.oldSpace = result.replacedSpace_;
        }
        records.push_back(std::move(record));
        recorded.push_back(i);
    }
    if (records.empty())
        return 0;
    // A journal that fails as a whole has kept nothing: nothing is replaced.
    std::vector<int> answers;
    try {
        answers = journal_->recordGroup(records);
    } catch (const std::exception &) {
        answers.assign(records.size(), EIO);
    }
    bool any = false;
    for (std::size_t k = 0; k < recorded.size(); ++k) {
        // A journal that answers for fewer entries than it was given has kept none of the rest.
        const int answer = k < answers.size() ? answers[k] : EIO;
        if (answer != 0)
            errors[recorded[k]] = answer;
        if (answer == ENOSPC || answer == EDQUOT)
            group[recorded[k]].journalFull = true;
        any = any || answer == 0;
    }
    return any ? journal_->device() : 0;
}

// Puts each result of the group that has no error yet over its target, in order.
void CommitQueue::putInPlace(std::vector<Entry> &group, std::vector<int> &errors) const {
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
        if (result.folder_) {
            // In the folder the result was made in, whatever its path names now.
            p.folderFd = result.folder_->fd();
            p.name = result.name_.c_str();
        }
        if (!result.temporary_.empty()) {
            p.named = result.temporary_.c_str();
        } else {
            p.linkDirectly = !result.existed_;
            std::snprintf(p.proc, sizeof p.proc, "/proc/self/fd/%d", result.fd_);
            // A new file needs a name of its own only if something appeared at its target
            // meanwhile; with a journal, what appeared is in no record and is left alone (the
            // result fails with EEXIST).
            const int spare = p.linkDirectly ? (journal_ != nullptr ? 0 : 1) : Placement::Names;
            for (int k = 0; k < spare; ++k) {
                names.push_back(
                    Posix::TemporaryNameFor(result.folder_ ? result.name_ : result.target()));
                p.names[k] = names.back().c_str();
            }
        }
        placements.push_back(p);
        placed.push_back(i);
    }
    PutAllInPlace(placements);
    for (std::size_t k = 0; k < placed.size(); ++k) {
        PendingResult &result = *group[placed[k]].result;
        // In place or removed: the named temporary file is gone either way. The data is on the
        // disk already, so closing has nothing left to report.
        result.temporary_.clear();
        errors[placed[k]] = placements[k].error;
        ::close(std::exchange(result.fd_, -1));
    }
}

std::vector<CommitFailure> CommitQueue::commitGroup(std::vector<Entry> &group) const {
    std::vector<CommitFailure> failures;
    if (group.empty())
        return failures;
    std::vector<int> errors(group.size(), 0);
    // The bytes still on their way to their files, first.
    for (std::size_t i = 0; i < group.size(); ++i)
        errors[i] = group[i].result->settle();
    try {
        // The record first: it makes the store's file system durable, the results on it
        // included, so that only the other file systems need a flush of their own.
        const std::uint64_t flushed = journal_ != nullptr ? recordGroup(group, errors) : 0;
        std::vector<PendingResult *> results;
        results.reserve(group.size());
        for (const Entry &entry : group)
            results.push_back(entry.result.get());
        makeDurable(results, errors, flushed);
        putInPlace(group, errors);
    } catch (const std::bad_alloc &) {
        // Out of memory before anything was put in place: nothing of the group is.
        for (int &error : errors) {
            if (error == 0)
                error = ENOMEM;
        }
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (errors[i] != 0 && group[i].journalFull)
            failures.push_back(
                {group[i].tag, FileError(FileError::Kind::Write, group[i].result->path(), errors[i],
                                         journal_->keptIn())});
        else if (errors[i] != 0)
            failures.push_back({group[i].tag, FileError(FileError::Kind::Write,
                                                        group[i].result->path(), errors[i])});
    }
    return failures;
}
