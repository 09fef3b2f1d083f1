#include "text/Matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QStringList>

#include <algorithm>
#include <array>

namespace Operations {

namespace {

// Enough for any pattern a person writes over a line of text; a pattern that backtracks without
// end reaches them in well under a second.
constexpr std::uint32_t MatchLimit = 1000000;
constexpr std::uint32_t DepthLimit = 10000;
constexpr PCRE2_SIZE JitStackStart = PCRE2_SIZE(32) << 10, JitStackMost = PCRE2_SIZE(1) << 20;

// A character that "Whole words" does not let stand just before or after a match.
const std::string WordCharacter = "[\\p{L}\\p{N}_]";

struct CodeDeleter {
    void operator()(pcre2_code *code) const { pcre2_code_free(code); }
};
using Code = std::unique_ptr<pcre2_code, CodeDeleter>;

pcre2_code *CodeOf(void *code) {
    return static_cast<pcre2_code *>(code);
}

// The match contexts of this thread: the limits, and a JIT stack of its own; `windowed` the
// same for the windowed code, whose offset limit each window sets (the plain code refuses one).
struct ThreadMatching {
    pcre2_match_context *context = pcre2_match_context_create(nullptr);
    pcre2_match_context *windowed = nullptr;
    pcre2_jit_stack *stack = pcre2_jit_stack_create(JitStackStart, JitStackMost, nullptr);
    ThreadMatching() {
        pcre2_set_match_limit(context, MatchLimit);
        pcre2_set_depth_limit(context, DepthLimit);
        if (stack != nullptr)
            pcre2_jit_stack_assign(context, nullptr, stack);
        windowed = pcre2_match_context_copy(context);
    }
    ~ThreadMatching() {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(windowed);
        pcre2_match_context_free(context);
    }
    ThreadMatching(const ThreadMatching &) = delete;
    ThreadMatching &operator=(const ThreadMatching &) = delete;
};

ThreadMatching &ThreadContexts() {
    thread_local ThreadMatching matching;
    return matching;
}

// Whether a regular expression may be searched in windows: not when it holds \G (the start of
// each window would be a place it matches) or a verb that ends the whole search, which one call
// would not go on after and a later window would. Looked for in the text, so that a \\G or a
// quoted one counts too: such a line is only searched in one call.
bool Windowable(std::string_view regex) {
    for (const std::string_view word : {"\\G", "(*COMMIT", "(*SKIP"}) {
        if (regex.find(word) != std::string_view::npos)
            return false;
    }
    return true;
}

QString LibraryMessage(int error) {
    std::array<PCRE2_UCHAR, 256> text{};
    const int length = pcre2_get_error_message(error, text.data(), text.size());
    return length < 0 ? QStringLiteral("error %1").arg(error)
                      : QString::fromUtf8(reinterpret_cast<const char *>(text.data()), length);
}

// The characters of UTF-8 `bytes` before byte `offset`.
qsizetype CharactersBefore(std::string_view bytes, std::size_t offset) {
    qsizetype count = 0;
    for (std::size_t i = 0; i < std::min(offset, bytes.size()); ++i)
        count += (static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80;
    return count;
}

// A literal text as a pattern that matches it: each ASCII character that is no letter or digit
// escaped, every other character as it is.
std::string Escaped(std::string_view utf8) {
    std::string pattern;
    pattern.reserve(utf8.size() * 2);
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain =
            b >= 0x80 || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
        if (b == 0) {
            pattern += "\\x{0}";
            continue;
        }
        if (!plain)
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

Code CompileOnce(const std::string &pattern, std::uint32_t flags, int &error, PCRE2_SIZE &offset) {
    return Code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                              &error, &offset, nullptr));
}

// $1, ${1}, ${name} and $$ in the replacement of a regular expression.
std::vector<Matcher::Part> ParseReplacement(const QString &replacement, bool regex,
                                            const pcre2_code *code) {
    std::vector<Matcher::Part> parts;
    if (!regex) {
        parts.push_back({replacement.toStdString(), -1});
        return parts;
    }
    std::uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    auto fail = [](qsizetype at, const QString &why) {
        throw InvalidPattern(
            QStringLiteral("Invalid replacement at character %1: %2").arg(at).arg(why));
    };
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            parts.push_back({literal.toStdString(), -1});
        literal.clear();
    };
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        if (replacement[i] != u'$') {
            literal += replacement[i];
            continue;
        }
        const qsizetype at = i++;
        if (i < replacement.size() && replacement[i] == u'$') {
            literal += u'$';
            continue;
        }
        QString name;
        if (i < replacement.size() && replacement[i] == u'{') {
            const qsizetype close = replacement.indexOf(u'}', i);
            if (close < 0)
                fail(at, QStringLiteral("missing closing brace"));
            name = replacement.mid(i + 1, close - i - 1);
            i = close;
        } else {
            while (i < replacement.size() && replacement[i].isDigit() && replacement[i] < u'\x80')
                name += replacement[i++];
            --i;
        }
        if (name.isEmpty())
            fail(at, QStringLiteral("$ must be followed by a group number, {name} or $"));
        bool number = false;
        int group = name.toInt(&number);
        if (!number) {
            const std::string bytes = name.toStdString();
            group =
                pcre2_substring_number_from_name(code, reinterpret_cast<PCRE2_SPTR>(bytes.c_str()));
            if (group < 0)
                fail(at, QStringLiteral("no group is named %1").arg(name));
        } else if (group < 0 || std::uint32_t(group) > groups) {
            fail(at, QStringLiteral("there is no group %1").arg(name));
        }
        flush();
        parts.push_back({{}, group});
    }
    flush();
    return parts;
}

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

