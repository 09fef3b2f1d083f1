// Reading text files as lines and writing results atomically.
#include "engine/FileWork.h"
#include "engine/FixedContext.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/FileError.h"
#include "files/PathText.h"
#include "files/RFTSFSO.h"
#include "files/ReadAhead.h"
#include "support/Child.h"
#include "support/TestFiles.h"
#include "support/Unprivileged.h"
#include "text/Operations.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace RFTSFSO;
using TestFiles::Entries;
using TestFiles::Name;
using TestFiles::View;

namespace {

QList<QByteArray> LinesOf(LineReader reader) {
    QList<QByteArray> lines;
    std::string_view line;
    while (reader.next(line))
        lines.append(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
    return lines;
}

// Rows for both kinds of temporary file: unnamed ones and, as where those cannot be made, named.
void TemporaryKinds() {
    QTest::addColumn<Temporary>("temporary");
    QTest::newRow("unnamed temporary") << Temporary::Unnamed;
    QTest::newRow("named temporary") << Temporary::Named;
}

const char *NameOf(Temporary temporary) {
    return temporary == Temporary::Named ? "named temporary" : "unnamed temporary";
}

enum class Failure { TargetIsFolder, MissingFolder, FileAsFolder, FileSizeLimit };

}  // namespace

Q_DECLARE_METATYPE(Failure)
Q_DECLARE_METATYPE(Temporary)
Q_DECLARE_METATYPE(FileError::Special)

class TextFilesTest : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void chunkAndBlockEdges_data();
    void chunkAndBlockEdges();
    void longLines_data();
    void longLines();
    void readErrors_data();
    void readErrors();
    void describeFileError_data();
    void describeFileError();
    void namesOfAnyBytes_data();
    void namesOfAnyBytes();
    void everyByteWrittenBackUnchanged();
    void emptyTextEmptiesFile();
    void failedWrite_data();
    void failedWrite();
    void keepsPermissions_data();
    void keepsPermissions();
    void readAheadStartsAfterAReadThatWaited();
    void keepsPermissionsFileAfterFile_data();
    void keepsPermissionsFileAfterFile();
    void newFileFollowsUmask_data();
    void newFileFollowsUmask();
    void deniedByPermissions_data();
    void deniedByPermissions();
    void keepsOwner_data() { TemporaryKinds(); }
    void keepsOwner();
    void writesThroughSymbolicLink_data() { TemporaryKinds(); }
    void writesThroughSymbolicLink();
    void inPlace_data() { TemporaryKinds(); }
    void inPlace();
    void errorsTellReadFromWrite();
    void killedWriterLeavesNoTemporary();
    void namesUpToTheSystemsLimit_data();
    void namesUpToTheSystemsLimit();
};

void TextFilesTest::read_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");

    using L = QList<QByteArray>;
    QTest::newRow("empty file") << QByteArray() << L{""};
    QTest::newRow("only CR LF") << QByteArray("\r\n") << L{""};
    QTest::newRow("only LF") << QByteArray("\n") << L{""};
    QTest::newRow("a b with final CR LF") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
    QTest::newRow("a b without") << QByteArray("a\r\nb") << L{"a", "b"};
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << L{"a", "b"};
    QTest::newRow("two empty lines") << QByteArray("\r\n\n") << L{"", ""};
    QTest::newRow("lone CR is ordinary") << QByteArray("a\rb\r") << L{"a\rb\r"};
    QTest::newRow("only CR") << QByteArray("\r") << L{"\r"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a\r", "b"};
    QTest::newRow("UTF-8 byte-order mark is the file's") << QByteArray(
                                                                "\xEF\xBB\xBF"
                                                                "a\r\nb")
                                                         << L{"a", "b"};
    QTest::newRow("Latin-1 and UTF-8 bytes")
        << QByteArray("caf\xE9\r\ncaf\xC3\xA9") << L{"caf\xE9", "caf\xC3\xA9"};
}

void TextFilesTest::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, bytes);
    QList<QByteArray> fromFile;
    for (const std::string &line : ReadTextFileLines(path))
        fromFile.append(QByteArray::fromStdString(line));
    QCOMPARE(fromFile, lines);

    // A CR LF torn apart by a chunk edge is still one line end.
    for (std::size_t chunk : {std::size_t(1), std::size_t(2), std::size_t(3)})
        QCOMPARE(LinesOf(LineReader::fromBytes(View(bytes), chunk)), lines);
}

