// Finding the condition text in a line without regard to letter case.
//
// Lines are bytes and stay bytes: a line is never decoded into another form or re-encoded, and
// an occurrence is a stretch of the line's own bytes (a file in UTF-16 or another encoding that
// is decoded comes to the run as UTF-8 lines: files/Encoding.h). Each line is read in one of two
// ways:
//
// - A line that is valid UTF-8 (the system's encoding, and that of nearly every file) is a
//   sequence of Unicode characters. It contains the text when the simple case folding of its
//   characters contains the simple case folding of the text's. An occurrence is made of whole
//   characters of the line; its length in bytes may differ from the text's (the Kelvin sign is
//   three bytes, the k it folds to one).
// - Any other line has one character per byte, in the file's legacy code page
//   (text/CodePages.h; Windows-1252 unless the file or the user names another). Letter case is
//   folded with the page's 256-entry table. It is compared with the text's form in that page,
//   and cannot contain a text that the page cannot hold (for Windows-1252, "€" is byte 80, and
//   a Cyrillic text has no form).
//
// The text that needs no decoding at all is the common one: all ASCII. Its occurrences are the
// same bytes in either reading, found by a byte search that compares sixteen places at a time,
// with one exception: the Kelvin sign (U+212A) and the long s (U+017F) fold to k and s, so in a
// valid UTF-8 line that holds one of them a text with k or s is looked for character by
// character. A text with other characters first looks for a byte of 0x80 or more (a line
// without one is plain ASCII and cannot contain it), then reads the line as it has to.
#pragma once

#include "text/CodePages.h"

#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Operations {

// The letter case of the text's ASCII form: A-Z become a-z (and the Latin-1 capitals from 0xC0
// to 0xDE but 0xD7 their small letters, which no ASCII form holds).
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

// Whether `bytes` is well-formed UTF-8: no stray continuation byte, no truncated or overlong
// sequence, no surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Where the first byte of 0x80 or more is at or after `from`; npos when there is none.
std::size_t FindNonAscii(std::string_view bytes, std::size_t from = 0);

// Where a Kelvin sign (E2 84 AA) or a long s (C5 BF) may start, at or after `from`: never
// missed, rarely wrong; npos when `bytes` holds neither.
std::size_t FindKelvinOrLongS(std::string_view bytes, std::size_t from = 0);

// One line, with what is learnt about it kept for every search of it.
class Line {
public:
    explicit Line(std::string_view bytes) : bytes_(bytes) {}

    std::string_view bytes() const { return bytes_; }

    // Whether the line is read as UTF-8 (else as Latin-1). Looked at once, when first asked.
    bool isUtf8() {
        if (utf8_ == Unknown)
            utf8_ = IsValidUtf8(bytes_) ? Yes : No;
        return utf8_ == Yes;
    }
    // Whether the line may hold a Kelvin sign or a long s. Looked at once, when first asked.
    bool hasKelvinOrLongS() {
        if (kelvinOrLongS_ == Unknown)
            kelvinOrLongS_ = FindKelvinOrLongS(bytes_) != std::string_view::npos ? Yes : No;
        return kelvinOrLongS_ == Yes;
    }
    // For a search that has looked already.
    void setHasKelvinOrLongS(bool has) { kelvinOrLongS_ = has ? Yes : No; }

private:
    enum Known : unsigned char { Unknown, Yes, No };
    std::string_view bytes_;
    Known utf8_ = Unknown, kelvinOrLongS_ = Unknown;
};

// Where an occurrence starts in a line and how many of its bytes it takes.
struct Occurrence {
    static constexpr std::size_t npos = std::string_view::npos;
    std::size_t at = npos, size = 0;
    bool found() const { return at != npos; }
};

// A run of bytes compared through a fold table (FoldTable, or a code page's), prepared once for
// many searches.
class FoldedBytes {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    FoldedBytes() = default;
    // `bytes` are folded here, by FoldTable or by a code page's letter case (which must outlive
    // the run).
    explicit FoldedBytes(std::string_view bytes);
    FoldedBytes(std::string_view bytes, const LetterCase &letterCase);

    std::size_t size() const { return folded_.size(); }
    const std::string &folded() const { return folded_; }

