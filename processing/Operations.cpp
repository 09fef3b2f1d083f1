#include "Operations.h"

namespace Operations {

using RFTSFSO::LineReader;
using RFTSFSO::ResultWriter;

namespace {

std::string_view Bytes(const QByteArray &text) {
    return std::string_view(text.constData(), static_cast<std::size_t>(text.size()));
}

// The condition text of the moment, ready for searching.
class Condition {
public:
    explicit Condition(LineContext &ctx) : ctx_(ctx) { reread(); }
    // True when the text changed.
    bool reread() {
        const QByteArray text = ctx_.conditionText();
        if (Bytes(text) == text_)
            return false;
        text_.assign(Bytes(text));
        pattern_ = Pattern(text_);
        return true;
    }
    const Pattern &pattern() const { return pattern_; }

private:
    LineContext &ctx_;
    std::string text_;
    Pattern pattern_;
};

// Whether each line in turn contains the condition text. Instead of searching every line on its
// own, it searches the reader's buffer from the line onwards in one pass and remembers the next
// occurrence: where the text is rare, most lines are answered by comparing two pointers. An
// occurrence counts only when it lies wholly inside the line (not across its end or into its
// CR LF).
class LineSearch {
public:
    explicit LineSearch(const LineReader &input) : input_(input) {}

    // The condition text changed: what was found no longer holds.
    void forget() { valid_ = false; }

    // Where the text first occurs in `line` (not empty, handed out by the reader just now), or
    // npos.
    std::size_t find(std::string_view line, const Pattern &pattern) {
        const char *start = line.data();
        if (!valid_ || refills_ != input_.refills() || next_ < start) {
            const std::string_view ahead = input_.bufferedFrom(start);
            const std::size_t at = pattern.find(ahead);
            found_ = at != Pattern::npos;
            next_ = found_ ? start + at : ahead.data() + ahead.size();
            refills_ = input_.refills();
            valid_ = true;
        }
        // An occurrence that starts in the line but runs past its end means that no later one
        // fits in the line either.
        if (found_ && next_ + pattern.size() <= start + line.size())
            return static_cast<std::size_t>(next_ - start);
        return Pattern::npos;
    }

private:
    const LineReader &input_;
    bool valid_ = false, found_ = false;
    std::uint64_t refills_ = 0;
    const char *next_ = nullptr;  // the next occurrence, or the end of what was searched
};

// Index 1: keeps each line that contains the text; empty lines go.
void KeepContaining(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    LineSearch search(input);
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun() && condition.reread())
            search.forget();
        if (!line.empty() && search.find(line, condition.pattern()) != Pattern::npos)
            output.keepLine(line);
    }
}

// Index 3: keeps the occurrences of the text in each line that has one; other lines go.
void KeepOccurrences(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    LineSearch search(input);
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun() && condition.reread())
            search.forget();
        const Pattern &pattern = condition.pattern();
        if (line.empty() || search.find(line, pattern) == Pattern::npos)
            continue;
        output.beginLine();
        ForEachOccurrence(line, pattern, [&](std::string_view piece) { output.append(piece); });
    }
}

// Index 4: every line but line n.
void DropLineNumber(LineReader &input, ResultWriter &output, long long lineNumber) {
    const unsigned long long dropped = lineNumber > 0 ? static_cast<unsigned long long>(lineNumber)
                                                      : 0;  // no line has number 0 or less
    unsigned long long number = 0;
    std::string_view line;
    while (input.next(line)) {
        if (++number != dropped)
            output.keepLine(line);
    }
}

// Index 5: every line that is not empty. A line of blanks is not empty.
void DropEmptyLines(LineReader &input, ResultWriter &output) {
    std::string_view line;
    while (input.next(line)) {
        if (!line.empty())
            output.keepLine(line);
    }
}

// Indexes 0 and 2, and any chooser text that names no other loop. Empty lines and lines without
// the text are kept. A line with the text has it deleted while the chooser says "Remove those
// characters", and is dropped otherwise.
void SharedLoop(LineReader &input, ResultWriter &output, LineContext &ctx,
                const QString &chooserText) {
    Condition condition(ctx);
    LineSearch search(input);
    bool deleting = chooserText == Captions[2];
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun()) {
            if (condition.reread())
                search.forget();
            deleting = ctx.chooserText() == Captions[2];
        }
        if (line.empty()) {
            output.keepLine(line);
            continue;
        }
        const Pattern &pattern = condition.pattern();
        const std::size_t at = search.find(line, pattern);
        if (at == Pattern::npos) {
            output.keepLine(line);
            continue;
        }
        if (!deleting)
            continue;
        output.beginLine();
        output.append(line.substr(0, at));
        ForEachPieceWithout(line.substr(at + pattern.size()), pattern,
                            [&](std::string_view piece) { output.append(piece); });
    }
}

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

std::string RemoveCharactersExcept(std::string_view line, std::string_view text) {
    std::string kept;
    ForEachOccurrence(line, Pattern(text), [&](std::string_view piece) { kept += piece; });
    return kept;
}

std::string RemoveOccurrences(std::string_view line, std::string_view text) {
    std::string rest;
    ForEachPieceWithout(line, Pattern(text), [&](std::string_view piece) { rest += piece; });
    return rest;
}

void RunLoop(LineReader &input, ResultWriter &output, LineContext &ctx, long long lineNumber) {
    const QString chooserText = ctx.chooserText();
    switch (LoopFor(chooserText)) {
        case Loop::NotContaining:
            return KeepContaining(input, output, ctx);
        case Loop::ExceptThose:
            return KeepOccurrences(input, output, ctx);
        case Loop::LineNumber:
            return DropLineNumber(input, output, lineNumber);
        case Loop::BlankLines:
            return DropEmptyLines(input, output);
        case Loop::Shared:
            return SharedLoop(input, output, ctx, chooserText);
    }
}

bool ProcessFile(const QString &inputPath, const QString &outputPath, LineContext &ctx,
                 long long lineNumber) {
    LineReader input(inputPath);
    ResultWriter output(outputPath);
    RunLoop(input, output, ctx, lineNumber);
    return output.finish();
}

}  // namespace Operations
