#include "posix/TemporaryNames.h"

#include <cstdint>
#include <random>

namespace Posix {

std::string TemporaryNameFor(const std::string &target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t slash = target.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string name;
    name.reserve(target.size() + 8);
    name.append(target, 0, start).append(1, '.').append(target, start).append(1, '.');
    std::uint64_t draw = random();
    for (int i = 0; i < 6; ++i, draw /= sizeof letters - 1)
        name += letters[draw % (sizeof letters - 1)];
    return name;
}

}  // namespace Posix
