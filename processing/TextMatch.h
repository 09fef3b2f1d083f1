// Finding the condition text in a line without regard to letter case.
//
// Lines and the condition text are Latin-1 bytes. Letter case is folded with one 256-entry
// table: A-Z and the Latin-1 capitals from 0xC0 to 0xDE (except the multiplication sign 0xD7)
// become their small letters; every other byte stands for itself. Every capital differs from
// its small letter only in bit 0x20, which the search uses to compare sixteen bytes at a time.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace Operations {

inline constexpr std::array<unsigned char, 256> FoldTable = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool capital = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
        table[c] = static_cast<unsigned char>(capital ? c + 0x20 : c);
    }
    return table;
}();

inline unsigned char Fold(unsigned char c) {
    return FoldTable[c];
}
inline unsigned char Fold(char c) {
    return FoldTable[static_cast<unsigned char>(c)];
}

// The condition text, prepared once for many searches.
//
// The text is taken whole: it is never trimmed and never split into characters. The empty text
// occurs nowhere: it is never found, so it deletes nothing and keeps nothing.
class Pattern {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    Pattern() = default;
    explicit Pattern(std::string_view text);

    std::size_t size() const { return folded_.size(); }
    bool empty() const { return folded_.empty(); }

    // Where the first occurrence starts at or after `from`; npos when there is none.
    std::size_t find(std::string_view line, std::size_t from = 0) const;
    bool foundIn(std::string_view line) const { return find(line) != npos; }

private:
    bool matchesAt(const unsigned char *at) const;

    std::string folded_;
    // A byte b of the haystack matches folded byte f when (b | mask) == f, mask being 0x20 when
    // f is a small letter that has a capital and 0 otherwise.
    unsigned char first_ = 0, firstMask_ = 0;
    unsigned char last_ = 0, lastMask_ = 0;
};

// Calls piece(bytes) for each stretch of `line` between the occurrences of the pattern, left to
// right: the line with every occurrence deleted. The line is scanned once; what the deletions
// bring together is not looked at again.
template <class Piece>
void ForEachPieceWithout(std::string_view line, const Pattern &pattern, Piece &&piece) {
    std::size_t from = 0;
    if (!pattern.empty()) {
        for (std::size_t at = pattern.find(line); at != Pattern::npos;
             at = pattern.find(line, from)) {
            if (at > from)
                piece(line.substr(from, at - from));
            from = at + pattern.size();
        }
    }
    if (from < line.size())
        piece(line.substr(from));
}

// Calls piece(bytes) for each occurrence of the pattern in `line`, left to right and without
// overlap, as the line writes it.
template <class Piece>
void ForEachOccurrence(std::string_view line, const Pattern &pattern, Piece &&piece) {
    if (pattern.empty())
        return;
    for (std::size_t at = pattern.find(line); at != Pattern::npos;
         at = pattern.find(line, at + pattern.size()))
        piece(line.substr(at, pattern.size()));
}

}  // namespace Operations
