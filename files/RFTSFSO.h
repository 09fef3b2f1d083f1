// Reading text files as lines and writing whole texts, on bytes.
//
// Files are bytes, never decoded or re-encoded, so what is read comes back unchanged when
// written (the condition's matching judges each line's encoding on its own: TextMatch.h).
// A CR LF pair or a lone LF ends a line; a lone CR is an ordinary byte; a line end at the very
// end of the file starts no further line; an empty file is one empty line. Byte-order marks are
// ordinary bytes.
//
// A run streams: LineReader hands out one line at a time from a buffer that is refilled in
// large chunks, and ResultWriter joins the kept lines with CR LF (or, on request, with each
// line's own line end) into a buffer that is written out in large blocks. Memory stays at about
// two chunks plus the longest line, whatever the file's size. ReadTextFileLines and
// WriteTextFile are the whole-file interface; they share the same splitter and the same writer.
//
// A result is never written where it would change nothing: the writer compares what it produces
// with the file already at the output path as it goes, and creates its temporary file only at
// the first difference.
//
// Errors: FileError of kind Read for anything that goes wrong opening or reading the input, of
// kind Write for anything that goes wrong creating or writing the result, each with the path and
// the system's error number (ENOENT, EACCES, EISDIR, ...) or the kind of special file found.
#pragma once

#include "files/FileError.h"

#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class PendingResult;

namespace RFTSFSO {

class AtomicFile;
struct ResultTarget;

// How a line ended in its file. The value is the number of bytes of the line end.
enum class LineEnd : unsigned char {
    None = 0,  // the file's last line, with nothing after it
    LF = 1,
    CRLF = 2,
};

// Where the bytes of a result wait until they are complete (see AtomicFile).
enum class Temporary {
    Unnamed,  // a file without a name where the file system can make one, else a named one
    Named,    // always a named file, as on a file system without unnamed files
};

// The lines of a regular file, or of bytes held in memory, one at a time.
class LineReader {
public:
    static constexpr std::size_t DefaultChunk = std::size_t(1) << 20;

    // Opens a file for reading. Only regular files are read: a folder, a named pipe, a device or
    // a socket is refused (FileError), so nothing ever waits for a writer that never comes.
    explicit LineReader(const QString &path, std::size_t chunk = DefaultChunk);
    // Reads bytes held in memory through the same buffer, `chunk` bytes at a time.
    static LineReader fromBytes(std::string_view bytes, std::size_t chunk = DefaultChunk);

    LineReader(LineReader &&other) noexcept;
    LineReader &operator=(LineReader &&) = delete;
    ~LineReader();

    // The next line without its terminator; it stays valid until the next call. False after
    // the last line. Throws FileError (Read) when reading fails.
    bool next(std::string_view &line) { return takeLine(line) || nextAfterRefill(line); }

    // Lines handed out so far.
    std::uint64_t lineCount() const { return lines_; }
    // How the line handed out last ended. Once next() has answered false, that is how the file
    // ended: LineEnd::None when its last line has no line end (and for an empty file).
    LineEnd lineEnd() const { return lineEnd_; }
    const LineEnd *lineEndAddress() const { return &lineEnd_; }

    // The file being read (0 and 0 for bytes held in memory), to tell whether a result goes to
    // the same file.
    dev_t device() const { return device_; }
    ino_t inode() const { return inode_; }
    // The descriptor of the file being read, or -1.
    int descriptor() const { return fd_; }
    // The path as given, and what lstat said of it when that is the regular file itself (no
    // symbolic link on the way): a writer whose output path is the same need not look again.
    // Null otherwise.
    const QString &path() const { return path_; }
    const struct stat *status() const { return statusIsLinkFree_ ? &status_ : nullptr; }
    // The bytes of the input from `offset` on, `size` of them, when the buffer still holds them
    // all (a file that fits in one chunk stays held whole until the reader goes); otherwise an
    // empty view. The same bytes as the file had when they were read.
    std::string_view held(std::uint64_t offset, std::size_t size) const {
        if (offset < discarded_ || offset - discarded_ > filled_ ||
            size > filled_ - (offset - discarded_))
            return {};
        return std::string_view(buffer_ + (offset - discarded_), size);
    }

