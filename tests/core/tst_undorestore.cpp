// What comes back when a run is undone, and how: what a kept copy must keep of the original and
// what it may leave behind (said by the undo that puts it back), and an undo killed at any
// moment, which leaves each file as the run left it or as it was before, and no temporary name.
#include "UndoCommits.h"
#include "support/Unprivileged.h"
#include "undo/UndoStore.h"

#include <QRandomGenerator>
#include <QtTest>

#include <csignal>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <sys/xattr.h>

using namespace UndoCommits;

namespace {

QByteArray Original(int i) {
    return "original " + QByteArray::number(i);
}

QByteArray Result(int i) {
    return "result " + QByteArray::number(i);
}

// Waits for every process below this one: the undo's renaming helper outlives a killed undo,
// and this process is its reaper then.
void WaitForDescendants() {
    for (;;) {
        if (::waitpid(-1, nullptr, __WALL) < 0 && errno != EINTR)
            return;
    }
}

// Starts the undo of the store's last run in a child process and kills it a random number of
// looks at `watched` after that file holds the original again (or at once when it is empty),
// unless the undo ends first; `group`: with its helper (the child leads a process group of its
// own); `unprivileged`: the child gives up root first.
void KillUndoWhenRestored(const QString &store, const std::string &watched, off_t originalSize,
                          bool group, bool unprivileged) {
    const pid_t child = ::fork();
    if (child == 0) {
        if ((group && ::setpgid(0, 0) != 0) || (unprivileged && !Unprivileged::DropRoot()))
            ::_exit(Unprivileged::CannotDrop);
        UndoStore(store).undoLast();
        ::_exit(0);
    }
    QVERIFY(child > 0);
    if (group)
        ::setpgid(child, child);  // whichever of the two comes first
    int status = 0, looks = int(QRandomGenerator::global()->bounded(256));
    while (!watched.empty() && ::waitpid(child, &status, WNOHANG) == 0) {
        if (StatOf(watched).st_size == originalSize && --looks < 0)
            break;
    }
    ::kill(group ? -child : child, SIGKILL);
    WaitForDescendants();
}

// Files in a new folder, each replaced by its result in one run recorded in `undo`.
std::vector<Change> RunOver(const QString &folder, const UndoStore &undo, int files) {
    QDir().mkpath(folder);
    std::vector<Change> changes;
    for (int i = 0; i < files; ++i) {
        changes.push_back({Native(folder + QString::asprintf("/f%04d.htm", i)), Result(i)});
        WriteFile(changes.back().target, Original(i));
    }
    CommitRun(undo, changes);
    return changes;
}

// Whether each file holds its original or its result, and nothing else is in the folder (no
// temporary name, or, with `strayNames`, none but the program's own); counts the originals.
bool EachOldOrNew(const QString &folder, const std::vector<Change> &changes, int &restored,
                  QString &problem, bool strayNames = false) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    if (strayNames)
        names.removeIf([](const QString &name) {
            return name.contains(QRegularExpression("^\\.f\\d+\\.htm\\.strelmark-\\d+-\\w+$"));
        });
    problem = names.filter(QRegularExpression("^\\.")).join(u' ');
    restored = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const QByteArray bytes = ReadFile(changes[i].target);
        if (bytes != Original(int(i)) && bytes != Result(int(i)))
            problem += QString::fromUtf8(changes[i].target + ": " + bytes.toStdString());
        restored += bytes == Original(int(i));
    }
    return names.size() == int(changes.size()) && problem.isEmpty();
}

enum class Keeping { PrivilegedAttribute, Owner };

}  // namespace

Q_DECLARE_METATYPE(Keeping)