void TextFilesTest::chunkAndBlockEdges_data() {
    QTest::addColumn<int>("chunk");
    for (int chunk : {1, 7, 63, 64, 65, 100, 4096, int(LineReader::DefaultChunk)})
        QTest::addRow("chunk %d", chunk) << chunk;
}

void TextFilesTest::chunkAndBlockEdges() {
    QFETCH(int, chunk);

    // Lines of every length up to a few blocks of 64 bytes, ended by CR LF, LF, or a CR
    // inside: every line end lands on every place of a block and of a chunk.
    QByteArray bytes;
    QList<QByteArray> lines;
    std::mt19937 random(99);
    for (int i = 0; i < 3000; ++i) {
        QByteArray line(int(random() % 200), 'x');
        for (char &c : line)
            c = "ab\r\xE9 "[random() % 5];
        const bool crlf = random() % 2;
        bytes += line + (crlf ? "\r\n" : "\n");
        if (!crlf && line.endsWith('\r'))
            line.chop(1);  // that CR and the LF are a CR LF
        lines.append(line);
    }
    QCOMPARE(LinesOf(LineReader::fromBytes(View(bytes), std::size_t(chunk))), lines);
}

void TextFilesTest::longLines_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("a few chunks") << 3 * int(LineReader::DefaultChunk) + 17;
    QTest::newRow("past the large-buffer size") << 20 * int(LineReader::DefaultChunk) + 5;
}

void TextFilesTest::longLines() {
    QFETCH(int, length);

    // Lines far longer than a chunk, from a file and from memory in small chunks.
    QByteArray longLine(length, 'x');
    for (int i = 0; i < length; i += 4099)
        longLine[i] = char('a' + i % 26);
    const QByteArray bytes = "a\r\n" + longLine + "\r\n" + longLine + "y\nz";
    const QList<QByteArray> lines{"a", longLine, longLine + "y", "z"};

    QTemporaryDir dir;
    const QString path = dir.filePath("long.htm");
    TestFiles::Write(path, bytes);
    QCOMPARE(LinesOf(LineReader(path)), lines);
    QCOMPARE(LinesOf(LineReader::fromBytes(View(bytes), 65536)), lines);
}

void TextFilesTest::readErrors_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error");
    QTest::addColumn<FileError::Special>("special");

    const auto none = FileError::Special::None;
    QTest::newRow("missing file") << "missing" << ENOENT << none;
    QTest::newRow("missing folder") << "missing/a.htm" << ENOENT << none;
    QTest::newRow("file as folder") << "file/a.htm" << ENOTDIR << none;
    QTest::newRow("empty path") << "" << ENOENT << none;
    QTest::newRow("folder") << "folder" << EISDIR << none;
    QTest::newRow("named pipe") << "fifo" << 0 << FileError::Special::NamedPipe;
    QTest::newRow("device") << "/dev/null" << 0 << FileError::Special::Device;
}

void TextFilesTest::readErrors() {
    QFETCH(QString, kind);
    QFETCH(int, error);
    QFETCH(FileError::Special, special);

    QTemporaryDir dir;
    TestFiles::Write(dir.filePath("file"), "x");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QVERIFY(TestFiles::MakePipe(dir.filePath("fifo")));

    const QString path = kind.isEmpty() || kind.startsWith('/') ? kind : dir.filePath(kind);
    try {
        ReadTextFileLines(path);
        QFAIL("read without an error");
    } catch (const FileError &failure) {
        QCOMPARE(failure.kind(), FileError::Kind::Read);
        QCOMPARE(failure.error(), error);
        QCOMPARE(failure.special(), special);
        QCOMPARE(failure.path(), path);
    }
}

