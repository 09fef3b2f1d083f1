#include "posix/Paths.h"

#include "posix/Fd.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
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

int MakeAbsolute(std::string &path) {
    if (!path.empty() && path[0] == '/')
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

int ListFolder(int folderFd, std::vector<std::string> &names, bool (*keep)(std::string_view name)) {
    names.clear();
    Fd fd(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    DIR *folder = ::fdopendir(fd.get());
    if (folder == nullptr)
        return errno;
    fd.release();  // the stream's now
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(folder);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && (keep == nullptr || keep(name)))
            names.emplace_back(name);
    }
    ::closedir(folder);
    return error;
}

}  // namespace Posix