QString DescribeOptions(const MatchOptions &options) {
    QStringList names;
    if (options.matchCase)
        names.append(QStringLiteral("match case"));
    if (options.wholeWords)
        names.append(QStringLiteral("whole words"));
    if (options.regex)
        names.append(QStringLiteral("regular expression"));
    return names.join(QStringLiteral(", "));
}

std::shared_ptr<const Matcher> Matcher::Compile(QStringView text, const MatchOptions &options,
                                                bool replaces, QStringView replacement) {
    std::shared_ptr<Matcher> matcher(new Matcher);
    matcher->text_ = text.toString();
    matcher->options_ = options;
    matcher->replaces_ = replaces;
    matcher->replacementText_ = replacement.toString();
    if (text.isEmpty() || !text.isValidUtf16() || !replacement.isValidUtf16())
        return matcher;
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), std::size_t(utf8.size()));
    const std::string pattern = options.regex ? std::string(bytes) : Escaped(bytes);
    const std::uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_NO_UTF_CHECK |
                                (options.matchCase ? 0u : std::uint32_t(PCRE2_CASELESS));
    int error = 0;
    PCRE2_SIZE offset = 0;
    std::string compiled = pattern;
    Code code = CompileOnce(compiled, flags, error, offset);
    auto refuse = [&] {
        throw InvalidPattern(QStringLiteral("Invalid regular expression at character %1: %2")
                                 .arg(CharactersBefore(bytes, offset))
                                 .arg(LibraryMessage(error)));
    };
    if (!code)
        refuse();
    if (options.wholeWords) {
        // The pattern between two looks at the characters around a match. A comment of the
        // extended syntax running to the end would swallow the closing parenthesis; a line end
        // ends it.
        const std::string before = "(?<!" + WordCharacter + ")(?:";
        const std::string after = ")(?!" + WordCharacter + ")";
        compiled = before + pattern + after;
        code = CompileOnce(compiled, flags, error, offset);
        if (!code) {
            compiled = before + pattern + '\n' + after;
            code = CompileOnce(compiled, flags, error, offset);
        }
        if (!code) {
            offset = bytes.size();
            refuse();
        }
    }
    pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);  // else the interpreter matches
    if (replaces)
        matcher->parts_ = ParseReplacement(replacement.toString(), options.regex, code.get());
    matcher->code_ = code.release();
    matcher->windowable_ = !options.regex || Windowable(bytes);
    if (matcher->windowable_) {
        matcher->pattern_ = std::move(compiled);
        matcher->flags_ = flags;
    }
    return matcher;
}

Matcher::~Matcher() {
    pcre2_code_free(CodeOf(windowed_));
    pcre2_code_free(CodeOf(code_));
}

void *Matcher::windowedCode() const {
    std::call_once(windowedOnce_, [this] {
        if (!windowable_)
            return;
        int error = 0;
        PCRE2_SIZE offset = 0;
        Code code = CompileOnce(pattern_, flags_ | PCRE2_USE_OFFSET_LIMIT, error, offset);
        if (code)
            pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
        windowed_ = code.release();
    });
    return windowed_;
}

MatchState::MatchState(const Matcher &matcher, const CodePage &page)
    : matcher_(matcher), page_(page) {
    if (matcher.nowhere())
        return;
    data_ = pcre2_match_data_create_from_pattern(CodeOf(matcher.code_), nullptr);
    for (const Matcher::Part &part : matcher.replacement()) {
        std::string paged;
        for (const char32_t c : QString::fromStdString(part.literal).toUcs4()) {
            const int byte = ByteOf(page, c);
            if (byte < 0)
                pageHoldsReplacement_ = false;
            paged += char(byte);
        }
        pagedLiterals_.push_back(std::move(paged));
    }
}

MatchState::~MatchState() {
    pcre2_match_data_free(static_cast<pcre2_match_data *>(data_));
}

