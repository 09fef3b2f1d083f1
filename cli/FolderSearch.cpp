#include "cli/FolderSearch.h"

#include "base/Main.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace Cli {

namespace {

// --- What the search never takes -----------------------------------------------------------
// Every rule by which the search passes over an entry whatever the filters say is here, each
// with its reason.

enum class Skip {
    None,
    LeadsBackUp,     // a link to the folder it is in, or to one above it: a loop
    TooLong,         // a folder path longer than the system allows: said, as a skip
    LeadsOutside,    // a link to a file outside the searched folder: said, as a skip
    InUndoStore,     // a link to a file in the undo store: said, as a skip
    VersionControl,  // .git, .hg, .svn: a repository's own files, never the user's pages
    Tilde,           // a file name starting with "~" (the window's rule: editors' spare copies)
    NotFile,         // not a regular file, or nothing that can be read there
    HiddenWritable,  // a hidden file that its owner may write (the window's rule; --hidden)
};

bool IsVersionControl(QStringView name) {
    return name == u".git" || name == u".hg" || name == u".svn";
}

// A sub-folder `name` of `folder` (a path ending with the separator); `reached`: what it leads
// to when it is a link. Unlike the window's walk, the command line takes names of any bytes,
// with control characters, "?" or bytes that are not UTF-8 (it names them escaped).
Skip FolderSkip(const QString &folder, const QString &name,
                const std::optional<struct stat> &reached) {
    if (reached && AddFolder::LeadsBackUp(folder, *reached))
        return Skip::LeadsBackUp;
    if (IsVersionControl(name))
        return Skip::VersionControl;
    return Skip::None;
}

// A folder found by the search: one whose files' paths the system could not take is not
// searched. (The window's walk stops at MaxPath characters; the command line goes as far as
// the system goes.)
Skip FolderPathSkip(const QString &path) {
    return Main::PathBytes(path).size() + 1 >= PATH_MAX ? Skip::TooLong : Skip::None;
}

// The words of the run's listing for a skip that it tells.
QString SkipReason(Skip skip) {
    switch (skip) {
        case Skip::TooLong:
            return QCoreApplication::translate(
                "Cli", "Skipped: the path is longer than the system allows");
        case Skip::LeadsOutside:
            return QCoreApplication::translate(
                "Cli", "Skipped: a symbolic link to a file outside the searched folder");
        case Skip::InUndoStore:
            return UndoStoreReason();
        default:
            return {};
    }
}

bool IsTold(Skip skip) {
    return skip == Skip::TooLong || skip == Skip::LeadsOutside || skip == Skip::InUndoStore;
}

// A skip told: `folder` (ending with the separator) and the entry's name.
SkippedEntry Skipped(const QString &folder, const QString &name, Skip skip) {
    SkippedEntry entry;
    entry.path = folder + name;
    entry.reason = SkipReason(skip);
    return entry;
}

// A file, by its name alone.
Skip FileNameSkip(const QString &name) {
    if (IsVersionControl(name))
        return Skip::VersionControl;
    if (name.startsWith(u'~'))
        return Skip::Tilde;
    return Skip::None;
}

// A file, by what the system says of it (links followed; `link`: the entry is one).
Skip FileKindSkip(bool found, const struct stat &target, bool link, bool hidden, bool hiddenTaken) {
    if (!found || !S_ISREG(target.st_mode))
        return Skip::NotFile;
    if (hidden && !hiddenTaken && (target.st_mode & S_IWUSR) != 0 && !link)
        return Skip::HiddenWritable;
    return Skip::None;
}

// --- Reading folders ---------------------------------------------------------------------------

QString WithoutTrailingSeparator(const QString &path) {
    return path.size() > 1 && path.endsWith(Main::NativeSeparator) ? path.left(path.size() - 1)
                                                                   : path;
}

// A name with the window's sort key: the case-folded form, then the exact one.
struct Named {
    explicit Named(QString text) : name(std::move(text)), key(name.toCaseFolded()) {}
    QString name;
    QString key;
};

void SortByName(std::vector<Named> &items) {
    std::sort(items.begin(), items.end(), [](const Named &a, const Named &b) {
        return a.key != b.key ? a.key < b.key : a.name < b.name;
    });
}

class Folder {
public:
    explicit Folder(const QString &path)
        : dir_(::opendir(Main::PathBytes(WithoutTrailingSeparator(path)).c_str())),
          error_(dir_ == nullptr ? errno : 0) {}
    ~Folder() {
        if (dir_ != nullptr)
            ::closedir(dir_);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    bool isOpen() const { return dir_ != nullptr; }
    int error() const { return error_; }
    const dirent *next() {
        while (dir_ != nullptr) {
            errno = 0;
            const dirent *item = ::readdir(dir_);
            if (item == nullptr) {
                error_ = errno;
                return nullptr;
            }
            const char *name = item->d_name;
            if (!(name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))))
                return item;
        }
        return nullptr;
    }
    bool examine(const char *name, struct stat &target, bool follow) const {
        return ::fstatat(::dirfd(dir_), name, &target, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
    }

private:
    DIR *dir_;
    int error_;
};

bool IsDeniedOrMissing(int error) {
    return error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR;
}

// The last glob that matches decides: true when it is one that leaves out.
bool LeftOut(const std::vector<Glob> &globs, QStringView path, QStringView name, bool folder) {
    for (auto glob = globs.rbegin(); glob != globs.rend(); ++glob) {
        if (glob->matches(path, name, folder))
            return !glob->negated();
    }
    return false;
}

}  // namespace

