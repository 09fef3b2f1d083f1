// A 64-bit hash of a file's bytes, kept in a run's record for each result, so that undo knows a
// result from a file of the same size and modification time with other content (an edit within
// the same clock tick, or one whose time was set back). Not for adversaries: for edits. The
// writer computes the same hash as it writes (files/ContentHash.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Undo {

// The hash of the bytes of the file open (for reading) as `fd`, from its start. Answers 0 or an
// errno.
int HashFile(int fd, std::uint64_t &hash);

// The hash of bytes in memory, the same as HashFile() gives for a file of them.
std::uint64_t HashBytes(const char *data, std::size_t size);

}  // namespace Undo
