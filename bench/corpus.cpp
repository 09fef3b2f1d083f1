// Writes the benchmark corpus: a tree of about 10,000 HTML pages (300 to 500 MB, median about
// 20 KB, fifty of about 2 MB), one 1 GiB page and one page that is a single 100 MiB line.
//
// The output depends on nothing but the seed below: every run writes the same bytes. Pages end
// their lines with CR LF, LF or a mix of both; some hold Latin-1 bytes, some UTF-8; about one
// in five has a "meta http-equiv" line, in varying letter case. File names are unique across
// the tree, so the pages can all be written into one output folder.
//
// usage: strelmark_corpus <folder>    (writes <folder>/tree, big, long and corpus.stamp)
//        strelmark_corpus --small <folder> <count>   (<count> pages of 4 to 6 KB in
//                                         <folder>/small, and small.stamp)
//        strelmark_corpus --encoded <folder>   (the tree's pages again, as the program reads
//                                         them, in UTF-16LE with its mark in <folder>/tree-utf16
//                                         and in Windows-1252 in <folder>/tree-1252, and
//                                         encoded.stamp)

#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bench::Random;

constexpr std::uint64_t Seed = 0x5EED2024C0FFEEull;
constexpr int PageCount = 10000;
constexpr int LargePageEvery = 200;  // 50 pages of about 2 MB
constexpr std::size_t BigSize = std::size_t(1) << 30;
constexpr std::size_t LongLineSize = std::size_t(100) << 20;
constexpr const char *StampText = "strelmark corpus 1\n";

const std::vector<std::string_view> Words = {
    "the",     "of",      "and",     "to",      "in",       "is",       "for",       "that",
    "with",    "on",      "as",      "page",    "site",     "news",     "report",    "river",
    "market",  "garden",  "library", "station", "council",  "weather",  "festival",  "harbour",
    "museum",  "railway", "bakery",  "school",  "opening",  "hours",    "contact",   "address",
    "summer",  "winter",  "annual",  "members", "meeting",  "results",  "programme", "schedule",
    "history", "village", "north",   "south",   "bridge",   "tickets",  "price",     "free",
    "events",  "photos",  "archive", "about",   "services", "download", "update",    "notice",
    "local",   "public",  "family",  "walking", "cycling",  "concert",  "gallery",
};
// The same accented words as Latin-1 bytes and as UTF-8.
const std::vector<std::string_view> Latin1Words = {"caf\xE9",  "cr\xE8me",  "M\xFCnchen",
                                                   "se\xF1or", "gar\xE7on", "\xC9t\xE9"};
const std::vector<std::string_view> Utf8Words = {"caf\xC3\xA9",    "cr\xC3\xA8me",
                                                 "M\xC3\xBCnchen", "se\xC3\xB1or",
                                                 "gar\xC3\xA7on",  "\xC3\x89t\xC3\xA9"};
const std::vector<std::string_view> MetaLines = {
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">",
    "  <meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">",
    "<Meta Http-Equiv=\"refresh\" content=\"300\">",
};

enum class Ends { CrLf, Lf, Mixed };
enum class Accents { None, Latin1, Utf8 };

// Builds one page's text.
class Page {
public:
    Page(Random &random, Ends ends, Accents accents)
        : random_(random), ends_(ends), accents_(accents) {}

    std::string &text() { return text_; }

    void line(std::string_view content) {
        text_ += content;
        const bool crlf = ends_ == Ends::CrLf || (ends_ == Ends::Mixed && random_.chance(50));
        text_ += crlf ? "\r\n" : "\n";
    }

    void words(std::string &out, std::size_t length) {
        const std::size_t start = out.size();
        bool capital = true;
        while (out.size() - start < length) {
            std::string_view word = Words[random_.below(Words.size())];
            if (accents_ != Accents::None && random_.chance(4))
                word = (accents_ == Accents::Latin1 ? Latin1Words : Utf8Words)[random_.below(6)];
            const std::size_t at = out.size();
            out += word;
            if (capital && out[at] >= 'a' && out[at] <= 'z')
                out[at] = static_cast<char>(out[at] - 32);
            capital = random_.chance(8);
            out += capital ? ". " : random_.chance(10) ? ", " : " ";
        }
        out.pop_back();
    }

