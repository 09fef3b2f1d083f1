#include "filelist/AddFolder.h"

#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Main.h"
#include "base/Platform.h"
#include "filelist/FileListModel.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace AddFolder {

namespace {

// The path without trailing separators; the root keeps its one.
QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && path.endsWith(Main::NativeSeparator))
        path.chop(1);
    return path;
}

bool isDotOrDotDot(const char *name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int attributeValue(const struct stat &target, bool isLink, bool hidden) {
    int value = 0;
    if (S_ISDIR(target.st_mode))
        value |= Attribute::Directory;
    if (S_ISREG(target.st_mode))
        value |= Attribute::Archive;
    if (!(target.st_mode & S_IWUSR))
        value |= Attribute::ReadOnly;
    if (hidden)
        value |= Attribute::Hidden;
    if (isLink)
        value |= Attribute::Link;
    return value;
}

// A folder opened for reading its entries; closed when it goes out of scope.
class OpenFolder {
public:
    OpenFolder(const QString &folder, FolderAccess &access) {
        dir_ = access.open(withoutTrailingSeparators(folder), error_);
        if (!dir_ && error_ == 0)
            error_ = EIO;  // a failure must have a number
    }
    ~OpenFolder() {
        if (dir_)
            ::closedir(dir_);
    }
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;

    bool isOpen() const { return dir_ != nullptr; }
    // The system's error number of the failed opening or listing; 0 when none failed.
    int error() const { return error_; }

    // The next entry, "." and ".." left out; null at the end and when the listing fails.
    const dirent *next() {
        while (dir_) {
            errno = 0;
            const dirent *item = ::readdir(dir_);
            if (!item) {
                error_ = errno;
                return nullptr;
            }
            if (!isDotOrDotDot(item->d_name))
                return item;
        }
        return nullptr;
    }

    // What the entry names, following links; false when that cannot be read.
    bool examine(const dirent *item, struct stat &target) const {
        return ::fstatat(::dirfd(dir_), item->d_name, &target, 0) == 0;
    }
    bool isLink(const dirent *item) const {
        if (item->d_type != DT_UNKNOWN)
            return item->d_type == DT_LNK;
        struct stat own;
        return ::fstatat(::dirfd(dir_), item->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
               S_ISLNK(own.st_mode);
    }
    // A sub-folder; `reached` tells, for one reached through a link, which folder it is.
    bool isFolder(const dirent *item, std::optional<struct stat> &reached) const {
        reached.reset();
        if (item->d_type == DT_DIR)
            return true;
        if (item->d_type != DT_LNK && item->d_type != DT_UNKNOWN)
            return false;
        struct stat target;
        if (!examine(item, target) || !S_ISDIR(target.st_mode))
            return false;
        reached = target;
        return true;
    }

private:
    DIR *dir_ = nullptr;
    int error_ = 0;
};

// A name with its sort key: names sort by their case-folded form, and names that differ only
// in case by their exact form, so that the order never depends on the file system.
struct Named {
    explicit Named(QString text, bool isRefusedFile = false)
        : name(std::move(text)), key(name.toCaseFolded()), refusedFile(isRefusedFile) {}
    QString name;
    QString key;
    bool refusedFile;     // a writable hidden regular file (value 34)
    int folderValue = 0;  // a sub-folder's value as the listing tells it (folderValueOf)
};

void sortByName(std::vector<Named> &items) {
    std::sort(items.begin(), items.end(), [](const Named &a, const Named &b) {
        return a.key != b.key ? a.key < b.key : a.name < b.name;
    });
}

// Whether `real` lies below the folder `root` (both with links resolved).
bool IsBelow(const std::string &real, const std::string &root) {
    return real.starts_with(root) && real.size() > root.size() &&
           (real[root.size()] == '/' || root == "/");
}

std::string RealPath(const QString &path) {
    char *real = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (real == nullptr)
        return {};
    std::string text(real);
    std::free(real);
    return text;
}

// A folder search's skips, as the "Done." of a run lists them: the reason, translated, and
// the path.
constexpr const char *NotUtf8 =
    QT_TRANSLATE_NOOP("AddFolder", "Skipped: the name is not valid UTF-8");
constexpr const char *LeadsOutside = QT_TRANSLATE_NOOP(
    "AddFolder", "Skipped: a symbolic link to a file outside the searched folder");
constexpr const char *PathTooLong =
    QT_TRANSLATE_NOOP("AddFolder", "Skipped: a folder path of 260 characters or more");
constexpr const char *BadCharacters = QT_TRANSLATE_NOOP(
    "AddFolder", "Skipped: a folder name with a control character, \"?\" or U+FFFD");

QString SkippedEntry(const char *reason, const QString &path) {
    return QCoreApplication::translate("AddFolder", reason) + QStringLiteral(": ") +
           Main::CollapseBackslashes(path);
}

// The regular files of the folder whose names match the pattern, each marked when its
// attribute value is 34, sorted by name. With `hooks`, they yield while the entries are read.
// With `root` (the searched folder, links resolved), a link to a file outside it is passed
// over; with `skipped`, what is passed over that the pattern took is added there.
std::vector<Named> listFiles(const QString &folder, QStringView pattern, WalkHooks *hooks,
                             FolderAccess &access, const std::string *root = nullptr,
                             QStringList *skipped = nullptr, const KeptAway *keptAway = nullptr) {
    std::vector<Named> files;
    const qsizetype skippedBefore = skipped != nullptr ? skipped->size() : 0;
    OpenFolder reader(folder, access);
    while (const dirent *item = reader.next()) {
        if (hooks != nullptr)
            hooks->yield();
        if (item->d_type == DT_DIR)
            continue;
        QString name = QFile::decodeName(item->d_name);
        if (!MatchesPattern(name, pattern))
            continue;
        if (!IsFaithfulName(name, item->d_name)) {
            if (skipped != nullptr)
                skipped->append(SkippedEntry(NotUtf8, folder + Main::NativeSeparator + name));
            continue;
        }
        const bool hidden = item->d_name[0] == '.';
        if (item->d_type == DT_REG && !hidden) {
            // The listing says it is a regular file, and without the hidden bit its value
            // cannot be 34: no need to ask the file system again. This keeps a large walk fast.
            files.emplace_back(std::move(name));
            continue;
        }
        struct stat target;
        if (!reader.examine(item, target) || !S_ISREG(target.st_mode))
            continue;  // not an existing file
        const bool link = reader.isLink(item);
        const bool keepAway = keptAway != nullptr && !keptAway->folder.empty();
        if (link && (root != nullptr || keepAway)) {
            const QString path = folder + Main::NativeSeparator + name;
            const std::string real = RealPath(path);
            if (root != nullptr && !IsBelow(real, *root)) {
                if (skipped != nullptr)
                    skipped->append(SkippedEntry(LeadsOutside, path));
                continue;
            }
            if (keepAway && IsBelow(real, keptAway->folder)) {
                if (skipped != nullptr)
                    skipped->append(keptAway->reason + QStringLiteral(": ") +
                                    Main::CollapseBackslashes(path));
                continue;
            }
        }
        files.emplace_back(std::move(name), attributeValue(target, link, hidden) == RefusedFile);
    }
    sortByName(files);
    if (skipped != nullptr)
        std::sort(skipped->begin() + skippedBefore, skipped->end());
    return files;
}

// Opening or listing failed because access was denied or the folder is gone.
bool isDeniedOrMissing(int error) {
    return error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR;
}

bool isRootFolder(const QString &folder) {
    return Main::CollapseBackslashes(folder) == QString(Main::NativeSeparator);
}

bool isRefusedValue(int folderValue) {
    return folderValue == RefusedFolder || folderValue == RefusedLinkedFolder;
}

// A folder's attribute value as far as the rule of the refused values (22 and 1046) looks at
// it, from what the listing gave: the directory bit, the hidden bit from the name, the link bit
// from the entry's type. The system bit, which both refused values need, does not exist here,
// and the read-only bit cannot make a value refused; so nothing needs asking the file system
// again, and the rule is kept for any value the bits can make.
int folderValueOf(QStringView name, bool throughLink) {
    int value = Attribute::Directory;
    if (name.startsWith(u'.'))
        value |= Attribute::Hidden;
    if (throughLink)
        value |= Attribute::Link;
    return value;
}

// The listings report nothing; they only let the window's events run.
class PumpOnly : public WalkHooks {
public:
    void report(const QString &, const QString &, int) override {}
    void yield() override { EventPump::LetEventsRun(); }
};

// An entry the caller gave: its value is not known from a listing, and it is looked up once.
constexpr int GivenFolder = -1;

// GetSubDirectories2016 with the value of each entry of `folders` beside it in `values`
// (GivenFolder for the entries the caller gave). Entries the walk itself found and that are
// gone by the time it comes to open them leave the list, so a found folder that is appended
// is known to exist without a look of its own.
void walk(WalkHooks &hooks, QStringList &folders, std::vector<int> &values, bool recursive,
          FolderAccess &access, QStringList *skipped) {
    Guard guard([&hooks](const QString &description, const QString &location,
                         int step) { hooks.report(description, location, step); },
                Location::addFolder("GetSubDirectories2016"));
    QStringList found;
    std::vector<int> foundValues;
    bool lookedIntoOne = false;  // until then, a folder that cannot be opened is reported
    // A folder that is denied or gone leaves the list (its first entry of that text), and the
    // walk goes on with the entry after the current one.
    auto dropEntry = [&](qsizetype &current) {
        const qsizetype at = folders.indexOf(folders[current]);
        folders.removeAt(at);
        values.erase(values.begin() + at);
        if (at <= current)
            --current;
    };

    guard.at(100);
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QString entry = folders[i];
        guard.at(102);
        if (!Main::FolderExists(entry)) {
            if (values[i] != GivenFolder)
                dropEntry(i);  // found by the walk, and gone since
            continue;
        }
        guard.at(104);
        if (entry.size() >= MaxPath)
            continue;

        guard.at(106);
        OpenFolder reader(entry, access);
        if (!reader.isOpen()) {
            if (!lookedIntoOne) {
                hooks.report(AppError::fromErrno(reader.error(), Main::CollapseBackslashes(entry))
                                 .description(),
                             guard.location(), guard.line());
            } else if (isDeniedOrMissing(reader.error())) {
                dropEntry(i);
            }
            continue;
        }
        lookedIntoOne = true;
        hooks.yield();

        if (guard.test(108, [&] {
                const int value = values[i] != GivenFolder ? values[i] : Attributes(entry);
                return !isRootFolder(entry) && isRefusedValue(value);
            }))
            continue;  // such a folder is not looked into

        guard.at(110);
        std::vector<Named> subFolders;
        while (const dirent *item = reader.next()) {
            hooks.yield();
            std::optional<struct stat> reached;
            if (!reader.isFolder(item, reached) || (reached && LeadsBackUp(entry, *reached)))
                continue;
            QString name = QFile::decodeName(item->d_name);
            if (const QString reason = FolderNameSkip(name, item->d_name); !reason.isEmpty()) {
                if (skipped != nullptr)
                    skipped->append(reason + QStringLiteral(": ") +
                                    Main::CollapseBackslashes(entry + name));
                continue;
            }
            const int value = folderValueOf(name, reached && reader.isLink(item));
            subFolders.emplace_back(std::move(name)).folderValue = value;
        }
        // A listing that failed part way keeps the sub-folders it found.
        sortByName(subFolders);
        for (const Named &subFolder : subFolders) {
            found.append(entry + subFolder.name + Main::NativeSeparator);
            foundValues.push_back(subFolder.folderValue);
        }
        if (isDeniedOrMissing(reader.error()))
            dropEntry(i);
    }

    if (guard.test(112, [&] { return recursive && !found.isEmpty(); }))
        guard.step(114, [&] { walk(hooks, found, foundValues, true, access, skipped); });

    for (qsizetype i = 0; i < found.size(); ++i) {
        guard.at(116);
        // A path this long names nothing here (and ends a loop of links).
        if (found[i].size() >= MaxPath) {
            if (skipped != nullptr)
                skipped->append(SkippedEntry(PathTooLong, found[i]));
            continue;
        }
        hooks.yield();
        const int value = foundValues[i];
        if (guard.test(118, [&] { return isRootFolder(found[i]) || !isRefusedValue(value); })) {
            guard.step(120, [&] {
                folders.append(found[i]);
                values.push_back(value);
            });
        }
    }
}

}  // namespace

