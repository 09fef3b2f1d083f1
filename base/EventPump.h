// Letting pending window events run in the middle of a long command.
//
// Long commands (the folder walk, the run) call LetEventsRun() often, down to once per line.
// It pumps the event loop at most once per interval (10 ms) and is otherwise a read of the
// coarse clock, so calling it per line costs next to nothing. It answers whether the loop ran: only
// then can the user have changed a control, so only then does a command read the controls again.
//
// Once the window has been closed, the next call throws CommandAbandoned: the command ends
// at the point where it yielded, and nothing it had not yet written gets written.
#pragma once

#include <chrono>

namespace EventPump {

bool LetEventsRun();

// Closing the window: from now on every LetEventsRun() abandons its command.
void RequestQuit();
bool QuitRequested();

// How often the loop runs at most: every call with an interval of 0, normally every 10 ms.
void SetInterval(std::chrono::nanoseconds interval);
// Starts afresh: no quit requested, the normal interval, statistics cleared.
void Reset();

// The largest gap between two pumps while commands were yielding, since the last call of
// ResetLongestGap(): how long the window went without answering.
std::chrono::nanoseconds LongestGap();
void ResetLongestGap();

}  // namespace EventPump
