// The command line's folder search: the window's "Add All HTML Files In Folder" order (the
// folder's files, then those one level down, and so on; below one folder, names sorted as the
// window sorts them), with the filters of `strelmark remove` applied before anything is
// opened: a folder that is left out is never opened, and a file never looked at.
//
// What the search never takes, whatever the filters say (the window's rules and the version
// control folders), is decided in one place, FolderSearch.cpp's Skip functions. With no
// filters and a single extension it finds what the window's walk finds, in its order.
#pragma once

#include "cli/Arguments.h"
#include "cli/IgnoreRules.h"
#include "filelist/AddFolder.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace Cli {

// What the request's options take and leave out.
class SearchFilter {
public:
    // `store`: the undo store's folder, links resolved (or empty), whose files are never taken.
    explicit SearchFilter(const RemoveRequest &request, std::string store = {});

    // A sub-folder `name` at `path` below the searched folder ("a/b"), `depth` levels down.
    bool entersFolder(QStringView path, QStringView name, int depth,
                      const IgnoreRules *rules) const;
    // Whether the files of a folder `depth` levels down are listed at all.
    bool listsFolderAt(int depth) const { return maxDepth_ < 0 || depth < maxDepth_; }
    // A file `name` in the folder at `folder` below the searched folder ("a/b/", or empty).
    bool takesFile(const QString &folder, QStringView name, const IgnoreRules *rules) const;

    bool hidden() const { return hidden_; }
    bool gitignore() const { return gitignore_; }
    const std::string &store() const { return store_; }

private:
    std::string store_;
    QStringList patterns_;  // "*.EXT" (the window's wildcards); empty: every name
    std::vector<Glob> globs_, excludes_;
    bool hidden_, gitignore_;
    int maxDepth_;
};

// An entry that the search passed over although the filters take it: a folder whose path is
// longer than the system allows, a symbolic link that leads out of the searched folder or into
// the undo store. The run lists it as skipped.
struct SkippedEntry {
    QString path;    // as the run holds paths (base/Main.h, PathText: any bytes)
    QString reason;  // why, without the path
};

// The reason a file in the undo store is passed over, found or named: the store's records and
// kept files are never a run's input nor its output.
QString UndoStoreReason();

// The path with its links resolved (realpath), as the file system's bytes; empty when it
// cannot be resolved.
std::string RealPath(const std::string &path);
// Whether `path` is `folder` or below it, both with their links resolved; never for an empty
// `folder`.
bool IsWithin(const std::string &path, const std::string &folder);

// One folder of a search.
struct SearchedFolder {
    QString path;      // ending with the separator, as the window's walk gives it
    QString relative;  // below the searched folder, ending with "/"; "" for the folder itself
    int depth = 0;     // 0 for the searched folder
    // The folder and the searched folder with their links resolved, as the file system's
    // bytes (empty when they cannot be resolved): a folder that is not a link is its parent's
    // resolved path and its name, so that no folder costs a resolution of its whole path.
    std::string real, searchedReal;
    std::shared_ptr<const IgnoreRules> rules;  // those that hold in it (--gitignore), or null
};

// The searched folder `folder` (a path ending with the separator) and every folder below it
// that the filter enters, level by level. Folders that cannot be opened are passed over, as the
// window's walk passes them over; those too deep for the system are added to `skipped`. Unlike
// the window's walk, paths are not limited to MaxPath characters, only to what the system
// allows, and names may hold any bytes. Calls hooks.yield() between entries.
std::vector<SearchedFolder> FindFolders(const QString &folder, const SearchFilter &filter,
                                        AddFolder::WalkHooks &hooks,
                                        std::vector<SkippedEntry> &skipped);

// The files directly in a folder that the filter takes, sorted by name as the window sorts
// them, and those passed over that the filter would take.
struct FolderListing {
    QStringList files;
    std::vector<SkippedEntry> skipped;
};

// The listing of a folder. A symbolic link to a file is taken only when the file lies inside
// the searched folder and outside the undo store, so that no run over a tree edits a file
// elsewhere, or one the store keeps, through a link planted in it. Calls hooks.yield() between
// entries.
FolderListing FolderFiles(const SearchedFolder &folder, const SearchFilter &filter,
                          AddFolder::WalkHooks &hooks);

}  // namespace Cli
