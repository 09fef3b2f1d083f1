// Paths as the file system's bytes: their parts, where symbolic links lead, folders made and
// listed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace Posix {

// The folder of a path: everything before its last '/' ("/" for a file in the root, "." for a
// bare name).
std::string FolderOf(const std::string &path);
// The name after the last '/' (the whole path when it has none).
std::string_view NameOf(std::string_view path);

// Follows symbolic links from `path` to the file at their end, or to where a file would be made
// when the end is a link to nothing. Fills `info` and `exists`, replaces `path` by the end.
// Answers 0 or an errno value (ELOOP after 40 links).
int ResolveLinks(std::string &path, struct stat &info, bool &exists);

// Makes the folder and the folders above it that are missing, each with `mode`, as mkdir -p.
int MakeFolders(const std::string &path, mode_t mode);

// A relative path taken from the current folder (an absolute one stays as it is).
int MakeAbsolute(std::string &path);

// The names in the folder open as `folderFd` but "." and "..", in the order the folder gives
// them (replacing `names`); with `keep`, only those it keeps, so that looking for a few names
// in a folder of a million holds only the few.
int ListFolder(int folderFd, std::vector<std::string> &names,
               bool (*keep)(std::string_view name) = nullptr);

}  // namespace Posix
