#include "cli/NameList.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace Cli {

namespace {

constexpr std::size_t Piece = std::size_t(64) << 10;

}  // namespace

NameList::NameList(const std::string &path, bool nulls) : separator_(nulls ? '\0' : '\n') {
    if (path == "-") {
        fd_ = STDIN_FILENO;
        return;
    }
    do {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        error_ = errno;
    own_ = fd_ >= 0;
}

NameList::~NameList() {
    if (own_)
        ::close(fd_);
}

// Reads what comes next, looking at the stop every tenth of a second while nothing does.
bool NameList::fill(const Engine::StopToken &stop) {
    for (;;) {
        if (stop.requested())
            return false;
        pollfd ready{fd_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, 100);
        if (polled == 0 || (polled < 0 && errno == EINTR))
            continue;
        const std::size_t kept = buffer_.size() - begin_;
        buffer_.erase(0, begin_);
        begin_ = 0;
        buffer_.resize(kept + Piece);
        const ssize_t got = ::read(fd_, buffer_.data() + kept, Piece);
        buffer_.resize(kept + static_cast<std::size_t>(got > 0 ? got : 0));
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            error_ = errno;
        if (got <= 0)
            atEnd_ = true;
        return got > 0;
    }
}

bool NameList::next(std::string &name, const Engine::StopToken &stop) {
    for (;;) {
        const std::size_t end = buffer_.find(separator_, begin_);
        if (end != std::string::npos || (atEnd_ && begin_ < buffer_.size())) {
            const std::size_t last = end == std::string::npos ? buffer_.size() : end;
            name.assign(buffer_, begin_, last - begin_);
            begin_ = end == std::string::npos ? buffer_.size() : end + 1;
            if (name.empty())
                continue;
            return true;
        }
        if (atEnd_ || fd_ < 0 || error_ != 0 || !fill(stop))
            return false;
    }
}

}  // namespace Cli
