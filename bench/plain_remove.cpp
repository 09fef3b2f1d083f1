// A plain streaming reference for `strelmark remove lines-containing TEXT` with the command
// line's defaults, to measure the program against: the same results, byte for byte, on the
// benchmark's corpus, by the shortest way this program's author knows.
//
// Each kept line keeps its own line end (CR LF or LF; a lone CR is part of its line), and the
// last kept line has none when the file's last line had none. A result with no line left is
// not written (an empty file is copied), and in place a file of which nothing is removed is
// not rewritten. Letter case is ignored: on a line that is valid UTF-8, for ASCII letters and the
// Latin-1 letters À-Þ (not ×); on any other line the condition is its Latin-1 form (Latin-1 and
// Windows-1252 agree on letters), and a condition with a character beyond U+00FF is on no such
// line. That is all the corpus needs: it has no byte-order marks, no NUL bytes and no pages in
// other code pages, and the Unicode case folding of other letters (K, the Kelvin sign, to k)
// never meets "meta http" or "crème". An ASCII condition needs no line's encoding: its letters
// fold the same in every one. The file is read in pieces of 4 MiB, lines held whole across
// them; a file that fits is read with one call and its result written with one.
//
// usage: strelmark_plain TEXT (-o DIR | -i) [-j THREADS] [--files-from LIST] PATH...

#include "PlainFiles.h"

namespace {

using Byte = unsigned char;

constexpr std::size_t Piece = std::size_t(4) << 20;

Byte AsciiFold[256], Latin1Fold[256];

void MakeFoldTables() {
    for (int b = 0; b < 256; ++b) {
        AsciiFold[b] = static_cast<Byte>(b >= 'A' && b <= 'Z' ? b + 32 : b);
        Latin1Fold[b] =
            static_cast<Byte>(b >= 0xC0 && b <= 0xDE && b != 0xD7 ? b + 32 : AsciiFold[b]);
    }
}

// The condition folded, as UTF-8 and as Latin-1, and the bytes a match can start with.
struct Condition {
    std::string utf8, latin1;  // latin1 empty: the condition is on no line that is not UTF-8
    bool ascii = true;
    std::vector<Byte> leads;
};

Condition MakeCondition(const std::string &text) {
    Condition c;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Byte b = static_cast<Byte>(text[i]);
        c.ascii = c.ascii && b < 0x80;
        const bool latin1Letter =
            i > 0 && static_cast<Byte>(text[i - 1]) == 0xC3 && b >= 0x80 && b <= 0x9E && b != 0x97;
        c.utf8 += static_cast<char>(latin1Letter ? b + 0x20 : AsciiFold[b]);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Byte b = static_cast<Byte>(text[i]);
        if (b < 0x80) {
            c.latin1 += static_cast<char>(AsciiFold[b]);
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            c.latin1 += static_cast<char>(Latin1Fold[(b & 0x03) << 6 | (text[++i] & 0x3F)]);
        } else {
            c.latin1.clear();
            break;
        }
    }
    for (int b = 0; b < 256; ++b) {
        if (AsciiFold[b] == static_cast<Byte>(c.utf8[0]) ||
            (!c.latin1.empty() && Latin1Fold[b] == static_cast<Byte>(c.latin1[0])))
            c.leads.push_back(static_cast<Byte>(b));
    }
    return c;
}

bool MatchesUtf8(const Byte *at, const Byte *end, const std::string &folded) {
    if (static_cast<std::size_t>(end - at) < folded.size())
        return false;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        Byte b = at[i];
        if (i > 0 && at[i - 1] == 0xC3 && b >= 0x80 && b <= 0x9E && b != 0x97)
            b = static_cast<Byte>(b + 0x20);
        else
            b = AsciiFold[b];
        if (b != static_cast<Byte>(folded[i]))
            return false;
    }
    return true;
}

bool MatchesLatin1(const Byte *at, const Byte *end, const std::string &folded) {
    if (folded.empty() || static_cast<std::size_t>(end - at) < folded.size())
        return false;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (Latin1Fold[at[i]] != static_cast<Byte>(folded[i]))
            return false;
    }
    return true;
}

bool ValidUtf8(const Byte *at, const Byte *end) {
    while (at < end) {
        const Byte b = *at;
        if (b < 0x80) {
            ++at;
            continue;
        }
        const std::size_t more = b >= 0xC2 && b <= 0xDF   ? 1
                                 : b >= 0xE0 && b <= 0xEF ? 2
                                 : b >= 0xF0 && b <= 0xF4 ? 3
                                                          : 0;
        if (more == 0 || static_cast<std::size_t>(end - at) <= more)
            return false;
        char32_t c = b & (0x3F >> more);
        for (std::size_t k = 1; k <= more; ++k) {
            if ((at[k] & 0xC0) != 0x80)
                return false;
            c = c << 6 | (at[k] & 0x3F);
        }
        const char32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        at += more + 1;
    }
    return true;
}

// Whether the line [start, end) (its line end left out) contains the condition, read as UTF-8
// when it is valid, else as Latin-1.
bool LineContains(const Byte *start, const Byte *end, const Condition &c) {
    const bool utf8 = ValidUtf8(start, end);
    for (const Byte *at = start; at < end; ++at) {
        if (utf8 ? MatchesUtf8(at, end, c.utf8) : MatchesLatin1(at, end, c.latin1))
            return true;
    }
    return false;
}

