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
//
// Waking the thread for every small result would cost two system calls and a switch a file: it
// is woken once enough is queued to be worth it (WakeAtPieces, WakeAtBytes), or when someone
// waits for a file's pieces.
class Writer {
public:
    static constexpr std::size_t WakeAtPieces = 8;
    static constexpr std::size_t WakeAtBytes = std::size_t(1) << 20;

    static Writer &instance() {
        static Writer *const writer = new Writer;  // never destroyed: its thread may still run
        return *writer;
    }

    std::mutex mutex;
    std::condition_variable work;  // the writing thread waits on it
    std::condition_variable done;  // those who wait for pieces to be written wait on it
    std::deque<Piece> queue;
    std::size_t queuedBytes = 0;
    bool writing = false;     // the front piece is being written, the lock released
    bool sleeping = false;    // the writing thread waits for work
    std::size_t waiters = 0;  // threads waiting on `done`

    // Whether the writing thread has reason to write now.
    bool worthWriting() const {
        return !queue.empty() &&
               (queue.size() >= WakeAtPieces || queuedBytes >= WakeAtBytes || waiters > 0);
    }
    // After a change under the lock: the writing thread is woken when it should write.
    void wakeIfWorth() {
        if (sleeping && worthWriting())
            work.notify_one();
    }
    // Waits on `done` until `ready`, letting the writing thread know that someone waits.
    template <class Ready>
    void waitUntil(std::unique_lock<std::mutex> &lock, Ready &&ready) {
        if (ready())
            return;
        ++waiters;
        wakeIfWorth();
        done.wait(lock, ready);
        --waiters;
    }

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
        writer.sleeping = true;
        writer.work.wait(lock, [&] { return writer.worthWriting(); });
        writer.sleeping = false;
        // Everything queued, now that the thread is awake.
        while (!writer.queue.empty()) {
            const Piece piece = writer.queue.front();
            File &file = *piece.file;
            int error = file.error_;
            if (error == 0 && !file.cancelled_) {
                writer.writing = true;
                lock.unlock();
                error = writeOne(file.fd_, piece.data, piece.size);
                if (error == 0 && file.hash_)
                    file.hasher_.add(piece.data, piece.size);
                lock.lock();
                writer.writing = false;
            }
            if (file.error_ == 0)
                file.error_ = error;
            writer.queue.pop_front();
            writer.queuedBytes -= piece.size;
            --file.unwritten_;
            std::free(piece.data);
            if (writer.waiters > 0)
                writer.done.notify_all();
        }
    }
}

WriteBehind::File::~File() {
    cancel();
}

void WriteBehind::File::send(char *data, std::size_t size) {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.waitUntil(lock, [&] {
        return writer.queue.empty() ||
               (writer.queuedBytes + size <= QueueBytes && writer.queue.size() < QueuePieces);
    });
    writer.queue.push_back(Piece{this, data, size});
    writer.queuedBytes += size;
    ++unwritten_;
    writer.start(&File::writeAll);
    writer.wakeIfWorth();
}

int WriteBehind::File::wait() {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    writer.waitUntil(lock, [&] { return unwritten_ == 0; });
    return error_;
}

void WriteBehind::File::cancel() {
    Writer &writer = Writer::instance();
    std::unique_lock<std::mutex> lock(writer.mutex);
    if (unwritten_ == 0)
        return;
    cancelled_ = true;
    // Every piece goes at once but the one being written, which is waited for.
    for (auto at = writer.queue.begin(); at != writer.queue.end();) {
        if (at->file == this && !(writer.writing && at == writer.queue.begin())) {
            writer.queuedBytes -= at->size;
            --unwritten_;
            std::free(at->data);
            at = writer.queue.erase(at);
        } else {
            ++at;
        }
    }
    writer.waitUntil(lock, [&] { return unwritten_ == 0; });
}

}  // namespace RFTSFSO
