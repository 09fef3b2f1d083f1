// The undo store: keeping what a run replaces, and taking the run back.
//
// The commit is simulated here as the commit queue does it (UndoCommits.h).
#include "UndoCommits.h"
#include "support/Child.h"
#include "undo/UndoStore.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace UndoCommits;

namespace {

using Outcome = UndoSummary::Outcome;
using Reason = UndoSummary::Reason;

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

QByteArray Attribute(const std::string &path, const char *name) {
    char value[256];
    const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? QByteArray("<none>") : QByteArray(value, size);
}

// The run folders in the store, oldest first.
QStringList Runs(const QString &store) {
    return QDir(store).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QString NameOf(const UndoRecorder &run) {
    return QFileInfo(run.folder()).fileName();
}

QStringList Paths(const std::vector<std::string> &paths) {
    QStringList list;
    for (const std::string &path : paths)
        list.append(QString::fromStdString(path));
    return list;
}

QStringList LeftAlonePaths(const UndoSummary &summary) {
    QStringList list;
    for (const UndoSummary::LeftAlone &file : summary.leftAlone)
        list.append(QString::fromStdString(file.path));
    return list;
}

enum class StoreAt { Beside, OtherFileSystem };

}  // namespace

Q_DECLARE_METATYPE(UndoKeep)
Q_DECLARE_METATYPE(StoreAt)
Q_DECLARE_METATYPE(Reason)
Q_DECLARE_METATYPE(UndoLimits)

class UndoStoreTest : public QObject {
    Q_OBJECT

private slots:
    void restoresReplacedFiles_data();
    void restoresReplacedFiles();
    void removesCreatedFiles();
    void leavesChangedFilesAlone_data();
    void leavesChangedFilesAlone();
    void goneFilesKeepTheRun_data();
    void goneFilesKeepTheRun();
    void runKilledBeforeRenames_data();
    void runKilledBeforeRenames();
    void processKilledMidGroup();
    void tornManifestLineIgnored_data();
    void tornManifestLineIgnored();
    void sameTargetTwiceInOneRun_data();
    void sameTargetTwiceInOneRun();
    void undoesNewestRunFirst();
    void undoesAChosenRun_data();
    void undoesAChosenRun();
    void undoesTwoRunsInEitherOrder_data();
    void undoesTwoRunsInEitherOrder();
    void damagedRunRefusedAndKept_data();
    void damagedRunRefusedAndKept();
    void lastRunAndTotalSize_data();
    void lastRunAndTotalSize();
    void runInProgressIsNotUndone();
    void keepsTwentyRuns();
    void sizeBound_data();
    void sizeBound();
    void runInProgressSurvivesPruning();
    void emptyRunLeavesNothing_data();
    void emptyRunLeavesNothing();
    void concurrentRuns();
    void namesRoundTrip_data();
    void namesRoundTrip();
    void relativeTarget();
    void unusableStore();
    void defaultFolderUnderUserData_data();
    void defaultFolderUnderUserData();
    void failedRestoreKeptForNextUndo_data();
    void failedRestoreKeptForNextUndo();
};

void UndoStoreTest::restoresReplacedFiles_data() {
    QTest::addColumn<UndoKeep>("keep");
    QTest::addColumn<StoreAt>("storeAt");
    QTest::newRow("hard link") << UndoKeep::LinkWherePossible << StoreAt::Beside;
    QTest::newRow("copy") << UndoKeep::Copy << StoreAt::Beside;
    QTest::newRow("across file systems") << UndoKeep::LinkWherePossible << StoreAt::OtherFileSystem;
}

void UndoStoreTest::restoresReplacedFiles() {
    QFETCH(UndoKeep, keep);
    QFETCH(StoreAt, storeAt);

    const QString other = OtherFileSystem();
    if (storeAt == StoreAt::OtherFileSystem && other.isEmpty())
        QSKIP("/dev/shm is not another file system here");
    QTemporaryDir files, store(storeAt == StoreAt::Beside ? QDir::tempPath() + "/undo-XXXXXX"
                                                          : other + "/strelmark-undo-XXXXXX");
    QVERIFY(store.isValid());

    struct Original {
        std::string path;
        QByteArray bytes;
        mode_t mode;
        struct stat info;
    };
    QByteArray big(3 << 20, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 + i / 4093);
    std::vector<Original> originals = {
        {Native(files.filePath("a.htm")), QByteArray("line\r\nNUL \0 and \xFF\r\n", 20), 0640, {}},
        {Native(files.filePath("empty.htm")), QByteArray(), 0600, {}},
        {Native(files.filePath("script.htm")), QByteArray("#!/bin/sh\necho hi\n"), 0755, {}},
        {Native(files.filePath("setid.htm")), QByteArray("set-id"), 04750, {}},
        {Native(files.filePath("big.htm")), big, 0644, {}},
    };
    std::vector<Change> changes;
    for (Original &original : originals) {
        WriteFile(original.path, original.bytes);
        // Another owner where this user may give files away (a change of owner clears the
        // set-id bits, so it comes first).
        if (RunningAsRoot())
            QCOMPARE(::chown(original.path.c_str(), 65534, 65534), 0);
        QCOMPARE(::chmod(original.path.c_str(), original.mode), 0);
        QCOMPARE(::setxattr(original.path.c_str(), "user.strelmark", "kept", 4, 0), 0);
        original.info = StatOf(original.path);
        changes.push_back({original.path, "result"});
    }

    UndoStore undo(store.path(), UndoLimits(), keep);
    CommitRun(undo, changes);
    for (const Original &original : originals)
        QCOMPARE(ReadFile(original.path), QByteArray("result"));

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(summary.restored.size(), originals.size());
    QVERIFY(summary.leftAlone.empty());
    QVERIFY(summary.failed.empty());
    for (const Original &original : originals) {
        const struct stat now = StatOf(original.path);
        QCOMPARE(ReadFile(original.path), original.bytes);
        QCOMPARE(now.st_mode & 07777, original.mode);
        QCOMPARE(now.st_uid, original.info.st_uid);
        QCOMPARE(now.st_gid, original.info.st_gid);
        QCOMPARE(Attribute(original.path, "user.strelmark"), QByteArray("kept"));
        QCOMPARE(ModifiedNs(now), ModifiedNs(original.info));
        // A hard link brings back the very file; a copy brings back a file like it.
        if (keep == UndoKeep::LinkWherePossible && storeAt == StoreAt::Beside)
            QCOMPARE(now.st_ino, original.info.st_ino);
    }
    // No temporary file is left beside the targets, and the run's record is gone.
    QCOMPARE(
        QDir(files.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
        int(originals.size()));
    QVERIFY(Runs(store.path()).isEmpty());
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
}

void UndoStoreTest::removesCreatedFiles() {
    QTemporaryDir files, store;
    const std::string created = Native(files.filePath("new.htm"));
    const std::string replaced = Native(files.filePath("old.htm"));
    WriteFile(replaced, "old");
    UndoStore undo(store.path());
    CommitRun(undo, {{created, "made"}, {replaced, "new"}});
    QCOMPARE(ReadFile(created), QByteArray("made"));

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(Paths(summary.removed), QStringList{QString::fromStdString(created)});
    QCOMPARE(Paths(summary.restored), QStringList{QString::fromStdString(replaced)});
    QVERIFY(!Exists(created));
    QCOMPARE(ReadFile(replaced), QByteArray("old"));
}

enum class Mutation {
    NewContent,
    TimeSetBack,
    OtherFileRenamedOver,
    Deleted,
    SymbolicLink,
    CopyOfOriginal
};
Q_DECLARE_METATYPE(Mutation)

void UndoStoreTest::leavesChangedFilesAlone_data() {
    QTest::addColumn<bool>("existedBefore");
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<Reason>("reason");

    QTest::newRow("replaced, then written in place")
        << true << Mutation::NewContent << true << Reason::Changed;
    QTest::newRow("replaced, then another file renamed over it")
        << true << Mutation::OtherFileRenamedOver << true << Reason::Changed;
    QTest::newRow("replaced, then a symbolic link put there")
        << true << Mutation::SymbolicLink << true << Reason::Changed;
    QTest::newRow("created, then written in place")
        << false << Mutation::NewContent << true << Reason::Changed;
    // Only the bytes tell: same file, same size, its time set back (touch -r, rsync -t).
    QTest::newRow("replaced, then written with its time set back")
        << true << Mutation::TimeSetBack << true << Reason::Changed;
    QTest::newRow("created, then written with its time set back")
        << false << Mutation::TimeSetBack << true << Reason::Changed;
    QTest::newRow("created, then deleted") << false << Mutation::Deleted << false << Reason::Gone;
    // As an undo cut short leaves a copy it put back: nothing to do, nothing to say.
    QTest::newRow("replaced, then a copy of the original put back")
        << true << Mutation::CopyOfOriginal << false << Reason::Changed;
}

void UndoStoreTest::leavesChangedFilesAlone() {
    QFETCH(bool, existedBefore);
    QFETCH(Mutation, mutation);
    QFETCH(bool, listed);
    QFETCH(Reason, reason);

    QTemporaryDir files, store;
    const std::string subject = Native(files.filePath("subject.htm"));
    const std::string control = Native(files.filePath("control.htm"));
    const std::string elsewhere = Native(files.filePath("elsewhere.htm"));
    if (existedBefore)
        WriteFile(subject, "original");
    const struct stat original = StatOf(subject);
    WriteFile(control, "control original");
    UndoStore undo(store.path());
    CommitRun(undo, {{subject, "result"}, {control, "control result"}});

    // What the user did after the run. The new content has the result's size, so that only
    // the modification time tells (a second later, whatever the clock's grain).
    QByteArray userBytes = "user's";
    switch (mutation) {
        case Mutation::NewContent:
        case Mutation::TimeSetBack: {
            const struct stat result = StatOf(subject);
            const int fd = ::open(subject.c_str(), O_WRONLY | O_TRUNC);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, userBytes.constData(), 6), ssize_t(6));
            const bool setBack = mutation == Mutation::TimeSetBack;
            const struct timespec times[2] = {
                {0, UTIME_OMIT},
                {result.st_mtim.tv_sec + (setBack ? 0 : 1), result.st_mtim.tv_nsec}};
            QCOMPARE(::futimens(fd, times), 0);
            ::close(fd);
            QCOMPARE(StatOf(subject).st_ino, result.st_ino);
            break;
        }
        case Mutation::OtherFileRenamedOver:
            WriteFile(subject + ".tmp", userBytes);
            QCOMPARE(::rename((subject + ".tmp").c_str(), subject.c_str()), 0);
            break;
        case Mutation::Deleted:
            QCOMPARE(::unlink(subject.c_str()), 0);
            break;
        case Mutation::SymbolicLink:
            WriteFile(elsewhere, userBytes);
            QCOMPARE(::unlink(subject.c_str()), 0);
            QCOMPARE(::symlink(elsewhere.c_str(), subject.c_str()), 0);
            break;
        case Mutation::CopyOfOriginal: {
            userBytes = "original";
            WriteFile(subject + ".tmp", userBytes);
            const struct timespec times[2] = {original.st_atim, original.st_mtim};
            QCOMPARE(::utimensat(AT_FDCWD, (subject + ".tmp").c_str(), times, 0), 0);
            QCOMPARE(::rename((subject + ".tmp").c_str(), subject.c_str()), 0);
            break;
        }
    }

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(ReadFile(control), QByteArray("control original"));
    QVERIFY(summary.failed.empty());
    if (listed) {
        QCOMPARE(LeftAlonePaths(summary), QStringList{QString::fromStdString(subject)});
        QCOMPARE(summary.leftAlone[0].reason, reason);
    } else {
        QVERIFY(summary.leftAlone.empty());
        QCOMPARE(summary.nothingToDo, std::size_t(1));
    }
    if (mutation == Mutation::Deleted) {
        QVERIFY(!Exists(subject));
    } else {
        QCOMPARE(ReadFile(subject), userBytes);
        QCOMPARE(S_ISLNK(StatOf(subject).st_mode), mutation == Mutation::SymbolicLink);
    }
    QVERIFY(Runs(store.path()).isEmpty());
}

