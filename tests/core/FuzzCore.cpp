// Fuzz target for the text core (clang's libFuzzer): the line reader and the six operations.
//
// One input is a small header and the file's bytes:
//   byte 0  operation index (mod 6); bit 3 makes a yield change the chooser, bit 4 the text
//   byte 1  chunk size the reader uses (1 to 200 bytes, 0 for the usual size)
//   byte 2  length of the condition text (mod 8), then its bytes
//   byte    length of the second condition text (mod 8), then its bytes
//   2 bytes line number for "Remove line number n in all files" (signed, little-endian)
//   byte    yields: a yield runs before every line whose index is a multiple of this (0: never)
//   rest    the file
//
// Checked, for every input:
// - the reader's lines are those of a plain reference splitter, whatever the chunk size;
// - the result is exactly that of a plain reference of the operation, yields and changes
//   included;
// - each output line is made of bytes of one input line, in order; input lines keep their
//   order; lines only ever shrink;
// - "Remove line number n in all files" with n = 0 gives back the input's lines exactly.
#include "Operations.h"
#include "RFTSFSO.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace Operations;

namespace {

void Check(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// --- references, written for plainness, not speed ---------------------------------------------

std::vector<std::string> ReferenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

// The 1-based place of the first occurrence of `text` in `line` at or after `start`, letter
// case folded; 0 when there is none (and for the empty text).
std::size_t InStr(std::size_t start, const std::string &line, const std::string &text) {
    if (text.empty())
        return 0;
    for (std::size_t at = start - 1; at + text.size() <= line.size(); ++at) {
        std::size_t i = 0;
        while (i < text.size() && Fold(line[at + i]) == Fold(text[i]))
            ++i;
        if (i == text.size())
            return at + 1;
    }
    return 0;
}

// The steps of RemoveCharactersExcept as they are written: position, rest, kept.
std::string ReferenceExcept(const std::string &line, const std::string &text) {
    std::size_t position = 1;
    std::string rest = line, kept;
    do {
        position = InStr(position, rest, text);
        if (position > 0) {
            kept += rest.substr(position - 1, text.size());
            rest = rest.substr(position - 1);
            position = InStr(text.size() + 1, rest, text);
        }
    } while (position > 0);
    return kept;
}

std::string ReferenceDelete(const std::string &line, const std::string &text) {
    std::string result;
    std::size_t from = 1;
    for (std::size_t at = InStr(1, line, text); at > 0; at = InStr(from, line, text)) {
        result += line.substr(from - 1, at - from);
        from = at + text.size();
    }
    return result + line.substr(from - 1);
}

struct Script {
    int operation = 0;
    bool changeChooser = false, changeText = false;
    std::size_t chunk = 0;
    std::string text, otherText;
    long long lineNumber = 0;
    unsigned yieldEvery = 0;
    std::string_view file;

    bool yieldRunsBefore(std::size_t line) const {
        return yieldEvery != 0 && line % yieldEvery == 0;
    }
    // What the controls hold after the yield before line `line` (or at the start for line 0).
    std::string textAt(std::size_t yields) const {
        return changeText && yields % 2 == 1 ? otherText : text;
    }
    int chooserAt(std::size_t yields) const {
        // A change flips between the two captions of the shared loop, or leaves it for index 5.
        if (!changeChooser || yields % 2 == 0)
            return operation;
        return operation == 0 ? 2 : operation == 2 ? 0 : 5;
    }
};

// The operation as the steps describe it, line by line; returns the kept lines.
std::vector<std::string> ReferenceRun(const Script &s, const std::vector<std::string> &lines) {
    std::vector<std::string> kept;
    const int loop = s.operation;
    std::size_t yields = 0;
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const std::string &line = lines[j];
        if (loop <= 3 && s.yieldRunsBefore(j))
            ++yields;
        const std::string text = s.textAt(yields);
        const bool contains = !line.empty() && InStr(1, line, text) > 0;
        switch (loop) {
            case 1:
                if (contains)
                    kept.push_back(line);
                break;
            case 3:
                if (contains)
                    kept.push_back(ReferenceExcept(line, text));
                break;
            case 4:
                if (static_cast<long long>(j + 1) != s.lineNumber)
                    kept.push_back(line);
                break;
            case 5:
                if (!line.empty())
                    kept.push_back(line);
                break;
            default:
                if (line.empty() || !contains)
                    kept.push_back(line);
                else if (s.chooserAt(yields) == 2)
                    kept.push_back(ReferenceDelete(line, text));
                break;
        }
    }
    return kept;
}

// --- the core, driven as the run drives it -------------------------------------------------

class ScriptContext : public LineContext {
public:
    explicit ScriptContext(const Script &script) : s_(script) {}
    bool letEventsRun() override {
        if (!s_.yieldRunsBefore(calls_++))
            return false;
        ++yields_;
        return true;
    }
    QByteArray conditionText() override {
        const std::string text = s_.textAt(yields_);
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    QString chooserText() override { return Captions[s_.chooserAt(yields_)]; }

private:
    const Script &s_;
    std::size_t calls_ = 0, yields_ = 0;
};

// Splits a result back into its kept lines: each is joined to the next by CR LF and holds no LF.
std::vector<std::string> KeptLines(const std::string &text, std::uint64_t count) {
    std::vector<std::string> lines;
    if (count == 0)
        return lines;
    std::size_t from = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', from)) {
        Check(lf > from && text[lf - 1] == '\r', "lines are joined with CR LF");
        lines.push_back(text.substr(from, lf - 1 - from));
        from = lf + 1;
    }
    lines.push_back(text.substr(from));
    return lines;
}

bool IsSubsequence(const std::string &part, const std::string &whole) {
    std::size_t i = 0;
    for (char c : whole) {
        if (i < part.size() && part[i] == c)
            ++i;
    }
    return i == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char *>(data), size);
    auto take = [&](std::size_t n) {
        const std::string_view part = in.substr(0, std::min(n, in.size()));
        in.remove_prefix(part.size());
        return std::string(part);
    };
    auto byte = [&]() -> unsigned {
        const std::string b = take(1);
        return b.empty() ? 0 : static_cast<unsigned char>(b[0]);
    };

