#include "cli/UnifiedDiff.h"

#include "base/Main.h"

#include <algorithm>

namespace Cli {

namespace {

constexpr std::size_t Context = 3;

struct Edit {
    enum Kind { Same, Removed, Added } kind;
    std::size_t before;  // Same, Removed: the line of `before`
    std::size_t after;   // Same, Added: the line of `after`
};

// "-3,2": where a hunk's lines start (from 1) and how many there are; a count of one is left
// out, and an empty range names the line before it.
std::string Range(std::size_t first, std::size_t count) {
    if (count == 0)
        return std::to_string(first) + ",0";
    if (count == 1)
        return std::to_string(first + 1);
    return std::to_string(first + 1) + ',' + std::to_string(count);
}

// The terminal's colours of the parts of a diff; empty texts without colour.
struct Palette {
    const char *label = "", *hunk = "", *removed = "", *added = "", *end = "";
};
constexpr Palette Plain{};
constexpr Palette Colored{"\x1b[1m", "\x1b[36m", "\x1b[31m", "\x1b[32m", "\x1b[0m"};

// `text` (ending with its LF) in `color`, the colour ended before the LF.
void AppendColored(std::string &out, const char *color, const char *end, std::string_view text) {
    const bool lf = !text.empty() && text.back() == '\n';
    out += color;
    out += lf ? text.substr(0, text.size() - 1) : text;
    out += end;
    if (lf)
        out += '\n';
}

void AppendLine(std::string &out, char mark, std::string_view line, const Palette &colors) {
    const char *color = mark == '-' ? colors.removed : mark == '+' ? colors.added : "";
    out += color;
    out += mark;
    const bool lf = !line.empty() && line.back() == '\n';
    out += lf ? line.substr(0, line.size() - 1) : line;
    out += *color != '\0' ? colors.end : "";
    out += lf ? "\n" : "\n\\ No newline at end of file\n";
}

// The lines of each hunk: common lines as context, and in each block of changes the removed
// lines before the added ones.
void AppendHunk(std::string &out, const std::vector<Edit> &edits, std::size_t from, std::size_t to,
                const std::vector<std::string_view> &before,
                const std::vector<std::string_view> &after, std::size_t beforeStart,
                std::size_t afterStart, const Palette &colors) {
    std::size_t beforeCount = 0, afterCount = 0;
    for (std::size_t e = from; e < to; ++e) {
        beforeCount += edits[e].kind != Edit::Added;
        afterCount += edits[e].kind != Edit::Removed;
    }
    AppendColored(
        out, colors.hunk, colors.end,
        "@@ -" + Range(beforeStart, beforeCount) + " +" + Range(afterStart, afterCount) + " @@\n");
    for (std::size_t e = from; e < to;) {
        if (edits[e].kind == Edit::Same) {
            AppendLine(out, ' ', before[edits[e].before], colors);
            ++e;
            continue;
        }
        std::size_t end = e;
        while (end < to && edits[end].kind != Edit::Same)
            ++end;
        for (std::size_t k = e; k < end; ++k) {
            if (edits[k].kind == Edit::Removed)
                AppendLine(out, '-', before[edits[k].before], colors);
        }
        for (std::size_t k = e; k < end; ++k) {
            if (edits[k].kind == Edit::Added)
                AppendLine(out, '+', after[edits[k].after], colors);
        }
        e = end;
    }
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t size = end == std::string_view::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(0, size));
        bytes.remove_prefix(size);
    }
    return lines;
}

std::string UnifiedDiff(const QString &fromLabel, const QString &toLabel,
                        const std::vector<std::string_view> &before,
                        const std::vector<std::string_view> &after,
                        const std::vector<std::size_t> &origin, bool color) {
    const Palette &colors = color ? Colored : Plain;
    std::vector<Edit> edits;
    std::size_t next = 0;  // the next line of `before` not yet accounted for
    for (std::size_t k = 0; k < after.size(); ++k) {
        const std::size_t from = k < origin.size() ? origin[k] : before.size();
        for (; next < from && next < before.size(); ++next)
            edits.push_back({Edit::Removed, next, 0});
        if (from < before.size() && from >= next && before[from] == after[k]) {
            edits.push_back({Edit::Same, from, k});
            next = from + 1;
            continue;
        }
        if (from < before.size() && from >= next) {
            edits.push_back({Edit::Removed, from, 0});
            next = from + 1;
        }
        edits.push_back({Edit::Added, 0, k});
    }
    for (; next < before.size(); ++next)
        edits.push_back({Edit::Removed, next, 0});

    std::string out;
    const std::size_t n = edits.size();
    std::size_t beforeLine = 0, afterLine = 0;  // lines of each side before edits[e]
    std::size_t e = 0;
    std::size_t counted = 0;  // edits whose lines beforeLine and afterLine count
    auto countUpTo = [&](std::size_t end) {
        for (; counted < end; ++counted) {
            beforeLine += edits[counted].kind != Edit::Added;
            afterLine += edits[counted].kind != Edit::Removed;
        }
    };
    while (e < n) {
        if (edits[e].kind == Edit::Same) {
            ++e;
            continue;
        }
        // A hunk: from the change at e, taking in every later change that fewer than two
        // contexts' worth of common lines separate from it.
        std::size_t last = e;
        std::size_t j = e + 1;
        while (j < n) {
            if (edits[j].kind != Edit::Same) {
                last = j++;
                continue;
            }
            std::size_t run = j;
            while (run < n && edits[run].kind == Edit::Same)
                ++run;
            if (run < n && run - j <= 2 * Context) {
                j = run;
                continue;
            }
            break;
        }
        const std::size_t from = e >= Context ? e - Context : 0;
        const std::size_t to = std::min(n, last + 1 + Context);
        if (out.empty()) {
            AppendColored(out, colors.label, colors.end,
                          "--- " + Main::PathBytes(fromLabel) + '\n');
            AppendColored(out, colors.label, colors.end, "+++ " + Main::PathBytes(toLabel) + '\n');
        }
        countUpTo(from);
        AppendHunk(out, edits, from, to, before, after, beforeLine, afterLine, colors);
        e = to;
    }
    return out;
}

std::string DiffOfFile(const QString &input, const QString &output, Operations::LineContext &ctx,
                       const Engine::WorkOptions &options, bool color) {
    const Engine::ResultInMemory work = Engine::WorkInMemory(input, ctx, options);
    return UnifiedDiff(input, output, SplitLines(work.before), SplitLines(work.after), work.origin,
                       color);
}

}  // namespace Cli