    // The bytes read ahead, from `from` (the start of a line handed out since the last refill)
    // to the end of what the buffer holds, for searching many lines in one pass. Valid while
    // refills() stays the same.
    std::string_view bufferedFrom(const char *from) const {
        return std::string_view(from, static_cast<std::size_t>(buffer_ + filled_ - from));
    }
    // Changes whenever the buffer is refilled and earlier views become invalid.
    std::uint64_t refills() const { return refills_; }

private:
    LineReader(std::size_t chunk);

    // The splitter: the line that ends at the next LF in the buffer, its CR LF or LF cut off.
    // Line ends are found sixty-four bytes at a time, as a bit mask of the LFs in a block, so
    // that each line costs a bit scan rather than a search of its own; the last bytes of the
    // buffer, fewer than a block, are searched with memchr.
    bool takeLine(std::string_view &line) {
        for (;;) {
            if (lineEnds_ != 0) {
                const std::size_t stop =
                    blockStart_ + static_cast<std::size_t>(__builtin_ctzll(lineEnds_));
                lineEnds_ &= lineEnds_ - 1;
                return cutLine(stop, line);
            }
            if (filled_ - scanned_ >= 64) {
                blockStart_ = scanned_;
                lineEnds_ = LineFeeds64(buffer_ + scanned_);
                scanned_ += 64;
                continue;
            }
            if (scanned_ < filled_) {
                if (const void *end = std::memchr(buffer_ + scanned_, '\n', filled_ - scanned_)) {
                    const std::size_t stop = static_cast<const char *>(end) - buffer_;
                    scanned_ = stop + 1;
                    return cutLine(stop, line);
                }
                scanned_ = filled_;
            }
            return false;
        }
    }

    bool cutLine(std::size_t stop, std::string_view &line) {
        std::size_t length = stop - begin_;
        const bool crlf = length > 0 && buffer_[stop - 1] == '\r';
        length -= crlf;
        lineEnd_ = crlf ? LineEnd::CRLF : LineEnd::LF;
        line = std::string_view(buffer_ + begin_, length);
        begin_ = stop + 1;
        ++lines_;
        return true;
    }

    // Bit i is set when bytes[i] is an LF.
    static std::uint64_t LineFeeds64(const char *bytes) {
#if defined(__SSE2__)
        const __m128i lf = _mm_set1_epi8('\n');
        auto mask16 = [&](int at) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + at));
            return static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf))));
        };
        return mask16(0) | mask16(16) << 16 | mask16(32) << 32 | mask16(48) << 48;
#else
        std::uint64_t mask = 0;
        for (int i = 0; i < 64; ++i)
            mask |= static_cast<std::uint64_t>(bytes[i] == '\n') << i;
        return mask;
#endif
    }

    bool nextAfterRefill(std::string_view &line);
    std::size_t readMore(char *to, std::size_t most);

    QString path_;  // as given, for the errors
    int fd_ = -1;
    std::string_view memory_;  // bytes not yet handed to the buffer, when reading from memory
    std::size_t chunk_;
    std::uint64_t expectedSize_ = 0;  // the file's size when it was opened
    std::uint64_t readSoFar_ = 0;
    std::uint64_t discarded_ = 0;  // bytes of the input before buffer_[0]
    dev_t device_ = 0;
    ino_t inode_ = 0;
    struct stat status_ {};
    bool statusIsLinkFree_ = false;
    char *buffer_ = nullptr;  // [begin_, filled_) holds bytes not yet handed out as lines
    std::size_t capacity_ = 0, begin_ = 0, scanned_ = 0, filled_ = 0;
    std::size_t blockStart_ = 0;  // where the block of lineEnds_ starts
    std::uint64_t lineEnds_ = 0;  // LFs of that block not yet handed out as line ends
    bool mapped_ = false;         // the buffer is anonymous memory (a very long line), not the heap
    bool atEnd_ = false;
    LineEnd lineEnd_ = LineEnd::None;
    std::uint64_t lines_ = 0;
    std::uint64_t refills_ = 0;
};

// Reads that had to wait for the disk on this thread so far: a LineReader's first read of a
// file asks for what the page cache holds without waiting (RWF_NOWAIT) and counts here when
// that is not all of the file's start.
std::uint64_t ReadsThatWaited();