SearchFilter::SearchFilter(const RemoveRequest &request, std::string store)
    : store_(std::move(store)),
      hidden_(request.hidden),
      gitignore_(request.gitignore),
      maxDepth_(request.maxDepth) {
    for (const QString &extension : request.extensions)
        patterns_.append(extension == u"*" ? QStringLiteral("*.*")
                                           : QStringLiteral("*.") + extension);
    for (const QString &glob : request.globs) {
        if (std::optional<Glob> parsed = Glob::Parse(glob))
            globs_.push_back(std::move(*parsed));
    }
    for (const QString &exclude : request.excludes) {
        if (std::optional<Glob> parsed = Glob::Parse(exclude))
            excludes_.push_back(std::move(*parsed));
    }
}

bool SearchFilter::entersFolder(QStringView path, QStringView name, int depth,
                                const IgnoreRules *rules) const {
    if (!listsFolderAt(depth) || LeftOut(excludes_, path, name, true))
        return false;
    return rules == nullptr || rules->judge(path, name, true) != IgnoreRules::Verdict::Ignored;
}

bool SearchFilter::takesFile(const QString &folder, QStringView name,
                             const IgnoreRules *rules) const {
    if (!patterns_.isEmpty() &&
        std::none_of(patterns_.begin(), patterns_.end(), [&](const QString &pattern) {
            return AddFolder::MatchesPattern(name, pattern);
        }))
        return false;
    if (globs_.empty() && excludes_.empty() && rules == nullptr)
        return true;  // no rule that looks at the path: the name alone decided
    QString path = folder;
    path += name;
    if (!globs_.empty()) {
        // The last glob that matches decides; with none, a file is taken only when every glob
        // leaves out ("!...").
        bool taken = std::all_of(globs_.begin(), globs_.end(),
                                 [](const Glob &glob) { return glob.negated(); });
        for (auto glob = globs_.rbegin(); glob != globs_.rend(); ++glob) {
            if (glob->matches(path, name, false)) {
                taken = !glob->negated();
                break;
            }
        }
        if (!taken)
            return false;
    }
    if (LeftOut(excludes_, path, name, false))
        return false;
    return rules == nullptr || rules->judge(path, name, false) != IgnoreRules::Verdict::Ignored;
}

