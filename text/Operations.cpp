#include "text/Operations.h"

#include "files/Transcoding.h"
#include "text/Finders.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include <cstring>

namespace Operations {

using RFTSFSO::LineReader;
using RFTSFSO::ResultWriter;

using namespace Finding;

namespace {

bool HasHighByte(std::string_view bytes) {
    const char *at = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; at += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        if (word & 0x8080808080808080ull)
            return true;
    }
    for (; left > 0; ++at, --left) {
        if (static_cast<unsigned char>(*at) >= 0x80)
            return true;
    }
    return false;
}

std::uint64_t CountCharacters(std::string_view bytes, bool utf8) {
    if (!utf8)
        return bytes.size();
    std::uint64_t count = 0;
    for (const char c : bytes)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The characters removed from a line that is kept in pieces, handed over in order: whatever
// lies between them. The line is checked for UTF-8 once, and only when a removed part has a
// byte beyond ASCII.
class Gaps {
public:
    explicit Gaps(std::string_view line) : line_(line), next_(line.data()) {}
    void kept(std::string_view piece) {
        removed(std::string_view(next_, static_cast<std::size_t>(piece.data() - next_)));
        next_ = piece.data() + piece.size();
    }
    std::uint64_t total() {
        removed(
            std::string_view(next_, static_cast<std::size_t>(line_.data() + line_.size() - next_)));
        return removed_;
    }

private:
    void removed(std::string_view bytes) {
        if (!HasHighByte(bytes)) {
            removed_ += bytes.size();
            return;
        }
        if (utf8_ < 0)
            utf8_ = IsValidUtf8(line_);
        removed_ += CountCharacters(bytes, utf8_ > 0);
    }

    std::string_view line_;
    const char *next_;
    int utf8_ = -1;  // unknown yet
    std::uint64_t removed_ = 0;
};

// The loops below run over a reader and write to an output: the run's LineReader and
// ResultWriter, or, to mark what a result keeps of each line, the marking pair further down.
const LineReader &ReaderOf(const LineReader &input) {
    return input;
}

// A replacement's bytes, written where the loop keeps the line's own.
void Insert(ResultWriter &output, std::string_view bytes) {
    output.append(bytes);
}

// The lines before `limit` (null: none), which cannot hold what the loop looks for, kept at
// once: by the run's reader and writer, where the writer writes their line ends as they are,
// and where no yield is owed before a given line.
template <class Input, class Output>
void KeepLinesBefore(Input &input, Output &output, const LineContext &ctx, const char *limit) {
    if constexpr (std::is_same_v<Input, LineReader> && std::is_same_v<Output, ResultWriter>) {
        std::string_view lines;
        if (limit == nullptr || !ctx.yieldsByClock())
            return;
        if (const std::size_t count = input.takeLinesBefore(limit, !output.keepsLineEnds(), lines))
            output.keepLines(lines, count);
    }
}

// Index 1: keeps each line that contains the text; empty lines go.
template <class Finder, class Input, class Output>
std::uint64_t KeepContaining(Input &input, Output &output, Yields &yields, const FileText &file,
                             const Matcher *matcher) {
    Finder finder(yields, file, ReaderOf(input), matcher);
    auto reread = [&] { finder.reread(); };
    yields.afterEach(reread);
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (yields.letEventsRun())
            finder.reread();
        Line l(line);
        if (!line.empty() && finder.first(l).found())
            output.keepLine(line);
        else
            removed += CharactersIn(line, line);
    }
    return removed;
}

// Index 3: keeps the occurrences of the text in each line that has one; other lines go.
template <class Finder, class Input, class Output>
std::uint64_t KeepOccurrences(Input &input, Output &output, Yields &yields, const FileText &file,
                              const Matcher *matcher) {
    Finder finder(yields, file, ReaderOf(input), matcher);
    auto reread = [&] { finder.reread(); };
    yields.afterEach(reread);
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (yields.letEventsRun())
            finder.reread();
        Line l(line);
        const Occurrence first = line.empty() ? Occurrence{} : finder.first(l);
        if (!first.found()) {
            removed += CharactersIn(line, line);
            continue;
        }
        output.beginLine();
        Gaps gaps(line);
        finder.eachOccurrence(l, first, [&](std::string_view piece) {
            gaps.kept(piece);
            output.append(piece);
        });
        removed += gaps.total();
    }
    return removed;
}

