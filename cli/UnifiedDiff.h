// What a result would change, as a unified diff (the format of GNU `diff -u --label`, three
// lines of context), so that `strelmark remove ... --diff` can be read like any patch.
//
// Lines are compared as bytes with their line ends: a line whose LF became CR LF differs. The
// operations keep the lines of a result in the order of the input, each made from one input
// line; the diff pairs each result line with the line it came from, so it is found in one pass
// and a line that lost characters shows as that line removed and its shorter form added.
#pragma once

#include "engine/FileWork.h"

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Cli {

// The bytes split after each LF; the last line has none when the bytes do not end with one.
// No bytes, no lines.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The diff of `before` into `after`: `origin` holds, for each line of `after`, the index of the
// line of `before` it was made from, increasing. A pair whose bytes are equal is a common line.
// Empty when nothing differs. With `color`, the labels, hunk heads, removed and added lines are
// coloured as on a terminal (bold, cyan, red, green), each line's colour ended before its end.
std::string UnifiedDiff(const QString &fromLabel, const QString &toLabel,
                        const std::vector<std::string_view> &before,
                        const std::vector<std::string_view> &after,
                        const std::vector<std::size_t> &origin, bool color = false);

// The diff between the file at `input` and the result the operation makes of it: the chooser's
// text `caption` with the condition `text`. Labels are the input and the output path. Reads the
// whole file into memory. Throws FileError (kind Read), and what ctx.letEventsRun() throws.
std::string DiffOfFile(const QString &input, const QString &output, Operations::LineContext &ctx,
                       const Engine::WorkOptions &options, bool color = false);

}  // namespace Cli