void UndoStoreTest::goneFilesKeepTheRun_data() {
    QTest::addColumn<bool>("folderMoved");  // else the file deleted
    QTest::newRow("folder moved") << true;
    QTest::newRow("file deleted") << false;
}

void UndoStoreTest::goneFilesKeepTheRun() {
    // A replaced file that is no longer there is reported, and its original stays in the run
    // for the undo that finds it back; only a run undone whole goes.
    QFETCH(bool, folderMoved);
    QTemporaryDir files, store;
    QVERIFY(QDir(files.path()).mkdir("sub"));
    const std::string gone = Native(files.filePath("sub/a.htm")),
                      here = Native(files.filePath("b"));
    WriteFile(gone, "a original");
    WriteFile(here, "b original");
    UndoStore undo(store.path());
    CommitRun(undo, {{gone, "a result"}, {here, "b result"}});
    const std::string moved = Native(files.filePath("moved"));
    if (folderMoved)
        QCOMPARE(::rename(Native(files.filePath("sub")).c_str(), moved.c_str()), 0);
    else
        QCOMPARE(::unlink(gone.c_str()), 0);

    UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.restored, std::vector<std::string>{here});
    QCOMPARE(summary.failed.size(), std::size_t(1));
    QCOMPARE(summary.failed[0].path, gone);
    QVERIFY(DescribeUndo(summary).last().startsWith("Not restored, no longer there"));
    QCOMPARE(undo.lastRun().value().files, std::size_t(1));
    if (folderMoved)
        QCOMPARE(::rename(moved.c_str(), Native(files.filePath("sub")).c_str()), 0);
    else
        WriteFile(gone, "a result");  // as the run left it, but another file now

    summary = undo.undoLast();
    QCOMPARE(summary.restored.size() + summary.leftAlone.size(), std::size_t(1));
    QCOMPARE(ReadFile(gone), QByteArray(folderMoved ? "a original" : "a result"));
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
}