    // Where the first occurrence starts at or after `from`; npos when there is none (always for
    // the empty run).
    std::size_t find(std::string_view bytes, std::size_t from = 0) const;

private:
    bool matchesAt(const unsigned char *at) const;

    std::string folded_;
    const std::array<unsigned char, 256> *table_ = &FoldTable;
    // A byte b of the haystack may match folded byte f when (b | mask) == f, mask being the bits
    // in which the bytes that fold to f differ (0x20 for a letter of FoldTable that has a
    // capital, 0 for a byte that is only itself). `exact_`: only those bytes pass, so that a run
    // of one or two bytes needs no further look.
    unsigned char first_ = 0, firstMask_ = 0;
    unsigned char last_ = 0, lastMask_ = 0;
    bool exact_ = true;
};

// The condition text, prepared once for many searches.
//
// The text is taken whole: it is never trimmed and never split into separate characters. The
// empty text occurs nowhere, and so does a text that is not valid Unicode (a lone surrogate, as
// a broken paste can leave): it is never found, so it deletes nothing and keeps nothing.
class Pattern {
public:
    enum class Kind {
        Nowhere,       // empty or not valid Unicode
        Ascii,         // all ASCII: one byte search in either reading (Kelvin sign, long s aside)
        FoldsToAscii,  // a Kelvin sign or long s, the rest ASCII: UTF-8 lines only
        Wide,          // folds to a character above ASCII
    };

    Pattern() = default;
    // `page`: the code page that lines which are not UTF-8 are read in.
    explicit Pattern(QStringView text, const CodePage &page = DefaultCodePage());

    Kind kind() const { return kind_; }
    bool empty() const { return kind_ == Kind::Nowhere; }

    // The folded text as bytes, when it is all ASCII (kinds Ascii and FoldsToAscii).
    const FoldedBytes &asciiForm() const { return ascii_; }
    // Whether the folded text holds a k or an s, which a Kelvin sign or a long s can match.
    bool hasKOrS() const { return kOrS_; }

    // The first occurrence in `line` that starts at or after `from` (the start of one of its
    // characters).
    Occurrence find(Line &line, std::size_t from = 0) const;
    bool foundIn(std::string_view line) const {
        Line l(line);
        return find(l).found();
    }

private:
    Occurrence findCharacters(std::string_view bytes, std::size_t from) const;
    Occurrence findAnchored(std::string_view bytes, std::size_t from) const;
    // Where the occurrence that starts at `at` ends, or npos when none starts there.
    std::size_t matchEnd(std::string_view bytes, std::size_t at) const;

    Kind kind_ = Kind::Nowhere;
    std::u32string folded_;  // the text's characters, each simply case folded
    FoldedBytes ascii_;      // folded_ as bytes, when it is all ASCII
    FoldedBytes paged_;      // the text's form in the code page, when it has one
    bool hasPaged_ = false;
    bool kOrS_ = false;
    std::size_t anchor_ = 0;  // Wide: the index in folded_ of its first character above ASCII
};

// Calls piece(bytes) for each stretch of the line from `from` (the start of one of its
// characters) between the occurrences of the pattern, left to right: the rest of the line with
// every occurrence deleted. The line is scanned once; what the deletions bring together is not
// looked at again.
template <class Piece>
void ForEachPieceWithout(Line &line, std::size_t from, const Pattern &pattern, Piece &&piece) {
    const std::string_view bytes = line.bytes();
    if (!pattern.empty()) {
        for (Occurrence o = pattern.find(line, from); o.found(); o = pattern.find(line, from)) {
            if (o.at > from)
                piece(bytes.substr(from, o.at - from));
            from = o.at + o.size;
        }
    }
    if (from < bytes.size())
        piece(bytes.substr(from));
}

// Calls piece(bytes) for each occurrence of the pattern in the line, left to right and without
// overlap, as the line writes it.
template <class Piece>
void ForEachOccurrence(Line &line, const Pattern &pattern, Piece &&piece) {
    if (pattern.empty())
        return;
    const std::string_view bytes = line.bytes();
    for (Occurrence o = pattern.find(line); o.found(); o = pattern.find(line, o.at + o.size))
        piece(bytes.substr(o.at, o.size));
}

}  // namespace Operations
