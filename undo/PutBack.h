// Putting kept originals back over their targets.
#pragma once

#include "undo/Manifest.h"

#include <string>
#include <vector>

namespace Undo {

// One kept original to be put back over its target.
struct PutBack {
    const Record *record = nullptr;  // a replaced file's
    // The outcome:
    int error = 0;
    Identity now;                      // what is at the target then
    std::vector<std::string> notKept;  // what the copy put back could not keep
};

// Puts each kept file of the run folder open as `runFd` back over its target: linked to a
// temporary name beside the target and renamed over it, or copied there when it is on another
// file system.
void PutBackAll(int runFd, std::vector<PutBack> &entries);

}  // namespace Undo
