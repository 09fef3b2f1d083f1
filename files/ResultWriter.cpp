#include "files/ResultWriter.h"

#include "files/PathText.h"
#include "files/SpareBuffer.h"

#include "posix/Io.h"
#include "posix/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RFTSFSO {

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

ResultWriter::ResultWriter(int fd, const QString &name, const LineReader *input, bool keepLineEnds)
    : path_(name), input_(input), outputFd_(fd), endSource_(&JoiningLineEnd) {
    options_.keepLineEnds = keepLineEnds && input != nullptr;
    if (options_.keepLineEnds)
        endSource_ = input->lineEndAddress();
    takeBuffer();
}

// Below this, what the buffer holds is copied out to be written behind.
constexpr std::size_t HandOverAtLeast = std::size_t(64) << 10;

void ResultWriter::takeBuffer() {
    std::size_t capacity = 0;
    buffer_ = SpareForWriting().take(capacity);
    if (capacity != BufferSize) {
        std::free(buffer_);
        buffer_ = static_cast<char *>(std::malloc(BufferSize));
        if (buffer_ == nullptr)
            throw std::bad_alloc();
    }
}

ResultWriter::~ResultWriter() {
    SpareForWriting().giveBack(buffer_, BufferSize, BufferSize);
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
        target_->path = PathBytes(path_);
        target_->exists = true;
        target_->info = *input_->status();
        // Put in place in the folder the input was read from.
        target_->folder = input_->folder();
    } else {
        std::string encoded = PathBytes(path_);
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
        std::string folder = Posix::FolderOf(target_->path);
        struct stat info;
        // Folders that would be made: the nearest one that exists decides.
        while (options_.makeFolders && !target_->exists && ::stat(folder.c_str(), &info) != 0 &&
               errno == ENOENT && Posix::FolderOf(folder) != folder)
            folder = Posix::FolderOf(folder);
        const int ok = target_->exists ? ::access(target_->path.c_str(), W_OK)
                                       : ::access(folder.c_str(), W_OK | X_OK);
        if (ok != 0)
            fail(errno);
        state_ = State::Differs;
        return;
    }
    if (options_.makeFolders && !target_->exists) {
        // A folder the run has seen or made already is there.
        const std::string folder = Posix::FolderOf(target_->path);
        FolderNames *known = options_.folderNames;
        if (known == nullptr || !known->isFolder(folder)) {
            if (const int error = Posix::MakeFolders(folder, 0777))
                fail(error);
            if (known != nullptr)
                known->noteFolder(folder);
        }
    }
    file_ = std::make_unique<AtomicFile>(path_, options_.temporary, *target_);
    if (options_.recorded)
        file_->recordFacts();
    if (options_.writeBehind)
        file_->writeBehind();
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

// The first bytes of the result: the input's mark, and from here on its encoding.
void ResultWriter::begin() {
    begun_ = true;
    if (input_ == nullptr)
        return;
    const FileEncoding &encoding = input_->encoding();
    if (encoding.decoded())
        encoder_ = MakeEncoder(encoding);
    const std::string_view mark = encoding.mark();
    if (!mark.empty())
        storeBytes(mark.data(), mark.size());
}

void ResultWriter::store(const char *data, std::size_t size) {
    if (!begun_)
        begin();
    if (!encoder_) {
        storeBytes(data, size);
        return;
    }
    encoded_.clear();
    try {
        encoder_->encode(std::string_view(data, size), encoded_);
    } catch (const Undecodable &) {
        throw NotText(NotText::Why::Undecodable, path_, input_->encoding().name());
    }
    storeBytes(encoded_.data(), encoded_.size());
}

void ResultWriter::storeBytes(const char *data, std::size_t size) {
    if (text_ != nullptr) {
        text_->append(data, size);
        return;
    }
    if (outputFd_ >= 0) {
        if (const int error = Posix::WriteAll(outputFd_, data, size))
            fail(error);
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
    // A full buffer written behind is handed over whole rather than copied.
    if (used_ >= HandOverAtLeast && state_ == State::Writing && !encoder_ && begun_ &&
        file_->writesBehind()) {
        char *const full = std::exchange(buffer_, nullptr);
        buffer_ = static_cast<char *>(std::malloc(BufferSize));
        if (buffer_ == nullptr) {
            buffer_ = full;
            throw std::bad_alloc();
        }
        file_->writeOwned(full, std::exchange(used_, 0));
        return;
    }
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
    if (!begun_)
        begin();  // a result of one empty line: its mark at least
    if (encoder_) {
        encoded_.clear();
        try {
            encoder_->finish(encoded_);
        } catch (const Undecodable &) {
            throw NotText(NotText::Why::Undecodable, path_, input_->encoding().name());
        }
        storeBytes(encoded_.data(), encoded_.size());
    }
    outcome_ = Outcome::Changed;
    if (text_ != nullptr || outputFd_ >= 0)
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

}  // namespace RFTSFSO