// Index 4: every line but line n.
template <class Input, class Output>
std::uint64_t DropLineNumber(Input &input, Output &output, long long lineNumber) {
    const unsigned long long dropped = lineNumber > 0 ? static_cast<unsigned long long>(lineNumber)
                                                      : 0;  // no line has number 0 or less
    unsigned long long number = 0;
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (++number != dropped)
            output.keepLine(line);
        else
            removed = CharactersIn(line, line);
    }
    return removed;
}

// Index 5: every line that is not empty. A line of blanks is not empty. No character goes with
// the empty lines.
template <class Input, class Output>
std::uint64_t DropEmptyLines(Input &input, Output &output) {
    std::string_view line;
    while (input.next(line)) {
        if (!line.empty())
            output.keepLine(line);
    }
    return 0;
}

// Indexes 0 and 2, and any chooser text that names no other loop. Empty lines and lines without
// the text are kept. A line with the text has it deleted while the chooser says "Remove those
// characters", and is dropped otherwise.
template <class Finder, class Input, class Output>
std::uint64_t SharedLoop(Input &input, Output &output, Yields &yields, const QString &chooserText,
                         const FileText &file, const Matcher *matcher) {
    LineContext &ctx = yields.context();
    Finder finder(yields, file, ReaderOf(input), matcher);
    bool deleting = chooserText == Captions[2];
    auto reread = [&] {
        finder.reread();
        deleting = ctx.chooserText() == Captions[2];
    };
    yields.afterEach(reread);
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (yields.letEventsRun())
            reread();
        if (line.empty()) {
            output.keepLine(line);
            continue;
        }
        Line l(line);
        const Occurrence first = finder.first(l);
        if (!first.found()) {
            output.keepLine(line);
            KeepLinesBefore(input, output, ctx, finder.clearUntil(l));
            continue;
        }
        if (!deleting) {
            removed += CharactersIn(line, line);
            continue;
        }
        output.beginLine();
        Gaps gaps(line);
        finder.eachPieceWithout(l, first, [&](std::string_view piece) {
            gaps.kept(piece);
            output.append(piece);
        });
        removed += gaps.total();
    }
    return removed;
}

// `strelmark replace`: every line, each match replaced (an empty one too, as the line holds
// it). The characters of the matches count as removed.
template <class Input, class Output>
std::uint64_t ReplaceLoop(Input &input, Output &output, Yields &yields, const FileText &file,
                          const Matcher *matcher) {
    MatcherFinder finder(yields, file, ReaderOf(input), matcher);
    auto reread = [&] { finder.reread(); };
    yields.afterEach(reread);
    std::uint64_t removed = 0;
    std::string with;
    std::string_view line;
    while (input.next(line)) {
        if (yields.letEventsRun())
            finder.reread();
        Line l(line);
        const Occurrence first = finder.first(l);
        if (!first.found()) {
            output.keepLine(line);
            continue;
        }
        output.beginLine();
        Gaps gaps(line);
        finder.eachReplaced(
            l, first,
            [&](std::string_view piece) {
                gaps.kept(piece);
                output.append(piece);
            },
            [&](const MatchState &state) {
                with.clear();
                state.appendReplacement(with);
                Insert(output, with);
            });
        removed += gaps.total();
    }
    return removed;
}

template <class Finder, class Input, class Output>
std::uint64_t RunChosenLoopWith(Input &input, Output &output, Yields &ctx, long long lineNumber,
                                const QString &chooserText, const FileText &file,
                                const Matcher *matcher) {
    switch (LoopFor(chooserText)) {
        case Loop::NotContaining:
            return KeepContaining<Finder>(input, output, ctx, file, matcher);
        case Loop::ExceptThose:
            return KeepOccurrences<Finder>(input, output, ctx, file, matcher);
        case Loop::LineNumber:
            return DropLineNumber(input, output, lineNumber);
        case Loop::BlankLines:
            return DropEmptyLines(input, output);
        case Loop::Shared:
            return SharedLoop<Finder>(input, output, ctx, chooserText, file, matcher);
    }
    return 0;
}

