// Folders: the folder picker, the breadth-first folder walk, and listing a folder's files.
#pragma once

#include <QString>
#include <QStringList>

class FileListModel;
class Platform;

namespace AddFolder {

// The folder picker: the chosen folder as the platform gives it (no trailing separator, except
// the root), or the empty text when the user cancelled.
QString BrowseFolder(Platform &platform, const QString &prompt, const QString &initialFolder);

// Appends to `folders` (paths ending with the separator) every folder below them, level by
// level. Folders that vanish or cannot be read are dropped without a message.
void GetSubDirectories2016(Platform &platform, QStringList &folders, bool recursive);

// The names of the files directly in `folder` that match the wildcard `pattern`, hidden files
// included, sorted by name.
QStringList ListFolderFiles(const QString &folder, const QString &pattern);

// True when the path names an existing regular file (following links).
bool IsExistingFile(const QString &path);

// True when a folder name holds a control character, "?", or bytes the file-name encoding
// cannot decode.
bool HasBadNameCharacters(const QString &name);

// Appends to the list the files of every folder of `folders` that match `pattern`, folder by
// folder.
void TakeFolderListFiles(const QStringList &folders, const QString &pattern, FileListModel &list);

}  // namespace AddFolder
