#include "files/Encoding.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <utility>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Encoding)
};

}  // namespace

namespace RFTSFSO {

namespace {

// How far into a page its charset is looked for.
constexpr std::size_t DeclarationRange = 1024;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Small(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

std::string Smalls(std::string_view text) {
    std::string small(text);
    for (char &c : small)
        c = Small(c);
    return small;
}

// Whether `text` at `at` starts with `word` (small letters), in any letter case.
bool StartsAt(std::string_view text, std::size_t at, std::string_view word) {
    if (at > text.size() || text.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Small(text[at + i]) != word[i])
            return false;
    }
    return true;
}

std::string_view TrimmedView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Trimmed(std::string_view text) {
    return Smalls(TrimmedView(text));
}

// Whether `text` is `word` (small letters) in any letter case.
bool Is(std::string_view text, std::string_view word) {
    return text.size() == word.size() && StartsAt(text, 0, word);
}

// The value after "charset" in a Content-Type ("text/html; charset=koi8-r"), or empty.
std::string CharsetOfContentType(std::string_view content) {
    const std::string small = Smalls(content);
    for (std::size_t at = small.find("charset"); at != std::string::npos;
         at = small.find("charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < small.size() && IsBlank(small[i]))
            ++i;
        if (i >= small.size() || small[i] != '=')
            continue;
        ++i;
        while (i < small.size() && IsBlank(small[i]))
            ++i;
        if (i < small.size() && (small[i] == '"' || small[i] == '\'')) {
            const std::size_t end = small.find(small[i], i + 1);
            return end == std::string::npos ? std::string()
                                            : Trimmed(small.substr(i + 1, end - i - 1));
        }
        std::size_t end = i;
        while (end < small.size() && !IsBlank(small[end]) && small[end] != ';')
            ++end;
        return Trimmed(small.substr(i, end - i));
    }
    return {};
}

// The attributes of the tag whose name ends at `at`, up to its ">", one at a time.
class Attributes {
public:
    Attributes(std::string_view text, std::size_t at) : text_(text), at_(at) {}

    // The next attribute; false at the tag's end (or the end of the text).
    bool next(std::string_view &name, std::string_view &value) {
        while (at_ < text_.size() && (IsBlank(text_[at_]) || text_[at_] == '/'))
            ++at_;
        if (at_ >= text_.size() || text_[at_] == '>')
            return false;
        const std::size_t start = at_;
        while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '=' &&
               text_[at_] != '>' && text_[at_] != '/')
            ++at_;
        name = text_.substr(start, at_ - start);
        value = {};
        std::size_t i = at_;
        while (i < text_.size() && IsBlank(text_[i]))
            ++i;
        if (i >= text_.size() || text_[i] != '=')
            return true;
        ++i;
        while (i < text_.size() && IsBlank(text_[i]))
            ++i;
        if (i < text_.size() && (text_[i] == '"' || text_[i] == '\'')) {
            const std::size_t end = text_.find(text_[i], i + 1);
            if (end == std::string_view::npos) {
                at_ = text_.size();  // the value runs past what is looked at
                return false;
            }
            value = text_.substr(i + 1, end - i - 1);
            at_ = end + 1;
            return true;
        }
        const std::size_t from = i;
        while (i < text_.size() && !IsBlank(text_[i]) && text_[i] != '>')
            ++i;
        value = text_.substr(from, i - from);
        at_ = i;
        return true;
    }

private:
    std::string_view text_;
    std::size_t at_;
};

// The charset that the meta element whose name ends at `at` gives, or empty.
std::string CharsetOfMeta(std::string_view text, std::size_t at) {
    Attributes attributes(text, at);
    std::string_view name, value, charset, content;
    bool contentType = false;
    while (attributes.next(name, value)) {
        if (Is(name, "charset") && charset.empty())
            charset = TrimmedView(value);
        else if (Is(name, "http-equiv"))
            contentType = Is(TrimmedView(value), "content-type");
        else if (Is(name, "content") && content.empty())
            content = value;
    }
    if (!charset.empty())
        return Smalls(charset);
    return contentType ? CharsetOfContentType(content) : std::string();
}

// The encoding an XML declaration at the start of `text` names, or empty.
std::string CharsetOfXmlDeclaration(std::string_view text) {
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    Attributes attributes(declaration, 5);
    std::string_view name, value;
    while (attributes.next(name, value)) {
        if (Is(name, "encoding"))
            return Trimmed(value);
    }
    return {};
}

struct Converter {
    std::string_view label;  // as pages name it, small letters
    const char *converter;   // iconv's name
    const char *charset;     // for messages
};

// The multi-byte legacy charsets, by the names pages give them. Shift_JIS is read as Windows'
// form of it (CP932, whose 5C is the backslash, as browsers read it), EUC-KR as its superset
// CP949.
constexpr std::array<Converter, 38> Converters = {{
    {"shift_jis", "CP932", "Shift_JIS"},
    {"shift-jis", "CP932", "Shift_JIS"},
    {"sjis", "CP932", "Shift_JIS"},
    {"x-sjis", "CP932", "Shift_JIS"},
    {"ms_kanji", "CP932", "Shift_JIS"},
    {"csshiftjis", "CP932", "Shift_JIS"},
    {"windows-31j", "CP932", "Shift_JIS"},
    {"ms932", "CP932", "Shift_JIS"},
    {"cp932", "CP932", "Shift_JIS"},
    {"euc-jp", "EUC-JP", "EUC-JP"},
    {"x-euc-jp", "EUC-JP", "EUC-JP"},
    {"cseucpkdfmtjapanese", "EUC-JP", "EUC-JP"},
    {"gb18030", "GB18030", "GB18030"},
    {"gbk", "GBK", "GBK"},
    {"gb2312", "GBK", "GBK"},
    {"x-gbk", "GBK", "GBK"},
    {"cp936", "GBK", "GBK"},
    {"windows-936", "GBK", "GBK"},
    {"csgb2312", "GBK", "GBK"},
    {"chinese", "GBK", "GBK"},
    {"gb_2312-80", "GBK", "GBK"},
    {"iso-ir-58", "GBK", "GBK"},
    {"big5", "BIG5", "Big5"},
    {"cn-big5", "BIG5", "Big5"},
    {"csbig5", "BIG5", "Big5"},
    {"x-x-big5", "BIG5", "Big5"},
    {"big5-hkscs", "BIG5-HKSCS", "Big5-HKSCS"},
    {"euc-kr", "CP949", "EUC-KR"},
    {"cseuckr", "CP949", "EUC-KR"},
    {"ks_c_5601-1987", "CP949", "EUC-KR"},
    {"ks_c_5601-1989", "CP949", "EUC-KR"},
    {"ksc5601", "CP949", "EUC-KR"},
    {"ksc_5601", "CP949", "EUC-KR"},
    {"csksc56011987", "CP949", "EUC-KR"},
    {"iso-ir-149", "CP949", "EUC-KR"},
    {"korean", "CP949", "EUC-KR"},
    {"windows-949", "CP949", "EUC-KR"},
    {"cp949", "CP949", "EUC-KR"},
}};

bool IsUtf8Label(std::string_view label) {
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8" ||
           label == "unicode11utf8" || label == "unicode20utf8" || label == "x-unicode20utf8";
}

bool IsUtf16Label(std::string_view label) {
    return label == "utf-16" || label == "utf-16le" || label == "utf-16be" || label == "unicode" ||
           label == "ucs-2" || label == "csunicode" || label == "iso-10646-ucs-2" ||
           label == "unicodefeff" || label == "unicodefffe";
}

}  // namespace

std::string_view FileEncoding::mark() const {
    if (!marked)
        return {};
    switch (form) {
        case TextForm::Bytes:
            return "\xEF\xBB\xBF";
        case TextForm::Utf16LE:
            return "\xFF\xFE";
        case TextForm::Utf16BE:
            return "\xFE\xFF";
        case TextForm::Utf32LE:
            return std::string_view("\xFF\xFE\0\0", 4);
        case TextForm::Utf32BE:
            return std::string_view("\0\0\xFE\xFF", 4);
        case TextForm::Converted:
            break;
    }
    return {};
}

QString FileEncoding::name() const {
    switch (form) {
        case TextForm::Bytes:
            return QStringLiteral("UTF-8");
        case TextForm::Utf16LE:
            return QStringLiteral("UTF-16LE");
        case TextForm::Utf16BE:
            return QStringLiteral("UTF-16BE");
        case TextForm::Utf32LE:
            return QStringLiteral("UTF-32LE");
        case TextForm::Utf32BE:
            return QStringLiteral("UTF-32BE");
        case TextForm::Converted:
            break;
    }
    return QString::fromLatin1(charset);
}

std::string DeclaredCharset(std::string_view head) {
    const std::string_view text = head.substr(0, DeclarationRange);
    if (StartsAt(text, 0, "<?xml") && text.size() > 5 && IsBlank(text[5])) {
        std::string charset = CharsetOfXmlDeclaration(text);
        if (!charset.empty())
            return charset;
    }
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (text.substr(at, 4) == "<!--") {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string_view::npos)
                return {};
            at = end + 2;
            continue;
        }
        if (StartsAt(text, at + 1, "meta") && at + 5 < text.size() &&
            (IsBlank(text[at + 5]) || text[at + 5] == '/')) {
            std::string charset = CharsetOfMeta(text, at + 5);
            if (!charset.empty())
                return charset;
        }
    }
    return {};
}

