// Which earlier file of a run writes the place a file reads or writes: the one answer that the
// window's run, its preview and the command line give.
#pragma once

#include "engine/Outcome.h"
#include "files/HashedIndex.h"
#include "files/Place.h"

#include <cstddef>
#include <cstdint>

namespace Engine {

class Relations {
public:
    // Called for each file in the order of the run, once its outcome is known: sets the report's
    // relation to the latest earlier file whose result goes to its input's place (it reads that
    // result) or, for a result that would be written, to its output's place (it replaces that
    // result).
    void settle(FileReport &report, const RFTSFSO::Place &input, const RFTSFSO::Place &output) {
        const bool writes =
            report.outcome == Outcome::Changed || report.outcome == Outcome::Unchanged;
        const std::uint64_t outputKey = KeyOf(output);
        if (const std::uint64_t *found = written_.find(KeyOf(input))) {
            report.relation = Relation::ReadsEarlier;
            report.earlier = *found;
        } else if (const std::uint64_t *same = written_.find(outputKey); writes && same) {
            report.relation = Relation::OverwritesEarlier;
            report.earlier = *same;
        }
        if (writes || report.relation != Relation::None)
            written_.put(outputKey, report.index);
    }

private:
    static std::uint64_t KeyOf(const RFTSFSO::Place &place) {
        using RFTSFSO::HashedIndex;
        return HashedIndex::HashOf(place.name, HashedIndex::Mix(place.folderInode) ^
                                                   HashedIndex::Mix(~place.folderDevice));
    }

    // Each place written so far, by its 64-bit hash, with the file that wrote it last: a
    // million files take 32 MB. Two places taken for one would need a chance of about one in
    // 10^7 in a run of a million files.
    RFTSFSO::HashedIndex written_;
};

}  // namespace Engine
