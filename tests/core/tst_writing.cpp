// The write path: kept line ends, results that change nothing, what would happen without
// writing, what a replaced file keeps, and putting results in place in groups.
#include "engine/FileWork.h"
#include "engine/FixedContext.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FileError.h"
#include "files/HashedIndex.h"
#include "files/HeldFolders.h"
#include "files/Place.h"
#include "files/RFTSFSO.h"
#include "files/ReplacementJournal.h"
#include "support/Child.h"
#include "support/TestFiles.h"
#include "text/Operations.h"
#include "undo/ContentHash.h"
#include "undo/UndoStore.h"

#include <QtTest>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace RFTSFSO;
using Engine::Destination;
using Engine::FileResult;
using TestFiles::Entries;
using TestFiles::MakeOld;
using TestFiles::Name;
using TestFiles::Stamp;
using TestFiles::StampOf;
using TestFiles::View;

// A group that never grows old while a test fills it, however slow the machine is.
constexpr std::chrono::milliseconds NeverOld = std::chrono::hours(1);

namespace {

using State = Engine::Outcome;

// Runs one file and puts its result in place; answers what ProcessFile found.
FileResult RunAndCommit(const QString &in, const QString &out, Operations::LineContext &ctx,
                        const Engine::WorkOptions &options) {
    FileResult result = Engine::ProcessFile(in, out, ctx, options, Destination::Prepare);
    if (result.pending) {
        CommitQueue queue;
        if (!queue.add(std::move(result.pending), 0).empty() || !queue.commit().empty())
            qFatal("the result of %s could not be put in place", qPrintable(out));
    }
    return result;
}

QByteArray Lines(int count, const char *end) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "line " + QByteArray::number(i) + " of a long file" + end;
    return text;
}

// A prepared result for `path` holding `bytes`.
std::unique_ptr<PendingResult> Prepared(const QString &path, const QByteArray &bytes,
                                        Temporary temporary = Temporary::Unnamed) {
    AtomicFile file(path, temporary);
    file.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return file.prepare();
}

// A journal that remembers what it was told, what the targets held at that moment, and refuses
// the targets whose names it is given.
class RecordingJournal : public ReplacementJournal {
public:
    std::vector<int> recordGroup(const std::vector<Replacement> &group) override {
        if (fails)
            throw std::runtime_error("the journal's disk is gone");
        std::vector<int> answers;
        for (const Replacement &entry : group) {
            records.push_back(entry);
            contentWhenRecorded.append(
                TestFiles::Read(QFile::decodeName(QByteArray::fromStdString(entry.target))));
            const QString name = QFileInfo(QFile::decodeName(entry.target.c_str())).fileName();
            answers.push_back(refused.contains(name) ? EDQUOT : 0);
        }
        ++groups;
        return answers;
    }
    QString keptIn() const override { return QStringLiteral("/the/store"); }

    QStringList refused;
    bool fails = false;
    std::vector<Replacement> records;
    QList<QByteArray> contentWhenRecorded;
    int groups = 0;
};

// The POSIX ACL of a file as the kernel stores it: user::rw-, user:<uid>:r--, group::r--,
// mask::r--, other::---.
QByteArray AccessAclWithUser(uid_t uid) {
    struct Entry {
        std::uint16_t tag, perm;
        std::uint32_t id;
    };
    const std::uint32_t version = 2, undefined = 0xFFFFFFFFu;
    const Entry entries[] = {
        {0x01, 6, undefined}, {0x02, 4, uid},       {0x04, 4, undefined},
        {0x10, 4, undefined}, {0x20, 0, undefined},
    };
    QByteArray bytes(reinterpret_cast<const char *>(&version), 4);
    bytes.append(reinterpret_cast<const char *>(entries), sizeof entries);
    return bytes;
}

QByteArray Attribute(const QString &path, const char *name) {
    char value[4096];
    const ssize_t size = ::getxattr(Name(path).constData(), name, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, size);
}

const char *const UnprivilegedWrite = "--write-unprivileged";

}  // namespace

Q_DECLARE_METATYPE(Engine::Outcome)

class WritingTest : public QObject {
    Q_OBJECT

private slots:
    void lineEnds_data();
    void lineEnds();
    void unchangedIsNotWritten_data();
    void unchangedIsNotWritten();
    void dryRunAgreesWithTheWrite_data();
    void dryRunAgreesWithTheWrite();
    void keepsAttributesAndAcl();
    void inheritedAclIsNotAdded();
    void setIdBitsClearedWhenGroupCannotBeKept_data();
    void setIdBitsClearedWhenGroupCannotBeKept();
    void places_data();
    void places();
    void groupIsCommittedWhenFull();
    void groupIsCommittedWhenOld();
    void droppedQueueWritesNothing();
    void sameTargetTwiceKeepsTheLater();
    void journalRecordsBeforeAnythingIsReplaced();
    void failuresCarryTheirTags();
    void failingJournalReplacesNothing();
    void journalIsToldWhatTheWriterFound();
    void recordedHashIsTheWrittenFiles_data();
    void recordedHashIsTheWrittenFiles();
    void outputFolderListedOnce_data();
    void outputFolderListedOnce();
    void overlappedGroupIsHeldUntilInPlace_data();
    void overlappedGroupIsHeldUntilInPlace();
    void overlappedFailuresComeWithTheNextCall();
    void overlappedQueueDroppedPutsTheFlightInPlace();
    void swappedFolderGetsNoResult_data();
    void swappedFolderGetsNoResult();
    void writeBehindFailsAtTheCommit_data();
    void writeBehindFailsAtTheCommit();
    void hashedIndexKeepsEveryKey();
};

// --- Line ends ----------------------------------------------------------------------------------

