// A run over a source of files with several workers: the command line.
//
// While the calling thread takes the files from the source, worker threads prepare results,
// and one committing thread takes the outcomes in the order of the run, puts the results in
// place in groups (recorded first in the plan's journal) and tells the sink, so that what ends
// up on the disk, and what the sink hears, is what working through the files one after the
// other gives. A file whose input or output is the output of an earlier file (the same place,
// RFTSFSO::Place) is not started before that earlier result is in place; when two files give
// the same output, the later one wins. Only so many files are in flight at once.
//
// A stop (the token, or Stopped thrown by the source) ends the run at a file boundary: the
// results finished before the first file that was not are put in place and told, the files in
// progress are dropped, and the totals count the files never told as not processed.
#pragma once

#include "engine/Outcome.h"
#include "engine/Plan.h"
#include "engine/Sink.h"

namespace Engine {

Totals RunParallel(const Plan &plan, FileSource &source, RunSink &sink, StopToken &stop);

}  // namespace Engine
