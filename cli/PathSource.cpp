#include "cli/PathSource.h"

#include "base/ErrorReport.h"
#include "base/Main.h"
#include "filelist/AddFolder.h"
#include "text/CodePages.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <dirent.h>
#include <sys/stat.h>

namespace Cli {

namespace {

std::string Bytes(const QString &path) {
    return QFile::encodeName(path).toStdString();
}

QString Reason(int error) {
    return SystemErrorText(error);
}

std::string Canonical(const std::string &path) {
    char *real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string text(real);
    std::free(real);
    return text;
}

Engine::FileTask Problem(const QString &path, const std::string &bytes, const QString &text) {
    Engine::FileTask task;
    task.input = path;
    if (Bytes(path) != bytes)
        task.pathBytes = bytes;
    task.problem = text;
    return task;
}

}  // namespace

struct PathSource::Source {
    std::vector<Engine::FileTask> tasks;             // a file, or problems; before the folders'
    QStringList folders;                             // a folder's walk
    std::vector<std::optional<QStringList>> listed;  // files listed beforehand
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
                       const Engine::StopToken &stop)
    : request_(request),
      pattern_(QStringLiteral("*.") + request.extension),
      written_(std::move(written)),
      stop_(stop) {}

PathSource::~PathSource() = default;

bool PathSource::next(std::vector<Engine::FileTask> &tasks) {
    Hooks hooks(stop_, [](const QString &) {});
    try {
        if (!found_) {
            found_ = true;
            for (const std::string &bytes : request_.paths)
                sources_.push_back(find(bytes));
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
            if (folder_ < source.folders.size()) {
                const qsizetype f = folder_++;
                std::optional<QStringList> &listed = source.listed[std::size_t(f)];
                const QStringList rows =
                    listed ? *listed
                           : AddFolder::FolderListFiles(source.folders[f], pattern_, hooks);
                for (const QString &row : rows)
                    tasks.push_back(taskFor(row));
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
    return false;
}

Engine::FileTask PathSource::taskFor(const QString &input) const {
    Engine::FileTask task;
    task.input = input;
    // In place, the result goes to the path as given (a relative one too).
    task.output = request_.inPlace ? input : Engine::ResultPath(true, request_.outFolder, input);
    task.intoFolder = !request_.inPlace;
    task.keepLineEnds = request_.keepLineEnds;
    task.binaryAsText = request_.binaryAsText;
    if (!request_.encoding.isEmpty())
        task.legacyPage = Operations::CodePageNamed(request_.encoding);
    return task;
}

PathSource::Source PathSource::find(const std::string &bytes) {
    Source source;
    QString path;
    if (!DecodeUtf8(bytes, path)) {
        const QString shown = QString::fromUtf8(bytes);
        source.tasks.push_back(
            Problem(shown, bytes, Reason(EILSEQ) + QStringLiteral(": ") + shown));
        return source;
    }
    if (!Main::FolderExists(path)) {
        struct stat info;
        if (::stat(bytes.c_str(), &info) != 0) {
            source.tasks.push_back(
                Problem(path, bytes, Reason(errno) + QStringLiteral(": ") + path));
            return source;
        }
        source.tasks.push_back(taskFor(path));  // as given, like a file dropped on the list
        return source;
    }
    // A folder that cannot be read at all is said so here; those below it that cannot be read
    // are passed over, as the window's walk passes them over.
    int error = 0;
    if (DIR *folder = AddFolder::SystemFolders().open(path, error))
        ::closedir(folder);
    if (error != 0) {
        source.tasks.push_back(Problem(path, bytes, Reason(error) + QStringLiteral(": ") + path));
        return source;
    }
    Hooks hooks(stop_,
                [&](const QString &text) { source.tasks.push_back(Problem(path, bytes, text)); });
    source.folders = {path + Main::NativeSeparator};
    AddFolder::GetSubDirectories2016(hooks, source.folders, true);
    for (const QString &folder : std::as_const(source.folders)) {
        const bool written =
            !written_.empty() &&
            std::find(written_.begin(), written_.end(), Canonical(Bytes(folder))) != written_.end();
        source.listed.push_back(written ? std::optional<QStringList>(
                                              AddFolder::FolderListFiles(folder, pattern_, hooks))
                                        : std::nullopt);
    }
    return source;
}

}  // namespace Cli
