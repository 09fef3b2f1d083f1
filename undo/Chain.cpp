// Following a target through the runs after the one being undone, and telling them of what an
// undo put back.
#include "undo/Chain.h"

#include "undo/ContentHash.h"
#include "undo/RunFolders.h"

#include "posix/Io.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace Undo {

namespace {

bool SameBytes(int folderFd, const std::string &name, std::uint64_t hash) {
    const Posix::Fd fd(::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::uint64_t kept = 0;
    return fd && HashFile(fd.get(), kept) == 0 && kept == hash;
}

// Whether `next` kept what `before` left: the same bytes where the result's hash is known, the
// same file where it is not.
bool Continues(const Record &before, int folderFd, const Record &next) {
    if (!next.replaced)
        return false;  // the target was gone in between
    return before.hashed ? SameBytes(folderFd, next.kept, before.freshHash)
                         : next.old == before.fresh;
}

}  // namespace

HandedBack ReadHandedBack(int runFd) {
    HandedBack handedBack;
    const Posix::Fd fd(::openat(runFd, PutBackName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::string text;
    if (!fd || Posix::ReadAll(fd.get(), text) != 0)
        return handedBack;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::optional<Record> line = ParseRecord(std::string_view(text).substr(at, end - at));
        if (line && !line->replaced)
            handedBack[line->target].insert({line->old.size, line->old.modifiedNs});
    }
    return handedBack;
}

bool IsHandedBack(const HandedBack &handedBack, const std::string &target, const Identity *now) {
    const auto found = handedBack.find(target);
    if (found == handedBack.end())
        return false;
    // All zeros: removed.
    const std::pair<std::uint64_t, std::int64_t> key =
        now ? std::pair{now->size, now->modifiedNs} : std::pair<std::uint64_t, std::int64_t>{};
    return (now == nullptr || key != std::pair<std::uint64_t, std::int64_t>{}) &&
           found->second.count(key) != 0;
}

void LaterRuns::load() {
    loaded_ = true;
    for (const std::string &name : RunNames(storeFd_)) {
        if (name <= undone_)
            continue;
        Run run;
        run.folder.reset(
            ::openat(storeFd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        const Posix::Fd manifest(
            run.folder ? ::openat(run.folder.get(), ManifestName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC)
                       : -1);
        std::string text;
        if (!manifest || Posix::ReadAll(manifest.get(), text) != 0) {
            usable_ = false;
            return;
        }
        run.manifest = ParseManifest(text, true);
        if (!run.manifest.valid || !run.manifest.damage.empty()) {
            usable_ = false;
            return;
        }
        run.handedBack = ReadHandedBack(run.folder.get());
        for (std::size_t i = 0; i < run.manifest.records.size(); ++i)
            byTarget_[run.manifest.records[i].target].push_back({runs_.size(), i});
        runs_.push_back(std::move(run));
    }
}

bool LaterRuns::leftByLater(const Record &record, const std::string &path, const Identity &now) {
    if (!loaded_)
        load();
    const auto later = byTarget_.find(record.target);
    if (!usable_ || later == byTarget_.end())
        return false;
    const Record *last = &record;
    std::set<std::size_t> chain;
    for (const auto &[run, i] : later->second) {
        const Record &next = runs_[run].manifest.records[i];
        if (!Continues(*last, runs_[run].folder.get(), next))
            return false;
        last = &next;
        chain.insert(run);
    }
    const Posix::Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    std::uint64_t hash = 0;
    if (now != last->fresh ||
        (last->hashed && (!fd || HashFile(fd.get(), hash) != 0 || hash != last->freshHash)))
        return false;
    chains_[record.target] = std::move(chain);
    return true;
}

int LaterRuns::handBack(const std::string &target, const Identity &now, const Identity &original) {
    if (!loaded_)
        load();
    Record line;
    line.target = target;
    line.old = original;
    const std::string text = RecordLine(line);
    const auto chain = chains_.find(target);
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        if ((chain == chains_.end() || chain->second.count(run) == 0) &&
            !IsHandedBack(runs_[run].handedBack, target, &now))
            continue;
        const int folder = runs_[run].folder.get();
        const Posix::Fd fd(::openat(folder, PutBackName,
                                    O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd)
            return errno;
        if (const int error = Posix::WriteAll(fd.get(), text.data(), text.size()))
            return error;
        if (const int error = Posix::SyncData(fd.get()))
            return error;
        if (const int error = Posix::SyncFolder(folder))
            return error;
        runs_[run].handedBack[target].insert({original.size, original.modifiedNs});
    }
    return 0;
}

}  // namespace Undo
