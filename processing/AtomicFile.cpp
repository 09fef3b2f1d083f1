#include "AtomicFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RFTSFSO {

namespace {

// Whether an unnamed file can be given a name: through /proc/self/fd, or directly with
// AT_EMPTY_PATH, which needs a privilege. Decided once.
bool UnnamedFilesCanBeLinked() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0;
    return can;
}

// Gives the unnamed file `fd` the name `path`.
int LinkUnnamed(int fd, const std::string &path) {
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, proc, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    const int error = errno;
    if (error == ENOENT && ::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    return error;
}

// Follows symbolic links from `path` to the file at their end (or to where it would be made).
// Fills `info` and `exists`; answers an errno value, 0 when all went well.
int ResolveLinks(std::string &path, struct stat &info, bool &exists) {
    for (int depth = 0; depth < 40; ++depth) {
        if (::lstat(path.c_str(), &info) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(info.st_mode)) {
            exists = true;
            return 0;
        }
        std::vector<char> target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) +
                                 1);
        const ssize_t size = ::readlink(path.c_str(), target.data(), target.size());
        if (size < 0)
            return errno;
        if (static_cast<std::size_t>(size) >= target.size())
            continue;  // the link changed under us: read it again
        std::string next(target.data(), static_cast<std::size_t>(size));
        if (next.empty() || next[0] != '/') {
            const std::size_t slash = path.rfind('/');
            next.insert(0, slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
        }
        path = std::move(next);
    }
    return ELOOP;
}

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name beside `target` that nothing has yet: ".<name>.XXXXXX".
std::string TemporaryNameFor(const std::string &target) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t slash = target.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string name = target.substr(0, start) + "." + target.substr(start) + ".";
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

}  // namespace

AtomicFile::AtomicFile(const QString &path, Temporary temporary)
    : path_(path), target_(QFile::encodeName(path).toStdString()) {
    if (target_.empty())
        fail(ENOENT);
    struct stat existing;
    if (const int error = ResolveLinks(target_, existing, exists_))
        fail(error);
    if (exists_) {
        if (S_ISDIR(existing.st_mode))
            fail(EISDIR);
        if (!S_ISREG(existing.st_mode))
            throw FileError(FileError::Kind::Write, path_, FileError::SpecialOf(existing.st_mode));
        // A rename needs only the folder's permission; a file this user may not write is
        // refused here rather than replaced.
        if (::access(target_.c_str(), W_OK) != 0)
            fail(errno);
    }

    // Until the permission bits of the replaced file are copied, nobody else may open it.
    const mode_t mode = exists_ ? 0600 : 0666;
    if (temporary == Temporary::Unnamed && UnnamedFilesCanBeLinked()) {
        fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(errno);
    }
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = TemporaryNameFor(target_);
        fd_ = ::open(temporary_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ < 0) {
            const int error = errno;
            temporary_.clear();
            if (error != EEXIST || attempt == 100)
                fail(error);
        }
    }

    if (exists_) {
        mode_ = existing.st_mode & 07777;
        owner_ = existing.st_uid;
        group_ = existing.st_gid;
    }
}

AtomicFile::~AtomicFile() {
    discard();
}

// The replaced file's permission bits, owner and group, once all is written: a write by an
// unprivileged process clears the set-id bits.
void AtomicFile::takeOverAttributes() {
    struct stat created;
    if (::fstat(fd_, &created) == 0 && (created.st_uid != owner_ || created.st_gid != group_)) {
        // Where this user may: root always, others for a group they belong to.
        if (::fchown(fd_, owner_, group_) != 0)
            (void)::fchown(fd_, static_cast<uid_t>(-1), group_);
    }
    if (::fchmod(fd_, mode_) != 0)
        fail(errno);
}

void AtomicFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
}

void AtomicFile::fail(int error) {
    discard();
    throw FileError(FileError::Kind::Write, path_, error);
}

void AtomicFile::write(const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AtomicFile::commit() {
    if (exists_)
        takeOverAttributes();
    // The content is on the disk before any name points at it.
    if (::fdatasync(fd_) != 0 && errno != EINVAL)
        fail(errno);
    if (temporary_.empty()) {
        // A new file takes its name directly; a file that replaces another gets a name of its
        // own first, to be renamed over the old one.
        if (!exists_) {
            const int error = LinkUnnamed(fd_, target_);
            if (error == 0) {
                const int fd = fd_;
                fd_ = -1;
                ::close(fd);
                return;
            }
            if (error != EEXIST)
                fail(error);
        }
        for (int attempt = 0;; ++attempt) {
            const std::string name = TemporaryNameFor(target_);
            const int error = LinkUnnamed(fd_, name);
            if (error == 0) {
                temporary_ = name;
                break;
            }
            if (error != EEXIST || attempt == 100)
                fail(error);
        }
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        fail(errno);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        fail(errno);
    temporary_.clear();
}

}  // namespace RFTSFSO