// Announces the files a run will read next, so that a run over files that are not in the page
// cache does not wait for the disk once per file: before the work on each file, the first chunk
// of each of the next Depth files is asked for (posix_fadvise WILLNEED), and the disk reads them
// while the program works. It only starts once a read of the run had to wait
// (ReadsThatWaited()), so that a run over cached files makes no call for it.
class ReadAhead {
public:
    static constexpr int Depth = 32;

    ReadAhead();
    // Before the work on a file. `upcoming(k)` answers the path of the k-th file after it (k
    // from 1 to Depth), or an empty string when there is none.
    template <class Upcoming>
    void before(Upcoming &&upcoming) {
        if (active_) {
            // The ones before were announced already: the file that comes into reach.
            const QString path = upcoming(Depth);
            if (!path.isEmpty())
                announce(path);
            return;
        }
        if (ReadsThatWaited() == waitedBefore_)
            return;
        active_ = true;
        for (int k = 1; k <= Depth; ++k) {
            const QString path = upcoming(k);
            if (path.isEmpty())
                break;
            announce(path);
        }
    }
    // Announcements made so far.
    std::uint64_t announced() const { return announced_; }

private:
    void announce(const QString &path);

    std::uint64_t waitedBefore_;
    bool active_ = false;
    QString recent_[Depth];  // the paths announced last, so that each is announced once
    int next_ = 0;
    std::uint64_t announced_ = 0;
};

// The names in one output folder, listed once for a run, so that a result for a name the folder
// does not hold needs no look at its path: the first question lists the folder of the path it
// asks about, and later questions about that folder are answered from the list and from the
// results written since (noteWritten). Questions about any other folder, and every question when
// the folder cannot be listed or holds more than MaxNames names, answer "may hold".
//
// A file that another program makes in the folder during the run is not in the list: the
// result for that name is then put in place as a new file whose name was taken meanwhile (see
// CommitQueue), as it would be had the file appeared a moment after the look.
class FolderNames {
public:
    static constexpr std::size_t MaxNames = 200000;

    // Whether something may be at `target` (a path as the file system's bytes).
    bool mayHold(const std::string &target);
    // A result will be at `target`.
    void noteWritten(const std::string &target);

private:
    enum class State { Unlisted, Listed, Unknown };
    State state_ = State::Unlisted;
    std::string folder_;
    std::vector<std::string> names_;  // sorted
    std::set<std::string, std::less<>> written_;
};

// The result of one file: kept lines joined with CR LF, no line end after the last; or, when
// asked to keep line ends, each kept line followed by the line end it had in the input, except
// that when the input's last line had none, the last kept line gets none either (so a result
// that keeps every line unchanged is the input byte for byte).
//
// Nothing is created until there is something to write: a result that keeps no line writes no
// file and leaves a file already at the path as it was. A result that keeps one empty line is
// an empty file. A result that is byte for byte the file already at the path writes nothing
// either: the file keeps its modification time, its inode and its links. The writer compares
// as it goes, with the bytes the input's reader still holds when the input is that very file,
// else by reading the file at the path; only at the first difference does it start the
// temporary file, and the equal part is copied into it inside the kernel. A file at the path
// that cannot be read counts as different.
//
// Writing is atomic: the bytes go to a temporary file in the target's folder, which finish()
// completes (permissions, owner, group, extended attributes and ACLs of the file it replaces)
// as a PendingResult, put in place by a CommitQueue. Until then, and when the pending result is
// dropped, the previous file stays whole and no temporary file remains, even when the program
// is killed. A target reached through a symbolic link has its content replaced and the link
// stays. An existing target that this user may not write is refused ("Permission denied")
// rather than replaced.
class ResultWriter {
public:
    static constexpr std::size_t BufferSize = std::size_t(1) << 20;

    struct Options {
        Temporary temporary = Temporary::Unnamed;
        // Each kept line ends as it did in the input (the writer's `input` is required).
        bool keepLineEnds = false;
        // Nothing is created or written: the writer only finds out whether the result would
        // change the file at the path, and whether it could be written there.
        bool dryRun = false;
        // What the run knows of the output folder's names (see FolderNames), or null.
        FolderNames *folderNames = nullptr;
    };
    // What finish() found.
    enum class Outcome {
        Empty,      // no line kept: nothing written
        Unchanged,  // the result is what the file at the path holds already: nothing written
        Changed,    // a result that differs (or no file is there): pending, or, dry, would be
    };