void WritingTest::lineEnds_data() {
    QTest::addColumn<int>("operation");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QByteArray>("output");  // null: no line kept

    // Four lines, "a1", "b2", "", "ab3", ended in four ways; the condition is "a" and line 2
    // is the one removed by number.
    struct Input {
        const char *name;
        QByteArray bytes;
    };
    const Input inputs[] = {
        {"LF", "a1\nb2\n\nab3\n"},
        {"CR LF", "a1\r\nb2\r\n\r\nab3\r\n"},
        {"mixed", "a1\r\nb2\n\r\nab3\n"},
        {"no final line end", "a1\nb2\r\n\nab3"},
    };
    // Off: the same for every input.
    const char *const joined[6] = {
        "b2\r\n", "a1\r\nab3", "1\r\nb2\r\n\r\nb3", "a\r\na", "a1\r\n\r\nab3", "a1\r\nb2\r\nab3",
    };
    // On: per input, per operation.
    const char *const kept[4][6] = {
        {"b2\n\n", "a1\nab3\n", "1\nb2\n\nb3\n", "a\na\n", "a1\n\nab3\n", "a1\nb2\nab3\n"},
        {"b2\r\n\r\n", "a1\r\nab3\r\n", "1\r\nb2\r\n\r\nb3\r\n", "a\r\na\r\n", "a1\r\n\r\nab3\r\n",
         "a1\r\nb2\r\nab3\r\n"},
        {"b2\n\r\n", "a1\r\nab3\n", "1\r\nb2\n\r\nb3\n", "a\r\na\n", "a1\r\n\r\nab3\n",
         "a1\r\nb2\nab3\n"},
        {"b2\r\n", "a1\nab3", "1\nb2\r\n\nb3", "a\na", "a1\n\nab3", "a1\nb2\r\nab3"},
    };
    for (int i = 0; i < 4; ++i) {
        for (int op = 0; op < 6; ++op) {
            QTest::addRow("%s, operation %d, off", inputs[i].name, op)
                << op << inputs[i].bytes << false << QByteArray(joined[op]);
            QTest::addRow("%s, operation %d, kept", inputs[i].name, op)
                << op << inputs[i].bytes << true << QByteArray(kept[i][op]);
        }
    }
    // The edges: an empty file, a file of one line end, a lone CR at the end, a file of which
    // nothing is removed, a file of which everything is.
    QTest::newRow("empty file, kept") << 0 << QByteArray("") << true << QByteArray("");
    QTest::newRow("only CR LF, kept") << 0 << QByteArray("\r\n") << true << QByteArray("\r\n");
    QTest::newRow("only CR LF, off") << 0 << QByteArray("\r\n") << false << QByteArray("");
    QTest::newRow("lone CR at the end, kept")
        << 0 << QByteArray("x\ny\r") << true << QByteArray("x\ny\r");
    QTest::newRow("nothing removed, kept")
        << 5 << QByteArray("p\r\nq\nr\r\ns") << true << QByteArray("p\r\nq\nr\r\ns");
    QTest::newRow("last line removed, no final end, kept")
        << 0 << QByteArray("p\r\nq\na") << true << QByteArray("p\r\nq");
    QTest::newRow("everything removed, kept")
        << 0 << QByteArray("a\r\nA\n") << true << QByteArray();
}

void WritingTest::lineEnds() {
    QFETCH(int, operation);
    QFETCH(QByteArray, input);
    QFETCH(bool, keep);
    QFETCH(QByteArray, output);

    // Read whole and one, two and three bytes at a time: a line end split by a refill is still
    // the line's own. (Through a file, and through every front end, in support/OperationCases.)
    for (std::size_t chunk :
         {LineReader::DefaultChunk, std::size_t(1), std::size_t(2), std::size_t(3)}) {
        Engine::FixedLineContext ctx(Operations::Captions[operation], "a");
        LineReader reader = LineReader::fromBytes(View(input), chunk);
        std::string text;
        ResultWriter writer(&text, &reader, keep);
        Operations::RunLoop(reader, writer, ctx, 2);
        QCOMPARE(writer.finish(), !output.isNull());
        if (!output.isNull())
            QCOMPARE(QByteArray::fromStdString(text), output);
    }
}

// --- Unchanged results --------------------------------------------------------------------------

void WritingTest::unchangedIsNotWritten_data() {
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("condition");  // "Remove all lines containing those characters"
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("existing");  // at the output path before (not in place)
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<Engine::Outcome>("state");

    // The same result or the input kept as it was, small, are shared operation cases
    // (support/OperationCases.h); here a second name of the file shows what a rewrite does.
    const QByteArray lf("a\nb\nc\n");
    QTest::newRow("in place, a line removed")
        << true << true << "b" << lf << QByteArray() << QByteArray("a\nc\n") << State::Changed;
    QTest::newRow("folder, a longer file there")
        << false << false << "b" << lf << QByteArray("a\r\nc\r\nd") << QByteArray("a\r\nc")
        << State::Changed;
    QTest::newRow("folder, a shorter file there")
        << false << false << "b" << lf << QByteArray("a\r\n") << QByteArray("a\r\nc")
        << State::Changed;
    QTest::newRow("folder, the last byte differs")
        << false << false << "b" << lf << QByteArray("a\r\nC") << QByteArray("a\r\nc")
        << State::Changed;
    QTest::newRow("folder, an empty file there, empty result")
        << false << false << "zzz" << QByteArray() << QByteArray("") << QByteArray("")
        << State::Unchanged;

    // Larger than the reader's chunk and the writer's buffer: compared block by block, from
    // the file (the reader holds only part of it), and the equal part copied when a late
    // block differs.
    const QByteArray big = Lines(200000, "\n");
    QTest::newRow("big, in place, unchanged")
        << true << true << "zzz" << big << QByteArray() << big << State::Unchanged;
    QTest::newRow("big, folder, unchanged")
        << false << true << "zzz" << big << big << big << State::Unchanged;
    QByteArray withoutLast = big;
    withoutLast.replace("line 199999 of a long file\n", "");
    QTest::newRow("big, in place, the last line removed")
        << true << true << "line 199999 " << big << QByteArray() << withoutLast << State::Changed;
    QByteArray withoutMiddle = big;
    withoutMiddle.replace("line 150000 of a long file\n", "");
    QTest::newRow("big, folder, a line in the middle removed")
        << false << true << "line 150000 " << big << big << withoutMiddle << State::Changed;
}

