#include "cli/Stop.h"

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace Cli::Stop {

namespace {

std::atomic<int> requested{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the handler may only touch lock-free atomics");
int pipeEnds[2] = {-1, -1};

void Note(int signal) {
    int none = 0;
    requested.compare_exchange_strong(none, signal);
    if (pipeEnds[1] >= 0) {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
        errno = saved;
    }
}

void Handler(int signal) {
    Note(signal);
}

}  // namespace

void Install() {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        pipeEnds[0] = pipeEnds[1] = -1;
    struct sigaction action {};
    action.sa_handler = Handler;
    sigemptyset(&action.sa_mask);
    // The first signal is noted; the next one of the kind does what it would do untouched.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

int Signal() {
    return requested.load(std::memory_order_relaxed);
}

void Request(int signal) {
    Note(signal);
}

int Descriptor() {
    return pipeEnds[0];
}

}  // namespace Cli::Stop
