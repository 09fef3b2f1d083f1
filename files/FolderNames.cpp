#include "files/FolderNames.h"

#include "posix/Paths.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include <dirent.h>

namespace RFTSFSO {

FolderNames::Folder &FolderNames::folderLocked(const std::string &folder) {
    const auto [at, fresh] = folders_.try_emplace(folder);
    Folder &known = at->second;
    if (!fresh || names_ >= MaxNames)
        return known;
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        if (errno == ENOENT)
            known.state = State::Missing;
        return known;
    }
    bool complete = true;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (names_ + known.names.size() == MaxNames) {
            complete = false;
            break;
        }
        known.names.emplace_back(entry->d_name);
    }
    complete = complete && errno == 0;
    ::closedir(dir);
    if (!complete) {
        known.names.clear();
        known.names.shrink_to_fit();
        return known;
    }
    std::sort(known.names.begin(), known.names.end());
    names_ += known.names.size();
    known.state = State::Listed;
    return known;
}

bool FolderNames::mayHold(const std::string &target) {
    const std::string_view name = Posix::NameOf(target);
    if (name.empty() || name == "." || name == "..")
        return true;
    std::lock_guard lock(mutex_);
    const Folder &known = folderLocked(Posix::FolderOf(target));
    if (known.state == State::Unknown)
        return true;
    return std::binary_search(known.names.begin(), known.names.end(), name) ||
           known.written.find(HashedIndex::HashOf(name)) != nullptr;
}

void FolderNames::noteWritten(const std::string &target) {
    std::lock_guard lock(mutex_);
    const auto found = folders_.find(Posix::FolderOf(target));
    if (found != folders_.end() && found->second.state != State::Unknown)
        found->second.written.put(HashedIndex::HashOf(Posix::NameOf(target)), 0);
}

bool FolderNames::isFolder(const std::string &folder) {
    std::lock_guard lock(mutex_);
    const auto found = folders_.find(folder);
    return found != folders_.end() && found->second.state == State::Listed;
}

void FolderNames::noteFolder(const std::string &folder) {
    std::lock_guard lock(mutex_);
    const auto found = folders_.find(folder);
    if (found != folders_.end() && found->second.state == State::Missing)
        found->second.state = State::Listed;
}

}  // namespace RFTSFSO
