// File names as text and back, for any bytes the system allows in a name. Decoding takes each
// valid UTF-8 sequence as its character and every other byte, 0x80 to 0xFF, as the lone
// surrogate U+DC80 + (byte - 0x80) ("surrogateescape"), which no valid UTF-8 can give; encoding
// gives such a surrogate back as its byte and everything else as UTF-8. A name's bytes encode
// back from their text exactly, and a valid UTF-8 name is its text as any UTF-8 decoder reads
// it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Posix {

// Whether `unit` stands for a byte that is not part of valid UTF-8 (its byte: unit - 0xDC00).
constexpr bool IsEscapedByte(char16_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

// Writes the UTF-16 text of `bytes` to `out`, which has room for bytes.size() units (the text
// never needs more); answers the number of units written.
std::size_t DecodeName(std::string_view bytes, char16_t *out);
std::u16string DecodeName(std::string_view bytes);

// The bytes of a name's text. A surrogate that is neither half of a pair nor an escaped byte
// (no decoded name holds one) becomes U+FFFD.
std::string EncodeName(std::u16string_view text);

}  // namespace Posix
