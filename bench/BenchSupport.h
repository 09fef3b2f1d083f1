// Pieces every benchmark program shares: a seeded random source that gives the same numbers
// on every machine, the median of repeated timings, and the names of what is measured (the file
// system of a folder, the version of sed).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/statfs.h>

namespace Bench {

// splitmix64: small, fast, and the same sequence everywhere for one seed.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double normal() {  // Box-Muller
        const double u = 1.0 - unit(), v = unit();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }

private:
    std::uint64_t state_;
};

inline double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The kind of file system that holds `path`, as the figures name it.
inline std::string FileSystemName(const std::string &path) {
    struct statfs info;
    if (::statfs(path.c_str(), &info) != 0)
        return "?";
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x01021994:
            return "tmpfs";
        case 0xEF53:
            return "ext4";
        case 0x9123683E:
            return "btrfs";
        case 0x58465342:
            return "xfs";
        case 0x794C7630:
            return "overlayfs";
        default: {
            char hex[32];
            std::snprintf(hex, sizeof hex, "fs 0x%lx", static_cast<unsigned long>(info.f_type));
            return hex;
        }
    }
}

// The first line of `sed --version` ("sed (GNU sed) 4.9"), or "sed".
inline std::string SedVersion() {
    FILE *pipe = ::popen("sed --version 2>/dev/null", "r");
    char line[256] = "sed";
    if (pipe != nullptr) {
        if (std::fgets(line, sizeof line, pipe) == nullptr)
            std::strcpy(line, "sed");
        ::pclose(pipe);
    }
    line[std::strcspn(line, "\n")] = '\0';
    return line;
}

}  // namespace Bench
