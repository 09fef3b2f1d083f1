#include "files/LineReader.h"

#include "files/PathText.h"
#include "files/SpareBuffer.h"
#include "files/Transcoding.h"
#include "posix/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace RFTSFSO {

namespace {

// Files larger than this are read with the kernel told to read ahead generously.
constexpr off_t SequentialHintSize = off_t(8) << 20;

// A buffer this large holds one very long line. It is taken from anonymous memory backed by
// huge pages where the system offers them: filling it then costs one page fault per 2 MB
// instead of one per 4 KB, which on some virtual machines is most of the time spent on the line.
constexpr std::size_t LargeBuffer = std::size_t(8) << 20;

// Grows `buffer` (holding `kept` bytes, `capacity` in all, `mapped` when it is anonymous memory)
// to `wanted` bytes. Throws std::bad_alloc.
char *GrowBuffer(char *buffer, std::size_t kept, std::size_t capacity, std::size_t wanted,
                 bool &mapped) {
#if defined(__linux__)
    if (wanted >= LargeBuffer) {
        void *grown;
        if (mapped) {
            grown = ::mremap(buffer, capacity, wanted, MREMAP_MAYMOVE);
        } else {
            grown =
                ::mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (grown != MAP_FAILED) {
                ::madvise(grown, wanted, MADV_HUGEPAGE);
                if (kept != 0)
                    std::memcpy(grown, buffer, kept);
                std::free(buffer);
            }
        }
        if (grown == MAP_FAILED)
            throw std::bad_alloc();
        mapped = true;
        return static_cast<char *>(grown);
    }
#endif
    (void)kept;
    (void)capacity;
    (void)mapped;
    char *grown = static_cast<char *>(std::realloc(buffer, wanted));
    if (grown == nullptr)
        throw std::bad_alloc();
    return grown;
}

std::atomic<std::uint64_t> readsThatWaited{0};
// The file system, by its device, whose files last refused a read without waiting.
thread_local dev_t noWaitUnsupported = 0;

}  // namespace

SpareBuffer &SpareForReading() {
    static thread_local SpareBuffer spare;
    return spare;
}

SpareBuffer &SpareForWriting() {
    static thread_local SpareBuffer spare;
    return spare;
}

std::uint64_t ReadsThatWaited() {
    return readsThatWaited.load(std::memory_order_relaxed);
}

LineReader::LineReader(std::size_t chunk, const Options &options)
    : chunk_(std::max<std::size_t>(chunk, 1)), options_(options) {}

LineReader::LineReader(const QString &path, std::size_t chunk)
    : LineReader(path, Options(), chunk) {}

