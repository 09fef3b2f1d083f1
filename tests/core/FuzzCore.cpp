// Fuzz target for the text core (clang's libFuzzer): the line reader, the six operations, and
// the encodings a file is read and written in.
//
// One input is a small header and the file's bytes:
//   byte 0  operation index (mod 6); bit 3 makes a yield change the chooser, bit 4 the text;
//           bits 5-7 the pattern options "Match case", "Whole words", "Regular expression"
//   byte 1  chunk size the reader uses (1 to 200 bytes, 0 for the usual size)
//   byte 2  the condition text: bits 0-2 its length n, bits 3-4 how the bytes that follow are
//           read: n bytes of UTF-8 (what is not valid becomes U+FFFD), n bytes of Latin-1, or
//           n UTF-16 code units, little-endian (lone surrogates included)
//   byte    the second condition text, the same way
//   2 bytes line number for "Remove line number n in all files" (signed, little-endian)
//   byte    yields: a yield runs before every line whose index is a multiple of this (0: never)
//   byte    the code page of the lines that are not UTF-8 (mod the pages' count)
//   byte    what the encoding checks put before the file (mod 8): nothing, the mark of UTF-8,
//           UTF-16LE, UTF-16BE, UTF-32LE or UTF-32BE, a page head naming Shift_JIS or GB18030
//   rest    the file
//
// Checked, for every input:
// - the reader's lines, bytes as they are, are those of a plain reference splitter, whatever
//   the chunk size;
// - the result is exactly that of a plain reference of the operation, yields and changes
//   included, "contains" being the character-by-character reading of ReferenceMatch.h in the
//   code page;
// - the core's UTF-8 check agrees with Qt's on every line;
// - each output line is made of bytes of one input line, in order; input lines keep their
//   order; lines only ever shrink;
// - "Remove line number n in all files" with n = 0 gives back the input's lines exactly;
// - a file with a NUL byte and no UTF-16 or UTF-32 mark is binary: the loop ends before the
//   result is finished, so nothing is ever written of it;
// - decoding then encoding gives the input back: read as the run reads it (the start put before
//   it), nothing removed and line ends kept, the result is the input byte for byte, unless its
//   bytes do not decode (only in an encoding that is decoded) or it is binary;
// - in a decoded file the operation's result, decoded again, is the reference's over its
//   decoded lines;
// - with a pattern option on, the four operations that use the condition give the reference's
//   result: for a literal text the reading of ReferenceMatch.h with its case and word edges,
//   for a regular expression PCRE2 called directly on the line as the matcher reads it (the
//   code page's characters decoded), with the same limits; a pattern refused, or one that
//   reaches the limits on a line, is so for both.
#include "ReferenceMatch.h"
#include "files/Encoding.h"
#include "files/RFTSFSO.h"
#include "files/Transcoding.h"
#include "text/Matcher.h"
#include "text/Operations.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
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

struct Script {
    int operation = 0;
    bool changeChooser = false, changeText = false;
    std::size_t chunk = 0;
    QString text, otherText;
    long long lineNumber = 0;
    unsigned yieldEvery = 0;
    const CodePage *page = &DefaultCodePage();
    unsigned start = 0;
    std::string_view file;