void UndoStoreTest::runKilledBeforeRenames_data() {
    QTest::addColumn<UndoKeep>("keep");
    QTest::addColumn<bool>("existedBefore");
    QTest::newRow("replaced, hard link") << UndoKeep::LinkWherePossible << true;
    QTest::newRow("replaced, copy") << UndoKeep::Copy << true;
    QTest::newRow("created") << UndoKeep::LinkWherePossible << false;
}

void UndoStoreTest::runKilledBeforeRenames() {
    QFETCH(UndoKeep, keep);
    QFETCH(bool, existedBefore);

    QTemporaryDir files, store;
    std::vector<Change> changes;
    std::vector<struct stat> before;
    for (const char *name : {"a.htm", "b.htm", "c.htm"}) {
        const std::string path = Native(files.filePath(name));
        if (existedBefore)
            WriteFile(path, QByteArray("original ") + name);
        before.push_back(StatOf(path));
        changes.push_back({path, "result"});
    }
    UndoStore undo(store.path(), UndoLimits(), keep);
    CommitRun(undo, changes, Then::Abandon);
    QCOMPARE(undo.lastRun().value().files, changes.size());

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(summary.nothingToDo, changes.size());
    QVERIFY(summary.restored.empty());
    QVERIFY(summary.removed.empty());
    QVERIFY(summary.leftAlone.empty());
    QVERIFY(summary.failed.empty());
    for (std::size_t i = 0; i < changes.size(); ++i) {
        QCOMPARE(Exists(changes[i].target), existedBefore);
        if (existedBefore) {
            QCOMPARE(ReadFile(changes[i].target),
                     "original " +
                         QFileInfo(QString::fromStdString(changes[i].target)).fileName().toUtf8());
            QCOMPARE(StatOf(changes[i].target).st_ino, before[i].st_ino);
        }
    }
    QVERIFY(!undo.lastRun());
}

