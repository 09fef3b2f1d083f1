#include "undo/PutBack.h"

#include "undo/CopyFile.h"

#include "files/Placement.h"
#include "posix/Fd.h"
#include "posix/Io.h"
#include "posix/Paths.h"
#include "posix/TemporaryNames.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Undo {

namespace {

// What the placement of one entry needs, kept until it is done.
struct Prepared {
    Posix::Fd fd;       // the kept file (O_PATH), or the copy made in the target's folder
    std::string named;  // a named temporary file beside the target, where needed
    std::string names[Placement::Names];
    bool copied = false;
};

// Makes a named temporary file beside `target`, new; answers its descriptor or -1 (errno set).
int CreateNamed(const std::string &target, std::string &named) {
    for (int attempt = 0;; ++attempt) {
        named = Posix::TemporaryNameFor(target);
        const int fd = ::open(named.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST || attempt == 100) {
            if (fd < 0)
                named.clear();
            return fd;
        }
    }
}

// Copies the kept file into a new file in the target's folder: unnamed where the file system
// and this process allow, else under a temporary name. With its metadata, durable.
int CopyBeside(int runFd, PutBack &entry, Prepared &prepared) {
    const std::string &target = entry.target;
    prepared.fd.reset();
    const Posix::Fd from(
        ::openat(runFd, entry.record->kept.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!from || ::fstat(from.get(), &info) != 0)
        return errno;
    const std::string folder = Posix::FolderOf(target);
    prepared.fd.reset(CanLinkByDescriptor()
                          ? ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)
                          : -1);
    if (!prepared.fd &&
        (!CanLinkByDescriptor() || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
        prepared.fd.reset(CreateNamed(target, prepared.named));
    if (!prepared.fd)
        return errno;
    prepared.copied = true;
    int error = CopyFile(from.get(), info, prepared.fd.get(), folder, entry.notKept);
    if (error == 0)
        error = Posix::SyncData(prepared.fd.get());
    struct stat copied;
    if (error == 0 && ::fstat(prepared.fd.get(), &copied) != 0)
        error = errno;
    if (error == 0)
        entry.now = IdentityOf(copied);  // once put in place
    if (error != 0 && !prepared.named.empty()) {
        ::unlink(prepared.named.c_str());
        prepared.named.clear();
    }
    return error;
}

// Opens the kept file to be linked in by its descriptor, when it is on the target's file system
// (EXDEV otherwise); where descriptors cannot be linked, a link of it under a temporary name
// beside the target stands in, to be renamed over it.
int PrepareLink(int runFd, PutBack &entry, Prepared &prepared) {
    const char *kept = entry.record->kept.c_str();
    prepared.fd.reset(::openat(runFd, kept, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!prepared.fd || ::fstat(prepared.fd.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    if (static_cast<std::uint64_t>(info.st_dev) != entry.targetDevice)
        return EXDEV;
    entry.now = IdentityOf(info);  // once linked at the target
    for (int attempt = 0; !CanLinkByDescriptor(); ++attempt) {
        prepared.named = Posix::TemporaryNameFor(entry.target);
        if (::linkat(runFd, kept, AT_FDCWD, prepared.named.c_str(), 0) == 0)
            return 0;
        const int error = errno;
        prepared.named.clear();
        if (error != EEXIST || attempt == 100)
            return error;
    }
    return 0;
}

Placement PlacementOf(const PutBack &entry, Prepared &prepared) {
    Placement placement;
    placement.fd = prepared.fd.get();
    placement.target = entry.target.c_str();
    if (!prepared.named.empty()) {
        placement.named = prepared.named.c_str();
        return placement;
    }
    std::snprintf(placement.proc, sizeof placement.proc, "/proc/self/fd/%d", placement.fd);
    for (int k = 0; k < Placement::Names; ++k) {
        prepared.names[k] = Posix::TemporaryNameFor(entry.target);
        placement.names[k] = prepared.names[k].c_str();
    }
    return placement;
}

// Puts the entries `which` in place, in one go.
void Place(std::vector<PutBack> &entries, std::vector<Prepared> &prepared,
           const std::vector<std::size_t> &which) {
    std::vector<Placement> placements;
    placements.reserve(which.size());
    for (const std::size_t i : which)
        placements.push_back(PlacementOf(entries[i], prepared[i]));
    PutAllInPlace(placements);
    for (std::size_t k = 0; k < which.size(); ++k) {
        entries[which[k]].error = placements[k].error;
        prepared[which[k]].named.clear();  // in place or removed
    }
}

}  // namespace

void PutBackAll(int runFd, std::vector<PutBack> &entries) {
    std::vector<Prepared> prepared(entries.size());
    std::vector<std::size_t> ready;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        PutBack &entry = entries[i];
        entry.error = PrepareLink(runFd, entry, prepared[i]);
        if (CopyMayHelp(entry.error))
            entry.error = CopyBeside(runFd, entry, prepared[i]);
        if (entry.error == 0)
            ready.push_back(i);
    }
    Place(entries, prepared, ready);

    // A link that the file system refused (the same file system mounted at another place, a
    // link count at its limit, a file this user may not link): a copy, put in place so.
    std::vector<std::size_t> again;
    for (const std::size_t i : ready) {
        PutBack &entry = entries[i];
        if (entry.error == 0 || prepared[i].copied || !CopyMayHelp(entry.error))
            continue;
        entry.error = CopyBeside(runFd, entry, prepared[i]);
        if (entry.error == 0)
            again.push_back(i);
    }
    Place(entries, prepared, again);
}

}  // namespace Undo
