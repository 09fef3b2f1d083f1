// The services without a window: error reports and guards, conversions, the settings store, the
// start-up routines and the event pump.

#include "base/Convert.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "base/StartUp.h"
#include "base/Window.h"
#include "support/DuringEachPump.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using TestFiles::Entries;
using TestFiles::Identity;

// Text of the given length, made of counting numbers, so that no shorter piece of it repeats
// its start.
QString CountingText(qsizetype length) {
    QString text;
    for (int n = 0; text.size() < length; ++n)
        text += QString::number(n) + u' ';
    text.truncate(length);
    return text;
}

// Makes the named kind of thing at `path`, anything but a regular file; a link's target lies
// beside it. Empty, or why it cannot be made here.
QString MakeAt(const QString &kind, const QString &path) {
    QString at = path;
    QString rest = kind;
    if (kind.startsWith(QLatin1String("link "))) {
        at = QFileInfo(path).path() + QStringLiteral("/target");
        if (::symlink("target", QFile::encodeName(path).constData()) != 0)
            return QStringLiteral("cannot make a symbolic link");
        rest = kind.section(u' ', 3);  // "link to a <rest>"
    }
    if (kind == QLatin1String("link that leads nowhere"))
        return {};
    if (rest == QLatin1String("named pipe"))
        return TestFiles::MakePipe(at) ? QString() : QStringLiteral("cannot make a named pipe");
    if (rest == QLatin1String("socket"))
        return TestFiles::MakeSocket(at) ? QString() : QStringLiteral("cannot make a socket");
    if (rest == QLatin1String("folder"))
        return QDir().mkdir(at) ? QString() : QStringLiteral("cannot make a folder");
    if (rest == QLatin1String("device")) {
        const int error = TestFiles::MakeNullDevice(at);
        if (error == 0)
            return {};
        return QStringLiteral("cannot make a device node (only root may): %1")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
    return QStringLiteral("unknown kind ") + kind;
}

// Sets an environment variable, or unsets it for a null value, until the object goes.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvironmentVariable() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

// A window that only keeps its pointer, for the busy state.
class PointerOnlyWindow : public WindowServices {
public:
    Platform &platform() override { return platform_; }
    Settings &settings() override { return settings_; }
    int mousePointer() const override { return pointer; }
    void setMousePointer(int shape) override { pointer = shape; }
    QString programFolder() const override { return {}; }

    int pointer = MousePointer::Default;

private:
    ScriptedPlatform platform_;
    Settings settings_{QString()};
};

}  // namespace

class FoundationTest : public QObject {
    Q_OBJECT

private slots:
    void init() { EventPump::Reset(); }
    void cleanup() { EventPump::Reset(); }

    void reportText() {
        const QString expected = QStringLiteral(
            "Type mismatch\r\nin Kestrune2021/08/31.Form1.Form_Load at line 152\r\r"
            "Please email screenshot of this message to support@brindlewick.example");
        QCOMPARE(
            UnexpectedErrorText(QStringLiteral("Type mismatch"), Location::form1("Form_Load"), 152),
            expected);
        QCOMPARE(Location::addFolder("GetSubDirectories2016"),
                 QStringLiteral("in Mirrowfen2021/08/31.AddFolder.GetSubDirectories2016 "));
    }

    void reportBox() {
        ScriptedPlatform platform;
        platform.setApplicationTitle(QStringLiteral("Strelmark"));
        ReportUnexpectedError(platform, QStringLiteral("Overflow"), Location::form1("X"), 7);
        QCOMPARE(platform.shown.size(), 1);
        QCOMPARE(platform.shown[0].title, QStringLiteral("Application Error"));
        QCOMPARE(platform.shown[0].icon, Platform::Icon::Warning);
    }

