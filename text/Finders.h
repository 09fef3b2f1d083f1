// The ways the operations' loops find the condition in a line (text/Operations.cpp, its only
// user): the condition of the moment (Condition), the search of the reader's buffer ahead
// (Lookahead, LineSearch), the literal condition (LiteralFinder) and the condition with an
// option on or to be replaced (MatcherFinder), and the yields inside a very long line (Yields).
// Each finder answers the first occurrence in a line, each occurrence and the pieces between,
// and where, after a line without one, the next can begin at the soonest.
#pragma once

#include "files/LineReader.h"
#include "files/Transcoding.h"
#include "text/Matcher.h"
#include "text/Operations.h"
#include "text/TextMatch.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace Operations::Finding {

using RFTSFSO::LineReader;

// What a file's lines are read as: the page of the lines that are not UTF-8, and the file's
// encoding, which may not hold every character.
struct FileText {
    const CodePage &page;
    const RFTSFSO::FileEncoding &encoding;
};

// The condition text of the moment, ready for searching.
class Condition {
public:
    Condition(LineContext &ctx, const FileText &file) : ctx_(ctx), file_(file) { reread(); }
    // True when the text changed.
    bool reread() {
        QString text = ctx_.conditionText();
        if (text == text_)
            return false;
        text_ = std::move(text);
        pattern_ = Pattern(text_, file_.page);
        if (file_.encoding.form == RFTSFSO::TextForm::Converted && !pattern_.empty()) {
            const QByteArray utf8 = text_.toUtf8();
            if (!RFTSFSO::CanHold(file_.encoding,
                                  std::string_view(utf8.constData(), std::size_t(utf8.size()))))
                pattern_ = Pattern();
        }
        return true;
    }
    const Pattern &pattern() const { return pattern_; }

private:
    LineContext &ctx_;
    const FileText &file_;
    QString text_;
    Pattern pattern_;
};

// Where one search of the reader's buffer, from a line onwards, next finds something. It is
// searched once for many lines: where the thing is rare, most lines are answered by comparing
// two pointers.
class Lookahead {
public:
    void forget() { valid_ = false; }
    // What the last next() answered.
    const char *found() const { return next_; }

    // Where `search` (of the bytes ahead, giving an offset or npos) finds something at or after
    // `start`, the start of a line handed out by the reader just now; the end of the buffer
    // when it finds nothing.
    template <class Search>
    const char *next(const LineReader &input, const char *start, Search &&search) {
        if (!valid_ || refills_ != input.refills() || next_ < start) {
            const std::string_view ahead = input.bufferedFrom(start);
            const std::size_t at = search(ahead);
            next_ = at != Occurrence::npos ? start + at : ahead.data() + ahead.size();
            refills_ = input.refills();
            valid_ = true;
        }
        return next_;
    }

private:
    bool valid_ = false;
    std::uint64_t refills_ = 0;
    const char *next_ = nullptr;  // what was found, or the end of what was searched
};

// Whether each line in turn contains the condition text, and where first. An all-ASCII text is
// searched for in the buffer ahead (an occurrence counts only when it lies wholly inside the
// line, not across its end or into its CR LF), and where it has a k or an s, so are the Kelvin
// sign and the long s. For any other text the buffer ahead is searched for a byte of 0x80 or
// more, and only a line that holds one is searched on its own.
class LineSearch {
public:
    explicit LineSearch(const LineReader &input) : input_(input) {}

    // The condition text changed: what was found no longer holds.
    void forget() {
        text_.forget();
        nonAscii_.forget();
        kelvinOrLongS_.forget();
    }

    // The first occurrence in `line` (not empty, handed out by the reader just now).
    Occurrence find(Line &line, const Pattern &pattern) {
        const std::string_view bytes = line.bytes();
        const char *start = bytes.data();
        switch (pattern.kind()) {
            case Pattern::Kind::Nowhere:
                return {};
            case Pattern::Kind::Wide: {
                const char *high = nonAscii_.next(
                    input_, start, [](std::string_view ahead) { return FindNonAscii(ahead); });
                // A line of ASCII alone is valid UTF-8 and folds to ASCII alone.
                if (static_cast<std::size_t>(high - start) >= bytes.size())
                    return {};
                return pattern.find(line);
            }
            case Pattern::Kind::Ascii:
            case Pattern::Kind::FoldsToAscii:
                break;
        }
        const FoldedBytes &form = pattern.asciiForm();
        const char *next =
            text_.next(input_, start, [&](std::string_view ahead) { return form.find(ahead); });
        // An occurrence that starts in the line but runs past its end means that no later one
        // fits in the line either.
        const std::size_t at = static_cast<std::size_t>(next - start);
        const bool inLine = at + form.size() <= bytes.size();
        bool kelvinOrLongS = false;
        if (pattern.hasKOrS()) {
            const char *found = kelvinOrLongS_.next(
                input_, start, [](std::string_view ahead) { return FindKelvinOrLongS(ahead); });
            kelvinOrLongS = static_cast<std::size_t>(found - start) < bytes.size();
            line.setHasKelvinOrLongS(kelvinOrLongS);
        }
        if (pattern.kind() == Pattern::Kind::Ascii && !kelvinOrLongS)
            return inLine ? Occurrence{at, form.size()} : Occurrence{};
        if (!inLine && !kelvinOrLongS)
            return {};
        return pattern.find(line);
    }

