// Which earlier file of a run writes the place a file reads or writes: the one answer that the
// window's run, its preview and the command line give.
#pragma once

#include "engine/Outcome.h"
#include "files/Place.h"

#include <cstddef>
#include <unordered_map>

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
        if (const auto found = written_.find(input); found != written_.end()) {
            report.relation = Relation::ReadsEarlier;
            report.earlier = found->second;
        } else if (const auto same = written_.find(output); writes && same != written_.end()) {
            report.relation = Relation::OverwritesEarlier;
            report.earlier = same->second;
        }
        if (writes || report.relation != Relation::None)
            written_[output] = report.index;
    }

private:
    std::unordered_map<RFTSFSO::Place, std::size_t, RFTSFSO::PlaceHash> written_;
};

}  // namespace Engine
