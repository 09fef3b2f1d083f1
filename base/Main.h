// Taking apart, putting together and testing paths. The separator is the native one ('/')
// unless a caller names another; with '\' the functions work on Windows-style paths.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace Main {

inline constexpr QChar NativeSeparator = u'/';

// The text after the last separator; the whole path when it has none.
QString GetFileName(const QString &path, QChar separator = NativeSeparator);
// The text up to and including the last separator; empty when it has none.
QString GetFolderPath(const QString &path, QChar separator = NativeSeparator);
// A path's text from the file system's bytes and back (posix/NameText.h): any bytes come back
// exactly from the text, a byte that is not part of valid UTF-8 held as U+DC80 + (byte - 0x80).
QString PathText(std::string_view bytes);
std::string PathBytes(QStringView path);
// True when the path names an existing folder (following links); never fails.
bool FolderExists(const QString &path);
// Doubled separators made single in one left-to-right pass without overlap. A leading run of
// separators becomes exactly two with '\' (a network prefix) and exactly one with '/' (the
// root).
QString CollapseBackslashes(const QString &path, QChar separator = NativeSeparator);

}  // namespace Main
