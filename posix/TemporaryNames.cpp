#include "posix/TemporaryNames.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string_view>

#include <unistd.h>

namespace Posix {

namespace {

constexpr std::string_view Marker = ".strelmark-";
constexpr std::size_t RandomLetters = 6;

}  // namespace

std::string TemporaryNameFor(const std::string &target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t slash = target.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string suffix(Marker);
    suffix += std::to_string(::getpid());
    suffix += '-';
    std::uint64_t draw = random();
    for (std::size_t i = 0; i < RandomLetters; ++i, draw /= sizeof letters - 1)
        suffix += letters[draw % (sizeof letters - 1)];
    // The name's bytes that fit beside the dot in front and the suffix, cut before a UTF-8
    // character's continuation bytes.
    std::size_t kept = std::min(target.size() - start, std::size_t(NAME_MAX) - 1 - suffix.size());
    while (kept > 0 && kept < target.size() - start &&
           (static_cast<unsigned char>(target[start + kept]) & 0xC0) == 0x80)
        --kept;
    std::string name;
    name.reserve(start + 1 + kept + suffix.size());
    name.append(target, 0, start).append(1, '.').append(target, start, kept).append(suffix);
    return name;
}

}  // namespace Posix
