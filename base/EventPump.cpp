#include "base/EventPump.h"

#include "base/ErrorReport.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

#include <time.h>

namespace EventPump {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::nanoseconds NormalInterval = std::chrono::milliseconds(10);

// The coarse clock (a few milliseconds' resolution) costs a few nanoseconds to read, against
// some tens for the precise one: it is read on every call, which can be once per line.
std::chrono::nanoseconds coarseNow() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

struct State {
    std::chrono::nanoseconds interval = NormalInterval;
    std::chrono::nanoseconds lastPumpCoarse = coarseNow();
    Clock::time_point lastPump = Clock::now();  // precise, for the gap statistics
    std::chrono::nanoseconds longestGap{0};
    bool quitRequested = false;
    // One entry per LetEventsRun() running the events now (they nest), innermost last: whether
    // its command was asked to stop.
    std::vector<bool> stops;
};

State &state() {
    static State instance;
    return instance;
}

}  // namespace

bool LetEventsRun() {
    State &s = state();
    if (s.quitRequested)
        throw CommandAbandoned{};
    if (coarseNow() - s.lastPumpCoarse < s.interval)
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
    s.lastPumpCoarse = coarseNow();
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
    state().lastPumpCoarse = coarseNow();
}

}  // namespace EventPump
