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
void Note(int signal) {
    int none = 0;
    requested.compare_exchange_strong(none, signal);
}

void Handler(int signal) {
    Note(signal);
}

}  // namespace

void Install() {
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

const std::atomic<int> &Flag() {
    return requested;
}

void Request(int signal) {
    Note(signal);
}

}  // namespace Cli::Stop
