#include "undo/RunFolders.h"

#include "posix/Io.h"
#include "posix/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Undo {

namespace {

const char DroppedPrefix[] = ".gone-";  // a run folder being removed
// A hidden run folder this old whose manifest nobody locks was left by a killed process.
constexpr time_t StaleSeconds = 60;

bool IsRunName(const std::string &name) {
    return !name.empty() && name[0] >= '0' && name[0] <= '9';
}

// The folder's entries, sorted by name.
std::vector<std::string> Entries(int folderFd) {
    std::vector<std::string> names;
    if (Posix::ListFolder(folderFd, names) != 0)
        names.clear();
    std::sort(names.begin(), names.end());
    return names;
}

// The totals from the "end" line in the last bytes of the manifest; false when there is none.
bool ReadEndLine(int manifestFd, const struct stat &info, RunTotals &totals) {
    char tail[128];
    const off_t tailStart = std::max<off_t>(0, info.st_size - static_cast<off_t>(sizeof tail));
    const ssize_t tailSize = ::pread(manifestFd, tail, sizeof tail, tailStart);
    if (tailSize <= 0 || tail[tailSize - 1] != '\n')
        return false;
    const std::string_view text(tail, static_cast<std::size_t>(tailSize - 1));
    const std::size_t start = text.rfind('\n');
    if (start == std::string_view::npos && tailStart != 0)
        return false;
    const std::string_view line = start == std::string_view::npos ? text : text.substr(start + 1);
    return ParseEndLine(line, totals.records, totals.keptBytes);
}

bool ReadTotals(int manifestFd, RunTotals &totals) {
    struct stat info;
    if (::fstat(manifestFd, &info) != 0)
        return false;
    totals.manifestBytes = SpaceOf(info);
    char head[1024];
    const ssize_t headSize = ::pread(manifestFd, head, sizeof head, 0);
    if (headSize <= 0)
        return false;
    totals.manifest =
        ParseManifest(std::string_view(head, static_cast<std::size_t>(headSize)), false);
    if (ReadEndLine(manifestFd, info, totals))
        return totals.manifest.valid;
    std::string text;
    if (Posix::ReadAll(manifestFd, text) != 0)
        return false;
    ManifestTotals counted;
    totals.manifest = ParseManifest(text, false, &counted);
    totals.records = counted.records;
    totals.keptBytes = counted.keptBytes;
    return totals.manifest.valid;
}

// Removes what killed processes left: folders being dropped, and run folders never shown.
void RemoveLeftOvers(int storeFd) {
    const time_t now = ::time(nullptr);
    for (const std::string &name : Entries(storeFd)) {
        if (name.rfind(DroppedPrefix, 0) == 0) {
            RemoveFolder(storeFd, name);
        } else if (name.rfind(StagingPrefix, 0) == 0) {
            struct stat info;
            if (::fstatat(storeFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
                now - info.st_mtim.tv_sec < StaleSeconds)
                continue;
            if (!LookAt(storeFd, name).locked)
                RemoveFolder(storeFd, name);
        }
    }
}

// The size rule's limit: the byte bound, or the share of the free space when that is less.
std::uint64_t SizeLimit(int storeFd, const UndoLimits &limits) {
    std::uint64_t limit = limits.bytes;
    struct statvfs space;
    if (::fstatvfs(storeFd, &space) == 0) {
        const std::uint64_t free =
            static_cast<std::uint64_t>(space.f_bavail) * static_cast<std::uint64_t>(space.f_frsize);
        limit = std::min<std::uint64_t>(limit, free / 100 * limits.freeSpacePercent);
    }
    return limit;
}

}  // namespace

void NewRunName(std::string &name, std::string &started) {
    static std::atomic<unsigned> counter{0};
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    struct tm utc;
    ::gmtime_r(&now.tv_sec, &utc);
    char stamp[32], iso[32], text[96];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &utc);
    std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text, sizeof text, "%s.%06ldZ-%07ld-%04u", stamp, now.tv_nsec / 1000,
                  static_cast<long>(::getpid()), ++counter % 10000);
    name = text;
    std::snprintf(text, sizeof text, "%s.%03ldZ", iso, now.tv_nsec / 1000000);
    started = text;
}

