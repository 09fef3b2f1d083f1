// A path as the run holds it (QString) and as the file system's bytes, through the reversible
// text of posix/NameText.h: a name of any bytes comes back from its text byte for byte, and a
// valid UTF-8 one is the text Qt gives it. (base/Main.h holds the same pair for the layers
// that do without files/.)
#pragma once

#include "posix/NameText.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

inline QString PathText(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    text.resize(static_cast<qsizetype>(
        Posix::DecodeName(bytes, reinterpret_cast<char16_t *>(text.data()))));
    return text;
}

inline std::string PathBytes(QStringView path) {
    return Posix::EncodeName(std::u16string_view(path.utf16(), std::size_t(path.size())));
}