    Script s;
    const unsigned head = byte();
    s.operation = static_cast<int>(head % 6);
    s.changeChooser = head & 0x08;
    s.changeText = head & 0x10;
    const unsigned chunk = byte() % 201;
    s.chunk = chunk == 0 ? RFTSFSO::LineReader::DefaultChunk : chunk;
    s.text = take(byte() % 8);
    s.otherText = take(byte() % 8);
    const unsigned low = byte(), high = byte();
    s.lineNumber = static_cast<std::int16_t>(low | high << 8);
    s.yieldEvery = byte() % 8;
    s.file = in;

    // The splitter.
    const std::vector<std::string> lines = ReferenceLines(s.file);
    {
        auto reader = RFTSFSO::LineReader::fromBytes(s.file, s.chunk);
        std::string_view line;
        std::size_t i = 0;
        while (reader.next(line)) {
            Check(i < lines.size() && line == lines[i], "reader agrees with the reference");
            ++i;
        }
        Check(i == lines.size(), "reader gives every line");
    }

    // The operation.
    auto reader = RFTSFSO::LineReader::fromBytes(s.file, s.chunk);
    std::string text;
    RFTSFSO::ResultWriter writer(&text);
    ScriptContext ctx(s);
    RunLoop(reader, writer, ctx, s.lineNumber);
    const bool written = writer.finish();
    const std::vector<std::string> kept = KeptLines(text, writer.linesKept());

    const std::vector<std::string> expected = ReferenceRun(s, lines);
    Check(written == !expected.empty(), "a file is written when a line is kept");
    Check(kept == expected, "result agrees with the reference");

    // Each kept line comes from its own input line, in order, and is no longer than it.
    std::size_t from = 0;
    for (const std::string &line : kept) {
        while (from < lines.size() &&
               !(line.size() <= lines[from].size() && IsSubsequence(line, lines[from])))
            ++from;
        Check(from < lines.size(), "each output line is made of one input line's bytes");
        ++from;
    }
    if (s.operation == 4 && s.lineNumber == 0)
        Check(kept == lines, "n = 0 gives the lines back");

    // The stand-alone functions agree with the steps.
    if (!lines.empty()) {
        Check(RemoveCharactersExcept(lines[0], s.text) == ReferenceExcept(lines[0], s.text),
              "RemoveCharactersExcept");
        Check(RemoveOccurrences(lines[0], s.text) == ReferenceDelete(lines[0], s.text),
              "RemoveOccurrences");
    }
    return 0;
}