    bool yieldRunsBefore(std::size_t line) const {
        return yieldEvery != 0 && line % yieldEvery == 0;
    }
    // What the controls hold after the yield before line `line` (or at the start for line 0).
    QString textAt(std::size_t yields) const {
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
        const QString text = s.textAt(yields);
        const bool contains = !line.empty() && Reference::Contains(line, text, *s.page);
        switch (loop) {
            case 1:
                if (contains)
                    kept.push_back(line);
                break;
            case 3:
                if (contains)
                    kept.push_back(Reference::Except(line, text, *s.page));
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
                    kept.push_back(Reference::Without(line, text, *s.page));
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
    // A script that never yields lets the loops keep runs of lines at once.
    bool yieldsByClock() const override { return s_.yieldEvery == 0; }
    QString conditionText() override { return s_.textAt(yields_); }
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

// What the encoding checks put before the file.
std::string StartOf(unsigned start) {
    static const std::string_view starts[] = {
        "",
        "\xEF\xBB\xBF",
        "\xFF\xFE",
        "\xFE\xFF",
        std::string_view("\xFF\xFE\0\0", 4),
        std::string_view("\0\0\xFE\xFF", 4),
        "<meta charset=shift_jis>\n",
        "<meta charset=gb18030>\n",
    };
    return std::string(starts[start % 8]);
}

// The lines of a file as the run reads it, or false when it is no text.
bool DecodedLines(std::string_view bytes, std::size_t chunk, std::vector<std::string> &lines) {
    try {
        auto reader = RFTSFSO::LineReader::fromBytes(bytes, chunk);
        std::string_view line;
        while (reader.next(line))
            lines.emplace_back(line);
        return true;
    } catch (const RFTSFSO::NotText &) {
        return false;
    }
}

// Decoding then encoding gives the input back; a binary file is never finished; in a decoded
// file the result, decoded, is the reference's.
void CheckEncodings(const Script &s) {
    const std::string bytes = StartOf(s.start) + std::string(s.file);
    const RFTSFSO::FileEncoding encoding = RFTSFSO::DetectEncoding(bytes);
    const bool nul = bytes.find('\0') != std::string::npos;
    std::string text;
    try {
        auto reader = RFTSFSO::LineReader::fromBytes(bytes, s.chunk);
        RFTSFSO::ResultWriter writer(&text, &reader, true);
        Script same = s;
        same.operation = 4;
        same.lineNumber = 0;
        ScriptContext ctx(same);
        RunLoop(reader, writer, ctx, 0, s.page);
        writer.finish();
        Check(!nul || encoding.decoded(), "a file with a NUL byte is binary");
        Check(text == bytes, "decoding then encoding gives the input back");
    } catch (const RFTSFSO::NotText &notText) {
        const bool binary = notText.why() == RFTSFSO::NotText::Why::Binary;
        Check(binary == (nul && !encoding.decoded()), "binary exactly when a NUL is not text");
        Check(binary || encoding.decoded(), "only a decoded file fails to decode");
        return;
    }
    if (!encoding.decoded())
        return;
    std::vector<std::string> lines;
    Check(DecodedLines(bytes, s.chunk, lines), "a file decodes again");
    auto reader = RFTSFSO::LineReader::fromBytes(bytes, s.chunk);
    std::string result;
    RFTSFSO::ResultWriter writer(&result, &reader);
    ScriptContext ctx(s);
    RunLoop(reader, writer, ctx, s.lineNumber, s.page);
    writer.finish();
    // The result without its mark, decoded.
    const std::string_view body = std::string_view(result).substr(
        result.starts_with(encoding.mark()) ? encoding.mark().size() : 0);
    const std::unique_ptr<RFTSFSO::Decoder> decoder = RFTSFSO::MakeDecoder(encoding);
    std::string decoded(body.size() * 3 + 16, '\0');
    const RFTSFSO::Decoder::Step step =
        decoder->decode(body.data(), body.size(), decoded.data(), decoded.size(), true);
    Check(step.consumed == body.size(), "a result decodes whole");
    decoded.resize(step.produced);
    // A text that the file's charset cannot hold is found nowhere in it, as the empty text.
    Script reference = s;
    for (QString *text : {&reference.text, &reference.otherText}) {
        const QByteArray utf8 = text->toUtf8();
        if (!RFTSFSO::CanHold(encoding, std::string_view(utf8.constData(), utf8.size())))
            *text = QString();
    }
    Check(KeptLines(decoded, writer.linesKept()) == ReferenceRun(reference, lines),
          "a decoded file's result agrees with the reference");
}

// --- the pattern options ----------------------------------------------------------------------

// A regular expression compiled by PCRE2 as the program's users expect it, matched on each line
// decoded as text (a line that is not UTF-8 as characters of its code page).
class LibraryPattern {
public:
    LibraryPattern(const QString &text, const MatchOptions &options) {
        const std::string pattern = text.toUtf8().toStdString();
        const std::uint32_t flags =
            PCRE2_UTF | PCRE2_UCP | (options.matchCase ? 0u : std::uint32_t(PCRE2_CASELESS));
        auto compile = [&](const std::string &p) {
            int error = 0;
            PCRE2_SIZE offset = 0;
            return pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), flags, &error,
                                 &offset, nullptr);
        };
        code_ = compile(pattern);
        if (code_ != nullptr && options.wholeWords) {
            // No word character just before or after; a line end closes an extended comment.
            pcre2_code_free(code_);
            const std::string before = "(?<![\\p{L}\\p{N}_])(?:", after = ")(?![\\p{L}\\p{N}_])";
            code_ = compile(before + pattern + after);
            if (code_ == nullptr)
                code_ = compile(before + pattern + '\n' + after);
        }
        if (code_ == nullptr)
            return;
        pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
        data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        pcre2_set_match_limit(context_, 1000000);
        pcre2_set_depth_limit(context_, 10000);
        pcre2_jit_stack_assign(context_, nullptr, stack_);
    }
    ~LibraryPattern() {
        pcre2_match_data_free(data_);
        pcre2_code_free(code_);
        pcre2_jit_stack_free(stack_);
        pcre2_match_context_free(context_);
    }
    LibraryPattern(const LibraryPattern &) = delete;
    LibraryPattern &operator=(const LibraryPattern &) = delete;

    bool compiled() const { return code_ != nullptr; }

    // Up to `most` matches in the line, as its bytes, left to right; after an empty match the
    // search goes on one character later. False when the library's limits are reached.
    bool matches(std::string_view line, const CodePage &page, std::size_t most,
                 std::vector<Reference::Found> &found) {
        const bool utf8 = Reference::IsUtf8(line);
        std::string decoded;
        std::vector<std::size_t> byteAt;  // for each decoded character's first byte and the end
        if (!utf8) {
            for (std::size_t i = 0; i < line.size(); ++i) {
                byteAt.resize(decoded.size() + 1);
                byteAt[decoded.size()] = i;
                const char32_t c = CharacterOf(page, static_cast<unsigned char>(line[i]));
                const char32_t u = c == NoCharacter ? U'\xFFFD' : c;
                decoded += QString::fromUcs4(&u, 1).toStdString();
            }
            byteAt.resize(decoded.size() + 1);
            byteAt[decoded.size()] = line.size();
        }
        const std::string_view subject = utf8 ? line : std::string_view(decoded);
        auto toByte = [&](std::size_t at) { return utf8 ? at : byteAt[at]; };
        for (std::size_t from = 0; found.size() < most && from <= subject.size();) {
            const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                       subject.size(), from, 0, data_, context_);
            if (rc == PCRE2_ERROR_NOMATCH)
                return true;
            if (rc < 0)
                return false;
            const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data_);
            const std::size_t start = ovector[0], end = std::max(ovector[0], ovector[1]);
            found.push_back({toByte(start), toByte(end) - toByte(start)});
            from = end;
            if (end == start) {
                ++from;
                while (from < subject.size() && (subject[from] & 0xC0) == 0x80)
                    ++from;
            }
        }
        return true;
    }