    // After find() found nothing in `line`: where an occurrence could begin at the soonest, so
    // that no line that ends before it holds one.
    const char *clearUntil(Line &line, const Pattern &pattern) const {
        switch (pattern.kind()) {
            case Pattern::Kind::Nowhere: {
                const std::string_view ahead = input_.bufferedFrom(line.bytes().data());
                return ahead.data() + ahead.size();
            }
            case Pattern::Kind::Wide:
                return nonAscii_.found();
            case Pattern::Kind::Ascii:
            case Pattern::Kind::FoldsToAscii:
                break;
        }
        const char *next = text_.found();
        return pattern.hasKOrS() ? std::min(next, kelvinOrLongS_.found()) : next;
    }

private:
    const LineReader &input_;
    Lookahead text_, nonAscii_, kelvinOrLongS_;
};

// The yields of a loop inside a very long line. While the reader reads it, a yield that ran
// comes between the line before and this one, so what it changed is read again at once, as
// after a yield before a line. While the line is searched, what it changed is read before the
// next line, as the loop's own yield there would.
class Yields {
public:
    Yields(LineContext &ctx, LineReader &reader) : ctx_(ctx), reader_(reader) {
        reader.whileReadingLongLine([this] {
            if (ctx_.letEventsRunInLine() && reread_ != nullptr)
                reread_(loop_);
        });
    }
    ~Yields() { reader_.whileReadingLongLine({}); }
    Yields(const Yields &) = delete;
    Yields &operator=(const Yields &) = delete;

    LineContext &context() { return ctx_; }
    // Before each line: whether a yield ran, then or in the search of the line before.
    bool letEventsRun() {
        if (!ctx_.letEventsRun() && !ranInSearch_)
            return false;
        ranInSearch_ = false;
        return true;
    }
    // Inside the search of a long line.
    void letEventsRunInSearch() {
        if (ctx_.letEventsRunInLine())
            ranInSearch_ = true;
    }
    // What the loop does after a yield that ran (`reread` outlives the loop).
    template <class Reread>
    void afterEach(Reread &reread) {
        loop_ = &reread;
        reread_ = [](void *loop) { (*static_cast<Reread *>(loop))(); };
    }

private:
    LineContext &ctx_;
    LineReader &reader_;
    void *loop_ = nullptr;
    void (*reread_)(void *) = nullptr;
    bool ranInSearch_ = false;
};

// The literal, case-blind condition (every option off): its occurrences, as the loops have
// always searched them.
class LiteralFinder {
public:
    LiteralFinder(Yields &yields, const FileText &file, const LineReader &input, const Matcher *)
        : condition_(yields.context(), file), search_(input) {}
    // After a yield that ran.
    void reread() {
        if (condition_.reread())
            search_.forget();
    }
    // The first occurrence in `line` (not empty, handed out by the reader just now).
    Occurrence first(Line &line) { return search_.find(line, condition_.pattern()); }
    // After first() found nothing in `line`: the soonest place an occurrence could begin.
    const char *clearUntil(Line &line) const {
        return search_.clearUntil(line, condition_.pattern());
    }
    // Each occurrence, from the first one on.
    template <class Piece>
    void eachOccurrence(Line &line, Occurrence, Piece &&piece) {
        ForEachOccurrence(line, condition_.pattern(), piece);
    }
    // What lies between the occurrences, from the start of the line.
    template <class Piece>
    void eachPieceWithout(Line &line, Occurrence first, Piece &&piece) {
        piece(line.bytes().substr(0, first.at));
        ForEachPieceWithout(line, first.at + first.size, condition_.pattern(), piece);
    }

private:
    Condition condition_;
    LineSearch search_;
};