// The report's text: the system's wording for the error number, or ours for a special file,
// then the path, so that the user learns which file it was.
void TextFilesTest::describeFileError_data() {
    QTest::addColumn<int>("error");
    QTest::addColumn<FileError::Special>("special");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");  // empty: the system's wording for the error

    const auto none = FileError::Special::None;
    QTest::newRow("permission") << EACCES << none << "/home/ann/site/a.htm"
                                << "";
    QTest::newRow("no path") << ENOENT << none << ""
                             << "";
    QTest::newRow("named pipe") << 0 << FileError::Special::NamedPipe << "/p"
                                << "Is a named pipe, not a regular file";
    QTest::newRow("socket") << 0 << FileError::Special::Socket << "/s"
                            << "Is a socket, not a regular file";
    QTest::newRow("device") << 0 << FileError::Special::Device << "/d"
                            << "Is a device, not a regular file";
    QTest::newRow("other") << 0 << FileError::Special::Other << "/o"
                           << "Not a regular file";
}

void TextFilesTest::describeFileError() {
    QFETCH(int, error);
    QFETCH(FileError::Special, special);
    QFETCH(QString, path);
    QFETCH(QString, reason);

    if (reason.isEmpty())
        reason = QString::fromLocal8Bit(std::strerror(error));
    const QString expected = path.isEmpty() ? reason : reason + ": " + path;
    const FileError failure = special == FileError::Special::None
                                  ? FileError(FileError::Kind::Write, path, error)
                                  : FileError(FileError::Kind::Write, path, special);
    QCOMPARE(DescribeFileError(failure), expected);
    QCOMPARE(QString::fromUtf8(failure.what()), expected);
}

// A name's text and its bytes back (posix/NameText.h): valid UTF-8 as Qt reads it, every other
// byte as U+DC80 + (byte - 0x80), and the bytes back exactly from the text.
void TextFilesTest::namesOfAnyBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const auto escaped = [](const QByteArray &bytes) {
        QString text;
        for (const char byte : bytes)
            text += QChar(0xDC00 + static_cast<unsigned char>(byte));
        return text;
    };
    const QByteArray valid("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80.html");
    QTest::newRow("valid, as Qt reads it") << valid << QString::fromUtf8(valid);
    // U+10080: a pair whose second half looks like an escaped byte.
    QTest::newRow("a pair's half like an escape")
        << QByteArray("\xf0\x90\x82\x80") << QString::fromUtf8("\xf0\x90\x82\x80");
    QTest::newRow("cut short at the end")
        << QByteArray("mix\xc3\xa9\xe2\x82") << QStringLiteral("mix\u00e9") + escaped("\xe2\x82");
    QTest::newRow("overlong, surrogate, beyond U+10FFFF")
        << QByteArray("\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80")
        << escaped("\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80");
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const QByteArray alone(1, char(byte));
        QTest::addRow("0x%02x alone", byte) << alone << escaped(alone);
        QTest::addRow("0x%02x after a sequence", byte)
            << "\xd0\xaf" + alone << QStringLiteral("\u042f") + escaped(alone);
    }
}

void TextFilesTest::namesOfAnyBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(PathText(View(bytes)), text);
    QCOMPARE(QByteArray::fromStdString(PathBytes(text)), bytes);
}

void TextFilesTest::everyByteWrittenBackUnchanged() {
    // Every byte value, in lines ended both ways, comes back from a read and a write of the
    // lines joined with CR LF exactly as it was (but NUL, which makes a file binary).
    QByteArray bytes;
    for (int c = 1; c < 256; ++c) {
        if (c != '\n' && c != '\r')
            bytes += char(c);
        if (c % 32 == 31)
            bytes += c % 64 == 31 ? "\r\n" : "\r\r\n";
    }
    bytes.chop(2);  // the lines read back are joined without a final line end

    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    TestFiles::Write(in, bytes);
    std::string joined;
    for (const std::string &line : ReadTextFileLines(in))
        joined += (joined.empty() ? "" : "\r\n") + line;
    WriteTextFile(joined, out);
    QCOMPARE(TestFiles::Read(out), bytes);
}

void TextFilesTest::emptyTextEmptiesFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "old content");
    WriteTextFile("", path);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(TestFiles::Read(path), QByteArray());
}

void TextFilesTest::failedWrite_data() {
    QTest::addColumn<Temporary>("temporary");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("error");

    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        const char *kind = NameOf(temporary);
        QTest::addRow("%s, target is a folder", kind)
            << temporary << Failure::TargetIsFolder << EISDIR;
        QTest::addRow("%s, missing folder", kind) << temporary << Failure::MissingFolder << ENOENT;
        QTest::addRow("%s, file as folder", kind) << temporary << Failure::FileAsFolder << ENOTDIR;
        // A write that fails after the first megabytes, also when running as root.
        QTest::addRow("%s, file size limit", kind) << temporary << Failure::FileSizeLimit << EFBIG;
    }
}

