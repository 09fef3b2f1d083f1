#include "files/ReadAhead.h"

#include "files/PathText.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RFTSFSO {

ReadAhead::ReadAhead() : waitedBefore_(ReadsThatWaited()) {}

void ReadAhead::announce(const QString &path) {
    for (const QString &recent : recent_) {
        if (recent == path)
            return;
    }
    recent_[next_] = path;
    next_ = (next_ + 1) % Depth;
    const std::string name = PathBytes(path);
    // Regular files only: opening anything else may wait or do something to a device.
    struct stat info;
    if (name.empty() || ::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0,
                    static_cast<off_t>(std::min<std::uint64_t>(
                        static_cast<std::uint64_t>(info.st_size), LineReader::DefaultChunk)),
                    POSIX_FADV_WILLNEED);
    ::close(fd);
    ++announced_;
}

}  // namespace RFTSFSO