class UndoRestoreTest : public QObject {
    Q_OBJECT

private slots:
    void keptCopyMustKeepUserAttributes_data() {
        QTest::addColumn<bool>("originalsInMemory");  // else the store is
        QTest::addColumn<int>("valueSize");
        QTest::newRow("store without user attributes") << false << 100;
        QTest::newRow("store with less room for them") << true << 8000;
    }
    void keptCopyMustKeepUserAttributes() {
        // A copy that cannot take a user.* attribute does not keep the file: it is not
        // replaced, and its neighbour of the group is.
        QFETCH(bool, originalsInMemory);
        QFETCH(int, valueSize);
        const QString other = OtherFileSystem();
        if (other.isEmpty())
            QSKIP("/dev/shm is not another file system here");
        QTemporaryDir disk, memory(other + "/strelmark-undo-XXXXXX");
        const QString files = (originalsInMemory ? memory : disk).path();
        const QString store = (originalsInMemory ? disk : memory).filePath("store");
        const std::string with = Native(files + "/with.htm"), plain = Native(files + "/plain.htm");
        WriteFile(with, "with original");
        WriteFile(plain, "plain original");
        const QByteArray value(valueSize, 'v');
        if (::setxattr(with.c_str(), "user.strelmark", value.data(), value.size(), 0) != 0)
            QSKIP("the originals' file system takes no such attribute");
        const std::string probe =
            Native(files == disk.path() ? memory.filePath("probe") : disk.filePath("probe"));
        WriteFile(probe, "");
        if (::setxattr(probe.c_str(), "user.strelmark", value.data(), value.size(), 0) == 0)
            QSKIP("the store's file system takes it as well");

        UndoStore undo(store);
        const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
        const std::vector<int> answers = Commit(*run, {{with, "result"}, {plain, "result"}});
        run->finish();
        QVERIFY(answers.at(0) != 0);
        QCOMPARE(answers.at(1), 0);
        QCOMPARE(ReadFile(with), QByteArray("with original"));
        const UndoSummary summary = undo.undoLast();
        QCOMPARE(summary.restored, std::vector<std::string>{plain});
        QVERIFY(summary.failed.empty() && summary.notKept.empty());
        QCOMPARE(ReadFile(plain), QByteArray("plain original"));
    }

    void keptCopyLeftBehindIsReported_data() {
        QTest::addColumn<Keeping>("keeping");
        QTest::addColumn<QString>("without");
        QTest::newRow("an attribute only root may set")
            << Keeping::PrivilegedAttribute << "security.strelmark";
        QTest::newRow("another user's file") << Keeping::Owner << "owner, group";
    }
    void keptCopyLeftBehindIsReported() {
        // Kept by copy and put back by a user who may not give the copy all the original had:
        // the undo names what did not come back.
        QFETCH(Keeping, keeping);
        QFETCH(QString, without);
        if (!Unprivileged::RunningAsRoot())
            QSKIP("only root makes a file whose copy by another user must leave something");
        QTemporaryDir files;
        const std::string target = Native(files.filePath("a.htm"));
        if (keeping == Keeping::Owner)
            Unprivileged::GiveTree(files.path());  // the folder: the file made next stays root's
        WriteFile(target, "original", 0666);
        QCOMPARE(::chmod(target.c_str(), 0666), 0);
        if (keeping == Keeping::PrivilegedAttribute) {
            if (::setxattr(target.c_str(), "security.strelmark", "x", 1, 0) != 0)
                QSKIP("no security.* attribute on this file system");
            Unprivileged::GiveTree(files.path());
        }
        const Unprivileged::Outcome child = Unprivileged::RunChild(
            {"--keep-and-undo", files.filePath("store"), files.filePath("a.htm")});
        if (child.exitCode == Unprivileged::CannotDrop)
            QSKIP("cannot give up root here");
        QCOMPARE(child.exitCode, 0);
        const QByteArray line = "Restored without " + without.toUtf8() + ": " + target.c_str();
        QVERIFY2(child.out.split('\n').contains(line), child.out.constData());
        QCOMPARE(ReadFile(target), QByteArray("original"));
    }

