// Folders: the folder picker, the breadth-first folder walk, and listing a folder's files.
//
// Folder lists hold paths that end with the separator; the root chosen in the picker gives
// "//", and every path built from such an entry is cleaned with CollapseBackslashes before
// it becomes a row.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <string>

#include <dirent.h>
#include <sys/stat.h>

class FileListModel;
class Platform;

namespace AddFolder {

// How the walk and the listings open folders. The program uses SystemFolders(), which asks the
// system; a caller may hand in another, one that fails where the system would not, say.
class FolderAccess {
public:
    virtual ~FolderAccess() = default;
    // Opens the folder (its path without trailing separators; the root is "/") for reading its
    // entries: the open stream, or null with `error` set to the system's error number.
    virtual DIR *open(const QString &folder, int &error);
};

// The system's folders: opendir.
FolderAccess &SystemFolders();

// What the walk and the listings tell their caller while they work, and how they let it run
// its own events. The window's (WindowHooks) shows a report in the platform's box and lets the
// window's events run; the command line collects the reports and looks at its stop.
class WalkHooks {
public:
    virtual ~WalkHooks() = default;
    // An unexpected failure, as the report box would show it: the description (the reason and
    // the path), the procedure's location and the step.
    virtual void report(const QString &description, const QString &location, int step) = 0;
    // Called between entries. May throw CommandStopped or CommandAbandoned to end the walk.
    virtual void yield() = 0;
};

// The window's hooks: reports in the platform's box, and EventPump::LetEventsRun().
class WindowHooks : public WalkHooks {
public:
    explicit WindowHooks(Platform &platform) : platform_(platform) {}
    void report(const QString &description, const QString &location, int step) override;
    void yield() override;

private:
    Platform &platform_;
};

// Attribute bits of a file or folder: 16 a folder; 2 hidden (the name starts with "."); 32 a
// regular file; 1 read-only (the owner may not write); 1024 a symbolic link. There is no
// system bit here, but the refused folder values keep their meaning.
namespace Attribute {
enum : int { ReadOnly = 1, Hidden = 2, System = 4, Directory = 16, Archive = 32, Link = 1024 };
}
inline constexpr int RefusedFolder = Attribute::Directory | Attribute::System | Attribute::Hidden;
inline constexpr int RefusedLinkedFolder = RefusedFolder | Attribute::Link;
inline constexpr int RefusedFile = Attribute::Archive | Attribute::Hidden;

// Walked folders and folder names of this many characters or more are left out; this also
// ends the loops that symbolic links can form.
inline constexpr qsizetype MaxPath = 260;

// The folder picker: the chosen folder as the platform gives it (no trailing separator, except
// the root), or the empty text when the user cancelled.
QString BrowseFolder(Platform &platform, const QString &prompt, const QString &initialFolder);

// Appends to `folders` (paths ending with the separator) every folder below them, level by
// level, each level's folders in the order of their parents and, below one parent, by name.
// Lets the window's events run while it works. Folders that vanish or cannot be read are
// dropped without a message, except when opening the first folder of a call fails: that is
// reported. Folders left out by their name or the length of their path are added to `skipped`
// when it is given ("reason: path").
void GetSubDirectories2016(Platform &platform, QStringList &folders, bool recursive,
                           FolderAccess &access = SystemFolders(), QStringList *skipped = nullptr);
// The same, telling `hooks`.
void GetSubDirectories2016(WalkHooks &hooks, QStringList &folders, bool recursive,
                           FolderAccess &access = SystemFolders(), QStringList *skipped = nullptr);

// The names of the regular files directly in `folder` (with or without a trailing separator)
// that match the wildcard `pattern`, hidden files included, sorted by name. Empty when the
// folder cannot be read.
QStringList ListFolderFiles(const QString &folder, const QString &pattern,
                            FolderAccess &access = SystemFolders());

// Wildcards: letters compare without regard to case, "*" stands for any run of characters,
// "?" for one character, and "*.*" matches every name.
bool MatchesPattern(QStringView name, QStringView pattern);

// True when the path names an existing regular file (following links), whatever its
// permissions.
bool IsExistingFile(const QString &path);

// The attribute value of what the path names (a trailing separator is ignored); -1 when
// nothing can be read there.
int Attributes(const QString &path);

// Whether the folder `target` (reached through a link found in `folder`, a path ending with the
// separator) is `folder` or a folder above it: following the link would lead round in a loop.
bool LeadsBackUp(const QString &folder, const struct stat &target);

// Whether a name decoded from the file system's bytes gives those bytes back; a name whose bytes
// cannot be decoded gives a path that names nothing.
bool IsFaithfulName(const QString &name, const char *bytes);

// True when a folder name holds a control character (below 32 or from 127 to 159), "?", or
// bytes that the file-name encoding cannot decode.
bool HasBadNameCharacters(const QString &name);

// Why the walk leaves out a sub-folder of this name (decoded from `bytes`), translated, as its
// skipped() entry begins; empty when it is walked.
QString FolderNameSkip(const QString &name, const char *bytes);

// A folder (links resolved) whose files the walk never takes, not through a link either, and
// the reason a link that leads there is listed as skipped with.
struct KeptAway {
    std::string folder;
    QString reason;
};

// Appends to the list the matching files of every folder of `folders`, folder by folder,
// leaving out names that start with "~" and writable hidden regular files (value 34). The
// window's events run while the folders are read, and the rows are appended a few thousand at
// a time, each time after a folder; rows that another command adds meanwhile can come between
// two folders. The first folder is the searched one: a symbolic link to a file outside it is
// passed over. What is passed over that the pattern took (such links, names that are not valid
// UTF-8) goes to the list's skipped(). With `keptAway`, links to its files are passed over too.
void TakeFolderListFiles(const QStringList &folders, const QString &pattern, FileListModel &list,
                         FolderAccess &access = SystemFolders(),
                         const KeptAway *keptAway = nullptr);

// The rows that TakeFolderListFiles appends for one folder of the walk (a path ending with the
// separator), sorted by name. Calls hooks.yield() while the folder is read. With `root` (the
// searched folder, links resolved), links to files outside it are left out; with `skipped`,
// what is left out that the pattern took is added there.
QStringList FolderListFiles(const QString &folder, const QString &pattern, WalkHooks &hooks,
                            FolderAccess &access = SystemFolders(),
                            const std::string *root = nullptr, QStringList *skipped = nullptr,
                            const KeptAway *keptAway = nullptr);

}  // namespace AddFolder
