#include "text/TextMatch.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Operations {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The mask that lets (b | mask) == f accept both letter cases of the folded byte f.
unsigned char CaseMask(unsigned char folded) {
    const unsigned char capital = folded & ~0x20;
    return capital != folded && Fold(capital) == folded ? 0x20 : 0;
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The character that starts at `at` in valid UTF-8, simply case folded; `length` gets its length
// in bytes. A sequence cut short by the end of `bytes` (never in a valid line) is one byte that
// stands for itself, so that nothing is read beyond the end.
char32_t FoldedCharacterAt(std::string_view bytes, std::size_t at, std::size_t &length) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data()) + at;
    const unsigned char lead = p[0];
    if (lead < 0x80) {
        length = 1;
        return FoldTable[lead];  // ASCII: the same as simple case folding
    }
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (length > bytes.size() - at) {
        length = 1;
        return lead;
    }
    char32_t c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        c = c << 6 | (p[i] & 0x3F);
    return QChar::toCaseFolded(c);
}

// How many comparisons a quick search may spend beyond a few per byte looked at before it hands
// the search to one whose time grows only with the lengths of the line and the text: the quick
// ones compare the text afresh at each candidate place, which a text of thousands of characters
// and a line full of near misses would make take as long as the product of the two.
constexpr std::size_t SpareWork = 4096;
constexpr std::size_t WorkPerByte = 4;

// How many of the folded bytes `folded` the bytes at `at` match, through `table`, before the first
// that differs.
std::size_t MatchedBytes(const unsigned char *at, const std::string &folded,
                         const std::array<unsigned char, 256> &table) {
    const auto *wanted = reinterpret_cast<const unsigned char *>(folded.data());
    std::size_t i = 0;
    while (i < folded.size() && table[at[i]] == wanted[i])
        ++i;
    return i;
}

// The first place at or after `from` where the bytes of `line`, folded through `table`, are
// `folded` (not empty): the Two-Way search of Crochemore and Perrin, as glibc's memmem does it,
// in time linear in the line and the text and with no memory beyond the text's factorization.
// Every comparison folds the line's byte, so that the text's characters are compared as folded.
std::size_t TwoWayFind(std::string_view line, std::size_t from, const std::string &folded,
                       const std::array<unsigned char, 256> &table) {
    const auto *needle = reinterpret_cast<const unsigned char *>(folded.data());
    const auto *hay = reinterpret_cast<const unsigned char *>(line.data());
    const std::size_t n = folded.size();
    if (line.size() < n || from > line.size() - n)
        return npos;
    // The critical factorization: the larger of the maximal suffixes for the two orders.
    auto maximalSuffix = [&](bool reversed, std::size_t &period) {
        std::size_t suffix = npos, j = 0, k = 1, p = 1;  // npos + k wraps to k - 1
        while (j + k < n) {
            const unsigned char a = needle[j + k], b = needle[suffix + k];
            if (reversed ? b < a : a < b) {
                j += k;
                k = 1;
                p = j - suffix;
            } else if (a == b) {
                if (k != p) {
                    ++k;
                } else {
                    j += p;
                    k = 1;
                }
            } else {
                suffix = j++;
                k = p = 1;
            }
        }
        period = p;
        return suffix + 1;
    };
    std::size_t period, reversedPeriod;
    const std::size_t forward = maximalSuffix(false, period);
    const std::size_t backward = maximalSuffix(true, reversedPeriod);
    std::size_t suffix = forward;
    if (backward >= forward) {
        suffix = backward;
        period = reversedPeriod;
    }
    auto at = [&](std::size_t i) { return table[hay[i]]; };
    const std::size_t last = line.size() - n;
    if (suffix <= n - period && std::memcmp(needle, needle + period, suffix) == 0) {
        // Periodic: what matched of one period is remembered across the shift.
        std::size_t memory = 0;
        for (std::size_t j = from; j <= last;) {
            std::size_t i = std::max(suffix, memory);
            while (i < n && needle[i] == at(i + j))
                ++i;
            if (i < n) {
                j += i - suffix + 1;
                memory = 0;
                continue;
            }
            i = suffix;
            while (i > memory && needle[i - 1] == at(i - 1 + j))
                --i;
            if (i <= memory)
                return j;
            j += period;
            memory = n - period;
        }
        return npos;
    }
    const std::size_t shift = std::max(suffix, n - suffix) + 1;
    for (std::size_t j = from; j <= last;) {
        std::size_t i = suffix;
        while (i < n && needle[i] == at(i + j))
            ++i;
        if (i < n) {
            j += i - suffix + 1;
            continue;
        }
        i = suffix;
        while (i > 0 && needle[i - 1] == at(i - 1 + j))
            --i;
        if (i == 0)
            return j;
        j += shift;
    }
    return npos;
}

