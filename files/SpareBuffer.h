// One spare buffer per thread for reading and one for writing, so that a run over thousands of
// small files does not allocate and free two large buffers per file (and have the heap trimmed
// and grown again each time). Only buffers of ordinary size are kept. Used by the reader and the
// writer alone.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <utility>

namespace RFTSFSO {

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

// The spare buffers of this thread.
SpareBuffer &SpareForReading();
SpareBuffer &SpareForWriting();

}  // namespace RFTSFSO
