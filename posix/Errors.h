// The system's wording for an error number.
#pragma once

#include <string>

namespace Posix {

// What the C library says of `error` ("Permission denied"), safe from any thread.
std::string ErrorText(int error);

}  // namespace Posix