private:
    pcre2_code *code_ = nullptr;
    pcre2_match_data *data_ = nullptr;
    pcre2_match_context *context_ = pcre2_match_context_create(nullptr);
    pcre2_jit_stack *stack_ = pcre2_jit_stack_create(32 << 10, 1 << 20, nullptr);
};

// Operations 0 to 3 with the options on, no yields: the result, or the line (from 1) that was
// too complex.
struct OptionResult {
    std::vector<std::string> kept;
    std::uint64_t tooComplex = 0;
    bool refused = false;
    bool operator==(const OptionResult &) const = default;
};

OptionResult ReferenceWithOptions(const Script &s, const MatchOptions &options,
                                  const std::vector<std::string> &lines) {
    OptionResult result;
    std::optional<LibraryPattern> library;
    if (options.regex && !s.text.isEmpty() && QStringView(s.text).isValidUtf16()) {
        library.emplace(s.text, options);
        if (!library->compiled()) {
            result.refused = true;
            return result;
        }
    }
    // Operations 0 and 1 only ask whether a line has a match.
    const std::size_t most = s.operation <= 1 ? 1 : std::size_t(-1);
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const std::string &line = lines[j];
        std::vector<Reference::Found> found;
        if (line.empty()) {
        } else if (library) {
            if (!library->matches(line, *s.page, most, found)) {
                result.tooComplex = j + 1;
                return result;
            }
        } else if (!options.regex) {
            found = Reference::Occurrences(line, s.text, 0, *s.page,
                                           {options.matchCase, options.wholeWords});
        }
        std::string kept;
        std::size_t from = 0;
        for (const Reference::Found &f : found) {
            if (s.operation == 3)
                kept += line.substr(f.at, f.size);
            else
                kept += line.substr(from, f.at - from);
            from = f.at + f.size;
        }
        if (s.operation == 2)
            kept += line.substr(from);
        const bool contains = !found.empty();
        if (s.operation == 1 || s.operation == 3) {
            if (contains)
                result.kept.push_back(s.operation == 1 ? line : kept);
        } else if (!contains) {
            result.kept.push_back(line);
        } else if (s.operation == 2) {
            result.kept.push_back(kept);
        }
    }
    return result;
}

