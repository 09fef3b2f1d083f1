#include "undo/ContentHash.h"

#include "files/ContentHash.h"
#include "posix/Fd.h"

#include <cerrno>
#include <vector>

#include <unistd.h>

namespace Undo {

using Hasher = RFTSFSO::ContentHasher;

int HashFile(int fd, std::uint64_t &hash) {
    Hasher hasher;
    thread_local std::vector<char> buffer(std::size_t(1) << 16);
    for (off_t at = 0;;) {
        const ssize_t got =
            Posix::RetryOnEintr([&] { return ::pread(fd, buffer.data(), buffer.size(), at); });
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        hasher.add(buffer.data(), static_cast<std::size_t>(got));
        at += got;
    }
    hash = hasher.end();
    return 0;
}

std::uint64_t HashBytes(const char *data, std::size_t size) {
    Hasher hasher;
    hasher.add(data, size);
    return hasher.end();
}

}  // namespace Undo
