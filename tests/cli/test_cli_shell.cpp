// The command line beside the shell's other tools: its defaults (line ends, where results go),
// letters for options and their documentation, the folder search's filters, lists of files,
// standard input as a filter, colour, the progress line where it cannot be erased, and the
// completions of bash, zsh and fish. The real program as a child process (CliFixture.h).

#include "CliFixture.h"

namespace {

using namespace CliTests;

class CliShellTest : public Fixture {
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // The filters of the folder search; node_modules can be listed but not entered, so a search
    // that opened it would fail to read its page.
    void searchFilters_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("listed");  // the exit status, then the paths
        const QStringList all = {
            "a.html",     "b.htm",          ".dot/f.html", "build/g.html", "node_modules/n.html",
            "sub/d.html", "sub/deep/e.html"};
        QTest::newRow("default") << QStringList() << QStringList{"1"} + all;
        QTest::newRow("extensions listed and repeated")
            << QStringList{"-e", "php,htm", "--ext", "txt"}
            << QStringList{"0", "b.htm", "c.php", "keep.php", "notes.txt"};
        QTest::newRow("glob on the path")
            << QStringList{"-g", "sub/**"} << QStringList{"0", "sub/d.html", "sub/deep/e.html"};
        QTest::newRow("glob on the name")
            << QStringList{"--glob=*.php"} << QStringList{"0", "c.php", "keep.php"};
        QTest::newRow("excluded folders are not opened")
            << QStringList{"-E", "node_modules", "--exclude", "sub/deep/"}
            << QStringList{"0", "a.html", "b.htm", ".dot/f.html", "build/g.html", "sub/d.html"};
        QTest::newRow("hidden files")
            << QStringList{"-HE", "node_modules"}
            << QStringList{"0",           ".hid.html",    "a.html",     "b.htm",
                           ".dot/f.html", "build/g.html", "sub/d.html", "sub/deep/e.html"};
        QTest::newRow("one level")
            << QStringList{"--max-depth", "1"} << QStringList{"0", "a.html", "b.htm"};
        QTest::newRow("two levels")
            << QStringList{"--max-depth=2", "-E", "node_modules"}
            << QStringList{"0", "a.html", "b.htm", ".dot/f.html", "build/g.html", "sub/d.html"};
        QTest::newRow("ignore files")
            << QStringList{"--gitignore", "-e", "html,php", "-E", "node_modules"}
            << QStringList{"0", "a.html", "keep.php", ".dot/f.html", "sub/d.html"};
    }
    void searchFilters() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, listed);
        for (const char *name : {"a.html", "b.htm", "c.php", "keep.php", "notes.txt", ".hid.html",
                                 "sub/d.html", "sub/deep/e.html", "build/g.html", ".dot/f.html",
                                 ".git/x.html", ".hg/y.html", ".svn/z.html", "node_modules/n.html"})
            input(QStringLiteral("site/") + QLatin1String(name), "x\n");
        input(QStringLiteral("site/.gitignore"), "*.php\n!keep.php\nbuild/\n");
        input(QStringLiteral("site/sub/.ignore"), "deep/\n");
        Launch launch;
        launch.unprivileged = true;
        launch.args = {"remove", "text", "x", "-n", "--json", "-o", Name(root)};
        for (const QString &option : options)
            launch.args << Name(option);
        launch.args << Name(root + QStringLiteral("/site"));
        Unprivileged::GiveTree(root);
        QVERIFY(::chmod(Name(root + QStringLiteral("/site/node_modules")).constData(), 0600) == 0);
        const Outcome outcome = execute(launch);
        if (outcome.exitCode == Unprivileged::CannotDrop || outcome.exitCode == 126)
            QSKIP("cannot run the program as an unprivileged user here");
        QCOMPARE(ListedBelow(outcome, root + QStringLiteral("/site")), listed);
    }

    // Which ignore file wins: the nearer folder's, .ignore over .gitignore, the repository's
    // info/exclude last; a pattern with a "/" is anchored to its own file's folder.
    void ignoreFilesPrecedence_data() {
        QTest::addColumn<QStringList>("files");  // path below the repository, then its lines
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("info/exclude") << QStringList{".git/info/exclude", "*.htm"}
                                      << QStringList{"0", "a.html", "sub/c.html"};
        QTest::newRow("the top's .gitignore over info/exclude")
            << QStringList{".git/info/exclude", "*.htm", ".gitignore", "!b.htm"}
            << QStringList{"0", "a.html", "b.htm", "sub/c.html"};
        QTest::newRow("a folder's own over its parent's")
            << QStringList{".gitignore", "*.html", "site/sub/.gitignore", "!c.html"}
            << QStringList{"0", "b.htm", "sub/c.html"};
        QTest::newRow(".ignore over .gitignore")
            << QStringList{"site/.gitignore", "a.html", "site/.ignore", "!a.html"}
            << QStringList{"0", "a.html", "b.htm", "sub/c.html"};
        QTest::newRow("anchored to its folder")
            << QStringList{".gitignore", "/a.html\nsite/b.htm\n/sub/"}
            << QStringList{"0", "a.html", "sub/c.html"};
        QTest::newRow("any folders between")
            << QStringList{".gitignore", "site/**/c.html"} << QStringList{"0", "a.html", "b.htm"};
    }
    void ignoreFilesPrecedence() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, listed);
        const QString repository = root + QStringLiteral("/repo");
        for (const char *name : {"site/a.html", "site/b.htm", "site/sub/c.html"})
            input(QStringLiteral("repo/") + QLatin1String(name), "x\n");
        QDir().mkpath(repository + QStringLiteral("/.git/info"));
        for (qsizetype k = 0; k + 1 < files.size(); k += 2)
            Write(repository + u'/' + files[k], files[k + 1].toUtf8() + '\n');
        const Outcome outcome = run({"remove", "text", "x", "-n", "--json", "-o", root,
                                     "--gitignore", repository + QStringLiteral("/site")});
        QCOMPARE(ListedBelow(outcome, repository + QStringLiteral("/site")), listed);
    }

    // Globs as a line of an ignore file reads: 0 no match, 1 it leaves out, 2 it takes back.
    void globsReadAsIgnoreFiles_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<int>("verdict");
        QTest::newRow("name at any depth") << "*.html"
                                           << "a/b/c.html" << false << 1;
        QTest::newRow("star stops at a slash") << "a/*.html"
                                               << "a/b/c.html" << false << 0;
        QTest::newRow("leading **") << "**/b/*.html"
                                    << "a/b/c.html" << false << 1;
        QTest::newRow("** in the middle, no folder") << "a/**/c.html"
                                                     << "a/c.html" << false << 1;
        QTest::newRow("trailing ** is what is below") << "a/**"
                                                      << "a" << true << 0;
        QTest::newRow("folders only") << "build/"
                                      << "build" << false << 0;
        QTest::newRow("folder by its name") << "build/"
                                            << "x/build" << true << 1;
        QTest::newRow("taken back") << "!keep.html"
                                    << "keep.html" << false << 2;
        QTest::newRow("question mark") << "?.htm"
                                       << "ab.htm" << false << 0;
        QTest::newRow("set") << "[a-c].htm"
                             << "b.htm" << false << 1;
        QTest::newRow("set left out") << "[!a-c].htm"
                                      << "b.htm" << false << 0;
        QTest::newRow("escaped") << "\\!x\\*"
                                 << "!x*" << false << 1;
        QTest::newRow("trailing blanks") << "a.htm  "
                                         << "a.htm" << false << 1;
        QTest::newRow("letter case counts") << "*.HTML"
                                            << "a.html" << false << 0;
        QTest::newRow("comment") << "# a.htm"
                                 << "# a.htm" << false << 0;
        QTest::newRow("many stars, no match")
            << QStringLiteral("*a").repeated(12) + u'b' << QString(80, u'a') << false << 0;
    }
    void globsReadAsIgnoreFiles() {
        QFETCH(QString, line);
        QFETCH(QString, path);
        QFETCH(bool, folder);
        QFETCH(int, verdict);
        const std::optional<Cli::Glob> glob = Cli::Glob::Parse(line);
        const QString name = path.mid(path.lastIndexOf(u'/') + 1);
        const int found = !glob || !glob->matches(path, name, folder) ? 0 : glob->negated() ? 2 : 1;
        QCOMPARE(found, verdict);
    }

    // --help and the manual page's list of options name every option of the table, with its
    // letter, and nothing else; the completions come from the same table. The manual's list of
    // operations is the table of operations, in its order.
    void everyOptionIsDocumented() {
        QFile manual(QStringLiteral(STRELMARK_MANUAL));
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(manual.readAll());
        QStringList operations, expectedOperations;
        const qsizetype operationsFrom = text.indexOf(QStringLiteral("\n.SH OPERATIONS\n"));
        const QString operationsSection =
            text.mid(operationsFrom,
                     text.indexOf(QStringLiteral("\n.SH "), operationsFrom + 1) - operationsFrom);
        static const QRegularExpression entry(QStringLiteral("\n\\.TP\n\\.BI? ([^ \n]+)"));
        for (const auto &match : entry.globalMatch(operationsSection))
            operations << match.captured(1).remove(u'\\');
        for (const Operations::OperationInfo &info : Operations::OperationTable)
            expectedOperations << QString::fromUtf8(info.name);
        QCOMPARE(operations, expectedOperations);
        const qsizetype from = text.indexOf(QStringLiteral("\n.SH OPTIONS\n"));
        const QString section =
            text.mid(from, text.indexOf(QStringLiteral("\n.SH "), from + 1) - from);
        QStringList documented;  // "--name -x" of each entry
        const QStringList lines = section.split(u'\n');
        static const QRegularExpression word(
            QStringLiteral("(?:^|[ \"])(--?[A-Za-z0-9][a-z0-9-]*)"));
        for (qsizetype k = 0; k + 1 < lines.size(); ++k) {
            if (lines[k] != QLatin1String(".TP"))
                continue;
            QStringList names;
            for (const auto &match : word.globalMatch(QString(lines[k + 1]).remove(u'\\')))
                names << match.captured(1);
            documented << names.join(u' ');
        }
        const QString help = QString::fromUtf8(run({"--help"}).out);
        const QString undoHelp = QString::fromUtf8(run({"undo", "--help"}).out);
        QStringList expected;
        for (const Cli::OptionInfo &info : Cli::OptionTable) {
            const QString name = QStringLiteral("--") + QLatin1String(info.name);
            const QString letter =
                info.letter ? QStringLiteral("-%1").arg(QLatin1Char(info.letter)) : QString();
            expected << (letter.isEmpty() ? name : letter + u' ' + name);
            const QString head = (letter.isEmpty() ? QStringLiteral("    ") : letter + ", ") + name;
            if (info.commands & Cli::RemoveCommand)
                QVERIFY2(help.contains(head), qPrintable(name));
            if (info.commands & Cli::UndoCommand)
                QVERIFY2(undoHelp.contains(head), qPrintable(name));
        }
        documented.sort();
        expected.sort();
        QCOMPARE(documented, expected);
    }

    // Each line keeps its own end unless --crlf asks for the window's rule; a file of which
    // nothing is removed is left as it is (not even rewritten), and its diff is empty.
    void lineEndsAreKeptByDefault_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("result");  // null: the file is left untouched
        QTest::newRow("nothing matches") << QByteArray("a\nb\n") << QStringList() << QByteArray();
        QTest::newRow("each end kept")
            << QByteArray("a\r\nmeta\nb\nc") << QStringList() << QByteArray("a\r\nb\nc");
        QTest::newRow("the window's rule")
            << QByteArray("a\nb\n") << QStringList{"--crlf"} << QByteArray("a\r\nb");
    }
    void lineEndsAreKeptByDefault() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, result);
        const QString page = input(QStringLiteral("in/p.html"), content);
        QVERIFY(TestFiles::MakeOld(page));
        const TestFiles::Stamp before = TestFiles::StampOf(page);
        const QStringList words = QStringList{"remove", "lines-containing", "meta"} + options;
        const Outcome diff = run(words + QStringList{"--diff", "-i", page});
        QCOMPARE(diff.out.isEmpty(), result.isNull());
        QCOMPARE(run(words + QStringList{"-i", page}).exitCode, 0);
        QCOMPARE(Read(page), result.isNull() ? content : result);
        if (result.isNull())
            QVERIFY(TestFiles::StampOf(page) == before);
    }

    // Letters stand for their long options, alone, together, and with their values attached.
    void lettersAreTheirLongOptions_data() {
        QTest::addColumn<QStringList>("letters");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("together") << QStringList{"-nqo", "out"}
                                  << QStringList{"--dry-run", "--quiet", "--out", "out"};
        QTest::newRow("values attached")
            << QStringList{"-j2", "-oout", "-n", "-ehtm"}
            << QStringList{"--jobs=2", "--out=out", "--dry-run", "--ext", "htm"};
        QTest::newRow("in place") << QStringList{"-in"} << QStringList{"--in-place", "--dry-run"};
    }
    void lettersAreTheirLongOptions() {
        QFETCH(QStringList, letters);
        QFETCH(QStringList, words);
        input(QStringLiteral("in/a.html"), "meta\nkeep\n");
        input(QStringLiteral("in/b.htm"), "keep\n");
        QDir().mkpath(root + QStringLiteral("/out"));
        auto records = [&](const QStringList &options) {
            const Outcome outcome =
                run(QStringList{"remove", "lines-containing", "meta", "--json"} + options +
                    QStringList{root + QStringLiteral("/in")});
            QByteArray lines;
            for (const QByteArray &line : outcome.out.split('\n'))
                lines += line.startsWith("{\"summary\"") ? QByteArray() : line + '\n';
            return QByteArray::number(outcome.exitCode) + lines;
        };
        const QByteArray expected = records(words);
        QVERIFY(expected.startsWith("0{"));
        QCOMPARE(records(letters), expected);
    }

    // Into a folder, a searched folder's files keep their paths below it, folders made as
    // needed (a dry run makes none and says the results could be written); --flat is the
    // window's rule, --keep-tree keeps a named file's path too.
    void resultsKeepTheTree_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("results");  // below the output folder, sorted
        QTest::newRow("a folder's files")
            << QStringList{"site"} << QStringList{"a/index.html", "b/index.html", "top.html"};
        QTest::newRow("flat, the later wins")
            << QStringList{"--flat", "site"} << QStringList{"index.html", "top.html"};
        QTest::newRow("a named file, flat")
            << QStringList{"site/a/index.html"} << QStringList{"index.html"};
        QTest::newRow("named files with their paths")
            << QStringList{"--keep-tree", "site/a/index.html", "./site/top.html"}
            << QStringList{"site/a/index.html", "site/top.html"};
    }
    void resultsKeepTheTree() {
        QFETCH(QStringList, words);
        QFETCH(QStringList, results);
        for (const char *name : {"a/index.html", "b/index.html", "top.html"})
            input(QStringLiteral("site/") + QLatin1String(name), name);
        const QString out = root + QStringLiteral("/out");
        QDir().mkpath(out);
        const QStringList args = QStringList{"remove", "text", "zzz", "-o", out} + words;
        const auto before = Snapshot(root);
        const Outcome dry = run(args + QStringList{"-n", "--json"});
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(Snapshot(root), before);
        QStringList outputs;
        for (const QJsonObject &record : Records(dry.out)) {
            QCOMPARE(record.value(QStringLiteral("state")).toString(), QStringLiteral("changed"));
            outputs << record.value(QStringLiteral("output")).toString().remove(out + u'/');
        }
        outputs.sort();
        outputs.removeDuplicates();
        QCOMPARE(outputs, results);
        QCOMPARE(run(args).exitCode, 0);
        QStringList written;
        for (const auto &[name, bytes] : Files(out))
            written << name;
        QCOMPARE(written, results);
        if (words.first() == QLatin1String("--flat"))
            QCOMPARE(Read(out + QStringLiteral("/index.html")), QByteArray("b/index.html"));
    }

    // A list of files is one run in the list's order, after the PATHs: one summary, one undo
    // record; folders in it (find lists them) are passed over.
    void filesFromAList_data() {
        QTest::addColumn<bool>("nulls");
        QTest::addColumn<bool>("standardInput");
        QTest::newRow("lines in a file") << false << false;
        QTest::newRow("NUL-separated on standard input") << true << true;
    }
    void filesFromAList() {
        QFETCH(bool, nulls);
        QFETCH(bool, standardInput);
        QStringList names = {"in/z first.html", "in", "in/a.html"};
        if (nulls)
            names << "in/new\nline.html";
        QStringList expected;  // the files, in the list's order
        for (const QString &name : names) {
            if (name.endsWith(QLatin1String(".html")))
                input(expected.emplace_back(name), "meta\nkeep\n");
        }
        const QString named = input(QStringLiteral("named.html"), "meta\n2\n");
        QByteArray list;
        for (const QString &name : names)
            list += Name(name) + (nulls ? '\0' : '\n');
        Launch launch;
        launch.args = {"remove", "lines-containing", "meta", "-i", "--json", Name(named)};
        launch.args << "--files-from" << (standardInput ? QByteArray("-") : Name(root) + "/list");
        if (nulls)
            launch.args << "-0";
        if (standardInput)
            launch.input = list;
        else
            Write(root + QStringLiteral("/list"), list);
        QJsonObject summary;
        const Outcome outcome = execute(launch);
        QCOMPARE(outcome.exitCode, 0);
        QStringList paths;
        for (const QJsonObject &record : Records(outcome.out, &summary))
            paths << record.value(QStringLiteral("path")).toString();
        expected.prepend(named);
        QCOMPARE(paths, expected);
        QCOMPARE(summary.value(QStringLiteral("changed")).toInteger(), expected.size());
        QCOMPARE(Read(root + QStringLiteral("/in/z first.html")), QByteArray("keep\n"));
        QCOMPARE(QDir(undoStore()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    // With no PATH and no output, standard input is filtered to standard output: the same bytes
    // as GNU sed gives for the same removal, and nothing kept for undo.
    void filterAsSedDoes_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("operation");
        QTest::addColumn<QByteArray>("script");  // sed's
        const QByteArray page("<p>a<br>b</p>\nMeta http\n\nlast <BR> line");
        QTest::newRow("lines containing")
            << page << QStringList{"lines-containing", "meta"} << QByteArray("/meta/Id");
        QTest::newRow("lines not containing")
            << page << QStringList{"lines-not-containing", "br"} << QByteArray("/br/I!d");
        QTest::newRow("text") << page << QStringList{"text", "<br>"} << QByteArray("s/<br>//gI");
        QTest::newRow("line, from the PATH -")
            << page << QStringList{"line", "2", "-"} << QByteArray("2d");
        QTest::newRow("blank lines, a final line end")
            << QByteArray("a\n\nb\n") << QStringList{"blank-lines"} << QByteArray("/^$/d");
    }
    void filterAsSedDoes() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, operation);
        QFETCH(QByteArray, script);
        const QString sedTool = QStandardPaths::findExecutable(QStringLiteral("sed"));
        if (sedTool.isEmpty())
            QSKIP("sed is not installed");
        Launch sed;
        sed.program = Name(sedTool);
        sed.args = {"-e", script};
        sed.environment = {"LC_ALL=C"};
        sed.input = text;
        const Outcome expected = Child::Run(sed);
        Launch filter;
        for (const QString &word : QStringList{"remove"} + operation)
            filter.args << Name(word);
        filter.input = text;
        const Outcome outcome = execute(filter);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.err, QByteArray());
        QCOMPARE(outcome.out, expected.out);
        QVERIFY(!QFileInfo::exists(undoStore()));
    }

    // Input that holds a NUL byte is passed through unchanged, with a note: anywhere in a file,
    // in the first read of a pipe.
    void filterPassesBinaryThrough_data() {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("through a pipe") << true;
        QTest::newRow("from a file, the NUL far in") << false;
    }
    void filterPassesBinaryThrough() {
        QFETCH(bool, pipe);
        const QByteArray bytes =
            QByteArray("meta\n").repeated(pipe ? 1 : 40000) + QByteArray("a\0b\nmeta\n", 9);
        Launch launch;
        launch.args = {"remove", "lines-containing", "meta"};
        const QString file = input(QStringLiteral("binary"), bytes);
        const int fd = ::open(Name(file).constData(), O_RDONLY | O_CLOEXEC);
        if (pipe)
            launch.input = bytes;
        else
            launch.inputFrom = fd;
        const Outcome outcome = execute(launch);
        ::close(fd);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, bytes);
        QCOMPARE(outcome.err, QByteArray("strelmark: standard input holds a NUL byte (binary): "
                                         "passed through unchanged\n"));
    }

    // A filter reads encodings as a file is read: UTF-16 with its mark is decoded and its result
    // encoded back, a UTF-8 mark stays the stream's, and --binary takes a NUL byte as text.
    void filterKeepsTheEncoding_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QByteArray>("result");
        const auto utf16 = [](const char16_t *text) {
            const QString string = QString::fromUtf16(text);
            return QByteArray("\xFF\xFE") +
                   QByteArray(reinterpret_cast<const char *>(string.utf16()), string.size() * 2);
        };
        QTest::newRow("UTF-16LE, piped")
            << utf16(u"a\r\nmeta\r\nb\r\n") << QStringList() << true << utf16(u"a\r\nb\r\n");
        QTest::newRow("UTF-16LE, a file")
            << utf16(u"meta\nb") << QStringList() << false << utf16(u"b");
        QTest::newRow("UTF-8 mark, its first line removed")
            << QByteArray("\xEF\xBB\xBFmeta\nb\n") << QStringList() << true
            << QByteArray(
                   "\xEF\xBB\xBF"
                   "b\n");
        QTest::newRow("--binary") << QByteArray("a\0\nmeta\n", 8) << QStringList{"-a"} << true
                                  << QByteArray("a\0\n", 3);
    }
    void filterKeepsTheEncoding() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, options);
        QFETCH(bool, pipe);
        QFETCH(QByteArray, result);
        Launch launch;
        for (const QString &word : QStringList{"remove", "lines-containing", "meta"} + options)
            launch.args << Name(word);
        const QString file = input(QStringLiteral("encoded"), text);
        const int fd = ::open(Name(file).constData(), O_RDONLY | O_CLOEXEC);
        if (pipe)
            launch.input = text;
        else
            launch.inputFrom = fd;
        const Outcome outcome = execute(launch);
        ::close(fd);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, result);
        QCOMPARE(outcome.err, QByteArray());
    }

    // No progress line where it cannot be erased, or where another program could print after
    // it was drawn again (a listing piped into head on the same terminal).
    void noProgressLine_data() {
        QTest::addColumn<QByteArrayList>("environment");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("TERM=dumb") << QByteArrayList{"TERM=dumb"} << QStringList();
        QTest::newRow("a listing into a pipe") << QByteArrayList() << QStringList{"-n"};
    }
    void noProgressLine() {
        QFETCH(QByteArrayList, environment);
        QFETCH(QStringList, options);
        for (int n = 0; n < 300; ++n)
            input(QStringLiteral("in/page-%1.html").arg(n), "meta\nkeep\n");
        Launch launch;
        launch.environment = environment;
        launch.args = {"remove", "lines-containing", "meta", "-o", Name(root)};
        for (const QString &option : options)
            launch.args << Name(option);
        launch.args << Name(root + QStringLiteral("/in"));
        QByteArray shown;
        QCOMPARE(onTerminal(launch, false, shown).exitCode, 0);
        QCOMPARE(shown, QByteArray());
    }

    // The diff and the outcomes in colour on a terminal, unless NO_COLOR or --color say no.
    void colourOnATerminal_data() {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QByteArrayList>("words");  // environment, then "--" and options
        QTest::addColumn<bool>("colour");
        QTest::newRow("a terminal") << true << QByteArrayList{"--"} << true;
        QTest::newRow("NO_COLOR") << true << QByteArrayList{"NO_COLOR=1", "--"} << false;
        QTest::newRow("empty NO_COLOR") << true << QByteArrayList{"NO_COLOR=", "--"} << true;
        QTest::newRow("never") << true << QByteArrayList{"--", "--color=never"} << false;
        QTest::newRow("always, over NO_COLOR")
            << true << QByteArrayList{"NO_COLOR=1", "--", "--color", "always"} << true;
        QTest::newRow("a pipe") << false << QByteArrayList{"--"} << false;
        QTest::newRow("a pipe, always") << false << QByteArrayList{"--", "--color=always"} << true;
    }
    void colourOnATerminal() {
        QFETCH(bool, terminal);
        QFETCH(QByteArrayList, words);
        QFETCH(bool, colour);
        const QString page = input(QStringLiteral("in/page.html"), "a\nmeta\nb\n");
        Launch launch;
        const qsizetype split = words.indexOf("--");
        launch.environment = words.mid(0, split) << "TERM=xterm-256color";
        launch.args = QByteArrayList{"remove", "lines-containing", "meta", "-i", "--diff"} +
                      words.mid(split + 1) + QByteArrayList{Name(page)};
        QByteArray shown;
        const Outcome outcome = terminal ? onTerminal(launch, true, shown) : execute(launch);
        QCOMPARE(outcome.exitCode, 0);
        if (!terminal)
            shown = outcome.out;
        shown.replace("\r\n", "\n");  // the terminal's line ends
        QVERIFY2(shown.contains("@@ -1,3 +1,2 @@"), shown.constData());
        QCOMPARE(shown.contains("\x1b[31m-meta\x1b[0m\n"), colour);
        QCOMPARE(shown.contains('\x1b'), colour);
    }

    // Each shell's completion, loaded into the shell and asked for the word at the end: the
    // words the program's tables give, folders or files where paths go.
    void completionsInEachShell_data() {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QStringList>("typed");  // after "strelmark"; the last is being typed
        QTest::addColumn<QStringList>("offered");
        const struct {
            const char *name;
            QStringList typed, offered;
        } requests[] = {
            {"commands", {""}, {"remove", "undo"}},
            {"an option by its start", {"remove", "lines-containing", "x", "--ou"}, {"--out"}},
            {"an option's values", {"remove", "--color", ""}, {"always", "auto", "never"}},
            {"operations", {"remove", "li"}, {"line", "lines-containing", "lines-not-containing"}},
            {"a folder for --out", {"remove", "text", "x", "-o", "s"}, {"sub"}},
            {"a PATH", {"remove", "text", "x", "-i", "s"}, {"sfile.html", "sub"}},
            {"the text is free", {"remove", "text", ""}, {}},
            {"undo's options", {"undo", "--q"}, {"--quiet"}},
        };
        for (const char *shell : {"bash", "zsh", "fish"}) {
            for (const auto &request : requests)
                QTest::newRow(QByteArray(shell).append(", ").append(request.name).constData())
                    << shell << request.typed << request.offered;
        }
    }
    void completionsInEachShell() {
        QFETCH(QString, shell);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, offered);
        const QString program = QStandardPaths::findExecutable(shell);
        if (program.isEmpty())
            QSKIP("the shell is not installed (make deps installs it)");
        const QString scripts = QStringLiteral(STRELMARK_COMPLETIONS);
        Launch launch;
        launch.program = Name(program);
        launch.folder = tree->folder(QStringLiteral("here"));
        tree->folder(QStringLiteral("here/sub"));
        tree->file(QStringLiteral("here/sfile.html"));
        launch.environment << "PATH=" + Name(QFileInfo(QStringLiteral(STRELMARK_PROGRAM)).path()) +
                                  ':' + qgetenv("PATH");
        if (shell == QLatin1String("bash")) {
            launch.args = {"--norc", "--noprofile", "-c",
                           "source \"$0\"; COMP_WORDS=(strelmark \"$@\"); COMP_CWORD=$#; "
                           "_strelmark; printf '%s\\n' \"${COMPREPLY[@]}\"",
                           Name(scripts + QStringLiteral("/strelmark.bash"))};
        } else if (shell == QLatin1String("zsh")) {
            // The completion system's helpers, as far as the script uses them.
            launch.args = {"-f", "-c",
                           "fpath=(\"$0\" $fpath); autoload -Uz _strelmark; "
                           "_describe() { local -a all=(${(P)${@[-1]}}); all=(${all%%:*}); "
                           "print -rl -- ${(M)all:#${words[CURRENT]}*} }; "
                           "_files() { local glob=${words[CURRENT]}*; "
                           "if [[ $1 == -/ ]]; then print -rl -- ${~glob}(N/); "
                           "else print -rl -- ${~glob}(N); fi }; _message() { }; "
                           "words=(strelmark \"$@\"); CURRENT=$#words; _strelmark",
                           Name(scripts)};
        } else {
            launch.args = {"--no-config", "-c",
                           "source $argv[1]; complete -C \"strelmark $argv[2..-1]\"",
                           Name(scripts + QStringLiteral("/strelmark.fish"))};
        }
        for (const QString &word : typed)
            launch.args << Name(word);
        const Outcome outcome = Child::Run(launch);
        QVERIFY2(outcome.exitCode == 0 && outcome.err.isEmpty(), outcome.err.constData());
        QStringList words;
        for (const QByteArray &line : outcome.out.split('\n')) {
            QString word = QString::fromUtf8(line.split('\t').first());
            if (word.endsWith(u'/'))
                word.chop(1);
            if (!word.isEmpty() && !words.contains(word))
                words << word;
        }
        words.sort();
        QCOMPARE(words, offered);
    }
};

}  // namespace

QTEST_MAIN(CliShellTest)
#include "test_cli_shell.moc"