// Where the occurrence of the folded characters `folded` that starts at `at` in valid UTF-8
// ends, or npos when none starts there; `work` grows by the characters compared.
std::size_t FoldedMatchEnd(const std::u32string &folded, std::string_view bytes, std::size_t at,
                           std::size_t &work) {
    for (const char32_t wanted : folded) {
        ++work;
        if (at >= bytes.size())
            return npos;
        std::size_t length;
        if (FoldedCharacterAt(bytes, at, length) != wanted)
            return npos;
        at += length;
    }
    return at;
}

// The first occurrence of the folded characters `folded` (not empty) in the valid UTF-8 `bytes`
// that starts at or after `from`, the line read once, character by character, left to right
// (Knuth, Morris and Pratt): time linear in the line and the text. Every occurrence has as many
// characters as the text, so the one that ends first is the one that starts first.
Occurrence FindFoldedLinear(const std::u32string &folded, std::string_view bytes,
                            std::size_t from) {
    const std::size_t m = folded.size();
    std::vector<std::size_t> border(m, 0);  // border[q]: the longest proper border of folded[0..q]
    for (std::size_t q = 1, b = 0; q < m; ++q) {
        while (b > 0 && folded[q] != folded[b])
            b = border[b - 1];
        if (folded[q] == folded[b])
            ++b;
        border[q] = b;
    }
    std::vector<std::size_t> starts(m);  // where the last m characters start, round
    std::size_t matched = 0;
    for (std::size_t at = from, index = 0; at < bytes.size(); ++index) {
        std::size_t length;
        const char32_t c = FoldedCharacterAt(bytes, at, length);
        starts[index % m] = at;
        at += length;
        while (matched > 0 && folded[matched] != c)
            matched = border[matched - 1];
        if (folded[matched] == c)
            ++matched;
        if (matched == m) {
            const std::size_t start = starts[(index + 1 - m) % m];
            return {start, at - start};
        }
    }
    return {};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
#if defined(__SSE2__)
        if (n - i >= 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(block));
            if (mask == 0) {
                i += 16;
                continue;
            }
            i += static_cast<std::size_t>(__builtin_ctz(mask));
        }
#endif
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The second byte's range rules out overlong forms, surrogates and values above
        // U+10FFFF; every other continuation byte is 80 to BF.
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (lead < 0xC2 || lead >= 0xF5)
            return false;
        if (lead < 0xE0) {
            length = 2;
        } else if (lead < 0xF0) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        }
        if (n - i < length || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(p[i + k]))
                return false;
        }
        i += length;
    }
    return true;
}

std::size_t FindNonAscii(std::string_view bytes, std::size_t from) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = from;
#if defined(__SSE2__)
    for (; n > i && n - i >= 16; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(block));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i < n; ++i) {
        if (p[i] >= 0x80)
            return i;
    }
    return npos;
}

std::size_t FindKelvinOrLongS(std::string_view bytes, std::size_t from) {
    // Looks for the pairs C5 BF and 84 AA; the second counts when E2 comes before it.
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    auto confirmed = [&](std::size_t at) -> std::size_t {
        if (p[at] == 0xC5)
            return at;
        return at > from && p[at - 1] == 0xE2 ? at - 1 : npos;
    };
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i c5 = _mm_set1_epi8(static_cast<char>(0xC5));
    const __m128i bf = _mm_set1_epi8(static_cast<char>(0xBF));
    const __m128i x84 = _mm_set1_epi8(static_cast<char>(0x84));
    const __m128i aa = _mm_set1_epi8(static_cast<char>(0xAA));
    for (; n > i && n - i >= 17; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 1));
        const __m128i pairs =
            _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(a, c5), _mm_cmpeq_epi8(b, bf)),
                         _mm_and_si128(_mm_cmpeq_epi8(a, x84), _mm_cmpeq_epi8(b, aa)));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(pairs)); mask != 0;
             mask &= mask - 1) {
            const std::size_t at = confirmed(i + static_cast<std::size_t>(__builtin_ctz(mask)));
            if (at != npos)
                return at;
        }
    }
