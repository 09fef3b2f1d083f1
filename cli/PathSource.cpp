#include "cli/PathSource.h"

#include "base/ErrorReport.h"
#include "base/Main.h"
#include "filelist/AddFolder.h"
#include "text/CodePages.h"

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {

QString Reason(int error) {
    return SystemErrorText(error);
}

// The working folder as its bytes name it (Qt's own would lose those that are not UTF-8); "/"
// when it cannot be named.
QString AskWorkingFolder() {
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return QStringLiteral("/");
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return Main::PathText(folder);
}

// Asked of the system once: the program never changes its working folder.
QString WorkingFolder() {
    static const QString folder = AskWorkingFolder();
    return folder;
}

// Where a file named on the command line goes below the output folder with --keep-tree: its path
// from the current folder, or below the root for one outside it, so that no result leaves the
// output folder.
QString TreePathOf(const QString &input) {
    QString clean = QDir::cleanPath(input);
    if (!QDir::isAbsolutePath(clean) && clean != QStringLiteral("..") &&
        !clean.startsWith(QStringLiteral("../")))
        return clean;
    const QString here = WorkingFolder();
    const QString absolute =
        QDir::cleanPath(QDir::isAbsolutePath(input) ? input : here + Main::NativeSeparator + input);
    if (here != QStringLiteral("/") && absolute.startsWith(here + u'/'))
        return absolute.mid(here.size() + 1);
    return absolute.mid(1);
}

Engine::FileTask Problem(const QString &path, const QString &text) {
    Engine::FileTask task;
    task.input = path;
    task.problem = text;
    return task;
}

// An entry that the folder search passed over: listed as skipped, nothing read.
Engine::FileTask SkippedTask(const SkippedEntry &entry) {
    Engine::FileTask task;
    task.input = entry.path;
    task.problem = entry.reason + QStringLiteral(": ") + entry.path;
    task.skipped = true;
    return task;
}

}  // namespace

struct PathSource::Source {
    std::vector<Engine::FileTask> tasks;               // a file, or problems; before the folders'
    std::vector<SearchedFolder> folders;               // a folder's search
    std::vector<std::optional<FolderListing>> listed;  // files listed beforehand
};

// The walk tells its problems as tasks of their own, and ends once a stop is asked for.
class PathSource::Hooks : public AddFolder::WalkHooks {
public:
    Hooks(const Engine::StopToken &stop, std::function<void(const QString &)> problem)
        : stop_(stop), problem_(std::move(problem)) {}
    void report(const QString &description, const QString &, int) override {
        problem_(description);
    }
    void yield() override {
        if (stop_.requested())
            throw CommandStopped{};
    }

private:
    const Engine::StopToken &stop_;
    std::function<void(const QString &)> problem_;
};

PathSource::PathSource(const RemoveRequest &request, std::vector<std::string> written,
                       std::string store, const Engine::StopToken &stop)
    : request_(request),
      filter_(request, store),
      written_(std::move(written)),
      store_(std::move(store)),
      stop_(stop) {}

PathSource::~PathSource() = default;

bool PathSource::next(std::vector<Engine::FileTask> &tasks) {
    if (request_.filter) {
        // Standard input, once, its result on standard output.
        if (found_)
            return false;
        found_ = true;
        Engine::FileTask task;
        task.input = task.output = QStringLiteral("-");
        task.stream = true;
        task.keepLineEnds = request_.keepLineEnds;
        task.binaryAsText = request_.binaryAsText;
        if (!request_.encoding.isEmpty())
            task.legacyPage = Operations::CodePageNamed(request_.encoding);
        tasks.push_back(std::move(task));
        return true;
    }
    Hooks hooks(stop_, [](const QString &) {});
    try {
        if (!found_) {
            found_ = true;
            for (const std::string &bytes : request_.paths)
                sources_.push_back(find(bytes, false));
        }
        while (source_ < sources_.size()) {
            Source &source = sources_[source_];
            if (folder_ < 0) {
                folder_ = 0;
                if (!source.tasks.empty()) {
                    for (Engine::FileTask &task : source.tasks)
                        tasks.push_back(std::move(task));
                    return true;
                }
            }
            if (folder_ < qsizetype(source.folders.size())) {
                const std::size_t f = std::size_t(folder_++);
                std::optional<FolderListing> &listed = source.listed[f];
                const FolderListing listing =
                    listed ? *listed : FolderFiles(source.folders[f], filter_, hooks);
                for (const QString &row : listing.files)
                    tasks.push_back(
                        taskFor(row, source.folders[f].relative + Main::GetFileName(row)));
                for (const SkippedEntry &entry : listing.skipped)
                    tasks.push_back(SkippedTask(entry));
                if (!tasks.empty())
                    return true;
                continue;
            }
            ++source_;
            folder_ = -1;
        }
    } catch (const CommandStopped &) {
        throw Engine::Stopped{};
    }
    return nextListed(tasks);
}

