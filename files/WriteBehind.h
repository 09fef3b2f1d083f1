// Writing a result's bytes on a thread of their own, while the run reads and matches the next
// file: one thread for the whole program takes pieces of bytes, each for a temporary file
// (AtomicFile), and writes them in the order they were sent, hashing them on the way where the
// file keeps a record. A file's pieces are written in order; those of different files follow
// one another in the order sent.
//
// The sender waits when more than QueueBytes bytes or QueuePieces pieces are queued, so that
// memory stays bounded whatever the run. Whoever puts the file in place first waits for what
// was sent for it (wait()), which answers the first write that failed; a file that is dropped
// is cancelled, which drops what is not written yet and waits for a write in progress, so that
// its descriptor may be closed after.
#pragma once

#include "files/ContentHash.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace RFTSFSO {

class WriteBehind {
public:
    static constexpr std::size_t QueueBytes = std::size_t(16) << 20;
    static constexpr std::size_t QueuePieces = 64;

    // What was sent for one temporary file and what became of it.
    class File {
    public:
        // `fd` stays open until the file is cancelled or waited for; `hash`: the bytes are
        // hashed as they are written.
        File(int fd, bool hash) : fd_(fd), hash_(hash) {}
        File(const File &) = delete;
        File &operator=(const File &) = delete;
        ~File();

        // Hands over `data` (from malloc; freed once written) of `size` bytes. Waits while the
        // queue is full.
        void send(char *data, std::size_t size);
        // Waits until everything sent is written: 0, or the errno of the first write that
        // failed (nothing is written after it).
        int wait();
        // After wait(): the hash of the bytes written.
        std::uint64_t hash() const { return hasher_.end(); }
        // Drops what is not written yet and waits for a write in progress.
        void cancel();

    private:
        // The writing thread's work: the queue's pieces, one after the other, for ever.
        [[noreturn]] static void writeAll();
        // Writes one piece (no lock held): 0 or the errno.
        static int writeOne(int fd, const char *data, std::size_t size);

        const int fd_;
        const bool hash_;
        ContentHasher hasher_;       // touched by the writing thread alone until wait() returns
        std::size_t unwritten_ = 0;  // pieces sent and not yet written or dropped
        int error_ = 0;
        bool cancelled_ = false;
    };
};

}  // namespace RFTSFSO
