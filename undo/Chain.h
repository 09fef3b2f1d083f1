// Runs after the one being undone that wrote its files again. A file that a later run replaced
// again is still as the runs left it when each later run kept what the run before it left (the
// same bytes as the earlier record's result) and the newest left what is there now: undoing the
// earlier run puts its original back all the same. Each later run in that chain is then told, in
// its folder's "putback", which original an undo of an earlier run put at the target, so that its
// own undo finds nothing to do there rather than a file changed since.
//
// "putback" holds one line per target handed back, in a record's form (Manifest.h): a created
// file's line whose old identity is the original put back there, all zeros where the target was
// removed. Lines are appended and made durable before the original is put back; a torn one is
// ignored; several lines for one target each count.
#pragma once

#include "undo/Manifest.h"

#include "posix/Fd.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Undo {

inline constexpr char PutBackName[] = "putback";

// The originals that undos of earlier runs put at this run's targets, by target.
using HandedBack = std::map<std::string, std::set<std::pair<std::uint64_t, std::int64_t>>>;
HandedBack ReadHandedBack(int runFd);
// Whether the file at the target (`now`; nullptr: there is none) is one that an undo of an
// earlier run put there: its size and modification time, as a copy put back keeps them.
bool IsHandedBack(const HandedBack &handedBack, const std::string &target, const Identity *now);

// The runs after the one being undone, read when first needed.
class LaterRuns {
public:
    LaterRuns(int storeFd, std::string undone) : storeFd_(storeFd), undone_(std::move(undone)) {}

    // Whether the file at `path` (`now`) is what the later runs left at the target of `record`
    // (the undone run's newest record of it) through an unbroken chain.
    bool leftByLater(const Record &record, const std::string &path, const Identity &now);
    // Before `original` (empty: a removal) goes to the target where `now` is: tells each later
    // run in the chain, and each that was told of `now`. Answers 0 or an errno.
    int handBack(const std::string &target, const Identity &now, const Identity &original);

private:
    struct Run {
        Posix::Fd folder;
        Manifest manifest;
        HandedBack handedBack;
    };
    void load();

    int storeFd_;
    std::string undone_;
    bool loaded_ = false;
    bool usable_ = true;     // false: a later run's record does not read whole; no chains
    std::vector<Run> runs_;  // oldest first
    std::map<std::string, std::vector<std::pair<std::size_t, std::size_t>>> byTarget_;
    std::map<std::string, std::set<std::size_t>> chains_;  // the runs of each chain found
};

}  // namespace Undo
