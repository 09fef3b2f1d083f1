// Reading text files as lines and writing whole texts, on bytes.
//
// Files are bytes, never decoded or re-encoded, so what is read comes back unchanged when
// written (the condition's matching judges each line's encoding on its own: TextMatch.h).
// A CR LF pair or a lone LF ends a line; a lone CR is an ordinary byte; a line end at the very
// end of the file starts no further line; an empty file is one empty line. Byte-order marks are
// ordinary bytes.
//
// A run streams: LineReader hands out one line at a time from a buffer that is refilled in
// large chunks, and ResultWriter joins the kept lines with CR LF into a buffer that is written
// out in large blocks. Memory stays at about two chunks plus the longest line, whatever the
// file's size. ReadTextFileLines and WriteTextFile are the whole-file interface; they share the
// same splitter and the same writer.
//
// Errors: FileError of kind Read for anything that goes wrong opening or reading the input, of
// kind Write for anything that goes wrong creating or writing the result, each with the path and
// the system's error number (ENOENT, EACCES, EISDIR, ...) or the kind of special file found.
#pragma once

#include "FileError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace RFTSFSO {

class AtomicFile;

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
        if (length > 0 && buffer_[stop - 1] == '\r')
            --length;
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
    char *buffer_ = nullptr;  // [begin_, filled_) holds bytes not yet handed out as lines
    std::size_t capacity_ = 0, begin_ = 0, scanned_ = 0, filled_ = 0;
    std::size_t blockStart_ = 0;  // where the block of lineEnds_ starts
    std::uint64_t lineEnds_ = 0;  // LFs of that block not yet handed out as line ends
    bool mapped_ = false;         // the buffer is anonymous memory (a very long line), not the heap
    bool atEnd_ = false;
    std::uint64_t lines_ = 0;
    std::uint64_t refills_ = 0;
};

// The result of one file: kept lines joined with CR LF, no line end after the last.
//
// Nothing is created until there is something to write: a result that keeps no line writes no
// file and leaves a file already at the path as it was. A result that keeps one empty line is
// an empty file.
//
// Writing is atomic: the bytes go to a temporary file in the target's folder that replaces the
// target only when finish() succeeds. A failure, an exception passing through or the end of the
// program before finish() leaves the previous file whole and no temporary file behind. The
// replaced file keeps its permissions (and, where allowed, its owner and group); a target
// reached through a symbolic link has its content replaced and the link stays. An existing
// target that this user may not write is refused ("Permission denied") rather than replaced.
class ResultWriter {
public:
    static constexpr std::size_t BufferSize = std::size_t(1) << 20;

    explicit ResultWriter(const QString &path, Temporary temporary = Temporary::Unnamed);
    // Collects the result in `text` instead of a file (tests and fuzzing).
    explicit ResultWriter(std::string *text);
    ResultWriter(const ResultWriter &) = delete;
    ResultWriter &operator=(const ResultWriter &) = delete;
    ~ResultWriter();

    // Starts the next kept line.
    void beginLine() {
        if (linesKept_++ > 0)
            append(std::string_view("\r\n", 2));
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

    // Completes the result: writes the file when at least one line was kept, and says whether
    // it did. Throws FileError (Write) when it cannot.
    bool finish();

    std::uint64_t linesKept() const { return linesKept_; }

private:
    void takeBuffer();
    void appendLarge(std::string_view bytes);
    void flushBuffer();
    void store(const char *data, std::size_t size);
    void open();

    QString path_;
    Temporary temporary_ = Temporary::Unnamed;
    std::string *text_ = nullptr;
    std::unique_ptr<AtomicFile> file_;
    char *buffer_ = nullptr;  // BufferSize bytes, used_ of them filled
    std::size_t used_ = 0;
    std::uint64_t linesKept_ = 0;
    bool finished_ = false;
};

// The file's lines, indexed from 0; an empty file is one empty line. Throws FileError (Read).
std::vector<std::string> ReadTextFileLines(const QString &path);

// Creates or replaces the file at `path` with exactly `text` (the empty text gives an empty
// file), atomically. Throws FileError (Write).
void WriteTextFile(std::string_view text, const QString &path,
                   Temporary temporary = Temporary::Unnamed);

}  // namespace RFTSFSO
