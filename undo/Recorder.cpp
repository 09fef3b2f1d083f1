// The record of one run: keeping each replaced file (a hard link, or a copy where the file
// system refuses the link) and appending a group's records durably.
#include "undo/UndoStore.h"

#include "undo/ContentHash.h"
#include "undo/CopyFile.h"
#include "undo/Manifest.h"
#include "undo/RunFolders.h"

#include "files/PathText.h"
#include "posix/Fd.h"
#include "posix/Io.h"
#include "posix/Paths.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using Undo::Record;

UndoRecorder::UndoRecorder(std::string store, UndoFace face, UndoRunWhat what, UndoLimits limits,
                           UndoKeep keep)
    : store_(std::move(store)), face_(face), what_(std::move(what)), limits_(limits), keep_(keep) {}

UndoRecorder::~UndoRecorder() {
    finish();
}

QString UndoRecorder::folder() const {
    return name_.empty() ? QString() : PathText(store_ + "/" + name_);
}

QString UndoRecorder::keptIn() const {
    return PathText(store_);
}

// Makes the run's folder and manifest: under a hidden name until the manifest is there and
// locked, so that nobody takes an empty folder for a run that was killed.
int UndoRecorder::open() {
    if (const int error = Posix::MakeFolders(store_, 0700))
        return error;
    const Posix::Fd store(::open(store_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return errno;
    std::string name, started, staging;
    for (int attempt = 0;; ++attempt) {
        Undo::NewRunName(name, started);
        staging = Undo::StagingPrefix + name;
        if (::mkdirat(store.get(), staging.c_str(), 0700) == 0)
            break;
        if (errno != EEXIST || attempt == 100)
            return errno;
    }
    Posix::Fd folder(::openat(store.get(), staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    Posix::Fd manifest(folder ? ::openat(folder.get(), Undo::ManifestName,
                                         O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
                              : -1);
    int error = !manifest ? errno : Undo::LockWait(manifest.get(), LOCK_EX);
    const std::string header = Undo::HeaderText(face_, started) + Undo::WhatText(what_);
    if (error == 0)
        error = Posix::WriteAllAt(manifest.get(), header.data(), header.size(), 0);
    if (error == 0)
        error = Posix::SyncData(manifest.get());
    if (error == 0)
        error = Posix::SyncFolder(folder.get());
    if (error == 0 && ::renameat(store.get(), staging.c_str(), store.get(), name.c_str()) != 0)
        error = errno;
    if (error == 0)
        error = Posix::SyncFolder(store.get());
    if (error != 0) {
        Undo::RemoveFolder(store.get(), staging);
        Undo::RemoveFolder(store.get(), name);
        return error;
    }
    struct stat info;
    if (::fstat(folder.get(), &info) == 0)
        device_ = static_cast<std::uint64_t>(info.st_dev);
    name_ = name;
    folderFd_ = folder.release();
    manifestFd_ = manifest.release();
    manifestSize_ = header.size();
    return 0;
}

int UndoRecorder::waitTurn(const std::function<bool()> &keepWaiting) {
    if (turnFd_ >= 0)
        return 0;
    if (const int error = Posix::MakeFolders(store_, 0700))
        return error;
    const std::string path = store_ + "/" + Undo::TurnName;
    Posix::Fd turn(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!turn)
        return errno;
    while (Posix::RetryOnEintr([&] { return ::flock(turn.get(), LOCK_EX | LOCK_NB); }) != 0) {
        if (errno != EWOULDBLOCK)
            return errno;
        if (!keepWaiting())
            return ECANCELED;
        const struct timespec pause = {0, 50'000'000};
        ::nanosleep(&pause, nullptr);
    }
    turnFd_ = turn.release();
    return 0;
}

void UndoRecorder::closeLinkFolder() {
    if (linkFolderFd_ >= 0)
        ::close(linkFolderFd_);
    linkFolderFd_ = -1;
    linkFolder_.clear();
}

// Keeps the target by a hard link into the run folder, made by the target's folder (open for
// the group) and its name: one lookup of the folder for the files of a group that share it.
// The target as the writer names it: its absolute path, which the record keeps, may be longer
// than the system takes (a deep working folder). Answers 0, or an errno with `refused` when the
// link itself could not be made (a copy may do).
int UndoRecorder::keepByLink(const Replacement &entry, Record &record, bool &refused) {
    const char *kept = record.kept.c_str();
    const std::string &target = entry.target;
    if (entry.folderFd >= 0) {
        // The folder the writer held, whatever the path names by now.
        refused = ::linkat(entry.folderFd, entry.name.c_str(), folderFd_, kept, 0) != 0;
    } else {
        const std::string folder = Posix::FolderOf(target);
        if (folder != linkFolder_) {
            closeLinkFolder();
            linkFolderFd_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            linkFolder_ = folder;
        }
        const bool byFolder = linkFolderFd_ >= 0;
        const char *name =
            target.c_str() + target.size() - Posix::NameOf(target).size();  // the path's tail
        refused = ::linkat(byFolder ? linkFolderFd_ : AT_FDCWD, byFolder ? name : target.c_str(),
                           folderFd_, kept, 0) != 0;
    }
    if (refused)
        return errno;
    if (entry.oldKnown) {
        // As the writer found it. Should another file have taken its place since, the link
        // keeps that one, whatever it is, and undo puts it back; its identity then differs
        // from the recorded one, so that undo of a run killed before the rename leaves it alone
        // as changed.
        record.old = {entry.oldDevice, entry.oldInode, entry.oldSize, entry.oldModifiedNs};
        record.keptBytes = entry.oldSpace;
        return 0;
    }
    // The path was to be a regular file with its links resolved.
    struct stat info;
    int error = 0;
    if (::fstatat(folderFd_, kept, &info, AT_SYMLINK_NOFOLLOW) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = S_ISLNK(info.st_mode) ? ELOOP : EINVAL;
    if (error != 0) {
        ::unlinkat(folderFd_, kept, 0);
        return error;
    }
    record.old = Undo::IdentityOf(info);
    record.keptBytes = Undo::SpaceOf(info);
    return 0;
}

// Keeps a copy of the target in the run folder, made durable with the group's record (all
// copies at once), read in the folder the writer held, or else at the target as the writer
// names it. What the copy could not
// keep goes to `notKept` as its line.
int UndoRecorder::keepByCopy(const Replacement &entry, Record &record, std::string &notKept) {
    const char *kept = record.kept.c_str();
    // O_NONBLOCK: a named pipe put there meanwhile must not hold the run up.
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const Posix::Fd from(entry.folderFd >= 0 ? ::openat(entry.folderFd, entry.name.c_str(), flags)
                                             : ::open(entry.target.c_str(), flags));
    if (!from)
        return errno;
    struct stat info;
    if (::fstat(from.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    const Posix::Fd to(::openat(folderFd_, kept, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!to)
        return errno;
    std::vector<std::string> lost;
    int error = Undo::CopyFile(from.get(), info, to.get(), store_ + "/" + name_, lost);
    struct stat copied;
    if (error == 0 && ::fstat(to.get(), &copied) != 0)
        error = errno;
    if (error != 0) {
        ::unlinkat(folderFd_, kept, 0);
        return error;
    }
    record.old = Undo::IdentityOf(info);
    record.keptBytes = Undo::SpaceOf(copied);
    if (!lost.empty())
        notKept += Undo::NotKeptLine(record.kept, lost);
    return 0;
}

// Keeps one file (or notes one to be created) and appends its record to `lines`.
int UndoRecorder::keep(const Replacement &entry, std::string &lines, std::string &notKept) {
    if (entry.target.empty())
        return ENOENT;
    Record record;
    record.replaced = entry.existed;
    if (entry.target[0] != '/' && workingFolder_.empty()) {
        // Asked once a run: the working folder does not change while it writes.
        if (const int error = Posix::MakeAbsolute(workingFolder_))
            return error;
    }
    record.target = entry.target[0] == '/' ? entry.target : workingFolder_ + entry.target;
    record.fresh = {entry.newDevice, entry.newInode, entry.newSize, entry.newModifiedNs};
    if (entry.hashKnown) {
        // Taken by the writer as it wrote the result.
        record.hashed = true;
        record.freshHash = entry.newHash;
    } else if (entry.resultFd >= 0) {
        // The result is open for writing only: read again through the process's own link.
        const std::string link = "/proc/self/fd/" + std::to_string(entry.resultFd);
        const Posix::Fd result(::open(link.c_str(), O_RDONLY | O_CLOEXEC));
        record.hashed = result && Undo::HashFile(result.get(), record.freshHash) == 0;
    }
    if (record.replaced) {
        record.kept = Undo::KeptName(nextKept_++);
        bool refused = true;
        const int error = keep_ == UndoKeep::Copy ? EXDEV : keepByLink(entry, record, refused);
        if (error == ENOENT && refused && entry.oldKnown) {
            // Gone since the writer found it: the result will be a new file.
            --nextKept_;
            record.replaced = false;
            record.kept.clear();
        } else if (error != 0) {
            if (!refused || !Undo::CopyMayHelp(error))
                return error;
            if (const int failure = keepByCopy(entry, record, notKept))
                return failure;
        }
    }
    lines += Undo::RecordLine(record);
    bytesKept_ += record.keptBytes;
    return 0;
}

// Appends the group's lines, then makes everything on the disk with one flush of the store's
// file system: the lines, the run folder's new entries (the kept links), the copies' data, and
// whatever else was written there before (the results, when they are on it). When that fails,
// none of the group counts: its lines go, so that the next group's follow complete ones.
int UndoRecorder::appendGroup(const std::string &lines, const std::string &notKept) {
    int error = 0;
    if (!notKept.empty() && notKeptFd_ < 0) {
        notKeptFd_ = ::openat(folderFd_, Undo::NotKeptName, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (notKeptFd_ < 0)
            error = errno;
    }
    if (error == 0 && !notKept.empty())
        error = Posix::WriteAllAt(notKeptFd_, notKept.data(), notKept.size(),
                                  static_cast<off_t>(notKeptSize_));
    if (error == 0)
        error = Posix::WriteAllAt(manifestFd_, lines.data(), lines.size(),
                                  static_cast<off_t>(manifestSize_));
    if (error == 0 && ::syncfs(folderFd_) != 0)
        error = errno;
    if (error == 0) {
        manifestSize_ += lines.size();
        notKeptSize_ += notKept.size();
        return 0;
    }
    if (::ftruncate(manifestFd_, static_cast<off_t>(manifestSize_)) != 0)
        broken_ = errno;
    // A torn line there is ignored when read, should this fail too.
    if (notKeptFd_ >= 0 && ::ftruncate(notKeptFd_, static_cast<off_t>(notKeptSize_)) != 0)
        return error;
    return error;
}

std::vector<int> UndoRecorder::recordGroup(const std::vector<Replacement> &group) {
    std::vector<int> answers(group.size(), 0);
    int error = finished_ ? EBADF : broken_;
    if (error == 0 && folderFd_ < 0)
        error = open();
    if (error != 0) {
        std::fill(answers.begin(), answers.end(), error);
        return answers;
    }

    std::string lines, notKept;
    std::vector<std::string> keptNames;
    const std::uint64_t bytesBefore = bytesKept_;
    std::size_t count = 0;
    for (std::size_t i = 0; i < group.size(); ++i) {
        const std::size_t before = nextKept_;
        answers[i] = keep(group[i], lines, notKept);
        if (answers[i] == 0) {
            ++count;
            if (nextKept_ != before)
                keptNames.push_back(Undo::KeptName(before));
        }
    }
    closeLinkFolder();
    if (count == 0)
        return answers;

    if ((error = appendGroup(lines, notKept)) != 0) {
        // The group's kept files go with its lines.
        for (const std::string &name : keptNames)
            ::unlinkat(folderFd_, name.c_str(), 0);
        bytesKept_ = bytesBefore;
        for (int &answer : answers) {
            if (answer == 0)
                answer = error;
        }
        return answers;
    }
    recorded_ += count;
    return answers;
}

void UndoRecorder::finish() {
    if (finished_)
        return;
    finished_ = true;
    // The next run's turn once this one is pruned.
    const Posix::Fd turn(std::exchange(turnFd_, -1));
    if (folderFd_ < 0)
        return;
    if (recorded_ > 0 && broken_ == 0) {
        const std::string end = Undo::EndLine(recorded_, bytesKept_);
        if (Posix::WriteAllAt(manifestFd_, end.data(), end.size(),
                              static_cast<off_t>(manifestSize_)) == 0)
            manifestSize_ += end.size();
    }
    ::close(std::exchange(folderFd_, -1));
    if (notKeptFd_ >= 0)
        ::close(std::exchange(notKeptFd_, -1));
    const Posix::Fd store(::open(store_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (recorded_ == 0 && store) {
        // Nothing recorded: the run leaves nothing. The manifest's lock is still held, so no
        // other process looks at the folder meanwhile.
        Undo::DropRun(store.get(), name_);
        name_.clear();
    }
    ::close(std::exchange(manifestFd_, -1));  // the lock goes with it
    if (!store)
        return;
    const Undo::LockedStore locked = Undo::LockStore(store_);
    if (locked.error == 0)
        Undo::Prune(locked.folder.get(), limits_, name_);
}
