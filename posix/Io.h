// Reading, writing and flushing whole pieces of a file. Each answers 0 or an errno value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/types.h>

namespace Posix {

// Writes all `size` bytes at the descriptor's position.
int WriteAll(int fd, const char *data, std::size_t size);
// Writes all `size` bytes at `offset`, leaving the position alone.
int WriteAllAt(int fd, const char *data, std::size_t size, off_t offset);
// Reads from the descriptor's position to the end of the file into `text` (replacing it).
int ReadAll(int fd, std::string &text);
// Copies from `from`'s position to its end onto `to`'s position, inside the kernel where the
// file systems allow.
int CopyBytes(int from, int to);

// The file's data made durable (fdatasync); a descriptor that cannot be synced (EINVAL: a
// special file) counts as done.
int SyncData(int fd);
// The same for a folder's entries (fsync of the folder).
int SyncFolder(int fd);

// How many descriptors this process may have open, once its soft limit is raised as far as its
// hard limit lets it (up to 65,536): a run holds results open until their group is put in
// place, and a login's soft limit of 1,024 is soon reached. Raised once; later calls answer
// the same.
std::size_t RaiseDescriptorLimit();

}  // namespace Posix