void WritingTest::unchangedIsNotWritten() {
    QFETCH(bool, inPlace);
    QFETCH(bool, keep);
    QFETCH(QString, condition);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, existing);
    QFETCH(QByteArray, result);
    QFETCH(Engine::Outcome, state);

    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm");
    const QString out = inPlace ? in : dir.filePath("out.htm");
    TestFiles::Write(in, input);
    if (!inPlace)
        TestFiles::Write(out, existing);
    QVERIFY(::link(Name(out).constData(), Name(dir.filePath("other-name.htm")).constData()) == 0);
    QVERIFY(MakeOld(out));
    const Stamp before = StampOf(out);
    const QByteArray previous = TestFiles::Read(out);
    const QStringList entries = Entries(dir.path());

    Engine::FixedLineContext ctx(Operations::Captions[0], condition);
    Engine::WorkOptions options;
    options.keepLineEnds = keep;

    // Without writing: the same answer, and nothing touched.
    const FileResult dry = Engine::ProcessFile(in, out, ctx, options, Destination::DryRun);
    QCOMPARE(dry.outcome, state);
    QVERIFY(!dry.pending);
    QVERIFY(StampOf(out) == before);
    QCOMPARE(Entries(dir.path()), entries);

    const FileResult written = RunAndCommit(in, out, ctx, options);
    QCOMPARE(written.outcome, state);
    QCOMPARE(TestFiles::Read(out), result);
    QCOMPARE(Entries(dir.path()), entries);  // no temporary file
    if (state == State::Unchanged) {
        QVERIFY(StampOf(out) == before);  // inode, modification time and links
    } else {
        QVERIFY(StampOf(out).inode != before.inode);
        QCOMPARE(StampOf(out).links, nlink_t(1));  // the other name keeps the old content
        QCOMPARE(TestFiles::Read(dir.filePath("other-name.htm")), previous);
    }
}

// --- Dry runs -----------------------------------------------------------------------------------

void WritingTest::dryRunAgreesWithTheWrite_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("needsUnprivileged");
    QTest::newRow("new file") << "new" << false;
    QTest::newRow("missing folder") << "missing folder" << false;
    QTest::newRow("folder at the path") << "folder" << false;
    QTest::newRow("named pipe at the path") << "pipe" << false;
    QTest::newRow("file as folder") << "file as folder" << false;
    QTest::newRow("no line kept") << "empty" << false;
    QTest::newRow("read-only file, different") << "read-only different" << true;
    QTest::newRow("read-only file, the same") << "read-only same" << true;
    QTest::newRow("read-only folder, new file") << "read-only folder" << true;
}

void WritingTest::dryRunAgreesWithTheWrite() {
    QFETCH(QString, setup);
    QFETCH(bool, needsUnprivileged);
    if (needsUnprivileged && ::geteuid() == 0)
        QSKIP("running as root: permission bits deny nothing (run the suite as another user)");

    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm");
    TestFiles::Write(in, "a\r\nb");
    QString out = dir.filePath("out/out.htm");
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QString condition = "zzz";
    if (setup == "missing folder")
        out = dir.filePath("missing/out.htm");
    if (setup == "folder")
        QVERIFY(QDir(dir.path()).mkpath("out/out.htm"));
    if (setup == "pipe")
        QVERIFY(TestFiles::MakePipe(out));
    if (setup == "file as folder")
        out = in + "/out.htm";
    // With "Remove all lines not containing", nothing stays.
    if (setup.startsWith("read-only")) {
        if (setup != "read-only folder")
            TestFiles::Write(out, setup.endsWith("same") ? "a\r\nb" : "other");
        QVERIFY(QFile::setPermissions(
            setup == "read-only folder" ? dir.filePath("out") : out,
            QFile::ReadOwner | (setup == "read-only folder" ? QFile::ExeOwner : QFile::ReadOwner)));
    }

    Engine::FixedLineContext ctx(Operations::Captions[setup == "empty" ? 1 : 0], condition);
    const FileResult dry = Engine::ProcessFile(in, out, ctx, {}, Destination::DryRun);
    const QStringList entries = Entries(dir.filePath("out"));
    const FileResult real = RunAndCommit(in, out, ctx, {});
    QFile::setPermissions(dir.filePath("out"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(dry.outcome, real.outcome);
    QCOMPARE(bool(dry.error), bool(real.error));
    if (real.error) {
        QCOMPARE(dry.error->kind(), real.error->kind());
        QCOMPARE(dry.error->error(), real.error->error());
        QCOMPARE(dry.error->special(), real.error->special());
    }
    if (setup == "new")
        QCOMPARE(real.outcome, State::Changed);
    if (setup == "read-only same")
        QCOMPARE(real.outcome, State::Unchanged);  // nothing to write, so nothing refused
    if (setup == "read-only different")
        QCOMPARE(real.error->error(), EACCES);
    if (real.outcome != State::Changed)
        QCOMPARE(Entries(dir.filePath("out")), entries);
}

// --- What a replaced file keeps -----------------------------------------------------------------

void WritingTest::keepsAttributesAndAcl() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "a\nx\n");
    QVERIFY(::chmod(Name(path).constData(), 0640) == 0);
    const QByteArray acl = AccessAclWithUser(65534);
    if (::setxattr(Name(path).constData(), "user.origin", "kept", 4, 0) != 0)
        QSKIP(qPrintable("the file system refuses user attributes here: " +
                         QString::fromLocal8Bit(std::strerror(errno))));
    if (::setxattr(Name(path).constData(), "system.posix_acl_access", acl.constData(),
                   static_cast<std::size_t>(acl.size()), 0) != 0)
        QSKIP(qPrintable("the file system refuses ACLs here: " +
                         QString::fromLocal8Bit(std::strerror(errno))));
    const QByteArray aclBefore = Attribute(path, "system.posix_acl_access");
    const mode_t modeBefore = TestFiles::StatusOf(path).permissions;

    Engine::FixedLineContext ctx(Operations::Captions[0], "x");
    QCOMPARE(RunAndCommit(path, path, ctx, {}).outcome, State::Changed);
    QCOMPARE(TestFiles::Read(path), QByteArray("a"));
    QCOMPARE(Attribute(path, "user.origin"), QByteArray("kept"));
    QCOMPARE(Attribute(path, "system.posix_acl_access"), aclBefore);
    QCOMPARE(TestFiles::StatusOf(path).permissions, modeBefore);
    QCOMPARE(Entries(dir.path()), QStringList{"a.htm"});
}

