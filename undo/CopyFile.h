// A copy of a file with everything that belongs to it: the store's copy of a file it may not
// link, and an original put back onto another file system than the store's.
#pragma once

#include <string>
#include <vector>

#include <sys/stat.h>

namespace Undo {

// Errors of a hard link that a copy may get around: another file system, a link count at its
// limit, a file this user may not link.
bool CopyMayHelp(int error);

// Copies the open regular file `from`, whose status is `info`, onto the new, empty file `to`
// made in `folder`: the bytes, then the owner and group where this user may give them, the
// extended attributes and the access ACL as posix/Attributes.h says (an ACL that `to` inherited
// from the folder goes), the permission bits (the set-id bits only with the owner and the group
// kept), the access and modification times. Answers 0 or an errno, and the copy is then of no
// use. What the copy could not keep goes to `notKept`: the names of attributes that only a
// privileged process may set, "owner", "group". Durable only once the caller makes it so.
int CopyFile(int from, const struct stat &info, int to, const std::string &folder,
             std::vector<std::string> &notKept);

}  // namespace Undo