void UndoStoreTest::processKilledMidGroup() {
    // A run killed between two renames of a group: the file renamed comes back, the other one
    // was never touched, and the lock of the dead run is gone with it.
    QTemporaryDir files, store;
    const std::string first = Native(files.filePath("first.htm"));
    const std::string second = Native(files.filePath("second.htm"));
    WriteFile(first, "first original");
    WriteFile(second, "second original");

    const Child::Outcome child =
        Child::Run(Child::Self({"--record-then-die", store.path(), QString::fromStdString(first),
                                QString::fromStdString(second)}));
    QCOMPARE(child.signal, SIGKILL);
    QCOMPARE(ReadFile(first), QByteArray("result"));
    QCOMPARE(ReadFile(second), QByteArray("second original"));

    UndoStore undo(store.path());
    const std::optional<UndoRunInfo> run = undo.lastRun();
    QVERIFY(run);
    QVERIFY(!run->inProgress);
    QCOMPARE(run->face, UndoFace::CommandLine);
    QCOMPARE(run->files, std::size_t(2));

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(Paths(summary.restored), QStringList{QString::fromStdString(first)});
    QCOMPARE(summary.nothingToDo, std::size_t(1));
    QCOMPARE(ReadFile(first), QByteArray("first original"));
    QCOMPARE(ReadFile(second), QByteArray("second original"));
    QCOMPARE(QDir(files.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void UndoStoreTest::tornManifestLineIgnored_data() {
    // The manifest of a run killed while it appended: what came before the tear, then part of
    // a record of a created file that is really there, which undo must not remove.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("recordBytes");  // how much of the record's line was written; -1 all
    QTest::newRow("record cut short") << QByteArray() << 20;
    QTest::newRow("whole record without its line end") << QByteArray() << -1;
    QTest::newRow("a block of zeros") << QByteArray(4096, '\0') << 0;
    QTest::newRow("a line of zeros, then a record cut short") << QByteArray(4095, '\0') + '\n'
                                                              << 30;
}

void UndoStoreTest::tornManifestLineIgnored() {
    QFETCH(QByteArray, before);
    QFETCH(int, recordBytes);

    QTemporaryDir files, store;
    const std::string replaced = Native(files.filePath("replaced.htm"));
    const std::string bystander = Native(files.filePath("bystander.htm"));
    WriteFile(replaced, "original");
    WriteFile(bystander, "not the run's");

    UndoStore undo(store.path());
    std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
    QCOMPARE(Commit(*run, {{replaced, "result"}}), std::vector<int>{0});
    const QString manifestPath = run->folder() + "/manifest";
    run->finish();

    // The finished run's last line ("end ...") is replaced by the torn tail.
    QFile manifest(manifestPath);
    QVERIFY(manifest.open(QIODevice::ReadWrite));
    QByteArray text = manifest.readAll();
    QVERIFY(text.endsWith('\n'));
    text.chop(1);
    QVERIFY(text.mid(text.lastIndexOf('\n') + 1).startsWith("end "));
    text.truncate(text.lastIndexOf('\n') + 1);
    const struct stat info = StatOf(bystander);
    const QByteArray record =
        "C " + QByteArray(bystander.c_str()).toPercentEncoding("/") + " - 0 0 0 0 0 " +
        QByteArray::number(quint64(info.st_dev)) + ' ' + QByteArray::number(quint64(info.st_ino)) +
        ' ' + QByteArray::number(qint64(info.st_size)) + ' ' + QByteArray::number(ModifiedNs(info));
    text += before + (recordBytes < 0 ? record : record.left(recordBytes));
    QVERIFY(manifest.resize(0));
    QVERIFY(manifest.seek(0));
    QCOMPARE(manifest.write(text), text.size());
    manifest.close();

    QCOMPARE(undo.lastRun().value().files, std::size_t(1));
    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(Paths(summary.restored), QStringList{QString::fromStdString(replaced)});
    QVERIFY(summary.removed.empty());
    QCOMPARE(ReadFile(replaced), QByteArray("original"));
    QCOMPARE(ReadFile(bystander), QByteArray("not the run's"));

    // The same record with its line end is a record: the check above can fail.
    if (recordBytes < 0) {
        CommitRun(undo, {{replaced, "result"}});
        const QString again = undo.lastRun().value().name;
        // In place of the end line, as a run killed before its end leaves it.
        const std::string path = Native(store.path() + "/" + again + "/manifest");
        QByteArray killed = ReadFile(path);
        killed.truncate(killed.lastIndexOf("\nend ") + 1);
        WriteFile(path, killed + record + '\n', 0600);
        QCOMPARE(Paths(undo.undoLast().removed), QStringList{QString::fromStdString(bystander)});
    }
}

void UndoStoreTest::sameTargetTwiceInOneRun_data() {
    QTest::addColumn<UndoKeep>("keep");
    QTest::newRow("hard link") << UndoKeep::LinkWherePossible;
    QTest::newRow("copy") << UndoKeep::Copy;
}

void UndoStoreTest::sameTargetTwiceInOneRun() {
    // Two rows with the same output name: the first creates the file, the second replaces the
    // first one's result. Undo puts back the first result, then sees it as the run left it and
    // removes it, whether it came back as the same file or as a copy.
    QFETCH(UndoKeep, keep);
    QTemporaryDir files, store;
    const std::string target = Native(files.filePath("out.htm"));
    UndoStore undo(store.path(), UndoLimits(), keep);
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
    QCOMPARE(Commit(*run, {{target, "first row"}}), std::vector<int>{0});
    QCOMPARE(Commit(*run, {{target, "second row"}}), std::vector<int>{0});
    run->finish();

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(Paths(summary.restored), QStringList{QString::fromStdString(target)});
    QCOMPARE(Paths(summary.removed), QStringList{QString::fromStdString(target)});
    QVERIFY(summary.leftAlone.empty());
    QVERIFY(!Exists(target));
}

void UndoStoreTest::undoesNewestRunFirst() {
    QTemporaryDir files, store;
    const std::string target = Native(files.filePath("a.htm"));
    WriteFile(target, "one");
    UndoStore undo(store.path());
    CommitRun(undo, {{target, "two"}});
    CommitRun(undo, {{target, "three"}});

    QCOMPARE(undo.undoLast().outcome, Outcome::Done);
    QCOMPARE(ReadFile(target), QByteArray("two"));
    QCOMPARE(undo.undoLast().outcome, Outcome::Done);
    QCOMPARE(ReadFile(target), QByteArray("one"));
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
    QCOMPARE(ReadFile(target), QByteArray("one"));
}

void UndoStoreTest::undoesAChosenRun_data() {
    QTest::addColumn<bool>("sameFile");  // the later run wrote the older run's file again
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<bool>("edited");  // and the file was edited after the later run
    QTest::newRow("another file") << false << false << false;
    QTest::newRow("the same file") << true << false << false;
    QTest::newRow("the same file, edited since") << true << false << true;
    QTest::newRow("dry run, another file") << false << true << false;
    QTest::newRow("dry run, the same file") << true << true << false;
}

// The older of two runs, chosen from the list, goes back by the rules of the last. A file that
// the later run wrote again over the older run's result is still as the runs left it: the older
// run's original goes back, and the later run's undo then finds nothing to do there (each
// content of another size, so that no file passes for another's copy put back). A file
// edited since is left alone. A dry run tells the same and changes nothing.
void UndoStoreTest::undoesAChosenRun() {
    QFETCH(bool, sameFile);
    QFETCH(bool, dryRun);
    QFETCH(bool, edited);
    QTemporaryDir files, store;
    const std::string a = Native(files.filePath("a.htm")), b = Native(files.filePath("b.htm"));
    WriteFile(a, "one");
    WriteFile(b, "uno");
    UndoStore undo(store.path());
    CommitRun(undo, {{a, "two!"}});
    CommitRun(undo, {{sameFile ? a : b, "three"}});
    if (edited)
        WriteFile(a, "four!");

    const std::vector<UndoRunInfo> runs = undo.listRuns();
    QCOMPARE(runs.size(), std::size_t(2));
    QCOMPARE(runs[0].restorable, std::size_t(edited ? 0 : 1));
    QCOMPARE(runs[1].restorable, std::size_t(edited ? 0 : 1));  // through the later run
    QCOMPARE(runs[1].folder, Native(files.path()));
    const UndoSummary summary = undo.undoRun(runs[1].name, dryRun);
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(summary.restored.size(), std::size_t(edited ? 0 : 1));
    QCOMPARE(LeftAlonePaths(summary),
             edited ? QStringList{QString::fromStdString(a)} : QStringList());
    QCOMPARE(ReadFile(a), QByteArray(edited   ? "four!"
                                     : dryRun ? sameFile ? "three" : "two!"
                                              : "one"));
    QCOMPARE(undo.listRuns().size(), std::size_t(dryRun ? 2 : 1));
    QCOMPARE(undo.undoRun(runs[1].name, true).outcome, dryRun ? Outcome::Done : Outcome::NotFound);
    const UndoSummary later = undo.undoLast();  // the later run goes back as before
    QCOMPARE(later.outcome, Outcome::Done);
    QCOMPARE(LeftAlonePaths(later),
             edited ? QStringList{QString::fromStdString(a)} : QStringList());
    QCOMPARE(later.restored.size(), std::size_t(sameFile && !dryRun ? 0 : 1));
    QCOMPARE(ReadFile(sameFile ? a : b), QByteArray(edited               ? "four!"
                                                    : sameFile && dryRun ? "two!"
                                                    : sameFile           ? "one"
                                                                         : "uno"));
    QCOMPARE(undo.listRuns().size(), std::size_t(dryRun ? 1 : 0));
}

// Two runs over the same files (one replaced, one created by the first), in place, undone in
// either order: each file is as it was before either.
void UndoStoreTest::undoesTwoRunsInEitherOrder_data() {
    QTest::addColumn<bool>("olderFirst");
    QTest::addColumn<UndoKeep>("keep");
    QTest::newRow("newest first") << false << UndoKeep::LinkWherePossible;
    QTest::newRow("oldest first") << true << UndoKeep::LinkWherePossible;
    QTest::newRow("oldest first, copies") << true << UndoKeep::Copy;
}

void UndoStoreTest::undoesTwoRunsInEitherOrder() {
    QFETCH(bool, olderFirst);
    QFETCH(UndoKeep, keep);
    QTemporaryDir files, store;
    const std::string a = Native(files.filePath("a.htm")), c = Native(files.filePath("c.htm"));
    WriteFile(a, "one");
    UndoStore undo(store.path(), UndoLimits(), keep);
    CommitRun(undo, {{a, "two"}, {c, "made"}});
    CommitRun(undo, {{a, "three"}, {c, "made again"}});
    const std::vector<UndoRunInfo> runs = undo.listRuns();
    QCOMPARE(runs.size(), std::size_t(2));

    for (const UndoRunInfo &run : olderFirst ? std::vector{runs[1], runs[0]} : runs) {
        const UndoSummary summary = undo.undoRun(run.name);
        QCOMPARE(summary.outcome, Outcome::Done);
        QVERIFY(summary.leftAlone.empty());
        QVERIFY(summary.failed.empty());
    }
    QCOMPARE(ReadFile(a), QByteArray("one"));
    QVERIFY(!Exists(c));
    QCOMPARE(undo.listRuns().size(), std::size_t(0));
}

void UndoStoreTest::damagedRunRefusedAndKept_data() {
    QTest::addColumn<QByteArray>("from");     // what of the newer run's manifest is replaced
    QTest::addColumn<QByteArray>("to");       // by what; "cut" cuts it there, "gone" removes it
    QTest::addColumn<QStringList>("forced");  // what --force puts back
    const QStringList both{"newer", "both"};
    QTest::newRow("header overwritten") << QByteArray("strelmar") << QByteArray("garbage!") << both;
    QTest::newRow("a later format") << QByteArray("undo 2") << QByteArray("undo 7") << both;
    QTest::newRow("a record damaged")
        << QByteArray(" k2 ") << QByteArray(" k? ") << QStringList{"both"};
    QTest::newRow("cut before its end")
        << QByteArray("R /") << QByteArray("cut") << QStringList{"both"};
    QTest::newRow("gone") << QByteArray() << QByteArray("gone") << QStringList();
}

void UndoStoreTest::damagedRunRefusedAndKept() {
    // A newer run whose record no longer reads whole is neither passed over for the run
    // before it nor thrown away with its kept files; forced, it puts back what it names.
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QStringList, forced);
    QTemporaryDir files, store;
    const std::string older = Native(files.filePath("older")),
                      both = Native(files.filePath("both"));
    const std::string newer = Native(files.filePath("newer"));
    WriteFile(older, "older original");
    WriteFile(both, "both original");
    WriteFile(newer, "newer original");
    UndoStore undo(store.path());
    CommitRun(undo, {{older, "older result"}, {both, "first result"}});
    CommitRun(undo, {{both, "second result"}, {newer, "newer result"}});
    const QString name = undo.lastRun().value().name, path = store.path() + "/" + name;
    QByteArray text = ReadFile(Native(path + "/manifest"));
    if (to == "cut")
        text.truncate(text.indexOf('\n', text.indexOf(from)) + 1);
    else
        text.replace(from, to);
    if (to == "gone")
        QVERIFY(QFile::remove(path + "/manifest"));
    else
        WriteFile(Native(path + "/manifest"), text, 0600);

    UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::Damaged);
    QCOMPARE(summary.run.value().name, name);
    QVERIFY(DescribeUndo(summary).first().contains(name + " does not read whole: "));
    QCOMPARE(ReadFile(older), QByteArray("older result"));
    QCOMPARE(ReadFile(both), QByteArray("second result"));
    QCOMPARE(Runs(store.path()).size(), 2);
    QCOMPARE(QDir(path).entryList({"k*"}, QDir::Files).size(), 2);
    QCOMPARE(undo.lastRun().value().name, name);

    UndoOptions force;
    force.force = true;
    summary = undo.undoLast(force);
    QStringList restored;
    for (const std::string &file : summary.restored)
        restored << QFileInfo(QString::fromStdString(file)).fileName();
    QCOMPARE(restored, forced);
    QCOMPARE(ReadFile(both), forced.isEmpty() ? QByteArray("second result") : "first result");
}

void UndoStoreTest::lastRunAndTotalSize_data() {
    QTest::addColumn<bool>("finished");
    QTest::newRow("finished") << true;
    QTest::newRow("still recording") << false;
}

void UndoStoreTest::lastRunAndTotalSize() {
    QFETCH(bool, finished);
    QTemporaryDir files, store;
    std::vector<Change> changes;
    std::uint64_t space = 0;
    for (int size : {10, 5000, 100000}) {
        const std::string path = Native(files.filePath(QString("%1.htm").arg(size)));
        WriteFile(path, QByteArray(size, 'x'));
        space += std::uint64_t(StatOf(path).st_blocks) * 512;
        changes.push_back({path, "result"});
    }
    changes.push_back({Native(files.filePath("created.htm")), "result"});

    UndoStore undo(store.path());
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::CommandLine);
    QCOMPARE(Commit(*run, {changes.begin(), changes.begin() + 2}), std::vector<int>({0, 0}));
    QCOMPARE(Commit(*run, {changes.begin() + 2, changes.end()}), std::vector<int>({0, 0}));
    if (finished)
        run->finish();
    const QDateTime after = QDateTime::currentDateTimeUtc();

    const std::optional<UndoRunInfo> info = undo.lastRun();
    QVERIFY(info);
    QCOMPARE(info->files, std::size_t(4));
    QCOMPARE(info->bytesKept, space);
    QCOMPARE(info->face, UndoFace::CommandLine);
    QCOMPARE(info->inProgress, !finished);
    QVERIFY2(info->started >= before && info->started <= after,
             qPrintable(info->started.toString(Qt::ISODateWithMs)));
    const QString manifest = store.path() + "/" + info->name + "/manifest";
    QCOMPARE(undo.totalSize(), space + std::uint64_t(StatOf(Native(manifest)).st_blocks) * 512);
}

