#include "posix/Io.h"

#include "posix/Fd.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace Posix {

int WriteAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = RetryOnEintr([&] { return ::write(fd, data, size); });
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int WriteAllAt(int fd, const char *data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = RetryOnEintr([&] { return ::pwrite(fd, data, size, offset); });
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return 0;
}

int ReadAll(int fd, std::string &text) {
    text.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t size = RetryOnEintr([&] { return ::read(fd, buffer, sizeof buffer); });
        if (size < 0)
            return errno;
        if (size == 0)
            return 0;
        text.append(buffer, static_cast<std::size_t>(size));
    }
}

int CopyBytes(int from, int to) {
    // copy_file_range where the file systems offer it (a reflink, or no copy through here).
    for (;;) {
        const ssize_t copied =
            RetryOnEintr([&] { return ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0); });
        if (copied > 0)
            continue;
        if (copied == 0)
            return 0;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF)
            return errno;
        break;
    }
    std::vector<char> buffer(std::size_t(1) << 17);
    for (;;) {
        const ssize_t size =
            RetryOnEintr([&] { return ::read(from, buffer.data(), buffer.size()); });
        if (size < 0)
            return errno;
        if (size == 0)
            return 0;
        if (const int error = WriteAll(to, buffer.data(), static_cast<std::size_t>(size)))
            return error;
    }
}

int SyncData(int fd) {
    return ::fdatasync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

int SyncFolder(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

std::size_t RaiseDescriptorLimit() {
    static const std::size_t limit = [] {
        struct rlimit now;
        if (::getrlimit(RLIMIT_NOFILE, &now) != 0)
            return std::size_t(1024);
        const rlim_t wanted = std::min<rlim_t>(now.rlim_max, 65536);
        if (now.rlim_cur < wanted) {
            struct rlimit raised = now;
            raised.rlim_cur = wanted;
            if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
                now = raised;
        }
        return static_cast<std::size_t>(now.rlim_cur);
    }();
    return limit;
}

}  // namespace Posix