// The loop that the chooser's text selects, over any reader and output; with a matcher that
// replaces, the replacing loop.
template <class Input, class Output>
std::uint64_t RunChosenLoop(Input &input, Output &output, Yields &ctx, long long lineNumber,
                            const CodePage *others, const Matcher *matcher) {
    const QString chooserText = ctx.context().chooserText();
    const FileText file{PageOf(ReaderOf(input).encoding(), others), ReaderOf(input).encoding()};
    if (matcher == nullptr)
        return RunChosenLoopWith<LiteralFinder>(input, output, ctx, lineNumber, chooserText, file,
                                                nullptr);
    if (matcher->replaces())
        return ReplaceLoop(input, output, ctx, file, matcher);
    return RunChosenLoopWith<MatcherFinder>(input, output, ctx, lineNumber, chooserText, file,
                                            matcher);
}

// The marking pair: a reader that tells the marks of each line it hands out, and an output that
// tells them which parts of that line the loop keeps.
class MarkingInput {
public:
    MarkingInput(LineReader &reader, LineMarks &marks) : reader_(reader), marks_(marks) {}
    bool next(std::string_view &line) {
        if (!reader_.next(line))
            return false;
        lineStart_ = line.data();
        marks_.lineRead(line);
        return true;
    }
    const LineReader &reader() const { return reader_; }
    const char *lineStart() const { return lineStart_; }

private:
    LineReader &reader_;
    LineMarks &marks_;
    const char *lineStart_ = nullptr;
};

const LineReader &ReaderOf(const MarkingInput &input) {
    return input.reader();
}

class MarkingOutput {
public:
    MarkingOutput(const MarkingInput &input, LineMarks &marks) : input_(input), marks_(marks) {}
    void beginLine() { marks_.keptLine(); }
    void append(std::string_view piece) {
        if (!piece.empty())
            marks_.keptPart(static_cast<std::size_t>(piece.data() - input_.lineStart()),
                            piece.size());
    }
    void keepLine(std::string_view line) {
        beginLine();
        append(line);
    }

private:
    const MarkingInput &input_;
    LineMarks &marks_;
};

// A replacement is no part of the line: nothing to mark.
void Insert(MarkingOutput &, std::string_view) {}

}  // namespace

Loop LoopFor(const QString &chooserText) {
    if (chooserText == Captions[1])
        return Loop::NotContaining;
    if (chooserText == Captions[3])
        return Loop::ExceptThose;
    if (chooserText == Captions[4])
        return Loop::LineNumber;
    if (chooserText == Captions[5])
        return Loop::BlankLines;
    return Loop::Shared;
}

std::string RemoveCharactersExcept(std::string_view line, QStringView text) {
    std::string kept;
    Line l(line);
    ForEachOccurrence(l, Pattern(text), [&](std::string_view piece) { kept += piece; });
    return kept;
}

std::string RemoveOccurrences(std::string_view line, QStringView text) {
    std::string rest;
    Line l(line);
    ForEachPieceWithout(l, 0, Pattern(text), [&](std::string_view piece) { rest += piece; });
    return rest;
}

const CodePage &PageOf(const RFTSFSO::FileEncoding &encoding, const CodePage *others) {
    if (!encoding.declared.empty()) {
        if (const CodePage *declared = CodePageDeclared(encoding.declared))
            return *declared;
    }
    return others != nullptr ? *others : DefaultCodePage();
}

std::uint64_t RunLoop(LineReader &input, ResultWriter &output, LineContext &ctx,
                      long long lineNumber, const CodePage *others, const Matcher *matcher) {
    input.start();  // the file's encoding, before the condition is looked for
    Yields yields(ctx, input);
    return RunChosenLoop(input, output, yields, lineNumber, others, matcher);
}

std::uint64_t MarkLoop(LineReader &input, LineMarks &marks, LineContext &ctx, long long lineNumber,
                       const CodePage *others, const Matcher *matcher) {
    input.start();
    marks.readIn(PageOf(input.encoding(), others));
    MarkingInput marking(input, marks);
    MarkingOutput output(marking, marks);
    Yields yields(ctx, input);
    return RunChosenLoop(marking, output, yields, lineNumber, others, matcher);
}

std::uint64_t CharactersIn(std::string_view bytes, std::string_view line) {
    if (!HasHighByte(bytes))
        return bytes.size();
    return CountCharacters(bytes, IsValidUtf8(line));
}

}  // namespace Operations
