// A plain, slow reading of "contains" to check the text core against, written for obviousness:
// the line is decoded whole (Qt decides whether it is valid UTF-8; if not, each byte is a
// character of the code page, Windows-1252 unless one is given), each character is folded on its
// own, and the folded condition is compared at every character position, left to right, an
// occurrence skipping what it covers.
#pragma once

#include "text/CodePages.h"

#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Reference {

struct Character {
    char32_t folded;
    std::size_t offset, size;  // where its bytes are in the line
    char32_t raw;              // as the line has it
};

inline bool IsUtf8(std::string_view line) {
    return QByteArrayView(line.data(), static_cast<qsizetype>(line.size())).isValidUtf8();
}

using Page = const Operations::CodePage &;

inline std::vector<Character> Characters(std::string_view line,
                                         Page page = Operations::DefaultCodePage()) {
    std::vector<Character> characters;
    if (IsUtf8(line)) {
        std::size_t offset = 0;
        // A mark at the line's start is a character of the line, as the core reads it.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString text =
            decoder(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
        for (const char32_t c : text.toUcs4()) {
            const std::size_t size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            characters.push_back({QChar::toCaseFolded(c), offset, size, c});
            offset += size;
        }
    } else {
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char32_t c = Operations::CharacterOf(page, static_cast<unsigned char>(line[i]));
            characters.push_back(
                {c == Operations::NoCharacter ? c : QChar::toCaseFolded(c), i, 1, c});
        }
    }
    return characters;
}

// The condition's characters, folded (unless `fold` is off) for a line read as UTF-8 or in the
// code page; empty when no such line can contain it (empty, not valid UTF-16, or not all in the
// page).
inline std::u32string Folded(const QString &text, bool utf8, Page page, bool fold = true) {
    std::u32string folded;
    if (!QStringView(text).isValidUtf16())
        return folded;
    for (const char32_t c : text.toUcs4()) {
        if (!utf8 && Operations::ByteOf(page, c) < 0)
            return {};
        folded.push_back(fold ? QChar::toCaseFolded(c) : c);
    }
    return folded;
}

// "Match case" and "Whole words" for the literal text.
struct Options {
    bool matchCase = false, wholeWords = false;
};

// A letter, a digit or an underscore, in Unicode.
inline bool IsWordCharacter(char32_t c) {
    return c != Operations::NoCharacter && (c == U'_' || QChar::isLetterOrNumber(c));
}

struct Found {
    std::size_t at, size;
    bool operator==(const Found &) const = default;
};

constexpr std::size_t npos = std::string_view::npos;

// Every occurrence that starts at or after the byte offset `from`, left to right and without
// overlap.
inline std::vector<Found> Occurrences(std::string_view line, const QString &text,
                                      std::size_t from = 0,
                                      Page page = Operations::DefaultCodePage(),
                                      Options options = {}) {
    const std::vector<Character> characters = Characters(line, page);
    const std::u32string wanted = Folded(text, IsUtf8(line), page, !options.matchCase);
    std::vector<Found> found;
    if (wanted.empty())
        return found;
    auto wordAt = [&](std::size_t i) {
        return i < characters.size() && IsWordCharacter(characters[i].raw);
    };
    for (std::size_t i = 0; i + wanted.size() <= characters.size();) {
        std::size_t j = 0;
        auto same = [&](const Character &c) {
            return (options.matchCase ? c.raw : c.folded) == wanted[j];
        };
        while (j < wanted.size() && same(characters[i + j]))
            ++j;
        const bool edges =
            !options.wholeWords || ((i == 0 || !wordAt(i - 1)) && !wordAt(i + wanted.size()));
        if (characters[i].offset < from || j < wanted.size() || !edges) {
            ++i;
            continue;
        }
        const Character &last = characters[i + j - 1];
        found.push_back({characters[i].offset, last.offset + last.size - characters[i].offset});
        i += j;
    }
    return found;
}

// The first occurrence at or after `from`; at is npos when there is none.
inline Found Find(std::string_view line, const QString &text, std::size_t from,
                  Page page = Operations::DefaultCodePage()) {
    const std::vector<Found> found = Occurrences(line, text, from, page);
    return found.empty() ? Found{npos, 0} : found.front();
}

inline bool Contains(std::string_view line, const QString &text,
                     Page page = Operations::DefaultCodePage()) {
    return !Occurrences(line, text, 0, page).empty();
}

// The occurrences joined.
inline std::string Except(std::string_view line, const QString &text,
                          Page page = Operations::DefaultCodePage()) {
    std::string kept;
    for (const Found &f : Occurrences(line, text, 0, page))
        kept += line.substr(f.at, f.size);
    return kept;
}

// The line without its occurrences.
inline std::string Without(std::string_view line, const QString &text,
                           Page page = Operations::DefaultCodePage()) {
    std::string rest;
    std::size_t from = 0;
    for (const Found &f : Occurrences(line, text, 0, page)) {
        rest += line.substr(from, f.at - from);
        from = f.at + f.size;
    }
    return rest += line.substr(from);
}

}  // namespace Reference
