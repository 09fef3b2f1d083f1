// Where the program finds its files, and the tree that `cmake --install` lays out: installed
// into a temporary prefix from the build folder CTest names.
#include "base/StartUp.h"

#include <QtTest>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <optional>

namespace {

QString environment(const char *name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty())
        qFatal("%s must be set (ctest sets it)", name);
    return value;
}

// Creates the entries under `root`: a name ending in '/' is a folder, any other a file.
void createTree(const QString &root, const QStringList &entries) {
    for (const QString &entry : entries) {
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    }
}

// Every file under `root`, as paths relative to it.
QStringList filesUnder(const QString &root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The first element called `name` (with `attribute`="`value`" when `attribute` is given) in
// an XML file: its text, or with `wanted` the value of that attribute of it. Nothing when there
// is no such element or the file does not parse.
std::optional<QString> findInXml(const QString &path, const QString &name,
                                 const QString &attribute = {}, const QString &value = {},
                                 const QString &wanted = {}) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != name)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (!attribute.isEmpty() && attributes.value(attribute) != value)
            continue;
        if (!wanted.isEmpty())
            return attributes.hasAttribute(wanted)
                       ? std::optional<QString>(attributes.value(wanted).toString())
                       : std::nullopt;
        const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        return xml.hasError() ? std::nullopt : std::optional<QString>(text.trimmed());
    }
    return std::nullopt;
}

const QList<int> IconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void programFolder_data();
    void programFolder();

    void installedFiles();
    void resourcesUnchanged();
    void programFindsInstalledFiles();
    void installedProgramRuns();
    void icons_data();
    void icons();
    void desktopEntry();
    void metainfo();

private:
    QString source_;  // the source tree
    QTemporaryDir prefix_;
    QString desktopId_ = Main::DesktopId;
};

