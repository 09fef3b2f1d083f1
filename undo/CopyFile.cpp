#include "undo/CopyFile.h"

#include "posix/Attributes.h"
#include "posix/Io.h"

#include <cerrno>

#include <sys/xattr.h>
#include <unistd.h>

namespace Undo {

namespace {

// The owner first: a change of owner clears the set-id bits that the mode then sets. Fills
// `notKept` with what `to` could not be given.
int CopyOwner(const struct stat &info, int to, std::vector<std::string> &notKept) {
    if (::fchown(to, info.st_uid, info.st_gid) == 0)
        return 0;
    struct stat made;
    if (::fstat(to, &made) != 0)
        return errno;
    if (made.st_uid != info.st_uid)
        notKept.emplace_back("owner");
    if (made.st_gid != info.st_gid && ::fchown(to, static_cast<uid_t>(-1), info.st_gid) != 0)
        notKept.emplace_back("group");
    return 0;
}

}  // namespace

bool CopyMayHelp(int error) {
    return error == EXDEV || error == EPERM || error == EMLINK || error == EOPNOTSUPP ||
           error == EACCES;
}

int CopyFile(int from, const struct stat &info, int to, const std::string &folder,
             std::vector<std::string> &notKept) {
    notKept.clear();
    if (const int error = Posix::CopyBytes(from, to))
        return error;
    std::vector<std::string> owner;
    if (const int error = CopyOwner(info, to, owner))
        return error;
    Posix::AttributeCopy copied;
    if (const int error = Posix::CopyAttributes(from, std::string(), to, copied))
        return error;
    notKept = std::move(copied.leftBehind);
    notKept.insert(notKept.end(), owner.begin(), owner.end());
    // A new file in a folder with a default ACL inherits an ACL that the original did not have.
    if (!copied.hadAccessAcl && Posix::FolderHasDefaultAcl(folder) &&
        ::fremovexattr(to, Posix::AccessAcl) != 0 && errno != ENODATA && errno != ENOTSUP)
        return errno;
    mode_t mode = info.st_mode & 07777;
    if (!owner.empty())
        mode &= ~mode_t(S_ISUID | S_ISGID);
    if (::fchmod(to, mode) != 0)
        return errno;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    return ::futimens(to, times) == 0 ? 0 : errno;
}

}  // namespace Undo
