#include "files/Place.h"

#include "files/PathText.h"
#include "posix/Paths.h"

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace RFTSFSO {

namespace {

// Beyond this many links in a row the place is the last one reached.
constexpr int MostLinks = 40;

// Paths asked about in one folder before it is listed once for its links.
constexpr std::size_t ListFrom = 16;

std::string Absolute(const std::string &path) {
    std::string absolute = path;
    return Posix::MakeAbsolute(absolute) == 0 ? absolute : path;
}

}  // namespace

Place Places::of(const QString &path) {
    return resolve(PathBytes(path), 0);
}

Place Places::resolve(const std::string &bytes, int depth) {
    const std::string folder = Posix::FolderOf(bytes);
    const std::string name(Posix::NameOf(bytes));
    Folder &known = folderOf(folder);
    if (!name.empty() && name != "." && name != ".." && !isLink(known, folder, name)) {
        if (!known.exists)
            return Place{0, 0, known.absolute + (known.absolute == "/" ? "" : "/") + name};
        return Place{known.device, known.inode, name};
    }
    // A link (or a name that stands for a folder): where it leads.
    if (depth < MostLinks && !name.empty() && name != "." && name != "..") {
        struct stat info;
        bool exists = false;
        std::string end = bytes;
        if (Posix::ResolveLinks(end, info, exists) == 0 && end != bytes)
            return resolve(end, MostLinks);  // ResolveLinks followed them all
    }
    return Place{0, 0, Absolute(bytes)};
}

Places::Folder &Places::folderOf(const std::string &folder) {
    auto found = folders_.find(folder);
    if (found != folders_.end())
        return found->second;
    Folder &known = folders_[folder];
    struct stat info;
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        known.exists = true;
        known.device = static_cast<std::uint64_t>(info.st_dev);
        known.inode = static_cast<std::uint64_t>(info.st_ino);
    } else {
        known.absolute = Absolute(folder);
    }
    return known;
}

bool Places::isLink(Folder &known, const std::string &folder, const std::string &name) {
    if (!known.exists)
        return false;
    if (!known.listed && ++known.asked > ListFrom) {
        known.listed = true;
        if (DIR *dir = ::opendir(folder.c_str())) {
            while (const dirent *entry = ::readdir(dir)) {
                bool link = entry->d_type == DT_LNK;
                if (entry->d_type == DT_UNKNOWN) {
                    struct stat own;
                    link = ::fstatat(::dirfd(dir), entry->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                           S_ISLNK(own.st_mode);
                }
                if (link)
                    known.links.insert(entry->d_name);
            }
            ::closedir(dir);
        }
    }
    if (known.listed)
        return known.links.count(name) > 0;
    struct stat own;
    const std::string path = folder + '/' + name;
    return ::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
}

}  // namespace RFTSFSO