void WritingTest::inheritedAclIsNotAdded() {
    // A file made before its folder got a default ACL has none of its own; its replacement,
    // made in that folder, must not gain one.
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "a\nx\n");
    QVERIFY(::chmod(Name(path).constData(), 0604) == 0);
    const QByteArray folderAcl = AccessAclWithUser(65534);
    if (::setxattr(Name(dir.path()).constData(), "system.posix_acl_default", folderAcl.constData(),
                   static_cast<std::size_t>(folderAcl.size()), 0) != 0)
        QSKIP(qPrintable("the file system refuses ACLs here: " +
                         QString::fromLocal8Bit(std::strerror(errno))));

    Engine::FixedLineContext ctx(Operations::Captions[0], "x");
    QCOMPARE(RunAndCommit(path, path, ctx, {}).outcome, State::Changed);
    QCOMPARE(Attribute(path, "system.posix_acl_access"), QByteArray());
    QCOMPARE(TestFiles::StatusOf(path).permissions, mode_t(0604));
}

void WritingTest::setIdBitsClearedWhenGroupCannotBeKept_data() {
    QTest::addColumn<gid_t>("group");   // the file's group; the writer is 65534:65534
    QTest::addColumn<int>("expected");  // the result's permission bits
    QTest::newRow("group kept") << gid_t(65534) << 06775;
    QTest::newRow("group of another user") << gid_t(0) << 0775;
}

void WritingTest::setIdBitsClearedWhenGroupCannotBeKept() {
    QFETCH(gid_t, group);
    QFETCH(int, expected);
    if (::geteuid() != 0)
        QSKIP("needs root to give the file a group its writer does not belong to");

    // The file belongs to an unprivileged user (65534) and, in one row, to a group that user
    // is not in; that user replaces it.
    QTemporaryDir dir;
    QVERIFY(::chmod(Name(dir.path()).constData(), 0777) == 0);
    const QString path = dir.filePath("tool.htm");
    TestFiles::Write(path, "old");
    QVERIFY(::chown(Name(path).constData(), 65534, group) == 0);
    QVERIFY(::chmod(Name(path).constData(), 06775) == 0);

    QCOMPARE(Child::Run(Child::Self({UnprivilegedWrite, path})).exitCode, 0);

    const TestFiles::Status status = TestFiles::StatusOf(path);
    QCOMPARE(TestFiles::Read(path), QByteArray("new"));
    QCOMPARE(status.owner, uid_t(65534));
    QCOMPARE(status.group, gid_t(65534));
    QCOMPARE(int(status.permissions), expected);
}

// --- The commit queue ---------------------------------------------------------------------------

// "Is this the same file?" as the run asks it of an earlier result's output.
void WritingTest::places_data() {
    QTest::addColumn<QString>("pending");  // under the test's folder
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("held");

    // real/a.htm exists; real/new.htm does not; link -> real; alias.htm -> real/a.htm;
    // real/hard.htm is a second name of real/a.htm; other/ is another folder.
    QTest::newRow("the same path") << "real/a.htm"
                                   << "real/a.htm" << true;
    QTest::newRow("a dot in the path") << "real/a.htm"
                                       << "real/./a.htm" << true;
    QTest::newRow("a doubled separator") << "real/a.htm"
                                         << "real//a.htm" << true;
    QTest::newRow("through a linked folder") << "real/a.htm"
                                             << "link/a.htm" << true;
    QTest::newRow("a link to the file") << "real/a.htm"
                                        << "alias.htm" << true;
    // A result replaces a name: the other name keeps the old content.
    QTest::newRow("another name of the file") << "real/a.htm"
                                              << "real/hard.htm" << false;
    QTest::newRow("another file") << "real/a.htm"
                                  << "real/b.htm" << false;
    QTest::newRow("the same name elsewhere") << "real/a.htm"
                                             << "other/a.htm" << false;
    QTest::newRow("a new file") << "real/new.htm"
                                << "real/new.htm" << true;
    QTest::newRow("a new file, through a linked folder") << "real/new.htm"
                                                         << "link/new.htm" << true;
    QTest::newRow("a new file, up and down") << "real/new.htm"
                                             << "other/../real/new.htm" << true;
    QTest::newRow("a new file's name elsewhere") << "real/new.htm"
                                                 << "other/new.htm" << false;
    QTest::newRow("a folder") << "real/a.htm"
                              << "real" << false;
}

void WritingTest::places() {
    QFETCH(QString, pending);
    QFETCH(QString, query);
    QFETCH(bool, held);

    QTemporaryDir dir;
    const QString root = dir.path() + '/';
    TestFiles::Write(root + "real/a.htm", "a");
    TestFiles::Write(root + "real/b.htm", "b");
    TestFiles::Write(root + "other/a.htm", "other");
    QVERIFY(QFile::link(root + "real", root + "link"));
    QVERIFY(QFile::link(root + "real/a.htm", root + "alias.htm"));
    QVERIFY(::link(Name(root + "real/a.htm").constData(),
                   Name(root + "real/hard.htm").constData()) == 0);

    RFTSFSO::Places places;
    const std::unique_ptr<PendingResult> result = Prepared(root + pending, "new");
    QCOMPARE(places.of(result->target()) == places.of(root + query), held);
}

void WritingTest::groupIsCommittedWhenFull() {
    QTemporaryDir dir;
    CommitQueue queue(nullptr, CommitQueue::Mode::InCall, NeverOld);
    for (std::size_t i = 0; i + 1 < CommitQueue::MaxFiles; ++i) {
        QVERIFY(queue.add(Prepared(dir.filePath(QString("f%1.htm").arg(i)), "x"), i).empty());
    }
    QVERIFY(Entries(dir.path()).isEmpty());  // all waiting
    QVERIFY(queue.add(Prepared(dir.filePath("last.htm"), "x"), 99).empty());
    QVERIFY(queue.empty());
    QCOMPARE(Entries(dir.path()).size(), qsizetype(CommitQueue::MaxFiles));

    // A result as large as a group goes in place with the next result added.
    QVERIFY(
        queue.add(Prepared(dir.filePath("big.htm"), QByteArray(int(CommitQueue::MaxBytes), 'b')), 0)
            .empty());
    QVERIFY(queue.empty());
    QCOMPARE(QFileInfo(dir.filePath("big.htm")).size(), qint64(CommitQueue::MaxBytes));
}

void WritingTest::groupIsCommittedWhenOld() {
    QTemporaryDir dir;
    CommitQueue queue;
    QVERIFY(queue.add(Prepared(dir.filePath("first.htm"), "1"), 0).empty());
    std::this_thread::sleep_for(CommitQueue::MaxDelay + std::chrono::milliseconds(20));
    QVERIFY(!queue.empty());  // time alone commits nothing
    QVERIFY(queue.add(Prepared(dir.filePath("second.htm"), "2"), 1).empty());
    QVERIFY(queue.empty());
    QCOMPARE(Entries(dir.path()), (QStringList{"first.htm", "second.htm"}));
}

