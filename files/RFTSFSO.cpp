#include "files/RFTSFSO.h"

#include "files/AtomicFile.h"
#include "files/CommitQueue.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace RFTSFSO {

namespace {

// Files larger than this are read with the kernel told to read ahead generously.
constexpr off_t SequentialHintSize = off_t(8) << 20;

// One spare buffer per thread for reading and one for writing, so that a run over thousands of
// small files does not allocate and free two large buffers per file (and have the heap trimmed
// and grown again each time). Only buffers of ordinary size are kept.
class SpareBuffer {
public:
    ~SpareBuffer() { std::free(data_); }
    char *take(std::size_t &capacity) {
        capacity = std::exchange(capacity_, 0);
        return std::exchange(data_, nullptr);
    }
    void giveBack(char *data, std::size_t capacity, std::size_t keepAtMost) {
        if (data_ == nullptr && capacity <= keepAtMost) {
            data_ = data;
            capacity_ = capacity;
        } else {
            std::free(data);
        }
    }

private:
    char *data_ = nullptr;
    std::size_t capacity_ = 0;
};

thread_local SpareBuffer spareForReading, spareForWriting;

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

}  // namespace

// --- LineReader ---------------------------------------------------------------------------

namespace {

thread_local std::uint64_t readsThatWaited = 0;
// The file system, by its device, whose files last refused a read without waiting.
thread_local dev_t noWaitUnsupported = 0;

}  // namespace

std::uint64_t ReadsThatWaited() {
    return readsThatWaited;
}

ReadAhead::ReadAhead() : waitedBefore_(ReadsThatWaited()) {}

