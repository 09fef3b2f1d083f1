#include "undo/UndoStore.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include "posix/Errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const char ManifestName[] = "manifest";
const char LockName[] = "lock";
const char FormatLine[] = "strelmark-undo 1";
const char StagingPrefix[] = ".new-";   // a run folder being made
const char DroppedPrefix[] = ".gone-";  // a run folder being removed
// A hidden run folder this old whose manifest nobody locks was left by a killed process.
constexpr time_t StaleSeconds = 60;

// --- small helpers ------------------------------------------------------------------------------

// Closes its descriptor when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    Fd(Fd &&other) noexcept : fd_(other.release()) {}
    Fd &operator=(Fd &&other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

int LockWait(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Whether a process holds the lock of the manifest behind `fd`.
bool HeldByOther(int fd) {
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(fd, LOCK_UN);
    return false;
}

int WriteAll(int fd, const char *data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return 0;
}

int WriteOn(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int SyncData(int fd) {
    return ::fdatasync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

int SyncFolder(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

std::string ParentOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the folder and the folders above it that are missing (only the user may look in).
int MakePath(const std::string &path) {
    if (path.empty())
        return ENOENT;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = ParentOf(path);
    if (parent != path) {
        if (const int error = MakePath(parent))
            return error;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

// A relative path taken from the current folder.
int MakeAbsolute(std::string &path) {
    if (path[0] == '/')
        return 0;
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return errno;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    path.insert(0, folder == "/" ? folder : folder + "/");
    return 0;
}

// --- a file's identity --------------------------------------------------------------------------

struct Identity {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const Identity &) const = default;
};

Identity IdentityOf(const struct stat &info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::uint64_t SpaceOf(const struct stat &info) {
    return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

// --- copying a file with everything that belongs to it -------------------------------------------

int CopyBytes(int from, int to) {
    bool ranges = true;  // copy_file_range where the file systems offer it (reflinks, no copy)
    std::vector<char> buffer;
    for (;;) {
        if (ranges) {
            const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
            if (copied > 0)
                continue;
            if (copied == 0)
                return 0;
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
                errno != EBADF)
                return errno;
            ranges = false;
            buffer.resize(1 << 17);
        }
        const ssize_t size = ::read(from, buffer.data(), buffer.size());
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (size == 0)
            return 0;
        if (const int error = WriteOn(to, buffer.data(), static_cast<std::size_t>(size)))
            return error;
    }
}

// Extended attributes, as far as this user may set them here (a file system without them, or
// a namespace that needs a privilege, keeps the rest).
void CopyAttributes(int from, int to) {
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size <= 0)
        return;
    std::vector<char> value;
    for (const char *name = names.data(); name < names.data() + size;
         name += std::strlen(name) + 1) {
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(static_cast<std::size_t>(length) + 1);
        const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
        if (got >= 0)
            (void)::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0);
    }
}

// Copies the open regular file `from` (whose status is `info`) into the new, empty file `to`:
// bytes, owner (where allowed), permission bits, extended attributes, access and modification
// times; then makes it durable, or leaves that to the caller.
enum class Durable { Now, Later };
int CopyFile(int from, const struct stat &info, int to, Durable durable) {
    if (const int error = CopyBytes(from, to))
        return error;
    // The owner first: a change of owner clears the set-id bits that the mode then sets.
    if (::fchown(to, info.st_uid, info.st_gid) != 0)
        (void)::fchown(to, static_cast<uid_t>(-1), info.st_gid);
    if (::fchmod(to, info.st_mode & 07777) != 0)
        return errno;
    CopyAttributes(from, to);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(to, times) != 0)
        return errno;
    return durable == Durable::Now ? SyncData(to) : 0;
}

// Errors of a hard link that a copy may get around.
bool CopyMayHelp(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == EOPNOTSUPP ||
           error == EACCES;
}

// --- the manifest -------------------------------------------------------------------------------

std::string Escape(const std::string &bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            text += c;
        } else {
            text += '%';
            text += hex[byte >> 4];
            text += hex[byte & 15];
        }
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string &bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte <= 0x20 || byte >= 0x7F)
            return false;
        if (byte != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

template <class Number>
bool ReadNumber(std::string_view text, Number &number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string FaceText(UndoFace face) {
    return face == UndoFace::CommandLine ? "command line" : "window";
}

struct Record {
    bool replaced = false;
    std::string target;
    std::string kept;  // empty for a created file
    Identity old;
    std::uint64_t keptBytes = 0;
    Identity fresh;
};

void AppendIdentity(std::string &line, const Identity &id) {
    line += ' ' + std::to_string(id.device) + ' ' + std::to_string(id.inode) + ' ' +
            std::to_string(id.size) + ' ' + std::to_string(id.modifiedNs);
}

std::string RecordLine(const Record &record) {
    std::string line = record.replaced ? "R " : "C ";
    line += Escape(record.target);
    line += ' ';
    line += record.replaced ? record.kept : "-";
    AppendIdentity(line, record.old);
    line += ' ' + std::to_string(record.keptBytes);
    AppendIdentity(line, record.fresh);
    line += '\n';
    return line;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        fields.push_back(line.substr(start, space - start));
        if (space == std::string_view::npos)
            return fields;
        start = space + 1;
    }
}

bool ReadIdentity(const std::vector<std::string_view> &fields, std::size_t at, Identity &id) {
    return ReadNumber(fields[at], id.device) && ReadNumber(fields[at + 1], id.inode) &&
           ReadNumber(fields[at + 2], id.size) && ReadNumber(fields[at + 3], id.modifiedNs);
}

bool KeptNameIsPlain(std::string_view name) {
    return name.size() > 1 && name[0] == 'k' &&
           std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<Record> ParseRecord(std::string_view line) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 12 || (fields[0] != "R" && fields[0] != "C"))
        return std::nullopt;
    Record record;
    record.replaced = fields[0] == "R";
    if (!Unescape(fields[1], record.target) || record.target.empty() || record.target[0] != '/')
        return std::nullopt;
    if (record.replaced ? !KeptNameIsPlain(fields[2]) : fields[2] != "-")
        return std::nullopt;
    if (record.replaced)
        record.kept = std::string(fields[2]);
    if (!ReadIdentity(fields, 3, record.old) || !ReadNumber(fields[7], record.keptBytes) ||
        !ReadIdentity(fields, 8, record.fresh))
        return std::nullopt;
    return record;
}

struct Manifest {
    bool valid = false;  // the header was read
    UndoFace face = UndoFace::Window;
    std::string started;
    std::vector<Record> records;
};

std::string HeaderText(UndoFace face, const std::string &started) {
    return std::string(FormatLine) + "\nface " + FaceText(face) + "\nstarted " + started + "\n";
}

// Reads the complete lines of the text. Lines that do not read are ignored: a torn last one, or
// the zeros of a block that was allocated but never written.
Manifest ParseManifest(std::string_view text, bool wantRecords, std::size_t *count = nullptr,
                       std::uint64_t *bytes = nullptr) {
    Manifest manifest;
    std::size_t number = 0;
    std::size_t records = 0;
    std::uint64_t kept = 0;
    bool face = false, started = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            break;  // no line end: torn
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        ++number;
        if (number == 1) {
            if (line != FormatLine)
                return manifest;
            continue;
        }
        if (number == 2 && line.substr(0, 5) == "face ") {
            const std::string_view value = line.substr(5);
            face = value == "window" || value == "command line";
            manifest.face = value == "command line" ? UndoFace::CommandLine : UndoFace::Window;
            continue;
        }
        if (number == 3 && line.substr(0, 8) == "started ") {
            manifest.started = std::string(line.substr(8));
            started = true;
            continue;
        }
        if (number <= 3)
            return manifest;
        if (std::optional<Record> record = ParseRecord(line)) {
            ++records;
            kept += record->keptBytes;
            if (wantRecords)
                manifest.records.push_back(std::move(*record));
        }
    }
    manifest.valid = face && started;
    if (count)
        *count = records;
    if (bytes)
        *bytes = kept;
    return manifest;
}

int ReadAll(int fd, std::string &text) {
    text.clear();
    std::string buffer(1 << 16, '\0');
    for (off_t offset = 0;;) {
        const ssize_t size = ::pread(fd, buffer.data(), buffer.size(), offset);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (size == 0)
            return 0;
        text.append(buffer.data(), static_cast<std::size_t>(size));
        offset += size;
    }
}

std::string EndLine(std::size_t records, std::uint64_t bytes) {
    return "end " + std::to_string(records) + ' ' + std::to_string(bytes) + '\n';
}

// A run's header and totals, from the "end" line when the run finished, by reading all its
// records when it did not.
struct RunTotals {
    Manifest manifest;  // without records
    std::size_t records = 0;
    std::uint64_t keptBytes = 0;
    std::uint64_t manifestBytes = 0;
};

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
    char tail[128];
    const off_t tailStart = std::max<off_t>(0, info.st_size - static_cast<off_t>(sizeof tail));
    const ssize_t tailSize = ::pread(manifestFd, tail, sizeof tail, tailStart);
    if (tailSize > 0 && tail[tailSize - 1] == '\n') {
        std::string_view text(tail, static_cast<std::size_t>(tailSize - 1));
        const std::size_t start = text.rfind('\n');
        if (start != std::string_view::npos || tailStart == 0) {
            const std::string_view line =
                start == std::string_view::npos ? text : text.substr(start + 1);
            const std::vector<std::string_view> fields = Fields(line);
            if (fields.size() == 3 && fields[0] == "end" && ReadNumber(fields[1], totals.records) &&
                ReadNumber(fields[2], totals.keptBytes))
                return totals.manifest.valid;
        }
    }
    std::string text;
    if (ReadAll(manifestFd, text) != 0)
        return false;
    totals.manifest = ParseManifest(text, false, &totals.records, &totals.keptBytes);
    return totals.manifest.valid;
}

// --- run folders --------------------------------------------------------------------------------

// "20250114T093012.345678Z-0012345-0001" and "2025-01-14T09:30:12.345Z"
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

bool IsRunName(const char *name) {
    return name[0] >= '0' && name[0] <= '9';
}

// The folder's entries, sorted by name (so, for runs, oldest first).
std::vector<std::string> Entries(int folderFd) {
    std::vector<std::string> names;
    const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    DIR *dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> RunNames(int storeFd) {
    std::vector<std::string> runs;
    for (std::string &name : Entries(storeFd)) {
        if (IsRunName(name.c_str()))
            runs.push_back(std::move(name));
    }
    return runs;
}

// Removes a run folder's files and the folder (run folders hold files only).
void RemoveFolder(int storeFd, const std::string &name) {
    const int fd = ::openat(storeFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        for (const std::string &entry : Entries(fd))
            ::unlinkat(fd, entry.c_str(), 0);
        ::close(fd);
    }
    ::unlinkat(storeFd, name.c_str(), AT_REMOVEDIR);
}

// Takes a run out of view at once, then removes its files: a removal cut short leaves a hidden
// folder, never a run with part of its kept files.
int DropRun(int storeFd, const std::string &name) {
    const std::string hidden = DroppedPrefix + name;
    if (::renameat(storeFd, name.c_str(), storeFd, hidden.c_str()) != 0)
        return errno;
    (void)SyncFolder(storeFd);
    RemoveFolder(storeFd, hidden);
    return 0;
}

// A run as the store's maintenance sees it.
struct RunState {
    std::string name;
    bool locked = false;  // being recorded
    // What its manifest holds. A folder whose manifest is missing, or holds no record, holds
    // nothing to undo; one that cannot be read is left alone (to the count rule).
    enum class Holds { Nothing, Records, Unreadable } holds = Holds::Unreadable;
    RunTotals totals;
    std::uint64_t space() const { return totals.keptBytes + totals.manifestBytes; }
};

RunState LookAt(int storeFd, const std::string &name) {
    RunState run;
    run.name = name;
    const std::string manifest = name + "/" + ManifestName;
    Fd fd(::openat(storeFd, manifest.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT)
            run.holds = RunState::Holds::Nothing;
        return run;
    }
    run.locked = HeldByOther(fd.get());
    if (ReadTotals(fd.get(), run.totals))
        run.holds = run.totals.records > 0 ? RunState::Holds::Records : RunState::Holds::Nothing;
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
    return info;
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

// Applies the bounds; the store is locked. `finishing` is never dropped.
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
    std::uint64_t limit = limits.bytes;
    struct statvfs space;
    if (::fstatvfs(storeFd, &space) == 0) {
        const std::uint64_t free =
            static_cast<std::uint64_t>(space.f_bavail) * static_cast<std::uint64_t>(space.f_frsize);
        limit = std::min<std::uint64_t>(limit, free / 100 * limits.freeSpacePercent);
    }
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

// The store's folder and its lock, taken.
struct LockedStore {
    Fd folder, lock;
    int error = 0;
};

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

// --- undoing ------------------------------------------------------------------------------------

std::string TemporaryBeside(const std::string &target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::size_t slash = target.rfind('/');
    std::string name = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".undo-";
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

// Puts the kept file back over `target`: linked beside it and renamed over it, or copied there
// when it is on another file system. Fills `now` with what is at the target then.
int PutBack(int runFd, const Record &record, struct stat &now) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = TemporaryBeside(record.target);
        int error = 0;
        if (::linkat(runFd, record.kept.c_str(), AT_FDCWD, temporary.c_str(), 0) != 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            if (!CopyMayHelp(error))
                return error;
            Fd from(::openat(runFd, record.kept.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            if (!from)
                return errno;
            struct stat info;
            if (::fstat(from.get(), &info) != 0)
                return errno;
            Fd to(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (!to) {
                if (errno == EEXIST)
                    continue;
                return errno;
            }
            error = CopyFile(from.get(), info, to.get(), Durable::Now);
            if (error != 0) {
                ::unlink(temporary.c_str());
                return error;
            }
        }
        if (::rename(temporary.c_str(), record.target.c_str()) != 0) {
            error = errno;
            ::unlink(temporary.c_str());
            return error;
        }
        return ::lstat(record.target.c_str(), &now) == 0 ? 0 : errno;
    }
    return EEXIST;
}

}  // namespace

// --- the recorder
// ---------------------------------------------------------------------------------

UndoRecorder::UndoRecorder(std::string store, UndoFace face, UndoLimits limits, UndoKeep keep)
    : store_(std::move(store)), face_(face), limits_(limits), keep_(keep) {}

UndoRecorder::~UndoRecorder() {
    finish();
}

QString UndoRecorder::folder() const {
    return name_.empty() ? QString() : QFile::decodeName((store_ + "/" + name_).c_str());
}

// Makes the run's folder and manifest: under a hidden name until the manifest is there and
// locked, so that nobody takes an empty folder for a run that was killed.
int UndoRecorder::open() {
    if (const int error = MakePath(store_))
        return error;
    Fd store(::open(store_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return errno;
    std::string name, started, staging;
    for (int attempt = 0;; ++attempt) {
        NewRunName(name, started);
        staging = StagingPrefix + name;
        if (::mkdirat(store.get(), staging.c_str(), 0700) == 0)
            break;
        if (errno != EEXIST || attempt == 100)
            return errno;
    }
    Fd folder(::openat(store.get(), staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    Fd manifest(
        folder ? ::openat(folder.get(), ManifestName, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
               : -1);
    int error = !manifest ? errno : LockWait(manifest.get(), LOCK_EX);
    const std::string header = HeaderText(face_, started);
    if (error == 0)
        error = WriteAll(manifest.get(), header.data(), header.size(), 0);
    if (error == 0)
        error = SyncData(manifest.get());
    if (error == 0)
        error = SyncFolder(folder.get());
    if (error == 0 && ::renameat(store.get(), staging.c_str(), store.get(), name.c_str()) != 0)
        error = errno;
    if (error == 0)
        error = SyncFolder(store.get());
    if (error != 0) {
        RemoveFolder(store.get(), staging);
        RemoveFolder(store.get(), name);
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

// Keeps one file (or notes one to be created) and appends its record to `lines`.
int UndoRecorder::keep(const Replacement &entry, std::string &lines) {
    if (entry.target.empty())
        return ENOENT;
    Record record;
    record.replaced = entry.existed;
    record.target = entry.target;
    if (const int error = MakeAbsolute(record.target))
        return error;
    record.fresh = {entry.newDevice, entry.newInode, entry.newSize, entry.newModifiedNs};
    if (record.replaced) {
        record.kept = "k" + std::to_string(nextKept_++);
        const char *kept = record.kept.c_str();
        int error = 0;
        // Linked by the target's folder, open for the group, and its name: one lookup of the
        // folder for the files of a group that share it.
        const std::size_t slash = record.target.rfind('/');
        const std::string folder = slash == 0 ? "/" : record.target.substr(0, slash);
        if (keep_ == UndoKeep::LinkWherePossible && folder != linkFolder_) {
            if (linkFolderFd_ >= 0)
                ::close(linkFolderFd_);
            linkFolderFd_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            linkFolder_ = folder;
        }
        const bool byFolder = linkFolderFd_ >= 0;
        if (keep_ == UndoKeep::LinkWherePossible &&
            ::linkat(byFolder ? linkFolderFd_ : AT_FDCWD,
                     byFolder ? record.target.c_str() + slash + 1 : record.target.c_str(),
                     folderFd_, kept, 0) == 0) {
            if (entry.oldKnown) {
                // As the writer found it. Should another file have taken its place since, the
                // link keeps that one, whatever it is, and undo puts it back; its identity then
                // differs from the recorded one, so that undo of a run killed before the rename
                // leaves it alone as changed.
                record.old = {entry.oldDevice, entry.oldInode, entry.oldSize, entry.oldModifiedNs};
                record.keptBytes = entry.oldSpace;
                lines += RecordLine(record);
                bytesKept_ += record.keptBytes;
                return 0;
            }
            // The path was to be a regular file with its links resolved.
            struct stat info;
            if (::fstatat(folderFd_, kept, &info, AT_SYMLINK_NOFOLLOW) != 0)
                error = errno;
            else if (!S_ISREG(info.st_mode))
                error = S_ISLNK(info.st_mode) ? ELOOP : EINVAL;
            if (error != 0) {
                ::unlinkat(folderFd_, kept, 0);
                return error;
            }
            record.old = IdentityOf(info);
            record.keptBytes = SpaceOf(info);
        } else {
            error = keep_ == UndoKeep::Copy ? EXDEV : errno;
            if (error == ENOENT && entry.oldKnown) {
                // Gone since the writer found it: the result will be a new file.
                --nextKept_;
                record.replaced = false;
                record.kept.clear();
                lines += RecordLine(record);
                return 0;
            }
            if (!CopyMayHelp(error))
                return error;
            // O_NONBLOCK: a named pipe put there meanwhile must not hold the run up.
            Fd from(::open(record.target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (!from)
                return errno;
            struct stat info;
            if (::fstat(from.get(), &info) != 0)
                return errno;
            if (!S_ISREG(info.st_mode))
                return EINVAL;
            Fd to(::openat(folderFd_, kept, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (!to)
                return errno;
            // Made durable with the group's record, all copies at once.
            error = CopyFile(from.get(), info, to.get(), Durable::Later);
            struct stat copied;
            if (error == 0 && ::fstat(to.get(), &copied) != 0)
                error = errno;
            if (error != 0) {
                ::unlinkat(folderFd_, kept, 0);
                return error;
            }
            record.old = IdentityOf(info);
            record.keptBytes = SpaceOf(copied);
        }
    }
    lines += RecordLine(record);
    bytesKept_ += record.keptBytes;
    return 0;
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

    std::string lines;
    std::vector<std::string> keptNames;
    const std::uint64_t bytesBefore = bytesKept_;
    std::size_t count = 0;
    for (std::size_t i = 0; i < group.size(); ++i) {
        const std::size_t before = nextKept_;
        answers[i] = keep(group[i], lines);
        if (answers[i] == 0) {
            ++count;
            if (nextKept_ != before)
                keptNames.push_back("k" + std::to_string(before));
        }
    }
    if (linkFolderFd_ >= 0)
        ::close(linkFolderFd_);
    linkFolderFd_ = -1;
    linkFolder_.clear();
    if (count == 0)
        return answers;

    // The records, then everything on the disk with one flush of the store's file system: the
    // manifest's data, the run folder's new entries (the kept links), the copies' data, and
    // whatever else was written there before (the results, when they are on it).
    error = WriteAll(manifestFd_, lines.data(), lines.size(), static_cast<off_t>(manifestSize_));
    if (error == 0 && ::syncfs(folderFd_) != 0)
        error = errno;
    if (error != 0) {
        // None of the group counts: its lines go, so that the next group's follow complete
        // ones, and so do its kept files.
        if (::ftruncate(manifestFd_, static_cast<off_t>(manifestSize_)) != 0)
            broken_ = errno;
        for (const std::string &name : keptNames)
            ::unlinkat(folderFd_, name.c_str(), 0);
        bytesKept_ = bytesBefore;
        for (int &answer : answers) {
            if (answer == 0)
                answer = error;
        }
        return answers;
    }
    manifestSize_ += lines.size();
    recorded_ += count;
    return answers;
}

void UndoRecorder::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (folderFd_ < 0)
        return;
    if (recorded_ > 0 && broken_ == 0) {
        const std::string end = EndLine(recorded_, bytesKept_);
        if (WriteAll(manifestFd_, end.data(), end.size(), static_cast<off_t>(manifestSize_)) == 0)
            manifestSize_ += end.size();
    }
    ::close(folderFd_);
    folderFd_ = -1;
    Fd store(::open(store_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (recorded_ == 0 && store) {
        // Nothing recorded: the run leaves nothing. The manifest's lock is still held, so no
        // other process looks at the folder meanwhile.
        DropRun(store.get(), name_);
        name_.clear();
    }
    ::close(manifestFd_);  // the lock goes with it
    manifestFd_ = -1;
    if (!store)
        return;
    LockedStore locked = LockStore(store_);
    if (locked.error == 0)
        Prune(locked.folder.get(), limits_, name_);
}

// --- the store
// ------------------------------------------------------------------------------------

UndoStore::UndoStore(QString folder, UndoLimits limits, UndoKeep keep)
    : folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)),
      path_(QFile::encodeName(folder_).toStdString()),
      limits_(limits),
      keep_(keep) {}

QString UndoStore::DefaultFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // No home folder to find it in: no store (every record fails with ENOENT).
    return data.isEmpty() ? QString() : data + QStringLiteral("/Brindlewick/Strelmark/undo");
}

int UndoStore::prepare() const {
    const int error = MakePath(path_);
    if (error != 0)
        return error;
    return ::access(path_.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::unique_ptr<UndoRecorder> UndoStore::beginRun(UndoFace face) const {
    return std::unique_ptr<UndoRecorder>(new UndoRecorder(path_, face, limits_, keep_));
}

std::optional<UndoRunInfo> UndoStore::lastRun() const {
    Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return std::nullopt;
    const std::vector<std::string> runs = RunNames(store.get());
    for (auto name = runs.rbegin(); name != runs.rend(); ++name) {
        const RunState run = LookAt(store.get(), *name);
        if (run.holds == RunState::Holds::Records || (run.locked && run.totals.manifest.valid))
            return InfoOf(run);
    }
    return std::nullopt;
}

std::uint64_t UndoStore::totalSize() const {
    Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return 0;
    std::uint64_t total = 0;
    for (const std::string &name : RunNames(store.get()))
        total += LookAt(store.get(), name).space();
    return total;
}

UndoSummary UndoStore::undoLast() {
    UndoSummary summary;
    LockedStore store = LockStore(path_);
    if (store.error != 0) {
        if (store.error != ENOENT || store.folder) {
            summary.outcome = UndoSummary::Outcome::StoreFailed;
            summary.storeError = store.error;
        }
        return summary;
    }
    const int storeFd = store.folder.get();
    const std::vector<std::string> runs = RunNames(storeFd);
    for (auto name = runs.rbegin(); name != runs.rend(); ++name) {
        const std::string manifestPath = *name + "/" + ManifestName;
        Fd manifestFd(::openat(storeFd, manifestPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!manifestFd) {
            if (errno == ENOENT)
                DropRun(storeFd, *name);  // a folder with no record: nothing to undo
            continue;
        }
        if (::flock(manifestFd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            RunState run = LookAt(storeFd, *name);
            run.locked = true;
            summary.outcome = UndoSummary::Outcome::RunInProgress;
            summary.run = InfoOf(run);
            return summary;
        }
        // A manifest that cannot be read is left as it is (the count rule drops it in time);
        // the files of that run are left alone by older runs' undo, as changed since.
        std::string text;
        if (ReadAll(manifestFd.get(), text) != 0)
            continue;
        const Manifest manifest = ParseManifest(text, true);
        if (!manifest.valid)
            continue;
        if (manifest.records.empty()) {
            DropRun(storeFd, *name);  // killed before its first record
            continue;
        }
        Fd runFd(::openat(storeFd, name->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!runFd) {
            summary.outcome = UndoSummary::Outcome::StoreFailed;
            summary.storeError = errno;
            return summary;
        }

        RunState state;
        state.name = *name;
        state.totals.manifest = manifest;
        state.totals.records = manifest.records.size();
        for (const Record &record : manifest.records)
            state.totals.keptBytes += record.keptBytes;
        summary.outcome = UndoSummary::Outcome::Done;
        summary.run = InfoOf(state);

        // Newest first. A file put back by copy has an identity of its own; an older record of
        // the same target sees the original's identity in its place.
        std::map<std::string, std::pair<Identity, Identity>> putBack;
        std::set<std::string> folders;
        std::vector<const Record *> retry;
        for (auto record = manifest.records.rbegin(); record != manifest.records.rend(); ++record) {
            const std::string &target = record->target;
            struct stat info;
            if (::lstat(target.c_str(), &info) != 0) {
                const int error = errno;
                if (error != ENOENT && error != ENOTDIR)
                    summary.failed.push_back({target, error});
                else if (record->replaced)
                    summary.leftAlone.push_back({target, UndoSummary::Reason::Gone});
                else
                    ++summary.nothingToDo;
                continue;
            }
            Identity now = IdentityOf(info);
            if (const auto known = putBack.find(target);
                known != putBack.end() && known->second.first == now)
                now = known->second.second;
            if (record->replaced && now == record->old) {
                ++summary.nothingToDo;  // never replaced
                continue;
            }
            if (now != record->fresh) {
                summary.leftAlone.push_back({target, UndoSummary::Reason::Changed});
                continue;
            }
            if (!record->replaced) {
                if (::unlink(target.c_str()) != 0) {
                    summary.failed.push_back({target, errno});
                    continue;
                }
                summary.removed.push_back(target);
                folders.insert(ParentOf(target));
                continue;
            }
            struct stat restored;
            if (const int error = PutBack(runFd.get(), *record, restored)) {
                summary.failed.push_back({target, error});
                struct stat kept;
                if (::fstatat(runFd.get(), record->kept.c_str(), &kept, AT_SYMLINK_NOFOLLOW) == 0)
                    retry.push_back(&*record);
                continue;
            }
            putBack[target] = {IdentityOf(restored), record->old};
            summary.restored.push_back(target);
            folders.insert(ParentOf(target));
        }
        for (const std::string &folder : folders) {
            Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (fd)
                (void)SyncFolder(fd.get());
        }

        if (retry.empty()) {
            DropRun(storeFd, *name);
            return summary;
        }
        // What failed stays for the next undo, oldest first as recorded; the rest goes.
        std::reverse(retry.begin(), retry.end());
        std::string kept = HeaderText(manifest.face, manifest.started);
        std::set<std::string> keptNames;
        std::uint64_t bytes = 0;
        for (const Record *record : retry) {
            kept += RecordLine(*record);
            keptNames.insert(record->kept);
            bytes += record->keptBytes;
        }
        kept += EndLine(retry.size(), bytes);
        const std::string fresh = std::string(ManifestName) + ".new";
        Fd out(
            ::openat(runFd.get(), fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (!out || WriteAll(out.get(), kept.data(), kept.size(), 0) != 0 ||
            SyncData(out.get()) != 0 ||
            ::renameat(runFd.get(), fresh.c_str(), runFd.get(), ManifestName) != 0) {
            // The run stays as it was: undoing it again finds the files put back as they were
            // before the run (nothing to do) and tries the others again.
            ::unlinkat(runFd.get(), fresh.c_str(), 0);
            return summary;
        }
        (void)SyncFolder(runFd.get());
        for (const Record &record : manifest.records) {
            if (record.replaced && !keptNames.count(record.kept))
                ::unlinkat(runFd.get(), record.kept.c_str(), 0);
        }
        return summary;
    }
    return summary;
}

// --- the summary's text
// ---------------------------------------------------------------------------

QStringList DescribeUndo(const UndoSummary &summary) {
    const auto path = [](const std::string &bytes) { return QString::fromUtf8(bytes); };
    QStringList lines;
    switch (summary.outcome) {
        case UndoSummary::Outcome::NothingToUndo:
            return {QStringLiteral("There is no run to undo.")};
        case UndoSummary::Outcome::RunInProgress:
            return {
                QStringLiteral("The last run is still in progress; undo it when it has ended.")};
        case UndoSummary::Outcome::StoreFailed:
            return {QStringLiteral("The undo store cannot be used: ") +
                    QString::fromStdString(Posix::ErrorText(summary.storeError))};
        case UndoSummary::Outcome::Done:
            break;
    }
    lines.append(QStringLiteral("%1 restored, %2 removed, %3 left alone, %4 failed.")
                     .arg(summary.restored.size())
                     .arg(summary.removed.size())
                     .arg(summary.leftAlone.size())
                     .arg(summary.failed.size()));
    for (const std::string &file : summary.restored)
        lines.append(QStringLiteral("Restored: ") + path(file));
    for (const std::string &file : summary.removed)
        lines.append(QStringLiteral("Removed: ") + path(file));
    for (const UndoSummary::LeftAlone &file : summary.leftAlone) {
        lines.append((file.reason == UndoSummary::Reason::Gone
                          ? QStringLiteral("Left alone, no longer there: ")
                          : QStringLiteral("Left alone, changed since the run: ")) +
                     path(file.path));
    }
    for (const UndoSummary::Failure &file : summary.failed) {
        lines.append(QStringLiteral("Not restored, ") +
                     QString::fromStdString(Posix::ErrorText(file.error)) + QStringLiteral(": ") +
                     path(file.path));
    }
    return lines;
}