void UndoStoreTest::runInProgressIsNotUndone() {
    QTemporaryDir files, store;
    const std::string target = Native(files.filePath("a.htm"));
    WriteFile(target, "original");
    UndoStore window(store.path());
    const std::unique_ptr<UndoRecorder> run = window.beginRun(UndoFace::Window);
    QCOMPARE(Commit(*run, {{target, "result"}}), std::vector<int>{0});

    UndoStore commandLine(store.path());
    UndoSummary summary = commandLine.undoLast();
    QCOMPARE(summary.outcome, Outcome::RunInProgress);
    QCOMPARE(summary.run.value().name, NameOf(*run));
    QCOMPARE(ReadFile(target), QByteArray("result"));

    run->finish();
    // A run that has its turn, before its first record: undo does not go under it either.
    const std::unique_ptr<UndoRecorder> next = window.beginRun(UndoFace::Window);
    QCOMPARE(next->waitTurn([] { return false; }), 0);
    QCOMPARE(commandLine.undoLast().outcome, Outcome::RunInProgress);
    next->finish();
    summary = commandLine.undoLast();
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(ReadFile(target), QByteArray("original"));
}

void UndoStoreTest::keepsTwentyRuns() {
    QTemporaryDir files, store;
    const std::string target = Native(files.filePath("a.htm"));
    WriteFile(target, "0");
    UndoStore undo(store.path());
    QStringList names;
    for (int i = 1; i <= 21; ++i) {
        const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
        QCOMPARE(Commit(*run, {{target, QByteArray::number(i)}}), std::vector<int>{0});
        names.append(NameOf(*run));
        run->finish();
        QCOMPARE(Runs(store.path()), names.mid(std::max(0, int(names.size()) - 20)));
    }
    // The twenty newest come back one after the other; the oldest was dropped.
    for (int i = 20; i >= 1; --i) {
        QCOMPARE(undo.undoLast().outcome, Outcome::Done);
        QCOMPARE(ReadFile(target), QByteArray::number(i));
    }
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
}