LineReader::LineReader(const QString &path, const Options &options, std::size_t chunk)
    : LineReader(chunk, options) {
    path_ = path;
    const std::string name = PathBytes(path);
    if (name.empty())
        throw FileError(FileError::Kind::Read, path, ENOENT);
    // Look before opening: opening a named pipe would wait for a writer, and opening a device
    // may do something to it. Should the path change into one of them before the opening,
    // O_NONBLOCK keeps the opening from waiting and the reads fail.
    // lstat first: a path that is the file itself (the usual case) also tells a writer of the
    // same path what is there; a symbolic link is followed with stat.
    struct stat &info = status_;
    // Through the folder held open, when asked: the name is then looked up in that folder.
    const char *entry = name.c_str();
    int at = AT_FDCWD;
    if (options.holdFolder) {
        const std::string_view last = Posix::NameOf(name);
        if (!last.empty() && last != "." && last != "..") {
            const std::string folder = Posix::FolderOf(name);
            folder_ =
                options.folders != nullptr ? options.folders->open(folder) : OpenFolder(folder);
            if (folder_) {
                at = folder_->fd();
                entry = name.c_str() + (name.size() - last.size());
            }
        }
    }
    if (::fstatat(at, entry, &info, AT_SYMLINK_NOFOLLOW) != 0)
        throw FileError(FileError::Kind::Read, path, errno);
    statusIsLinkFree_ = S_ISREG(info.st_mode);
    if (S_ISLNK(info.st_mode) && ::fstatat(at, entry, &info, 0) != 0)
        throw FileError(FileError::Kind::Read, path, errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(FileError::Kind::Read, path, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw FileError(FileError::Kind::Read, path, FileError::SpecialOf(info.st_mode));
    do {
        fd_ = ::openat(at, entry, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw FileError(FileError::Kind::Read, path, errno);
    expectedSize_ = static_cast<std::uint64_t>(info.st_size);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    if (info.st_size >= SequentialHintSize)
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

LineReader LineReader::fromBytes(std::string_view bytes, std::size_t chunk,
                                 const Options &options) {
    LineReader reader(chunk, options);
    reader.memory_ = bytes;
    return reader;
}

LineReader LineReader::fromStream(int fd, std::string_view first, const QString &name,
                                  std::function<void()> beforeWaiting, std::size_t chunk) {
    ReadOptions options;
    options.binaryAsText = true;
    options.convert = false;
    LineReader reader(chunk, options);
    reader.path_ = name;
    reader.fd_ = fd;
    reader.ownsFd_ = false;
    reader.stream_ = true;
    reader.memory_ = first;
    reader.beforeWaiting_ = std::move(beforeWaiting);
    return reader;
}

LineReader::LineReader(LineReader &&other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      ownsFd_(other.ownsFd_),
      stream_(other.stream_),
      beforeWaiting_(std::move(other.beforeWaiting_)),
      longLine_(std::move(other.longLine_)),
      memory_(other.memory_),
      chunk_(other.chunk_),
      expectedSize_(other.expectedSize_),
      readSoFar_(other.readSoFar_),
      discarded_(other.discarded_),
      device_(other.device_),
      inode_(other.inode_),
      status_(other.status_),
      statusIsLinkFree_(other.statusIsLinkFree_),
      folder_(std::move(other.folder_)),
      buffer_(std::exchange(other.buffer_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      begin_(std::exchange(other.begin_, 0)),
      scanned_(std::exchange(other.scanned_, 0)),
      filled_(std::exchange(other.filled_, 0)),
      blockStart_(std::exchange(other.blockStart_, 0)),
      lineEnds_(std::exchange(other.lineEnds_, 0)),
      mapped_(std::exchange(other.mapped_, false)),
      atEnd_(other.atEnd_),
      lineEnd_(other.lineEnd_),
      lines_(other.lines_),
      refills_(other.refills_),
      options_(other.options_),
      started_(other.started_),
      checkNul_(other.checkNul_),
      encoding_(std::move(other.encoding_)),
      decoder_(std::move(other.decoder_)),
      raw_(std::move(other.raw_)),
      rawCapacity_(std::exchange(other.rawCapacity_, 0)),
      rawBegin_(std::exchange(other.rawBegin_, 0)),
      rawEnd_(std::exchange(other.rawEnd_, 0)),
      rawAtEnd_(other.rawAtEnd_) {}

LineReader::~LineReader() {
    if (fd_ >= 0 && ownsFd_)
        ::close(fd_);
#if defined(__linux__)
    if (mapped_) {
        ::munmap(buffer_, capacity_);
        return;
    }
#endif
    SpareForReading().giveBack(buffer_, capacity_, 2 * DefaultChunk);
}

std::size_t LineReader::readMore(char *to, std::size_t most) {
    if (fd_ < 0 || !memory_.empty()) {
        const std::size_t size = std::min(most, memory_.size());
        if (size > 0)
            std::memcpy(to, memory_.data(), size);
        memory_.remove_prefix(size);
        if (fd_ < 0 || size > 0)
            return size;
    }
    if (beforeWaiting_)
        beforeWaiting_();
    if (readSoFar_ == 0 && expectedSize_ > 0 && device_ != noWaitUnsupported) {
        // The first read takes what the page cache holds, without waiting; a file whose start
        // is not there is counted (see ReadAhead) and read as usual.
        iovec piece{to, most};
        const ssize_t size = ::preadv2(fd_, &piece, 1, -1, RWF_NOWAIT);
        if (size > 0)
            return static_cast<std::size_t>(size);
        if (size < 0 && errno == EAGAIN)
            readsThatWaited.fetch_add(1, std::memory_order_relaxed);
        else if (size < 0 && errno == EOPNOTSUPP)
            noWaitUnsupported = device_;
    }
    for (;;) {
        const ssize_t size = ::read(fd_, to, most);
        if (size >= 0)
            return static_cast<std::size_t>(size);
        if (errno != EINTR)
            throw FileError(FileError::Kind::Read, path_, errno);
    }
}

bool LineReader::nextAfterRefill(std::string_view &line) {
    if (!started_) {
        startReading();
        if (takeLine(line))
            return true;
    }
    for (;;) {
        if (atEnd_) {
            // Bytes after the last LF are the last line; after a final LF nothing more comes,
            // except that an empty file is one empty line.
            if (begin_ < filled_ || lines_ == 0) {
                line = std::string_view(buffer_ + begin_, filled_ - begin_);
                begin_ = scanned_ = filled_;
                lineEnd_ = LineEnd::None;
                ++lines_;
                return true;
            }
            return false;
        }
        // Keep the unfinished line, at the start of the buffer, and read behind it. The
        // buffer grows only when one line nearly fills it, so it stays about a chunk plus the
        // longest line; pages that the growth reserves but no read reaches cost no memory.
        const std::size_t kept = filled_ - begin_;
        if (kept >= LongLine && longLine_)
            longLine_();
        ++refills_;
        discarded_ += begin_;
        if (begin_ > 0 && kept > 0)
            std::memmove(buffer_, buffer_ + begin_, kept);
        begin_ = 0;
        scanned_ = filled_ = kept;
        const std::size_t room = capacity_ - kept;
        if (room == 0 || room < chunk_ / 2) {
            const std::size_t wanted = std::max(kept + chunk_, capacity_ * 2);
            buffer_ = GrowBuffer(buffer_, kept, capacity_, wanted, mapped_);
            capacity_ = wanted;
        }
        filled_ += fill(buffer_ + filled_, std::min(chunk_, capacity_ - filled_));
        if (takeLine(line))
            return true;
    }
}

// The first piece of the file, at least its head, and what it says of the file's encoding.
void LineReader::startReading() {
    started_ = true;
    buffer_ = SpareForReading().take(capacity_);
    const std::size_t wanted = std::max(chunk_, HeadSize);
    if (capacity_ < wanted) {
        std::free(buffer_);
        buffer_ = nullptr;
        capacity_ = 0;
        buffer_ = GrowBuffer(buffer_, 0, 0, wanted, mapped_);
        capacity_ = wanted;
    }
    ++refills_;
    while (!atEnd_ && filled_ < HeadSize)
        filled_ += fill(buffer_ + filled_, std::min(chunk_, capacity_ - filled_));
    if (options_.detect)
        encoding_ = DetectEncoding(std::string_view(buffer_, filled_));
    if (!options_.convert && encoding_.form == TextForm::Converted)
        encoding_ = FileEncoding();
    if (encoding_.decoded()) {
        startDecoding();
        return;
    }
    checkNul_ = !options_.binaryAsText;
    if (checkNul_ && std::memchr(buffer_, 0, filled_) != nullptr)
        notText(NotText::Why::Binary);
    if (encoding_.marked)
        begin_ = scanned_ = encoding_.mark().size();
}

// The bytes read so far, but for the mark, become the decoder's; the buffer holds what they
// decode to.
void LineReader::startDecoding() {
    try {
        decoder_ = MakeDecoder(encoding_);
    } catch (const Undecodable &) {
        notText(NotText::Why::Undecodable);
    }
    const std::size_t mark = encoding_.mark().size();
    rawCapacity_ = std::max({chunk_, filled_, std::size_t(8)});
    raw_ = std::make_unique_for_overwrite<char[]>(rawCapacity_);
    rawEnd_ = filled_ - mark;
    std::memcpy(raw_.get(), buffer_ + mark, rawEnd_);
    rawAtEnd_ = atEnd_;
    atEnd_ = false;
    begin_ = scanned_ = filled_ = 0;
    // Room for a few characters at least, whatever the chunk.
    chunk_ = std::max<std::size_t>(chunk_, 64);
}

std::size_t LineReader::fill(char *to, std::size_t most) {
    if (decoder_)
        return decodeMore(to, most);
    const std::size_t size = readMore(to, most);
    readSoFar_ += size;
    // A short read that reaches the size the file had when it was opened is its end; that
    // saves asking once more only to hear so.
    atEnd_ = size == 0 || (!stream_ && size < most && readSoFar_ >= expectedSize_);
    if (checkNul_ && std::memchr(to, 0, size) != nullptr)
        notText(NotText::Why::Binary);
    return size;
}

std::size_t LineReader::decodeMore(char *to, std::size_t most) {
    for (;;) {
        Decoder::Step step;
        try {
            step =
                decoder_->decode(raw_.get() + rawBegin_, rawEnd_ - rawBegin_, to, most, rawAtEnd_);
        } catch (const Undecodable &) {
            notText(NotText::Why::Undecodable);
        }
        rawBegin_ += step.consumed;
        if (step.produced > 0)
            return step.produced;
        if (rawAtEnd_) {
            atEnd_ = true;
            return 0;
        }
        // A character begun and not complete, or nothing left: read on behind it.
        const std::size_t left = rawEnd_ - rawBegin_;
        if (rawBegin_ > 0 && left > 0)
            std::memmove(raw_.get(), raw_.get() + rawBegin_, left);
        rawBegin_ = 0;
        rawEnd_ = left;
        const std::size_t wanted = rawCapacity_ - left;
        const std::size_t size = readMore(raw_.get() + left, wanted);
        readSoFar_ += size;
        rawEnd_ += size;
        rawAtEnd_ = size == 0 || (!stream_ && size < wanted && readSoFar_ >= expectedSize_);
    }
}

void LineReader::notText(NotText::Why why) const {
    throw NotText(why, path_, why == NotText::Why::Undecodable ? encoding_.name() : QString());
}

}  // namespace RFTSFSO
