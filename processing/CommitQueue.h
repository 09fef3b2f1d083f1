// Putting prepared results in place in groups.
//
// Making one file durable costs a wait for the disk; making a group of them durable costs about
// the same wait once. The queue collects prepared results (PendingResult) and commits them as a
// group: every result of the group is made durable first, then the group is recorded in the
// journal (the undo store's record of the run, when there is one), then each result is put over
// its target in the order it was added. A group is committed when it is full (MaxFiles results
// or MaxBytes bytes), when MaxDelay has passed since its first result, and whenever the caller
// asks.
//
// Guarantees: a crash or a kill at any moment leaves each target either as it was or as its
// result, never partly written, and no temporary file. The results are put in place by a
// helper process that shares the program's memory and open files: killed while it works, the
// program leaves it to finish the group, so that no result stays half put in place under a
// temporary name. A pending result that is dropped (the queue destroyed without commit()) is
// written nowhere.
//
// Order: callers commit before a later read of a path that holds() answers true for, before a
// later write to such a path, before they report anything about a later file, and before they
// end.
#pragma once

#include "AtomicFile.h"
#include "FileError.h"

#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ReplacementJournal;

// A result that could not be put in place: the caller's tag and the reason (kind Write, the
// output path as given).
struct CommitFailure {
    std::size_t tag;
    FileError error;
};

class CommitQueue {
public:
    static constexpr std::size_t MaxFiles = 48;
    static constexpr std::uint64_t MaxBytes = std::uint64_t(32) << 20;
    static constexpr std::chrono::milliseconds MaxDelay{100};

    // `journal`, when given, records each group before any of its results is put in place.
    explicit CommitQueue(ReplacementJournal *journal = nullptr);
    CommitQueue(const CommitQueue &) = delete;
    CommitQueue &operator=(const CommitQueue &) = delete;
    // Drops whatever is pending: nothing of it is written.
    ~CommitQueue();

    // Takes a prepared result; `tag` is the caller's (a row, say). Commits the group first when
    // the result goes where a pending one goes already, and afterwards when the group is full
    // or old enough; answers the failures of those commits.
    std::vector<CommitFailure> add(std::unique_ptr<PendingResult> result, std::size_t tag);

    // True when a pending result will be put at `path` (symbolic links followed as the writer
    // follows them; the same file under another spelling counts too), or will replace the file
    // there: a read or write of `path` must wait for commit().
    bool holds(const QString &path) const;

    // Makes every pending result durable, records the group in the journal, and puts each in
    // place in the order added. Answers the failures, in that order. Nothing is pending after.
    std::vector<CommitFailure> commit();

    bool empty() const { return pending_.empty(); }
    std::size_t size() const { return pending_.size(); }

private:
    struct Entry {
        std::unique_ptr<PendingResult> result;
        std::size_t tag;
        // The target's folder, looked up when holds() first needs it.
        mutable bool folderKnown = false;
        mutable dev_t folderDevice = 0;
        mutable ino_t folderInode = 0;
    };

    bool holdsTarget(const std::string &target, const struct stat *info, bool exists) const;
    // Answers in `errors` the results whose data could not be made durable.
    static void makeDurable(const std::vector<PendingResult *> &results, std::vector<int> &errors);

    ReplacementJournal *journal_;
    std::vector<Entry> pending_;
    std::uint64_t bytes_ = 0;
    std::chrono::steady_clock::time_point first_;
};