FileEncoding DetectEncoding(std::string_view head) {
    FileEncoding encoding;
    auto marked = [&](TextForm form) {
        encoding.form = form;
        encoding.marked = true;
        return encoding;
    };
    if (head.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
        return marked(TextForm::Utf32LE);
    if (head.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return marked(TextForm::Utf32BE);
    if (head.starts_with("\xFF\xFE"))
        return marked(TextForm::Utf16LE);
    if (head.starts_with("\xFE\xFF"))
        return marked(TextForm::Utf16BE);
    // After UTF-8's mark the file is UTF-8; only a single-byte page that the page names counts,
    // for its lines that are not UTF-8 after all.
    if (head.starts_with("\xEF\xBB\xBF")) {
        marked(TextForm::Bytes);
        head.remove_prefix(3);
    }
    std::string label = DeclaredCharset(head);
    if (label.empty() || IsUtf8Label(label) || IsUtf16Label(label))
        return encoding;
    const auto converter =
        std::find_if(Converters.begin(), Converters.end(),
                     [&](const Converter &known) { return known.label == label; });
    if (converter == Converters.end()) {
        encoding.declared = std::move(label);
    } else if (!encoding.marked) {
        encoding.form = TextForm::Converted;
        encoding.converter = converter->converter;
        encoding.charset = converter->charset;
    }
    return encoding;
}

NotText::NotText(Why why, QString path, QString encoding)
    : std::runtime_error(why == Why::Binary ? "binary" : "cannot be decoded"),
      why_(why),
      path_(std::move(path)),
      encoding_(std::move(encoding)) {}

QString NotText::reason() const {
    if (why_ == Why::Binary)
        return Texts::tr("Binary");
    return Texts::tr("Cannot be decoded as ") + encoding_;
}

}  // namespace RFTSFSO
