#include "EventPump.h"

#include "ErrorReport.h"

#include <QCoreApplication>

#include <algorithm>

namespace EventPump {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::nanoseconds NormalInterval = std::chrono::milliseconds(10);

struct State {
    std::chrono::nanoseconds interval = NormalInterval;
    Clock::time_point lastPump = Clock::now();
    std::chrono::nanoseconds longestGap{0};
    std::function<void()> hook;
    bool quitRequested = false;
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
    const Clock::time_point now = Clock::now();
    if (now - s.lastPump < s.interval)
        return false;
    s.longestGap = std::max(s.longestGap, std::chrono::nanoseconds(now - s.lastPump));
    QCoreApplication::processEvents();
    if (s.hook)
        s.hook();
    s.lastPump = Clock::now();
    if (s.quitRequested)
        throw CommandAbandoned{};
    return true;
}

void RequestQuit() { state().quitRequested = true; }
bool QuitRequested() { return state().quitRequested; }

void SetInterval(std::chrono::nanoseconds interval) { state().interval = interval; }
void SetHook(std::function<void()> hook) { state().hook = std::move(hook); }

void Reset() { state() = State{}; }

std::chrono::nanoseconds LongestGap() { return state().longestGap; }

void ResetLongestGap() {
    state().longestGap = std::chrono::nanoseconds{0};
    state().lastPump = Clock::now();
}

}  // namespace EventPump
