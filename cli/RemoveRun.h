// `strelmark remove`: the window's run, from a terminal.
//
// The files are the PATHs in the order given: a folder is searched as "Add All HTML Files In
// Folder" searches it (pattern "*." + EXT), any other PATH is taken as it is, like a file
// dropped on the list. Each file goes through the same ProcessFile as a row of the window, with
// the same options; results are put in place by a CommitQueue in groups, recorded first in the
// undo store as a run of the command line.
//
// Several files are worked on at once (--jobs): while the main thread finds the files, worker
// threads prepare results, and one committer thread takes them in the order given, puts them
// in place and reports them, so that what ends up on the disk is what working through the
// files one after the other gives. A file whose input or output is the output of an earlier
// file (the same place once folders and symbolic links are resolved) is not started before
// that earlier result is in place; when two files give the same output, the later one wins,
// as in the window. Only so many files are in flight at once.
//
// A stop (SIGINT, SIGTERM, SIGHUP) ends the run at a file boundary: the results finished before
// the first file that was not are put in place, the files in progress are dropped, and the
// summary says that the run was stopped.
#pragma once

#include "cli/Arguments.h"

namespace Cli {

// Carries out the request; answers the exit status (0, 1, or 128 + the signal that stopped it).
int RunRemove(const RemoveRequest &request);

}  // namespace Cli
