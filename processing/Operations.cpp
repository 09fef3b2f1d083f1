#include "Operations.h"

#include "AtomicFile.h"

#include <cstring>

namespace Operations {

using RFTSFSO::LineReader;
using RFTSFSO::ResultWriter;

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

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing beyond
// U+10FFFF.
bool IsUtf8(std::string_view bytes) {
    const auto *at = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = at + bytes.size();
    while (at < end) {
        const unsigned char c = *at;
        if (c < 0x80) {
            ++at;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;  // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high)
            return false;
        for (std::size_t i = 2; i < length; ++i) {
            if (at[i] < 0x80 || at[i] > 0xBF)
                return false;
        }
        at += length;
    }
    return true;
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
            utf8_ = IsUtf8(line_);
        removed_ += CountCharacters(bytes, utf8_ > 0);
    }

    std::string_view line_;
    const char *next_;
    int utf8_ = -1;  // unknown yet
    std::uint64_t removed_ = 0;
};

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
std::uint64_t KeepContaining(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    LineSearch search(input);
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun() && condition.reread())
            search.forget();
        if (!line.empty() && search.find(line, condition.pattern()) != Pattern::npos)
            output.keepLine(line);
        else
            removed += CharactersIn(line, line);
    }
    return removed;
}

// Index 3: keeps the occurrences of the text in each line that has one; other lines go.
std::uint64_t KeepOccurrences(LineReader &input, ResultWriter &output, LineContext &ctx) {
    Condition condition(ctx);
    LineSearch search(input);
    std::uint64_t removed = 0;
    std::string_view line;
    while (input.next(line)) {
        if (ctx.letEventsRun() && condition.reread())
            search.forget();
        const Pattern &pattern = condition.pattern();
        if (line.empty() || search.find(line, pattern) == Pattern::npos) {
            removed += CharactersIn(line, line);
            continue;
        }
        output.beginLine();
        Gaps gaps(line);
        ForEachOccurrence(line, pattern, [&](std::string_view piece) {
            gaps.kept(piece);
            output.append(piece);
        });
        removed += gaps.total();
    }
    return removed;
}

// Index 4: every line but line n.
std::uint64_t DropLineNumber(LineReader &input, ResultWriter &output, long long lineNumber) {
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
std::uint64_t DropEmptyLines(LineReader &input, ResultWriter &output) {
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
std::uint64_t SharedLoop(LineReader &input, ResultWriter &output, LineContext &ctx,
                         const QString &chooserText) {
    Condition condition(ctx);
    LineSearch search(input);
    bool deleting = chooserText == Captions[2];
    std::uint64_t removed = 0;
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
        if (!deleting) {
            removed += CharactersIn(line, line);
            continue;
        }
        output.beginLine();
        Gaps gaps(line);
        gaps.kept(line.substr(0, at));
        output.append(line.substr(0, at));
        ForEachPieceWithout(line.substr(at + pattern.size()), pattern, [&](std::string_view piece) {
            gaps.kept(piece);
            output.append(piece);
        });
        removed += gaps.total();
    }
    return removed;
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

std::uint64_t RunLoop(LineReader &input, ResultWriter &output, LineContext &ctx,
                      long long lineNumber) {
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
    return 0;
}

std::uint64_t CharactersIn(std::string_view bytes, std::string_view line) {
    if (!HasHighByte(bytes))
        return bytes.size();
    return CountCharacters(bytes, IsUtf8(line));
}

FileResult::FileResult() = default;
FileResult::FileResult(FileResult &&) noexcept = default;
FileResult &FileResult::operator=(FileResult &&) noexcept = default;
FileResult::~FileResult() = default;

FileResult ProcessFile(const QString &inputPath, const QString &outputPath, LineContext &ctx,
                       const ProcessOptions &options, Destination destination) {
    FileResult result;
    std::optional<LineReader> input;
    std::optional<ResultWriter> output;
    try {
        input.emplace(inputPath);
        ResultWriter::Options writing;
        writing.keepLineEnds = options.keepLineEnds;
        writing.dryRun = destination == Destination::DryRun;
        output.emplace(outputPath, &*input, writing);
        result.charactersRemoved = RunLoop(*input, *output, ctx, options.lineNumber);
        result.linesRead = input->lineCount();
        result.linesKept = output->linesKept();
        output->finish();
        switch (output->outcome()) {
            case ResultWriter::Outcome::Empty:
                result.state = FileResult::State::Empty;
                break;
            case ResultWriter::Outcome::Unchanged:
                result.state = FileResult::State::Unchanged;
                break;
            case ResultWriter::Outcome::Changed:
                result.state = FileResult::State::Changed;
                result.pending = output->takePending();
                break;
        }
    } catch (const FileError &error) {
        result.state = FileResult::State::Failed;
        result.error = error;
        result.pending.reset();
        if (input) {
            result.linesRead = input->lineCount();
            result.linesKept = output ? output->linesKept() : 0;
        }
    }
    return result;
}

}  // namespace Operations
