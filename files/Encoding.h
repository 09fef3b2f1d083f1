// The encoding of a text file, as its first bytes tell it.
//
// Most files are bytes that the run reads and writes back as they are: UTF-8, ASCII, or a
// legacy single-byte page, each line judged on its own by the matching (text/TextMatch.h). At
// the start of each file the reader finds out whether it is one of the others, which it
// decodes to UTF-8 for the run and which the writer encodes back:
// - A byte-order mark: UTF-16 or UTF-32, little- or big-endian (FF FE, FE FF, FF FE 00 00,
//   00 00 FE FF). UTF-8's mark (EF BB BF) belongs to the file too, not to the text of its first
//   line; the file stays bytes.
// - A charset that an HTML page names in its first 1,024 bytes: <meta charset="...">, <meta
//   http-equiv="Content-Type" content="...; charset=...">, or the encoding of an XML
//   declaration. A multi-byte legacy charset (Shift_JIS, EUC-JP, GB18030, GBK, Big5, EUC-KR) is
//   converted through the system's iconv, and only when every byte of the file comes back as it
//   was. Any other name is kept for the matching, which knows the single-byte pages. UTF-8
//   changes nothing, and so does UTF-16: a page whose name could be read as ASCII is not UTF-16
//   (browsers read it as UTF-8), and a UTF-16 file that is has its mark.
//
// A file that holds a NUL byte and has no UTF-16 or UTF-32 mark is binary, not text: the run
// leaves it alone.
#pragma once

#include <QString>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace RFTSFSO {

// How a file's bytes are read.
enum class TextForm : unsigned char {
    Bytes,    // as they are
    Utf16LE,  // decoded; the writer encodes the result back
    Utf16BE,
    Utf32LE,
    Utf32BE,
    Converted,  // a multi-byte legacy charset, through iconv both ways
};

struct FileEncoding {
    TextForm form = TextForm::Bytes;
    // The file begins with a byte-order mark, which is no text of its first line: a result that
    // is written begins with it too.
    bool marked = false;
    // Bytes: the charset that the page names, in small letters, unless it is UTF-8 or UTF-16.
    std::string declared;
    // Converted: iconv's name of the charset, and the name a page gives it ("Shift_JIS").
    const char *converter = nullptr;
    const char *charset = nullptr;

    bool decoded() const { return form != TextForm::Bytes; }
    // The mark's bytes in the file's encoding; empty when it has none.
    std::string_view mark() const;
    // "UTF-16LE", "Shift_JIS", "UTF-8": for messages.
    QString name() const;
};

// The encoding that the start of a file shows (its first 1,024 bytes are enough; `head` may be
// longer). A file without a mark or a charset it names is bytes.
FileEncoding DetectEncoding(std::string_view head);

// The charset that an HTML page names in its first 1,024 bytes, in small letters, surrounding
// blanks taken away; empty when it names none. A meta element inside a comment names nothing.
std::string DeclaredCharset(std::string_view head);

// A file the run cannot read as text: binary (it holds a NUL byte), or bytes that do not decode
// in its encoding, or do not come back from it as they were. The run leaves such a file alone.
class NotText : public std::runtime_error {
public:
    enum class Why { Binary, Undecodable };
    NotText(Why why, QString path, QString encoding = QString());

    Why why() const { return why_; }
    const QString &path() const { return path_; }
    // Undecodable: the file's encoding, as name() gives it.
    const QString &encoding() const { return encoding_; }
    // "Binary", or "Cannot be decoded as UTF-16LE": without the path.
    QString reason() const;

private:
    Why why_;
    QString path_;
    QString encoding_;
};

}  // namespace RFTSFSO
