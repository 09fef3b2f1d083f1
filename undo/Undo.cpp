// Undo of the last run or of a chosen one: finding the run, restoring each of its records
// newest first, and keeping what failed for the next undo.
#include "undo/UndoStore.h"

#include "undo/Chain.h"
#include "undo/ContentHash.h"
#include "undo/LongPaths.h"
#include "undo/Manifest.h"
#include "undo/PutBack.h"
#include "undo/RunFolders.h"

#include "posix/Errors.h"
#include "posix/Fd.h"
#include "posix/Io.h"
#include "posix/Paths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <set>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Undo::Identity;
using Undo::Record;

// At most this many originals are put back in one go (one helper process); the descriptors of
// their kept files are open meanwhile.
constexpr std::size_t PutBackBatch = 64;

// The run being undone: its folder, its manifest read and locked.
struct FoundRun {
    std::string name;
    Posix::Fd manifestFd;  // holds the lock
    Posix::Fd folder;
    Undo::Manifest manifest;
    bool damaged = false;  // taken back all the same: what no record names stays
};

UndoRunInfo InfoOf(const FoundRun &run) {
    Undo::RunState state;
    state.name = run.name;
    state.totals.manifest.valid = run.manifest.valid;
    state.totals.manifest.face = run.manifest.face;
    state.totals.manifest.started = run.manifest.started;
    state.totals.manifest.what = run.manifest.what;
    state.totals.records = run.manifest.records.size();
    for (const Record &record : run.manifest.records)
        state.totals.keptBytes += record.keptBytes;
    return Undo::InfoOf(state);
}