    // The result for `path`. `input`, when given, is the reader whose lines are kept: its line
    // ends are the ones kept, and when it reads the file at `path` itself, what it still holds
    // is compared in memory. It must outlive the writer.
    ResultWriter(const QString &path, const LineReader *input, Options options);
    explicit ResultWriter(const QString &path, Temporary temporary = Temporary::Unnamed);
    // Collects the result in `text` instead of a file (tests and fuzzing).
    explicit ResultWriter(std::string *text, const LineReader *input = nullptr,
                          bool keepLineEnds = false);
    ResultWriter(const ResultWriter &) = delete;
    ResultWriter &operator=(const ResultWriter &) = delete;
    ~ResultWriter();

    // Starts the next kept line: the one the input handed out last, as far as its line end
    // goes.
    void beginLine() {
        if (linesKept_++ > 0)
            appendLineEnd(pendingEnd_);
        pendingEnd_ = *endSource_;
    }
    // Adds bytes to the current line.
    void append(std::string_view bytes) {
        if (bytes.size() <= BufferSize - used_) {
            std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            appendLarge(bytes);
        }
    }
    void keepLine(std::string_view line) {
        beginLine();
        append(line);
    }

    // Completes the result once the input has been read to its end; true when at least one
    // line was kept. outcome() then tells what became of it. Throws FileError (Write) when the
    // result cannot be written, or, dry, when it could not be.
    bool finish();
    Outcome outcome() const { return outcome_; }
    // The result waiting to be put in place: after finish() with the outcome Changed, once.
    std::unique_ptr<PendingResult> takePending();

    std::uint64_t linesKept() const { return linesKept_; }

private:
    enum class State {
        Unopened,   // nothing stored yet; the path not yet looked at
        Comparing,  // every byte so far is what the file at the path holds
        Writing,    // the temporary file is started
        Differs,    // dry: the result differs, nothing more to look at
    };

    void appendLineEnd(LineEnd end) {
        // Both bytes are stored and only the line end's own are kept: a store of fixed size.
        static constexpr char Ends[3][2] = {{0, 0}, {'\n', 0}, {'\r', '\n'}};
        const std::size_t size = static_cast<std::size_t>(end);
        if (BufferSize - used_ >= 2) {
            std::memcpy(buffer_ + used_, Ends[size], 2);
            used_ += size;
        } else {
            appendLarge(std::string_view(Ends[size], size));
        }
    }
    void takeBuffer();
    void appendLarge(std::string_view bytes);
    void flushBuffer();
    void store(const char *data, std::size_t size);
    void start();
    bool sameAsTarget(const char *data, std::size_t size);
    void diverge();
    [[noreturn]] void fail(int error);

    QString path_;
    Options options_;
    const LineReader *input_ = nullptr;
    std::string *text_ = nullptr;
    std::unique_ptr<ResultTarget> target_;
    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<PendingResult> pending_;
    State state_ = State::Unopened;
    Outcome outcome_ = Outcome::Empty;
    int compareFd_ = -1;  // the file at the path, read to compare; the input's, when it is
    bool ownCompareFd_ = false;
    bool targetIsInput_ = false;
    std::uint64_t compared_ = 0;  // bytes equal to the file at the path so far
    char *buffer_ = nullptr;      // BufferSize bytes, used_ of them filled
    std::size_t used_ = 0;
    std::uint64_t linesKept_ = 0;
    const LineEnd *endSource_;            // the input's line end, or CR LF whatever the input had
    LineEnd pendingEnd_ = LineEnd::None;  // the line end owed to the last kept line
    bool finished_ = false;
};

// The file's lines, indexed from 0; an empty file is one empty line. Throws FileError (Read).
std::vector<std::string> ReadTextFileLines(const QString &path);

// Creates or replaces the file at `path` with exactly `text` (the empty text gives an empty
// file), atomically and durably, before it returns; a file that holds exactly `text` already
// is left as it is. Throws FileError (Write).
void WriteTextFile(std::string_view text, const QString &path,
                   Temporary temporary = Temporary::Unnamed);

}  // namespace RFTSFSO