void ReadAhead::announce(const QString &path) {
    for (const QString &recent : recent_) {
        if (recent == path)
            return;
    }
    recent_[next_] = path;
    next_ = (next_ + 1) % Depth;
    const QByteArray name = QFile::encodeName(path);
    // Regular files only: opening anything else may wait or do something to a device.
    struct stat info;
    if (name.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return;
    ::posix_fadvise(fd, 0,
                    static_cast<off_t>(std::min<std::uint64_t>(
                        static_cast<std::uint64_t>(info.st_size), LineReader::DefaultChunk)),
                    POSIX_FADV_WILLNEED);
    ::close(fd);
    ++announced_;
}

LineReader::LineReader(std::size_t chunk) : chunk_(std::max<std::size_t>(chunk, 1)) {}

LineReader::LineReader(const QString &path, std::size_t chunk) : LineReader(chunk) {
    path_ = path;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        throw FileError(FileError::Kind::Read, path, ENOENT);
    // Look before opening: opening a named pipe would wait for a writer, and opening a device
    // may do something to it. Should the path change into one of them before the opening,
    // O_NONBLOCK keeps the opening from waiting and the reads fail.
    // lstat first: a path that is the file itself (the usual case) also tells a writer of the
    // same path what is there; a symbolic link is followed with stat.
    struct stat &info = status_;
    if (::lstat(name.constData(), &info) != 0)
        throw FileError(FileError::Kind::Read, path, errno);
    statusIsLinkFree_ = S_ISREG(info.st_mode);
    if (S_ISLNK(info.st_mode) && ::stat(name.constData(), &info) != 0)
        throw FileError(FileError::Kind::Read, path, errno);
    if (S_ISDIR(info.st_mode))
        throw FileError(FileError::Kind::Read, path, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw FileError(FileError::Kind::Read, path, FileError::SpecialOf(info.st_mode));
    do {
        fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw FileError(FileError::Kind::Read, path, errno);
    expectedSize_ = static_cast<std::uint64_t>(info.st_size);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    if (info.st_size >= SequentialHintSize)
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

LineReader LineReader::fromBytes(std::string_view bytes, std::size_t chunk) {
    LineReader reader(chunk);
    reader.memory_ = bytes;
    return reader;
}

LineReader::LineReader(LineReader &&other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      memory_(other.memory_),
      chunk_(other.chunk_),
      expectedSize_(other.expectedSize_),
      readSoFar_(other.readSoFar_),
      discarded_(other.discarded_),
      device_(other.device_),
      inode_(other.inode_),
      status_(other.status_),
      statusIsLinkFree_(other.statusIsLinkFree_),
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
      refills_(other.refills_) {}

LineReader::~LineReader() {
    if (fd_ >= 0)
        ::close(fd_);
#if defined(__linux__)
    if (mapped_) {
        ::munmap(buffer_, capacity_);
        return;
    }
#endif
    spareForReading.giveBack(buffer_, capacity_, 2 * DefaultChunk);
}

std::size_t LineReader::readMore(char *to, std::size_t most) {
    if (fd_ < 0) {
        const std::size_t size = std::min(most, memory_.size());
        std::memcpy(to, memory_.data(), size);
        memory_.remove_prefix(size);
        return size;
    }
    if (readSoFar_ == 0 && expectedSize_ > 0 && device_ != noWaitUnsupported) {
        // The first read takes what the page cache holds, without waiting; a file whose start
        // is not there is counted (see ReadAhead) and read as usual.
        iovec piece{to, most};
        const ssize_t size = ::preadv2(fd_, &piece, 1, -1, RWF_NOWAIT);
        if (size > 0)
            return static_cast<std::size_t>(size);
        if (size < 0 && errno == EAGAIN)
            ++readsThatWaited;
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
        ++refills_;
        const std::size_t kept = filled_ - begin_;
        discarded_ += begin_;
        if (begin_ > 0 && kept > 0)
            std::memmove(buffer_, buffer_ + begin_, kept);
        begin_ = 0;
        scanned_ = filled_ = kept;
        if (buffer_ == nullptr) {
            buffer_ = spareForReading.take(capacity_);
            if (capacity_ < chunk_) {
                std::free(buffer_);
                buffer_ = nullptr;
                capacity_ = 0;
            }
        }
        const std::size_t room = capacity_ - kept;
        if (room == 0 || room < chunk_ / 2) {
            const std::size_t wanted = std::max(kept + chunk_, capacity_ * 2);
            buffer_ = GrowBuffer(buffer_, kept, capacity_, wanted, mapped_);
            capacity_ = wanted;
        }
        const std::size_t wanted = std::min(chunk_, capacity_ - filled_);
        const std::size_t size = readMore(buffer_ + filled_, wanted);
        filled_ += size;
        readSoFar_ += size;
        // A short read that reaches the size the file had when it was opened is its end; that
        // saves asking once more only to hear so.
        atEnd_ = size == 0 || (size < wanted && readSoFar_ >= expectedSize_);
        if (takeLine(line))
            return true;
    }
}

// --- FolderNames ----------------------------------------------------------------------------

namespace {

std::string_view NameIn(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

bool FolderNames::mayHold(const std::string &target) {
    if (state_ == State::Unknown || target.empty())
        return true;
    const std::string folder = FolderOf(target);
    if (state_ == State::Unlisted) {
        state_ = State::Unknown;
        DIR *dir = ::opendir(folder.c_str());
        if (dir == nullptr)
            return true;
        bool complete = true;
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            if (names_.size() == MaxNames) {
                complete = false;
                break;
            }
            names_.emplace_back(entry->d_name);
        }
        complete = complete && errno == 0;
        ::closedir(dir);
        if (!complete) {
            names_.clear();
            return true;
        }
        std::sort(names_.begin(), names_.end());
        folder_ = folder;
        state_ = State::Listed;
    }
    if (folder != folder_)
        return true;
    const std::string_view name = NameIn(target);
    return name.empty() || std::binary_search(names_.begin(), names_.end(), name) ||
           written_.find(name) != written_.end();
}

void FolderNames::noteWritten(const std::string &target) {
    if (state_ == State::Listed && FolderOf(target) == folder_)
        written_.emplace(NameIn(target));
}

// --- ResultWriter ---------------------------------------------------------------------------

namespace {

// The line end of every kept line but the last when line ends are not kept.
constexpr LineEnd JoiningLineEnd = LineEnd::CRLF;

// What the writer reads of the file at its path to compare, a piece at a time.
constexpr std::size_t ComparePiece = std::size_t(256) << 10;
thread_local std::unique_ptr<char[]> compareBuffer;

}  // namespace

ResultWriter::ResultWriter(const QString &path, const LineReader *input, Options options)
    : path_(path), options_(options), input_(input), endSource_(&JoiningLineEnd) {
    options_.keepLineEnds = options.keepLineEnds && input != nullptr;
    if (options_.keepLineEnds)
        endSource_ = input->lineEndAddress();
    takeBuffer();
}

ResultWriter::ResultWriter(const QString &path, Temporary temporary)
    : ResultWriter(path, nullptr, Options{temporary, false, false}) {}

ResultWriter::ResultWriter(std::string *text, const LineReader *input, bool keepLineEnds)
    : input_(input), text_(text), endSource_(&JoiningLineEnd) {
    options_.keepLineEnds = keepLineEnds && input != nullptr;
    if (options_.keepLineEnds)
        endSource_ = input->lineEndAddress();
    takeBuffer();
    text_->clear();
}

void ResultWriter::takeBuffer() {
    std::size_t capacity = 0;
    buffer_ = spareForWriting.take(capacity);
    if (capacity != BufferSize) {
        std::free(buffer_);
        buffer_ = static_cast<char *>(std::malloc(BufferSize));
        if (buffer_ == nullptr)
            throw std::bad_alloc();
    }
}

ResultWriter::~ResultWriter() {
    spareForWriting.giveBack(buffer_, BufferSize, BufferSize);
    if (ownCompareFd_)
        ::close(compareFd_);
    // An unfinished file, and a pending result nobody took, are dropped with file_ and pending_.
}

void ResultWriter::fail(int error) {
    throw FileError(FileError::Kind::Write, path_, error);
}

// The first bytes of the result: what is at the path decides how they are handled.
void ResultWriter::start() {
    if (input_ != nullptr && input_->status() != nullptr && input_->path() == path_) {
        // In place, and the input's path is the file itself: what its reader found is there.
        target_ = std::make_unique<ResultTarget>();
        target_->path = QFile::encodeName(path_).toStdString();
        target_->exists = true;
        target_->info = *input_->status();
    } else {
        std::string encoded = QFile::encodeName(path_).toStdString();
        if (options_.folderNames != nullptr && !encoded.empty() &&
            !options_.folderNames->mayHold(encoded)) {
            // Nothing there when the run listed the folder, and nothing written there since.
            target_ = std::make_unique<ResultTarget>();
            target_->path = std::move(encoded);
        } else {
            target_ =
                std::make_unique<ResultTarget>(ResolveResultTarget(path_, std::move(encoded)));
        }
    }
    state_ = State::Comparing;
    if (target_->exists) {
        if (input_ != nullptr && input_->descriptor() >= 0 &&
            input_->device() == target_->info.st_dev && input_->inode() == target_->info.st_ino) {
            // In place: the input's reader holds the file, or reads it.
            targetIsInput_ = true;
            compareFd_ = input_->descriptor();
            return;
        }
        do {
            compareFd_ =
                ::open(target_->path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        } while (compareFd_ < 0 && errno == EINTR);
        if (compareFd_ >= 0) {
            ownCompareFd_ = true;
            return;
        }
    }
    diverge();  // nothing there, or nothing that can be read: the result is new
}

// Whether the next `size` bytes of the result are what the file at the path holds there.
bool ResultWriter::sameAsTarget(const char *data, std::size_t size) {
    if (size == 0)
        return true;
    if (compared_ + size > static_cast<std::uint64_t>(target_->info.st_size))
        return false;
    if (targetIsInput_) {
        const std::string_view held = input_->held(compared_, size);
        if (held.size() == size)
            return std::memcmp(held.data(), data, size) == 0;
    }
    if (!compareBuffer)
        compareBuffer = std::make_unique<char[]>(ComparePiece);
    std::uint64_t offset = compared_;
    while (size > 0) {
        const ssize_t got = ::pread(compareFd_, compareBuffer.get(), std::min(size, ComparePiece),
                                    static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        // A file that cannot be read, or is shorter now, is different.
        if (got <= 0 || std::memcmp(compareBuffer.get(), data, static_cast<std::size_t>(got)) != 0)
            return false;
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

// The result differs from what is at the path from here on (compared_ bytes were equal).
void ResultWriter::diverge() {
    if (options_.dryRun) {
        // Whether the result could be written, as making its temporary file would find out.
        const std::string folder = FolderOf(target_->path);
        const int ok = target_->exists ? ::access(target_->path.c_str(), W_OK)
                                       : ::access(folder.c_str(), W_OK | X_OK);
        if (ok != 0)
            fail(errno);
        state_ = State::Differs;
        return;
    }
    file_ = std::make_unique<AtomicFile>(path_, options_.temporary, *target_);
    if (compared_ > 0) {
        const std::string_view held = targetIsInput_
                                          ? input_->held(0, static_cast<std::size_t>(compared_))
                                          : std::string_view();
        if (held.size() == compared_)
            file_->write(held.data(), held.size());
        else
            file_->copyFrom(compareFd_, compared_);
    }
    state_ = State::Writing;
}

void ResultWriter::store(const char *data, std::size_t size) {
    if (text_ != nullptr) {
        text_->append(data, size);
        return;
    }
    if (state_ == State::Unopened)
        start();
    if (state_ == State::Comparing) {
        if (sameAsTarget(data, size)) {
            compared_ += size;
            return;
        }
        diverge();
    }
    if (state_ == State::Writing)
        file_->write(data, size);
}

void ResultWriter::flushBuffer() {
    if (used_ > 0) {
        const std::size_t size = used_;
        used_ = 0;
        store(buffer_, size);
    }
}

void ResultWriter::appendLarge(std::string_view bytes) {
    flushBuffer();
    if (bytes.size() >= BufferSize) {
        store(bytes.data(), bytes.size());
    } else {
        std::memcpy(buffer_, bytes.data(), bytes.size());
        used_ = bytes.size();
    }
}

bool ResultWriter::finish() {
    if (finished_)
        return linesKept_ > 0;
    finished_ = true;
    if (linesKept_ == 0) {
        outcome_ = Outcome::Empty;
        return false;
    }
    // Read to its end, the input tells how its last line ended.
    if (options_.keepLineEnds && *endSource_ != LineEnd::None)
        appendLineEnd(pendingEnd_);
    flushBuffer();
    outcome_ = Outcome::Changed;
    if (text_ != nullptr)
        return true;
    if (state_ == State::Unopened)
        start();  // a result of one empty line has stored nothing yet
    if (state_ == State::Comparing) {
        if (compared_ == static_cast<std::uint64_t>(target_->info.st_size)) {
            outcome_ = Outcome::Unchanged;
            return true;
        }
        diverge();  // the file at the path is longer
    }
    if (state_ == State::Writing) {
        pending_ = file_->prepare(compareFd_);
        file_.reset();
        if (options_.folderNames != nullptr)
            options_.folderNames->noteWritten(pending_->target());
    }
    return true;
}

std::unique_ptr<PendingResult> ResultWriter::takePending() {
    return std::move(pending_);
}

// --- Whole files ----------------------------------------------------------------------------

std::vector<std::string> ReadTextFileLines(const QString &path) {
    LineReader reader(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    return lines;
}

void WriteTextFile(std::string_view text, const QString &path, Temporary temporary) {
    ResultWriter writer(path, temporary);
    writer.beginLine();
    writer.append(text);
    writer.finish();
    if (std::unique_ptr<PendingResult> pending = writer.takePending()) {
        CommitQueue queue;
        queue.add(std::move(pending), 0);
        const std::vector<CommitFailure> failures = queue.commit();
        if (!failures.empty())
            throw failures.front().error;
    }
}

}  // namespace RFTSFSO