// The kept files of the run folder that no record names: a record that lost lines. A run killed
// between keeping a group and appending its lines leaves links to files it never replaced (a
// link count of two or more) and no end line; anything else unnamed is a loss.
std::size_t KeptUnnamed(int runFd, const Undo::Manifest &manifest, bool ended) {
    std::set<std::string> named;
    for (const Record &record : manifest.records)
        named.insert(record.kept);
    std::vector<std::string> entries;
    if (Posix::ListFolder(runFd, entries) != 0)
        return 0;
    std::size_t unnamed = 0;
    for (const std::string &entry : entries) {
        struct stat info;
        if (entry.size() < 2 || entry[0] != 'k' || named.count(entry) != 0 ||
            ::fstatat(runFd, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (ended || info.st_nlink < 2)
            ++unnamed;
    }
    return unnamed;
}

// Why the run's record cannot be trusted whole; empty when it can.
std::string DamageOf(int runFd, const std::string &text, const Undo::Manifest &manifest) {
    if (!manifest.damage.empty())
        return manifest.damage;
    std::size_t records = 0;
    std::uint64_t bytes = 0;
    const std::size_t lastLine = text.size() < 2 ? 0 : text.rfind('\n', text.size() - 2) + 1;
    const bool ended =
        !text.empty() && text.back() == '\n' &&
        Undo::ParseEndLine(std::string_view(text).substr(lastLine, text.size() - 1 - lastLine),
                           records, bytes);
    if (const std::size_t unnamed = KeptUnnamed(runFd, manifest, ended))
        return std::to_string(unnamed) + " of the files it kept are in none of its records";
    return {};
}

// Finds the newest run that holds records to undo, or the run named `chosen` when one is, dropping
// the folders that hold none. A run whose record does not read whole stops the search: it is
// neither passed over nor dropped, and it is taken back only with `force`. False when there is
// none to undo now; `summary` then says why.
bool FindRun(int storeFd, const std::string *chosen, bool force, UndoSummary &summary,
             FoundRun &found) {
    std::vector<std::string> runs = Undo::RunNames(storeFd);
    if (chosen) {
        const bool there = std::find(runs.begin(), runs.end(), *chosen) != runs.end();
        runs.assign(there ? 1 : 0, *chosen);
        summary.outcome = UndoSummary::Outcome::NotFound;
    }
    for (auto name = runs.rbegin(); name != runs.rend(); ++name) {
        Posix::Fd folder(
            ::openat(storeFd, name->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder) {
            summary.outcome = UndoSummary::Outcome::StoreFailed;
            summary.storeError = errno;
            return false;
        }
        const auto damaged = [&](std::string damage, const Undo::Manifest &manifest) {
            summary.outcome = UndoSummary::Outcome::Damaged;
            summary.damage = std::move(damage);
            FoundRun run{*name, Posix::Fd(), Posix::Fd(), manifest, true};
            summary.run = InfoOf(run);
            return false;
        };
        Posix::Fd manifestFd(
            ::openat(folder.get(), Undo::ManifestName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!manifestFd) {
            const int error = errno;
            if (error == ENOENT && KeptUnnamed(folder.get(), {}, true) == 0) {
                Undo::DropRun(storeFd, *name);  // a folder with no record: nothing to undo
                continue;
            }
            return damaged("its record cannot be opened: " + Posix::ErrorText(error), {});
        }
        if (::flock(manifestFd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            Undo::RunState run = Undo::LookAt(storeFd, *name);
            run.locked = true;
            summary.outcome = UndoSummary::Outcome::RunInProgress;
            summary.run = Undo::InfoOf(run);
            return false;
        }
        std::string text;
        if (const int error = Posix::ReadAll(manifestFd.get(), text))
            return damaged("its record cannot be read: " + Posix::ErrorText(error), {});
        Undo::Manifest manifest = Undo::ParseManifest(text, true);
        const std::string damage = DamageOf(folder.get(), text, manifest);
        if (!damage.empty() && (!force || manifest.records.empty()))
            return damaged(damage, manifest);
        if (manifest.records.empty()) {
            Undo::DropRun(storeFd, *name);  // killed before its first record
            continue;
        }
        found.damaged = !damage.empty();
        found.folder = std::move(folder);
        found.name = *name;
        found.manifestFd = std::move(manifestFd);
        found.manifest = std::move(manifest);
        return true;
    }
    return false;
}

Undo::NotKept ReadNotKept(int runFd) {
    const Posix::Fd fd(::openat(runFd, Undo::NotKeptName, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    std::string text;
    if (!fd || Posix::ReadAll(fd.get(), text) != 0)
        return {};
    return Undo::ParseNotKept(text);
}

// Takes the records of a run back, newest first, and tells what came of each.
class Restorer {
public:
    // `options.dryRun`: finds what each record would come to, and changes nothing.
    // `later`: the runs after this one, which may have written its files again.
    Restorer(int runFd, Undo::NotKept notKept, Undo::LaterRuns &later, const UndoOptions &options)
        : runFd_(runFd),
          notKept_(std::move(notKept)),
          handedBack_(Undo::ReadHandedBack(runFd)),
          later_(later),
          dryRun_(options.dryRun),
          stop_(options.stop) {}

    void restore(const std::vector<Record> &records);
    // The outcomes, newest record first, into the summary; the records that failed, to be kept
    // for the next undo, oldest first.
    std::vector<const Record *> report(UndoSummary &summary) const;

private:
    enum class Step { NothingToDo, Restored, Removed, LeftAlone, Failed, NotReached };
    struct Outcome {
        const Record *record = nullptr;
        Step step = Step::NothingToDo;
        UndoSummary::Reason reason = UndoSummary::Reason::Changed;
        int error = 0;
        std::string path;          // the record's target, as the system takes it
        std::uint64_t device = 0;  // of the file at the target, to be put back
        std::vector<std::string> notKept;
    };

    void look(std::size_t i);
    void putBackPending();
    void fail(Outcome &outcome, int error) {
        outcome.step = Step::Failed;
        outcome.error = error;
    }

    int runFd_;
    Undo::NotKept notKept_;
    Undo::HandedBack handedBack_;  // what undos of earlier runs put at this run's targets
    Undo::LaterRuns &later_;
    std::set<std::string> looked_;  // targets whose newest record was looked at
    bool dryRun_;
    const std::atomic<int> *stop_;
    std::vector<Outcome> outcomes_;
    std::vector<std::size_t> pending_;  // outcomes to be put back in the next go
    std::set<std::string> pendingTargets_;
    // Targets put back, by copy among them: the identity there now, and the original's it
    // stands for, which an older record of the same target compares with.
    std::map<std::string, std::pair<Identity, Identity>> putBack_;
    std::set<std::string> folders_;  // to be made durable
    Undo::LongPaths longPaths_;      // the folders of targets too long to name at once
};

void Restorer::restore(const std::vector<Record> &records) {
    outcomes_.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        Outcome &outcome = outcomes_[i];
        outcome.record = &records[records.size() - 1 - i];
        if (stop_ && stop_->load(std::memory_order_relaxed) != 0) {
            outcome.step = Step::NotReached;  // kept for the next undo
            continue;
        }
        // An older record of a target waiting to be put back sees it put back.
        if (pendingTargets_.count(outcome.record->target) != 0)
            putBackPending();
        outcome.path = longPaths_.of(outcome.record->target);
        look(i);
        if (pending_.size() >= PutBackBatch)
            putBackPending();
    }
    putBackPending();
    for (const std::string &folder : folders_) {
        const Posix::Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd)
            (void)Posix::SyncFolder(fd.get());
    }
}

// Whether the bytes at the record's target are those of the result the run left there.
bool HoldsResult(const Record &record, const std::string &path) {
    const Posix::Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    std::uint64_t hash = 0;
    return fd && Undo::HashFile(fd.get(), hash) == 0 && hash == record.freshHash;
}

// What is at the record's target decides: nothing to do, a removal, a put back (pending), or
// leaving it alone.
void Restorer::look(std::size_t i) {
    Outcome &outcome = outcomes_[i];
    const Record &record = *outcome.record;
    struct stat info;
    if (::lstat(outcome.path.c_str(), &info) != 0) {
        if (errno == ENOENT && Undo::IsHandedBack(handedBack_, record.target, nullptr))
            return;  // removed by the undo of an earlier run
        // A replaced file that is no longer there (its folder renamed or moved, say) keeps
        // its original for an undo once it is back.
        if ((errno != ENOENT && errno != ENOTDIR) || record.replaced)
            fail(outcome, errno == ENOTDIR ? ENOENT : errno);
        return;  // a created file that is not there: nothing to do
    }
    const Identity found = Undo::IdentityOf(info);
    const bool newest = looked_.insert(record.target).second;
    if (found != record.fresh && Undo::IsHandedBack(handedBack_, record.target, &found))
        return;  // put back by the undo of an earlier run that this one wrote over
    Identity now = found;
    const auto known = putBack_.find(record.target);
    // What this undo put back (or, dry, would have) stands for the original it was.
    const bool putBackHere = known != putBack_.end() && known->second.first == now;
    if (putBackHere)
        now = known->second.second;
    if (record.replaced && now == record.old)
        return;  // never replaced
    bool asLeft = now == record.fresh;
    if (asLeft && record.hashed && !putBackHere && !HoldsResult(record, outcome.path)) {
        // Written again since, to the same size within the same clock tick, or with its
        // time set back.
        outcome.step = Step::LeftAlone;
        outcome.reason = UndoSummary::Reason::Changed;
        return;
    }
    const bool copyOfOriginal =
        record.replaced && now.size == record.old.size && now.modifiedNs == record.old.modifiedNs;
    // Written again by later runs, each over what the one before left: as the runs left it.
    if (!asLeft && !copyOfOriginal && !putBackHere && newest)
        asLeft = later_.leftByLater(record, outcome.path, now);
    // The later runs learn what goes back before it does.
    if (asLeft && !dryRun_) {
        if (const int error =
                later_.handBack(record.target, found, record.replaced ? record.old : Identity{}))
            return fail(outcome, error);
    }
    if (asLeft && !record.replaced) {
        if (!dryRun_ && ::unlink(outcome.path.c_str()) != 0)
            return fail(outcome, errno);
        outcome.step = Step::Removed;
        folders_.insert(Posix::FolderOf(outcome.path));
    } else if (asLeft && dryRun_) {
        // As if put back: an older record of the target sees what this one kept.
        outcome.step = Step::Restored;
        putBack_[record.target] = {Undo::IdentityOf(info), record.old};
    } else if (asLeft) {
        outcome.step = Step::Restored;  // once put back
        outcome.device = static_cast<std::uint64_t>(info.st_dev);
        pending_.push_back(i);
        pendingTargets_.insert(record.target);
    } else if (copyOfOriginal) {
        // A copy of the original, put back by an undo that was cut short: nothing to do, and
        // an older record of the target sees the original.
        putBack_[record.target] = {Undo::IdentityOf(info), record.old};
    } else {
        outcome.step = Step::LeftAlone;
        outcome.reason = UndoSummary::Reason::Changed;
    }
}

void Restorer::putBackPending() {
    if (pending_.empty())
        return;
    std::vector<Undo::PutBack> entries(pending_.size());
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        const Outcome &outcome = outcomes_[pending_[k]];
        entries[k].record = outcome.record;
        entries[k].target = outcome.path;
        entries[k].targetDevice = outcome.device;
    }
    Undo::PutBackAll(runFd_, entries);
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        Outcome &outcome = outcomes_[pending_[k]];
        Undo::PutBack &entry = entries[k];
        const Record &record = *outcome.record;
        if (entry.error != 0) {
            fail(outcome, entry.error);
            continue;
        }
        putBack_[record.target] = {entry.now, record.old};
        folders_.insert(Posix::FolderOf(outcome.path));
        // What the store's copy could not keep, then what the copy put back could not.
        if (const auto stored = notKept_.find(record.kept); stored != notKept_.end())
            outcome.notKept = stored->second;
        for (std::string &item : entry.notKept) {
            if (std::find(outcome.notKept.begin(), outcome.notKept.end(), item) ==
                outcome.notKept.end())
                outcome.notKept.push_back(std::move(item));
        }
    }
    pending_.clear();
    pendingTargets_.clear();
}

std::vector<const Record *> Restorer::report(UndoSummary &summary) const {
    std::vector<const Record *> retry;
    for (const Outcome &outcome : outcomes_) {
        const std::string &target = outcome.record->target;
        switch (outcome.step) {
            case Step::NothingToDo:
                ++summary.nothingToDo;
                break;
            case Step::Restored:
                summary.restored.push_back(target);
                if (!outcome.notKept.empty())
                    summary.notKept.push_back({target, outcome.notKept});
                break;
            case Step::Removed:
                summary.removed.push_back(target);
                break;
            case Step::LeftAlone:
                summary.leftAlone.push_back({target, outcome.reason});
                break;
            case Step::NotReached:
                ++summary.notReached;
                retry.push_back(outcome.record);
                break;
            case Step::Failed: {
                // Tried again by the next undo, with its kept original where there is one.
                summary.failed.push_back({target, outcome.error});
                struct stat kept;
                if (!outcome.record->replaced || ::fstatat(runFd_, outcome.record->kept.c_str(),
                                                           &kept, AT_SYMLINK_NOFOLLOW) == 0)
                    retry.push_back(outcome.record);
                break;
            }
        }
    }
    std::reverse(retry.begin(), retry.end());
    return retry;
}

// What failed stays for the next undo, oldest first as recorded; the rest of the run goes.
void KeepFailed(const FoundRun &run, const std::vector<const Record *> &retry) {
    const int runFd = run.folder.get();
    std::string kept = Undo::HeaderText(run.manifest.face, run.manifest.started) +
                       Undo::WhatText(run.manifest.what);
    std::set<std::string> keptNames;
    std::uint64_t bytes = 0;
    for (const Record *record : retry) {
        kept += Undo::RecordLine(*record);
        keptNames.insert(record->kept);
        bytes += record->keptBytes;
    }
    kept += Undo::EndLine(retry.size(), bytes);
    const std::string fresh = std::string(Undo::ManifestName) + ".new";
    const Posix::Fd out(
        ::openat(runFd, fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!out || Posix::WriteAllAt(out.get(), kept.data(), kept.size(), 0) != 0 ||
        Posix::SyncData(out.get()) != 0 ||
        ::renameat(runFd, fresh.c_str(), runFd, Undo::ManifestName) != 0) {
        // The run stays as it was: undoing it again finds the files put back as they were
        // before the run (nothing to do) and tries the others again.
        ::unlinkat(runFd, fresh.c_str(), 0);
        return;
    }
    (void)Posix::SyncFolder(runFd);
    for (const Record &record : run.manifest.records) {
        if (record.replaced && !keptNames.count(record.kept))
            ::unlinkat(runFd, record.kept.c_str(), 0);
    }
}

}  // namespace

namespace {

// Takes the newest run back, or the run named `chosen`.
UndoSummary TakeBack(const std::string &path, const std::string *chosen,
                     const UndoOptions &options) {
    UndoSummary summary;
    summary.chosen = chosen != nullptr;
    summary.dryRun = options.dryRun;
    const Undo::LockedStore store = Undo::LockStore(path);
    if (store.error != 0) {
        if (store.error != ENOENT || store.folder) {
            summary.outcome = UndoSummary::Outcome::StoreFailed;
            summary.storeError = store.error;
        } else if (chosen) {
            summary.outcome = UndoSummary::Outcome::NotFound;
        }
        return summary;
    }
    // An undo writes as a run does: it takes its turn, and does not wait for a run that has it
    // (one that has not recorded anything yet among them).
    Posix::Fd turn;
    if (!options.dryRun) {
        turn.reset(::openat(store.folder.get(), Undo::TurnName,
                            O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (turn &&
            Posix::RetryOnEintr([&] { return ::flock(turn.get(), LOCK_EX | LOCK_NB); }) != 0 &&
            errno == EWOULDBLOCK) {
            summary.outcome = UndoSummary::Outcome::RunInProgress;
            return summary;
        }
    }
    FoundRun run;
    if (!FindRun(store.folder.get(), chosen, options.force, summary, run))
        return summary;
    summary.outcome = UndoSummary::Outcome::Done;
    summary.run = InfoOf(run);

    Undo::LaterRuns later(store.folder.get(), run.name);
    Restorer restorer(run.folder.get(), ReadNotKept(run.folder.get()), later, options);
    restorer.restore(run.manifest.records);
    const std::vector<const Record *> retry = restorer.report(summary);
    if (options.dryRun)
        return summary;
    // A damaged run forced back keeps, with a record that now reads, what no record named.
    if (retry.empty() && !run.damaged)
        Undo::DropRun(store.folder.get(), run.name);
    else
        KeepFailed(run, retry);
    return summary;
}

// Only a run folder's own name: nothing that leads elsewhere in the file system.
bool IsRunName(const std::string &name) {
    return !name.empty() && name.find('/') == std::string::npos && name[0] >= '0' && name[0] <= '9';
}

}  // namespace

UndoSummary UndoStore::undoLast(bool dryRun) {
    UndoOptions options;
    options.dryRun = dryRun;
    return undoLast(options);
}

UndoSummary UndoStore::undoLast(const UndoOptions &options) {
    return TakeBack(path_, nullptr, options);
}

UndoSummary UndoStore::undoRun(const QString &name, bool dryRun) {
    UndoOptions options;
    options.dryRun = dryRun;
    return undoRun(name, options);
}

UndoSummary UndoStore::undoRun(const QString &name, const UndoOptions &options) {
    const std::string chosen = name.toStdString();
    if (!IsRunName(chosen)) {
        UndoSummary summary;
        summary.chosen = true;
        summary.outcome = UndoSummary::Outcome::NotFound;
        return summary;
    }
    return TakeBack(path_, &chosen, options);
}
