// What a run replaces, kept before it is replaced, so that the run can be taken back.
//
// The commit queue tells the journal about each group of results just before it puts them in
// place: which files will be replaced (they are kept first) and which will be created. Only when
// recordGroup() has returned, with the group's records on the disk, and the results themselves
// made durable, are the results renamed into place; so a run that is killed at any moment leaves
// a record of everything it replaced.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

struct Replacement {
    // The file that will be replaced or created, symbolic links resolved, as the file system's
    // bytes.
    std::string target;
    // A file is there now: it will be kept before it is replaced. Otherwise it will be created.
    bool existed = false;
    // What will be at the target after the commit, to tell later whether it was changed since.
    std::uint64_t newDevice = 0;
    std::uint64_t newInode = 0;
    std::uint64_t newSize = 0;
    std::int64_t newModifiedNs = 0;  // modification time, nanoseconds since the epoch
    // The hash of the result's bytes (files/ContentHash.h), when the writer took it as it
    // wrote them.
    bool hashKnown = false;
    std::uint64_t newHash = 0;
    // The result itself, open (for writing, at least) until the commit: without the hash, the
    // journal may read its bytes back through /proc/self/fd. -1: not at hand.
    int resultFd = -1;
    // The target's folder as the writer held it open from the read on, and the target's name
    // in it: the file to keep is taken there, whatever the path names by then. -1: by the path.
    int folderFd = -1;
    std::string name{};
    // What is at the target now, as the writer found it when it started (with `existed`), so
    // that the journal need not look again: the identity of the file it keeps and the space
    // that file holds (st_blocks * 512). False: the journal looks for itself.
    bool oldKnown = false;
    std::uint64_t oldDevice = 0;
    std::uint64_t oldInode = 0;
    std::uint64_t oldSize = 0;
    std::int64_t oldModifiedNs = 0;
    std::uint64_t oldSpace = 0;
};

class ReplacementJournal {
public:
    virtual ~ReplacementJournal() = default;

    // Keeps each existing target of the group (a hard link where the file system allows, a copy
    // otherwise) and records the group durably. Answers one value per entry, in order: 0, or the
    // errno of a failure to keep that file, which is then not replaced (its commit fails with it).
    virtual std::vector<int> recordGroup(const std::vector<Replacement> &group) = 0;

    // The device of a file system that recordGroup() makes wholly durable (syncfs) before it
    // answers 0 for any entry; 0 when it makes none so. Asked after recordGroup(). The results
    // of a group are written before the group is recorded, so a commit queue flushes only the
    // other file systems its results are on: one flush per file system and group, the record's
    // included.
    virtual std::uint64_t device() const { return 0; }

    // Where the journal keeps what it keeps, named in a failure of its own disk (ENOSPC, EDQUOT
    // answered by recordGroup()) rather than the file's; empty: nowhere to name.
    virtual QString keptIn() const { return {}; }
};