#endif
    for (; n > i && n - i >= 2; ++i) {
        if ((p[i] == 0xC5 && p[i + 1] == 0xBF) || (p[i] == 0x84 && p[i + 1] == 0xAA)) {
            const std::size_t at = confirmed(i);
            if (at != npos)
                return at;
        }
    }
    return npos;
}

// --- FoldedBytes ------------------------------------------------------------------------------

FoldedBytes::FoldedBytes(std::string_view bytes) {
    folded_.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        folded_[i] = static_cast<char>(Fold(bytes[i]));
    if (!folded_.empty()) {
        first_ = static_cast<unsigned char>(folded_.front());
        last_ = static_cast<unsigned char>(folded_.back());
        firstMask_ = CaseMask(first_);
        lastMask_ = CaseMask(last_);
    }
}

FoldedBytes::FoldedBytes(std::string_view bytes, const LetterCase &letterCase)
    : table_(&letterCase.fold) {
    folded_.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        folded_[i] = static_cast<char>(letterCase.fold[static_cast<unsigned char>(bytes[i])]);
    if (folded_.empty())
        return;
    const auto first = static_cast<unsigned char>(folded_.front());
    const auto last = static_cast<unsigned char>(folded_.back());
    first_ = letterCase.spread[first];
    firstMask_ = letterCase.varies[first];
    last_ = letterCase.spread[last];
    lastMask_ = letterCase.varies[last];
    exact_ = letterCase.exact[first] && letterCase.exact[last];
}

bool FoldedBytes::matchesAt(const unsigned char *at) const {
    return MatchedBytes(at, folded_, *table_) == folded_.size();
}

std::size_t FoldedBytes::find(std::string_view line, std::size_t from) const {
    const std::size_t k = folded_.size();
    if (k == 0 || line.size() < k || from > line.size() - k)
        return npos;
    const auto *bytes = reinterpret_cast<const unsigned char *>(line.data());
    const std::size_t lastStart = line.size() - k;  // the last place an occurrence can start
    // Where the two ends are the whole run and pass only its own bytes, a candidate is found.
    const bool endsDecide = k <= 2 && exact_;
    std::size_t i = from;
    // Each candidate is compared afresh; once that has cost more than a few comparisons per
    // byte passed, the rest is left to the Two-Way search (from the start: it is linear).
    std::size_t work = 0;
    auto matches = [&](std::size_t at) {
        const std::size_t matched = MatchedBytes(bytes + at, folded_, *table_);
        work += matched + 1;
        return matched == k;
    };
    auto tooMuch = [&](std::size_t at) { return work > SpareWork + WorkPerByte * (at - from); };

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
                if (endsDecide || matches(at))
                    return at;
                if (tooMuch(at))
                    return TwoWayFind(line, from, folded_, *table_);
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
                if (endsDecide || matches(at))
                    return at;
                mask &= mask - 1;
            }
            return npos;
        }
    }
#endif

    for (; i <= lastStart; ++i) {
        if ((bytes[i] | firstMask_) == first_ && matches(i))
            return i;
        if (tooMuch(i))
            return TwoWayFind(line, from, folded_, *table_);
    }
    return npos;
}

// --- Pattern ----------------------------------------------------------------------------------

