#include "files/Transcoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <iconv.h>

namespace RFTSFSO {

namespace {

std::size_t Utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

std::size_t PutUtf8(char32_t c, char *out) {
    auto byte = [](char32_t value) { return static_cast<char>(value); };
    if (c < 0x80) {
        out[0] = byte(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = byte(0xC0 | c >> 6);
        out[1] = byte(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = byte(0xE0 | c >> 12);
        out[1] = byte(0x80 | (c >> 6 & 0x3F));
        out[2] = byte(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = byte(0xF0 | c >> 18);
    out[1] = byte(0x80 | (c >> 12 & 0x3F));
    out[2] = byte(0x80 | (c >> 6 & 0x3F));
    out[3] = byte(0x80 | (c & 0x3F));
    return 4;
}

// The code units of `Width` bytes (2 or 4) in either byte order.
template <int Width, bool Big>
char32_t UnitAt(const unsigned char *p) {
    if constexpr (Width == 2)
        return Big ? char32_t(p[0]) << 8 | p[1] : char32_t(p[1]) << 8 | p[0];
    else if constexpr (Big)
        return char32_t(p[0]) << 24 | char32_t(p[1]) << 16 | char32_t(p[2]) << 8 | p[3];
    else
        return char32_t(p[3]) << 24 | char32_t(p[2]) << 16 | char32_t(p[1]) << 8 | p[0];
}

// Puts one unit at `to`; answers the byte after it.
template <int Width, bool Big>
char *PutUnit(char32_t unit, char *to) {
    for (int i = 0; i < Width; ++i)
        to[Big ? Width - 1 - i : i] = static_cast<char>(unit >> (8 * i) & 0xFF);
    return to + Width;
}

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// UTF-16 (Width 2) or UTF-32 (Width 4), either byte order.
template <int Width, bool Big>
class UnicodeDecoder : public Decoder {
public:
    Step decode(const char *in, std::size_t size, char *out, std::size_t room, bool last) override {
        const auto *p = reinterpret_cast<const unsigned char *>(in);
        std::size_t i = 0, o = 0;
        while (size - i >= Width) {
            if constexpr (Width == 2) {
                // Four ASCII characters at a time.
                constexpr std::uint64_t High = Big ? 0x80FF80FF80FF80FFull : 0xFF80FF80FF80FF80ull;
                while (size - i >= 8 && room - o >= 4) {
                    std::uint64_t word;
                    std::memcpy(&word, p + i, 8);
                    if ((word & High) != 0)
                        break;
                    for (std::size_t k = 0; k < 4; ++k)
                        out[o + k] = static_cast<char>(p[i + 2 * k + (Big ? 1 : 0)]);
                    i += 8;
                    o += 4;
                }
                if (size - i < Width)
                    break;
            }
            char32_t c = UnitAt<Width, Big>(p + i);
            std::size_t units = Width;
            if (Width == 2 && IsSurrogate(c)) {
                if (c >= 0xDC00)
                    throw Undecodable{};
                if (size - i < 4) {
                    if (last)
                        throw Undecodable{};
                    break;
                }
                const char32_t low = UnitAt<Width, Big>(p + i + 2);
                if (low < 0xDC00 || low > 0xDFFF)
                    throw Undecodable{};
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                units = 4;
            } else if (Width == 4 && (c > 0x10FFFF || IsSurrogate(c))) {
                throw Undecodable{};
            }
            if (room - o < Utf8Length(c))
                break;
            o += PutUtf8(c, out + o);
            i += units;
        }
        if (last && size - i > 0 && size - i < Width)
            throw Undecodable{};  // a length that is no whole number of units
        return {i, o};
    }
};

// Reads UTF-8 characters from pieces that may cut one, for the encoders.
class Utf8Pieces {
public:
    // Calls put(c) for each whole character of `utf8` and of what the last piece left.
    template <class Put>
    void each(std::string_view utf8, Put &&put) {
        const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
        const std::size_t n = utf8.size();
        std::size_t i = 0;
        if (held_ > 0) {
            const std::size_t length = LengthOf(static_cast<unsigned char>(cut_[0]));
            while (held_ < length && held_ < sizeof cut_ && i < n)
                cut_[held_++] = static_cast<char>(p[i++]);
            if (held_ < length)
                return;
            put(Decode(reinterpret_cast<const unsigned char *>(cut_), length));
            held_ = 0;
        }
        while (i < n) {
            if (p[i] < 0x80) {
                put(char32_t(p[i++]));
                continue;
            }
            const std::size_t length = LengthOf(p[i]);
            if (n - i < length) {
                std::memcpy(cut_, p + i, n - i);
                held_ = n - i;
                return;
            }
            put(Decode(p + i, length));
            i += length;
        }
    }
    bool holds() const { return held_ > 0; }

private:
    static std::size_t LengthOf(unsigned char lead) {
        if (lead < 0xC0 || lead >= 0xF8)
            throw Undecodable{};
        return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    }
    static char32_t Decode(const unsigned char *p, std::size_t length) {
        char32_t c = p[0] & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            c = c << 6 | (p[k] & 0x3F);
        return c;
    }

    char cut_[4] = {};
    std::size_t held_ = 0;
};

template <int Width, bool Big>
class UnicodeEncoder : public Encoder {
public:
    void encode(std::string_view utf8, std::string &out) override {
        // Each byte of UTF-8 gives at most one unit (a four-byte character two of UTF-16), and
        // the character that the last piece left cut gives at most four bytes more.
        const std::size_t start = out.size();
        out.resize(start + (utf8.size() + 4) * Width);
        char *to = out.data() + start;
        auto put = [&](char32_t c) {
            if (Width == 2 && c >= 0x10000) {
                to = PutUnit<Width, Big>(0xD800 + ((c - 0x10000) >> 10), to);
                to = PutUnit<Width, Big>(0xDC00 + ((c - 0x10000) & 0x3FF), to);
            } else {
                to = PutUnit<Width, Big>(c, to);
            }
        };
        // Runs of ASCII straight through, eight bytes at a time where they can; each run of
        // other bytes (a byte below 0x80 always starts a character) through the pieces.
        const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
        const std::size_t n = utf8.size();
        std::size_t i = 0;
        while (i < n) {
            if (!pieces_.holds()) {
                for (std::uint64_t word; n - i >= 8; i += 8) {
                    std::memcpy(&word, p + i, 8);
                    if ((word & 0x8080808080808080ull) != 0)
                        break;
                    for (std::size_t k = 0; k < 8; ++k)
                        to = PutUnit<Width, Big>(p[i + k], to);
                }
                while (i < n && p[i] < 0x80)
                    to = PutUnit<Width, Big>(p[i++], to);
            }
            std::size_t end = i;
            while (end < n && p[end] >= 0x80)
                ++end;
            end = std::max(end, std::min(i + 1, n));  // a cut character before ASCII: its error
            pieces_.each(utf8.substr(i, end - i), put);
            i = end;
        }
        out.resize(static_cast<std::size_t>(to - out.data()));
    }
    void finish(std::string &) override {
        if (pieces_.holds())
            throw Undecodable{};
    }

private:
    Utf8Pieces pieces_;
};

// A conversion of the system's iconv, closed with it.
class Iconv {
public:
    Iconv(const char *to, const char *from) : cd_(::iconv_open(to, from)) {
        // iconv_open answers (iconv_t) -1 when it has no such conversion, with errno EINVAL.
        if (cd_ == Failed())
            throw Undecodable{};
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    ~Iconv() { ::iconv_close(cd_); }

    // Converts as much of [in, in + size) as `room` holds; answers the input converted, and
    // `written` what it wrote. A character cut at the end is left, unless `last`. Throws
    // Undecodable for bytes it cannot convert, and for a conversion that cannot be undone.
    std::size_t convert(const char *in, std::size_t size, char *out, std::size_t room,
                        std::size_t &written, bool last) {
        char *from = const_cast<char *>(in);
        std::size_t left = size;
        char *to = out;
        std::size_t space = room;
        const std::size_t irreversible = ::iconv(cd_, &from, &left, &to, &space);
        if (irreversible == static_cast<std::size_t>(-1)) {
            if (errno == EILSEQ || (errno == EINVAL && last))
                throw Undecodable{};
        } else if (irreversible > 0) {
            throw Undecodable{};
        }
        written = room - space;
        return size - left;
    }
    // Writes what the conversion still holds.
    std::size_t flush(char *out, std::size_t room) {
        char *to = out;
        std::size_t space = room;
        if (::iconv(cd_, nullptr, nullptr, &to, &space) == static_cast<std::size_t>(-1))
            throw Undecodable{};
        return room - space;
    }

private:
    static iconv_t Failed() {
        iconv_t failed;
        const std::intptr_t all = -1;
        std::memcpy(&failed, &all, sizeof failed);
        return failed;
    }

    iconv_t cd_;
};

// Converts all of `utf8` through `conversion`, appending to `out`.
void ConvertAll(Iconv &conversion, std::string_view utf8, std::string &out, bool last) {
    char piece[4096];
    while (!utf8.empty()) {
        std::size_t written = 0;
        const std::size_t used =
            conversion.convert(utf8.data(), utf8.size(), piece, sizeof piece, written, last);
        out.append(piece, written);
        if (used == 0 && written == 0)
            break;  // a character cut at the end: the caller keeps it
        utf8.remove_prefix(used);
    }
}

class IconvDecoder : public Decoder {
public:
    explicit IconvDecoder(const char *charset) : in_("UTF-8", charset), back_(charset, "UTF-8") {}

    Step decode(const char *in, std::size_t size, char *out, std::size_t room, bool last) override {
        std::size_t produced = 0;
        const std::size_t consumed = in_.convert(in, size, out, room, produced, last);
        // The bytes must come back as they were.
        again_.clear();
        ConvertAll(back_, std::string_view(out, produced), again_, true);
        char tail[64];
        again_.append(tail, back_.flush(tail, sizeof tail));
        if (std::string_view(again_) != std::string_view(in, consumed))
            throw Undecodable{};
        return {consumed, produced};
    }

private:
    Iconv in_, back_;
    std::string again_;
};

class IconvEncoder : public Encoder {
public:
    explicit IconvEncoder(const char *charset) : out_(charset, "UTF-8") {}

    void encode(std::string_view utf8, std::string &out) override {
        if (!cut_.empty()) {
            cut_.append(utf8);
            const std::string held = std::move(cut_);
            cut_.clear();
            put(held, out);
            return;
        }
        put(utf8, out);
    }
    void finish(std::string &out) override {
        if (!cut_.empty())
            throw Undecodable{};
        char tail[64];
        out.append(tail, out_.flush(tail, sizeof tail));
    }

private:
    void put(std::string_view utf8, std::string &out) {
        char piece[4096];
        while (!utf8.empty()) {
            std::size_t written = 0;
            const std::size_t used =
                out_.convert(utf8.data(), utf8.size(), piece, sizeof piece, written, false);
            out.append(piece, written);
            if (used == 0 && written == 0) {
                cut_.assign(utf8);  // a character cut at the end of the piece
                return;
            }
            utf8.remove_prefix(used);
        }
    }

    Iconv out_;
    std::string cut_;
};

}  // namespace

std::unique_ptr<Decoder> MakeDecoder(const FileEncoding &encoding) {
    switch (encoding.form) {
        case TextForm::Utf16LE:
            return std::make_unique<UnicodeDecoder<2, false>>();
        case TextForm::Utf16BE:
            return std::make_unique<UnicodeDecoder<2, true>>();
        case TextForm::Utf32LE:
            return std::make_unique<UnicodeDecoder<4, false>>();
        case TextForm::Utf32BE:
            return std::make_unique<UnicodeDecoder<4, true>>();
        case TextForm::Converted:
            return std::make_unique<IconvDecoder>(encoding.converter);
        case TextForm::Bytes:
            break;
    }
    return nullptr;
}

std::unique_ptr<Encoder> MakeEncoder(const FileEncoding &encoding) {
    switch (encoding.form) {
        case TextForm::Utf16LE:
            return std::make_unique<UnicodeEncoder<2, false>>();
        case TextForm::Utf16BE:
            return std::make_unique<UnicodeEncoder<2, true>>();
        case TextForm::Utf32LE:
            return std::make_unique<UnicodeEncoder<4, false>>();
        case TextForm::Utf32BE:
            return std::make_unique<UnicodeEncoder<4, true>>();
        case TextForm::Converted:
            return std::make_unique<IconvEncoder>(encoding.converter);
        case TextForm::Bytes:
            break;
    }
    return nullptr;
}

bool CanHold(const FileEncoding &encoding, std::string_view utf8) {
    if (encoding.form != TextForm::Converted)
        return true;
    try {
        Iconv conversion(encoding.converter, "UTF-8");
        std::string out;
        ConvertAll(conversion, utf8, out, true);
        return true;
    } catch (const Undecodable &) {
        return false;
    }
}

}  // namespace RFTSFSO
