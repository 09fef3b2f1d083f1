#include "files/AtomicFile.h"

#include "files/CommitQueue.h"
#include "files/PathText.h"
#include "files/Placement.h"
#include "posix/Attributes.h"
#include "posix/Paths.h"
#include "posix/TemporaryNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// --- PendingResult ----------------------------------------------------------------------------

PendingResult::~PendingResult() {
    discard();
}

void PendingResult::discard() {
    if (behind_) {
        behind_->cancel();
        behind_.reset();
    }
    if (replacedFd_ >= 0)
        ::close(std::exchange(replacedFd_, -1));
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlinkat(folder_ ? folder_->fd() : AT_FDCWD, temporary_.c_str(), 0);
    temporary_.clear();
}

namespace RFTSFSO {

namespace {

// What a file that this thread makes in a folder gets without being asked: its owner and group
// (this process's, or the folder's group under a set-group-ID folder), and for the permission
// bits it is opened with, the bits it ends up with (the umask or the folder's default ACL take
// some away). Learnt from the status of the last temporary file made in that folder, so that a
// run over many files of one folder asks once rather than once a file. A child made by fork()
// starts without it: it may change its user before it writes.
struct CreationFacts {
    bool known = false;
    std::string folder;
    mode_t requested = 0;
    mode_t got = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

thread_local CreationFacts lastCreation;

void ForgetCreationFacts() {
    lastCreation.known = false;
}

const CreationFacts *KnownCreation(const std::string &folder) {
    static const int registered = ::pthread_atfork(nullptr, nullptr, ForgetCreationFacts);
    (void)registered;
    return lastCreation.known && lastCreation.folder == folder ? &lastCreation : nullptr;
}

void LearnCreation(const std::string &folder, mode_t requested, const struct stat &created) {
    lastCreation.known = true;
    lastCreation.folder = folder;
    lastCreation.requested = requested;
    lastCreation.got = created.st_mode & 07777;
    lastCreation.owner = created.st_uid;
    lastCreation.group = created.st_gid;
}

// Whether this user may write the existing file, as access(W_OK) would answer, known without
// asking: its owner may when the owner's write bit is set. (A file system mounted read-only
// refuses the temporary file as well; an immutable file refuses its rename at the commit.)
bool OwnerMayWrite(const std::string &folder, const struct stat &existing) {
    const CreationFacts *facts = KnownCreation(folder);
    return facts != nullptr && facts->owner == existing.st_uid && (existing.st_mode & S_IWUSR);
}

}  // namespace

ResultTarget ResolveResultTarget(const QString &path) {
    return ResolveResultTarget(path, PathBytes(path));
}

ResultTarget ResolveResultTarget(const QString &path, std::string encoded) {
    ResultTarget target;
    target.path = std::move(encoded);
    if (target.path.empty())
        throw FileError(FileError::Kind::Write, path, ENOENT);
    const std::string given = target.path;
    if (const int error = Posix::ResolveLinks(target.path, target.info, target.exists))
        throw FileError(FileError::Kind::Write, path, error);
    // A link to nothing would make its file wherever it points, outside the folder the user
    // named perhaps: refused, as cp refuses it.
    if (!target.exists && target.path != given)
        throw FileError(FileError::Kind::Write, path, FileError::Special::DanglingLink);
    if (target.exists) {
        if (S_ISDIR(target.info.st_mode))
            throw FileError(FileError::Kind::Write, path, EISDIR);
        if (!S_ISREG(target.info.st_mode))
            throw FileError(FileError::Kind::Write, path,
                            FileError::SpecialOf(target.info.st_mode));
    }
    return target;
}

// --- AtomicFile ---------------------------------------------------------------------------------

AtomicFile::AtomicFile(const QString &path, Temporary temporary)
    : AtomicFile(path, temporary, ResolveResultTarget(path)) {}

AtomicFile::AtomicFile(const QString &path, Temporary temporary, const ResultTarget &target)
    : path_(path),
      target_(target.path),
      folder_(target.folder),
      exists_(target.exists),
      existing_(target.info) {
    const std::string folder = Posix::FolderOf(target_);
    if (folder_)
        name_ = std::string(Posix::NameOf(target_));
    // A rename needs only the folder's permission; a file this user may not write is refused
    // here rather than replaced.
    if (exists_ && !OwnerMayWrite(folder, existing_) &&
        ::faccessat(at(), targetName(), W_OK, 0) != 0)
        fail(errno);

    // An unnamed file cannot be opened by anyone else: it is made with the replaced file's
    // permission bits at once (set-id bits only once all is written), so that most often they
    // need no change. A named one lets nobody else in until they are copied.
    requested_ = exists_ ? (existing_.st_mode & 0777) : 0666;
    if (temporary == Temporary::Unnamed && CanLinkByDescriptor()) {
        fd_ = ::openat(at(), folder_ ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                       requested_);
        if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(errno);
    }
    if (fd_ < 0 && exists_)
        requested_ = 0600;
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = Posix::TemporaryNameFor(targetName());
        fd_ =
            ::openat(at(), temporary_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, requested_);
        if (fd_ < 0) {
            const int error = errno;
            temporary_.clear();
            if (error != EEXIST || attempt == 100)
                fail(error);
        }
    }
}

AtomicFile::~AtomicFile() {
    discard();
}

namespace {

// The replaced file's owner and group where this user may set them, its extended attributes and
// ACL, then its permission bits, once all is written: a write by an unprivileged process clears
// the set-id bits, and so does a change of owner, which also drops file capabilities.
//
// What the temporary file got when it was made (owner, group, permission bits) is known without
// asking when an earlier file of this thread was made in the same folder with the same bits;
// otherwise it is asked for, and learnt. Only what differs is changed.
int TakeOverAttributes(const std::string &target, const struct stat &existing, mode_t requested,
                       int fd, int replacedFd, struct stat &created, bool &createdKnown) {
    const uid_t owner = existing.st_uid;
    const gid_t group = existing.st_gid;
    const std::string folder = Posix::FolderOf(target);
    uid_t createdOwner;
    gid_t createdGroup;
    mode_t createdMode;
    const CreationFacts *facts = KnownCreation(folder);
    if (facts != nullptr && facts->requested == requested) {
        createdOwner = facts->owner;
        createdGroup = facts->group;
        createdMode = facts->got;
    } else {
        if (::fstat(fd, &created) != 0)
            return errno;
        createdKnown = true;
        LearnCreation(folder, requested, created);
        createdOwner = created.st_uid;
        createdGroup = created.st_gid;
        createdMode = created.st_mode & 07777;
    }
    bool ownerKept = true, groupKept = true;
    if (createdOwner != owner || createdGroup != group) {
        // Root may always; others only give the file a group they belong to.
        if (::fchown(fd, owner, group) != 0) {
            ownerKept = createdOwner == owner;
            groupKept = createdGroup == group || ::fchown(fd, static_cast<uid_t>(-1), group) == 0;
        }
    }

    // Attributes that this process may not set are left behind, as a copy by the user would
    // leave them.
    Posix::AttributeCopy copied;
    if (const int error = Posix::CopyAttributes(replacedFd, target, fd, copied))
        return error;
    const bool hadAccessAcl = copied.hadAccessAcl;
    // A new file in a folder with a default ACL inherits an ACL that the replaced file may not
    // have had.
    const bool inheritedAcl = !hadAccessAcl && Posix::FolderHasDefaultAcl(folder);
    if (inheritedAcl && ::fremovexattr(fd, Posix::AccessAcl) != 0 && errno != ENODATA &&
        errno != ENOTSUP)
        return errno;

    mode_t mode = existing.st_mode & 07777;
    if (!ownerKept || !groupKept)
        mode &= ~mode_t(S_ISUID | S_ISGID);
    // An ACL copied or taken away has its say on the group's bits: they are set again.
    if ((mode != createdMode || hadAccessAcl || inheritedAcl) && ::fchmod(fd, mode) != 0)
        return errno;
    return 0;
}

}  // namespace

void AtomicFile::takeOverAttributes(int replacedFd) {
    if (const int error = TakeOverAttributes(target_, existing_, requested_, fd_, replacedFd,
                                             created_, createdKnown_))
        fail(error);
}

void AtomicFile::discard() {
    if (behind_) {
        behind_->cancel();
        behind_.reset();
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlinkat(at(), temporary_.c_str(), 0);
    temporary_.clear();
}

void AtomicFile::fail(int error) {
    discard();
    throw FileError(FileError::Kind::Write, path_, error);
}

void AtomicFile::writeBehind() {
    behind_ = std::make_unique<WriteBehind::File>(fd_, recordFacts_);
}

void AtomicFile::writeOwned(char *data, std::size_t size) {
    if (behind_) {
        behind_->send(data, size);
        size_ += size;
        return;
    }
    struct Freed {
        char *data;
        ~Freed() { std::free(data); }
    } freed{data};
    write(data, size);
}

void AtomicFile::write(const char *data, std::size_t size) {
    if (behind_) {
        // Copied in pieces, so that a long line waits for the writing thread instead of
        // being held twice.
        constexpr std::size_t Piece = WriteBehind::QueueBytes / 4;
        while (size > 0) {
            const std::size_t n = std::min(size, Piece);
            char *copy = static_cast<char *>(std::malloc(n));
            if (copy == nullptr)
                throw std::bad_alloc();
            std::memcpy(copy, data, n);
            writeOwned(copy, n);
            data += n;
            size -= n;
        }
        return;
    }
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (recordFacts_)
            hasher_.add(data, static_cast<std::size_t>(written));
        data += written;
        size -= static_cast<std::size_t>(written);
        size_ += static_cast<std::uint64_t>(written);
    }
}

void AtomicFile::copyFrom(int fd, std::uint64_t size) {
    // Bytes written behind go through the writing thread, in their order.
    if (behind_) {
        std::vector<char> buffer(std::size_t(1) << 20);
        for (std::uint64_t from = 0; from < size;) {
            const ssize_t got =
                ::pread(fd, buffer.data(), std::min<std::uint64_t>(buffer.size(), size - from),
                        static_cast<off_t>(from));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                fail(got < 0 ? errno : EIO);
            write(buffer.data(), static_cast<std::size_t>(got));
            from += static_cast<std::uint64_t>(got);
        }
        return;
    }
    loff_t from = 0;
    // Bytes to be hashed go through the buffer, where the hash sees them.
    while (!recordFacts_ && from < static_cast<loff_t>(size)) {
        const std::size_t most = static_cast<std::size_t>(std::min<std::uint64_t>(
            size - static_cast<std::uint64_t>(from), std::uint64_t(1) << 30));
        const ssize_t copied = ::copy_file_range(fd, &from, fd_, nullptr, most, 0);
        if (copied > 0) {
            size_ += static_cast<std::uint64_t>(copied);
            continue;
        }
        if (copied == 0)
            fail(EIO);  // the file got shorter than the part found equal a moment ago
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF)
            fail(errno);
        break;  // no copy inside the kernel here: through a buffer
    }
    if (from >= static_cast<loff_t>(size))
        return;
    std::vector<char> buffer(static_cast<std::size_t>(
        std::min<std::uint64_t>(size - static_cast<std::uint64_t>(from), std::uint64_t(1) << 20)));
    while (from < static_cast<loff_t>(size)) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(size - static_cast<std::uint64_t>(from), buffer.size()));
        const ssize_t got = ::pread(fd, buffer.data(), want, from);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            fail(got < 0 ? errno : EIO);
        write(buffer.data(), static_cast<std::size_t>(got));
        from += got;
    }
}