// The next byte at or after `from` that a match can start with: one memchr per such byte,
// each answer kept until it is passed.
class LeadScanner {
public:
    LeadScanner(const std::vector<Byte> &leads, const Byte *end) : end_(end) {
        for (const Byte lead : leads)
            next_.push_back({lead, nullptr});
    }
    const Byte *next(const Byte *from) {
        const Byte *first = end_;
        for (auto &[lead, at] : next_) {
            if (at < from) {
                at = static_cast<const Byte *>(std::memchr(from, lead, end_ - from));
                at = at == nullptr ? end_ : at;
            }
            first = std::min(first, at);
        }
        return first;
    }

private:
    const Byte *end_;
    std::vector<std::pair<Byte, const Byte *>> next_;
};

// Appends the lines of [from, end) that do not contain the condition to `out`; answers how
// many were removed, and whether the last of them was. `from` starts a line, `end` ends one.
std::size_t Filter(const Byte *from, const Byte *end, const Condition &c, Plain::Buffer &out,
                   bool &lastRemoved) {
    LeadScanner scanner(c.leads, end);
    std::size_t removed = 0;
    const Byte *kept = from;  // what is kept and not yet appended starts here
    for (const Byte *at = scanner.next(from); at < end; at = scanner.next(at + 1)) {
        if (!(c.ascii ? MatchesLatin1(at, end, c.latin1)
                      : MatchesUtf8(at, end, c.utf8) || MatchesLatin1(at, end, c.latin1)))
            continue;
        const Byte *lf = static_cast<const Byte *>(::memrchr(kept, '\n', at - kept));
        const Byte *start = lf == nullptr ? kept : lf + 1;
        lf = static_cast<const Byte *>(std::memchr(at, '\n', end - at));
        const Byte *stop = lf == nullptr ? end : lf + 1;
        const Byte *text = stop;  // the line without its end
        if (lf != nullptr)
            text -= text - 1 > start && text[-2] == '\r' ? 2 : 1;
        if (c.ascii || LineContains(start, text, c)) {
            out.append(reinterpret_cast<const char *>(kept),
                       static_cast<std::size_t>(start - kept));
            kept = stop;
            ++removed;
        }
        at = stop - 1;
    }
    out.append(reinterpret_cast<const char *>(kept), static_cast<std::size_t>(end - kept));
    lastRemoved = kept == end && end > from;
    return removed;
}

bool RemoveLines(const Plain::Job &job, bool inPlace, const Condition &c, Plain::Buffer &in,
                 Plain::Buffer &out) {
    const int fd = ::open(job.input.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        Plain::Fail(job.input, errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    Plain::Output result;
    in.size = out.size = 0;
    std::size_t left = static_cast<std::size_t>(info.st_size), removed = 0, written = 0;
    bool ok = true, lastRemoved = false;
    // Writes what is in `out` but its last `keep` bytes (a line end that may yet go).
    auto flush = [&](std::size_t keep) {
        const std::size_t count = out.size - keep;
        ok = (result.isOpen() || result.open(job, inPlace, info.st_mode)) &&
             result.write(out.data, count);
        written += count;
        std::memmove(out.data, out.data + count, keep);
        out.size = keep;
        return ok;
    };
    for (;;) {
        const std::size_t want = std::min(Piece, left), carried = in.size;
        in.reserve(in.size + want);
        const ssize_t got = Plain::ReadUpTo(fd, in.data + in.size, want);
        if (got < 0) {
            Plain::Fail(job.input, errno);
            ok = false;
            break;
        }
        in.size += static_cast<std::size_t>(got);
        left -= static_cast<std::size_t>(got);
        const bool last = left == 0 || static_cast<std::size_t>(got) < want;
        const Byte *begin = reinterpret_cast<const Byte *>(in.data), *end = begin + in.size;
        if (!last) {  // whole lines only; the rest (no line end in it) waits for the next piece
            const Byte *lf =
                static_cast<const Byte *>(::memrchr(begin + carried, '\n', in.size - carried));
            end = lf == nullptr ? begin : lf + 1;
        }
        removed += Filter(begin, end, c, out, lastRemoved);
        const bool lineEnd = end > begin && end[-1] == '\n';
        if (end > begin) {
            in.size -= static_cast<std::size_t>(end - begin);
            std::memmove(in.data, end, in.size);
        }
        if (last && lastRemoved && !lineEnd && out.size > 0) {  // the kept line is last now
            out.size -= out.data[out.size - 1] == '\n';
            out.size -= out.size > 0 && out.data[out.size - 1] == '\r';
        }
        if (last || (out.size >= Piece && !flush(2)))
            break;
    }
    ::close(fd);
    if (ok && (removed > 0 ? written + out.size == 0 : inPlace)) {
        result.discard();  // nothing to write
        return true;
    }
    if (!ok || !flush(0)) {
        result.discard();
        return false;
    }
    return result.finish();
}

}  // namespace

int main(int argc, char **argv) {
    const char *usage = "TEXT (-o DIR | -i) [-j THREADS] [--files-from LIST] PATH...";
    const Plain::Options o = Plain::Parse(argc, argv, usage);
    if (o.words.empty() || o.words[0].empty()) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        return 2;
    }
    MakeFoldTables();
    const Condition condition = MakeCondition(o.words[0]);
    std::vector<Plain::Job> jobs;
    bool ok = Plain::CollectJobs(o, 1, jobs);
    ok = Plain::RunAll(jobs, o.threads,
                       [&](const Plain::Job &job, Plain::Buffer &in, Plain::Buffer &out) {
                           return RemoveLines(job, o.out.empty(), condition, in, out);
                       }) &&
         ok;
    return ok ? 0 : 1;
}
