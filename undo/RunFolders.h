// The store's run folders: their names, listing them, the locks (of the store, and of a run's
// manifest while it records), what killed processes left, and the bounds.
#pragma once

#include "undo/Manifest.h"
#include "undo/UndoStore.h"

#include "posix/Fd.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Undo {

inline constexpr char ManifestName[] = "manifest";
// What copies kept of some files could not keep (see Manifest.h); only where there is any.
inline constexpr char NotKeptName[] = "notkept";
inline constexpr char LockName[] = "lock";
inline constexpr char TurnName[] = "turn";  // held by the run that writes (UndoRecorder::waitTurn)
inline constexpr char StagingPrefix[] = ".new-";  // a run folder being made

// "20250114T093012.345678Z-0012345-0001" and "2025-01-14T09:30:12.345Z": a new run's folder
// name (UTC start, microseconds, process id, counter) and its start time.
void NewRunName(std::string &name, std::string &started);

// The run folders in view, sorted by name: oldest first.
std::vector<std::string> RunNames(int storeFd);

// flock, waiting through interruptions; answers 0 or an errno.
int LockWait(int fd, int operation);
// Whether a process holds the lock of the manifest behind `fd`.
bool HeldByOther(int fd);

// Removes a run folder's files and the folder (run folders hold files only).
void RemoveFolder(int storeFd, const std::string &name);
// Takes a run out of view at once, then removes its files: a removal cut short leaves a hidden
// folder, never a run with part of its kept files. Answers 0 or an errno.
int DropRun(int storeFd, const std::string &name);

// A run's header and totals, from the "end" line when the run finished, by reading all its
// records when it did not.
struct RunTotals {
    Manifest manifest;  // without records
    std::size_t records = 0;
    std::uint64_t keptBytes = 0;
    std::uint64_t manifestBytes = 0;
};

// A run as the store's maintenance sees it.
struct RunState {
    std::string name;
    bool locked = false;  // being recorded
    // What its manifest holds. A folder whose manifest is missing, or holds no record, holds
    // nothing to undo; one that cannot be read is left alone (to the count rule).
    enum class Holds { Nothing, Records, Unreadable } holds = Holds::Unreadable;
    RunTotals totals;
    std::uint64_t space() const { return totals.keptBytes + totals.manifestBytes; }
};

RunState LookAt(int storeFd, const std::string &name);
UndoRunInfo InfoOf(const RunState &run);

// Applies the bounds (see undo/UndoStore.h), after removing what killed processes left; the
// store is locked. `finishing` is never dropped.
void Prune(int storeFd, const UndoLimits &limits, const std::string &finishing);

// The store's folder and its lock, taken.
struct LockedStore {
    Posix::Fd folder, lock;
    int error = 0;
};

LockedStore LockStore(const std::string &path);

}  // namespace Undo