void UndoStoreTest::sizeBound_data() {
    QTest::addColumn<UndoLimits>("limits");
    QTest::newRow("a byte limit below one run") << UndoLimits{20, 1000, 10};
    QTest::newRow("no share of the free space") << UndoLimits{20, 2'000'000'000, 0};
    QTest::newRow("room for everything") << UndoLimits{20, 2'000'000'000, 100};
}

void UndoStoreTest::sizeBound() {
    QFETCH(UndoLimits, limits);
    QTemporaryDir files, store;
    UndoStore undo(store.path(), limits);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        const std::string target = Native(files.filePath(QString("%1.htm").arg(i)));
        WriteFile(target, QByteArray(20000, 'x'));
        const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
        QCOMPARE(Commit(*run, {{target, "result"}}), std::vector<int>{0});
        names.append(NameOf(*run));
        run->finish();
    }
    // The newest run stays even when it alone is over the limit.
    const bool roomy = limits.freeSpacePercent == 100;
    QCOMPARE(Runs(store.path()), roomy ? names : QStringList{names.last()});
    QVERIFY(roomy || undo.totalSize() > 1000);
}

void UndoStoreTest::runInProgressSurvivesPruning() {
    QTemporaryDir files, store;
    UndoStore undo(store.path(), UndoLimits{2, 1000, 10});
    const std::string first = Native(files.filePath("first.htm"));
    WriteFile(first, QByteArray(20000, 'x'));
    const std::unique_ptr<UndoRecorder> open = undo.beginRun(UndoFace::CommandLine);
    QCOMPARE(Commit(*open, {{first, "result"}}), std::vector<int>{0});
    QString last;
    for (int i = 0; i < 3; ++i) {
        const std::string target = Native(files.filePath(QString("%1.htm").arg(i)));
        WriteFile(target, QByteArray(20000, 'x'));
        const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
        QCOMPARE(Commit(*run, {{target, "result"}}), std::vector<int>{0});
        last = NameOf(*run);
        run->finish();
    }
    QCOMPARE(Runs(store.path()), QStringList({NameOf(*open), last}));
}

void UndoStoreTest::emptyRunLeavesNothing_data() {
    QTest::addColumn<bool>("tryToKeep");
    QTest::newRow("nothing recorded") << false;
    QTest::newRow("every file failed to be kept") << true;
}

void UndoStoreTest::emptyRunLeavesNothing() {
    QFETCH(bool, tryToKeep);
    QTemporaryDir files, store;
    UndoStore undo(store.path());
    {
        const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
        if (tryToKeep) {
            Replacement missing;
            missing.target = Native(files.filePath("gone.htm"));
            missing.existed = true;
            QCOMPARE(run->recordGroup({missing, missing}), std::vector<int>({ENOENT, ENOENT}));
        }
        // The run ends with its recorder.
    }
    QVERIFY(Runs(store.path()).isEmpty());
    QVERIFY(!undo.lastRun());
    QCOMPARE(undo.totalSize(), std::uint64_t(0));
}

void UndoStoreTest::concurrentRuns() {
    // Two stores on one folder, as the window and the command line, recording at once.
    QTemporaryDir files, store;
    constexpr int Groups = 60;
    std::vector<std::string> originals[2];
    int failures[2] = {0, 0};
    const auto work = [&](int face) {
        UndoStore undo(store.path());
        const std::unique_ptr<UndoRecorder> run =
            undo.beginRun(face == 0 ? UndoFace::Window : UndoFace::CommandLine);
        for (int group = 0; group < Groups; ++group) {
            std::vector<Change> changes;
            for (int i = 0; i < 2; ++i) {
                const std::string path =
                    Native(files.filePath(QString("%1-%2-%3.htm").arg(face).arg(group).arg(i)));
                changes.push_back({path, "result"});
            }
            for (int answer : Commit(*run, changes))
                failures[face] += answer != 0;
        }
        run->finish();
    };
    for (int face = 0; face < 2; ++face) {
        for (int group = 0; group < Groups; ++group) {
            for (int i = 0; i < 2; ++i) {
                const std::string path =
                    Native(files.filePath(QString("%1-%2-%3.htm").arg(face).arg(group).arg(i)));
                WriteFile(path, QByteArray::number(face * 1000 + group * 2 + i));
                originals[face].push_back(path);
            }
        }
    }
    std::thread one(work, 0), two(work, 1);
    one.join();
    two.join();
    QCOMPARE(failures[0] + failures[1], 0);
    QCOMPARE(Runs(store.path()).size(), 2);

    UndoStore undo(store.path());
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(undo.lastRun().value().files, std::size_t(2 * Groups));
        const UndoSummary summary = undo.undoLast();
        QCOMPARE(summary.restored.size(), std::size_t(2 * Groups));
    }
    for (int face = 0; face < 2; ++face) {
        for (int n = 0; n < 2 * Groups; ++n)
            QCOMPARE(ReadFile(originals[face][n]), QByteArray::number(face * 1000 + n));
    }
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
}

