// A copy of a file with everything that belongs to it: the store's copy of a file it may not
// link, and an original put back onto another file system than the store's.
#pragma once

#include <sys/stat.h>

namespace Undo {

// Errors of a hard link that a copy may get around: another file system, a link count at its
// limit, a file this user may not link.
bool CopyMayHelp(int error);

// Copies the open regular file `from`, whose status is `info`, onto the new, empty file `to`:
// the bytes, then the owner (where allowed), the permission bits, the extended attributes, the
// access and modification times. Answers 0 or an errno, and the copy is then of no use.
// Durable only once the caller makes it so.
int CopyFile(int from, const struct stat &info, int to);

}  // namespace Undo
