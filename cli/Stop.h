// Ending a run early: SIGINT, SIGTERM and SIGHUP ask the run to stop at the next file
// boundary. The handler only notes the signal; the run looks at it between files and before
// each line of a file, and the folder walk between folder entries (Engine::StopToken). A second
// signal of the same kind ends the program at once, as if nothing were handled: what is in place
// stays whole (results are put in place atomically), and what was not is left as it was.
#pragma once

#include <atomic>

namespace Cli::Stop {

// Installs the handlers and ignores SIGPIPE (a closed standard output is found when writing
// to it). Call once, before any thread starts.
void Install();

// The signal that asked to stop, or 0.
int Signal();
// Where the handler notes it, for a stop token to look at.
const std::atomic<int> &Flag();

// Asks to stop as that signal would (standard output that can no longer be written).
void Request(int signal);

}  // namespace Cli::Stop
