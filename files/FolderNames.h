// What one output folder holds, listed once for a run.
#pragma once

#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace RFTSFSO {

// The names in one output folder, listed once for a run, so that a result for a name the folder
// does not hold needs no look at its path: the first question lists the folder of the path it
// asks about, and later questions about that folder are answered from the list and from the
// results written since (noteWritten). Questions about any other folder, and every question when
// the folder cannot be listed or holds more than MaxNames names, answer "may hold".
//
// A file that another program makes in the folder during the run is not in the list: the
// result for that name is then put in place as a new file whose name was taken meanwhile (see
// CommitQueue), as it would be had the file appeared a moment after the look.
//
// Several threads may ask at once (the workers of one run).
class FolderNames {
public:
    static constexpr std::size_t MaxNames = 200000;

    // Whether something may be at `target` (a path as the file system's bytes).
    bool mayHold(const std::string &target);
    // A result will be at `target`.
    void noteWritten(const std::string &target);

private:
    bool mayHoldLocked(const std::string &target);

    enum class State { Unlisted, Listed, Unknown };
    std::mutex mutex_;
    State state_ = State::Unlisted;
    std::string folder_;
    std::vector<std::string> names_;  // sorted
    std::set<std::string, std::less<>> written_;
};

}  // namespace RFTSFSO
