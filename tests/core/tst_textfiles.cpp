// Reading text files as lines and writing results atomically.
#include "AtomicFile.h"
#include "Operations.h"
#include "RFTSFSO.h"

#include <QtTest>

#include <csignal>
#include <random>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace RFTSFSO;

namespace {

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

void WriteBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Everything in a folder, hidden entries included: a temporary file left behind shows here.
QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QList<QByteArray> LinesOf(LineReader reader) {
    QList<QByteArray> lines;
    std::string_view line;
    while (reader.next(line))
        lines.append(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
    return lines;
}

std::string_view View(const QByteArray &bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

class FixedContext : public Operations::LineContext {
public:
    FixedContext(QString text, QString chooser)
        : text_(std::move(text)), chooser_(std::move(chooser)) {}
    bool letEventsRun() override { return false; }
    QString conditionText() override { return text_; }
    QString chooserText() override { return chooser_; }

private:
    QString text_;
    QString chooser_;
};

// Rows for both kinds of temporary file: unnamed ones and, as where those cannot be made, named.
void TemporaryKinds() {
    QTest::addColumn<bool>("named");
    QTest::newRow("unnamed temporary") << false;
    QTest::newRow("named temporary") << true;
}

enum class Failure {
    TargetIsFolder,
    MissingFolder,
    FileAsFolder,
    ReadOnlyFile,
    ReadOnlyFolder,
    FileSizeLimit
};

}  // namespace

Q_DECLARE_METATYPE(Failure)

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
    void everyByteWrittenBackUnchanged();
    void emptyTextEmptiesFile();
    void failedWrite_data();
    void failedWrite();
    void keepsPermissions_data();
    void keepsPermissions();
    void keepsOwner_data() { TemporaryKinds(); }
    void keepsOwner();
    void writesThroughSymbolicLink_data() { TemporaryKinds(); }
    void writesThroughSymbolicLink();
    void inPlace_data() { TemporaryKinds(); }
    void inPlace();
    void nothingKeptTouchesNothing();
    void errorsTellReadFromWrite();
    void killedWriterLeavesNoTemporary();
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
    QTest::newRow("UTF-8 byte-order mark") << QByteArray(
                                                  "\xEF\xBB\xBF"
                                                  "a\r\nb")
                                           << L{"\xEF\xBB\xBF"
                                                "a",
                                                "b"};
    QTest::newRow("NUL") << QByteArray("a\0b\nc", 5) << L{QByteArray("a\0b", 3), "c"};
    QTest::newRow("Latin-1 and UTF-8 bytes")
        << QByteArray("caf\xE9\r\ncaf\xC3\xA9") << L{"caf\xE9", "caf\xC3\xA9"};
}

void TextFilesTest::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    WriteBytes(path, bytes);
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
    WriteBytes(path, bytes);
    QCOMPARE(LinesOf(LineReader(path)), lines);
    QCOMPARE(LinesOf(LineReader::fromBytes(View(bytes), 65536)), lines);
}

void TextFilesTest::readErrors_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");

    QTest::newRow("missing file") << "missing"
                                  << "No such file or directory";
    QTest::newRow("missing folder") << "missing/a.htm"
                                    << "No such file or directory";
    QTest::newRow("file as folder") << "file/a.htm"
                                    << "Not a directory";
    QTest::newRow("empty path") << ""
                                << "No such file or directory";
    QTest::newRow("folder") << "folder"
                            << "Is a directory";
    QTest::newRow("named pipe") << "fifo"
                                << "Is a named pipe, not a regular file";
    QTest::newRow("device") << "/dev/null"
                            << "Is a device, not a regular file";
    QTest::newRow("unreadable") << "unreadable"
                                << "Permission denied";
}

void TextFilesTest::readErrors() {
    QFETCH(QString, kind);
    QFETCH(QString, description);

    QTemporaryDir dir;
    WriteBytes(dir.filePath("file"), "x");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    WriteBytes(dir.filePath("unreadable"), "x");
    QVERIFY(QFile::setPermissions(dir.filePath("unreadable"), QFile::WriteOwner));
    if (kind == "unreadable" && RunningAsRoot())
        QSKIP("running as root: permission bits deny nothing");

    const QString path = kind.isEmpty() || kind.startsWith('/') ? kind : dir.filePath(kind);
    try {
        ReadTextFileLines(path);
        QFAIL("read without an error");
    } catch (const ReadError &error) {
        QCOMPARE(error.description(), description);
    }
}

