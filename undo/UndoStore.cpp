// The store as its callers see it: where it is, its runs, a new run's record.
#include "undo/UndoStore.h"

#include "undo/RunFolders.h"

#include "posix/Fd.h"
#include "posix/Paths.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

UndoStore::UndoStore(QString folder, UndoLimits limits, UndoKeep keep)
    : folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)),
      path_(QFile::encodeName(folder_).toStdString()),
      limits_(limits),
      keep_(keep) {}

QString UndoStore::DefaultFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // No home folder to find it in: no store (every record fails with ENOENT).
    return data.isEmpty() ? QString() : data + QStringLiteral("/Brindlewick/Strelmark/undo");
}

int UndoStore::prepare() const {
    const int error = Posix::MakeFolders(path_, 0700);
    if (error != 0)
        return error;
    return ::access(path_.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::unique_ptr<UndoRecorder> UndoStore::beginRun(UndoFace face) const {
    return std::unique_ptr<UndoRecorder>(new UndoRecorder(path_, face, limits_, keep_));
}

std::optional<UndoRunInfo> UndoStore::lastRun() const {
    const Posix::Fd store(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!store)
        return std::nullopt;
    const std::vector<std::string> runs = Undo::RunNames(store.get());
    for (auto name = runs.rbegin(); name != runs.rend(); ++name) {
        const Undo::RunState run = Undo::LookAt(store.get(), *name);
        if (run.holds == Undo::RunState::Holds::Records ||
            (run.locked && run.totals.manifest.valid))
            return Undo::InfoOf(run);
    }
    return std::nullopt;
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
