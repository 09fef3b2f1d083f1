#include "TextMatch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Operations {

namespace {

// The mask that lets (b | mask) == f accept both letter cases of the folded byte f.
unsigned char CaseMask(unsigned char folded) {
    const unsigned char capital = folded & ~0x20;
    return capital != folded && Fold(capital) == folded ? 0x20 : 0;
}

}  // namespace

Pattern::Pattern(std::string_view text) {
    folded_.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        folded_[i] = static_cast<char>(Fold(text[i]));
    if (!folded_.empty()) {
        first_ = static_cast<unsigned char>(folded_.front());
        last_ = static_cast<unsigned char>(folded_.back());
        firstMask_ = CaseMask(first_);
        lastMask_ = CaseMask(last_);
    }
}

bool Pattern::matchesAt(const unsigned char *at) const {
    const auto *folded = reinterpret_cast<const unsigned char *>(folded_.data());
    for (std::size_t i = 0; i < folded_.size(); ++i) {
        if (FoldTable[at[i]] != folded[i])
            return false;
    }
    return true;
}

std::size_t Pattern::find(std::string_view line, std::size_t from) const {
    const std::size_t k = folded_.size();
    if (k == 0 || line.size() < k || from > line.size() - k)
        return npos;
    const auto *bytes = reinterpret_cast<const unsigned char *>(line.data());
    const std::size_t lastStart = line.size() - k;  // the last place an occurrence can start
    std::size_t i = from;

#if defined(__SSE2__)
    // Sixteen candidate places at a time: the first and the last byte of the pattern must both
    // match before the bytes between them are compared.
    if (lastStart - i >= 15) {
        const __m128i first = _mm_set1_epi8(static_cast<char>(first_));
        const __m128i firstMask = _mm_set1_epi8(static_cast<char>(firstMask_));
        const __m128i last = _mm_set1_epi8(static_cast<char>(last_));
        const __m128i lastMask = _mm_set1_epi8(static_cast<char>(lastMask_));
        auto candidates = [&](std::size_t at) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
            const __m128i tail =
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at + k - 1));
            const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, firstMask), first),
                                               _mm_cmpeq_epi8(_mm_or_si128(tail, lastMask), last));
            return static_cast<unsigned>(_mm_movemask_epi8(both));
        };
        for (;;) {
            unsigned mask = candidates(i);
            while (mask != 0) {
                const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
                if (k <= 2 || matchesAt(bytes + at))
                    return at;
                mask &= mask - 1;
            }
            if (i + 16 > lastStart)
                return npos;
            if (lastStart - (i + 16) >= 15) {
                i += 16;
                continue;
            }
            // The last places: one more block that ends exactly at the last start, with the
            // places already looked at masked out.
            const std::size_t end = lastStart - 15;
            mask = candidates(end) & ~((1u << (i + 16 - end)) - 1);
            while (mask != 0) {
                const std::size_t at = end + static_cast<std::size_t>(__builtin_ctz(mask));
                if (k <= 2 || matchesAt(bytes + at))
                    return at;
                mask &= mask - 1;
            }
            return npos;
        }
    }
#endif

    for (; i <= lastStart; ++i) {
        if ((bytes[i] | firstMask_) == first_ && matchesAt(bytes + i))
            return i;
    }
    return npos;
}

}  // namespace Operations