Pattern::Pattern(QStringView text, const CodePage &page) {
    std::string ascii, paged;
    bool allAscii = true, onlyAscii = true;
    hasPaged_ = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isSurrogate(c)) {
            // Only a high surrogate followed by a low one is a character.
            if (!QChar::isHighSurrogate(c) || i + 1 == text.size() ||
                !text[i + 1].isLowSurrogate()) {
                *this = Pattern();
                return;
            }
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const char32_t folded = QChar::toCaseFolded(c);
        folded_.push_back(folded);
        if (folded < 0x80) {
            ascii.push_back(static_cast<char>(folded));
        } else if (allAscii) {
            anchor_ = folded_.size() - 1;
            allAscii = false;
        }
        if (const int byte = ByteOf(page, c); byte >= 0)
            paged.push_back(static_cast<char>(byte));
        else
            hasPaged_ = false;
        onlyAscii = onlyAscii && c < 0x80;
    }
    if (folded_.empty()) {
        *this = Pattern();
        return;
    }
    if (allAscii) {
        ascii_ = FoldedBytes(ascii);
        kOrS_ = ascii.find_first_of("ks") != std::string::npos;
        // Only the Kelvin sign and the long s fold into ASCII, and no code page has either.
        kind_ = onlyAscii ? Kind::Ascii : Kind::FoldsToAscii;
    } else {
        if (hasPaged_)
            paged_ = FoldedBytes(paged, LetterCaseOf(page));
        kind_ = Kind::Wide;
    }
}

Occurrence Pattern::find(Line &line, std::size_t from) const {
    const std::string_view bytes = line.bytes();
    auto bytesFound = [](std::size_t at, const FoldedBytes &form) {
        return at == npos ? Occurrence{} : Occurrence{at, form.size()};
    };
    switch (kind_) {
        case Kind::Nowhere:
            return {};
        case Kind::Ascii:
            if (!kOrS_ || !line.hasKelvinOrLongS() || !line.isUtf8())
                return bytesFound(ascii_.find(bytes, from), ascii_);
            return findCharacters(bytes, from);
        case Kind::FoldsToAscii:
            if (!line.isUtf8())
                return {};
            if (!line.hasKelvinOrLongS())
                return bytesFound(ascii_.find(bytes, from), ascii_);
            return findCharacters(bytes, from);
        case Kind::Wide:
            if (!line.isUtf8())
                return hasPaged_ ? bytesFound(paged_.find(bytes, from), paged_) : Occurrence{};
            return findAnchored(bytes, from);
    }
    return {};
}

std::size_t Pattern::matchEnd(std::string_view bytes, std::size_t at) const {
    std::size_t work = 0;
    return FoldedMatchEnd(folded_, bytes, at, work);
}

// Tries every character of a valid UTF-8 line in turn (until that has cost too much: then the
// linear search).
Occurrence Pattern::findCharacters(std::string_view bytes, std::size_t from) const {
    std::size_t work = 0;
    for (std::size_t at = from; at < bytes.size();) {
        const std::size_t end = FoldedMatchEnd(folded_, bytes, at, work);
        if (end != npos)
            return {at, end - at};
        if (work > SpareWork + WorkPerByte * (at - from))
            return FindFoldedLinear(folded_, bytes, from);
        std::size_t length;
        FoldedCharacterAt(bytes, at, length);
        at += length;
    }
    return {};
}

// In a valid UTF-8 line, an occurrence of a text that folds to a character above ASCII holds a
// character above ASCII that folds to it (nothing from ASCII does). Only those are looked at:
// each one that folds to the text's first such character (the anchor) is tried as the
// anchor of an occurrence that starts as many characters before it as the anchor has before it
// in the text. Anchors are tried left to right, so the first occurrence found is the leftmost.
Occurrence Pattern::findAnchored(std::string_view bytes, std::size_t from) const {
    const char32_t anchor = folded_[anchor_];
    std::size_t work = 0;
    for (std::size_t at = FindNonAscii(bytes, from); at != npos;) {
        if (work > SpareWork + WorkPerByte * (at - from))
            return FindFoldedLinear(folded_, bytes, from);
        std::size_t length;
        if (FoldedCharacterAt(bytes, at, length) == anchor) {
            std::size_t start = at;
            std::size_t back = 0;
            for (; back < anchor_ && start > from; ++back) {
                do
                    --start;
                while (start > from && IsContinuation(static_cast<unsigned char>(bytes[start])));
            }
            work += back;
            if (back == anchor_) {
                const std::size_t end = FoldedMatchEnd(folded_, bytes, start, work);
                if (end != npos)
                    return {start, end - start};
            }
        }
        at = FindNonAscii(bytes, at + length);
    }
    return {};
}

}  // namespace Operations
