// The lines of a text file, one at a time, on bytes.
//
// Most files are bytes, never decoded or re-encoded, so what is read comes back unchanged when
// written (the condition's matching judges each line's encoding on its own: text/TextMatch.h).
// The reader looks at the start of each file first (files/Encoding.h): a UTF-8 byte-order mark
// is the file's, not its first line's; a file with a UTF-16 or UTF-32 mark, or a page that
// names a multi-byte legacy charset, is decoded to UTF-8 as it is read (files/Transcoding.h),
// and the writer encodes the result back; any other file that holds a NUL byte is binary, and
// the reader throws NotText at the first piece that holds one, before any line of that piece.
// A CR LF pair or a lone LF ends a line; a lone CR is an ordinary byte; a line end at the very
// end of the file starts no further line; an empty file is one empty line.
//
// The reader hands out one line at a time from a buffer that is refilled in large chunks, so
// memory stays at about a chunk plus the longest line, whatever the file's size.
//
// Errors: FileError of kind Read for anything that goes wrong opening or reading the file, with
// the path and the system's error number (ENOENT, EACCES, EISDIR, ...) or the kind of special
// file found; NotText for a binary file or bytes that do not decode.
#pragma once

#include "files/Encoding.h"
#include "files/FileError.h"
#include "files/HeldFolders.h"

#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace RFTSFSO {

// How a line ended in its file. The value is the number of bytes of the line end.
enum class LineEnd : unsigned char {
    None = 0,  // the file's last line, with nothing after it
    LF = 1,
    CRLF = 2,
};

class Decoder;

// How a reader takes a file's bytes.
struct ReadOptions {
    // A NUL byte does not make the file binary (as grep -a reads it).
    bool binaryAsText = false;
    // Off: no mark and no charset is looked for, the bytes are read as they are.
    bool detect = true;
    // Off: a page that names a multi-byte legacy charset is read as bytes. A stream is, since it
    // cannot be held back until its bytes are known to come back from the charset whole.
    bool convert = true;
    // On: the file is opened through its folder, held open (files/HeldFolders.h) for a result
    // to be put in place in that very folder; `folders`, when given, shares the descriptors of
    // a run's folders.
    bool holdFolder = false;
    HeldFolders *folders = nullptr;
};

// The lines of a regular file, or of bytes held in memory, one at a time.
class LineReader {
public:
    static constexpr std::size_t DefaultChunk = std::size_t(1) << 20;
    // How much of a file's start is looked at for its encoding.
    static constexpr std::size_t HeadSize = 1024;
    using Options = ReadOptions;

    // Opens a file for reading. Only regular files are read: a folder, a named pipe, a device or
    // a socket is refused (FileError), so nothing ever waits for a writer that never comes.
    explicit LineReader(const QString &path, std::size_t chunk = DefaultChunk);
    LineReader(const QString &path, const Options &options, std::size_t chunk = DefaultChunk);
    // Reads bytes held in memory through the same buffer, `chunk` bytes at a time.
    static LineReader fromBytes(std::string_view bytes, std::size_t chunk = DefaultChunk,
                                const Options &options = Options());
    // Reads a stream (a pipe, a terminal, standard input) to its end: `first`, bytes already
    // read from it (the caller keeps them while the reader reads), then what the descriptor
    // gives, which stays open. `name` names it in errors. `beforeWaiting`, when given, is
    // called before each read that may wait for more. A UTF-8, UTF-16 or UTF-32 mark is found
    // as in a file; a multi-byte charset that a page names is not converted, and a NUL byte is
    // an ordinary byte (the caller looks at the first bytes before).
    static LineReader fromStream(int fd, std::string_view first, const QString &name,
                                 std::function<void()> beforeWaiting = {},
                                 std::size_t chunk = DefaultChunk);

    LineReader(LineReader &&other) noexcept;
    LineReader &operator=(LineReader &&) = delete;
    ~LineReader();

    // The next line without its terminator; it stays valid until the next call. False after
    // the last line. Throws FileError (Read) when reading fails.
    bool next(std::string_view &line) { return takeLine(line) || nextAfterRefill(line); }

    // Reads the start of the file and finds its encoding, when that is not done yet (the first
    // next() does it too). Throws FileError (Read) and NotText.
    void start() {
        if (!started_)
            startReading();
    }
    // The file's encoding, once it is started.
    const FileEncoding &encoding() const { return encoding_; }

    // While one line is longer than LongLine bytes and still being read, `look` is called
    // before each further read (a chunk apart), so that a run can stop in the middle of a very
    // long line by throwing there. Empty: nothing is called.
    static constexpr std::size_t LongLine = std::size_t(8) << 20;
    void whileReadingLongLine(std::function<void()> look) { longLine_ = std::move(look); }

