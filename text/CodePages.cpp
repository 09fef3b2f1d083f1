#include "text/CodePages.h"

#include <QChar>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <string>
#include <utility>

namespace Operations {

extern const std::array<CodePage, CodePageCount> CodePageTable;

namespace {

constexpr std::size_t Windows1252 = 2;

// The page whose name is `name` exactly.
const CodePage *Exactly(std::string_view name) {
    for (const CodePage &page : CodePageTable) {
        if (name == page.name)
            return &page;
    }
    return nullptr;
}

// The number after `prefix` at the start of `name`, or -1.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix))
        return -1;
    name.remove_prefix(prefix.size());
    int number = -1;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    return error == std::errc() && end == name.data() + name.size() ? number : -1;
}

const CodePage *Named(std::string_view name) {
    if (const CodePage *page = Exactly(name))
        return page;
    for (const std::string_view prefix : {"cp", "x-cp", "windows", "ms-"}) {
        const int number = NumberAfter(name, prefix);
        if (number >= 1250 && number <= 1258)
            return &CodePageTable[static_cast<std::size_t>(number - 1250)];
    }
    for (const std::string_view prefix : {"iso8859-", "iso_8859-", "iso8859", "iso-8859-"}) {
        if (const int number = NumberAfter(name, prefix); number > 0)
            return Exactly("iso-8859-" + std::to_string(number));
    }
    // latin1 to latin10, l1 to l10.
    static constexpr int LatinParts[] = {1, 2, 3, 4, 9, 10, 13, 14, 15, 16};
    for (const std::string_view prefix : {"latin", "l"}) {
        const int number = NumberAfter(name, prefix);
        if (number >= 1 && number <= 10)
            return Exactly("iso-8859-" + std::to_string(LatinParts[number - 1]));
    }
    if (name == "koi8" || name == "koi8r" || name == "koi8_r" || name == "cskoi8r" || name == "koi")
        return Exactly("koi8-r");
    if (name == "koi8u" || name == "koi8_u" || name == "koi8-ru")
        return Exactly("koi8-u");
    if (name == "cyrillic")
        return Exactly("iso-8859-5");
    if (name == "greek")
        return Exactly("iso-8859-7");
    if (name == "hebrew")
        return Exactly("iso-8859-8");
    return nullptr;
}

// What is worked out of a page when it is first used: its letter case, and its characters in
// order with their bytes.
struct PageData {
    LetterCase letterCase;
    std::array<std::pair<char16_t, unsigned char>, 128> bytes{};  // by character; 0: none
};

// A byte maps to the byte whose character is the simple case folding of its own, when the page
// has that character, else to the lowest byte whose character folds the same.
PageData MakePageData(const CodePage &page) {
    PageData data;
    for (std::size_t i = 0; i < page.high.size(); ++i)
        data.bytes[i] = {page.high[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(data.bytes.begin(), data.bytes.end());
    std::array<char32_t, 256> folded{};
    for (int b = 0; b < 256; ++b) {
        const char32_t c = CharacterOf(page, static_cast<unsigned char>(b));
        folded[b] = c == NoCharacter ? NoCharacter : QChar::toCaseFolded(c);
    }
    LetterCase &letterCase = data.letterCase;
    for (int b = 0; b < 256; ++b) {
        int to = b;
        if (folded[b] != NoCharacter) {
            for (to = 0; to < 256 && CharacterOf(page, static_cast<unsigned char>(to)) != folded[b];
                 ++to) {
            }
            if (to == 256) {
                for (to = 0; folded[to] != folded[b]; ++to) {
                }
            }
        }
        letterCase.fold[b] = static_cast<unsigned char>(to);
    }
    std::array<unsigned char, 256> all;
    all.fill(0xFF);
    std::array<int, 256> count{};
    for (int b = 0; b < 256; ++b) {
        const unsigned char f = letterCase.fold[b];
        letterCase.spread[f] |= static_cast<unsigned char>(b);
        all[f] &= static_cast<unsigned char>(b);
        ++count[f];
    }
    for (int f = 0; f < 256; ++f) {
        letterCase.varies[f] = static_cast<unsigned char>(letterCase.spread[f] & ~all[f]);
        letterCase.exact[f] = count[f] == 1 << __builtin_popcount(letterCase.varies[f]);
    }
    return data;
}

const PageData &DataOf(const CodePage &page) {
    static std::array<std::once_flag, CodePageCount> made;
    static std::array<PageData, CodePageCount> data;
    const auto p = static_cast<std::size_t>(&page - CodePageTable.data());
    std::call_once(made[p], [&] { data[p] = MakePageData(page); });
    return data[p];
}

}  // namespace

std::span<const CodePage> CodePages() {
    return CodePageTable;
}

const CodePage &DefaultCodePage() {
    return CodePageTable[Windows1252];
}

const CodePage *CodePageNamed(QStringView name) {
    const QByteArray small = name.trimmed().toString().toLower().toLatin1();
    return Named(std::string_view(small.constData(), static_cast<std::size_t>(small.size())));
}

const CodePage *CodePageDeclared(std::string_view charset) {
    if (charset == "iso-8859-1" || charset == "iso8859-1" || charset == "iso_8859-1" ||
        charset == "iso88591" || charset == "latin1" || charset == "l1" || charset == "us-ascii" ||
        charset == "ascii" || charset == "ansi_x3.4-1968" || charset == "iso-ir-100" ||
        charset == "cp819" || charset == "ibm819" || charset == "csisolatin1" ||
        charset == "iso_8859-1:1987")
        return &DefaultCodePage();
    if (charset == "iso-8859-9" || charset == "iso8859-9" || charset == "iso_8859-9" ||
        charset == "iso88599" || charset == "latin5" || charset == "l5" ||
        charset == "csisolatin5" || charset == "iso-ir-148" || charset == "iso_8859-9:1989")
        return &CodePageTable[4];  // windows-1254
    return Named(charset);
}

int ByteOf(const CodePage &page, char32_t c) {
    if (c < 0x80)
        return static_cast<int>(c);
    if (c > 0xFFFF)
        return -1;
    const auto &bytes = DataOf(page).bytes;
    const auto found = std::lower_bound(bytes.begin(), bytes.end(),
                                        std::pair<char16_t, unsigned char>(char16_t(c), 0));
    return found != bytes.end() && found->first == c ? found->second : -1;
}

const LetterCase &LetterCaseOf(const CodePage &page) {
    return DataOf(page).letterCase;
}

QString DecodedIn(const CodePage &page, std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char b : bytes) {
        const char32_t c = CharacterOf(page, static_cast<unsigned char>(b));
        text.append(QChar(c == NoCharacter ? char16_t(0xFFFD) : static_cast<char16_t>(c)));
    }
    return text;
}

}  // namespace Operations
