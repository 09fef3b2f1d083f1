// A map from 64-bit hashes to numbers, in one array: 16 bytes a slot where a map of nodes spends
// about 80 a key and its string, so that what a run remembers of a million files it wrote takes
// a few tens of MB. The keys are hashes, so two different things may share one; callers use it
// where that is harmless, or as rare as a 64-bit hash makes it.
#pragma once

#include "files/ContentHash.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace RFTSFSO {

class HashedIndex {
public:
    // The value put for `key`, or null.
    const std::uint64_t *find(std::uint64_t key) const {
        if (slots_.empty())
            return nullptr;
        key = Stored(key);
        for (std::size_t at = key & mask();; at = (at + 1) & mask()) {
            if (slots_[at].key == key)
                return &slots_[at].value;
            if (slots_[at].key == Empty)
                return nullptr;
        }
    }

    void put(std::uint64_t key, std::uint64_t value) {
        if (2 * (size_ + 1) > slots_.size())
            grow();
        place(Stored(key), value);
    }

    std::size_t size() const { return size_; }

    // A key for bytes (the hash the undo record keeps of a result), joined with `seed`.
    static std::uint64_t HashOf(std::string_view bytes, std::uint64_t seed = 0) {
        ContentHasher hasher;
        hasher.add(bytes.data(), bytes.size());
        return Mix(hasher.end() ^ seed);
    }
    // The splitmix64 finisher.
    static std::uint64_t Mix(std::uint64_t value) {
        value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
        value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
        return value ^ (value >> 31);
    }

private:
    static constexpr std::uint64_t Empty = 0;
    struct Slot {
        std::uint64_t key = Empty;
        std::uint64_t value = 0;
    };

    // 0 marks an empty slot, so a key of 0 is kept as 1.
    static std::uint64_t Stored(std::uint64_t key) { return key == Empty ? 1 : key; }
    std::size_t mask() const { return slots_.size() - 1; }

    void place(std::uint64_t key, std::uint64_t value) {
        for (std::size_t at = key & mask();; at = (at + 1) & mask()) {
            if (slots_[at].key == Empty) {
                slots_[at] = Slot{key, value};
                ++size_;
                return;
            }
            if (slots_[at].key == key) {
                slots_[at].value = value;
                return;
            }
        }
    }

    void grow() {
        std::vector<Slot> old(slots_.empty() ? 64 : 2 * slots_.size());
        old.swap(slots_);
        size_ = 0;
        for (const Slot &slot : old) {
            if (slot.key != Empty)
                place(slot.key, slot.value);
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

}  // namespace RFTSFSO