void TextFilesTest::everyByteWrittenBackUnchanged() {
    // Every byte value, in lines ended both ways, comes back from a read and a write of the
    // lines joined with CR LF exactly as it was.
    QByteArray bytes;
    for (int c = 0; c < 256; ++c) {
        if (c != '\n' && c != '\r')
            bytes += char(c);
        if (c % 32 == 31)
            bytes += c % 64 == 31 ? "\r\n" : "\r\r\n";
    }
    bytes.chop(2);  // the lines read back are joined without a final line end

    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    WriteBytes(in, bytes);
    std::string joined;
    for (const std::string &line : ReadTextFileLines(in))
        joined += (joined.empty() ? "" : "\r\n") + line;
    WriteTextFile(joined, out);
    QCOMPARE(ReadBytes(out), bytes);
}

void TextFilesTest::emptyTextEmptiesFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    WriteBytes(path, "old content");
    WriteTextFile("", path);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(ReadBytes(path), QByteArray());
}

void TextFilesTest::failedWrite_data() {
    QTest::addColumn<bool>("named");  // temporary files with names, as where unnamed ones fail
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("description");

    for (bool named : {false, true}) {
        const char *kind = named ? "named temporary" : "unnamed temporary";
        QTest::addRow("%s, target is a folder", kind)
            << named << Failure::TargetIsFolder << "Is a directory";
        QTest::addRow("%s, missing folder", kind)
            << named << Failure::MissingFolder << "No such file or directory";
        QTest::addRow("%s, file as folder", kind)
            << named << Failure::FileAsFolder << "Not a directory";
        QTest::addRow("%s, read-only file", kind)
            << named << Failure::ReadOnlyFile << "Permission denied";
        QTest::addRow("%s, read-only folder", kind)
            << named << Failure::ReadOnlyFolder << "Permission denied";
        // A write that fails after the first megabytes, also when running as root.
        QTest::addRow("%s, file size limit", kind)
            << named << Failure::FileSizeLimit << "File too large";
    }
}

void TextFilesTest::failedWrite() {
    QFETCH(bool, named);
    QFETCH(Failure, failure);
    QFETCH(QString, description);
    AtomicFile::SetNamedTemporariesOnly(named);

    if ((failure == Failure::ReadOnlyFile || failure == Failure::ReadOnlyFolder) && RunningAsRoot())
        QSKIP("running as root: permission bits deny nothing");

    QTemporaryDir dir;
    const QString folder = dir.filePath("out");
    QVERIFY(QDir(dir.path()).mkdir("out"));
    WriteBytes(folder + "/a.htm", "old content");
    QVERIFY(QDir(folder).mkdir("sub.htm"));
    WriteBytes(folder + "/sub.htm/inside", "inside");

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
        case Failure::ReadOnlyFile:
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
            break;
        case Failure::ReadOnlyFolder:
            target = folder + "/new.htm";
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
    if (failure == Failure::ReadOnlyFolder)
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));

    QString thrown;
    try {
        WriteTextFile(View(text), target);
    } catch (const WriteError &error) {
        thrown = error.description();
    }
    AtomicFile::SetNamedTemporariesOnly(false);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldSignal);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(thrown, description);
    QCOMPARE(Entries(folder), before);  // nothing new, no temporary file
    QCOMPARE(ReadBytes(folder + "/a.htm"), QByteArray("old content"));
    QCOMPARE(ReadBytes(folder + "/sub.htm/inside"), QByteArray("inside"));
}

void TextFilesTest::keepsPermissions_data() {
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("mode");
    for (bool named : {false, true}) {
        for (int mode : {0600, 0640, 0755, 02755})
            QTest::addRow("%s, %o", named ? "named" : "unnamed", mode) << named << mode;
    }
}