std::vector<std::string> RunNames(int storeFd) {
    std::vector<std::string> runs = Entries(storeFd);
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [](const std::string &name) { return !IsRunName(name); }),
               runs.end());
    return runs;
}

int LockWait(int fd, int operation) {
    return Posix::RetryOnEintr([&] { return ::flock(fd, operation); }) == 0 ? 0 : errno;
}

bool HeldByOther(int fd) {
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(fd, LOCK_UN);
    return false;
}

void RemoveFolder(int storeFd, const std::string &name) {
    const Posix::Fd fd(
        ::openat(storeFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd) {
        for (const std::string &entry : Entries(fd.get()))
            ::unlinkat(fd.get(), entry.c_str(), 0);
    }
    ::unlinkat(storeFd, name.c_str(), AT_REMOVEDIR);
}

int DropRun(int storeFd, const std::string &name) {
    const std::string hidden = DroppedPrefix + name;
    if (::renameat(storeFd, name.c_str(), storeFd, hidden.c_str()) != 0)
        return errno;
    (void)Posix::SyncFolder(storeFd);
    RemoveFolder(storeFd, hidden);
    return 0;
}

RunState LookAt(int storeFd, const std::string &name) {
    RunState run;
    run.name = name;
    const std::string manifest = name + "/" + ManifestName;
    const Posix::Fd fd(::openat(storeFd, manifest.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT)
            run.holds = RunState::Holds::Nothing;
    } else {
        run.locked = HeldByOther(fd.get());
        if (ReadTotals(fd.get(), run.totals))
            run.holds =
                run.totals.records > 0 ? RunState::Holds::Records : RunState::Holds::Nothing;
    }
    // Kept files that no record names: a record that lost its lines, never nothing.
    if (run.holds == RunState::Holds::Nothing && !run.locked) {
        const Posix::Fd folder(
            ::openat(storeFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (folder) {
            for (const std::string &entry : Entries(folder.get())) {
                if (entry.size() > 1 && entry[0] == 'k')
                    run.holds = RunState::Holds::Unreadable;
            }
        }
    }
    return run;
}

UndoRunInfo InfoOf(const RunState &run) {
    UndoRunInfo info;
    info.name = QString::fromStdString(run.name);
    info.started = QDateTime::fromString(QString::fromStdString(run.totals.manifest.started),
                                         Qt::ISODateWithMs);
    info.face = run.totals.manifest.face;
    info.files = run.totals.records;
    info.bytesKept = run.totals.keptBytes;
    info.inProgress = run.locked;
    info.what = run.totals.manifest.what;
    return info;
}

void Prune(int storeFd, const UndoLimits &limits, const std::string &finishing) {
    RemoveLeftOvers(storeFd);
    std::vector<RunState> runs;
    for (const std::string &name : RunNames(storeFd)) {
        RunState run = LookAt(storeFd, name);
        // A run that holds no record (killed before its first one) is nothing to keep.
        if (run.holds == RunState::Holds::Nothing && !run.locked && name != finishing) {
            DropRun(storeFd, name);
            continue;
        }
        runs.push_back(std::move(run));
    }
    const auto droppable = [&](std::size_t i) {
        return !runs[i].locked && runs[i].name != finishing;
    };
    // Oldest first: the count rule, then the size rule, which spares the newest run.
    for (std::size_t i = 0; i < runs.size() && runs.size() > limits.runs;) {
        if (droppable(i) && DropRun(storeFd, runs[i].name) == 0)
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    const std::uint64_t limit = SizeLimit(storeFd, limits);
    std::uint64_t total = 0;
    for (const RunState &run : runs)
        total += run.space();
    for (std::size_t i = 0; i + 1 < runs.size() && total > limit;) {
        if (droppable(i) && DropRun(storeFd, runs[i].name) == 0) {
            total -= runs[i].space();
            runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

LockedStore LockStore(const std::string &path) {
    LockedStore store;
    store.folder.reset(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store.folder) {
        store.error = errno;
        return store;
    }
    store.lock.reset(::openat(store.folder.get(), LockName, O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!store.lock)
        store.error = errno;
    else
        store.error = LockWait(store.lock.get(), LOCK_EX);
    return store;
}

}  // namespace Undo
