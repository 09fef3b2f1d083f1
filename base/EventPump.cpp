#include "base/EventPump.h"

#include "base/ErrorReport.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <pthread.h>

namespace EventPump {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::nanoseconds NormalInterval = std::chrono::milliseconds(10);
// How many calls between pumps go by at most without a look at the clock, should the alarm
// ring late (its thread waiting for a processor).
constexpr int LookEvery = 1024;

// Rings once the time it was set for has come, so that a call between pumps reads a flag
// rather than the clock: even the coarse clock costs 4 to 15 ns to read on a virtual machine,
// some 3 million times in a run over 10,000 pages. A thread of its own sleeps until the time
// set, and then waits until it is set again (once per pump).
class Alarm {
public:
    Alarm() {
        std::thread([this] { run(); }).detach();
    }

    bool rung() const { return rung_.load(std::memory_order_relaxed); }
    void set(Clock::time_point when) {
        {
            std::lock_guard lock(mutex_);
            when_ = when;
            rung_.store(false, std::memory_order_relaxed);
        }
        changed_.notify_one();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] { return when_.has_value(); });
            const Clock::time_point when = *when_;
            if (changed_.wait_until(lock, when, [&] { return when_ != when; }))
                continue;  // set again meanwhile
            when_.reset();
            rung_.store(true, std::memory_order_relaxed);
        }
    }

    std::atomic<bool> rung_ = true;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Clock::time_point> when_;  // when to ring; none: not set
};

// The alarm of this process, made on first use. It is never destroyed: its thread may wait on
// it until the process ends. A child made by fork() has no such thread, and makes its own.
Alarm *alarmInUse = nullptr;

Alarm &alarm() {
    static const bool forgottenInChild =
        ::pthread_atfork(nullptr, nullptr, [] { alarmInUse = nullptr; }) == 0;
    (void)forgottenInChild;
    if (alarmInUse == nullptr)
        alarmInUse = new Alarm;  // kept to the end (above)
    return *alarmInUse;
}

struct State {
    std::chrono::nanoseconds interval = NormalInterval;
    Clock::time_point lastPump = Clock::now();
    std::chrono::nanoseconds longestGap{0};
    bool quitRequested = false;
    bool look = true;  // the next call looks at the clock whatever the alarm says
    int untilLook = LookEvery;
    // One entry per LetEventsRun() running the events now (they nest), innermost last: whether
    // its command was asked to stop.
    std::vector<bool> stops;
};

State &state() {
    static State instance;
    return instance;
}

// Whether the interval has passed since the last pump. Otherwise the alarm is set for when it
// will have.
bool Due(State &s) {
    if (s.interval <= std::chrono::nanoseconds(0))
        return true;
    if (!s.look && alarmInUse != nullptr && !alarmInUse->rung() && --s.untilLook > 0)
        return false;
    s.look = false;
    s.untilLook = LookEvery;
    const Clock::time_point due = s.lastPump + s.interval;
    if (Clock::now() >= due)
        return true;
    alarm().set(due);
    return false;
}

}  // namespace

bool LetEventsRun() {
    State &s = state();
    if (s.quitRequested)
        throw CommandAbandoned{};
    if (!Due(s))
        return false;
    s.longestGap = std::max(s.longestGap, std::chrono::nanoseconds(Clock::now() - s.lastPump));
    s.stops.push_back(false);
    try {
        QCoreApplication::processEvents();
    } catch (...) {
        s.stops.pop_back();
        throw;
    }
    const bool stop = s.stops.back();
    s.stops.pop_back();
    s.lastPump = Clock::now();
    s.look = true;
    if (s.quitRequested)
        throw CommandAbandoned{};
    if (stop)
        throw CommandStopped{};
    return true;
}

void RequestQuit() {
    state().quitRequested = true;
}
bool QuitRequested() {
    return state().quitRequested;
}

bool RequestStop() {
    State &s = state();
    if (s.stops.empty())
        return false;
    s.stops.back() = true;
    return true;
}

bool Yielding() {
    return !state().stops.empty();
}

void SetInterval(std::chrono::nanoseconds interval) {
    state().interval = interval;
    state().look = true;
}

void Reset() {
    state() = State{};
}

std::chrono::nanoseconds LongestGap() {
    return state().longestGap;
}

void ResetLongestGap() {
    state().longestGap = std::chrono::nanoseconds{0};
    state().lastPump = Clock::now();
    state().look = true;
}

}  // namespace EventPump
