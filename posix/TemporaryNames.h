// Names for files that stand beside a target only for a moment.
#pragma once

#include <string>

namespace Posix {

// A name beside `target` that nothing has yet, most likely:
// ".<name>.strelmark-<process id>-XXXXXX", six random letters and digits. The target's name is
// shortened (never inside a UTF-8 character) so that the whole fits in NAME_MAX bytes, whatever
// the target's name. The marker and the process id let a later process know the name for this
// program's own and whether its maker is still alive.
std::string TemporaryNameFor(const std::string &target);

}  // namespace Posix