void TextFilesTest::failedWrite() {
    QFETCH(Temporary, temporary);
    QFETCH(Failure, failure);
    QFETCH(int, error);

    QTemporaryDir dir;
    const QString folder = dir.filePath("out");
    QVERIFY(QDir(dir.path()).mkdir("out"));
    TestFiles::Write(folder + "/a.htm", "old content");
    QVERIFY(QDir(folder).mkdir("sub.htm"));
    TestFiles::Write(folder + "/sub.htm/inside", "inside");

    QString target = folder + "/a.htm";
    QByteArray text = "new content";
    switch (failure) {
        case Failure::TargetIsFolder:
            target = folder + "/sub.htm";
            break;
        case Failure::MissingFolder:
            target = folder + "/missing/a.htm";
            break;
        case Failure::FileAsFolder:
            target = folder + "/a.htm/b.htm";
            break;
        case Failure::FileSizeLimit:
            text = QByteArray(3 * int(ResultWriter::BufferSize), 'n');
            break;
    }
    const QStringList before = Entries(folder);

    rlimit oldLimit;
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (failure == Failure::FileSizeLimit) {
        rlimit limit = oldLimit;
        limit.rlim_cur = ResultWriter::BufferSize + 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }

    std::optional<FileError> thrown;
    try {
        WriteTextFile(View(text), target, temporary);
    } catch (const FileError &failure) {
        thrown = failure;
    }
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldSignal);

    QVERIFY(thrown);
    QCOMPARE(thrown->kind(), FileError::Kind::Write);
    QCOMPARE(thrown->error(), error);
    QCOMPARE(thrown->path(), target);
    QCOMPARE(Entries(folder), before);  // nothing new, no temporary file
    QCOMPARE(TestFiles::Read(folder + "/a.htm"), QByteArray("old content"));
    QCOMPARE(TestFiles::Read(folder + "/sub.htm/inside"), QByteArray("inside"));
}

void TextFilesTest::keepsPermissions_data() {
    QTest::addColumn<Temporary>("temporary");
    QTest::addColumn<int>("mode");
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        for (int mode : {0600, 0640, 0755, 02755})
            QTest::addRow("%s, %o", NameOf(temporary), mode) << temporary << mode;
    }
}

void TextFilesTest::keepsPermissions() {
    QFETCH(Temporary, temporary);
    QFETCH(int, mode);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "old");
    QCOMPARE(::chmod(Name(path).constData(), mode_t(mode)), 0);
    WriteTextFile("new", path, temporary);
    QCOMPARE(int(TestFiles::StatusOf(path).permissions), mode);
    QCOMPARE(TestFiles::Read(path), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
}

// Files in the page cache are read without any announcement; once a read has had to wait for
// the disk, the next files are announced, each once, and reading them gives the same lines.
void TextFilesTest::readAheadStartsAfterAReadThatWaited() {
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        files.append(dir.filePath(QString("f%1.htm").arg(i)));
        TestFiles::Write(files.last(), "line " + QByteArray::number(i) + "\nmore\n");
    }
    auto upcoming = [&](int from) {
        return
            [&files, from](int k) { return from + k < files.size() ? files[from + k] : QString(); };
    };
    ReadAhead ahead;
    for (int i = 0; i < 3; ++i) {
        ahead.before(upcoming(i));
        QCOMPARE(ReadTextFileLines(files[i]).front(), "line " + std::to_string(i));
    }
    QCOMPARE(ahead.announced(), std::uint64_t(0));

    // Out of the page cache: written back, then dropped.
    const QByteArray cold = Name(files[3]);
    const int fd = ::open(cold.constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::fdatasync(fd), 0);
    QCOMPARE(::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED), 0);
    ::close(fd);
    const std::uint64_t waited = ReadsThatWaited();
    ahead.before(upcoming(3));
    QCOMPARE(ReadTextFileLines(files[3]).front(), std::string("line 3"));
    if (ReadsThatWaited() == waited)
        QSKIP("this file system keeps the file in memory (tmpfs): no read waits");
    QCOMPARE(ahead.announced(), std::uint64_t(0));
    for (int i = 4; i < files.size(); ++i) {
        ahead.before(upcoming(i));
        QCOMPARE(ReadTextFileLines(files[i]).front(), "line " + std::to_string(i));
    }
    // Files 5 to 11, each once.
    QCOMPARE(ahead.announced(), std::uint64_t(files.size() - 5));
}

