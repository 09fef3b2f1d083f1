// What the undo store's tests share: files by the file system's bytes, and the commit of a run
// simulated as the commit queue does it: each result is written beside its target, the group is
// recorded, and only then is each result renamed over its target.
#pragma once

#include "undo/UndoStore.h"

#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UndoCommits {

inline std::string Native(const QString &path) {
    return QFile::encodeName(path).toStdString();
}

// Files by the file system's bytes, so that any name can be used.
inline QByteArray ReadFile(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "<unreadable: " + QByteArray(std::strerror(errno)) + ">";
    QByteArray bytes;
    char buffer[65536];
    for (ssize_t size; (size = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, size);
    ::close(fd);
    return bytes;
}

inline void WriteFile(const std::string &path, const QByteArray &bytes, mode_t mode = 0644) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0 ||
        ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) != bytes.size())
        qFatal("cannot write %s: %s", path.c_str(), std::strerror(errno));
    ::close(fd);
}

inline bool Exists(const std::string &path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

inline struct stat StatOf(const std::string &path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        info.st_ino = 0;
    return info;
}

inline std::int64_t ModifiedNs(const struct stat &info) {
    return std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

struct Change {
    std::string target;
    QByteArray bytes;
};

enum class Then { Rename, Abandon };

inline std::atomic<unsigned> PendingCount{0};  // names results apart, across threads

// Commits the changes as one group: each result written beside its target, the group recorded,
// then each result renamed over its target unless the journal refused it. Abandon: the run is
// "killed" after the record and before any rename.
inline std::vector<int> Commit(ReplacementJournal &journal, const std::vector<Change> &changes,
                               Then then = Then::Rename) {
    std::vector<Replacement> group;
    std::vector<std::string> pending;
    for (const Change &change : changes) {
        // A short name beside the target, which fits whatever the target's name.
        const std::string temporary = change.target.substr(0, change.target.rfind('/') + 1) +
                                      ".pending-" + std::to_string(++PendingCount);
        WriteFile(temporary, change.bytes, 0600);
        const struct stat info = StatOf(temporary);
        Replacement entry;
        entry.target = change.target;
        entry.existed = Exists(change.target);
        entry.newDevice = info.st_dev;
        entry.newInode = info.st_ino;
        entry.newSize = static_cast<std::uint64_t>(info.st_size);
        entry.newModifiedNs = ModifiedNs(info);
        entry.resultFd = ::open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
        group.push_back(entry);
        pending.push_back(temporary);
    }
    const std::vector<int> answers = journal.recordGroup(group);
    for (const Replacement &entry : group)
        ::close(entry.resultFd);
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (then == Then::Rename && answers.at(i) == 0)
            ::rename(pending[i].c_str(), changes[i].target.c_str());
        else
            ::unlink(pending[i].c_str());
    }
    return answers;
}

// A whole run of one group; every entry must be recorded.
inline void CommitRun(const UndoStore &store, const std::vector<Change> &changes,
                      Then then = Then::Rename) {
    const std::unique_ptr<UndoRecorder> run = store.beginRun(UndoFace::Window);
    for (int answer : Commit(*run, changes, then))
        QCOMPARE(answer, 0);
    run->finish();
}

// A folder on another file system than /tmp, for keeping across file systems; empty when
// /dev/shm is not one.
inline QString OtherFileSystem() {
    const struct stat tmp = StatOf(Native(QDir::tempPath())), shm = StatOf("/dev/shm");
    if (shm.st_ino == 0 || !S_ISDIR(shm.st_mode) || shm.st_dev == tmp.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        return {};
    return QStringLiteral("/dev/shm");
}

}  // namespace UndoCommits
