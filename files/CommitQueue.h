// Putting prepared results in place in groups.
//
// Making one file durable costs a wait for the disk; making a group of them durable costs about
// the same wait once. The queue collects prepared results (PendingResult) and commits them as a
// group: the group is recorded in the journal first (the undo store's record of the run, when
// there is one), which makes its own file system durable, then every result on another file
// system is made durable (one flush per file system), then each result is put over its target in
// the order it was added. No result is put in place before both it and the group's record are on
// the disk. A group is committed when it is full (MaxFiles results or MaxBytes bytes), when
// MaxDelay has passed since its first result, and whenever the caller asks.
//
// A full group is committed either by the call that fills it, or, Mode::Overlapped, by a thread
// of the queue's own while the caller prepares the next group: the wait for the disk then
// overlaps the work on the next files. One group at a time is in flight; a group that is full by
// its count while the one before is still in flight takes more results (MaxFilesWhileBusy, fewer
// where the process may open few descriptors),
// and waits only when it is full by that count, by its bytes or by its age. What is in flight
// counts as pending for a later result to the same place, commit() waits for it, and its failures
// are answered by the next add() or commit(). The journal is then called from that thread, one
// group at a time.
//
// Guarantees: a crash or a kill at any moment leaves each target either as it was or as its
// result, never partly written, and no temporary file. The results are put in place by a
// helper process that shares the program's memory and open files: killed while it works, the
// program leaves it to finish the group, so that no result stays half put in place under a
// temporary name. A pending result that is dropped (the queue destroyed without commit()) is
// written nowhere; a group already in flight is put in place before the queue goes.
//
// Order: callers commit before a later read or write of a place that a result pending or in
// flight goes to (RFTSFSO::Place), before they report anything about a later file, and before
// they end.
#pragma once

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/Place.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
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
    // Overlapped: a group that is full by MaxFiles while the group before is still in flight
    // grows on rather than wait, up to this many results (each holds an open descriptor), so
    // that the groups are as large as the disk's flushes are slow.
    static constexpr std::size_t MaxFilesWhileBusy = 256;

    enum class Mode {
        InCall,      // a full group is committed before add() returns
        Overlapped,  // a full group is committed by the queue's thread while the caller goes on
    };

    // `journal`, when given, records each group before any of its results is put in place.
    // `maxDelay`: how old a group's first result may grow before the group is committed.
    explicit CommitQueue(ReplacementJournal *journal = nullptr, Mode mode = Mode::InCall,
                         std::chrono::milliseconds maxDelay = MaxDelay);
    CommitQueue(const CommitQueue &) = delete;
    CommitQueue &operator=(const CommitQueue &) = delete;
    // Puts a group in flight in place, then drops whatever is pending: nothing of it is written.
    ~CommitQueue();

    // Takes a prepared result; `tag` is the caller's (a row, say). Commits the group first when
    // the result goes where a pending one goes already, and afterwards when the group is full
    // or old enough; answers the failures of those commits (Overlapped: of the groups whose
    // commit has ended since the last call).
    std::vector<CommitFailure> add(std::unique_ptr<PendingResult> result, std::size_t tag);

    // Waits for the group in flight, then makes every pending result durable, records the group
    // in the journal, and puts each in place in the order added. Answers the failures, in that
    // order. Nothing is pending or in flight after.
    std::vector<CommitFailure> commit();

    // Nothing pending and nothing in flight.
    bool empty() const { return pending_.empty() && !inFlight_; }
    // Results pending (not counting a group in flight).
    std::size_t size() const { return pending_.size(); }
    // The results added so far whose commit has ended and whose failures add() or commit() has
    // answered: the first settled() results added. Those not among them may still fail.
    std::size_t settled() const { return settled_; }

private:
    struct Entry {
        std::unique_ptr<PendingResult> result;
        std::size_t tag;
        RFTSFSO::Place place;      // of the result's target
        bool journalFull = false;  // the journal's own disk is full: its failure, not the file's
    };

    // The places of the results in `entries` are no longer pending or in flight.
    void release(const std::vector<Entry> &entries);
    // Records, makes durable and puts in place one group; answers its failures.
    std::vector<CommitFailure> commitGroup(std::vector<Entry> &group) const;
    std::uint64_t recordGroup(std::vector<Entry> &group, std::vector<int> &errors) const;
    void putInPlace(std::vector<Entry> &group, std::vector<int> &errors) const;
    // Answers in `errors` the results whose data could not be made durable; results on the file
    // system `flushed` (0: none) were made durable already.
    void makeDurable(const std::vector<PendingResult *> &results, std::vector<int> &errors,
                     std::uint64_t flushed) const;
    // Overlapped: the failures of the group in flight, once its commit has ended (waiting for it
    // when `wait`); nothing while it goes on.
    std::vector<CommitFailure> collect(bool wait);
    void committerLoop();

    ReplacementJournal *journal_;
    Mode mode_;
    std::chrono::milliseconds maxDelay_;
    std::vector<Entry> pending_;
    std::uint64_t bytes_ = 0;
    std::size_t added_ = 0, settled_ = 0;
    // The places of the results pending or in flight, each with how many go there (the
    // caller's thread alone).
    RFTSFSO::Places places_;
    std::unordered_map<RFTSFSO::Place, std::size_t, RFTSFSO::PlaceHash> held_;
    std::chrono::steady_clock::time_point first_;

    // Overlapped. The group in flight: while the committer works on it, the caller's thread
    // looks only at the places of its results.
    std::vector<Entry> flight_;
    bool inFlight_ = false;  // flight_ holds a group whose failures are not yet collected
    std::mutex mutex_;
    std::condition_variable changed_;
    bool busy_ = false;  // the committer works on flight_ (guarded by mutex_)
    // The file system of each folder that new results were made in (the committer's).
    mutable std::vector<std::pair<std::string, dev_t>> folderDevices_;
    bool stopping_ = false;  // guarded by mutex_
    std::vector<CommitFailure> flightFailures_;
    std::thread committer_;
};