// Whether the decoded name gives back the bytes it was read from. A name whose bytes cannot
// be decoded gives a path that names nothing.
bool IsFaithfulName(const QString &name, const char *bytes) {
    return !name.contains(QChar::ReplacementCharacter) || QFile::encodeName(name) == bytes;
}

// Whether `folder` (a path ending with the separator) or a folder above it is the folder
// `target`: a link to it would lead the walk round in a loop. Two such links in one folder
// would double the walk at every level, long before any path grew too long.
bool LeadsBackUp(const QString &folder, const struct stat &target) {
    qsizetype end = folder.size();  // the folder, then each folder above it: folder.left(end)
    while (end > 0) {
        struct stat above;
        if (::stat(Main::PathBytes(QStringView(folder).left(end)).c_str(), &above) == 0 &&
            above.st_dev == target.st_dev && above.st_ino == target.st_ino)
            return true;
        end = end > 1 ? folder.lastIndexOf(Main::NativeSeparator, end - 2) + 1 : 0;
    }
    return false;
}

DIR *FolderAccess::open(const QString &folder, int &error) {
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    error = dir ? 0 : errno;
    return dir;
}

FolderAccess &SystemFolders() {
    static FolderAccess system;
    return system;
}

QString BrowseFolder(Platform &platform, const QString &prompt, const QString &initialFolder) {
    return platform.browseFolder(prompt, initialFolder);
}