    // Killed with its helper (the whole process group), an undo may leave a temporary name
    // beside a file; the next undo puts back the rest and removes it.
    void killedUndoLeavesEachFileOldOrNew_data() {
        QTest::addColumn<bool>("storeElsewhere");
        QTest::addColumn<bool>("group");
        QTest::addColumn<bool>("unprivileged");  // (the same as the others unless run as root)
        QTest::newRow("kept by hard link") << false << false << false;
        QTest::newRow("kept on another file system") << true << false << false;
        QTest::newRow("its process group") << false << true << false;
        QTest::newRow("its process group, another file system") << true << true << false;
        QTest::newRow("its process group, as an unprivileged user") << false << true << true;
    }
    void killedUndoLeavesEachFileOldOrNew() {
        QFETCH(bool, storeElsewhere);
        QFETCH(bool, group);
        QFETCH(bool, unprivileged);
        constexpr int Files = 300, Kills = 12;
        const QString other = OtherFileSystem();
        if (storeElsewhere && other.isEmpty())
            QSKIP("/dev/shm is not another file system here");
        unprivileged = unprivileged && Unprivileged::RunningAsRoot();
        QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
        // The files in memory where the system offers it, the store beside them or on the disk.
        QTemporaryDir disk, memory(other + "/strelmark-undo-kill-XXXXXX");
        const QString root = other.isEmpty() ? disk.path() : memory.path();
        if (unprivileged) {
            Unprivileged::GiveTree(disk.path());
            Unprivileged::GiveTree(root);
        }
        int mixed = 0;
        for (int kill = 0; kill < Kills; ++kill) {
            const QString folder = root + QStringLiteral("/kill%1").arg(kill);
            const QString store =
                (storeElsewhere ? disk.path() : root) + QStringLiteral("/store%1").arg(kill);
            UndoStore undo(store);
            const std::vector<Change> changes = RunOver(folder, undo, Files);
            if (unprivileged) {
                Unprivileged::GiveTree(folder);
                Unprivileged::GiveTree(store);
            }
            // Undo goes newest first: it is killed once so many files are back, or at once.
            const int back = int(QRandomGenerator::global()->bounded(Files + 1));
            KillUndoWhenRestored(store, back == 0 ? std::string() : changes[Files - back].target,
                                 Original(Files - back).size(), group, unprivileged);
            int restored = 0;
            QString problem;
            QVERIFY2(EachOldOrNew(folder, changes, restored, problem, group), qPrintable(problem));
            mixed += restored > 0 && restored < Files;
            // A second undo finishes the job, and leaves no temporary name.
            const UndoSummary again = undo.undoLast();
            QVERIFY(again.failed.empty() && again.leftAlone.empty());
            QVERIFY2(EachOldOrNew(folder, changes, restored, problem) && restored == Files,
                     qPrintable(problem));
            QCOMPARE(undo.undoLast().outcome, UndoSummary::Outcome::NothingToUndo);
        }
        QVERIFY(mixed > 0);  // the kills fell inside undos, not only before or after them
    }
};

// --keep-and-undo STORE TARGET, as a user without privileges: the target kept by copy, replaced,
// and put back; the undo's text on standard output.
int KeepAndUndo(const char *store, const char *target) {
    if (!Unprivileged::DropRoot())
        return Unprivileged::CannotDrop;
    UndoStore undo(QString::fromLocal8Bit(store), UndoLimits(), UndoKeep::Copy);
    const std::unique_ptr<UndoRecorder> run = undo.beginRun(UndoFace::Window);
    if (Commit(*run, {{target, "result"}}) != std::vector<int>{0})
        return 1;
    run->finish();
    std::printf("%s\n", qPrintable(DescribeUndo(undo.undoLast()).join(u'\n')));
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 4 && qstrcmp(argv[1], "--keep-and-undo") == 0)
        return KeepAndUndo(argv[2], argv[3]);
    QCoreApplication app(argc, argv);
    UndoRestoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_undorestore.moc"
