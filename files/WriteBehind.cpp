#include "files/WriteBehind.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace RFTSFSO {

namespace {

struct Piece {
    WriteBehind::File *file;
    char *data;
    std::size_t size;
};

// The one writing thread and its queue. It is started with the first piece and lives as long
// as the program; what is still queued when the program ends belongs to results never put in
// place, which leave nothing behind.
class Writer {
public:
    static Writer &instance() {
        static Writer *const writer = new Writer;  // never destroyed: its thread may still run
        return *writer;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Piece> queue;
    std::size_t queuedBytes = 0;

    void start(void (*body)()) {
        if (!started_) {
            started_ = true;
            std::thread(body).detach();
        }
    }

private:
    bool started_ = false;  // under mutex
};

}  // namespace

int WriteBehind::File::writeOne(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

void WriteBehind::File::writeAll() {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    for (;;) {
        writer.changed.wait(lock, [&] { return !writer.queue.empty(); });
        // The piece stays at the front while it is written, so that a cancel waits for it.
        const Piece piece = writer.queue.front();
        File &file = *piece.file;
        int error = file.error_;
        if (error == 0 && !file.cancelled_) {
            lock.unlock();
            error = writeOne(file.fd_, piece.data, piece.size);
            if (error == 0 && file.hash_)
                file.hasher_.add(piece.data, piece.size);
            lock.lock();
        }
        if (file.error_ == 0)
            file.error_ = error;
        writer.queue.pop_front();
        writer.queuedBytes -= piece.size;
        --file.unwritten_;
        std::free(piece.data);
        writer.changed.notify_all();
    }
}

WriteBehind::File::~File() {
    cancel();
}

void WriteBehind::File::send(char *data, std::size_t size) {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.changed.wait(lock, [&] {
        return writer.queue.empty() ||
               (writer.queuedBytes + size <= QueueBytes && writer.queue.size() < QueuePieces);
    });
    writer.queue.push_back(Piece{this, data, size});
    writer.queuedBytes += size;
    ++unwritten_;
    writer.start(&File::writeAll);
    writer.changed.notify_all();
}

int WriteBehind::File::wait() {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.changed.wait(lock, [&] { return unwritten_ == 0; });
    return error_;
}

void WriteBehind::File::cancel() {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    if (unwritten_ == 0)
        return;
    cancelled_ = true;
    // Pieces not yet begun go at once; the front one may be being written.
    for (auto at = writer.queue.begin(); at != writer.queue.end();) {
        if (at->file == this && at != writer.queue.begin()) {
            writer.queuedBytes -= at->size;
            --unwritten_;
            std::free(at->data);
            at = writer.queue.erase(at);
        } else {
            ++at;
        }
    }
    writer.changed.notify_all();
    writer.changed.wait(lock, [&] { return unwritten_ == 0; });
}

}  // namespace RFTSFSO