void WindowHooks::report(const QString &description, const QString &location, int step) {
    ReportUnexpectedError(platform_, description, location, step);
}

void WindowHooks::yield() {
    EventPump::LetEventsRun();
}

void GetSubDirectories2016(Platform &platform, QStringList &folders, bool recursive,
                           FolderAccess &access, QStringList *skipped) {
    WindowHooks hooks(platform);
    GetSubDirectories2016(hooks, folders, recursive, access, skipped);
}

void GetSubDirectories2016(WalkHooks &hooks, QStringList &folders, bool recursive,
                           FolderAccess &access, QStringList *skipped) {
    std::vector<int> values(static_cast<std::size_t>(folders.size()), GivenFolder);
    walk(hooks, folders, values, recursive, access, skipped);
}

QStringList ListFolderFiles(const QString &folder, const QString &pattern, FolderAccess &access) {
    QStringList names;
    for (const Named &file : listFiles(folder, pattern, nullptr, access))
        names.append(file.name);
    return names;
}

bool MatchesPattern(QStringView name, QStringView pattern) {
    if (pattern == u"*.*")
        return true;  // every name, also one without a dot
    qsizetype n = 0, p = 0;
    qsizetype starPattern = -1, starName = 0;  // where the last "*" was, and what it covers
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starPattern = ++p;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (starPattern >= 0) {
            p = starPattern;  // let the last "*" cover one more character
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool IsExistingFile(const QString &path) {
    if (path.isEmpty())
        return false;
    struct stat target;
    return ::stat(QFile::encodeName(path).constData(), &target) == 0 && S_ISREG(target.st_mode);
}

int Attributes(const QString &path) {
    const QString own = withoutTrailingSeparators(path);
    if (own.isEmpty())
        return -1;
    const QByteArray encoded = QFile::encodeName(own);
    struct stat link, target;
    if (::lstat(encoded.constData(), &link) != 0)
        return -1;
    const bool isLink = S_ISLNK(link.st_mode);
    if (isLink && ::stat(encoded.constData(), &target) != 0)
        target = link;  // a link that leads nowhere
    return attributeValue(isLink ? target : link, isLink, Main::GetFileName(own).startsWith(u'.'));
}

bool HasBadNameCharacters(const QString &name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        const char16_t code = c.unicode();
        return code < 32 || (code >= 127 && code <= 159) || code == u'?' ||
               code == QChar::ReplacementCharacter;
    });
}

