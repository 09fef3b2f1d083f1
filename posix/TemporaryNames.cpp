#include "posix/TemporaryNames.h"

#include "posix/Fd.h"
#include "posix/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <random>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Posix {

namespace {

constexpr std::string_view Marker = ".strelmark-";
constexpr std::size_t RandomLetters = 6;
constexpr std::time_t StaleAfterSeconds = std::time_t(24) * 60 * 60;

// This process's id, asked for once: a run names a temporary file for each result it writes.
// A child made by fork() asks again.
std::atomic<pid_t> ownId{0};

void ForgetOwnId() {
    ownId.store(0, std::memory_order_relaxed);
}

pid_t OwnId() {
    static const int registered = ::pthread_atfork(nullptr, nullptr, ForgetOwnId);
    (void)registered;
    pid_t id = ownId.load(std::memory_order_relaxed);
    if (id == 0) {
        id = ::getpid();
        ownId.store(id, std::memory_order_relaxed);
    }
    return id;
}

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string TemporaryNameFor(const std::string &target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t slash = target.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string suffix(Marker);
    suffix += std::to_string(OwnId());
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

pid_t OwnerOfTemporaryName(std::string_view name) {
    if (name.size() < 1 + Marker.size() + 2 + RandomLetters || name[0] != '.')
        return 0;
    std::size_t end = name.size() - RandomLetters;
    for (std::size_t i = end; i < name.size(); ++i) {
        if (!IsLetterOrDigit(name[i]))
            return 0;
    }
    if (name[--end] != '-')
        return 0;
    std::size_t digits = end;
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    if (digits == end || end - digits > 9 || digits < 1 + Marker.size() ||
        name.substr(digits - Marker.size(), Marker.size()) != Marker)
        return 0;
    pid_t owner = 0;
    for (std::size_t i = digits; i < end; ++i)
        owner = owner * 10 + (name[i] - '0');
    return owner;
}

int RemoveStaleTemporaryNames(const std::string &folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::vector<std::string> names;
    const auto temporary = [](std::string_view name) { return OwnerOfTemporaryName(name) > 0; };
    if (!fd || ListFolder(fd.get(), names, temporary) != 0)
        return 0;
    int removed = 0;
    const std::time_t now = std::time(nullptr);
    for (const std::string &name : names) {
        const pid_t owner = OwnerOfTemporaryName(name);
        if (owner <= 0 || owner == OwnId())
            continue;
        struct stat info;
        if (::fstatat(fd.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        const bool gone = ::kill(owner, 0) != 0 && errno == ESRCH;
        if (!gone && now - info.st_mtime < StaleAfterSeconds)
            continue;
        if (::unlinkat(fd.get(), name.c_str(), 0) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace Posix