std::unique_ptr<PendingResult> AtomicFile::prepare(int replacedFd) {
    std::unique_ptr<PendingResult> pending(new PendingResult);
    if (behind_) {
        // The attributes once the bytes are written, from the replaced file as open now.
        pending->behind_ = std::move(behind_);
        pending->recordFacts_ = recordFacts_;
        pending->attributesOwed_ = exists_;
        pending->replacedInfo_ = existing_;
        pending->requested_ = requested_;
        if (exists_ && replacedFd >= 0) {
            pending->replacedFd_ = ::fcntl(replacedFd, F_DUPFD_CLOEXEC, 0);
            if (pending->replacedFd_ < 0) {
                const int error = errno;
                pending->behind_->cancel();
                fail(error);
            }
        }
    } else if (exists_) {
        takeOverAttributes(replacedFd);
    }
    pending->path_ = path_;
    pending->fd_ = std::exchange(fd_, -1);
    pending->target_ = std::move(target_);
    pending->folder_ = std::move(folder_);
    pending->name_ = std::move(name_);
    pending->temporary_ = std::exchange(temporary_, std::string());
    pending->existed_ = exists_;
    if (exists_) {
        pending->device_ = existing_.st_dev;
        pending->inode_ = existing_.st_ino;
        pending->replacedSize_ = static_cast<std::uint64_t>(existing_.st_size);
        pending->replacedModifiedNs_ =
            std::int64_t(existing_.st_mtim.tv_sec) * 1000000000 + existing_.st_mtim.tv_nsec;
        pending->replacedSpace_ = static_cast<std::uint64_t>(existing_.st_blocks) * 512;
    }
    pending->size_ = size_;
    if (recordFacts_ && !pending->behind_) {
        pending->hashKnown_ = true;
        pending->hash_ = hasher_.end();
        if (!createdKnown_ && ::fstat(pending->fd_, &created_) == 0)
            createdKnown_ = true;
    }
    if (createdKnown_ && !pending->behind_) {
        // Nothing is written after this, so its modification time is the result's.
        pending->identityKnown_ = true;
        pending->newDevice_ = created_.st_dev;
        pending->newInode_ = created_.st_ino;
        pending->newModifiedNs_ =
            std::int64_t(created_.st_mtim.tv_sec) * 1000000000 + created_.st_mtim.tv_nsec;
    }
    return pending;
}

}  // namespace RFTSFSO

int PendingResult::settle() {
    if (!behind_)
        return 0;
    int error = behind_->wait();
    const std::uint64_t hash = behind_->hash();
    behind_.reset();
    if (error == 0 && attributesOwed_) {
        struct stat created {};
        bool createdKnown = false;
        error = RFTSFSO::TakeOverAttributes(target_, replacedInfo_, requested_, fd_, replacedFd_,
                                            created, createdKnown);
    }
    if (replacedFd_ >= 0)
        ::close(std::exchange(replacedFd_, -1));
    if (error == 0 && recordFacts_) {
        hashKnown_ = true;
        hash_ = hash;
    }
    // The result's identity (its modification time the last write's) is asked for when it is
    // recorded.
    identityKnown_ = false;
    return error;
}

namespace RFTSFSO {

void AtomicFile::commit() {
    CommitQueue queue;
    queue.add(prepare(), 0);
    const std::vector<CommitFailure> failures = queue.commit();
    if (!failures.empty())
        throw failures.front().error;
}

}  // namespace RFTSFSO