void UndoStoreTest::namesRoundTrip_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("space and percent") << QByteArray("a b%20c.htm");
    QTest::newRow("line end and tab") << QByteArray("a\nb\r\tc.htm");
    QTest::newRow("not UTF-8") << QByteArray("caf\xE9.htm");
    QTest::newRow("UTF-8") << QByteArray("\xC3\xA9t\xC3\xA9 \xE2\x98\x83.htm");
    QTest::newRow("starts with a dash") << QByteArray("-R k1 0.htm");
    // The undo's temporary name beside the target must still fit NAME_MAX.
    QTest::newRow("243 bytes") << QByteArray(239, 'a') + ".htm";
    QTest::newRow("255 bytes") << QByteArray(251, 'b') + ".htm";
    QTest::newRow("255 bytes of UTF-8") << QByteArray("\xC3\xA9").repeated(125) + "x.htm";
}

void UndoStoreTest::namesRoundTrip() {
    QFETCH(QByteArray, name);
    QTemporaryDir files, store;
    const std::string replaced = Native(files.path()) + "/" + name.toStdString();
    std::string created = replaced;  // as long, so that it fits as well
    created.back() = 'x';
    WriteFile(replaced, "original");
    UndoStore undo(store.path());
    CommitRun(undo, {{replaced, "result"}, {created, "result"}});

    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.restored, std::vector<std::string>{replaced});
    QCOMPARE(summary.removed, std::vector<std::string>{created});
    QCOMPARE(ReadFile(replaced), QByteArray("original"));
    QVERIFY(!Exists(created));
    ::unlink(replaced.c_str());  // QTemporaryDir cannot remove every name
}

