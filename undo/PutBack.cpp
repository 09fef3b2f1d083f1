#include "undo/PutBack.h"

#include "undo/CopyFile.h"

#include "posix/Fd.h"
#include "posix/Io.h"
#include "posix/Paths.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Undo {

namespace {

std::string TemporaryBeside(const std::string &target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::size_t slash = target.rfind('/');
    std::string name = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + ".undo-";
    for (int i = 0; i < 6; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return name;
}

// Copies the kept file to the new file `temporary`, durable; what the copy could not keep goes to
// `notKept`.
int CopyTo(int runFd, const Record &record, const std::string &temporary, bool &taken,
           std::vector<std::string> &notKept) {
    taken = false;
    const Posix::Fd from(::openat(runFd, record.kept.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!from || ::fstat(from.get(), &info) != 0)
        return errno;
    const Posix::Fd to(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!to) {
        taken = errno == EEXIST;
        return errno;
    }
    int error = CopyFile(from.get(), info, to.get(), Posix::FolderOf(record.target), notKept);
    if (error == 0)
        error = Posix::SyncData(to.get());
    if (error != 0)
        ::unlink(temporary.c_str());
    return error;
}

// Puts the kept file back over its target: linked beside it and renamed over it, or copied
// there when it is on another file system. Fills `now` with what is at the target then.
int PutBackOne(int runFd, PutBack &entry, struct stat &now) {
    const Record &record = *entry.record;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = TemporaryBeside(record.target);
        if (::linkat(runFd, record.kept.c_str(), AT_FDCWD, temporary.c_str(), 0) != 0) {
            int error = errno;
            if (error == EEXIST)
                continue;
            if (!CopyMayHelp(error))
                return error;
            bool taken = false;
            if ((error = CopyTo(runFd, record, temporary, taken, entry.notKept)) != 0) {
                if (taken)
                    continue;
                return error;
            }
        }
        if (::rename(temporary.c_str(), record.target.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return error;
        }
        return ::lstat(record.target.c_str(), &now) == 0 ? 0 : errno;
    }
    return EEXIST;
}

}  // namespace

void PutBackAll(int runFd, std::vector<PutBack> &entries) {
    for (PutBack &entry : entries) {
        struct stat now;
        entry.error = PutBackOne(runFd, entry, now);
        if (entry.error == 0)
            entry.now = IdentityOf(now);
    }
}

}  // namespace Undo
