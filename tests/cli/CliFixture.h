// What the tests of the command line share: the real program as a child process, in temporary
// folders, with no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM taken out of its
// environment) and with a home, settings and undo store of its own; and ways of looking at
// what it did.
#pragma once

#include "support/Child.h"
#include "support/FileTree.h"
#include "support/OperationCases.h"
#include "support/ScriptedPlatform.h"
#include "support/TestFiles.h"
#include "support/Unprivileged.h"

#include "cli/IgnoreRules.h"
#include "cli/OptionTable.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <pty.h>
#include <csignal>
#include <map>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CliTests {

using TestFiles::Entries;
using TestFiles::Name;
using TestFiles::Read;
using TestFiles::Write;

using Child::Drain;
using Child::Launch;
using Child::Outcome;

class Fixture : public QObject {
protected:
    std::unique_ptr<FileTree> tree;
    QString root;  // the test's folder: home, settings, undo store, files

    QString home() const { return root + QStringLiteral("/home"); }
    QString undoStore() const {
        return home() + QStringLiteral("/data/Brindlewick/Strelmark/undo");
    }

    // The program, with a home of its own and no display, in the test's folder unless the launch
    // names another.
    Outcome execute(Launch launch) { return Child::Run(prepared(std::move(launch))); }

    // The launch as execute() makes it.
    Launch prepared(Launch launch) {
        launch.program = STRELMARK_PROGRAM;
        launch.environment << "DISPLAY"
                           << "WAYLAND_DISPLAY"
                           << "QT_QPA_PLATFORM"
                           << "HOME=" + Name(home()) << "XDG_DATA_HOME=" + Name(home()) + "/data"
                           << "XDG_CONFIG_HOME=" + Name(home()) + "/config";
        if (launch.folder.isEmpty())
            launch.folder = root;
        if (launch.unprivileged)
            Unprivileged::GiveTree(root);
        return launch;
    }

    Outcome run(const QStringList &args) {
        Launch launch;
        for (const QString &arg : args)
            launch.args.append(Name(arg));
        return execute(std::move(launch));
    }

    // Every file below `folder` by its relative path, with its bytes.
    static std::map<QString, QByteArray> Files(const QString &folder) {
        std::map<QString, QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[QDir(folder).relativeFilePath(path)] = Read(path);
        }
        return files;
    }

    // Every entry below `folder` with what identifies it: kind, inode, modification time and
    // bytes. Equal snapshots: nothing was written, replaced or touched.
    static std::map<QString, QByteArray> Snapshot(const QString &folder) {
        std::map<QString, QByteArray> entries;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat info {};
            ::lstat(Name(path).constData(), &info);
            QByteArray identity = TestFiles::Identity(path).toUtf8() + ' ' +
                                  QByteArray::number(qlonglong(info.st_mtim.tv_sec)) + '.' +
                                  QByteArray::number(qlonglong(info.st_mtim.tv_nsec));
            if (S_ISREG(info.st_mode))
                identity += ' ' + Read(path);
            entries[QDir(folder).relativeFilePath(path)] = identity;
        }
        return entries;
    }

    // The JSON records of a run: one object per file, then the summary.
    static QList<QJsonObject> Records(const QByteArray &out, QJsonObject *summary = nullptr) {
        QList<QJsonObject> records;
        for (const QByteArray &line : out.split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line, &error);
            if (error.error != QJsonParseError::NoError || !document.isObject()) {
                qWarning("not a JSON object: %s", line.constData());
                return {};
            }
            const QJsonObject object = document.object();
            if (object.contains(QStringLiteral("summary"))) {
                if (summary)
                    *summary = object.value(QStringLiteral("summary")).toObject();
            } else {
                records.append(object);
            }
        }
        return records;
    }

    // The program with its standard output (`output`) or its standard error on a terminal of
    // 60 columns whose TERM can redraw a line; what the terminal showed goes to `shown`.
    Outcome onTerminal(Launch launch, bool output, QByteArray &shown) {
        int master = -1, terminal = -1;
        winsize size{};
        size.ws_col = 60;
        size.ws_row = 20;
        if (::openpty(&master, &terminal, nullptr, nullptr, &size) != 0)
            qFatal("no terminal for the program");
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        (output ? launch.outputTo : launch.errorsTo) = terminal;
        if (!launch.environment.contains("TERM=dumb"))
            launch.environment << "TERM=xterm-256color";
        launch.whileRunning = [&](pid_t) {
            Drain(master, shown);
            return false;
        };
        const Outcome outcome = execute(launch);
        ::close(terminal);
        while (Drain(master, shown)) {
            pollfd fd{master, POLLIN, 0};
            if (::poll(&fd, 1, 100) <= 0)
                break;
        }
        ::close(master);
        return outcome;
    }

    QString input(const QString &relative, const QByteArray &content) {
        const QString path = root + u'/' + relative;
        Write(path, content);
        return path;
    }

    // A file whose result for lines-containing "drop" is known: every fifth line goes.
    static QByteArray NumberedPage(int n, int lines, QByteArray *result) {
        QByteArray page;
        QByteArrayList kept;
        for (int i = 0; i < lines; ++i) {
            const QByteArray line = (i % 5 == 3 ? "drop " : "keep ") + QByteArray::number(n) + ' ' +
                                    QByteArray::number(i) + " lorem ipsum dolor sit amet";
            page += line + '\n';
            if (i % 5 != 3)
                kept.append(line);
        }
        if (result)
            *result = kept.join("\n") + '\n';
        return page;
    }

    // The paths a dry run lists, below `folder`, and its exit status in front.
    static QStringList ListedBelow(const Outcome &outcome, const QString &folder) {
        QStringList paths{QString::number(outcome.exitCode)};
        for (const QJsonObject &record : Records(outcome.out))
            paths << record.value(QStringLiteral("path")).toString().remove(folder + u'/');
        return paths;
    }

    void setUp() {
        tree = std::make_unique<FileTree>();
        root = tree->path();
        QDir().mkpath(home());
    }
    void tearDown() {
        // Folders a test made unwritable are given back, so that they can be removed.
        QDirIterator it(root, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            ::chmod(Name(it.next()).constData(), 0755);
        tree.reset();
    }
};

}  // namespace CliTests
