// The text of a run's record: the manifest (its format is described in undo/UndoStore.h) and the
// list of what the copies kept of some files could not keep. Text to records and records to
// text only: nothing here touches the file system.
#pragma once

#include "undo/UndoSummary.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace Undo {

inline constexpr char FormatLine[] = "strelmark-undo 2";
// The format before the records kept the hash of each result; read as well.
inline constexpr char FormatLineWithoutHashes[] = "strelmark-undo 1";

// A file's identity: device, inode, size, modification time in nanoseconds since the epoch.
struct Identity {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const Identity &) const = default;
};

Identity IdentityOf(const struct stat &info);
// The space a file holds (st_blocks * 512).
std::uint64_t SpaceOf(const struct stat &info);

// The name of the run's kept file `number`: "k1", "k2", ...
std::string KeptName(std::size_t number);

// One line of the manifest: a replaced ("R") or created ("C") file.
struct Record {
    bool replaced = false;
    std::string target;  // absolute, as the file system's bytes
    std::string kept;    // the kept file's name in the run folder; empty for a created file
    Identity old;
    std::uint64_t keptBytes = 0;
    Identity fresh;
    // The hash of the result's bytes (undo/ContentHash.h), where the run could take it.
    bool hashed = false;
    std::uint64_t freshHash = 0;
    bool operator==(const Record &) const = default;
};

struct Manifest {
    bool valid = false;  // the header was read
    // What keeps the record from reading whole, for the user; empty when it reads whole. A
    // torn last line and lines of zeros (a run killed while it appended) are no damage; a line
    // that does not read, an "end" line whose count the records do not make, anything after
    // it, a header that does not read, or a later format version are.
    std::string damage;
    UndoFace face = UndoFace::Window;
    std::string started;
    UndoRunWhat what;  // the lines between the header and the first record
    std::vector<Record> records;
};

// Bytes 0x21 to 0x7E but '%' stand for themselves, every other byte is %XX.
std::string Escape(std::string_view bytes);
// The bytes of an escaped field; false when it is not one (a blank, a control character, a '%'
// without two upper-case hex digits).
bool Unescape(std::string_view text, std::string &bytes);

std::string FaceText(UndoFace face);
// The first three lines: the format, the face and the start time.
std::string HeaderText(UndoFace face, const std::string &started);
// What the run was asked to do, the lines after the header (none for an empty `what`).
std::string WhatText(const UndoRunWhat &what);
// One record's line, LF included.
std::string RecordLine(const Record &record);
// The line that ends a finished run.
std::string EndLine(std::size_t records, std::uint64_t bytes);

// A record's line (without its LF); nothing when it does not read as one.
std::optional<Record> ParseRecord(std::string_view line);
// An "end" line (without its LF); false when it does not read as one.
bool ParseEndLine(std::string_view line, std::size_t &records, std::uint64_t &bytes);

// The totals of the records read, with or without the records themselves.
struct ManifestTotals {
    std::size_t records = 0;
    std::uint64_t keptBytes = 0;
};

// Reads the complete lines of a manifest. Lines that do not read are skipped, and named in
// `damage` unless they are a torn last one or the zeros of a block that was allocated but never
// written. Not valid when the header is not there; the records that read are there even so.
// `wantRecords` false: only the header and the totals.
Manifest ParseManifest(std::string_view text, bool wantRecords, ManifestTotals *totals = nullptr);

// What the copies of some kept files could not keep of the originals, by kept file: attribute
// names, "owner", "group". One line per kept file: its name, then each item escaped, separated
// by single spaces.
using NotKept = std::map<std::string, std::vector<std::string>>;
std::string NotKeptLine(const std::string &kept, const std::vector<std::string> &what);
// The complete lines of the text; lines that do not read are ignored.
NotKept ParseNotKept(std::string_view text);

}  // namespace Undo