QString FolderNameSkip(const QString &name, const char *bytes) {
    // A name this long makes a path too long (a name cannot be that long on most systems).
    if (name.size() >= MaxPath)
        return QCoreApplication::translate("AddFolder", PathTooLong);
    if (!HasBadNameCharacters(name))
        return {};
    return QCoreApplication::translate("AddFolder",
                                       IsFaithfulName(name, bytes) ? BadCharacters : NotUtf8);
}

void TakeFolderListFiles(const QStringList &folders, const QString &pattern, FileListModel &list,
                         FolderAccess &access, const KeptAway *keptAway) {
    // Rows are appended a few thousand at a time, after a folder: a hundred thousand at once
    // would keep the window from answering for too long, and a handful at a time would have
    // the list laid out again for nearly every handful.
    constexpr qsizetype RowsAtOnce = 4096;
    QStringList rows, skipped;
    PumpOnly hooks;
    // The searched folder is the first: links to files outside it are passed over.
    const std::string root = folders.isEmpty() ? std::string() : RealPath(folders.front());
    try {
        for (const QString &entry : folders) {
            rows += FolderListFiles(entry, pattern, hooks, access, &root, &skipped, keptAway);
            if (rows.size() >= RowsAtOnce) {
                list.append(rows);
                rows.clear();
            }
        }
    } catch (const CommandStopped &) {
        // Stopped by the user: the files of the folders listed whole are appended still.
        list.append(rows);
        list.addSkipped(skipped);
        throw;
    }
    list.append(rows);
    list.addSkipped(skipped);
}

QStringList FolderListFiles(const QString &entry, const QString &pattern, WalkHooks &hooks,
                            FolderAccess &access, const std::string *root, QStringList *skipped,
                            const KeptAway *keptAway) {
    QStringList rows;
    const QString folder = entry.left(entry.size() - 1);  // without its trailing separator
    // The listing keeps only existing regular files, so no name needs testing again.
    for (const Named &file : listFiles(folder, pattern, &hooks, access, root, skipped, keptAway)) {
        if (file.name.startsWith(u'~') || file.refusedFile)
            continue;
        rows.append(Main::CollapseBackslashes(folder + Main::NativeSeparator + file.name));
    }
    return rows;
}

}  // namespace AddFolder
