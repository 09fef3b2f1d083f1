// Putting kept originals back over their targets, as a run puts its results in place
// (files/Placement.h), so that a kill of the undo at any moment leaves no temporary name beside
// a target.
#pragma once

#include "undo/Manifest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Undo {

// One kept original to be put back over its target.
struct PutBack {
    const Record *record = nullptr;  // a replaced file's
    std::string target;              // its target, as the system takes it (undo/LongPaths.h)
    std::uint64_t targetDevice = 0;  // the file system of the file at the target now
    // The outcome:
    int error = 0;
    Identity now;                      // what is at the target then
    std::vector<std::string> notKept;  // what the copy put back could not keep
};

// Puts each kept file of the run folder open as `runFd` back over its target, no two of them
// over the same one. A kept file on the target's file system is linked beside it under a
// temporary name and renamed over it by the helper process that renames a run's results; one on
// another file system (or that the file system refuses to link) is first copied, with its
// metadata and made durable, into an unnamed file in the target's folder, which is then put in
// place the same way.
void PutBackAll(int runFd, std::vector<PutBack> &entries);

}  // namespace Undo
