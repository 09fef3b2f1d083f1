// The command line end to end: the real program as a child process (support in CliFixture.h),
// its results the window's, its words, dry runs, JSON, exit statuses, stops, several files at
// once, the undo store, the diff and the progress line.

#include "CliFixture.h"

#include "base/Main.h"

#include <sys/wait.h>

namespace {

using namespace CliTests;

// A file's "state" in the JSON records.
const char *StateName(Engine::Outcome outcome) {
    switch (outcome) {
        case Engine::Outcome::Changed:
            return "changed";
        case Engine::Outcome::Unchanged:
            return "unchanged";
        case Engine::Outcome::Empty:
            return "empty";
        case Engine::Outcome::Binary:
            return "binary";
        default:
            return "failed";
    }
}

// A page for the pattern options.
const QByteArray Page = "x=2 CAT\n";

// A file named by its bytes, which need not be UTF-8: written whole, or read.
bool WriteBytes(const QByteArray &path, const QByteArray &bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), std::size_t(bytes.size())) ==
                                        ssize_t(bytes.size());
    return fd >= 0 && ::close(fd) == 0 && written;
}
QByteArray ReadBytes(const QByteArray &path) {
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t got; fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, got);
    if (fd >= 0)
        ::close(fd);
    return bytes;
}

class CliTest : public Fixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // --- The same results as the window -----------------------------------------------------

    // Every shared case (support/OperationCases.h) through the program, dry and then for real:
    // the exit status, the file's JSON record and the file it leaves.
    void eachCase_data() { OperationCases::AddRows(); }
    void eachCase() {
        QFETCH(OperationCases::Case, example);
        const OperationCases::Files files(example, root + QStringLiteral("/in"),
                                          root + QStringLiteral("/out"));
        const Operations::OperationInfo &info = Operations::InfoOf(example.operation);
        QStringList args{QStringLiteral("remove"), QString::fromUtf8(info.name)};
        if (info.operand == Operations::Operand::Text)
            args << example.condition;
        if (info.operand == Operations::Operand::Number)
            args << example.lineNumber;
        args << (example.options.inPlace ? QStringList{"--in-place"}
                                         : QStringList{"--out", root + QStringLiteral("/out")});
        // The window's line ends, unless the case keeps each line's own.
        args << (example.options.keepLineEnds ? QStringLiteral("--keep-line-ends")
                                              : QStringLiteral("--crlf"));
        if (example.options.binaryAsText)
            args << QStringLiteral("--binary");
        if (!example.options.legacyPage.isEmpty())
            args << QStringLiteral("--encoding") << example.options.legacyPage;
        const Operations::MatchOptions &match = example.options.match;
        for (const auto &[on, option] : {std::pair{match.matchCase, "--match-case"},
                                         {match.wholeWords, "--word"},
                                         {match.regex, "--regex"}}) {
            if (on)
                args << QString::fromLatin1(option);
        }
        args << QStringLiteral("--json");
        for (const bool dryRun : {true, false}) {
            const QStringList dry = dryRun ? QStringList{"--dry-run"} : QStringList();
            const Outcome outcome = run(args + dry + QStringList{"--", files.input});
            QCOMPARE(outcome.exitCode, example.failed() ? 1 : 0);
            const QList<QJsonObject> records = Records(outcome.out);
            QCOMPARE(records.size(), 1);
            QCOMPARE(records[0].value(QStringLiteral("state")).toString(),
                     QLatin1String(StateName(example.outcome)));
            QCOMPARE(records[0].value(QStringLiteral("lines_removed")).toInteger(),
                     qint64(example.linesRemoved));
            QCOMPARE(records[0].value(QStringLiteral("characters_removed")).toInteger(),
                     qint64(example.charactersRemoved));
            if (dryRun)
                files.verifyUntouched();
            else
                files.verifyRun();
        }
    }

    // Folders are searched as "Add All HTML Files In Folder" searches them; files named on the
    // command line are taken whatever their names.
    void foldersAreSearchedAsTheWindowSearchesThem_data() {
        QTest::addColumn<QString>("extension");
        QTest::newRow("html") << "html";
        QTest::newRow("every file") << "*";
        QTest::newRow("letter case of the extension") << "HTM";
    }
    void foldersAreSearchedAsTheWindowSearchesThem() {
        QFETCH(QString, extension);
        for (const char *name :
             {"site/b.html", "site/A.HTML", "site/~skip.html", "site/c.htm", "site/notes.txt",
              "site/.hidden.html", "site/sub/d.html", "site/sub/deeper/e.htm", "site/.dot/f.html",
              "site/z/g.html", "other/h.txt"})
            input(QLatin1String(name), "x\n");

        ScriptedPlatform platform;
        QStringList folders{root + QStringLiteral("/site/")};
        AddFolder::GetSubDirectories2016(platform, folders, true);
        FileListModel list;
        AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.") + extension, list);
        QStringList expected = TestFiles::Rows(list);
        QVERIFY(!expected.isEmpty());
        expected << root + QStringLiteral("/other/h.txt");

        const Outcome outcome = run(
            {"remove", "lines-containing", "x", "--dry-run", "--json", "--ext", extension, "--out",
             root, root + QStringLiteral("/site"), root + QStringLiteral("/other/h.txt")});
        QCOMPARE(outcome.exitCode, 0);
        QStringList paths;
        for (const QJsonObject &record : Records(outcome.out))
            paths << record.value(QStringLiteral("path")).toString();
        QCOMPARE(paths, expected);
    }

    // --- Usage --------------------------------------------------------------------------------

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString f = QStringLiteral("f.html");
        QTest::newRow("no operation") << QStringList{"remove"} << "remove needs an OPERATION";
        QTest::newRow("unknown operation")
            << QStringList{"remove", "lines", "x", "--in-place", f} << "unknown operation 'lines'";
        QTest::newRow("no text") << QStringList{"remove", "lines-containing"}
                                 << "lines-containing needs TEXT";
        QTest::newRow("empty text")
            << QStringList{"remove", "text", "", "--in-place", f} << "TEXT must not be empty";
        QTest::newRow("line number that is no number")
            << QStringList{"remove", "line", "abc", "--in-place", f}
            << "line needs a number N, not 'abc'";
        QTest::newRow("empty line number")
            << QStringList{"remove", "line", "", "--in-place", f} << "line needs a number N";
        QTest::newRow("no output")
            << QStringList{"remove", "blank-lines", f} << "--out DIR or --in-place (exactly one)";
        QTest::newRow("both outputs")
            << QStringList{"remove", "blank-lines", "--in-place", "--out", "out", f}
            << "--out DIR or --in-place (exactly one)";
        QTest::newRow("mkdir in place")
            << QStringList{"remove", "blank-lines", "--in-place", "--mkdir", f}
            << "--mkdir goes with --out DIR";
        QTest::newRow("unknown option")
            << QStringList{"remove", "blank-lines", "--in-place", "--fast", f}
            << "unknown option '--fast'";
        QTest::newRow("no jobs") << QStringList{"remove", "blank-lines", "--in-place",
                                                "--jobs", "0",           f}
                                 << "--jobs needs a whole number from 1 to 1024, not '0'";
        QTest::newRow("jobs that are no number")
            << QStringList{"remove", "blank-lines", "--in-place", "--jobs=2x", f}
            << "--jobs needs a whole number from 1 to 1024, not '2x'";
        QTest::newRow("option without its value")
            << QStringList{"remove", "blank-lines", f, "--in-place", "--ext"}
            << "--ext needs a value";
        QTest::newRow("flag with a value")
            << QStringList{"remove", "blank-lines", "--in-place=yes", f}
            << "--in-place takes no value";
        QTest::newRow("diff and json")
            << QStringList{"remove", "blank-lines", "--in-place", "--diff", "--json", f}
            << "--diff and --json cannot be used together";
        QTest::newRow("no path") << QStringList{"remove", "blank-lines", "--in-place"}
                                 << "no PATH given";
        QTest::newRow("output folder missing")
            << QStringList{"remove", "blank-lines", "--out", "missing", f}
            << "the folder missing does not exist (--mkdir makes it)";
        QTest::newRow("output folder is a file")
            << QStringList{"remove", "blank-lines", "--out", f, f}
            << "--out f.html is not a folder";
        QTest::newRow("misspelt option")
            << QStringList{"remove", "blank-lines", "--inplace", f}
            << "unknown option '--inplace'; did you mean '--in-place'?";
        QTest::newRow("option cut short") << QStringList{"remove", "blank-lines", "-i", "--hid", f}
                                          << "unknown option '--hid'; did you mean '--hidden'?";
        QTest::newRow("unknown letter")
            << QStringList{"remove", "blank-lines", "-iz", f} << "unknown option '-z'";
        QTest::newRow("letter without its value")
            << QStringList{"remove", "blank-lines", "-i", f, "-j"} << "-j needs a value";
        QTest::newRow("tree in place")
            << QStringList{"remove", "blank-lines", "-i", "--keep-tree", f}
            << "--keep-tree goes with --out DIR";
        QTest::newRow("null without a list")
            << QStringList{"remove", "blank-lines", "-i0", f} << "--null goes with --files-from";
        QTest::newRow("both line end rules")
            << QStringList{"remove", "blank-lines", "-i", "--crlf", "--keep-line-ends", f}
            << "--crlf and --keep-line-ends cannot be used together";
        QTest::newRow("colour that is no choice")
            << QStringList{"remove", "blank-lines", "-i", "--color=sometimes", f}
            << "--color needs auto, always or never, not 'sometimes'";
        QTest::newRow("empty extension in a list")
            << QStringList{"remove", "blank-lines", "-i", "-e", "html,", f}
            << "--ext needs an extension";
        QTest::newRow("standard input among PATHs")
            << QStringList{"remove", "blank-lines", "-i", "-", f}
            << "the PATH - (standard input) goes alone";
        QTest::newRow("standard input in place")
            << QStringList{"remove", "blank-lines", "-i", "-"}
            << "the PATH - (standard input) writes its result to standard output";
        QTest::newRow("standard input, dry")
            << QStringList{"remove", "blank-lines", "-n", "-"}
            << "--dry-run does not go with standard input filtered to standard output";
        QTest::newRow("no code page of that name")
            << QStringList{"remove", "blank-lines", "-i", "--encoding", "koi9", f}
            << "--encoding needs the name of a code page (one of windows-1250, ";
        QTest::newRow("binary with a value")
            << QStringList{"remove", "blank-lines", "-i", "--binary=yes", f}
            << "--binary takes no value";
        QTest::newRow("replace without WITH")
            << QStringList{"replace", "a"} << "replace needs TEXT and WITH";
        QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command 'frob'";
        QTest::newRow("undo with a word") << QStringList{"undo", "now"} << "undo takes no 'now'";
        QTest::newRow("undo with two runs") << QStringList{"undo", "1", "2"} << "undo takes no '2'";
        QTest::newRow("undo list with a run")
            << QStringList{"undo", "--list", "1"} << "undo --list takes no RUN and no --dry-run";
        QTest::newRow("a file for the window, then one missing")
            << QStringList{f, "missing.html"} << "there is no file or folder 'missing.html'";
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const QString file = input(QStringLiteral("f.html"), "a\n\nb");
        const auto before = Snapshot(root);
        const Outcome outcome = run(args);
        QCOMPARE(outcome.exitCode, 2);
        QCOMPARE(outcome.out, QByteArray());
        QVERIFY2(outcome.err.contains(message.toUtf8()), outcome.err.constData());
        QVERIFY(outcome.err.endsWith("Try 'strelmark --help' for more information.\n"));
        QCOMPARE(Snapshot(root), before);
    }

    // Under another language the catalogue's messages, a word keeping its bytes (not UTF-8
    // here); under C the English ones.
    void messagesInTheLocalesLanguage_data() {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QByteArrayList>("args");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("German, a word's own bytes")
            << QByteArray("de_DE.UTF-8") << QByteArrayList{"bogus\xff"}
            << QByteArray(
                   "strelmark: unbekannter Befehl 'bogus\xff' (remove, replace, undo, --help, "
                   "--version)\nstrelmark: 'strelmark --help' gibt weitere Auskunft.\n");
        QTest::newRow("Russian usage error")
            << QByteArray("ru_RU.UTF-8") << QByteArrayList{"remove"}
            << QByteArray(
                   "strelmark: remove: нужна ОПЕРАЦИЯ\nstrelmark: Подробнее: "
                   "'strelmark --help'.\n");
        QTest::newRow("C") << QByteArray("C") << QByteArrayList{"remove"}
                           << QByteArray(
                                  "strelmark: remove needs an OPERATION\nstrelmark: Try "
                                  "'strelmark --help' for more information.\n");
    }
    void messagesInTheLocalesLanguage() {
        QFETCH(QByteArray, lang);
        QFETCH(QByteArrayList, args);
        QFETCH(QByteArray, err);
        Launch launch;
        launch.args = args;
        launch.environment << "LC_ALL"
                           << "LC_MESSAGES"
                           << "LANGUAGE"
                           << "LANG=" + lang;
        const Outcome outcome = execute(std::move(launch));
        QCOMPARE(outcome.exitCode, 2);
        QCOMPARE(outcome.err, err);
    }

    // Each language's help of both commands fits 80 columns, as the English one does.
    void translatedHelpFits() {
        for (const QByteArray lang : {"de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.UTF-8", "ru_RU.UTF-8"}) {
            for (const QByteArrayList &args : {QByteArrayList{"--help"}, {"undo", "--help"}}) {
                Launch english;
                english.args = args;
                const QByteArray englishHelp = execute(std::move(english)).out;
                Launch launch;
                launch.args = args;
                launch.environment << "LC_ALL"
                                   << "LC_MESSAGES"
                                   << "LANGUAGE"
                                   << "LANG=" + lang;
                const Outcome outcome = execute(std::move(launch));
                QCOMPARE(outcome.exitCode, 0);
                QVERIFY2(outcome.out != englishHelp, lang.constData());
                for (const QByteArray &line : outcome.out.split('\n'))
                    QVERIFY2(QString::fromUtf8(line).size() <= 80,
                             (lang + ": " + line).constData());
            }
        }
    }

    void helpAndVersion() {
        const Outcome help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const Operations::OperationInfo &operation : Operations::OperationTable)
            QVERIFY2(help.out.contains(QByteArray("  ") + operation.name), operation.name);
        for (const char *option :
             {"--out DIR", "--in-place", "--mkdir", "--ext EXT", "--keep-line-ends", "--dry-run",
              "--diff", "--json", "--quiet", "--jobs N", "--version", "strelmark undo"})
            QVERIFY2(help.out.contains(option), option);
        QCOMPARE(run({"remove", "--help"}).out, help.out);
        for (const QByteArray &line : help.out.split('\n'))
            QVERIFY2(QString::fromUtf8(line).size() <= 80, line.constData());

        const Outcome version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("strelmark " STRELMARK_VERSION "\n"));
    }

    // An operand is the word after the operation, whatever it looks like; PATHs that look
    // like options come after "--".
    void wordsThatLookLikeOptions() {
        const QString path = input(QStringLiteral("-page.html"), "<!-- note -->\nbody -->\n");
        const Outcome outcome = run({"remove", "text", "-->", "--in-place", "--", "-page.html"});
        QVERIFY2(outcome.exitCode == 0, outcome.err.constData());
        QCOMPARE(Read(path), QByteArray("<!-- note \nbody \n"));
    }

    // The pattern options and replace reach the run: a pattern that does not compile is
    // refused with status 2 before anything is made (no output folder, no undo store); one too
    // complex for a line leaves its file alone, listed with the line, and the run goes on.
    void patterns_data() {
        QTest::addColumn<QStringList>("args");  // the pages a.html and b.html follow
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("a");  // what a.html holds after
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("replace with groups")
            << QStringList{"replace", "(\\w+)=(?<v>\\w+)", "${v}=$1 $$", "--regex", "-i"} << 0
            << QByteArray("2=x $ CAT\n") << QByteArray("1 changed");
        QTest::newRow("replace a literal, letter case counting")
            << QStringList{"replace", "cat", "dog", "--match-case", "-w", "-i"} << 0 << Page
            << QByteArray("0 changed");
        QTest::newRow("invalid pattern")
            << QStringList{"remove", "text", "(script", "--regex", "-o", "out", "--mkdir"} << 2
            << Page
            << QByteArray(
                   "Invalid regular expression at character 7: missing closing "
                   "parenthesis\n");
        QTest::newRow("too complex")
            << QStringList{"remove", "all-but-text", "^(\\w|\\w\\w)+$|=", "--regex", "-i", "--json"}
            << 1 << QByteArray("=\n")
            << QByteArray(
                   "\"error\":\"pattern too complex at line 2: b.html\","
                   "\"error_kind\":\"pattern\"");
    }
    void patterns() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, said);
        input(QStringLiteral("a.html"), Page);
        input(QStringLiteral("b.html"), "ok\n" + QByteArray(40, 'a') + "!\n");
        const auto before = Snapshot(root);
        const Outcome outcome = run(args + QStringList{"a.html", "b.html"});
        QCOMPARE(outcome.exitCode, status);
        QVERIFY2((outcome.out + outcome.err).contains(said), outcome.err.constData());
        QCOMPARE(Read(root + QStringLiteral("/a.html")), a);
        if (status != 0 && a == Page)
            QCOMPARE(Snapshot(root), before);
        else
            QVERIFY(QFileInfo::exists(undoStore()));
    }

    // --- Dry runs, JSON ----------------------------------------------------------------------

    void dryRunWritesNothingAndAgreesWithTheRun_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("inPlace");
        for (const bool inPlace : {false, true}) {
            QTest::addRow("lines, %s", inPlace ? "in place" : "to a folder")
                << "lines-containing" << inPlace;
            QTest::addRow("characters, %s", inPlace ? "in place" : "to a folder")
                << "all-but-text" << inPlace;
        }
    }
    void dryRunWritesNothingAndAgreesWithTheRun() {
        QFETCH(QString, operation);
        QFETCH(bool, inPlace);
        input(QStringLiteral("in/a.html"), "meta one\nkeep meta\nnothing\n");
        input(QStringLiteral("in/b.html"), "plain\r\ntext");  // unchanged in place
        input(QStringLiteral("in/c.html"), "x\ny\n");         // no line with the text: empty
        input(QStringLiteral("in/sub/d.html"), "meta\r\nMETA\r\nmetamorphosis\n");
        QVERIFY(TestFiles::MakePipe(root + QStringLiteral("/in/pipe.html")));  // unreadable
        QDir().mkpath(root + QStringLiteral("/out"));
        const QStringList where = inPlace ? QStringList{"--in-place"}
                                          : QStringList{"--out", root + QStringLiteral("/out")};
        const QStringList args =
            QStringList{"remove", operation, "meta"} + where +
            QStringList{root + QStringLiteral("/in"), root + QStringLiteral("/in/pipe.html")};

        const auto before = Snapshot(root);
        const Outcome listing = run(args + QStringList{"--dry-run"});
        const Outcome dryJson = run(args + QStringList{"--dry-run", "--json"});
        QCOMPARE(Snapshot(root), before);
        QVERIFY(!QFileInfo::exists(undoStore()));
        QCOMPARE(listing.exitCode, 1);  // the pipe
        QCOMPARE(dryJson.exitCode, 1);

        QJsonObject drySummary, summary;
        const QList<QJsonObject> dry = Records(dryJson.out, &drySummary);
        QCOMPARE(dry.size(), 5);
        const Outcome real = run(args + QStringList{"--json"});
        QCOMPARE(real.exitCode, 1);
        const QList<QJsonObject> done = Records(real.out, &summary);
        QCOMPARE(done.size(), dry.size());

        // The listing: a line for each file that would change, is empty or failed.
        const bool characters = operation == QLatin1String("all-but-text");
        const QRegularExpression line(
            QStringLiteral("^(.*): (?:(\\d+) (line|lines|character|"
                           "characters) removed|(empty result, not "
                           "written)|(unreadable))$"));
        QStringList lines = QString::fromUtf8(listing.out).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.takeLast().startsWith(QStringLiteral("Dry run, nothing written. 5 files: ")));
        int listed = 0;
        for (int i = 0; i < dry.size(); ++i) {
            const QJsonObject &expected = done[i];
            QCOMPARE(dry[i].value(QStringLiteral("path")), expected.value(QStringLiteral("path")));
            for (const char *key : {"output", "state", "lines_read", "lines_removed",
                                    "characters_removed", "error_kind"})
                QCOMPARE(dry[i].value(QLatin1String(key)), expected.value(QLatin1String(key)));
            const QString state = expected.value(QStringLiteral("state")).toString();
            if (state == QLatin1String("unchanged"))
                continue;
            QVERIFY(listed < lines.size());
            const QRegularExpressionMatch match = line.match(lines[listed++]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[listed - 1]));
            QCOMPARE(match.captured(1), expected.value(QStringLiteral("path")).toString());
            if (state == QLatin1String("changed")) {
                const char *count = characters ? "characters_removed" : "lines_removed";
                QCOMPARE(match.captured(2).toLongLong(),
                         expected.value(QLatin1String(count)).toInteger());
            }
            QCOMPARE(!match.captured(4).isEmpty(), state == QLatin1String("empty"));
            QCOMPARE(!match.captured(5).isEmpty(), state == QLatin1String("failed"));
        }
        QCOMPARE(listed, lines.size());
        for (const char *key : {"files", "changed", "unchanged", "empty", "failed", "lines_read",
                                "lines_removed", "characters_removed"})
            QCOMPARE(drySummary.value(QLatin1String(key)), summary.value(QLatin1String(key)));
        QCOMPARE(drySummary.value(QStringLiteral("dry_run")), QJsonValue(true));
        QCOMPARE(summary.value(QStringLiteral("dry_run")), QJsonValue(false));
    }

    void jsonRecordsAgreeWithTheFiles() {
        const QString odd = root + QStringLiteral("/in/we\"ird\\name\t.html");
        input(QStringLiteral("in/a.html"), "keep\nmeta x\nkeep two");
        Write(odd, "meta\nrest\n");
        input(QStringLiteral("in/b.html"), "meta only\n");
        input(QStringLiteral("in/c.html"), "keep\r\nall");  // unchanged in place
        const QByteArray bad = Name(root) + "/in/bad\xff.html";
        QVERIFY(::close(::open(bad.constData(), O_WRONLY | O_CREAT, 0644)) == 0);

        Launch launch;
        launch.args = {"remove",
                       "lines-containing",
                       "META",
                       "--in-place",
                       "--json",
                       "--",
                       Name(root + QStringLiteral("/in/a.html")),
                       Name(odd),
                       Name(root + QStringLiteral("/in/b.html")),
                       Name(root + QStringLiteral("/in/c.html")),
                       bad,
                       Name(root + QStringLiteral("/in/missing.html"))};
        const Outcome outcome = execute(launch);
        QCOMPARE(outcome.exitCode, 1);
        QJsonObject summary;
        const QList<QJsonObject> records = Records(outcome.out, &summary);
        QCOMPARE(records.size(), 6);
        auto field = [&](int i, const char *key) { return records[i].value(QLatin1String(key)); };

        QCOMPARE(field(0, "state").toString(), QStringLiteral("changed"));
        QCOMPARE(field(0, "lines_read").toInteger(), 3);
        QCOMPARE(field(0, "lines_removed").toInteger(), 1);
        QCOMPARE(field(0, "characters_removed").toInteger(), 6);
        QCOMPARE(field(0, "error"), QJsonValue(QJsonValue::Null));
        QCOMPARE(Read(root + QStringLiteral("/in/a.html")), QByteArray("keep\nkeep two"));
        QCOMPARE(field(1, "path").toString(), odd);
        QCOMPARE(field(1, "output").toString(), odd);
        QCOMPARE(Read(odd), QByteArray("rest\n"));
        QCOMPARE(field(2, "state").toString(), QStringLiteral("empty"));
        QCOMPARE(Read(root + QStringLiteral("/in/b.html")), QByteArray("meta only\n"));
        QCOMPARE(field(3, "state").toString(), QStringLiteral("unchanged"));
        // Not valid UTF-8: worked on all the same, its bytes also in hexadecimal.
        QCOMPARE(field(4, "state").toString(), QStringLiteral("unchanged"));
        QCOMPARE(field(4, "path_hex").toString().toLatin1(), bad.toHex());
        QCOMPARE(field(5, "error").toString(), QStringLiteral("No such file or directory: ") +
                                                   root + QStringLiteral("/in/missing.html"));
        QVERIFY(outcome.err.contains("strelmark: No such file or directory: " +
                                     Name(root + QStringLiteral("/in/missing.html"))));

        // The summary adds up.
        QCOMPARE(summary.value(QStringLiteral("files")).toInteger(), 6);
        QCOMPARE(summary.value(QStringLiteral("changed")).toInteger(), 2);
        QCOMPARE(summary.value(QStringLiteral("unchanged")).toInteger(), 2);
        QCOMPARE(summary.value(QStringLiteral("empty")).toInteger(), 1);
        QCOMPARE(summary.value(QStringLiteral("failed")).toInteger(), 1);
        QCOMPARE(summary.value(QStringLiteral("not_processed")).toInteger(), 0);
        qint64 linesRead = 0, linesRemoved = 0, characters = 0;
        for (const QJsonObject &record : records) {
            linesRead += record.value(QStringLiteral("lines_read")).toInteger();
            linesRemoved += record.value(QStringLiteral("lines_removed")).toInteger();
            characters += record.value(QStringLiteral("characters_removed")).toInteger();
        }
        QCOMPARE(summary.value(QStringLiteral("lines_read")).toInteger(), linesRead);
        QCOMPARE(summary.value(QStringLiteral("lines_removed")).toInteger(), linesRemoved);
        QCOMPARE(summary.value(QStringLiteral("characters_removed")).toInteger(), characters);
        QCOMPARE(summary.value(QStringLiteral("exit_status")).toInteger(), 1);
        QCOMPARE(summary.value(QStringLiteral("stopped")), QJsonValue(false));
    }

    // Every file of a tree, as --ext '*' takes it: a binary file is left alone and counted, no
    // failure; --binary reads it as text.
    void binaryFilesInATree() {
        const QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\n", 17);
        input(QStringLiteral("site/logo.png"), png);
        input(QStringLiteral("site/a.html"), "x\nhello\n");
        const QStringList args{"remove", "lines-containing", "hello", "--ext", "*", "--in-place"};
        const Outcome dry = run(args + QStringList{"--dry-run", root + QStringLiteral("/site")});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(dry.out.contains(Name(root) + "/site/logo.png: binary, left alone\n"), dry.out);
        QVERIFY2(dry.out.contains("1 would change, 0 unchanged, 0 empty (would not be written), "
                                  "1 binary (left alone), 0 failed"),
                 dry.out);
        const Outcome json = run(args + QStringList{"--json", root + QStringLiteral("/site")});
        QCOMPARE(json.exitCode, 0);
        QJsonObject summary;
        const QList<QJsonObject> records = Records(json.out, &summary);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1].value(QStringLiteral("state")).toString(), QStringLiteral("binary"));
        QCOMPARE(summary.value(QStringLiteral("binary")).toInteger(), 1);
        QCOMPARE(summary.value(QStringLiteral("failed")).toInteger(), 0);
        QCOMPARE(Read(root + QStringLiteral("/site/logo.png")), png);
        QCOMPARE(Read(root + QStringLiteral("/site/a.html")), QByteArray("x\n"));
        const Outcome asText =
            run(args + QStringList{"--binary", "--crlf", root + QStringLiteral("/site")});
        QCOMPARE(asText.exitCode, 0);
        QVERIFY(Read(root + QStringLiteral("/site/logo.png")).contains("\r\n\x1A\r\n"));
    }

    // --- Exit statuses ------------------------------------------------------------------------

    void exitStatuses_data() {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");  // on standard error, after "strelmark: "
        QTest::newRow("none") << "" << 0 << "";
        QTest::newRow("a PATH that does not exist")
            << "missing" << 1 << "No such file or directory: %1/in/missing.html";
        QTest::newRow("a named pipe")
            << "pipe" << 1 << "Is a named pipe, not a regular file: %1/in/pipe.html";
        QTest::newRow("a file that cannot be read")
            << "unreadable" << 1 << "Permission denied: %1/in/locked.html";
        QTest::newRow("an output folder that cannot be written")
            << "read-only output" << 1 << "Permission denied: %1/out/a.html";
    }
    void exitStatuses() {
        QFETCH(QString, trouble);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString a = input(QStringLiteral("in/a.html"), "meta\nkeep\n");
        const QString z = input(QStringLiteral("in/z.html"), "z\nmeta\n");
        QDir().mkpath(root + QStringLiteral("/out"));
        QStringList paths = {a};
        if (trouble == QLatin1String("missing"))
            paths << root + QStringLiteral("/in/missing.html");
        if (trouble == QLatin1String("pipe")) {
            QVERIFY(TestFiles::MakePipe(root + QStringLiteral("/in/pipe.html")));
            paths << root + QStringLiteral("/in/pipe.html");
        }
        if (trouble == QLatin1String("unreadable"))
            paths << input(QStringLiteral("in/locked.html"), "meta\n");
        paths << z;

        Launch launch;
        launch.unprivileged = true;
        launch.args = {"remove", "lines-containing", "meta", "--out", Name(root) + "/out"};
        for (const QString &path : paths)
            launch.args << Name(path);
        if (trouble == QLatin1String("unreadable") || trouble == QLatin1String("read-only output"))
            Unprivileged::GiveTree(root);
        if (trouble == QLatin1String("unreadable"))
            QVERIFY(::chmod(Name(root + QStringLiteral("/in/locked.html")).constData(), 0) == 0);
        if (trouble == QLatin1String("read-only output"))
            QVERIFY(::chmod(Name(root + QStringLiteral("/out")).constData(), 0555) == 0);
        const Outcome outcome = execute(launch);
        if (outcome.exitCode == Unprivileged::CannotDrop || outcome.exitCode == 126)
            QSKIP("cannot run the program as an unprivileged user here");
        QCOMPARE(outcome.exitCode, status);
        if (message.isEmpty()) {
            QCOMPARE(outcome.err, QByteArray());
        } else {
            QVERIFY2(outcome.err.contains("strelmark: " + message.arg(root).toUtf8() + '\n'),
                     outcome.err.constData());
        }
        // The run goes on past a failure: the last file is done.
        if (trouble != QLatin1String("read-only output"))
            QCOMPARE(Read(root + QStringLiteral("/out/z.html")), QByteArray("z\n"));
        QCOMPARE(Read(a), QByteArray("meta\nkeep\n"));
    }

    // --- Stopping -------------------------------------------------------------------------

    void signalStopsAtAFileBoundary_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("inPlace");
        for (const bool inPlace : {false, true}) {
            QTest::addRow("SIGINT, %s", inPlace ? "in place" : "to a folder") << SIGINT << inPlace;
            QTest::addRow("SIGTERM, %s", inPlace ? "in place" : "to a folder")
                << SIGTERM << inPlace;
        }
    }
    void signalStopsAtAFileBoundary() {
        QFETCH(int, signal);
        QFETCH(bool, inPlace);
        constexpr int Count = 1500;
        QStringList names;
        QByteArrayList pages, results;
        for (int n = 0; n < Count; ++n) {
            QByteArray result;
            pages << NumberedPage(n, 400, &result);
            results << result;
            names << QStringLiteral("p%1.html").arg(n, 4, 10, QLatin1Char('0'));
            input(QStringLiteral("in/") + names.last(), pages.last());
        }
        const QString out = root + QStringLiteral("/out");
        QDir().mkpath(out);

        // Once the first group is in place (the undo store holds its record), the program is
        // held, signalled, and let go: the signal comes in the middle of the run.
        Launch launch;
        launch.args = {"remove", "lines-containing", "drop", "--jobs", "2", "--ext", "html"};
        launch.args << (inPlace ? QByteArrayList{"--in-place"}
                                : QByteArrayList{"--out", Name(out)});
        launch.args << Name(root + QStringLiteral("/in"));
        launch.whileRunning = [&](pid_t pid) {
            const QStringList runs = QDir(undoStore()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            if (runs.isEmpty())
                return false;
            ::kill(pid, SIGSTOP);
            ::kill(pid, signal);
            ::kill(pid, SIGCONT);
            return true;
        };
        const Outcome outcome = execute(launch);
        QCOMPARE(outcome.exitCode, 128 + signal);
        // The folder search stops too: the files it had found by then are counted.
        const QRegularExpression stopped(QStringLiteral("^Stopped by %1\\. \\d+ files: ")
                                             .arg(signal == SIGINT ? "SIGINT" : "SIGTERM"));
        QVERIFY2(stopped.match(QString::fromUtf8(outcome.out)).hasMatch(), outcome.out.constData());
        QVERIFY(outcome.out.contains(" not processed; "));

        // Every file is either as it was or its whole result; nothing else is there.
        int done = 0;
        for (int n = 0; n < Count; ++n) {
            const QString result =
                (inPlace ? root + QStringLiteral("/in/") : out + u'/') + names[n];
            const QByteArray bytes = Read(result);
            if (bytes == results[n])
                ++done;
            else if (inPlace)
                QVERIFY2(bytes == pages[n], qPrintable(result));
            else
                QVERIFY2(!QFileInfo::exists(result), qPrintable(result));
        }
        QVERIFY(done > 0);
        QVERIFY(done < Count);
        QCOMPARE(Entries(root + QStringLiteral("/in")).size(), Count);
        QCOMPARE(Entries(out).size(), inPlace ? 0 : done);

        // What the stopped run replaced is taken back as a whole.
        if (inPlace) {
            const Outcome undo = run({"undo"});
            QVERIFY2(undo.exitCode == 0, undo.err.constData());
            for (int n = 0; n < Count; ++n)
                QCOMPARE(Read(root + QStringLiteral("/in/") + names[n]), pages[n]);
        }
    }

    void signalStopsAnUndoAtAFileBoundary_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }

    // A signal in the middle of an undo: it stops before the next file, says what it restored,
    // exits with 128 + the signal, and the next undo puts back the rest.
    void signalStopsAnUndoAtAFileBoundary() {
        QFETCH(int, signal);
        constexpr int Count = 2000;
        QStringList args = {"remove", "lines-containing", "drop", "--in-place", "--quiet"};
        for (int n = 0; n < Count; ++n)
            args << input(QStringLiteral("in/p%1.html").arg(n),
                          "drop\nkeep " + QByteArray::number(n));
        QCOMPARE(run(args).exitCode, 0);
        const QString newest = root + QStringLiteral("/in/p%1.html").arg(Count - 1);
        Launch launch;
        launch.args = {"undo"};
        launch.whileRunning = [&](pid_t pid) {
            if (Read(newest).startsWith("keep"))
                return false;
            ::kill(pid, SIGSTOP);
            ::kill(pid, signal);
            ::kill(pid, SIGCONT);
            return true;
        };
        const Outcome stopped = execute(launch);
        QCOMPARE(stopped.exitCode, 128 + signal);
        QVERIFY2(stopped.out.contains(" files not reached, kept for the next undo."),
                 stopped.out.constData());
        QVERIFY(stopped.out.contains("Restored: " + Name(newest) + '\n'));
        QVERIFY(Read(root + QStringLiteral("/in/p0.html")).startsWith("keep"));
        QCOMPARE(run({"undo", "--quiet"}).exitCode, 0);
        for (int n = 0; n < Count; ++n)
            QCOMPARE(Read(root + QStringLiteral("/in/p%1.html").arg(n)),
                     "drop\nkeep " + QByteArray::number(n));
    }

    // --- Several files at once ---------------------------------------------------------------

    // Files that give the same output, a file whose input is the output of an earlier one, and
    // files named several times in place (under other spellings and through a link): any
    // number of workers gives what one gives, and "line 1" shows that each naming counted.
    void jobsGiveTheResultsOfOneWorker() {
        auto layout = [&](const QString &base) {
            for (int folder = 0; folder < 8; ++folder) {
                for (int n = 0; n < 12; ++n)
                    Write(
                        base + QStringLiteral("/tree/f%1/u%1-%2.html").arg(folder).arg(n),
                        QStringLiteral("first %1 %2\nsecond\nthird\n").arg(folder).arg(n).toUtf8());
                Write(base + QStringLiteral("/tree/f%1/same.html").arg(folder),
                      QStringLiteral("first\nfrom %1\nthird\n").arg(folder).toUtf8());
            }
            // Outputs there before the run, read by it after it has written them.
            Write(base + QStringLiteral("/out/u0-0.html"), "old\nlink\ntarget\n");
            Write(base + QStringLiteral("/out/u1-1.html"), "old\nnamed\ndirectly\n");
            QDir().mkpath(base + QStringLiteral("/tree/zz"));
            QFile::link(QStringLiteral("../../out/u0-0.html"),
                        base + QStringLiteral("/tree/zz/link.html"));
            for (const char *name : {"a", "b", "c"})
                Write(base + QStringLiteral("/place/%1.html").arg(QLatin1String(name)),
                      "1\n2\n3\n4\n5\n6\n");
            QFile::link(QStringLiteral("b.html"), base + QStringLiteral("/place/to-b.html"));
        };
        // The records of both runs, without the summaries (which hold the time taken).
        auto runWith = [&](const QString &base, const char *jobs) {
            const QByteArray b = Name(base);
            Launch toFolder;
            toFolder.folder = base;
            toFolder.args = {"remove", "line", "1",      "--out",     b + "/out",     "--flat",
                             "--jobs", jobs,   "--json", b + "/tree", "out/u1-1.html"};
            const Outcome first = execute(toFolder);
            Launch inPlace;
            inPlace.folder = base;
            inPlace.args = {"remove",
                            "line",
                            "1",
                            "--in-place",
                            "--jobs",
                            jobs,
                            "--json",
                            b + "/place/a.html",
                            "place/b.html",
                            "place/a.html",
                            "place//a.html",
                            "./place/c.html",
                            b + "/place",
                            "place/to-b.html"};
            const Outcome second = execute(inPlace);
            [&] {
                QCOMPARE(first.exitCode, 0);
                QCOMPARE(second.exitCode, 0);
            }();
            QByteArray records;
            for (const QByteArray &line : (first.out + second.out).split('\n')) {
                if (!line.startsWith("{\"summary\""))
                    records += line + '\n';
            }
            return records;
        };

        const QString one = root + QStringLiteral("/one");
        layout(one);
        const QByteArray oneRecords = runWith(one, "1");
        const auto expected = Files(one);
        // a.html named four times, b.html four (twice through the link), c.html twice.
        QCOMPARE(Read(one + QStringLiteral("/place/a.html")), QByteArray("5\n6\n"));
        QCOMPARE(Read(one + QStringLiteral("/place/b.html")), QByteArray("5\n6\n"));
        QCOMPARE(Read(one + QStringLiteral("/place/c.html")), QByteArray("3\n4\n5\n6\n"));
        QVERIFY(QFileInfo(one + QStringLiteral("/place/to-b.html")).isSymLink());
        // The last of the same names wins; the file named directly was read after the run had
        // written there. The link in the tree leads out of it: skipped, not followed.
        QCOMPARE(Read(one + QStringLiteral("/out/same.html")), QByteArray("from 7\nthird\n"));
        QVERIFY(!QFileInfo::exists(one + QStringLiteral("/out/link.html")));
        QCOMPARE(Read(one + QStringLiteral("/out/u1-1.html")), QByteArray("third\n"));

        for (int round = 0; round < 3; ++round) {
            const QString many = root + QStringLiteral("/many%1").arg(round);
            layout(many);
            QByteArray records = runWith(many, "4");
            QCOMPARE(Files(many), expected);
            QCOMPARE(records.replace(Name(many), Name(one)), oneRecords);
        }
    }

    // Files are worked on while later folders are still read; an output folder inside the
    // searched tree still gives only the files that were there when the run started, as the
    // window's list would hold them, and not the results the run writes there.
    // In place over a searched folder, a link to a file is followed only when the file is in
    // the folder; links that lead out are listed as skipped, no failure. Paths of 260 characters
    // and more are searched (that limit is the window's).
    void searchedFolderSaysWhatItSkips() {
        const QByteArray page("meta\nkeep\n");
        const QString secret = input(QStringLiteral("elsewhere/secret.html"), page);
        const QString a = input(QStringLiteral("site/a.html"), page);
        const QString deep = input(QStringLiteral("site/") + QString(130, u'd') + u'/' +
                                       QString(130, u'e') + QStringLiteral("/deep.html"),
                                   page);
        QVERIFY(QFile::link(a, root + QStringLiteral("/site/inside.html")));
        QVERIFY(QFile::link(secret, root + QStringLiteral("/site/evil.html")));
        const QStringList args{"remove", "lines-containing", "meta", "--in-place",
                               root + QStringLiteral("/site")};
        const Outcome dry = run(QStringList(args) << "--dry-run");
        QVERIFY2(dry.out.contains("1 skipped by the folder search"), dry.out.constData());

        QJsonObject summary;
        const Outcome outcome = run(QStringList(args) << "--json");
        QCOMPARE(outcome.exitCode, 0);
        std::map<QString, QString> states;
        for (const QJsonObject &record : Records(outcome.out, &summary))
            states[record.value(QStringLiteral("path")).toString().remove(root + u'/')] =
                record.value(QStringLiteral("state")).toString();
        const std::map<QString, QString> expected{
            {QStringLiteral("site/a.html"), "changed"},
            {QString(deep).remove(root + u'/'), "changed"},
            {QStringLiteral("site/evil.html"), "skipped"},
            {QStringLiteral("site/inside.html"), "unchanged"}};
        QCOMPARE(states, expected);
        QCOMPARE(summary.value(QStringLiteral("skipped")).toInt(), 1);
        QCOMPARE(Read(secret), page);
        QCOMPARE(Read(deep), QByteArray("keep\n"));
    }

    void outputFolderInsideTheSearchedTree() {
        // Many folders before the output folder, so that results are in place long before the
        // search comes to it.
        for (int folder = 0; folder < 600; ++folder)
            input(QStringLiteral("site/f%1/page%1.html").arg(folder, 3, 10, QLatin1Char('0')),
                  "meta\nkeep\n");
        input(QStringLiteral("site/zz-out/old.html"), "meta\nold\n");
        ScriptedPlatform platform;
        QStringList folders{root + QStringLiteral("/site/")};
        AddFolder::GetSubDirectories2016(platform, folders, true);
        FileListModel list;
        AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.html"), list);

        const Outcome outcome =
            run({"remove", "lines-containing", "meta", "--jobs", "2", "--json", "--out",
                 root + QStringLiteral("/site/zz-out"), root + QStringLiteral("/site")});
        QCOMPARE(outcome.exitCode, 0);
        QStringList paths;
        for (const QJsonObject &record : Records(outcome.out))
            paths << record.value(QStringLiteral("path")).toString();
        QCOMPARE(paths, TestFiles::Rows(list));
        // Each result at its path below the output folder: 600 folders, the old page and its
        // result in zz-out/zz-out.
        QCOMPARE(Entries(root + QStringLiteral("/site/zz-out")).size(), 602);
        QCOMPARE(Read(root + QStringLiteral("/site/zz-out/zz-out/old.html")), QByteArray("old\n"));
        QCOMPARE(Read(root + QStringLiteral("/site/zz-out/f599/page599.html")),
                 QByteArray("keep\n"));
    }

    // --- The display, the undo store, the output folder ---------------------------------------

    void noDisplayNeeded() {
        // The window, asked for where there is no display, says so and how to go on.
        const Outcome window = run(QStringList{});
        QCOMPARE(window.exitCode, 1);
        QVERIFY(window.err.contains("there is no display"));
        QVERIFY(window.err.contains("xvfb-run -a strelmark"));
        QVERIFY(window.err.contains("strelmark --help"));
        QCOMPARE(window.out, QByteArray());

        // The command line loads nothing of Qt Gui or Widgets.
        Launch trace;
        trace.args = {"--version"};
        trace.environment = {"LD_TRACE_LOADED_OBJECTS=1"};
        const Outcome libraries = execute(trace);
        QVERIFY(libraries.out.contains("libQt6Core"));
        QVERIFY(!libraries.out.contains("libQt6Gui"));
        QVERIFY(!libraries.out.contains("libQt6Widgets"));
    }

    // Files and folders with no command word are for the window, which needs a display.
    void filesAreForTheWindow_data() {
        QTest::addColumn<QStringList>("given");
        QTest::newRow("a file") << QStringList{"f.html"};
        QTest::newRow("a folder") << QStringList{"in"};
        QTest::newRow("a folder and a file") << QStringList{"in", "f.html"};
    }
    void filesAreForTheWindow() {
        QFETCH(QStringList, given);
        input(QStringLiteral("f.html"), "a");
        input(QStringLiteral("in/g.html"), "b");
        const Outcome window = run(given);
        QCOMPARE(window.exitCode, 1);
        QVERIFY2(window.err.contains("there is no display"), window.err.constData());
    }

    // The runs listed newest first; an older one taken back by its number, after a dry run
    // that tells what it would do and changes nothing.
    void concurrentRunsInPlaceLoseNothing_data() {
        QTest::addColumn<QString>("firstUndo");  // the run undone first, by its number
        QTest::newRow("newest first") << QStringLiteral("1");
        QTest::newRow("oldest first") << QStringLiteral("2");
    }

    // Two runs in place over the same files at once: each file loses the lines of both, and
    // undoing one run, then the other, in either order, gives back every file as it was.
    void concurrentRunsInPlaceLoseNothing() {
        QFETCH(QString, firstUndo);
        constexpr int Count = 3000;
        for (int n = 0; n < Count; ++n)
            input(QStringLiteral("in/p%1.html").arg(n), "a " + QByteArray::number(n) + "\nb\nc\n");
        auto launch = [&](const char *condition) {
            Launch launch;
            launch.args = {"remove",  "lines-containing",
                           condition, "--in-place",
                           "--quiet", "--jobs",
                           "2",       "--ext",
                           "html",    Name(root + QStringLiteral("/in"))};
            return prepared(launch);
        };
        const pid_t first = Child::Start(launch("a "));
        QVERIFY(first > 0);
        const Outcome second = Child::Run(launch("b"));
        int status = -1;
        QCOMPARE(::waitpid(first, &status, 0), first);
        QCOMPARE(status, 0);
        QCOMPARE(second.exitCode, 0);
        for (int n = 0; n < Count; ++n)
            QCOMPARE(Read(root + QStringLiteral("/in/p%1.html").arg(n)), QByteArray("c\n"));
        for (const QStringList &undo : {QStringList{"undo", firstUndo}, QStringList{"undo"}}) {
            const Outcome undone = run(undo);
            QVERIFY2(undone.exitCode == 0 && !undone.out.contains("Left alone"),
                     undone.out.constData());
        }
        for (int n = 0; n < Count; ++n)
            QCOMPARE(Read(root + QStringLiteral("/in/p%1.html").arg(n)),
                     "a " + QByteArray::number(n) + "\nb\nc\n");
        QCOMPARE(run({"undo"}).exitCode, 1);
    }

    // Every file of the home folder, the undo store's among them: the store's records and kept
    // files are never searched, listed nor written.
    void undoStoreIsNeverSearched() {
        const QString page = input(QStringLiteral("home/in/a.html"), "in-place\nkeep\n");
        QCOMPARE(run({"remove", "lines-containing", "in-place", "--in-place", page}).exitCode, 0);
        const auto store = Snapshot(undoStore());
        QVERIFY(store.size() > 2);
        const QStringList args = {"remove", "lines-containing", "in-place",   "--ext",
                                  "*",      "--hidden",         "--in-place", home()};
        const Outcome dry = run(args + QStringList{"--dry-run", "--json"});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(!dry.out.contains(Name(undoStore())), dry.out.constData());
        QCOMPARE(run(args).exitCode, 0);
        for (const auto &[path, identity] : store)
            QCOMPARE(Snapshot(undoStore()).at(path), identity);
    }

    // A run whose record lost its last line: undo refuses it, naming the run and --force, and
    // keeps it; undo --force puts back what the record still names.
    void undoForceTakesBackADamagedRun() {
        const QString a = input(QStringLiteral("in/a.html"), "meta\nA");
        const QString b = input(QStringLiteral("in/b.html"), "meta\nB");
        QCOMPARE(run({"remove", "lines-containing", "meta", "--in-place", a, b}).exitCode, 0);
        const QStringList runs = QDir(undoStore()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(runs.size(), 1);
        const QString manifest = undoStore() + u'/' + runs[0] + QStringLiteral("/manifest");
        QByteArray text = Read(manifest);
        const qsizetype first = text.indexOf("\nR ") + 1;
        text.truncate(text.indexOf('\n', first) + 1);  // the first record only
        Write(manifest, text);
        const bool named = text.mid(first).contains("a.html");

        const Outcome refused = run({"undo"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("The record of the run " + runs[0].toUtf8()),
                 refused.err.constData());
        QVERIFY(refused.err.contains("'strelmark undo --force' puts back what it names."));
        QCOMPARE(QDir(undoStore()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), runs);
        QCOMPARE(Read(a), QByteArray("A"));
        const Outcome forced = run({"undo", "--force"});
        QVERIFY2(forced.exitCode == 0, forced.err.constData());
        QCOMPARE(Read(a), QByteArray(named ? "meta\nA" : "A"));
        QCOMPARE(Read(b), QByteArray(named ? "B" : "meta\nB"));
    }

    // A file the undo store keeps, named, listed, or reached by a link the folder search finds,
    // is listed as skipped and left as it is; --out in the store is refused before anything is
    // made there.
    void undoStoreIsNeverTaken_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("named") << "named";
        QTest::newRow("listed by --files-from") << "listed";
        QTest::newRow("a link found by the search") << "link";
        QTest::newRow("--out into the store") << "out";
    }
    void undoStoreIsNeverTaken() {
        QFETCH(QString, way);
        const QByteArray original("in-place\nkeep\n");
        const QString page = input(QStringLiteral("home/in/a.html"), original);
        QCOMPARE(run({"remove", "lines-containing", "in-place", "--in-place", page}).exitCode, 0);
        QString kept;  // the store's copy of the original
        for (const auto &[path, bytes] : Files(undoStore()))
            kept = bytes == original ? undoStore() + u'/' + path : kept;
        QVERIFY(!kept.isEmpty());
        const auto store = Snapshot(undoStore());
        QStringList args{"remove", "lines-containing", "in-place", "--json"};
        QString skipped = kept;  // the path listed as skipped
        if (way == u"named") {
            args << "--in-place" << kept;
        } else if (way == u"listed") {
            Write(root + QStringLiteral("/list"), Name(kept) + '\n');
            args << "--in-place"
                 << "--files-from" << root + QStringLiteral("/list");
        } else if (way == u"link") {
            skipped = home() + QStringLiteral("/in/b.html");
            QVERIFY(QFile::link(kept, skipped));
            args << "--ext"
                 << "*"
                 << "--in-place" << home();
        } else {
            args << "--out" << undoStore() + QStringLiteral("/results") << "--mkdir" << page;
        }
        const Outcome outcome = run(args);
        const auto after = Snapshot(undoStore());
        for (const auto &[path, identity] : store)
            QCOMPARE(after.at(path), identity);
        if (way == u"out") {
            QCOMPARE(outcome.exitCode, 2);
            QVERIFY2(outcome.err.contains("is in the undo store"), outcome.err.constData());
            QVERIFY(!QFileInfo::exists(undoStore() + QStringLiteral("/results")));
            return;
        }
        QCOMPARE(outcome.exitCode, 0);
        QJsonObject summary;
        QStringList states;
        for (const QJsonObject &record : Records(outcome.out, &summary)) {
            if (record.value(QStringLiteral("path")).toString() == skipped)
                states << record.value(QStringLiteral("state")).toString() + u' ' +
                              record.value(QStringLiteral("skipped")).toString();
        }
        QCOMPARE(states, QStringList{"skipped Skipped: a file in the undo store"});
        QCOMPARE(summary.value(QStringLiteral("skipped")).toInt(), 1);
    }

    // A dangling symbolic link where a result goes in --out: the file fails, its output named
    // with the reason, and nothing is made where the link points.
    void outputThroughADanglingLinkFails() {
        const QString page = input(QStringLiteral("in/a.html"), "meta\nkeep\n");
        QVERIFY(QDir().mkpath(root + QStringLiteral("/out")));
        const QString target = root + QStringLiteral("/elsewhere.html");
        const QString link = root + QStringLiteral("/out/a.html");
        QVERIFY(QFile::link(target, link));
        const Outcome outcome = run(
            {"remove", "lines-containing", "meta", "--out", root + QStringLiteral("/out"), page});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(
            outcome.err.contains("Not writing through a dangling symbolic link: " + Name(link)),
            outcome.err.constData());
        QVERIFY2(outcome.out.contains("1 failed"), outcome.out.constData());
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(Read(page), QByteArray("meta\nkeep\n"));
    }

    void undoOfAChosenRun() {
        const QString a = input(QStringLiteral("in/a.html"), "meta\nA");
        const QString b = input(QStringLiteral("in/b.html"), "first\nB");
        QCOMPARE(run({"remove", "lines-containing", "meta", "--in-place", a}).exitCode, 0);
        QCOMPARE(run({"remove", "line", "1", "--in-place", b}).exitCode, 0);
        const Outcome list = run({"undo", "--list"});
        QCOMPARE(list.exitCode, 0);
        const int newer = list.out.indexOf("line 1; 1 of 1 can still be taken back");
        QVERIFY2(newer > 0, list.out.constData());
        QVERIFY(list.out.indexOf("lines-containing \"meta\"; 1 of 1") > newer);
        QVERIFY(
            list.out.contains("by the command line: 1 file in place, in " + Name(root) + "/in"));

        const Outcome dry = run({"undo", "2", "--dry-run"});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY2(dry.out.contains("Would restore: " + Name(a)), dry.out.constData());
        QCOMPARE(Read(a), QByteArray("A"));
        QCOMPARE(run({"undo", "2"}).exitCode, 0);
        QCOMPARE(Read(a), QByteArray("meta\nA"));
        QCOMPARE(Read(b), QByteArray("B"));
        QCOMPARE(run({"undo", "2"}).exitCode, 1);  // one run is left
    }

    void undoTakesBackAnInPlaceRun() {
        const QByteArrayList pages = {"meta\nkeep\n", "keep\r\nplain", "meta only", "x\nMETA\ny"};
        QStringList args = {"remove", "lines-containing", "meta", "--in-place"};
        for (int i = 0; i < pages.size(); ++i)
            args << input(QStringLiteral("in/%1.html").arg(i), pages[i]);
        const Outcome dry = run(args + QStringList{"--dry-run"});
        QCOMPARE(dry.exitCode, 0);
        QVERIFY(!QFileInfo::exists(undoStore()));

        const Outcome removed = run(args);
        QCOMPARE(removed.exitCode, 0);
        QCOMPARE(Read(root + QStringLiteral("/in/0.html")), QByteArray("keep\n"));
        QCOMPARE(Read(root + QStringLiteral("/in/3.html")), QByteArray("x\ny"));

        const Outcome undo = run({"undo"});
        QVERIFY2(undo.exitCode == 0, undo.err.constData());
        QVERIFY(undo.out.startsWith("Undid the run of the command line started "));
        QVERIFY(undo.out.contains("2 restored, 0 removed, 0 left alone, 0 failed."));
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(Read(root + QStringLiteral("/in/%1.html").arg(i)), pages[i]);

        const Outcome again = run({"undo"});
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(again.err, QByteArray("strelmark: There is no run to undo.\n"));
    }

    // A working folder whose path is longer than the system takes in one call (sed -i works
    // there): its files, named and searched, are edited in place and undone.
    void deepWorkingFolder() {
        const QByteArray piece(200, 'd');
        QByteArray deep = Name(root) + "/deep";
        QCOMPARE(::mkdir(deep.constData(), 0755), 0);
        int fd = ::open(deep.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < 24 && fd >= 0; ++level) {
            QCOMPARE(::mkdirat(fd, piece.constData(), 0755), 0);
            const int below = ::openat(fd, piece.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = below;
            deep += '/' + piece;
        }
        QVERIFY(fd >= 0 && deep.size() > PATH_MAX);
        QCOMPARE(::mkdirat(fd, "sub", 0755), 0);
        auto put = [&](const char *name, const QByteArray &bytes) {
            const int file = ::openat(fd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            QVERIFY(file >= 0 && ::write(file, bytes.data(), bytes.size()) == bytes.size());
            ::close(file);
        };
        auto got = [&](const char *name) {
            QByteArray bytes(64, '\0');
            const int file = ::openat(fd, name, O_RDONLY | O_CLOEXEC);
            bytes.resize(file < 0 ? 0 : std::max<ssize_t>(0, ::read(file, bytes.data(), 64)));
            ::close(file);
            return bytes;
        };
        put("a.html", "meta\nA");
        put("sub/b.html", "meta\nB");
        Launch launch;
        launch.folder = QFile::decodeName(deep);
        launch.args = {"remove", "lines-containing", "meta", "--in-place", "a.html", "sub"};
        const Outcome removed = execute(launch);
        QVERIFY2(removed.exitCode == 0, removed.err.constData());
        QCOMPARE(got("a.html") + got("sub/b.html"), QByteArray("AB"));
        launch.args = {"undo"};
        const Outcome undo = execute(launch);
        QVERIFY2(undo.exitCode == 0, undo.out + undo.err);
        QVERIFY2(undo.out.contains("2 restored,"), undo.out.constData());
        QCOMPARE(got("a.html") + got("sub/b.html"), QByteArray("meta\nAmeta\nB"));
        ::close(fd);
        Launch remove;  // rm goes as deep as it must
        remove.program = "/bin/rm";
        remove.args = {"-rf", Name(root) + "/deep"};
        QCOMPARE(Child::Run(remove).exitCode, 0);
    }

    // Another user's set-id file, edited and undone by a user who may not give it its owner
    // back: it never comes back with set-id bits under the wrong owner, and the undo says what
    // it could not give back.
    void undoKeepsSetIdBitsOnlyWithTheirOwner_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("set-group-ID, 2777") << 02777;
        QTest::newRow("set-user-ID, 4777") << 04777;
        QTest::newRow("set-group-ID, no group execute, 2766") << 02766;
    }
    void undoKeepsSetIdBitsOnlyWithTheirOwner() {
        QFETCH(int, mode);
        if (!Unprivileged::RunningAsRoot())
            QSKIP("only root makes another user's file in a folder the user may write");
        QTemporaryDir files;  // the user's folder, not the fixture's (given whole to the user)
        const QString page = files.filePath(QStringLiteral("a.html"));
        Write(page, "meta\nkeep\n");
        QCOMPARE(::chmod(Name(page).constData(), mode_t(mode)), 0);
        uid_t user;
        gid_t group;
        Unprivileged::NobodyIds(user, group);
        QCOMPARE(::chown(Name(files.path()).constData(), user, group), 0);
        QCOMPARE(::chmod(Name(files.path()).constData(), 0755), 0);
        // The fixture's tree is given to the user once, before the run: the store's link to
        // the original stays root's, as it would be.
        Unprivileged::GiveTree(root);
        auto asUser = [&](QByteArrayList args) {
            Launch launch;
            launch.args = std::move(args);
            launch = prepared(std::move(launch));
            launch.unprivileged = true;
            return Child::Run(launch);
        };
        const Outcome removed =
            asUser({"remove", "lines-containing", "meta", "--in-place", Name(page)});
        if (removed.exitCode == Unprivileged::CannotDrop || removed.exitCode == 126)
            QSKIP("cannot run the program as an unprivileged user here");
        QVERIFY2(removed.exitCode == 0, removed.err.constData());
        QCOMPARE(Read(page), QByteArray("keep\n"));
        const Outcome undo = asUser({"undo"});
        QVERIFY2(undo.exitCode == 0, undo.err.constData());
        QCOMPARE(Read(page), QByteArray("meta\nkeep\n"));
        struct stat info {};
        QCOMPARE(::stat(Name(page).constData(), &info), 0);
        if (info.st_uid != 0 || info.st_gid != 0) {
            QCOMPARE(info.st_mode & 07777, mode_t(mode) & 0777);
            QVERIFY2(undo.out.contains("Restored without owner, group: " + Name(page) + '\n'),
                     undo.out.constData());
        } else {
            QCOMPARE(info.st_mode & 07777, mode_t(mode));  // its own: the original itself
        }
    }

    void outputFolderMadeOnRequest() {
        const QString page = input(QStringLiteral("in/a.html"), "meta\nkeep\n");
        const QString empty = input(QStringLiteral("in/b.html"), "meta\n");
        const QString target = root + QStringLiteral("/made/below/here");

        // A dry run makes nothing, and tells what the run would do in the new folder.
        const auto before = Snapshot(root);
        const Outcome dry = run({"remove", "lines-containing", "meta", "--out", target, "--mkdir",
                                 "--dry-run", "--json", page, empty});
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(Snapshot(root), before);
        const QList<QJsonObject> records = Records(dry.out);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].value(QStringLiteral("state")).toString(), QStringLiteral("changed"));
        QCOMPARE(records[0].value(QStringLiteral("output")).toString(), target + "/a.html");
        QCOMPARE(records[1].value(QStringLiteral("state")).toString(), QStringLiteral("empty"));

        const Outcome made =
            run({"remove", "lines-containing", "meta", "--out", target, "--mkdir", page, empty});
        QCOMPARE(made.exitCode, 0);
        QCOMPARE(Entries(target), QStringList{QStringLiteral("a.html")});
        QCOMPARE(Read(target + QStringLiteral("/a.html")), QByteArray("keep\n"));
    }

    // --- Diff, progress ------------------------------------------------------------------------

    // The diff reads as GNU diff's of the file and the result the run writes.
    void diffAsGnuDiffGivesIt_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("operation");
        QByteArray numbered;
        for (int i = 1; i <= 40; ++i)
            numbered += "line " + QByteArray::number(i) + (i == 5 || i == 30 ? " cut" : "") + '\n';
        QByteArray close;
        for (int i = 1; i <= 30; ++i)
            close += "line " + QByteArray::number(i) +
                     (i == 5 || i == 12 || i == 20 ? " cut" : "") + '\n';
        const QStringList cut = {"lines-containing", "cut", "--keep-line-ends"};
        QTest::newRow("hunks apart") << numbered << cut;
        QTest::newRow("hunks six lines apart and seven") << close << cut;
        QTest::newRow("first line, no line end at the last")
            << QByteArray("a\nb\nc\nd\ne") << QStringList{"line", "1", "--keep-line-ends"};
        QTest::newRow("last line without a line end")
            << QByteArray("a\nb\nc\nd\nx e")
            << QStringList{"lines-containing", "x", "--keep-line-ends"};
        QTest::newRow("every line end changes")
            << QByteArray("one\ntwo\nthree\n") << QStringList{"blank-lines", "--crlf"};
        QTest::newRow("characters removed") << QByteArray("abc\nxabx\nnone\nzab\n\nlast ab")
                                            << QStringList{"text", "AB", "--keep-line-ends"};
        QTest::newRow("lines kept in part") << QByteArray("keep T\nno\nTT\n\nTiTlet\n")
                                            << QStringList{"all-but-text", "t", "--keep-line-ends"};
    }
    void diffAsGnuDiffGivesIt() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, operation);
        const QString diffTool = QStandardPaths::findExecutable(QStringLiteral("diff"));
        if (diffTool.isEmpty())
            QSKIP("GNU diff is not installed");
        const QString page = input(QStringLiteral("in/page.html"), content);
        const QString out = root + QStringLiteral("/out");
        const QString real = root + QStringLiteral("/real");
        QDir().mkpath(out);
        QDir().mkpath(real);

        const auto before = Snapshot(root);
        const Outcome diff =
            run(QStringList{"remove"} + operation + QStringList{"--out", out, "--diff", page});
        QCOMPARE(diff.exitCode, 0);
        QCOMPARE(Snapshot(root), before);
        QCOMPARE(run(QStringList{"remove"} + operation + QStringList{"--out", real, page}).exitCode,
                 0);

        Launch gnu;
        gnu.program = Name(diffTool);
        gnu.args = {"-u",
                    "--label",
                    Name(page),
                    "--label",
                    Name(out) + "/page.html",
                    Name(page),
                    Name(real) + "/page.html"};
        const QByteArray expected = Child::Run(gnu).out;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(diff.out, expected);
    }

    void diffSaysWhatIsNotWritten() {
        const QString page = input(QStringLiteral("in/page.html"), "meta\nMETA\n");
        const QString same = input(QStringLiteral("in/same.html"), "plain\n");
        QDir().mkpath(root + QStringLiteral("/out"));
        const Outcome diff = run({"remove", "lines-containing", "meta", "--keep-line-ends", "--out",
                                  root + QStringLiteral("/out"), "--diff", page, same});
        QCOMPARE(diff.exitCode, 0);
        QCOMPARE(QString::fromUtf8(diff.out),
                 QStringLiteral("Every line of %1 would be removed: no result is written.\n"
                                "The result of %2 is the same text; it would be written to "
                                "%3/out/same.html.\n")
                     .arg(page, same, root));
    }

    // On a terminal, one line redrawn in place on standard error, fitted to its width and
    // cleared at the end; elsewhere nothing.
    void progressOnATerminal() {
        const QString deep =
            QStringLiteral("in/a-folder-with-a-long-name/and-another-one-below-it");
        QStringList paths;
        for (int n = 0; n < 300; ++n)
            paths << input(deep + QStringLiteral("/page-%1.html").arg(n), "meta\nkeep\n");
        QDir().mkpath(root + QStringLiteral("/out"));

        Launch launch;
        launch.args = {"remove", "lines-containing",  "meta",
                       "--out",  Name(root) + "/out", Name(root + QStringLiteral("/in"))};
        QByteArray shown;
        const Outcome outcome = onTerminal(launch, false, shown);
        QCOMPARE(outcome.exitCode, 0);
        // Redrawn at most ten times a second, so a quick run may show only its first count,
        // taken while the folders are still being searched; a later one names a file.
        static const QRegularExpression count(
            QStringLiteral("\r(\\d+)/\\d+ files  \\d+\\.\\d MB/s  (\\S*)"));
        QRegularExpressionMatchIterator draws = count.globalMatch(QString::fromUtf8(shown));
        QVERIFY2(draws.hasNext(), shown.constData());
        while (draws.hasNext()) {
            const QRegularExpressionMatch draw = draws.next();
            if (draw.captured(1) != QStringLiteral("0"))
                QVERIFY2(draw.captured(2).contains(QStringLiteral("page-")), shown.constData());
        }
        QVERIFY(shown.endsWith("\r\x1b[K"));
        for (QByteArray line : shown.split('\r')) {
            line.replace("\x1b[K", "");
            QVERIFY2(line.size() < 60, line.constData());
        }

        // Not a terminal: nothing.
        const Outcome piped = run({"remove", "lines-containing", "meta", "--out",
                                   root + QStringLiteral("/out"), root + QStringLiteral("/in")});
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.err, QByteArray());
    }

    // Control characters in names reach a terminal as "?" (the listing on standard output, the
    // errors and the progress line on standard error), so that a name cannot drive it; the JSON
    // records keep the exact bytes.
    void controlCharactersInNamesOnATerminal_data() {
        QTest::addColumn<bool>("output");
        QTest::addColumn<bool>("progress");  // a run that writes: its progress line is drawn
        QTest::newRow("listing") << true << false;
        QTest::newRow("errors") << false << false;
        QTest::newRow("progress line") << false << true;
    }
    void controlCharactersInNamesOnATerminal() {
        QFETCH(bool, output);
        QFETCH(bool, progress);
        const QString evil = input(QStringLiteral("evil\x1b]0;owned\a\u009b2J.html"), "meta\n");
        const QString gone = root + QStringLiteral("/gone\x1b[2J.html");
        Launch launch;
        launch.args = {"remove", "lines-containing", "meta"};
        launch.args << (progress ? QByteArrayList{"--mkdir", "-o", Name(root) + "/out"}
                                 : QByteArrayList{"-n", "-o", Name(root)});
        // The line names a file as soon as one is worked on, then at most every 100 ms; any of
        // these names it shows is one to escape.
        for (int n = 0; progress && n < 20; ++n)
            input(QStringLiteral("many/evil\x1b]0;owned\a\u009b2J-%1.html").arg(n), "meta\nkeep\n");
        if (progress)
            launch.args << Name(root) + "/many";
        launch.args << Name(evil) << Name(gone);
        QByteArray shown;
        onTerminal(launch, output, shown);
        for (const char *raw : {"\x1b]0", "\a", "\xc2\x9b", "\x1b[2J"})
            QVERIFY2(!shown.contains(raw), shown.constData());
        QVERIFY2(shown.contains("gone?[2J.html"), shown.constData());
        if (output)
            QVERIFY2(shown.contains("evil?]0;owned??2J.html: "), shown.constData());
        if (progress) {
            static const QRegularExpression drawn(
                QStringLiteral("(owned\\?\\?2J(-\\d+)?|gone\\?\\[2J)\\.html\x1b\\[K"));
            QVERIFY2(drawn.match(QString::fromUtf8(shown)).hasMatch(),
                     shown.right(300).constData());
            return;  // the records: as the other rows
        }

        launch.args.insert(3, "--json");
        const QList<QJsonObject> records = Records(execute(launch).out);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0].value(QStringLiteral("path")).toString(), evil);
        QCOMPARE(records[1].value(QStringLiteral("path")).toString(), gone);
    }

    // Names of any bytes but '/' and NUL, as sed takes them: searched, named or listed, they are
    // edited under their exact bytes, in place or into --out with the tree kept; a terminal
    // shows each byte that is not UTF-8 as an octal escape, the JSON records keep the bytes
    // ("\udcXX", and "path_hex"), and the undo takes the run back.
    void namesOfAnyBytes_data() {
        QTest::addColumn<QByteArrayList>("given");  // after the operation's words
        QTest::addColumn<bool>("named");            // the files' paths follow, or their list
        QTest::addColumn<QByteArray>("results");    // what stands for "site/" in the results
        const QByteArrayList into{"--out", "out", "--mkdir", "--keep-tree"};
        QTest::newRow("searched, in place")
            << QByteArrayList{"-i", "site"} << false << QByteArray("site/");
        QTest::newRow("searched, into --out")
            << into + QByteArrayList{"site"} << false << QByteArray("out/");
        QTest::newRow("named, into --out") << into << true << QByteArray("out/site/");
        QTest::newRow("listed, in place") << QByteArrayList{"-i", "--files-from", "list", "--null"}
                                          << false << QByteArray("site/");
    }
    void namesOfAnyBytes() {
        QFETCH(QByteArrayList, given);
        QFETCH(bool, named);
        QFETCH(QByteArray, results);
        // Latin-1, a lone 0xFF (a folder's name too), valid "é" then a sequence cut short.
        const QByteArrayList names{"caf\xe9.html", "\xff/\xff.html",
                                   "\xff/mix\xc3\xa9\xe2\x82.html"};
        QByteArray list;
        for (const QByteArray &name : names) {
            list += "site/" + name + '\0';
            if (named)
                given << "site/" + name;
        }
        QVERIFY(WriteBytes(Name(root) + "/list", list));
        tree->rawFolder("site");
        tree->rawFolder("site/\xff");
        for (const QByteArray &name : names)
            QVERIFY(WriteBytes(Name(root) + "/site/" + name, "meta\nkeep\n"));
        Launch launch;
        launch.args = QByteArrayList{"remove", "lines-containing", "meta", "-n"} + given;
        QByteArray shown;
        QCOMPARE(onTerminal(launch, true, shown).exitCode, 0);
        QVERIFY2(!shown.contains('\xe9') && !shown.contains('\xff'), shown.constData());
        QVERIFY2(shown.contains("site/caf\\351.html: "), shown.constData());
        QVERIFY2(shown.contains("\\377/mix\xc3\xa9\\342\\202.html: "), shown.constData());

        launch.args[3] = "--json";
        const Outcome outcome = execute(launch);
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY2(outcome.out.contains("\"site/caf\\udce9.html\""), outcome.out.constData());
        QSet<QByteArray> paths;
        for (const QJsonObject &record : Records(outcome.out)) {
            const std::string path =
                Main::PathBytes(record.value(QStringLiteral("path")).toString());
            paths << QByteArray::fromStdString(path);
            QCOMPARE(QByteArray::fromStdString(path).toHex(),
                     record.value(QStringLiteral("path_hex")).toString().toLatin1());
        }
        QCOMPARE(paths.size(), names.size());
        for (const QByteArray &name : names) {
            QVERIFY(paths.contains("site/" + name));
            QCOMPARE(ReadBytes(Name(root) + '/' + results + name), QByteArray("keep\n"));
        }
        const Outcome undo = run({"undo"});
        QVERIFY2(undo.exitCode == 0, undo.err.constData());
        const QByteArray told = results == "site/" ? "Restored: " : "Removed: ";
        QVERIFY2(undo.out.contains(told + Name(root) + '/' + results + names[0] + '\n'),
                 undo.out.constData());
        for (const QByteArray &name : names) {
            QCOMPARE(ReadBytes(Name(root) + "/site/" + name), QByteArray("meta\nkeep\n"));
            QCOMPARE(::access((Name(root) + '/' + results + name).constData(), F_OK) == 0,
                     results == "site/");
        }
    }
};

}  // namespace

QTEST_MAIN(CliTest)
#include "test_cli.moc"
