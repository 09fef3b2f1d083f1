#include "cli/UnifiedDiff.h"

#include <QFile>

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

void AppendLine(std::string &out, char mark, std::string_view line) {
    out += mark;
    out += line;
    if (line.empty() || line.back() != '\n')
        out += "\n\\ No newline at end of file\n";
}

// The lines of each hunk: common lines as context, and in each block of changes the removed
// lines before the added ones.
void AppendHunk(std::string &out, const std::vector<Edit> &edits, std::size_t from, std::size_t to,
                const std::vector<std::string_view> &before,
                const std::vector<std::string_view> &after, std::size_t beforeStart,
                std::size_t afterStart) {
    std::size_t beforeCount = 0, afterCount = 0;
    for (std::size_t e = from; e < to; ++e) {
        beforeCount += edits[e].kind != Edit::Added;
        afterCount += edits[e].kind != Edit::Removed;
    }
    out +=
        "@@ -" + Range(beforeStart, beforeCount) + " +" + Range(afterStart, afterCount) + " @@\n";
    for (std::size_t e = from; e < to;) {
        if (edits[e].kind == Edit::Same) {
            AppendLine(out, ' ', before[edits[e].before]);
            ++e;
            continue;
        }
        std::size_t end = e;
        while (end < to && edits[end].kind != Edit::Same)
            ++end;
        for (std::size_t k = e; k < end; ++k) {
            if (edits[k].kind == Edit::Removed)
                AppendLine(out, '-', before[edits[k].before]);
        }
        for (std::size_t k = e; k < end; ++k) {
            if (edits[k].kind == Edit::Added)
                AppendLine(out, '+', after[edits[k].after]);
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
                        const std::vector<std::size_t> &origin) {
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
            out += "--- " + QFile::encodeName(fromLabel).toStdString() + '\n';
            out += "+++ " + QFile::encodeName(toLabel).toStdString() + '\n';
        }
        countUpTo(from);
        AppendHunk(out, edits, from, to, before, after, beforeLine, afterLine);
        e = to;
    }
    return out;
}

std::string DiffOfFile(const QString &input, const QString &output, Operations::LineContext &ctx,
                       const Engine::WorkOptions &options) {
    const Engine::ResultInMemory work = Engine::WorkInMemory(input, ctx, options);
    return UnifiedDiff(input, output, SplitLines(work.before), SplitLines(work.after), work.origin);
}

}  // namespace Cli
