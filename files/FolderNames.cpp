#include "files/FolderNames.h"

#include "posix/Paths.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include <dirent.h>

namespace RFTSFSO {

namespace {

std::string_view NameIn(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

bool FolderNames::mayHold(const std::string &target) {
    std::lock_guard lock(mutex_);
    return mayHoldLocked(target);
}

bool FolderNames::mayHoldLocked(const std::string &target) {
    if (state_ == State::Unknown || target.empty())
        return true;
    const std::string folder = Posix::FolderOf(target);
    if (state_ == State::Unlisted) {
        state_ = State::Unknown;
        DIR *dir = ::opendir(folder.c_str());
        if (dir == nullptr)
            return true;
        bool complete = true;
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            if (names_.size() == MaxNames) {
                complete = false;
                break;
            }
            names_.emplace_back(entry->d_name);
        }
        complete = complete && errno == 0;
        ::closedir(dir);
        if (!complete) {
            names_.clear();
            return true;
        }
        std::sort(names_.begin(), names_.end());
        folder_ = folder;
        state_ = State::Listed;
    }
    if (folder != folder_)
        return true;
    const std::string_view name = NameIn(target);
    return name.empty() || std::binary_search(names_.begin(), names_.end(), name) ||
           written_.find(name) != written_.end();
}

void FolderNames::noteWritten(const std::string &target) {
    std::lock_guard lock(mutex_);
    if (state_ == State::Listed && Posix::FolderOf(target) == folder_)
        written_.emplace(NameIn(target));
}

}  // namespace RFTSFSO
