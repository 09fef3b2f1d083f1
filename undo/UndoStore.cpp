// The store as its callers see it: where it is, its runs, a new run's record.
#include "undo/UndoStore.h"

#include "undo/RunFolders.h"

#include "files/PathText.h"
#include "posix/Fd.h"
#include "posix/Io.h"
#include "posix/Paths.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <deque>
#include <map>
#include <set>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the runs after one did to each target, oldest first: the identity each found there (its
// old one) and the one it left.
using LaterWrites = std::map<std::string, std::deque<std::pair<Undo::Identity, Undo::Identity>>>;

// The targets, newest record of each first, that are still as the run left them, or as later runs
// left them, each over what the one before left (undo/Chain.h, here by identity only).
std::size_t Restorable(const std::vector<Undo::Record> &records, const LaterWrites &later) {
    std::set<std::string> seen;
    std::size_t count = 0;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (!seen.insert(record->target).second)
            continue;
        Undo::Identity left = record->fresh;
        if (const auto writes = later.find(record->target); writes != later.end()) {
            for (const auto &[found, fresh] : writes->second)
                left = found == left ? fresh : Undo::Identity{};
        }
        struct stat info;
        if (::lstat(record->target.c_str(), &info) == 0 && Undo::IdentityOf(info) == left)
            ++count;
    }
    return count;
}

// The deepest folder that holds every target.
std::string CommonFolder(const std::vector<Undo::Record> &records) {
    std::string common;  // with a trailing '/'
    for (const Undo::Record &record : records) {
        std::string folder = Posix::FolderOf(record.target);
        if (folder != "/")
            folder += '/';
        if (&record == &records.front()) {
            common = folder;
            continue;
        }
        std::size_t same = 0;  // at least the leading '/' of both
        while (same < common.size() && same < folder.size() && common[same] == folder[same])
            ++same;
        common.resize(common.rfind('/', same - 1) + 1);
    }
    if (common.size() > 1)
        common.pop_back();
    return common;
}

}  // namespace

UndoStore::UndoStore(QString folder, UndoLimits limits, UndoKeep keep)
    : folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)),
      path_(PathBytes(folder_)),
      limits_(limits),
      keep_(keep) {}

QString UndoStore::DefaultFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative XDG_DATA_HOME is no setting at all (the XDG rules): the default under the
    // home folder, never a folder below wherever the program was started.
    if (!QStandardPaths::isTestModeEnabled() && !data.isEmpty() && !data.startsWith(u'/')) {
        const QString home = QDir::homePath();
        data = home.startsWith(u'/') && home != QStringLiteral("/")
                   ? home + QStringLiteral("/.local/share")
                   : QString();
    }
    // No home folder to find it in: no store (every record fails with ENOENT).
    return data.isEmpty() ? QString() : data + QStringLiteral("/Brindlewick/Strelmark/undo");
}

int UndoStore::prepare() const {
    const int error = Posix::MakeFolders(path_, 0700);
    if (error != 0)
        return error;
    return ::access(path_.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::unique_ptr<UndoRecorder> UndoStore::beginRun(UndoFace face, UndoRunWhat what) const {
    return std::unique_ptr<UndoRecorder>(
        new UndoRecorder(path_, face, std::move(what), limits_, keep_));
}

std::optional<UndoRunInfo> UndoStore::lastRun() const {
    const Posix::Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return std::nullopt;
    const std::vector<std::string> runs = Undo::RunNames(store.get());
    for (auto name = runs.rbegin(); name != runs.rend(); ++name) {
        const Undo::RunState run = Undo::LookAt(store.get(), *name);
        // A run whose record does not read is the last all the same: undo says so.
        if (run.holds != Undo::RunState::Holds::Nothing || run.locked)
            return Undo::InfoOf(run);
    }
    return std::nullopt;
}

std::vector<UndoRunInfo> UndoStore::listRuns() const {
    std::vector<UndoRunInfo> runs;
    const Posix::Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return runs;
    const std::vector<std::string> names = Undo::RunNames(store.get());
    LaterWrites later;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const Undo::RunState run = Undo::LookAt(store.get(), *name);
        if (run.holds != Undo::RunState::Holds::Records &&
            !(run.locked && run.totals.manifest.valid))
            continue;
        UndoRunInfo info = Undo::InfoOf(run);
        // The whole record: what the run was asked to do (which may be longer than the part
        // read for the totals), and each file as it is now.
        const std::string manifestPath = *name + "/" + Undo::ManifestName;
        const Posix::Fd manifest(
            ::openat(store.get(), manifestPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        std::string text;
        if (manifest && Posix::ReadAll(manifest.get(), text) == 0) {
            const Undo::Manifest read = Undo::ParseManifest(text, true);
            info.what = read.what;
            info.restorable = Restorable(read.records, later);
            for (auto record = read.records.rbegin(); record != read.records.rend(); ++record)
                later[record->target].emplace_front(record->old, record->fresh);
            info.folder = CommonFolder(read.records);
        }
        runs.push_back(std::move(info));
    }
    return runs;
}

std::uint64_t UndoStore::totalSize() const {
    const Posix::Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return 0;
    std::uint64_t total = 0;
    for (const std::string &name : Undo::RunNames(store.get()))
        total += Undo::LookAt(store.get(), name).space();
    return total;
}
