// A run over a source of files, one file after the other on the calling thread: the window's
// "Start Removing" and its preview.
//
// For each file the source hands out, the driver works on it (engine/FileWork.h) and tells the
// sink its outcome once final (engine/Sink.h). Results are put in place in groups by a commit
// queue whose wait for the disk overlaps the work on the next files, recorded first in the
// plan's journal. The driver keeps the order that writing each result at once would show: the
// results waiting are put in place before a later file reads or writes a place one of them goes
// to (RFTSFSO::Place), and before the sink hears of a failure (so that what it hears of earlier
// files comes first). Over files that are not in the page cache, the source's next files are
// read ahead; an output folder is listed once.
//
// A Stopped thrown by the source or the line context ends the run as after its last file: the
// file in progress is dropped, what is complete is put in place and told. Anything else thrown
// ends the run too: what is complete is put in place, nothing more is told, and the exception
// goes on to the caller.
#pragma once

#include "engine/Outcome.h"
#include "engine/Plan.h"
#include "engine/Sink.h"

namespace Operations {
class LineContext;
}

namespace Engine {

// Answers the run's totals (`stopped` when a Stopped ended it).
Totals RunSequential(const Plan &plan, FileSource &source, Operations::LineContext &ctx,
                     RunSink &sink);

}  // namespace Engine