bool PathSource::nextListed(std::vector<Engine::FileTask> &tasks) {
    constexpr std::size_t Batch = 256;
    if (request_.filesFrom.empty() || listDone_)
        return false;
    if (!list_)
        list_ = std::make_unique<NameList>(request_.filesFrom, request_.nullSeparated);
    std::string name;
    while (tasks.size() < Batch && list_->next(name, stop_)) {
        for (Engine::FileTask &task : find(name, true).tasks)
            tasks.push_back(std::move(task));
    }
    if (stop_.requested())
        throw Engine::Stopped{};
    if (tasks.empty() && list_->error() != 0) {
        const QString shown = Main::PathText(request_.filesFrom);
        tasks.push_back(Problem(shown, Reason(list_->error()) + QStringLiteral(": ") + shown));
        listDone_ = true;  // told once
    }
    return !tasks.empty();
}

Engine::FileTask PathSource::taskFor(const QString &input, const QString &below) const {
    Engine::FileTask task;
    task.input = input;
    task.keepLineEnds = request_.keepLineEnds;
    task.binaryAsText = request_.binaryAsText;
    if (!request_.encoding.isEmpty())
        task.legacyPage = Operations::CodePageNamed(request_.encoding);
    if (request_.inPlace) {
        // In place, the result goes to the path as given (a relative one too).
        task.output = input;
        return task;
    }
    const bool tree =
        request_.tree == Tree::Keep || (request_.tree == Tree::Default && !below.isEmpty());
    const QString relative = below.isEmpty() ? TreePathOf(input) : below;
    if (tree && relative.contains(u'/')) {
        task.output =
            Main::CollapseBackslashes(request_.outFolder + Main::NativeSeparator + relative);
        task.makeFolders = true;
    } else {
        task.output = Engine::ResultPath(true, request_.outFolder, input);
        // Straight into the output folder, which is listed once for the run.
        task.intoFolder = true;
    }
    return task;
}

PathSource::Source PathSource::find(const std::string &bytes, bool listed) {
    Source source;
    const QString path = Main::PathText(bytes);
    // The link itself first: most names are none, and one look then tells both.
    struct stat info;
    int looked = ::lstat(bytes.c_str(), &info);
    const bool link = looked == 0 && S_ISLNK(info.st_mode);
    if (link)
        looked = ::stat(bytes.c_str(), &info);
    if (looked != 0) {
        source.tasks.push_back(Problem(path, Reason(errno) + QStringLiteral(": ") + path));
        return source;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (inStore(bytes, link)) {
            Engine::FileTask task = Problem(path, UndoStoreReason() + QStringLiteral(": ") + path);
            task.skipped = true;
            source.tasks.push_back(std::move(task));
        } else {
            source.tasks.push_back(taskFor(path, QString()));  // as given, like a dropped file
        }
        return source;
    }
    if (listed)
        return source;  // a folder in the list, as find lists them: its files come on their own
    // A folder that cannot be read at all is said so here; those below it that cannot be read
    // are passed over, as the window's walk passes them over.
    if (DIR *folder = ::opendir(bytes.c_str())) {
        ::closedir(folder);
    } else {
        source.tasks.push_back(Problem(path, Reason(errno) + QStringLiteral(": ") + path));
        return source;
    }
    Hooks hooks(stop_, [&](const QString &text) { source.tasks.push_back(Problem(path, text)); });
    std::vector<SkippedEntry> skipped;
    std::vector<SearchedFolder> found =
        FindFolders(path + Main::NativeSeparator, filter_, hooks, skipped);
    for (const SkippedEntry &entry : skipped)
        source.tasks.push_back(SkippedTask(entry));
    for (SearchedFolder &folder : found) {
        const std::string &own = folder.real;
        if (IsWithin(own, store_))
            continue;  // the undo store's records and kept files are never a run's files
        source.listed.push_back(
            isWritten(own) ? std::optional<FolderListing>(FolderFiles(folder, filter_, hooks))
                           : std::nullopt);
        source.folders.push_back(std::move(folder));
    }
    return source;
}

// Whether the file `bytes` (not a folder) is in the undo store, its links resolved. A file that
// is no link is where its folder is, and the folder is resolved once for the names that follow
// one another in it, as a list from find gives them.
bool PathSource::inStore(const std::string &bytes, bool link) {
    if (store_.empty())
        return false;
    if (link)
        return IsWithin(RealPath(bytes), store_);
    const std::size_t slash = bytes.rfind('/');
    std::string folder = slash == std::string::npos ? std::string(".")
                         : slash == 0               ? std::string("/")
                                                    : bytes.substr(0, slash);
    if (folder != lastFolder_) {
        lastFolderReal_ = RealPath(folder);
        lastFolder_ = std::move(folder);
    }
    return IsWithin(lastFolderReal_, store_);
}

// Whether the run makes files in the folder `own` (links resolved): a folder it writes in, or
// one below it.
bool PathSource::isWritten(const std::string &own) const {
    return std::any_of(written_.begin(), written_.end(),
                       [&](const std::string &written) { return IsWithin(own, written); });
}

}  // namespace Cli
