// Targets whose paths are longer than the system takes in one call (the files below a deep
// working folder, recorded by their absolute paths): reached through a descriptor of their
// folder, opened a piece of the path at a time.
#pragma once

#include "posix/Fd.h"

#include <map>
#include <string>

namespace Undo {

class LongPaths {
public:
    // A path to `path` that the system takes: `path` itself when it is short enough, else
    // "/proc/self/fd/N/NAME" through a descriptor of its folder (which this object keeps open,
    // and which the helper that shares this process's descriptors can use too); `path` itself
    // when its folder cannot be opened (the error of using it then says why).
    std::string of(const std::string &path);

private:
    std::map<std::string, Posix::Fd> folders_;  // by their paths
};

}  // namespace Undo