    void guardReportsEachErrorAndGoesOn() {
        ScriptedPlatform platform;
        Guard guard(platform, Location::form1("PushButton8_Click"));
        std::vector<int> ran;
        guard.step(100, [&] { ran.push_back(100); });
        guard.step(102, [&] { throw AppError(QStringLiteral("first")); });
        guard.step(102, [&] { ran.push_back(102); });  // the next action of the same step
        guard.step(104, [&] { throw AppError(QStringLiteral("second")); });
        guard.step(106, [&] { ran.push_back(106); });

        QCOMPARE(ran, (std::vector<int>{100, 102, 106}));
        const QStringList reports = platform.messages();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].startsWith(QStringLiteral("first\r\n")));
        QVERIFY(reports[0].contains(QStringLiteral("PushButton8_Click at line 102\r\r")));
        QVERIFY(reports[1].startsWith(QStringLiteral("second\r\n")));
        QVERIFY(reports[1].contains(QStringLiteral("at line 104\r\r")));
    }

    // Whatever a step throws is reported; what is no standard exception is an "Unknown error".
    void guardDescribesEveryFailure_data() {
        QTest::addColumn<QString>("thrown");
        QTest::addColumn<QString>("description");
        QTest::newRow("ours") << "AppError"
                              << "Overflow";
        QTest::newRow("standard") << "runtime_error"
                                  << "broken";
        QTest::newRow("out of memory") << "bad_alloc"
                                       << "Out of memory";
        QTest::newRow("no standard exception") << "int"
                                               << "Unknown error";
    }
    void guardDescribesEveryFailure() {
        QFETCH(QString, thrown);
        QFETCH(QString, description);
        ScriptedPlatform platform;
        Guard guard(platform, Location::form1("PushButton1_Click"));
        guard.step(100, [&] {
            if (thrown == QLatin1String("AppError"))
                throw AppError(ErrorText::Overflow);
            if (thrown == QLatin1String("runtime_error"))
                throw std::runtime_error("broken");
            if (thrown == QLatin1String("bad_alloc"))
                throw std::bad_alloc();
            throw 42;
        });
        QCOMPARE(platform.messages(), QStringList{UnexpectedErrorText(
                                          description, Location::form1("PushButton1_Click"), 100)});
    }

    void failingTestEntersItsBlock() {
        ScriptedPlatform platform;
        Guard guard(platform, Location::form1("Form_Load"));
        bool entered = false;
        if (guard.test(158, []() -> bool { throw AppError(QStringLiteral("broken")); }))
            guard.step(160, [&] { entered = true; });
        QVERIFY(entered);
        QCOMPARE(platform.messages().size(), 1);
        QVERIFY(platform.messages()[0].contains(QStringLiteral("at line 158")));
    }

    // A routine without a guard of its own: its failure is reported under the caller's name
    // and step, and the rest of the routine is skipped.
    void unguardedRoutineIsAbandoned() {
        ScriptedPlatform platform;
        Guard guard(platform, Location::form1("Form_Load"));
        bool restOfRoutine = false, afterCall = false;
        auto routine = [&] {
            throw AppError(ErrorText::InvalidArgument);
            restOfRoutine = true;
        };
        guard.step(138, routine);
        guard.step(140, [&] { afterCall = true; });
        QVERIFY(!restOfRoutine);
        QVERIFY(afterCall);
        QVERIFY(platform.messages()[0].contains(QStringLiteral("Form1.Form_Load at line 138")));
    }

    void abandonedCommandPassesEveryGuard() {
        ScriptedPlatform platform;
        Guard guard(platform, Location::form1("PushButton8_Click"));
        QVERIFY_THROWS_EXCEPTION(CommandAbandoned,
                                 guard.step(130, [] { throw CommandAbandoned{}; }));
        QVERIFY_THROWS_EXCEPTION(CommandAbandoned,
                                 guard.test(130, []() -> bool { throw CommandAbandoned{}; }));
        QVERIFY_THROWS_EXCEPTION(CommandStopped, guard.step(130, [] { throw CommandStopped{}; }));
        QVERIFY_THROWS_EXCEPTION(CommandStopped,
                                 guard.test(130, []() -> bool { throw CommandStopped{}; }));
        QVERIFY(platform.shown.isEmpty());
    }

    void toInteger16_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");  // or the failure
        QTest::addColumn<QString>("error");
        QTest::newRow("zero") << "0" << 0 << "";
        QTest::newRow("minus one") << "-1" << -1 << "";
        QTest::newRow("blanks around") << " 5 " << 5 << "";
        QTest::newRow("half to even down") << "2.5" << 2 << "";
        QTest::newRow("half to even up") << "3.5" << 4 << "";
        QTest::newRow("exponent") << "1e2" << 100 << "";
        QTest::newRow("largest") << "32767" << 32767 << "";
        QTest::newRow("smallest") << "-32768" << -32768 << "";
        QTest::newRow("too large") << "40000" << 0 << "Overflow";
        QTest::newRow("too small") << "-32769" << 0 << "Overflow";
        QTest::newRow("letters") << "abc" << 0 << "Type mismatch";
        QTest::newRow("empty") << "" << 0 << "Type mismatch";
        QTest::newRow("number and letters") << "5x" << 0 << "Type mismatch";
        QTest::newRow("lone point") << "." << 0 << "Type mismatch";
    }
    void toInteger16() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(QString, error);
        try {
            const short converted = Convert::ToInteger16(text);
            QVERIFY2(error.isEmpty(), "conversion should have failed");
            QCOMPARE(int(converted), value);
        } catch (const AppError &failure) {
            QCOMPARE(failure.description(), error);
        }
    }

    void toBool_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("convertible");
        QTest::addColumn<bool>("value");
        QTest::newRow("True") << "True" << true << true;
        QTest::newRow("False") << "False" << true << false;
        QTest::newRow("lower case") << "true" << true << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("1") << "1" << true << true;
        QTest::newRow("-1") << "-1" << true << true;
        QTest::newRow("0.0") << "0.0" << true << false;
        QTest::newRow("words") << "maybe" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void toBool() {
        QFETCH(QString, text);
        QFETCH(bool, convertible);
        QFETCH(bool, value);
        if (!convertible) {
            QVERIFY_THROWS_EXCEPTION(AppError, Convert::ToBool(text));
            return;
        }
        QCOMPARE(Convert::ToBool(text), value);
    }

    void settingsKeepEmptyApartFromAbsent() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        {
            Settings settings(path);
            QCOMPARE(settings.get(QStringLiteral("Text2"), QStringLiteral("default")),
                     QStringLiteral("default"));
            settings.save(QStringLiteral("Text2"), QString());
            settings.save(QStringLiteral("Text1"), QStringLiteral("a, b = c; \"d\" @e"));
        }
        // Each save is in the file already: a second store reads it back unchanged.
        Settings again(path);
        QCOMPARE(again.get(QStringLiteral("Text2"), QStringLiteral("default")), QString(""));
        QCOMPARE(again.get(QStringLiteral("Text1"), {}), QStringLiteral("a, b = c; \"d\" @e"));
        QVERIFY(TestFiles::Read(path).contains("[Strelmark]"));
    }

    // Values edited by hand into the file, as the store's own format would never write them:
    // an unquoted comma makes the file's reader see a list, which is still one text here.
    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("value");
        QTest::newRow("a comma") << QByteArray("Text1=a,b") << "a,b";
        QTest::newRow("two commas") << QByteArray("Text1=a,b,c") << "a,b,c";
        QTest::newRow("quoted comma") << QByteArray("Text1=\"a,b\"") << "a,b";
        QTest::newRow("no comma") << QByteArray("Text1=meta http") << "meta http";
    }
    void handEditedValues() {
        QFETCH(QByteArray, line);
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        TestFiles::Write(path, "[Strelmark]\n" + line + "\n");
        QCOMPARE(Settings(path).get(QStringLiteral("Text1"), QStringLiteral("absent")), value);
    }

    void settingsSurviveBrokenFiles_data() {
        QTest::addColumn<QByteArray>("content");
        static const char garbage[] = "\x00\xff\xfe[[[\x01\n=\n==";
        QTest::newRow("binary garbage") << QByteArray(garbage, sizeof garbage - 1);
        QTest::newRow("unclosed group") << QByteArray("[Strelmark\nText1=x\n");
        QTest::newRow("stray quotes") << QByteArray("[Strelmark]\nText1=\"abc\nCombo1=\"\n");
    }
    void settingsSurviveBrokenFiles() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        TestFiles::Write(path, content);
        Settings settings(path);
        settings.get(QStringLiteral("Combo1"), QStringLiteral("0"));  // must not crash
        settings.save(QStringLiteral("Combo1"), QStringLiteral("3"));
        QCOMPARE(settings.get(QStringLiteral("Combo1"), QStringLiteral("0")), QStringLiteral("3"));
    }

    // A store that cannot be read or written (here its path is a folder, which stops even the
    // superuser) answers with defaults and takes writes without failing.
    void unusableStoreAnswersDefaults() {
        QTemporaryDir dir;
        Settings settings(dir.path());
        settings.save(QStringLiteral("Text1"), QStringLiteral("x"));
        QCOMPARE(settings.get(QStringLiteral("Extension"), QStringLiteral("html")),
                 QStringLiteral("html"));
    }

    // Values of any length come back whole from the file, whatever they hold.
    void settingsKeepValuesWhole_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("1 MB of text") << CountingText(1 << 20);
        QString mixed;
        while (mixed.size() < (1 << 20))
            mixed += QStringLiteral("a, b = c; \"d\" @e\\f\r\n\t\u0100\u20ac\U0001d11e ");
        QTest::newRow("1 MB of line ends, quotes, separators, letters beyond Latin-1") << mixed;
    }
    void settingsKeepValuesWhole() {
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        Settings(path).save(QStringLiteral("Text1"), value);
        const QString read = Settings(path).get(QStringLiteral("Text1"), {});
        QCOMPARE(read.size(), value.size());
        QVERIFY(read == value);
    }

    // Anything at the store's path but a regular file is never opened, written or replaced:
    // it reads as absent keys, and what is saved holds for the session only.
    void settingsLeaveAnythingButARegularFileAlone_data() {
        QTest::addColumn<QString>("kind");
        for (const char *kind :
             {"named pipe", "link to a named pipe", "device", "link to a device", "socket",
              "link to a socket", "folder", "link to a folder", "link that leads nowhere"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void settingsLeaveAnythingButARegularFileAlone() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        const QString problem = MakeAt(kind, path);
        if (!problem.isEmpty())
            QSKIP(qPrintable(problem));
        const QString before = Identity(path);
        const QStringList entries = Entries(dir.path());
        Settings settings(path);
        QCOMPARE(settings.get(QStringLiteral("Text1"), QStringLiteral("absent")),
                 QStringLiteral("absent"));
        settings.save(QStringLiteral("Text1"), QStringLiteral("typed"));
        settings.save(QStringLiteral("Combo1"), QStringLiteral("3"));
        QCOMPARE(settings.get(QStringLiteral("Text1"), {}), QStringLiteral("typed"));
        QCOMPARE(settings.get(QStringLiteral("Combo1"), {}), QStringLiteral("3"));

        QCOMPARE(Identity(path), before);
        QCOMPARE(Entries(dir.path()), entries);  // nothing beside it, nothing made through a link
        QVERIFY(!settings.savesToFile());
        QCOMPARE(Settings(path).get(QStringLiteral("Text1"), QStringLiteral("absent")),
                 QStringLiteral("absent"));
    }

    // The path is looked at again before every save: a file replaced by something else since
    // the last save is left alone, and the values so far stay for the session.
    void settingsStopWritingWhenThePathIsNoLongerAFile_data() {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"named pipe", "link to a named pipe", "device", "folder"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void settingsStopWritingWhenThePathIsNoLongerAFile() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        Settings settings(path);
        settings.save(QStringLiteral("Text1"), QStringLiteral("first"));
        QVERIFY(QFile::remove(path));
        const QString problem = MakeAt(kind, path);
        if (!problem.isEmpty())
            QSKIP(qPrintable(problem));
        const QString before = Identity(path);

        settings.save(QStringLiteral("Combo1"), QStringLiteral("2"));

        QCOMPARE(Identity(path), before);
        QCOMPARE(settings.get(QStringLiteral("Text1"), {}), QStringLiteral("first"));
        QCOMPARE(settings.get(QStringLiteral("Combo1"), {}), QStringLiteral("2"));
        QVERIFY(!settings.savesToFile());
    }

    // A symbolic link to a regular file stays: the file it leads to takes the saves.
    void settingsWriteThroughALinkToAFile_data() {
        QTest::addColumn<bool>("relative");
        QTest::newRow("relative link") << true;
        QTest::newRow("absolute link") << false;
    }
    void settingsWriteThroughALinkToAFile() {
        QFETCH(bool, relative);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Brindlewick.ini"));
        const QString target = dir.filePath(QStringLiteral("kept/real.ini"));
        TestFiles::Write(target, "[Strelmark]\nCombo1=1\n");
        const QByteArray linkText = relative ? "kept/real.ini" : QFile::encodeName(target);
        QCOMPARE(::symlink(linkText.constData(), QFile::encodeName(path).constData()), 0);

        Settings settings(path);
        QCOMPARE(settings.get(QStringLiteral("Combo1"), {}), QStringLiteral("1"));
        settings.save(QStringLiteral("Text1"), QStringLiteral("through the link"));

        QVERIFY(settings.savesToFile());
        QCOMPARE(QFile::symLinkTarget(path), target);
        QCOMPARE(Settings(target).get(QStringLiteral("Text1"), {}),
                 QStringLiteral("through the link"));
        QCOMPARE(Settings(target).get(QStringLiteral("Combo1"), {}), QStringLiteral("1"));
        QCOMPARE(Entries(dir.filePath(QStringLiteral("kept"))), QStringList{"real.ini"});
    }

    // Where the current user's file lives: never at the file system's root.
    void settingsFileFor_data() {
        QTest::addColumn<QString>("configHome");   // "<t>" stands for a temporary folder, where
        QTest::addColumn<QString>("home");         // "home" and "account" exist and "missing"
        QTest::addColumn<QString>("accountHome");  // does not
        QTest::addColumn<QString>("expected");
        const QString inHome = QStringLiteral("<t>/home/.config/Brindlewick.ini");
        const QString inAccount = QStringLiteral("<t>/account/.config/Brindlewick.ini");
        QTest::newRow("XDG_CONFIG_HOME") << "<t>/config"
                                         << "<t>/home"
                                         << "<t>/account"
                                         << "<t>/config/Brindlewick.ini";
        QTest::newRow("XDG_CONFIG_HOME relative") << "config"
                                                  << "<t>/home"
                                                  << "<t>/account" << inHome;
        QTest::newRow("XDG_CONFIG_HOME the root") << "/"
                                                  << "<t>/home"
                                                  << "<t>/account" << inHome;
        QTest::newRow("HOME") << ""
                              << "<t>/home"
                              << "<t>/account" << inHome;
        QTest::newRow("HOME with trailing separator") << ""
                                                      << "<t>/home/"
                                                      << "<t>/account" << inHome;
        QTest::newRow("HOME unset") << ""
                                    << ""
                                    << "<t>/account" << inAccount;
        QTest::newRow("HOME the root") << ""
                                       << "/"
                                       << "<t>/account" << inAccount;
        QTest::newRow("HOME the root, doubled") << ""
                                                << "//"
                                                << "<t>/account" << inAccount;
        QTest::newRow("HOME relative") << ""
                                       << "home"
                                       << "<t>/account" << inAccount;
        QTest::newRow("HOME missing") << ""
                                      << "<t>/missing"
                                      << "<t>/account" << inAccount;
        QTest::newRow("HOME unset, account's home the root") << ""
                                                             << ""
                                                             << "/"
                                                             << "";
        QTest::newRow("HOME unset, account's home missing") << ""
                                                            << ""
                                                            << "<t>/missing"
                                                            << "";
        QTest::newRow("no home at all") << ""
                                        << ""
                                        << ""
                                        << "";
    }
    void settingsFileFor() {
        QFETCH(QString, configHome);
        QFETCH(QString, home);
        QFETCH(QString, accountHome);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("home")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("account")));
        auto place = [&](QString text) { return text.replace(QStringLiteral("<t>"), dir.path()); };
        QCOMPARE(Settings::pathFor(place(configHome), place(home), place(accountHome)),
                 place(expected));
    }

    // With neither HOME nor XDG_CONFIG_HOME set, the file is in the home folder of the
    // account's entry in the user database, or nowhere (when that is no folder, or the root).
    void settingsWithoutHomeUseTheAccountsHome() {
        const EnvironmentVariable noHome("HOME", QByteArray());
        const EnvironmentVariable noConfigHome("XDG_CONFIG_HOME", QByteArray());
        const passwd *account = ::getpwuid(::geteuid());
        QVERIFY(account);
        const QString home = QFile::decodeName(account->pw_dir);
        const QString expected = QFileInfo(home).isDir() && QDir::cleanPath(home) != "/"
                                     ? QDir::cleanPath(home) + "/.config/Brindlewick.ini"
                                     : QString();
        QCOMPARE(Settings::defaultPath(), expected);
    }

    // A store without a file keeps its values for the session.
    void sessionStoreKeepsValues() {
        Settings settings{QString()};
        QVERIFY(!settings.savesToFile());
        QCOMPARE(settings.get(QStringLiteral("Text2"), QStringLiteral("default")),
                 QStringLiteral("default"));
        settings.save(QStringLiteral("Text2"), QString());
        QCOMPARE(settings.get(QStringLiteral("Text2"), QStringLiteral("default")), QString(""));
    }

    // The window is busy while any scope is open; the outermost end shows the pointer it is
    // given, an inner one leaves the hourglass; a scope left without end() gives back the
    // pointer it found.
    void busyScopesNest() {
        PointerOnlyWindow window;
        window.pointer = MousePointer::Custom;
        {
            BusyScope outer(window);
            QVERIFY(!window.isBusy());  // not before begin()
            outer.begin();
            QVERIFY(window.isBusy());
            QCOMPARE(window.pointer, int(MousePointer::Hourglass));
            {
                BusyScope inner(window);
                inner.begin();
                inner.end(MousePointer::Default);
                inner.end(MousePointer::Default);  // a second end changes nothing
                QVERIFY(window.isBusy());
                QCOMPARE(window.pointer, int(MousePointer::Hourglass));
                BusyScope abandoned(window);
                abandoned.begin();
            }
            QVERIFY(window.isBusy());
            QCOMPARE(window.pointer, int(MousePointer::Hourglass));
            // Setting the pointer does not end the busy state.
            window.setMousePointer(MousePointer::Default);
            QVERIFY(window.isBusy());
            outer.end(MousePointer::Default);
            QVERIFY(!window.isBusy());
            QCOMPARE(window.pointer, int(MousePointer::Default));
        }
        QCOMPARE(window.pointer, int(MousePointer::Default));  // ended already: left as it was

        window.pointer = MousePointer::Custom;
        std::optional<BusyScope> left;
        left.emplace(window);
        left->begin();
        left.reset();
        QVERIFY(!window.isBusy());
        QCOMPARE(window.pointer, int(MousePointer::Custom));
    }

    void applicationTitle_data() {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("title");
        QTest::newRow("one word") << "Strelmark"
                                  << "Strelmark";
        QTest::newRow("two words") << "Strelmark Pro"
                                   << "Strelmark";
        QTest::newRow("three words") << "Brindlewick Strelmark Lite"
                                     << "Brindlewick Strelmark";
        QTest::newRow("cut until short") << "Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota"
                                         << "Alpha Beta Gamma Delta Epsilon Zeta Eta";
        QTest::newRow("exactly forty after one cut")
            << "abcdefghij abcdefghij abcdefghij abcdefg tail"
            << "abcdefghij abcdefghij abcdefghij abcdefg";
        QTest::newRow("tab is no space") << "Strel\tmark"
                                         << "Strel\tmark";
        QTest::newRow("long without spaces") << QString(50, u'x') << QString(50, u'x');
    }
    void applicationTitle() {
        QFETCH(QString, product);
        QFETCH(QString, title);
        QCOMPARE(Main::ApplicationTitleFor(product), title);
    }

    void boxesWithoutTitleShowTheApplicationTitle() {
        ScriptedPlatform platform;
        Platform &seam = platform;
        seam.setApplicationTitle(Main::ApplicationTitleFor(QStringLiteral("Strelmark Pro")));
        seam.messageBox(QStringLiteral("Done."));
        seam.inputBox(QStringLiteral("prompt"), {}, {});
        seam.askYesNo(QStringLiteral("question"));
        for (const ScriptedPlatform::Shown &box : platform.shown)
            QCOMPARE(box.title, QStringLiteral("Strelmark"));
    }

    void homePageOnlyWhenTheDrawGivesSeven_data() {
        QTest::addColumn<double>("draw");
        QTest::addColumn<bool>("opened");
        QTest::newRow("n = 1") << 0.0 << false;
        QTest::newRow("n = 6") << 0.0599 << false;
        QTest::newRow("n = 7, low end") << 0.06 << true;
        QTest::newRow("n = 7, high end") << 0.0699 << true;
        QTest::newRow("n = 8") << 0.07 << false;
        QTest::newRow("n = 100") << 0.9999 << false;
    }
    void homePageOnlyWhenTheDrawGivesSeven() {
        QFETCH(double, draw);
        QFETCH(bool, opened);
        ScriptedPlatform platform;
        platform.clock = 1234.5;
        platform.randomDraws.enqueue(draw);
        Main::OpenHomePageAtRandom(platform);
        QCOMPARE(platform.seeds, QList<double>{1234.5});
        const auto urls = platform.shownOfKind(ScriptedPlatform::Kind::OpenUrl);
        QCOMPARE(urls.size(), opened ? 1 : 0);
        if (opened)
            QCOMPARE(urls[0].text, Main::HomePage);
    }

    void homePageThatCannotOpenFails() {
        ScriptedPlatform platform;
        platform.openSucceeds = false;
        platform.randomDraws.enqueue(0.065);
        QVERIFY_THROWS_EXCEPTION(AppError, Main::OpenHomePageAtRandom(platform));
    }

    void desktopFolder() {
        ScriptedPlatform platform;
        platform.desktop = QStringLiteral("/home/ann/Desktop");
        QCOMPARE(Main::DesktopFolder(platform), QStringLiteral("/home/ann/Desktop/"));
        platform.desktop.clear();
        try {
            Main::DesktopFolder(platform);
            QFAIL("an unknown desktop folder must fail");
        } catch (const AppError &error) {
            QCOMPARE(error.description(), ErrorText::InvalidArgument);
        }
    }

    void isFilePresent() {
        QTemporaryDir dir;
        QVERIFY(Main::IsFilePresent(dir.path()));
        QVERIFY(!Main::IsFilePresent(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(!Main::IsFilePresent(QString()));
    }

    // A long command of our own: the window closes while it yields, and it ends right there.
    void closingAbandonsALongCommandAtItsNextYield() {
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        int pumps = 0;
        DuringEachPump quitAtTheThird([&] {
            if (++pumps == 3)
                EventPump::RequestQuit();  // what closing the window does
        });
        int linesDone = 0;
        QVERIFY_THROWS_EXCEPTION(CommandAbandoned, {
            for (int line = 0; line < 1000; ++line) {
                EventPump::LetEventsRun();
                ++linesDone;
            }
        });
        QCOMPARE(linesDone, 2);
        // Every later yield abandons its command too, at once.
        QVERIFY_THROWS_EXCEPTION(CommandAbandoned, EventPump::LetEventsRun());
    }

    // A stop asked for while the events run ends the command whose yield ran them, there and
    // then; a command that yields inside another's yield is the one that stops, and the outer
    // one goes on.
    void stopEndsTheInnermostCommandAtItsYield_data() {
        QTest::addColumn<bool>("nested");
        QTest::newRow("one command") << false;
        QTest::newRow("a command inside another's yield") << true;
    }
    void stopEndsTheInnermostCommandAtItsYield() {
        QFETCH(bool, nested);
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        int pumps = 0, innerItems = 0;
        bool innerStopped = false, innerRan = false;
        DuringEachPump duringEach([&] {
            ++pumps;
            if (!nested) {
                if (pumps == 3)
                    QVERIFY(EventPump::RequestStop());
                return;
            }
            if (innerRan)
                return;
            innerRan = true;
            // The inner command, started from the outer one's second pump.
            try {
                for (int item = 0; item < 1000; ++item) {
                    EventPump::LetEventsRun();
                    ++innerItems;
                    if (innerItems == 2)
                        QTimer::singleShot(0, [] { QVERIFY(EventPump::RequestStop()); });
                }
            } catch (const CommandStopped &) {
                innerStopped = true;
            }
        });
        int outerItems = 0;
        bool outerStopped = false;
        try {
            for (int item = 0; item < 10; ++item) {
                EventPump::LetEventsRun();
                ++outerItems;
            }
        } catch (const CommandStopped &) {
            outerStopped = true;
        }
        QCOMPARE(outerStopped, !nested);
        QCOMPARE(outerItems, nested ? 10 : 2);
        QCOMPARE(innerStopped, nested);
        if (nested)
            QCOMPARE(innerItems, 2);
        // Nothing is left over for the next command.
        QVERIFY(EventPump::LetEventsRun());
        QVERIFY(!EventPump::Yielding());
    }

    // Asked for when no command yields, a stop is refused and stops nothing later.
    void stopWithoutAYieldingCommandDoesNothing() {
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        QVERIFY(!EventPump::Yielding());
        QVERIFY(!EventPump::RequestStop());
        bool yieldingSeen = false;
        const DuringEachPump seeing([&] { yieldingSeen = EventPump::Yielding(); });
        QVERIFY(EventPump::LetEventsRun());
        QVERIFY(yieldingSeen);
    }

    void pumpRunsAtMostOncePerInterval() {
        const DuringEachPump pumps([] {});
        EventPump::SetInterval(std::chrono::hours(1));
        for (int i = 0; i < 1000; ++i)
            QVERIFY(!EventPump::LetEventsRun());
        QCOMPARE(pumps.passes(), 0);
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        QVERIFY(EventPump::LetEventsRun());
        QCOMPARE(pumps.passes(), 1);
    }

    // Between pumps a yield reads the alarm's flag, not the clock: the alarm rings once the
    // interval is over, in this process and in a child made by fork(), which has no thread of
    // its parent's.
    void pumpRunsOnceTheIntervalIsOver_data() {
        QTest::addColumn<bool>("inChild");
        QTest::newRow("this process") << false;
        QTest::newRow("a child made by fork()") << true;
    }
    void pumpRunsOnceTheIntervalIsOver() {
        QFETCH(bool, inChild);
        EventPump::SetInterval(std::chrono::milliseconds(1));
        // Yields a few milliseconds apart, far fewer than would have the pump look at the
        // clock by itself: true when one of them pumped.
        auto pumpsSoon = [] {
            for (int yield = 0; yield < 200; ++yield) {
                if (EventPump::LetEventsRun())
                    return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
            return false;
        };
        QVERIFY(pumpsSoon());
        EventPump::LetEventsRun();  // just after the pump: sets the alarm
        const pid_t child = inChild ? ::fork() : 0;
        if (inChild && child == 0)
            ::_exit(pumpsSoon() ? 0 : 1);
        if (inChild) {
            int status = -1;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QVERIFY(pumpsSoon());
    }

    void pumpDeliversPendingEvents() {
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        bool delivered = false;
        QTimer::singleShot(0, [&] { delivered = true; });
        EventPump::LetEventsRun();
        QVERIFY(delivered);
    }
};

QTEST_GUILESS_MAIN(FoundationTest)
#include "test_foundation.moc"
