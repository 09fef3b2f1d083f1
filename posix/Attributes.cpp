#include "posix/Attributes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/xattr.h>

namespace Posix {

namespace {

// The names of the extended attributes of the file open as `fd` (or at `path`), each ended by a
// NUL. Answers an errno value; a file system without extended attributes has none.
int ListAttributes(int fd, const std::string &path, std::vector<char> &names) {
    names.resize(1024);
    for (;;) {
        const ssize_t size = fd >= 0 ? ::flistxattr(fd, names.data(), names.size())
                                     : ::llistxattr(path.c_str(), names.data(), names.size());
        if (size >= 0) {
            names.resize(static_cast<std::size_t>(size));
            return 0;
        }
        if (errno == ENOTSUP) {
            names.clear();
            return 0;
        }
        if (errno != ERANGE)
            return errno;
        const ssize_t wanted =
            fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::llistxattr(path.c_str(), nullptr, 0);
        if (wanted < 0)
            return errno;
        names.resize(static_cast<std::size_t>(wanted) + 1);
    }
}

// The value of one attribute; answers an errno value.
int GetAttribute(int fd, const std::string &path, const char *name, std::vector<char> &value) {
    value.resize(std::max<std::size_t>(value.capacity(), 256));
    for (;;) {
        const ssize_t size = fd >= 0 ? ::fgetxattr(fd, name, value.data(), value.size())
                                     : ::lgetxattr(path.c_str(), name, value.data(), value.size());
        if (size >= 0) {
            value.resize(static_cast<std::size_t>(size));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
        const ssize_t wanted = fd >= 0 ? ::fgetxattr(fd, name, nullptr, 0)
                                       : ::lgetxattr(path.c_str(), name, nullptr, 0);
        if (wanted < 0)
            return errno;
        value.resize(static_cast<std::size_t>(wanted) + 1);
    }
}

// Attributes that only a privileged or specially permitted process may set (SELinux labels,
// file capabilities, trusted.*): copied where this process may, and otherwise left behind.
// user.* and the ACLs are the user's own: a failure to copy them fails the write.
bool MayBeLeftBehind(const char *name, int error) {
    const bool privileged =
        std::strncmp(name, "security.", 9) == 0 || std::strncmp(name, "trusted.", 8) == 0 ||
        (std::strncmp(name, "system.", 7) == 0 && std::strncmp(name, "system.posix_acl_", 17) != 0);
    return privileged && (error == EPERM || error == ENOTSUP || error == EACCES);
}

}  // namespace

int CopyAttributes(int fromFd, const std::string &fromPath, int to, AttributeCopy &copy) {
    copy = AttributeCopy();
    std::vector<char> names;
    if (const int error = ListAttributes(fromFd, fromPath, names))
        return error;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const char *name = names.data() + at;
        const std::size_t length = ::strnlen(name, names.size() - at);
        at += length + 1;
        if (length == 0)
            continue;
        if (std::strcmp(name, AccessAcl) == 0)
            copy.hadAccessAcl = true;
        if (const int error = GetAttribute(fromFd, fromPath, name, value)) {
            if (error == ENODATA)
                continue;  // gone since it was listed
            if (MayBeLeftBehind(name, error)) {
                copy.leftBehind.emplace_back(name);  // not for this process to read
                continue;
            }
            return error;
        }
        if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0) {
            if (MayBeLeftBehind(name, errno)) {
                copy.leftBehind.emplace_back(name);
                continue;
            }
            return errno;
        }
    }
    return 0;
}

bool FolderHasDefaultAcl(const std::string &folder) {
    static thread_local std::string lastFolder;
    static thread_local bool lastAnswer = false;
    if (folder != lastFolder) {
        lastAnswer = ::getxattr(folder.c_str(), "system.posix_acl_default", nullptr, 0) > 0;
        lastFolder = folder;
    }
    return lastAnswer;
}

}  // namespace Posix