void TextFilesTest::keepsPermissions() {
    QFETCH(bool, named);
    QFETCH(int, mode);
    AtomicFile::SetNamedTemporariesOnly(named);
    auto restore = qScopeGuard([] { AtomicFile::SetNamedTemporariesOnly(false); });

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    WriteBytes(path, "old");
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
    WriteTextFile("new", path);
    struct stat info;
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    QCOMPARE(ReadBytes(path), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
}

void TextFilesTest::keepsOwner() {
    if (!RunningAsRoot())
        QSKIP("only root may give a file to another user");
    QFETCH(bool, named);
    AtomicFile::SetNamedTemporariesOnly(named);
    auto restore = qScopeGuard([] { AtomicFile::SetNamedTemporariesOnly(false); });

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    WriteBytes(path, "old");
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    WriteTextFile("new", path);
    struct stat info;
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(info.st_uid, uid_t(65534));
    QCOMPARE(info.st_gid, gid_t(65534));
}

void TextFilesTest::writesThroughSymbolicLink() {
    QFETCH(bool, named);
    AtomicFile::SetNamedTemporariesOnly(named);
    auto restore = qScopeGuard([] { AtomicFile::SetNamedTemporariesOnly(false); });

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    const QString target = dir.filePath("real/a.htm"), link = dir.filePath("link.htm");
    WriteBytes(target, "old");
    QVERIFY(QFile::link(target, link));

    WriteTextFile("new", link);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(ReadBytes(target), QByteArray("new"));
    QCOMPARE(Entries(dir.path()), QStringList({"link.htm", "real"}));
    QCOMPARE(Entries(dir.filePath("real")), QStringList({"a.htm"}));

    // A link to a file not yet there: the file is made where the link points.
    QVERIFY(QFile::link("real/b.htm", dir.filePath("dangling.htm")));
    WriteTextFile("made", dir.filePath("dangling.htm"));
    QVERIFY(QFileInfo(dir.filePath("dangling.htm")).isSymLink());
    QCOMPARE(ReadBytes(dir.filePath("real/b.htm")), QByteArray("made"));
}

void TextFilesTest::inPlace() {
    // The result replaces the file it is read from, which is read to its end first.
    QFETCH(bool, named);
    AtomicFile::SetNamedTemporariesOnly(named);
    auto restore = qScopeGuard([] { AtomicFile::SetNamedTemporariesOnly(false); });

    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    QByteArray bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += i % 7 == 0 ? "<meta http-equiv=x>\n" : "line " + QByteArray::number(i) + "\n";
    WriteBytes(path, bytes);

    FixedContext ctx("META HTTP", Operations::Captions[0]);
    QVERIFY(Operations::ProcessFile(path, path, ctx, 0));
    QByteArray expected;
    for (int i = 0; i < 100000; ++i) {
        if (i % 7 != 0)
            expected +=
                (expected.isEmpty() ? "" : "\r\n") + QByteArray("line ") + QByteArray::number(i);
    }
    QCOMPARE(ReadBytes(path), expected);
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
}

void TextFilesTest::nothingKeptTouchesNothing() {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    WriteBytes(in, "a\r\nb\r\n");
    WriteBytes(out, "previous");
    const QByteArray outName = QFile::encodeName(out);
    struct stat before, after;
    QCOMPARE(::stat(outName.constData(), &before), 0);

    FixedContext ctx("zzz", Operations::Captions[1]);
    QVERIFY(!Operations::ProcessFile(in, out, ctx, 0));
    QCOMPARE(::stat(outName.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(ReadBytes(out), QByteArray("previous"));

    // The same in place: the input stays as it was.
    QVERIFY(!Operations::ProcessFile(in, in, ctx, 0));
    QCOMPARE(ReadBytes(in), QByteArray("a\r\nb\r\n"));
}

void TextFilesTest::errorsTellReadFromWrite() {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.htm"), out = dir.filePath("out.htm");
    WriteBytes(in, "a\r\nb");
    FixedContext ctx("a", Operations::Captions[0]);

    bool readError = false;
    try {
        Operations::ProcessFile(dir.filePath("gone.htm"), out, ctx, 0);
    } catch (const ReadError &) {
        readError = true;
    }
    QVERIFY(readError);
    QVERIFY(!QFileInfo::exists(out));

    bool writeError = false;
    try {
        Operations::ProcessFile(in, dir.filePath("missing/out.htm"), ctx, 0);
    } catch (const WriteError &) {
        writeError = true;
    }
    QVERIFY(writeError);
    QCOMPARE(Entries(dir.path()), QStringList({"in.htm"}));
}

void TextFilesTest::killedWriterLeavesNoTemporary() {
    // A writer killed in the middle of its result (more than a buffer already on disk) leaves
    // the previous file whole and nothing else.
    QTemporaryDir dir;
    const QString path = dir.filePath("a.htm");
    WriteBytes(path, "old content");

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--write-then-die", path});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(Entries(dir.path()), QStringList({"a.htm"}));
    QCOMPARE(ReadBytes(path), QByteArray("old content"));
}

int main(int argc, char **argv) {
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