void MatchState::setLine(Line &line) {
    line_ = line.bytes();
    utf8_ = line.isUtf8();
    lookedAt_ = 0;
    if (utf8_ || data_ == nullptr)
        return;
    if (lengthOf_[0] == 0) {
        for (int b = 0; b < 256; ++b) {
            const char32_t c = CharacterOf(page_, static_cast<unsigned char>(b));
            std::string utf8;
            AppendUtf8(utf8, c == NoCharacter ? U'\xFFFD' : c);
            std::copy(utf8.begin(), utf8.end(), utf8Of_[b].begin());
            lengthOf_[b] = static_cast<unsigned char>(utf8.size());
        }
    }
    decoded_.clear();
    marks_.clear();
    decoded_.reserve(line_.size() + line_.size() / 8);
    marks_.reserve(line_.size() / 64 + 1);
    for (std::size_t i = 0; i < line_.size(); ++i) {
        if (i % 64 == 0)
            marks_.push_back(decoded_.size());
        const auto b = static_cast<unsigned char>(line_[i]);
        decoded_.append(utf8Of_[b].data(), lengthOf_[b]);
    }
}

std::size_t MatchState::decodedAt(std::size_t at) const {
    if (at >= line_.size())
        return decoded_.size();
    std::size_t decoded = marks_[at / 64];
    for (std::size_t i = at / 64 * 64; i < at; ++i)
        decoded += lengthOf_[static_cast<unsigned char>(line_[i])];
    return decoded;
}

std::size_t MatchState::byteAt(std::size_t decoded) const {
    const auto mark = std::upper_bound(marks_.begin(), marks_.end(), decoded) - 1;
    std::size_t at = static_cast<std::size_t>(mark - marks_.begin()) * 64;
    for (std::size_t d = *mark; d < decoded; ++at)
        d += lengthOf_[static_cast<unsigned char>(line_[at])];
    return at;
}

MatchState::Result MatchState::find(std::size_t from, Occurrence &found) {
    if (data_ == nullptr || from > line_.size())
        return Result::None;
    const std::string_view subject = utf8_ ? line_ : std::string_view(decoded_);
    auto *data = static_cast<pcre2_match_data *>(data_);
    const std::size_t at = utf8_ ? from : decodedAt(from);
    const int rc =
        subject.size() - at > SearchWindow
            ? matchInWindows(subject, at)
            : pcre2_match(CodeOf(matcher_.code_), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                          subject.size(), at, PCRE2_NO_UTF_CHECK, data, ThreadContexts().context);
    if (rc == PCRE2_ERROR_NOMATCH)
        return Result::None;
    if (rc < 0)
        return Result::TooComplex;
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data);
    const std::size_t start = ovector[0], end = std::max(ovector[0], ovector[1]);
    found.at = utf8_ ? start : byteAt(start);
    found.size = (utf8_ ? end : byteAt(end)) - found.at;
    return Result::Found;
}

// A window is one call that may start a match at its first byte up to its limit, and looks at
// the whole subject; the next window starts at the first character after the limit (a start
// inside a UTF-8 sequence is not allowed: the subject is UTF-8, a line in a code page decoded).
// The library counts its match limit per starting place, so the windows do not change which
// line is too complex; were it counted per call, it would be per window, which is as good a
// guard.
int MatchState::matchInWindows(std::string_view subject, std::size_t start) {
    auto *data = static_cast<pcre2_match_data *>(data_);
    const auto *bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
    const pcre2_code *windowed = CodeOf(matcher_.windowedCode());
    if (windowed == nullptr)
        return pcre2_match(CodeOf(matcher_.code_), bytes, subject.size(), start, PCRE2_NO_UTF_CHECK,
                           data, ThreadContexts().context);
    pcre2_match_context *context = ThreadContexts().windowed;
    for (;;) {
        if (start - lookedAt_ >= SearchWindow) {
            lookedAt_ = start;
            if (look_)
                look_();
        }
        const std::size_t limit = std::min(start + SearchWindow, subject.size());
        pcre2_set_offset_limit(context, limit);
        const int rc =
            pcre2_match(windowed, bytes, subject.size(), start, PCRE2_NO_UTF_CHECK, data, context);
        if (rc != PCRE2_ERROR_NOMATCH || limit == subject.size())
            return rc;
        start = limit + 1;
        while (start < subject.size() &&
               (static_cast<unsigned char>(subject[start]) & 0xC0) == 0x80)
            ++start;
    }
}

std::size_t MatchState::after(std::size_t at) const {
    if (at >= line_.size() || !utf8_)
        return at + 1;
    const auto lead = static_cast<unsigned char>(line_[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return std::min(at + length, line_.size());
}

bool MatchState::canReplace() const {
    return utf8_ || pageHoldsReplacement_;
}

void MatchState::appendReplacement(std::string &out) const {
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(static_cast<pcre2_match_data *>(data_));
    const std::vector<Matcher::Part> &parts = matcher_.replacement();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i].group < 0) {
            out += utf8_ ? parts[i].literal : pagedLiterals_[i];
            continue;
        }
        const std::size_t group = 2 * std::size_t(parts[i].group);
        const PCRE2_SIZE start = ovector[group], end = ovector[group + 1];
        if (start == PCRE2_UNSET || end < start)
            continue;
        if (utf8_)
            out += line_.substr(start, end - start);
        else
            out += line_.substr(byteAt(start), byteAt(end) - byteAt(start));
    }
}

}  // namespace Operations