// The condition with an option on, or to be replaced: the matches of a Matcher. After an empty
// match the search goes on one character later.
class MatcherFinder {
public:
    MatcherFinder(Yields &yields, const FileText &file, const LineReader &input,
                  const Matcher *matcher)
        : ctx_(yields.context()),
          yields_(yields),
          file_(file),
          input_(input),
          matcher_(matcher),
          literal_(yields.context(), file),
          search_(input) {
        prepare();
    }
    void reread() {
        if (literal_.reread())
            search_.forget();
        const QString text = ctx_.conditionText();
        if (text == matcher_->text())
            return;
        try {
            own_ = Matcher::Compile(text, matcher_->options(), matcher_->replaces(),
                                    matcher_->replacementText());
        } catch (const InvalidPattern &) {
            own_ = Matcher::Compile(QString(), matcher_->options());  // found nowhere
        }
        matcher_ = own_.get();
        prepare();
    }
    // After first() found nothing in `line`: the soonest place a match could begin, where the
    // case-blind search screens the lines; null when every line is matched on its own.
    const char *clearUntil(Line &line) const {
        return usable_ && !matcher_->options().regex && !matcher_->replaces()
                   ? search_.clearUntil(line, literal_.pattern())
                   : nullptr;
    }
    Occurrence first(Line &line) {
        if (!usable_)
            return {};
        // A literal text: only a line where the case-blind search finds it can hold a match
        // (with the letter case as written, or as a whole word), and the search over the buffer
        // passes over the others at its own speed.
        if (!matcher_->options().regex &&
            (line.bytes().empty() || !search_.find(line, literal_.pattern()).found()))
            return {};
        state_->setLine(line);
        if (matcher_->replaces() && !state_->canReplace())
            return {};
        return find(0);
    }
    template <class Piece>
    void eachOccurrence(Line &line, Occurrence first, Piece &&piece) {
        for (Occurrence o = first; o.found(); o = find(next(o))) {
            if (o.size > 0)
                piece(line.bytes().substr(o.at, o.size));
        }
    }
    template <class Piece>
    void eachPieceWithout(Line &line, Occurrence first, Piece &&piece) {
        eachReplaced(line, first, piece, [](const MatchState &) {});
    }
    // The pieces between the matches, and in place of each match, replaced(state).
    template <class Piece, class Replaced>
    void eachReplaced(Line &line, Occurrence first, Piece &&piece, Replaced &&replaced) {
        const std::string_view bytes = line.bytes();
        std::size_t start = 0;
        for (Occurrence o = first; o.found(); o = find(next(o))) {
            if (o.size == 0 && !matcher_->replaces())
                continue;
            piece(bytes.substr(start, o.at - start));
            replaced(*state_);
            start = o.at + o.size;
        }
        if (start < bytes.size())
            piece(bytes.substr(start));
    }

private:
    std::size_t next(const Occurrence &o) const {
        return o.size > 0 ? o.at + o.size : state_->after(o.at);
    }
    Occurrence find(std::size_t from) {
        Occurrence o;
        switch (state_->find(from, o)) {
            case MatchState::Result::Found:
                return o;
            case MatchState::Result::None:
                return {};
            case MatchState::Result::TooComplex:
                break;
        }
        throw PatternTooComplex{input_.lineCount()};
    }
    // A file decoded from an encoding that cannot hold the literal text, or the replacement,
    // finds nothing to change.
    void prepare() {
        state_.emplace(*matcher_, file_.page);
        state_->whileSearchingLongLine([this] { yields_.letEventsRunInSearch(); });
        usable_ = !matcher_->nowhere();
        if (usable_ && file_.encoding.form == RFTSFSO::TextForm::Converted) {
            auto holds = [&](const QString &text) {
                const QByteArray utf8 = text.toUtf8();
                return RFTSFSO::CanHold(
                    file_.encoding, std::string_view(utf8.constData(), std::size_t(utf8.size())));
            };
            usable_ = (matcher_->options().regex || holds(matcher_->text())) &&
                      (!matcher_->replaces() || holds(matcher_->replacementText()));
        }
    }

    LineContext &ctx_;
    Yields &yields_;
    const FileText &file_;
    const LineReader &input_;
    const Matcher *matcher_;
    std::shared_ptr<const Matcher> own_;  // a text typed while the run yielded
    std::optional<MatchState> state_;
    bool usable_ = false;
    Condition literal_;  // the same text, literal and case-blind
    LineSearch search_;
};

}  // namespace Operations::Finding