class FixedContext : public LineContext {
public:
    FixedContext(const QString &text, int operation) : text_(text), operation_(operation) {}
    bool letEventsRun() override { return false; }
    bool yieldsByClock() const override { return true; }
    QString conditionText() override { return text_; }
    QString chooserText() override { return Captions[std::size_t(operation_)]; }

private:
    QString text_;
    int operation_;
};

void CheckOptions(const Script &s, const MatchOptions &options,
                  const std::vector<std::string> &lines) {
    OptionResult got;
    std::shared_ptr<const Matcher> matcher;
    try {
        matcher = Matcher::Compile(s.text, options);
    } catch (const InvalidPattern &) {
        got.refused = true;
    }
    if (matcher) {
        const RFTSFSO::ReadOptions asTheyAre{.binaryAsText = true, .detect = false};
        auto reader = RFTSFSO::LineReader::fromBytes(s.file, s.chunk, asTheyAre);
        std::string text;
        RFTSFSO::ResultWriter writer(&text);
        FixedContext ctx(s.text, s.operation);
        try {
            RunLoop(reader, writer, ctx, 0, s.page, matcher.get());
            writer.finish();
            got.kept = KeptLines(text, writer.linesKept());
        } catch (const PatternTooComplex &tooComplex) {
            got.tooComplex = tooComplex.line;
        }
    }
    Check(got == ReferenceWithOptions(s, options, lines), "the options agree with the reference");
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
    MatchOptions options;
    options.matchCase = head & 0x20;
    options.wholeWords = head & 0x40;
    options.regex = head & 0x80;
    const unsigned chunk = byte() % 201;
    s.chunk = chunk == 0 ? RFTSFSO::LineReader::DefaultChunk : chunk;
    auto condition = [&]() {
        const unsigned head = byte();
        const std::size_t length = head % 8;
        switch (head >> 3 & 3) {
            case 0: {
                const std::string bytes = take(length);
                return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
            }
            case 1: {
                const std::string bytes = take(length);
                return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
            }
            default: {
                QString units;
                for (std::size_t i = 0; i < length; ++i) {
                    const unsigned low = byte(), high = byte();
                    units.append(QChar(static_cast<char16_t>(low | high << 8)));
                }
                return units;
            }
        }
    };
    s.text = condition();
    s.otherText = condition();
    const unsigned low = byte(), high = byte();
    s.lineNumber = static_cast<std::int16_t>(low | high << 8);
    s.yieldEvery = byte() % 8;
    s.page = &CodePages()[byte() % CodePageCount];
    s.start = byte();
    s.file = in;

    // The splitter, and the operation, on the bytes as they are.
    const RFTSFSO::ReadOptions asTheyAre{.binaryAsText = true, .detect = false};
    const std::vector<std::string> lines = ReferenceLines(s.file);
    {
        auto reader = RFTSFSO::LineReader::fromBytes(s.file, s.chunk, asTheyAre);
        std::string_view line;
        std::size_t i = 0;
        while (reader.next(line)) {
            Check(i < lines.size() && line == lines[i], "reader agrees with the reference");
            Check(IsValidUtf8(line) == Reference::IsUtf8(line), "UTF-8 check agrees with Qt's");
            ++i;
        }
        Check(i == lines.size(), "reader gives every line");
    }

    // The operation.
    auto reader = RFTSFSO::LineReader::fromBytes(s.file, s.chunk, asTheyAre);
    std::string text;
    RFTSFSO::ResultWriter writer(&text);
    ScriptContext ctx(s);
    RunLoop(reader, writer, ctx, s.lineNumber, s.page);
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

    CheckEncodings(s);
    if (options.any() && s.operation <= 3)
        CheckOptions(s, options, lines);

    // The stand-alone functions agree with the steps (in Windows-1252).
    if (!lines.empty()) {
        Check(RemoveCharactersExcept(lines[0], s.text) == Reference::Except(lines[0], s.text),
              "RemoveCharactersExcept");
        Check(RemoveOccurrences(lines[0], s.text) == Reference::Without(lines[0], s.text),
              "RemoveOccurrences");
    }
    return 0;
}