void InstallTest::initTestCase() {
    source_ = environment("STRELMARK_SOURCE");
    const QString build = environment("STRELMARK_BUILD");
    QVERIFY(prefix_.isValid());

    // The install writes the build's install_manifest.txt; it is put back as it was, so that
    // it still lists what was installed before the test.
    const QString manifest = build + QStringLiteral("/install_manifest.txt");
    const bool hadManifest = QFile::exists(manifest);
    const QByteArray oldManifest = contentsOf(manifest);

    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DESTDIR"));
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(environment("STRELMARK_CMAKE"),
                  {QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix_.path()});
    const bool finished = install.waitForFinished(300'000);
    const QByteArray output = install.readAll();

    if (hadManifest) {
        QFile restored(manifest);
        QVERIFY(restored.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(restored.write(oldManifest), oldManifest.size());
    } else {
        QFile::remove(manifest);
    }

    QVERIFY2(finished && install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             output.constData());
}

void InstallTest::programFolder_data() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("executableFolder");
    QTest::addColumn<QString>("expected");

    const QString shared = QStringLiteral("share/strelmark/");
    QTest::newRow("pointer beside the program") << QStringList{"bin/HAND-M.CUR", shared} << "bin"
                                                << "bin";
    QTest::newRow("skin beside the program") << QStringList{"bin/x/o.cjs", shared} << "bin"
                                             << "bin";
    QTest::newRow("drag picture beside the program") << QStringList{"bin/drag.ico", shared} << "bin"
                                                     << "bin";
    QTest::newRow("samples beside the program") << QStringList{"bin/Samples/", shared} << "bin"
                                                << "bin";
    QTest::newRow("nothing beside, share folder") << QStringList{"bin/", shared} << "bin"
                                                  << "share/strelmark";
    QTest::newRow("skin folder without the skin") << QStringList{"bin/x/", shared} << "bin"
                                                  << "share/strelmark";
    QTest::newRow("other files beside do not count")
        << QStringList{"bin/strelmark", "bin/hand-m.cur", shared} << "bin"
        << "share/strelmark";
    QTest::newRow("neither") << QStringList{"bin/"} << "bin"
                             << "bin";
    QTest::newRow("share/strelmark is a file") << QStringList{"bin/", "share/strelmark"} << "bin"
                                               << "bin";
    QTest::newRow("folder named with a trailing separator") << QStringList{"bin/", shared} << "bin/"
                                                            << "share/strelmark";
    QTest::newRow("folder named through ..") << QStringList{"bin/", "lib/", shared} << "lib/../bin"
                                             << "share/strelmark";
    QTest::newRow("neither, folder named through ..") << QStringList{"bin/", "lib/"} << "lib/../bin"
                                                      << "bin";
    QTest::newRow("share folder beside another folder")
        << QStringList{"opt/app/bin/", "opt/app/share/strelmark/", shared} << "opt/app/bin"
        << "opt/app/share/strelmark";
}

void InstallTest::programFolder() {
    QFETCH(QStringList, tree);
    QFETCH(QString, executableFolder);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    createTree(root.path(), tree);
    if (QTest::currentTestFailed())
        return;

    const QString found = Main::ProgramFolder(root.path() + u'/' + executableFolder);
    QCOMPARE(found, root.path() + u'/' + expected);
}

void InstallTest::installedFiles() {
    QStringList expected = {
        QStringLiteral("bin/strelmark"),
        environment("STRELMARK_MODULE_DIR") + QStringLiteral("/strelmark-window.so"),
        QStringLiteral("share/applications/%1.desktop").arg(desktopId_),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(desktopId_),
        QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(desktopId_),
        QStringLiteral("share/strelmark/HAND-M.CUR"),
        QStringLiteral("share/strelmark/drag.ico"),
        QStringLiteral("share/strelmark/x/o.cjs"),
        QStringLiteral("share/bash-completion/completions/strelmark"),
        QStringLiteral("share/fish/vendor_completions.d/strelmark.fish"),
        QStringLiteral("share/zsh/site-functions/_strelmark"),
        QStringLiteral("share/doc/strelmark/copyright"),
    };
    for (int size : IconSizes)
        expected.append(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(desktopId_));
    for (const char *language : {"de", "es", "fr", "ru"})
        expected.append(QStringLiteral("share/strelmark/translations/strelmark_%1.qm")
                            .arg(QLatin1String(language)));
    const QString samples = source_ + QStringLiteral("/resources/Samples");
    const QStringList sampleFiles = filesUnder(samples);
    QVERIFY(!sampleFiles.isEmpty());
    for (const QString &sample : sampleFiles)
        expected.append(QStringLiteral("share/strelmark/Samples/") + sample);
    if (QFile::exists(source_ + QStringLiteral("/doc/strelmark.1")))
        expected.append(QStringLiteral("share/man/man1/strelmark.1"));
    expected.sort();

    const QStringList installed = filesUnder(prefix_.path());
    QStringList missing, extra;
    for (const QString &file : expected) {
        if (!installed.contains(file))
            missing.append(file);
    }
    for (const QString &file : installed) {
        if (!expected.contains(file))
            extra.append(file);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not installed: ") + missing.join(", ")));
    QVERIFY2(extra.isEmpty(), qPrintable(QStringLiteral("installed besides: ") + extra.join(", ")));

    const QFileInfo program(prefix_.filePath(QStringLiteral("bin/strelmark")));
    QVERIFY(program.isExecutable());
    QVERIFY(program.size() > 0);
}

void InstallTest::resourcesUnchanged() {
    const QString resources = source_ + QStringLiteral("/resources/");
    QStringList names = {"HAND-M.CUR", "drag.ico", "x/o.cjs"};
    for (const QString &sample : filesUnder(resources + QStringLiteral("Samples")))
        names.append(QStringLiteral("Samples/") + sample);
    for (const QString &name : names) {
        const QByteArray original = contentsOf(resources + name);
        QVERIFY2(!original.isEmpty(), qPrintable(name));
        QVERIFY2(
            contentsOf(prefix_.filePath(QStringLiteral("share/strelmark/") + name)) == original,
            qPrintable(name));
    }
}

void InstallTest::programFindsInstalledFiles() {
    const QString found = Main::ProgramFolder(prefix_.filePath(QStringLiteral("bin")));
    QCOMPARE(found, prefix_.filePath(QStringLiteral("share/strelmark")));
    QVERIFY(QFile::exists(found + QStringLiteral("/HAND-M.CUR")));
}

// The installed program answers on the command line, and finds its window in the module
// installed beside it: a program that cannot load it ends at once and says so.
void InstallTest::installedProgramRuns() {
    const QString program = prefix_.filePath(QStringLiteral("bin/strelmark"));
    QProcess version;
    version.start(program, {QStringLiteral("--version")});
    QVERIFY(version.waitForFinished());
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(version.readAllStandardOutput(),
             QByteArray("strelmark ") + environment("STRELMARK_VERSION").toUtf8() + '\n');
    // The installed program finds its catalogues in share/strelmark/translations.
    QProcess help;
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        german.remove(QLatin1String(name));
    german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    help.setProcessEnvironment(german);
    help.start(program, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished());
    QVERIFY2(help.readAllStandardOutput().startsWith("Aufruf: strelmark remove"),
             "the German --help");

    QTemporaryDir home;
    QProcess window;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(program, {});
    QVERIFY(window.waitForStarted());
    if (window.waitForFinished(1000))
        QFAIL(window.readAllStandardError().constData());
    window.kill();
    window.waitForFinished();
}

void InstallTest::icons_data() {
    QTest::addColumn<int>("size");
    for (int size : IconSizes)
        QTest::addRow("%dx%d", size, size) << size;
}

void InstallTest::icons() {
    QFETCH(int, size);
    const QString path = prefix_.filePath(
        QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(desktopId_));
    const QImage icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    // A drawing, not an empty canvas: the corner is clear and the middle is not.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
}

void InstallTest::desktopEntry() {
    QSettings entry(
        prefix_.filePath(QStringLiteral("share/applications/%1.desktop").arg(desktopId_)),
        QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), desktopId_);
    // The files the desktop opens with it become the list's rows.
    QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("strelmark %F"));
    QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
}

void InstallTest::metainfo() {
    const QString path =
        prefix_.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(desktopId_));
    QCOMPARE(findInXml(path, QStringLiteral("id")), std::optional<QString>(desktopId_));
    QCOMPARE(findInXml(path, QStringLiteral("launchable"), QStringLiteral("type"),
                       QStringLiteral("desktop-id")),
             std::optional<QString>(desktopId_ + QStringLiteral(".desktop")));
    QCOMPARE(findInXml(path, QStringLiteral("binary")),
             std::optional<QString>(QStringLiteral("strelmark")));

    // The release is the build's version, with a date that is a real day.
    const QString release = QStringLiteral("release");
    QCOMPARE(findInXml(path, release, {}, {}, QStringLiteral("version")),
             std::optional<QString>(environment("STRELMARK_VERSION")));
    const std::optional<QString> date = findInXml(path, release, {}, {}, QStringLiteral("date"));
    QVERIFY(date.has_value());
    QVERIFY2(QDate::fromString(*date, Qt::ISODate).isValid(), qPrintable(*date));
}

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
