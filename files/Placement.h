// Putting complete files over their targets so that a kill at any moment leaves no stray name.
#pragma once

#include <vector>

#include <fcntl.h>

// One file being put in place, with everything prepared beforehand: the helper that does the
// work shares the program's memory but may use nothing but system calls. The file is a run's
// result, or an original that undo puts back: a kept file linked in by its descriptor (it has a
// name in the undo store already), or a copy of one.
struct Placement {
    int fd = -1;
    const char *target = nullptr;
    // The target's folder held open, or AT_FDCWD: with it, `name` is the target's name there,
    // and `named` and `names` are names there too (`target` is the path, for what the folder
    // holds of killed processes).
    int folderFd = AT_FDCWD;
    const char *name = nullptr;
    const char *named = nullptr;  // a named temporary file (where unnamed ones cannot be made,
                                  // or descriptors cannot be linked)
    bool linkDirectly = false;    // unnamed, and nothing at the target: link it in at once
    char proc[40] = {};           // /proc/self/fd/<fd>
    // Names to link the file at (by its descriptor) before the rename: random, so that a second
    // one is needed only if something appeared at the first since it was drawn.
    static constexpr int Names = 2;
    const char *names[Names] = {};
    int error = 0;  // the outcome
};

// Between the link of a replacing file under a temporary name and its rename over the target, a
// kill of the program would leave the temporary name behind. The renames are therefore made by
// a helper process that shares the program's memory and open files (and that the program waits
// for): killed meanwhile, the program dies and the helper finishes the group on its own. Where
// no such process can be started, the program does the work itself, and so it does for a group
// that only links new files in, each in one step (a new file whose name was taken meanwhile is
// the one exception, renamed over what appeared there). A process killed with its helper (the
// whole group killed) can still leave a temporary name: before anything is put in a folder, the
// names that such a process left there are removed (Posix::RemoveStaleTemporaryNames).
void PutAllInPlace(std::vector<Placement> &entries);

// Whether a file can be linked in by its descriptor here: through /proc/self/fd, or directly
// with AT_EMPTY_PATH, which needs a privilege. Decided once. Where it cannot, a file is put in
// place from a named temporary file (`named`).
bool CanLinkByDescriptor();
