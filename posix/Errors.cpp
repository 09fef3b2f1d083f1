#include "posix/Errors.h"

#include <cstring>

namespace Posix {

std::string ErrorText(int error) {
    char buffer[256];
    // The GNU strerror_r answers a static text or one written into the buffer.
    return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace Posix
