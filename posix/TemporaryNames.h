// Names for files that stand beside a target only for a moment.
#pragma once

#include <string>

namespace Posix {

// A name beside `target` that nothing has yet, most likely: ".<name>.XXXXXX", six random
// letters and digits.
std::string TemporaryNameFor(const std::string &target);

}  // namespace Posix