void WritingTest::droppedQueueWritesNothing() {
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        QTemporaryDir dir;
        TestFiles::Write(dir.filePath("old.htm"), "old");
        {
            CommitQueue queue;
            QVERIFY(queue.add(Prepared(dir.filePath("old.htm"), "new", temporary), 0).empty());
            QVERIFY(queue.add(Prepared(dir.filePath("made.htm"), "made", temporary), 1).empty());
        }
        QCOMPARE(Entries(dir.path()), QStringList{"old.htm"});
        QCOMPARE(TestFiles::Read(dir.filePath("old.htm")), QByteArray("old"));
    }
}

void WritingTest::sameTargetTwiceKeepsTheLater() {
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.htm");
        CommitQueue queue;
        QVERIFY(queue.add(Prepared(path, "first", temporary), 0).empty());
        // The second result for the path puts the first in place, and is then the one
        // waiting.
        QVERIFY(queue.add(Prepared(path, "second", temporary), 1).empty());
        QCOMPARE(TestFiles::Read(path), QByteArray("first"));
        QCOMPARE(queue.size(), std::size_t(1));
        QVERIFY(queue.commit().empty());
        QCOMPARE(TestFiles::Read(path), QByteArray("second"));
        QCOMPARE(Entries(dir.path()), QStringList{"a.htm"});
    }
}

void WritingTest::journalRecordsBeforeAnythingIsReplaced() {
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.htm"), refused = dir.filePath("refused.htm"),
                  made = dir.filePath("made.htm");
    TestFiles::Write(kept, "old kept");
    TestFiles::Write(refused, "old refused");
    RecordingJournal journal;
    journal.refused = QStringList{"refused.htm"};
    CommitQueue queue(&journal);
    QVERIFY(queue.add(Prepared(kept, "new kept"), 10).empty());
    QVERIFY(queue.add(Prepared(refused, "new refused"), 11).empty());
    QVERIFY(queue.add(Prepared(made, "made"), 12).empty());
    QCOMPARE(journal.groups, 0);

    const std::vector<CommitFailure> failures = queue.commit();
    QCOMPARE(journal.groups, 1);
    QCOMPARE(journal.records.size(), std::size_t(3));
    // Recorded in the order added, while every target still held what it held before.
    QCOMPARE(QFile::decodeName(journal.records[0].target.c_str()), kept);
    QCOMPARE(QFile::decodeName(journal.records[2].target.c_str()), made);
    QCOMPARE(
        journal.contentWhenRecorded,
        (QList<QByteArray>{"old kept", "old refused", "<unreadable: No such file or directory>"}));
    QVERIFY(journal.records[0].existed);
    QVERIFY(!journal.records[2].existed);
    // What is there after the commit is what the records said would be.
    for (std::size_t i : {std::size_t(0), std::size_t(2)}) {
        struct stat info;
        QCOMPARE(::stat(journal.records[i].target.c_str(), &info), 0);
        QCOMPARE(journal.records[i].newDevice, std::uint64_t(info.st_dev));
        QCOMPARE(journal.records[i].newInode, std::uint64_t(info.st_ino));
        QCOMPARE(journal.records[i].newSize, std::uint64_t(info.st_size));
        QCOMPARE(journal.records[i].newModifiedNs,
                 std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
    }
    // The file the journal could not keep is not replaced, and says why.
    QCOMPARE(failures.size(), std::size_t(1));
    QCOMPARE(failures[0].tag, std::size_t(11));
    QCOMPARE(failures[0].error.kind(), FileError::Kind::Write);
    QCOMPARE(failures[0].error.path(), refused);
    QCOMPARE(failures[0].error.error(), EDQUOT);
    // Its disk was the journal's, which the report names, not the file's.
    QVERIFY2(
        DescribeFileError(failures[0].error).contains(" (the undo store, /the/store): " + refused),
        failures[0].error.what());
    QCOMPARE(TestFiles::Read(refused), QByteArray("old refused"));
    QCOMPARE(TestFiles::Read(kept), QByteArray("new kept"));
    QCOMPARE(TestFiles::Read(made), QByteArray("made"));
    QCOMPARE(Entries(dir.path()), (QStringList{"kept.htm", "made.htm", "refused.htm"}));
}

void WritingTest::failuresCarryTheirTags() {
    // A folder removed between the preparing and the commit fails its own results only.
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("gone"));
        CommitQueue queue;
        QVERIFY(queue.add(Prepared(dir.filePath("one.htm"), "1", temporary), 1).empty());
        QVERIFY(queue.add(Prepared(dir.filePath("gone/two.htm"), "2", temporary), 2).empty());
        QVERIFY(queue.add(Prepared(dir.filePath("three.htm"), "3", temporary), 3).empty());
        if (temporary == Temporary::Named)
            QVERIFY(QFile::remove(dir.filePath("gone/") + Entries(dir.filePath("gone")).value(0)));
        QVERIFY(QDir(dir.path()).rmdir("gone"));

        const std::vector<CommitFailure> failures = queue.commit();
        QCOMPARE(failures.size(), std::size_t(1));
        QCOMPARE(failures[0].tag, std::size_t(2));
        QCOMPARE(failures[0].error.path(), dir.filePath("gone/two.htm"));
        QCOMPARE(failures[0].error.error(), ENOENT);
        QCOMPARE(Entries(dir.path()), (QStringList{"one.htm", "three.htm"}));
    }
}

void WritingTest::failingJournalReplacesNothing() {
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.htm"), made = dir.filePath("made.htm");
    TestFiles::Write(kept, "old");
    RecordingJournal journal;
    journal.fails = true;
    CommitQueue queue(&journal);
    QVERIFY(queue.add(Prepared(kept, "new"), 1).empty());
    QVERIFY(queue.add(Prepared(made, "made"), 2).empty());
    const std::vector<CommitFailure> failures = queue.commit();
    QCOMPARE(failures.size(), std::size_t(2));
    QCOMPARE(failures[0].tag, std::size_t(1));
    QCOMPARE(failures[1].tag, std::size_t(2));
    QCOMPARE(failures[1].error.error(), EIO);
    QCOMPARE(TestFiles::Read(kept), QByteArray("old"));
    QCOMPARE(Entries(dir.path()), QStringList{"kept.htm"});
}