    void head(bool meta, int title) {
        line("<!DOCTYPE html>");
        line("<html lang=\"en\">");
        line("<head>");
        if (meta)
            line(MetaLines[random_.below(MetaLines.size())]);
        line("  <meta charset=\"utf-8\">");
        line("  <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
        std::string t = "  <title>";
        words(t, 20 + random_.below(40));
        t += ' ';
        t += std::to_string(title);
        t += "</title>";
        line(t);
        line("  <link rel=\"stylesheet\" href=\"/css/site.css\">");
        line("  <style>");
        for (int i = 0, n = 3 + static_cast<int>(random_.below(12)); i < n; ++i)
            line("    ." + std::string(Words[random_.below(Words.size())]) +
                 " { margin: 0 auto; padding: " + std::to_string(random_.below(40)) +
                 "px; color: #" + std::to_string(100000 + random_.below(899999)) + "; }");
        line("  </style>");
        line("</head>");
        line("<body>");
        line("");
    }

    // One block of body text.
    void block() {
        std::string s;
        switch (random_.below(10)) {
            case 0:
                s = "<h2 id=\"s" + std::to_string(random_.below(1000)) + "\">";
                words(s, 15 + random_.below(40));
                line(s + "</h2>");
                break;
            case 1:
                line("  <ul class=\"links\">");
                for (int i = 0, n = 2 + static_cast<int>(random_.below(8)); i < n; ++i) {
                    s = "    <li><a href=\"/" + std::string(Words[random_.below(Words.size())]) +
                        "/" + std::to_string(random_.below(100000)) + ".html\">";
                    words(s, 10 + random_.below(30));
                    line(s + "</a></li>");
                }
                line("  </ul>");
                break;
            case 2:
                line("<table>");
                for (int i = 0, n = 2 + static_cast<int>(random_.below(10)); i < n; ++i) {
                    s = "\t<tr><td>" + std::to_string(random_.below(10000)) + "</td><td>";
                    words(s, 5 + random_.below(30));
                    line(s + "</td></tr>");
                }
                line("</table>");
                break;
            case 3:
                if (random_.chance(30)) {  // a minified script on one long line
                    s = "<script>";
                    const std::size_t length = 1000 + random_.below(8000);
                    while (s.size() < length)
                        s += "var " + std::string(Words[random_.below(Words.size())]) + "_" +
                             std::to_string(random_.below(1000)) + "=function(a,b){return a+b*" +
                             std::to_string(random_.below(100)) + "};";
                    line(s + "</script>");
                } else {
                    line("<!-- " + std::string(Words[random_.below(Words.size())]) + " -->");
                }
                break;
            case 4:
                line("");
                break;
            default:
                s = random_.chance(30) ? "  <p>" : "<p>";
                words(s, random_.chance(10) ? 300 + random_.below(1500) : 30 + random_.below(150));
                line(s + "</p>");
                break;
        }
    }

    void tail() {
        line("");
        line("<footer><p>&copy; Brindlewick Example</p></footer>");
        line("</body>");
        // Most pages end with a line end, some do not.
        text_ += "</html>";
        if (!random_.chance(15))
            text_ += ends_ == Ends::Lf ? "\n" : "\r\n";
    }

private:
    Random &random_;
    Ends ends_;
    Accents accents_;
    std::string text_;
};

Ends DrawEnds(Random &random) {
    const std::size_t draw = random.below(10);
    return draw < 5 ? Ends::CrLf : draw < 9 ? Ends::Lf : Ends::Mixed;
}

Accents DrawAccents(Random &random) {
    const std::size_t draw = random.below(10);
    return draw < 6 ? Accents::None : draw < 8 ? Accents::Latin1 : Accents::Utf8;
}

bool WriteAll(const fs::path &path, std::string_view bytes) {
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string MakePage(Random &random, std::size_t size, int number) {
    Page page(random, DrawEnds(random), DrawAccents(random));
    page.head(random.chance(20), number);
    while (page.text().size() < size)
        page.block();
    page.tail();
    return std::move(page.text());
}

// The many small files: `count` pages of 4 to 6 KB in folders of 1,000, names unique.
int WriteSmall(const fs::path &root, int count) {
    std::error_code error;
    fs::remove(root / "small.stamp", error);
    fs::remove_all(root / "small", error);
    Random random(Seed ^ 0x5A11);
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) {
        char sub[32];
        std::snprintf(sub, sizeof sub, "f%03d", i / 1000);
        const fs::path folder = root / "small" / sub;
        if (i % 1000 == 0)
            fs::create_directories(folder);
        const std::string text = MakePage(random, 4000 + random.below(2000), i);
        char name[32];
        std::snprintf(name, sizeof name, "small-%06d.htm", i);
        if (!WriteAll(folder / name, text))
            return 1;
        total += text.size();
    }
    std::printf("small: %d pages, %.1f MB\n", count, total / 1e6);
    return WriteAll(root / "small.stamp", std::to_string(count) + "\n") ? 0 : 1;
}

// The characters of a line as the program reads it: UTF-8 when it is valid, else Windows-1252
// (the corpus's other bytes are its Latin-1 letters, the same in both).
std::u32string CharactersOf(std::string_view line) {
    std::u32string characters;
    std::size_t i = 0;
    while (i < line.size()) {
        const auto lead = static_cast<unsigned char>(line[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead < 0xF5 && i + length <= line.size());
        char32_t c = lead & (0x7F >> (length == 1 ? 0 : length));
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(line[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!valid) {
            characters.clear();
            for (const char b : line)
                characters.push_back(static_cast<unsigned char>(b));
            return characters;
        }
        characters.push_back(c);
        i += length;
    }
    return characters;
}

// The tree's pages in UTF-16LE (with its mark) and in Windows-1252, line ends as they are.
int WriteEncoded(const fs::path &root) {
    std::error_code error;
    fs::remove(root / "encoded.stamp", error);
    fs::remove_all(root / "tree-utf16", error);
    fs::remove_all(root / "tree-1252", error);
    std::size_t total16 = 0, total1252 = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(root / "tree")) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string page((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::string utf16("\xFF\xFE"), cp1252;
        for (std::size_t from = 0; from < page.size();) {
            const std::size_t lf = page.find('\n', from);
            const std::size_t end = lf == std::string::npos ? page.size() : lf + 1;
            for (const char32_t c : CharactersOf(std::string_view(page).substr(from, end - from))) {
                utf16 += static_cast<char>(c & 0xFF);
                utf16 += static_cast<char>(c >> 8);
                cp1252 += static_cast<char>(c);  // only Latin-1 letters beyond ASCII
            }
            from = end;
        }
        const fs::path relative = fs::relative(entry.path(), root / "tree");
        for (const auto &[folder, bytes] :
             {std::pair{"tree-utf16", &utf16}, {"tree-1252", &cp1252}}) {
            fs::create_directories((root / folder / relative).parent_path());
            if (!WriteAll(root / folder / relative, *bytes))
                return 1;
        }
        total16 += utf16.size();
        total1252 += cp1252.size();
    }
    std::printf("tree-utf16: %.1f MB, tree-1252: %.1f MB\n", total16 / 1e6, total1252 / 1e6);
    return WriteAll(root / "encoded.stamp", StampText) ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 4 && std::strcmp(argv[1], "--small") == 0)
        return WriteSmall(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--encoded") == 0)
        return WriteEncoded(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder> | --small <folder> <count> | --encoded <folder>\n",
                     argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    std::error_code error;
    fs::remove(root / "corpus.stamp", error);
    for (const char *part : {"tree", "big", "long"})
        fs::remove_all(root / part, error);

    Random random(Seed);
    std::size_t total = 0;
    for (int i = 0; i < PageCount; ++i) {
        char sub[32];
        std::snprintf(sub, sizeof sub, "s%d/p%d", i / 500, i / 100 % 5);
        const fs::path folder = root / "tree" / sub;
        fs::create_directories(folder);
        std::size_t size;
        if (i % LargePageEvery == 0)
            size = 1900000 + random.below(200000);
        else
            size = static_cast<std::size_t>(
                std::clamp(20000.0 * std::exp(0.9 * random.normal()), 300.0, 1500000.0));
        const std::string text = MakePage(random, size, i);
        char name[32];
        std::snprintf(name, sizeof name, "page-%05d.%s", i, i % 3 == 0 ? "htm" : "html");
        if (!WriteAll(folder / name, text))
            return 1;
        total += text.size();
    }
    std::printf("tree: %d pages, %.1f MB\n", PageCount, total / 1e6);

    // One big page: many pages' bodies after one another, mixed line ends throughout.
    {
        fs::create_directories(root / "big");
        FILE *file = std::fopen((root / "big" / "big-1g.html").c_str(), "wb");
        if (file == nullptr)
            return 1;
        std::size_t written = 0;
        for (int number = 0; written < BigSize; ++number) {
            std::string text = MakePage(random, 200000, number);
            text.resize(std::min(text.size(), BigSize - written));
            written += std::fwrite(text.data(), 1, text.size(), file);
        }
        if (std::fclose(file) != 0)
            return 1;
        std::printf("big: %.1f MB\n", written / 1e6);
    }

    // One line of 100 MiB: minified markup without a line end, and without the text that the
    // benchmark removes, so the whole line is kept and written.
    {
        fs::create_directories(root / "long");
        Page page(random, Ends::Lf, Accents::Latin1);
        std::string &text = page.text();
        text.reserve(LongLineSize + 4096);
        while (text.size() < LongLineSize) {
            text += "<div class=\"c\"><p>";
            page.words(text, 50 + random.below(300));
            text += "</p></div>";
        }
        text.resize(LongLineSize);
        if (!WriteAll(root / "long" / "one-line.html", text))
            return 1;
        std::printf("long: one line of %.1f MB\n", text.size() / 1e6);
    }

    return WriteAll(root / "corpus.stamp", StampText) ? 0 : 1;
}
