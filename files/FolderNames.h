// What the output folders hold, each listed once for a run.
#pragma once

#include "files/HashedIndex.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace RFTSFSO {

// The names in a run's output folders, each folder listed once, so that a result for a name its
// folder does not hold needs no look at its path: the first question about a folder lists it,
// and later questions about that folder are answered from the list and from the results written
// since (noteWritten), kept as hashes so that a million of them take 16 MB or so. A folder that
// does not exist yet holds nothing until the run makes it (noteFolder), and holds what the run
// writes there from then on. A folder that cannot be listed, or any folder once the run's folders
// hold more than MaxNames names in all, answers "may hold" to every question.
//
// A file that another program makes in a folder during the run is not in the list: the result
// for that name is then put in place as a new file whose name was taken meanwhile (see
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
    // Whether `folder` is a folder known to be there (listed, or made by the run).
    bool isFolder(const std::string &folder);
    // The run has made `folder`, or found it there.
    void noteFolder(const std::string &folder);

private:
    enum class State { Listed, Missing, Unknown };
    struct Folder {
        State state = State::Unknown;
        std::vector<std::string> names;  // sorted
        // The hashes of the names written since: one name taken for another only costs a look.
        HashedIndex written;
    };
    Folder &folderLocked(const std::string &folder);

    std::mutex mutex_;
    std::unordered_map<std::string, Folder> folders_;
    std::size_t names_ = 0;  // listed, in all folders
};

}  // namespace RFTSFSO
