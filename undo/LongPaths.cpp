#include "undo/LongPaths.h"

#include "posix/Paths.h"

#include <climits>

#include <fcntl.h>

namespace Undo {

namespace {

// Opens the absolute folder `folder` a piece at a time, each piece as long as the system takes
// in one call; -1 when a piece cannot be opened.
int OpenInPieces(const std::string &folder) {
    Posix::Fd at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t from = 1;
    while (at && from < folder.size()) {
        std::size_t end = folder.size();
        if (end - from >= PATH_MAX) {
            end = folder.rfind('/', from + PATH_MAX - 1);
            if (end == std::string::npos || end <= from)
                return -1;  // a name longer than any the system takes
        }
        const std::string piece = folder.substr(from, end - from);
        at.reset(::openat(at.get(), piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        from = end + 1;
    }
    return at.release();
}

}  // namespace

std::string LongPaths::of(const std::string &path) {
    if (path.size() < PATH_MAX || path.empty() || path[0] != '/')
        return path;
    const std::string folder = Posix::FolderOf(path);
    auto found = folders_.find(folder);
    if (found == folders_.end())
        found = folders_.emplace(folder, Posix::Fd(OpenInPieces(folder))).first;
    if (!found->second)
        return path;
    return "/proc/self/fd/" + std::to_string(found->second.get()) + "/" +
           std::string(Posix::NameOf(path));
}

}  // namespace Undo
