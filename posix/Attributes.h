// Extended attributes and POSIX ACLs: what a file keeps beyond its bytes and its mode.
//
// One policy for every copy the program makes (a result that replaces a file, a kept original
// copied into the undo store, an original put back): user.* attributes and the ACLs belong to
// the user, and a failure to copy one of them fails the copy; attributes that only a privileged
// or specially permitted process may read or set (security.*, trusted.*, system.* other than the
// ACLs) are copied where this process may, and otherwise named in what the copy left behind, for
// the caller to say.
#pragma once

#include <string>
#include <vector>

namespace Posix {

inline constexpr char AccessAcl[] = "system.posix_acl_access";
inline constexpr char DefaultAcl[] = "system.posix_acl_default";

// What CopyAttributes found.
struct AttributeCopy {
    bool hadAccessAcl = false;            // the source had an access ACL (now copied)
    std::vector<std::string> leftBehind;  // attributes this process may not read or set
};

// Copies every extended attribute of the file open as `fromFd` (or, when it is -1, at
// `fromPath`, not following a link), the access ACL among them, onto the file open as `to`.
// Answers 0 or an errno value.
int CopyAttributes(int fromFd, const std::string &fromPath, int to, AttributeCopy &copy);

// Whether new files in `folder` inherit an ACL from its default ACL. The last folder asked about
// is remembered by each thread, so a run of files in one folder asks once.
bool FolderHasDefaultAcl(const std::string &folder);

}  // namespace Posix
