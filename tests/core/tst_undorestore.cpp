// What comes back when a run is undone: what a kept copy must keep of the original, and what it
// may leave behind, said by the undo that puts it back.
#include "UndoCommits.h"
#include "support/Unprivileged.h"
#include "undo/UndoStore.h"

#include <QtTest>

#include <sys/xattr.h>

using namespace UndoCommits;

namespace {

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
        QVERIFY2(child.output.split('\n').contains(line), child.output.constData());
        QCOMPARE(ReadFile(target), QByteArray("original"));
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