void TextFilesTest::keepsPermissionsFileAfterFile_data() {
    QTest::addColumn<int>("umask");
    QTest::addColumn<QList<int>>("modes");
    // One folder, replaced one after the other: what the first tells of the folder must not
    // decide the bits of the next.
    const QList<int> modes{0644, 0644, 0600, 0644, 04755, 0755, 0664, 0664};
    QTest::newRow("umask 022") << 022 << modes;
    QTest::newRow("umask 077") << 077 << modes;
    QTest::newRow("umask 000") << 0 << modes;
}

void TextFilesTest::keepsPermissionsFileAfterFile() {
    QFETCH(int, umask);
    QFETCH(QList<int>, modes);

    QTemporaryDir dir;
    for (int i = 0; i < modes.size(); ++i) {
        const QString path = dir.filePath(QString("f%1.htm").arg(i));
        TestFiles::Write(path, "old");
        QCOMPARE(::chmod(Name(path).constData(), mode_t(modes[i])), 0);
    }
    const mode_t previous = ::umask(mode_t(umask));
    for (int i = 0; i < modes.size(); ++i)
        WriteTextFile("new", dir.filePath(QString("f%1.htm").arg(i)));
    ::umask(previous);
    for (int i = 0; i < modes.size(); ++i) {
        const QString path = dir.filePath(QString("f%1.htm").arg(i));
        QCOMPARE(int(TestFiles::StatusOf(path).permissions), modes[i]);
        QCOMPARE(TestFiles::Read(path), QByteArray("new"));
    }
}

void TextFilesTest::newFileFollowsUmask_data() {
    QTest::addColumn<Temporary>("temporary");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("mode");
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        QTest::addRow("%s, umask 022", NameOf(temporary)) << temporary << 022 << 0644;
        QTest::addRow("%s, umask 002", NameOf(temporary)) << temporary << 002 << 0664;
        QTest::addRow("%s, umask 077", NameOf(temporary)) << temporary << 077 << 0600;
    }
}

// A file that did not exist gets the permissions any new file gets: read and write for all,
// less the umask.
void TextFilesTest::newFileFollowsUmask() {
    QFETCH(Temporary, temporary);
    QFETCH(int, umask);
    QFETCH(int, mode);

    QTemporaryDir dir;
    const QString path = dir.filePath("new.htm");
    const mode_t previous = ::umask(mode_t(umask));
    WriteTextFile("new", path, temporary);
    ::umask(previous);
    QCOMPARE(int(TestFiles::StatusOf(path).permissions), mode);
    QCOMPARE(Entries(dir.path()), QStringList({"new.htm"}));
}

void TextFilesTest::deniedByPermissions_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<Temporary>("temporary");
    QTest::addColumn<QString>("outcome");
    const QString denied = QStringLiteral("%1, ") + QString::number(EACCES);
    QTest::newRow("input nobody may read")
        << "unreadable input" << Temporary::Unnamed << denied.arg("read");
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        // The folder would let a rename replace the file: it is refused all the same.
        QTest::addRow("%s, read-only file", NameOf(temporary))
            << "read-only file" << temporary << denied.arg("write");
        QTest::addRow("%s, read-only folder", NameOf(temporary))
            << "read-only folder" << temporary << denied.arg("write");
        // The writable file beside it, replaced first, tells nothing about this one.
        QTest::addRow("%s, read-only file after a writable one", NameOf(temporary))
            << "read-only file after a writable one" << temporary << denied.arg("write");
    }
}

