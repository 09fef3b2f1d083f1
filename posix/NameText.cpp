#include "posix/NameText.h"

namespace Posix {

namespace {

// The length of the valid UTF-8 sequence at `p` (with `left` bytes there), or 0 when the byte
// at `p` starts none: overlong forms, surrogates and code points beyond U+10FFFF are not valid.
std::size_t SequenceAt(const unsigned char *p, std::size_t left, char32_t &code) {
    const unsigned char lead = p[0];
    std::size_t length = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[k] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void AppendUtf8(std::string &out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::size_t DecodeName(std::string_view bytes, char16_t *out) {
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t written = 0;
    for (std::size_t i = 0; i < size;) {
        if (p[i] < 0x80) {
            out[written++] = p[i++];
            continue;
        }
        char32_t code = 0;
        const std::size_t length = SequenceAt(p + i, size - i, code);
        if (length == 0) {
            out[written++] = static_cast<char16_t>(0xDC00 + p[i++]);
        } else if (code < 0x10000) {
            out[written++] = static_cast<char16_t>(code);
            i += length;
        } else {
            out[written++] = static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out[written++] = static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            i += length;
        }
    }
    return written;
}

std::u16string DecodeName(std::string_view bytes) {
    std::u16string text(bytes.size(), u'\0');
    text.resize(DecodeName(bytes, text.data()));
    return text;
}

std::string EncodeName(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (IsEscapedByte(unit)) {
            bytes += static_cast<char>(unit - 0xDC00);
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                   text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(bytes, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(bytes, 0xFFFD);
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

}  // namespace Posix
