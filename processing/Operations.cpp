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
    void reread() {
        const QByteArray text = ctx_.conditionText();
        if (Bytes(text) != text_) {
            text_.assign(Bytes(text));
            pattern_ = Pattern(text_);
        }
    }
    const Pattern &pattern() const { return pattern_; }

private:
    LineContext &ctx_;
    std::string text_;
    Pattern pattern_;
};

// Index 1: keeps each line that contains the text; empty lines go.
void KeepContaining(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun())
            condition.reread();
        if (!line.empty() && condition.pattern().foundIn(line))
            output.keepLine(line);
    }
}

// Index 3: keeps the occurrences of the text in each line that has one; other lines go.
void KeepOccurrences(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun())
            condition.reread();
        const Pattern &pattern = condition.pattern();
        if (line.empty() || !pattern.foundIn(line))
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
    bool deleting = chooserText == Captions[2];
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun()) {
            condition.reread();
            deleting = ctx.chooserText() == Captions[2];
        }
        if (line.empty()) {
            output.keepLine(line);
            continue;
        }
        const Pattern &pattern = condition.pattern();
        const std::size_t at = pattern.find(line);
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
