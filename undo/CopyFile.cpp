#include "undo/CopyFile.h"

#include "posix/Io.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/xattr.h>
#include <unistd.h>

namespace Undo {

namespace {

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

}  // namespace

bool CopyMayHelp(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == EOPNOTSUPP ||
           error == EACCES;
}

int CopyFile(int from, const struct stat &info, int to) {
    if (const int error = Posix::CopyBytes(from, to))
        return error;
    // The owner first: a change of owner clears the set-id bits that the mode then sets.
    if (::fchown(to, info.st_uid, info.st_gid) != 0)
        (void)::fchown(to, static_cast<uid_t>(-1), info.st_gid);
    if (::fchmod(to, info.st_mode & 07777) != 0)
        return errno;
    CopyAttributes(from, to);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    return ::futimens(to, times) == 0 ? 0 : errno;
}

}  // namespace Undo