// The journal hears what the writer found at each target, so that it need not look again, and
// a later result for the same target is recorded against the earlier one.
void WritingTest::journalIsToldWhatTheWriterFound() {
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.htm"), twice = dir.filePath("twice.htm");
    TestFiles::Write(kept, "old kept, longer");
    QVERIFY(MakeOld(kept));
    struct stat before;
    QCOMPARE(::stat(Name(kept).constData(), &before), 0);
    RecordingJournal journal;
    CommitQueue queue(&journal);
    QVERIFY(queue.add(Prepared(kept, "new kept"), 0).empty());
    QVERIFY(queue.add(Prepared(twice, "first"), 1).empty());
    QVERIFY(queue.add(Prepared(twice, "second"), 2).empty());  // commits the first two
    struct stat first;
    QCOMPARE(::stat(Name(twice).constData(), &first), 0);
    QVERIFY(queue.commit().empty());

    QCOMPARE(journal.records.size(), std::size_t(3));
    const Replacement &old = journal.records[0];
    QVERIFY(old.existed && old.oldKnown);
    QCOMPARE(old.oldDevice, std::uint64_t(before.st_dev));
    QCOMPARE(old.oldInode, std::uint64_t(before.st_ino));
    QCOMPARE(old.oldSize, std::uint64_t(before.st_size));
    QCOMPARE(old.oldModifiedNs, std::int64_t(1000000000) * 1000000000);
    QCOMPARE(old.oldSpace, std::uint64_t(before.st_blocks) * 512);
    QVERIFY(!journal.records[1].existed);
    QVERIFY(!journal.records[1].oldKnown);
    const Replacement &later = journal.records[2];
    QVERIFY(later.existed && later.oldKnown);
    QCOMPARE(later.oldInode, std::uint64_t(first.st_ino));
    QCOMPARE(later.oldSize, std::uint64_t(5));
    QCOMPARE(journal.contentWhenRecorded[2], QByteArray("first"));
    QCOMPARE(TestFiles::Read(twice), QByteArray("second"));
}

// The hash the writer takes as it writes is the one undo takes of the file later: of the bytes
// on the disk, encoded, with the mark, however they reached the file.
void WritingTest::recordedHashIsTheWrittenFiles_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("there");  // the output holds the input already: its start is copied
    QTest::addColumn<int>("behind");  // Engine::WorkOptions::WriteBehind

    // Over a MiB: written in several pieces.
    const QByteArray plain = Lines(60000, "\n") + "drop this\n" + Lines(3, "\r\n");
    const QString text = QStringLiteral("keep\r\ndrop\r\nkeep \u00e9\u4e2d\r\nlast");
    const QByteArray utf16 =
        "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    using Behind = Engine::WorkOptions::WriteBehind;
    const struct {
        const char *name;
        Behind behind;
    } ways[] = {{"written behind", Behind::Always},
                {"written by the worker", Behind::Never},
                {"behind when large", Behind::LargeFiles}};
    for (const auto &way : ways) {
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", name, way.name);
        };
        row("plain") << plain << false << int(way.behind);
        row("plain, its start copied from the file there") << plain << true << int(way.behind);
        row("UTF-16 with its mark") << utf16 << false << int(way.behind);
        row("UTF-16, its start copied from the file there") << utf16 << true << int(way.behind);
    }
}

void WritingTest::recordedHashIsTheWrittenFiles() {
    QFETCH(QByteArray, input);
    QFETCH(bool, there);
    QFETCH(int, behind);

    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    TestFiles::Write(in, input);
    if (there)
        TestFiles::Write(out, input);
    Engine::FixedLineContext ctx(Operations::Captions[0], "drop");
    Engine::WorkOptions options;
    options.keepLineEnds = true;
    options.recorded = true;
    options.writeBehind = Engine::WorkOptions::WriteBehind(behind);
    FileResult result = Engine::ProcessFile(in, out, ctx, options, Destination::Prepare);
    QVERIFY(result.pending);
    RecordingJournal journal;
    CommitQueue queue(&journal);
    QVERIFY(queue.add(std::move(result.pending), 0).empty());
    QVERIFY(queue.commit().empty());

    QCOMPARE(journal.records.size(), std::size_t(1));
    const QByteArray written = TestFiles::Read(out);
    QVERIFY(written.size() < input.size() && written.startsWith(input.left(2)));
    if (input.startsWith("line"))
        QCOMPARE(written, Lines(60000, "\n") + Lines(3, "\r\n"));
    const int fd = ::open(Name(out).constData(), O_RDONLY | O_CLOEXEC);
    std::uint64_t onDisk = 0;
    QCOMPARE(Undo::HashFile(fd, onDisk), 0);
    ::close(fd);
    QVERIFY(journal.records[0].hashKnown);
    QCOMPARE(journal.records[0].newHash, onDisk);
}

void WritingTest::outputFolderListedOnce_data() {
    QTest::addColumn<QString>("there");  // what is at out/a.htm
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("keepsStamp");
    QTest::newRow("nothing") << "nothing" << int(State::Changed) << false;
    QTest::newRow("the same content") << "same" << int(State::Unchanged) << true;
    QTest::newRow("other content") << "other" << int(State::Changed) << false;
    QTest::newRow("a link to a file") << "link" << int(State::Changed) << false;
    QTest::newRow("a file made after the listing") << "appears" << int(State::Changed) << false;
    QTest::newRow("the run's own earlier result") << "earlier" << int(State::Unchanged) << true;
}

