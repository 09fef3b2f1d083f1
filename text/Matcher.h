// The condition as a pattern: "Match case", "Whole words" and "Regular expression", and the
// replacement of `strelmark replace`.
//
// With every option off the condition is the literal, case-blind text of text/TextMatch.h, and
// the loops search it as they always did; a Matcher is only made when an option is on or a
// replacement is asked for. It is compiled once (PCRE2, 8-bit, UTF and Unicode properties, its
// JIT where the machine has one) and shared by every file and thread of a run; each loop keeps
// a MatchState of its own.
//
// - A literal text is matched as itself: every character it has, nothing special.
// - Without "Match case" letters match in either case by the library's caseless matching, which
//   follows Unicode's simple case folding as the literal search does (the Kelvin sign matches
//   k, the long s matches s, "ß" matches only "ß" and "ẞ").
// - "Whole words": a match with no word character (a Unicode letter, digit, or underscore) just
//   before or just after it.
// - A line that is valid UTF-8 is matched as it is. Any other line is read as characters of its
//   code page (text/CodePages.h): decoded for matching, its matches mapped back to its bytes.
// - The library's match and depth limits keep a pattern that backtracks without end from
//   hanging the run: the line reports it (MatchState::Result::TooComplex).
// - A search that has more than SearchWindow bytes ahead goes through them a window of starting
//   places at a time, and between windows asks whether to go on (MatchState::
//   whileSearchingLongLine), so that a stop ends it soon in a line of a gigabyte too. A match
//   must start in the window but may run on to the end of the line, and lookbehind, lookahead,
//   $ and \b see the whole line: the answer is that of one search.
#pragma once

#include "text/CodePages.h"
#include "text/TextMatch.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Operations {

// How many starting places of a long line one call of the library tries before the search asks
// whether to go on: about a fiftieth of a second for a simple pattern.
inline constexpr std::size_t SearchWindow = std::size_t(8) << 20;

struct MatchOptions {
    bool matchCase = false;
    bool wholeWords = false;
    bool regex = false;

    bool any() const { return matchCase || wholeWords || regex; }
    bool operator==(const MatchOptions &) const = default;
};

// The options as the preview's heading and a run's summary name them: "match case, whole
// words, regular expression"; empty when none is on.
QString DescribeOptions(const MatchOptions &options);

// A pattern or a replacement that cannot be used, with the library's words and the character
// (counted from 0) where it went wrong: "Invalid regular expression at character 7: missing
// closing parenthesis".
class InvalidPattern : public std::runtime_error {
public:
    explicit InvalidPattern(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }

private:
    QString message_;
};

// Thrown by a loop when the pattern reaches the library's limits on a line: the file is left
// alone. `line` counts from 1.
struct PatternTooComplex {
    std::uint64_t line = 0;
};

class Matcher {
public:
    // Compiles `text` with `options`. With `replaces`, each match is to be replaced by
    // `replacement`: as it is, or, for a regular expression, with $1, ${1}, ${name} for groups
    // and $$ for a dollar. Throws InvalidPattern. The empty text, and one that is not valid
    // Unicode, match nowhere.
    static std::shared_ptr<const Matcher> Compile(QStringView text, const MatchOptions &options,
                                                  bool replaces = false,
                                                  QStringView replacement = {});
    ~Matcher();
    Matcher(const Matcher &) = delete;
    Matcher &operator=(const Matcher &) = delete;

    const QString &text() const { return text_; }
    const MatchOptions &options() const { return options_; }
    bool replaces() const { return replaces_; }
    const QString &replacementText() const { return replacementText_; }
    bool nowhere() const { return code_ == nullptr; }

    // One part of the replacement: literal bytes (UTF-8), or a group's match.
    struct Part {
        std::string literal;
        int group = -1;  // -1: the literal
    };
    const std::vector<Part> &replacement() const { return parts_; }

private:
    friend class MatchState;
    Matcher() = default;
    // The pattern compiled again for searching in windows, the first time a long line needs it
    // (the JIT code that can be limited costs every short line a little more). Null for a
    // pattern whose answer depends on where a search starts (\G, (*COMMIT), (*SKIP)), and when
    // compiling fails: such a line is searched in one call.
    void *windowedCode() const;

    QString text_;
    MatchOptions options_;
    bool replaces_ = false;
    QString replacementText_;
    void *code_ = nullptr;  // pcre2_code_8
    std::vector<Part> parts_;
    std::string pattern_;  // as compiled, for the windowed code
    std::uint32_t flags_ = 0;
    bool windowable_ = false;
    mutable std::once_flag windowedOnce_;
    mutable void *windowed_ = nullptr;  // pcre2_code_8
};

// Matching one file's lines, for one thread.
class MatchState {
public:
    enum class Result { Found, None, TooComplex };

    // `page`: the code page of the lines that are not UTF-8.
    MatchState(const Matcher &matcher, const CodePage &page);
    ~MatchState();
    MatchState(const MatchState &) = delete;
    MatchState &operator=(const MatchState &) = delete;

    // Takes the next line: the finds that follow are in it.
    void setLine(Line &line);
    // While a search goes through a long line, `look` is called after each SearchWindow bytes
    // of it, so that a run can stop there by throwing. Empty: nothing is called.
    void whileSearchingLongLine(std::function<void()> look) { look_ = std::move(look); }
    // The first match that starts at or after `from` (a byte of the line that starts a
    // character).
    Result find(std::size_t from, Occurrence &found);
    // Where the search goes on after an empty match at `at`: one character on.
    std::size_t after(std::size_t at) const;
    // Appends the replacement of the match found last, in the line's own form (UTF-8, or the
    // bytes of its code page).
    void appendReplacement(std::string &out) const;
    // Whether the replacement can be written into the line taken last (a line read in a code
    // page that has no form of it cannot be).
    bool canReplace() const;

private:
    const Matcher &matcher_;
    const CodePage &page_;
    void *data_ = nullptr;  // pcre2_match_data_8
    std::string_view line_;
    bool utf8_ = true;
    std::function<void()> look_;
    std::size_t lookedAt_ = 0;  // where in the subject the search last asked to go on
    // The library's answer for a subject that has more than SearchWindow bytes from `start`.
    int matchInWindows(std::string_view subject, std::size_t start);
    // Where the byte `at` of a line that is not UTF-8 is in decoded_, and back.
    std::size_t decodedAt(std::size_t at) const;
    std::size_t byteAt(std::size_t decoded) const;

    std::string decoded_;  // a line that is not UTF-8, as UTF-8
    // Where every 64th byte of that line is in decoded_: a few bytes more for a line of many
    // megabytes, rather than tables as long as it.
    std::vector<std::size_t> marks_;
    std::array<std::array<char, 3>, 256> utf8Of_{};  // each byte's character in the page, as UTF-8
    std::array<unsigned char, 256> lengthOf_{};      // and its length (0: not made yet)
    std::vector<std::string> pagedLiterals_;         // the replacement's literals in the page
    bool pageHoldsReplacement_ = true;
};

}  // namespace Operations
