#include "posix/Paths.h"

#include <cerrno>
#include <vector>

#include <unistd.h>

namespace Posix {

std::string FolderOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return path.substr(slash == std::string_view::npos ? 0 : slash + 1);
}

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

int MakeFolders(const std::string &path, mode_t mode) {
    if (path.empty())
        return ENOENT;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = FolderOf(path);
    if (parent != path && parent != ".") {
        if (const int error = MakeFolders(parent, mode))
            return error;
    }
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

}  // namespace Posix
