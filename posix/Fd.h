// An open descriptor that is closed when it goes, and the loop around a system call that a
// signal may interrupt.
//
// The helpers of this folder share one error policy: they answer 0 or an errno value (or, for
// those that answer a count, -1 with errno set, as the system calls do), never throw, and never
// print. Their callers turn the errno into their own kind of failure.
#pragma once

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace Posix {

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    Fd(Fd &&other) noexcept : fd_(other.release()) {}
    Fd &operator=(Fd &&other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Fd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// Calls `call` again for as long as it fails with EINTR; answers what it answered last.
template <class Call>
auto RetryOnEintr(Call &&call) {
    for (;;) {
        auto answer = call();
        if (!(answer == -1 && errno == EINTR))
            return answer;
    }
}

}  // namespace Posix
