#include "base/Main.h"

#include "posix/NameText.h"

#include <sys/stat.h>

namespace Main {

namespace {

// Each pair of separators made one, scanning once from left to right without overlap.
QString collapsePairs(QStringView text, QChar separator) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result.append(text[i]);
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator)
            ++i;
    }
    return result;
}

}  // namespace

QString GetFileName(const QString &path, QChar separator) {
    return path.mid(path.lastIndexOf(separator) + 1);
}

QString GetFolderPath(const QString &path, QChar separator) {
    const qsizetype last = path.lastIndexOf(separator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString PathText(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    text.resize(static_cast<qsizetype>(
        Posix::DecodeName(bytes, reinterpret_cast<char16_t *>(text.data()))));
    return text;
}

std::string PathBytes(QStringView path) {
    return Posix::EncodeName(std::u16string_view(path.utf16(), std::size_t(path.size())));
}

bool FolderExists(const QString &path) {
    if (path.isEmpty())
        return false;
    struct stat info;
    return ::stat(PathBytes(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString CollapseBackslashes(const QString &path, QChar separator) {
    if (path.isEmpty() || path[0] != separator)
        return collapsePairs(path, separator);
    qsizetype k = 0;
    while (k < path.size() && path[k] == separator)
        ++k;
    const QString prefix = separator == u'\\' ? QStringLiteral("\\\\") : QString(separator);
    return prefix + collapsePairs(QStringView(path).mid(k), separator);
}

}  // namespace Main
