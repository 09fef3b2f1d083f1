// The legacy single-byte code pages that lines which are not UTF-8 are read in.
//
// A line that is not valid UTF-8 is one byte per character in a code page: the one its page names
// in its head (files/Encoding.h), else the one the user says other files are in (the list
// menu's "Other files are in", the command line's --encoding), Windows-1252 by default, the
// ANSI code page of Western Windows. Every page here has ASCII in its bytes below 0x80. Letter
// case is folded by the page's characters: two bytes are the same letter when their characters
// have the same simple case folding (in Windows-1252, Š and š, Œ and œ, Ž and ž, Ÿ and ÿ). A
// byte that the page gives no character is only ever itself.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace Operations {

struct CodePage {
    const char *name;    // as the settings store and the command line name it: "windows-1252"
    const char *title;   // "Windows-1252"
    const char *script;  // "Western European"
    std::array<char16_t, 128> high;  // the character of each byte from 0x80 on; 0: none
};

inline constexpr std::size_t CodePageCount = 26;

// Every page, in the menu's order: Windows-1250 to 1258, ISO-8859-1 to 16, KOI8-R, KOI8-U.
std::span<const CodePage> CodePages();
// Windows-1252.
const CodePage &DefaultCodePage();

// The page of a name, or of a common other name (cp1251, latin2, koi8), in any letter case and
// with blanks around it; null when no page has it.
const CodePage *CodePageNamed(QStringView name);
// The page a charset that a page names (small letters) stands for, as browsers read it: the
// names of ISO-8859-1 and of ASCII stand for Windows-1252, ISO-8859-9's for Windows-1254. Null
// for a name that no page here has.
const CodePage *CodePageDeclared(std::string_view charset);

// The character of a byte in the page; NoCharacter where it has none.
inline constexpr char32_t NoCharacter = 0xFFFFFFFF;
inline char32_t CharacterOf(const CodePage &page, unsigned char byte) {
    if (byte < 0x80)
        return byte;
    const char16_t c = page.high[byte - 0x80];
    return c == 0 ? NoCharacter : c;
}
// The byte of a character in the page; -1 when the page cannot hold it.
int ByteOf(const CodePage &page, char32_t c);

// The page's letter case. `fold` maps each byte to one byte of its letter, the same for both
// cases. For each byte f that `fold` gives: `spread` is the bits of all the bytes that fold to
// f together, `varies` the bits in which they differ, and `exact` tells whether they are all
// the bytes that (b | varies) == spread lets pass.
struct LetterCase {
    std::array<unsigned char, 256> fold{}, spread{}, varies{};
    std::array<bool, 256> exact{};
};
// Worked out once, when a page is first used.
const LetterCase &LetterCaseOf(const CodePage &page);

// Bytes of a line as characters of the page (NoCharacter as U+FFFD).
QString DecodedIn(const CodePage &page, std::string_view bytes);

}  // namespace Operations