// A run that lists its output folder once finds what the look at each path would find: the
// same results, permissions and links kept; only a file that another program makes after the
// listing is replaced as if it had come a moment after the look.
void WritingTest::outputFolderListedOnce() {
    QFETCH(QString, there);
    QFETCH(int, state);
    QFETCH(bool, keepsStamp);

    QTemporaryDir dir;
    const QString in = dir.filePath("in/a.htm"), out = dir.filePath("out/a.htm");
    const QString linked = dir.filePath("linked.htm");
    TestFiles::Write(in, "kept\r\nmeta http\r\n");
    TestFiles::Write(dir.filePath("in/first.htm"), "first");
    QVERIFY(QDir(dir.path()).mkdir("out"));
    if (there == "same" || there == "other") {
        TestFiles::Write(out, there == "same" ? "kept" : "other content");
        QCOMPARE(::chmod(Name(out).constData(), 0604), 0);
    } else if (there == "link") {
        TestFiles::Write(linked, "other content");
        QVERIFY(QFile::link(linked, out));
    }
    if (there == "same" || there == "other")
        QVERIFY(MakeOld(out));
    const Stamp before = StampOf(out);

    Engine::FixedLineContext ctx(Operations::Captions[0], "meta http");
    Engine::WorkOptions options;
    RFTSFSO::FolderNames names;
    options.outputFolder = &names;
    // The first result lists the folder.
    QCOMPARE(RunAndCommit(dir.filePath("in/first.htm"), dir.filePath("out/first.htm"), ctx, options)
                 .outcome,
             State::Changed);
    if (there == "appears")
        TestFiles::Write(out, "made by another program");
    if (there == "earlier")
        QCOMPARE(RunAndCommit(in, out, ctx, options).outcome, State::Changed);
    const Stamp earlier = StampOf(out);

    const FileResult result = RunAndCommit(in, out, ctx, options);
    QCOMPARE(int(result.outcome), state);
    QCOMPARE(TestFiles::Read(out), QByteArray("kept"));
    if (keepsStamp)
        QVERIFY(StampOf(out) == (there == "earlier" ? earlier : before));
    if (there == "other")
        QCOMPARE(int(TestFiles::StatusOf(out).permissions), 0604);
    if (there == "link") {
        QVERIFY(QFileInfo(out).isSymLink());
        QCOMPARE(TestFiles::Read(linked), QByteArray("kept"));
    }
    QCOMPARE(Entries(dir.filePath("out")), (QStringList{"a.htm", "first.htm"}));
}

void WritingTest::overlappedGroupIsHeldUntilInPlace_data() {
    QTest::addColumn<bool>("withJournal");
    QTest::newRow("no journal") << false;
    QTest::newRow("a journal") << true;
}

// A full group goes to the queue's thread; until its results are in place it is held, and
// commit() waits for it.
void WritingTest::overlappedGroupIsHeldUntilInPlace() {
    QFETCH(bool, withJournal);
    QTemporaryDir dir;
    RecordingJournal journal;
    CommitQueue queue(withJournal ? &journal : nullptr, CommitQueue::Mode::Overlapped, NeverOld);
    for (std::size_t i = 0; i < CommitQueue::MaxFiles; ++i) {
        const QString path = dir.filePath(QString("f%1.htm").arg(i));
        TestFiles::Write(path, "old");
        QVERIFY(queue.add(Prepared(path, "new"), i).empty());
    }
    QCOMPARE(queue.size(), std::size_t(0));  // handed over
    // In flight or in place already: not settled until commit() has collected it.
    QVERIFY(!queue.empty());
    QCOMPARE(queue.settled(), std::size_t(0));
    // The next result goes to a target of the group in flight: the group is put in place
    // first.
    QVERIFY(queue.add(Prepared(dir.filePath("f3.htm"), "newer"), 100).empty());
    QCOMPARE(TestFiles::Read(dir.filePath("f0.htm")), QByteArray("new"));
    QCOMPARE(queue.size(), std::size_t(1));
    QCOMPARE(queue.settled(), std::size_t(CommitQueue::MaxFiles));
    QVERIFY(queue.commit().empty());
    QVERIFY(queue.empty());
    QCOMPARE(queue.settled(), std::size_t(CommitQueue::MaxFiles + 1));
    QCOMPARE(TestFiles::Read(dir.filePath("f3.htm")), QByteArray("newer"));
    QCOMPARE(Entries(dir.path()).size(), qsizetype(CommitQueue::MaxFiles));
    if (withJournal)
        QCOMPARE(journal.records.size(), std::size_t(CommitQueue::MaxFiles + 1));
}

// A failure in a group committed by the queue's thread is answered, with its own tag, by the
// next call that can answer it.
void WritingTest::overlappedFailuresComeWithTheNextCall() {
    QTemporaryDir dir;
    RecordingJournal journal;
    journal.refused = QStringList{"f5.htm"};
    CommitQueue queue(&journal, CommitQueue::Mode::Overlapped);
    std::vector<CommitFailure> failures;
    for (std::size_t i = 0; i < CommitQueue::MaxFiles; ++i) {
        for (CommitFailure &failure :
             queue.add(Prepared(dir.filePath(QString("f%1.htm").arg(i)), "new"), i))
            failures.push_back(std::move(failure));
    }
    for (CommitFailure &failure : queue.commit())
        failures.push_back(std::move(failure));
    QCOMPARE(failures.size(), std::size_t(1));
    QCOMPARE(failures[0].tag, std::size_t(5));
    QCOMPARE(failures[0].error.path(), dir.filePath("f5.htm"));
    QCOMPARE(failures[0].error.error(), EDQUOT);
    QCOMPARE(Entries(dir.path()).size(), qsizetype(CommitQueue::MaxFiles - 1));
    QVERIFY(!QFileInfo::exists(dir.filePath("f5.htm")));
}

// Dropped, the queue puts the group in flight in place (it was full and on its way) and drops
// what is pending.
void WritingTest::overlappedQueueDroppedPutsTheFlightInPlace() {
    QTemporaryDir dir;
    {
        CommitQueue queue(nullptr, CommitQueue::Mode::Overlapped);
        for (std::size_t i = 0; i < CommitQueue::MaxFiles + 2; ++i)
            queue.add(Prepared(dir.filePath(QString("f%1.htm").arg(i)), "new"), i);
    }
    QCOMPARE(Entries(dir.path()).size(), qsizetype(CommitQueue::MaxFiles));
    for (std::size_t i = 0; i < CommitQueue::MaxFiles + 2; ++i) {
        const QString path = dir.filePath(QString("f%1.htm").arg(i));
        QCOMPARE(QFileInfo::exists(path), i < CommitQueue::MaxFiles);
    }
}

void WritingTest::swappedFolderGetsNoResult_data() {
    QTest::addColumn<bool>("shared");
    QTest::addColumn<bool>("recorded");  // the undo store keeps what the run replaces
    QTest::newRow("each file on its own") << false << false;
    QTest::newRow("the run's folders") << true << false;
    QTest::newRow("the run's folders, recorded") << true << true;
}