std::vector<SearchedFolder> FindFolders(const QString &folder, const SearchFilter &filter,
                                        AddFolder::WalkHooks &hooks,
                                        std::vector<SkippedEntry> &skipped) {
    std::vector<SearchedFolder> folders;
    if (!filter.listsFolderAt(0))
        return folders;
    SearchedFolder root;
    root.path = folder;
    root.real = RealPath(Main::PathBytes(WithoutTrailingSeparator(folder)));
    root.searchedReal = root.real;
    if (filter.gitignore())
        root.rules = IgnoreRules::ForSearchedFolder(folder);
    folders.push_back(std::move(root));
    std::vector<bool> dropped(1, false);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (FolderPathSkip(folders[i].path) != Skip::None)
            continue;
        Folder reader(folders[i].path);
        if (!reader.isOpen()) {
            dropped[i] = i > 0 && IsDeniedOrMissing(reader.error());
            continue;
        }
        hooks.yield();
        struct Entry {
            QString name;
            std::optional<struct stat> reached;
        };
        std::vector<Entry> entries;
        bool hasGitIgnore = false, hasIgnore = false;
        while (const dirent *item = reader.next()) {
            hooks.yield();
            const std::string_view bytes = item->d_name;
            hasGitIgnore = hasGitIgnore || bytes == ".gitignore";
            hasIgnore = hasIgnore || bytes == ".ignore";
            std::optional<struct stat> reached;
            if (item->d_type != DT_DIR) {
                struct stat target;
                if ((item->d_type != DT_LNK && item->d_type != DT_UNKNOWN) ||
                    !reader.examine(item->d_name, target, true) || !S_ISDIR(target.st_mode))
                    continue;
                reached = target;
                struct stat own;
                if (reader.examine(item->d_name, own, false) && !S_ISLNK(own.st_mode))
                    reached.reset();  // a folder of its own, not a link
            }
            entries.push_back({Main::PathText(item->d_name), reached});
        }
        if (filter.gitignore() && i > 0)
            folders[i].rules = IgnoreRules::Below(folders[i].rules, folders[i].path,
                                                  folders[i].relative, hasGitIgnore, hasIgnore);
        const SearchedFolder &parent = folders[i];
        std::vector<Named> found;
        std::set<QString> links;  // the names of those found that are links
        for (Entry &entry : entries) {
            const Skip skip = FolderSkip(parent.path, entry.name, entry.reached);
            if (IsTold(skip))
                skipped.push_back(Skipped(parent.path, entry.name, skip));
            if (skip != Skip::None)
                continue;
            const QString path = parent.relative + entry.name;
            if (!filter.entersFolder(path, entry.name, parent.depth + 1, parent.rules.get()))
                continue;
            if (entry.reached)
                links.insert(entry.name);
            found.emplace_back(std::move(entry.name));
        }
        SortByName(found);
        std::vector<SearchedFolder> children;
        for (const Named &name : found) {
            SearchedFolder child;
            child.path = parent.path + name.name + Main::NativeSeparator;
            if (const Skip skip = FolderPathSkip(child.path); skip != Skip::None) {
                skipped.push_back(Skipped(parent.path, name.name, skip));
                continue;
            }
            child.searchedReal = parent.searchedReal;
            if (links.count(name.name) != 0 || parent.real.empty())
                child.real = RealPath(Main::PathBytes(WithoutTrailingSeparator(child.path)));
            else
                child.real =
                    parent.real + (parent.real == "/" ? "" : "/") + Main::PathBytes(name.name);
            child.relative = parent.relative + name.name + u'/';
            child.depth = parent.depth + 1;
            child.rules = parent.rules;
            children.push_back(std::move(child));
        }
        dropped[i] = IsDeniedOrMissing(reader.error());
        for (SearchedFolder &child : children) {
            folders.push_back(std::move(child));
            dropped.push_back(false);
        }
    }
    std::vector<SearchedFolder> kept;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (!dropped[i])
            kept.push_back(std::move(folders[i]));
    }
    return kept;
}

FolderListing FolderFiles(const SearchedFolder &folder, const SearchFilter &filter,
                          AddFolder::WalkHooks &hooks) {
    FolderListing listing;
    const QString own = WithoutTrailingSeparator(folder.path);
    Folder reader(folder.path);
    std::vector<Named> files;
    while (const dirent *item = reader.next()) {
        hooks.yield();
        if (item->d_type == DT_DIR)
            continue;
        QString name = Main::PathText(item->d_name);
        if (FileNameSkip(name) != Skip::None ||
            !filter.takesFile(folder.relative, name, folder.rules.get()))
            continue;
        const bool hidden = item->d_name[0] == '.';
        if (item->d_type != DT_REG || hidden) {
            struct stat target {};
            const bool found = reader.examine(item->d_name, target, true);
            struct stat entry {};
            const bool link =
                item->d_type == DT_LNK ||
                (item->d_type == DT_UNKNOWN && reader.examine(item->d_name, entry, false) &&
                 S_ISLNK(entry.st_mode));
            if (FileKindSkip(found, target, link, hidden, filter.hidden()) != Skip::None)
                continue;
            if (link) {
                const std::string &root = folder.searchedReal;
                const std::string real = RealPath(Main::PathBytes(own) + '/' + item->d_name);
                if (IsWithin(real, filter.store())) {
                    listing.skipped.push_back(Skipped(folder.path, name, Skip::InUndoStore));
                    continue;
                }
                if (real.size() <= root.size() || !IsWithin(real, root)) {
                    listing.skipped.push_back(Skipped(folder.path, name, Skip::LeadsOutside));
                    continue;
                }
            }
        }
        files.emplace_back(std::move(name));
    }
    SortByName(files);
    std::sort(listing.skipped.begin(), listing.skipped.end(),
              [](const SkippedEntry &a, const SkippedEntry &b) { return a.path < b.path; });
    for (const Named &file : files)
        listing.files.append(Main::CollapseBackslashes(own + Main::NativeSeparator + file.name));
    return listing;
}

QString UndoStoreReason() {
    return QCoreApplication::translate("Cli", "Skipped: a file in the undo store");
}

std::string RealPath(const std::string &path) {
    char *real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string text(real);
    std::free(real);
    return text;
}

bool IsWithin(const std::string &path, const std::string &folder) {
    return !folder.empty() && path.starts_with(folder) &&
           (path.size() == folder.size() || path[folder.size()] == '/' || folder == "/");
}

}  // namespace Cli
