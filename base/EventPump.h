// Letting pending window events run in the middle of a long command.
//
// Long commands (the folder walk, the run) call LetEventsRun() often, down to once per line.
// It pumps the event loop at most once per interval (10 ms), at the first call after it has
// passed; between pumps it reads a flag that an alarm raises once the interval is over, not the
// clock, so calling it per line costs next to nothing. It answers whether the loop ran: only
// then can the user have changed a control, so only then does a command read the controls again.
//
// Once the window has been closed, the next call throws CommandAbandoned: the command ends
// at the point where it yielded, and nothing it had not yet written gets written.
//
// The user may also stop the command that works (Escape, the list menu's "Stop"): a stop asked
// for while the events run is turned into CommandStopped by the LetEventsRun() that pumped
// them, once they have run. Commands yield inside one another (a folder added while a run
// yields), and that call is always the innermost command's: it alone stops, and ends as it
// ends after its last item.
#pragma once

#include <chrono>

namespace EventPump {

bool LetEventsRun();

// Closing the window: from now on every LetEventsRun() abandons its command.
void RequestQuit();
bool QuitRequested();

// Stops the innermost command that is yielding now, at the end of its pump. Asked for when no
// command is yielding, it does nothing (and answers false).
bool RequestStop();
// A command is yielding now: LetEventsRun() is running the window's events.
bool Yielding();

// How often the loop runs at most: every call with an interval of 0, normally every 10 ms.
void SetInterval(std::chrono::nanoseconds interval);
// Starts afresh: no quit requested, the normal interval, statistics cleared.
void Reset();

// The largest gap between two pumps while commands were yielding, since the last call of
// ResetLongestGap(): how long the window went without answering.
std::chrono::nanoseconds LongestGap();
void ResetLongestGap();

}  // namespace EventPump