// The folder of the files read is swapped for a link to another folder before their results
// are put in place: the results go to the folder that was read, the other one is left alone,
// and the undo store keeps the files that were replaced, not the other folder's.
void WritingTest::swappedFolderGetsNoResult() {
    QFETCH(bool, shared);
    QFETCH(bool, recorded);
    QTemporaryDir dir, store;
    QVERIFY(QDir(dir.path()).mkpath("work") && QDir(dir.path()).mkpath("other"));
    const QStringList names = {"a.htm", "b.htm"};
    for (const QString &name : names) {
        TestFiles::Write(dir.filePath("work/" + name), "keep\r\ndrop\r\n");
        TestFiles::Write(dir.filePath("other/" + name), "other's\r\ndrop\r\n");
    }
    UndoStore undo(store.path());
    const std::unique_ptr<UndoRecorder> run =
        recorded ? undo.beginRun(UndoFace::CommandLine) : nullptr;
    Engine::FixedLineContext ctx(Operations::Captions[0], "drop");
    RFTSFSO::HeldFolders folders;
    Engine::WorkOptions options;
    options.folders = shared ? &folders : nullptr;
    CommitQueue queue(run.get(), CommitQueue::Mode::InCall, NeverOld);
    for (const QString &name : names) {
        const QString path = dir.filePath("work/" + name);
        FileResult result = Engine::ProcessFile(path, path, ctx, options, Destination::Prepare);
        QCOMPARE(result.outcome, State::Changed);
        QVERIFY(queue.add(std::move(result.pending), 0).empty());
    }
    QVERIFY(QDir(dir.path()).rename("work", "moved"));
    QVERIFY(QFile::link(dir.filePath("other"), dir.filePath("work")));
    QVERIFY(queue.commit().empty());
    for (const QString &name : names) {
        QCOMPARE(TestFiles::Read(dir.filePath("other/" + name)), QByteArray("other's\r\ndrop\r\n"));
        QCOMPARE(TestFiles::Read(dir.filePath("moved/" + name)), QByteArray("keep"));
    }
    QCOMPARE(Entries(dir.filePath("other")), names);
    if (!run)
        return;
    const QString kept = run->folder();
    run->finish();
    QStringList keptFiles = QDir(kept).entryList(QDir::Files);
    keptFiles.removeAll(QStringLiteral("manifest"));
    QCOMPARE(keptFiles.size(), names.size());
    for (const QString &file : keptFiles)
        QCOMPARE(TestFiles::Read(kept + u'/' + file), QByteArray("keep\r\ndrop\r\n"));
}

int main(int argc, char **argv) {
    // Replaces the file as user and group 65534, with no other group.
    if (argc == 3 && qstrcmp(argv[1], UnprivilegedWrite) == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            return 2;
        try {
            WriteTextFile("new", QString::fromLocal8Bit(argv[2]));
        } catch (const FileError &) {
            return 3;
        }
        return 0;
    }
    QCoreApplication app(argc, argv);
    WritingTest test;
    return QTest::qExec(&test, argc, argv);
}

// --- Writing behind -----------------------------------------------------------------------------

void WritingTest::writeBehindFailsAtTheCommit_data() {
    QTest::addColumn<bool>("there");    // a file is at the output already
    QTest::addColumn<bool>("dropped");  // the result is dropped rather than committed
    QTest::newRow("replacing a file") << true << false;
    QTest::newRow("a new file") << false << false;
    QTest::newRow("dropped before the commit") << true << true;
}

// The writing thread's write fails (the file size limit): the result is not put in place, the
// commit tells the file's failure, and nothing of it is left.
void WritingTest::writeBehindFailsAtTheCommit() {
    QFETCH(bool, there);
    QFETCH(bool, dropped);
    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    TestFiles::Write(in, Lines(20000, "\n") + "drop\n");  // about 500 kB
    if (there)
        TestFiles::Write(out, "old\n");
    const QStringList entries = Entries(dir.path());

    struct rlimit before;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
    struct rlimit limit = before;
    limit.rlim_cur = 100000;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
    Engine::FixedLineContext ctx(Operations::Captions[0], "drop");
    Engine::WorkOptions options;
    options.keepLineEnds = true;
    FileResult result = Engine::ProcessFile(in, out, ctx, options, Destination::Prepare);
    std::vector<CommitFailure> failures;
    if (result.pending && !dropped) {
        CommitQueue queue;
        failures = queue.add(std::move(result.pending), 7);
        const std::vector<CommitFailure> more = queue.commit();
        failures.insert(failures.end(), more.begin(), more.end());
    }
    result.pending.reset();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    QCOMPARE(result.outcome, State::Changed);
    if (!dropped) {
        QCOMPARE(failures.size(), std::size_t(1));
        QCOMPARE(failures.front().tag, std::size_t(7));
        QCOMPARE(failures.front().error.error(), EFBIG);
        QCOMPARE(failures.front().error.path(), out);
    }
    QCOMPARE(Entries(dir.path()), entries);
    if (there)
        QCOMPARE(TestFiles::Read(out), QByteArray("old\n"));
}

// What a run remembers of the places it wrote: every key through the growths of the table, the
// latest value for a key put twice, and nothing for keys never put (0 and 1 are one key).
void WritingTest::hashedIndexKeepsEveryKey() {
    RFTSFSO::HashedIndex index;
    constexpr std::uint64_t Count = 5000;
    for (std::uint64_t n = 0; n < Count; ++n)
        index.put(RFTSFSO::HashedIndex::HashOf(std::to_string(n)), n);
    index.put(RFTSFSO::HashedIndex::HashOf("7"), 70);
    index.put(0, 1);
    QCOMPARE(index.size(), std::size_t(Count + 1));
    for (std::uint64_t n = 0; n < Count; ++n) {
        const std::uint64_t *found = index.find(RFTSFSO::HashedIndex::HashOf(std::to_string(n)));
        QVERIFY(found != nullptr);
        QCOMPARE(*found, n == 7 ? 70 : n);
    }
    QCOMPARE(*index.find(1), std::uint64_t(1));
    for (std::uint64_t n = Count; n < 2 * Count; ++n)
        QVERIFY(index.find(RFTSFSO::HashedIndex::HashOf(std::to_string(n))) == nullptr);
    QVERIFY(RFTSFSO::HashedIndex().find(5) == nullptr);
}

#include "tst_writing.moc"