    // Lines handed out so far.
    std::uint64_t lineCount() const { return lines_; }
    // The file's size when it was opened (for bytes held in memory, 0).
    std::uint64_t size() const { return expectedSize_; }
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
    // The file's folder, held open, when the options asked for it and it could be opened; the
    // file's name in it is the path's last part.
    const FolderRef &folder() const { return folder_; }
    // The bytes of the input from `offset` on, `size` of them, when the buffer still holds them
    // all (a file that fits in one chunk stays held whole until the reader goes); otherwise an
    // empty view. The same bytes as the file had when they were read; for a decoded file, none.
    std::string_view held(std::uint64_t offset, std::size_t size) const {
        if (decoder_ || offset < discarded_ || offset - discarded_ > filled_ ||
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

    // Hands out, as one view, the lines from the next one on that end (their line end
    // included) before `limit`, a place in the buffer as bufferedFrom() shows it: a loop that
    // knows nothing it looks for lies before `limit` keeps them all at once. The view holds the
    // lines with their line ends, except the last one's, which lineEnd() tells. With
    // `crlfOnly`, it stops before the first line that ends in a lone LF. Answers the number of
    // lines, counted as next() counts them; 0 (nothing handed out) when the next line does not
    // end before `limit` in the bytes read so far.
    std::size_t takeLinesBefore(const char *limit, bool crlfOnly, std::string_view &lines) {
        const std::size_t first = begin_;
        const std::size_t end = static_cast<std::size_t>(limit - buffer_);
        std::size_t count = 0;
        for (;;) {
            if (lineEnds_ == 0) {
                if (filled_ - scanned_ < 64 || scanned_ >= end)
                    break;
                blockStart_ = scanned_;
                lineEnds_ = LineFeeds64(buffer_ + scanned_);
                scanned_ += 64;
                continue;
            }
            const std::size_t stop =
                blockStart_ + static_cast<std::size_t>(__builtin_ctzll(lineEnds_));
            const bool crlf = stop > begin_ && buffer_[stop - 1] == '\r';
            if (stop >= end || (crlfOnly && !crlf))
                break;
            lineEnds_ &= lineEnds_ - 1;
            lineEnd_ = crlf ? LineEnd::CRLF : LineEnd::LF;
            begin_ = stop + 1;
            ++count;
        }
        if (count == 0)
            return 0;
        lines_ += count;
        lines = std::string_view(buffer_ + first,
                                 begin_ - 1 - first - (lineEnd_ == LineEnd::CRLF ? 1 : 0));
        return count;
    }

private:
    LineReader(std::size_t chunk, const Options &options);

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
    void startReading();
    void startDecoding();
    // Puts up to `most` more bytes of text at `to` (decoded ones for a decoded file), and notes
    // when nothing more comes.
    std::size_t fill(char *to, std::size_t most);
    std::size_t decodeMore(char *to, std::size_t most);
    std::size_t readMore(char *to, std::size_t most);
    [[noreturn]] void notText(NotText::Why why) const;

    QString path_;  // as given, for the errors
    int fd_ = -1;
    bool ownsFd_ = true;
    bool stream_ = false;  // read to the end, whatever size it had
    std::function<void()> beforeWaiting_;
    std::function<void()> longLine_;
    std::string_view memory_;  // bytes not yet handed to the buffer, when reading from memory
    std::size_t chunk_;
    std::uint64_t expectedSize_ = 0;  // the file's size when it was opened
    std::uint64_t readSoFar_ = 0;
    std::uint64_t discarded_ = 0;  // bytes of the input before buffer_[0]
    dev_t device_ = 0;
    ino_t inode_ = 0;
    struct stat status_ {};
    bool statusIsLinkFree_ = false;
    FolderRef folder_;
    char *buffer_ = nullptr;  // [begin_, filled_) holds bytes not yet handed out as lines
    std::size_t capacity_ = 0, begin_ = 0, scanned_ = 0, filled_ = 0;
    std::size_t blockStart_ = 0;  // where the block of lineEnds_ starts
    std::uint64_t lineEnds_ = 0;  // LFs of that block not yet handed out as line ends
    bool mapped_ = false;         // the buffer is anonymous memory (a very long line), not the heap
    bool atEnd_ = false;
    LineEnd lineEnd_ = LineEnd::None;
    std::uint64_t lines_ = 0;
    std::uint64_t refills_ = 0;

    Options options_;
    bool started_ = false;
    bool checkNul_ = false;  // a NUL byte read makes the file binary
    FileEncoding encoding_;
    // A decoded file: its bytes as read, [rawBegin_, rawEnd_) not yet decoded.
    std::unique_ptr<Decoder> decoder_;
    std::unique_ptr<char[]> raw_;
    std::size_t rawCapacity_ = 0, rawBegin_ = 0, rawEnd_ = 0;
    bool rawAtEnd_ = false;
};

// Reads that had to wait for the disk so far, on any thread: a LineReader's first read of a
// file asks for what the page cache holds without waiting (RWF_NOWAIT) and counts here when
// that is not all of the file's start.
std::uint64_t ReadsThatWaited();

}  // namespace RFTSFSO