// What permission bits deny: nothing is read or written, and nothing is left behind. Root may
// read and write anything, so the reading or writing is done by a child that is no superuser,
// as the owner of the folder and the file.
void TextFilesTest::deniedByPermissions() {
    QFETCH(QString, what);
    QFETCH(Temporary, temporary);
    QFETCH(QString, outcome);

    QTemporaryDir dir;
    const QString folder = dir.filePath("out"), file = folder + "/a.htm";
    TestFiles::Write(file, "old");
    TestFiles::Write(folder + "/0-writable.htm", "old");
    QString path = file;
    if (what == "unreadable input") {
        QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
    } else if (what.startsWith("read-only file")) {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    } else {
        path = folder + "/new.htm";
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QStringList before = Entries(folder);
    Unprivileged::GiveTree(dir.path());

    const Unprivileged::Outcome child =
        Unprivileged::RunChild({what == "unreadable input"                      ? "--read"
                                : what == "read-only file after a writable one" ? "--write-second"
                                                                                : "--write",
                                path, temporary == Temporary::Named ? "named" : "unnamed"});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (child.exitCode == Unprivileged::CannotDrop)
        QSKIP("this system has no unprivileged user to become");
    QVERIFY2(child.exitCode == 0, child.err.constData());
    QCOMPARE(QString::fromUtf8(child.out).trimmed(), outcome);
    QCOMPARE(Entries(folder), before);  // nothing new, no temporary file
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(TestFiles::Read(file), QByteArray("old"));
}

void TextFilesTest::keepsOwner() {
    if (!Unprivileged::RunningAsRoot())
        QSKIP("only root may give a file to another user");
    QFETCH(Temporary, temporary);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "old");
    QCOMPARE(::chown(Name(path).constData(), 65534, 65534), 0);
    WriteTextFile("new", path, temporary);
    const TestFiles::Status status = TestFiles::StatusOf(path);
    QCOMPARE(status.owner, uid_t(65534));
    QCOMPARE(status.group, gid_t(65534));
}

void TextFilesTest::writesThroughSymbolicLink() {
    QFETCH(Temporary, temporary);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    const QString target = dir.filePath("real/a.htm"), link = dir.filePath("link.htm");
    TestFiles::Write(target, "old");
    QVERIFY(QFile::link(target, link));

    WriteTextFile("new", link, temporary);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(TestFiles::Read(target), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList({"link.htm", "real"}));
    QCOMPARE(Entries(dir.filePath("real")), QStringList({"a.htm"}));

    // A link to a file not yet there is refused: nothing is made where it points.
    const QString dangling = dir.filePath("dangling.htm");
    QVERIFY(QFile::link("real/b.htm", dangling));
    try {
        WriteTextFile("made", dangling, temporary);
        QFAIL("written through a link to nothing");
    } catch (const FileError &failure) {
        QCOMPARE(failure.special(), FileError::Special::DanglingLink);
        QCOMPARE(failure.path(), dangling);
    }
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(Entries(dir.filePath("real")), QStringList({"a.htm"}));
}

void TextFilesTest::inPlace() {
    // The result replaces the file it is read from, which is read to its end first.
    QFETCH(Temporary, temporary);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += i % 7 == 0 ? "<meta http-equiv=x>\n" : "line " + QByteArray::number(i) + "\n";
    TestFiles::Write(path, bytes);

    // What ProcessFile does, with the kind of temporary file of the row.
    Engine::FixedLineContext ctx(Operations::Captions[0], "META HTTP");
    {
        LineReader input(path);
        ResultWriter::Options options;
        options.temporary = temporary;
        ResultWriter output(path, &input, options);
        Operations::RunLoop(input, output, ctx, 0);
        QVERIFY(output.finish());
        QCOMPARE(output.outcome(), ResultWriter::Outcome::Changed);
        CommitQueue queue;
        QVERIFY(queue.add(output.takePending(), 0).empty());
        QVERIFY(queue.commit().empty());
    }
    QByteArray expected;
    for (int i = 0; i < 100000; ++i) {
        if (i % 7 != 0)
            expected +=
                (expected.isEmpty() ? "" : "\r\n") + QByteArray("line ") + QByteArray::number(i);
    }
    QCOMPARE(TestFiles::Read(path), expected);
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
}

