// Taking apart, putting together and testing paths. The separator is the native one ('/')
// unless a caller names another; with '\' the functions work on Windows-style paths.
#pragma once

#include <QChar>
#include <QString>

namespace Main {

inline constexpr QChar NativeSeparator = u'/';

// The text after the last separator; the whole path when it has none.
QString GetFileName(const QString &path, QChar separator = NativeSeparator);
// The text up to and including the last separator; empty when it has none.
QString GetFolderPath(const QString &path, QChar separator = NativeSeparator);
// True when the path names an existing folder (following links); never fails.
bool FolderExists(const QString &path);
// Doubled separators made single in one left-to-right pass without overlap. A leading run of
// separators becomes exactly two with '\' (a network prefix) and exactly one with '/' (the
// root).
QString CollapseBackslashes(const QString &path, QChar separator = NativeSeparator);

}  // namespace Main
