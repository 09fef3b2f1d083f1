// Decoding a file's bytes into UTF-8 and encoding a result back, for the files that are not read
// as bytes (files/Encoding.h): UTF-16 and UTF-32 by the program itself, the multi-byte legacy
// charsets through the system's iconv (glibc's, part of the C library, which has every one of
// them). A file converted through iconv is only read when each piece of it comes back from
// UTF-8 as the very bytes it was, so that what a result keeps is written back unchanged.
#pragma once

#include "files/Encoding.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace RFTSFSO {

// Bytes that do not decode in their encoding, or a character that it cannot hold.
struct Undecodable {};

class Decoder {
public:
    struct Step {
        std::size_t consumed = 0;  // bytes of the input decoded
        std::size_t produced = 0;  // bytes of UTF-8 written
    };
    virtual ~Decoder() = default;
    // Decodes whole characters from `in` into `out`, as many as `room` bytes hold (at least 16).
    // Bytes at the end of `in` that begin a character without completing it are left for the
    // next call, unless `last` says that no more come. Throws Undecodable.
    virtual Step decode(const char *in, std::size_t size, char *out, std::size_t room,
                        bool last) = 0;
};

class Encoder {
public:
    virtual ~Encoder() = default;
    // Appends `utf8`, valid UTF-8, in the encoding to `out`. A character cut at its end waits
    // for the next call. Throws Undecodable.
    virtual void encode(std::string_view utf8, std::string &out) = 0;
    // The end of the text: appends what is still held. Throws Undecodable when a character was
    // left incomplete.
    virtual void finish(std::string &out) = 0;
};

// For an encoding that is decoded (encoding.decoded()). Throws Undecodable when the system has
// no conversion for it.
std::unique_ptr<Decoder> MakeDecoder(const FileEncoding &encoding);
std::unique_ptr<Encoder> MakeEncoder(const FileEncoding &encoding);

// Whether a file in `encoding` can hold every character of `utf8` (valid UTF-8): always, but
// for a legacy charset that lacks one of them.
bool CanHold(const FileEncoding &encoding, std::string_view utf8);

}  // namespace RFTSFSO
