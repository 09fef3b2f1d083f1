// Names for files that stand beside a target only for a moment, and the clearing of those that a
// killed process left behind.
#pragma once

#include <string>
#include <string_view>

#include <sys/types.h>

namespace Posix {

// A name beside `target` that nothing has yet, most likely:
// ".<name>.strelmark-<process id>-XXXXXX", six random letters and digits. The target's name is
// shortened (never inside a UTF-8 character) so that the whole fits in NAME_MAX bytes, whatever
// the target's name. The marker and the process id let a later process know the name for this
// program's own and whether its maker is still alive.
std::string TemporaryNameFor(const std::string &target);

// The process that made `name` (a name in a folder, no '/') with TemporaryNameFor; 0 when the
// name is none of this program's.
pid_t OwnerOfTemporaryName(std::string_view name);

// Removes from the folder the names that TemporaryNameFor made for a process that is gone (a
// run or an undo killed between giving a result its temporary name and its rename), and those
// older than a day (their process id may have been given to another process since). Answers how
// many were removed; a folder that cannot be read has none.
int RemoveStaleTemporaryNames(const std::string &folder);

}  // namespace Posix
