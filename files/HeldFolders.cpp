#include "files/HeldFolders.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace RFTSFSO {

HeldFolder::~HeldFolder() {
    ::close(fd_);
}

FolderRef OpenFolder(const std::string &path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return nullptr;
    return std::make_shared<const HeldFolder>(fd, path);
}

FolderRef HeldFolders::open(const std::string &path) {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(kept_.rbegin(), kept_.rend(), [&](const FolderRef &folder) {
        return folder->path() == path;
    });
    if (found != kept_.rend()) {
        FolderRef folder = *found;
        if (found != kept_.rbegin()) {
            kept_.erase(std::next(found).base());
            kept_.push_back(folder);
        }
        return folder;
    }
    FolderRef folder = OpenFolder(path);
    if (!folder)
        return nullptr;
    if (kept_.size() == MostKept)
        kept_.erase(kept_.begin());
    kept_.push_back(folder);
    return folder;
}

}  // namespace RFTSFSO