void UndoStoreTest::relativeTarget() {
    QTemporaryDir files, store;
    const std::string target = Native(files.filePath("a.htm"));
    WriteFile(target, "original");
    UndoStore undo(store.path());
    const QString folder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(files.path()));
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::CommandLine);
    const std::vector<int> answers = Commit(*run, {{"a.htm", "result"}});
    run->finish();
    QVERIFY(QDir::setCurrent(folder));
    QCOMPARE(answers, std::vector<int>{0});

    QCOMPARE(undo.undoLast().restored, std::vector<std::string>{target});
    QCOMPARE(ReadFile(target), QByteArray("original"));
}

void UndoStoreTest::unusableStore() {
    // A file where the store's folder should be: every file of the run fails with the reason,
    // and so none is replaced.
    QTemporaryDir files;
    const std::string target = Native(files.filePath("a.htm"));
    WriteFile(target, "original");
    WriteFile(Native(files.filePath("store")), "a file");
    UndoStore undo(files.filePath("store/undo"));
    QCOMPARE(undo.prepare(), ENOTDIR);
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
    QCOMPARE(Commit(*run, {{target, "result"}, {target + "2", "result"}}),
             std::vector<int>({ENOTDIR, ENOTDIR}));
    run->finish();
    QCOMPARE(ReadFile(target), QByteArray("original"));
    const UndoSummary summary = undo.undoLast();
    QCOMPARE(summary.outcome, Outcome::StoreFailed);
    QCOMPARE(summary.storeError, ENOTDIR);
}

void UndoStoreTest::defaultFolderUnderUserData_data() {
    QTest::addColumn<bool>("relative");  // XDG_DATA_HOME: ignored when relative
    QTest::newRow("absolute") << false;
    QTest::newRow("relative") << true;
}

void UndoStoreTest::defaultFolderUnderUserData() {
    QFETCH(bool, relative);
    QTemporaryDir data;
    const QByteArray saved = qgetenv("XDG_DATA_HOME"), savedHome = qgetenv("HOME");
    qputenv("XDG_DATA_HOME", relative ? QByteArray("data") : QFile::encodeName(data.path()));
    qputenv("HOME", QFile::encodeName(data.path()));
    const QString folder = UndoStore().folder();
    qputenv("HOME", savedHome);
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    QCOMPARE(folder,
             data.path() + (relative ? "/.local/share" : "") + "/Brindlewick/Strelmark/undo");
}

void UndoStoreTest::failedRestoreKeptForNextUndo_data() {
    QTest::addColumn<int>("folderMode");  // of the replaced file's folder, during the undo
    QTest::newRow("folder not writable") << 0555;
    QTest::newRow("folder not searchable") << 0;
}

void UndoStoreTest::failedRestoreKeptForNextUndo() {
    QFETCH(int, folderMode);
    if (RunningAsRoot())
        QSKIP("root may write into a read-only folder");
    QTemporaryDir files, store;
    QVERIFY(QDir(files.path()).mkdir("locked"));
    const std::string locked = Native(files.filePath("locked/a.htm"));
    const std::string open = Native(files.filePath("b.htm"));
    WriteFile(locked, "locked original");
    WriteFile(open, "open original");
    UndoStore undo(store.path());
    CommitRun(undo, {{locked, "result"}, {open, "result"}});

    const std::string folder = Native(files.filePath("locked"));
    QCOMPARE(::chmod(folder.c_str(), mode_t(folderMode)), 0);
    UndoSummary summary = undo.undoLast();
    QCOMPARE(::chmod(folder.c_str(), 0755), 0);
    QCOMPARE(summary.outcome, Outcome::Done);
    QCOMPARE(summary.restored, std::vector<std::string>{open});
    QCOMPARE(summary.failed.size(), std::size_t(1));
    QCOMPARE(summary.failed[0].path, locked);
    QCOMPARE(summary.failed[0].error, EACCES);
    QCOMPARE(ReadFile(locked), QByteArray("result"));
    const std::optional<UndoRunInfo> left = undo.lastRun();
    QVERIFY(left);  // with the original of the file that failed
    QCOMPARE(left->files, std::size_t(1));

    summary = undo.undoLast();
    QCOMPARE(summary.restored, std::vector<std::string>{locked});
    QVERIFY(summary.failed.empty());
    QCOMPARE(ReadFile(locked), QByteArray("locked original"));
    QCOMPARE(ReadFile(open), QByteArray("open original"));
    QCOMPARE(undo.undoLast().outcome, Outcome::NothingToUndo);
}

// --record-then-die STORE FIRST SECOND: records both files as one group, renames the first
// result into place, and is killed before the second.
int RecordThenDie(const char *store, const char *first, const char *second) {
    UndoStore undo(QString::fromLocal8Bit(store));
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::CommandLine);
    std::vector<Change> changes = {{first, "result"}, {second, "result"}};
    std::vector<Replacement> group;
    for (const Change &change : changes) {
        WriteFile(change.target + ".pending", change.bytes);
        const struct stat info = StatOf(change.target + ".pending");
        group.push_back({change.target, true, std::uint64_t(info.st_dev),
                         std::uint64_t(info.st_ino), std::uint64_t(info.st_size),
                         ModifiedNs(info)});
    }
    if (run->recordGroup(group) != std::vector<int>({0, 0}))
        return 1;
    ::rename((changes[0].target + ".pending").c_str(), changes[0].target.c_str());
    ::unlink((changes[1].target + ".pending").c_str());
    ::raise(SIGKILL);
    return 1;
}

int main(int argc, char **argv) {
    if (argc == 5 && qstrcmp(argv[1], "--record-then-die") == 0)
        return RecordThenDie(argv[2], argv[3], argv[4]);
    QCoreApplication app(argc, argv);
    UndoStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_undostore.moc"