void TextFilesTest::errorsTellReadFromWrite() {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    TestFiles::Write(in, "a\r\nb");
    Engine::FixedLineContext ctx(Operations::Captions[0], "a");

    using State = Engine::Outcome;
    for (auto destination : {Engine::Destination::Prepare, Engine::Destination::DryRun}) {
        const QString gone = dir.filePath("gone.htm");
        Engine::FileResult result = Engine::ProcessFile(gone, out, ctx, {}, destination);
        QCOMPARE(result.outcome, State::ReadFailed);
        QVERIFY(result.error);
        QCOMPARE(result.error->kind(), FileError::Kind::Read);
        QCOMPARE(result.error->path(), gone);
        QVERIFY(!result.pending);
        QVERIFY(!QFileInfo::exists(out));

        const QString nowhere = dir.filePath("missing/out.htm");
        result = Engine::ProcessFile(in, nowhere, ctx, {}, destination);
        QCOMPARE(result.outcome, State::WriteFailed);
        QVERIFY(result.error);
        QCOMPARE(result.error->kind(), FileError::Kind::Write);
        QCOMPARE(result.error->path(), nowhere);
        QCOMPARE(result.error->error(), ENOENT);
        QCOMPARE(result.linesRead, 2u);
        QVERIFY(!result.pending);
        QCOMPARE(Entries(dir.path()), QStringList({"in.htm"}));
    }
}

void TextFilesTest::killedWriterLeavesNoTemporary() {
    // A writer killed in the middle of its result (more than a buffer already on disk) leaves
    // the previous file whole and nothing else.
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    TestFiles::Write(path, "old content");

    QCOMPARE(Child::Run(Child::Self({"--write-then-die", path})).signal, SIGKILL);
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
    QCOMPARE(TestFiles::Read(path), QByteArray("old content"));
}

void TextFilesTest::namesUpToTheSystemsLimit_data() {
    QTest::addColumn<Temporary>("temporary");
    QTest::addColumn<QString>("name");
    for (Temporary temporary : {Temporary::Unnamed, Temporary::Named}) {
        for (int length : {243, 250, 255})
            QTest::addRow("%s, %d bytes", NameOf(temporary), length)
                << temporary << QString(length - 4, u'n') + ".htm";
        // 255 bytes, of characters of two bytes: the temporary name is not cut inside one.
        QTest::addRow("%s, two-byte letters", NameOf(temporary))
            << temporary << QString(125, u'é') + "a.htm";
    }
}

// A file whose name is as long as the system allows is replaced in place as any other, and its
// temporary name fits too.
void TextFilesTest::namesUpToTheSystemsLimit() {
    QFETCH(Temporary, temporary);
    QFETCH(QString, name);
    QVERIFY(Name(name).size() <= 255);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    TestFiles::Write(path, "old");
    WriteTextFile("new", path, temporary);
    QCOMPARE(TestFiles::Read(path), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList({name}));
}

// The reading or writing of deniedByPermissions, as a user who is not root: what came of it,
// "done" or "<read or write>, <error number>".
int AsUnprivilegedUser(const char *action, const char *path, const char *temporary) {
    if (!Unprivileged::DropRoot())
        return Unprivileged::CannotDrop;
    const Temporary kind = qstrcmp(temporary, "named") == 0 ? Temporary::Named : Temporary::Unnamed;
    try {
        if (qstrcmp(action, "--write-second") == 0) {
            // Its writable neighbour first, which must work.
            const QString first =
                QFileInfo(QString::fromLocal8Bit(path)).path() + "/0-writable.htm";
            WriteTextFile("first", first, kind);
        }
    } catch (const FileError &error) {
        std::printf("the writable file: %s\n", error.what());
        return 0;
    }
    try {
        if (qstrcmp(action, "--read") == 0)
            ReadTextFileLines(QString::fromLocal8Bit(path));
        else
            WriteTextFile("new", QString::fromLocal8Bit(path), kind);
        std::printf("done\n");
    } catch (const FileError &error) {
        std::printf("%s, %d\n", error.kind() == FileError::Kind::Write ? "write" : "read",
                    error.error());
    }
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 4 && (qstrcmp(argv[1], "--read") == 0 || qstrcmp(argv[1], "--write") == 0 ||
                      qstrcmp(argv[1], "--write-second") == 0))
        return AsUnprivilegedUser(argv[1], argv[2], argv[3]);
    if (argc == 3 && qstrcmp(argv[1], "--write-then-die") == 0) {
        ResultWriter writer(QString::fromLocal8Bit(argv[2]));
        writer.keepLine(std::string(2 * ResultWriter::BufferSize, 'x'));
        ::raise(SIGKILL);
    }
    QCoreApplication app(argc, argv);
    TextFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_textfiles.moc"
