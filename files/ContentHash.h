// The 64-bit hash of a result's bytes that the undo store keeps in a run's record (see
// undo/ContentHash.h), taken in pieces: the writer hashes a result as it writes it, so that the
// record need not read the file back. Not for adversaries: for edits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace RFTSFSO {

// Four lanes over 32-byte stripes, so that the multiplications overlap. The same bytes give the
// same hash however they are split between add() calls.
class ContentHasher {
public:
    void add(const char *data, std::size_t size) {
        total_ += size;
        if (held_ > 0) {
            const std::size_t take = std::min(size, sizeof stripe_ - held_);
            std::memcpy(stripe_ + held_, data, take);
            held_ += take;
            data += take;
            size -= take;
            if (held_ < sizeof stripe_)
                return;
            mix(stripe_);
            held_ = 0;
        }
        for (; size >= sizeof stripe_; data += sizeof stripe_, size -= sizeof stripe_)
            mix(data);
        std::memcpy(stripe_, data, size);
        held_ = size;
    }

    std::uint64_t end() const {
        std::uint64_t hash = Rotate(lanes_[0], 1) + Rotate(lanes_[1], 7) + Rotate(lanes_[2], 12) +
                             Rotate(lanes_[3], 18) + total_;
        for (std::size_t i = 0; i < held_; ++i)
            hash = Rotate(hash ^ (static_cast<unsigned char>(stripe_[i]) * Prime1), 11) * Prime2;
        hash ^= hash >> 33;
        hash *= Prime2;
        hash ^= hash >> 29;
        hash *= Prime1;
        return hash ^ (hash >> 32);
    }

private:
    static constexpr std::uint64_t Prime1 = 0x9E3779B185EBCA87ULL;
    static constexpr std::uint64_t Prime2 = 0xC2B2AE3D27D4EB4FULL;

    static std::uint64_t Rotate(std::uint64_t value, int bits) {
        return (value << bits) | (value >> (64 - bits));
    }

    void mix(const char *stripe) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, stripe + 8 * lane, 8);
            lanes_[lane] = Rotate(lanes_[lane] + word * Prime2, 31) * Prime1;
        }
    }

    std::uint64_t lanes_[4] = {Prime1 + Prime2, Prime2, 0, 0 - Prime1};
    std::uint64_t total_ = 0;
    char stripe_[32];
    std::size_t held_ = 0;
};

}  // namespace RFTSFSO
