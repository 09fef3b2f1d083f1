#include "cli/Cli.h"

#include "base/ErrorReport.h"
#include "cli/Arguments.h"
#include "cli/Completion.h"
#include "cli/RemoveRun.h"
#include "cli/Stop.h"
#include "text/OperationTable.h"
#include "undo/UndoStore.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {

void Print(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// A file or folder of that name, and no option.
bool Exists(const std::string &word) {
    struct stat info;
    return !word.empty() && word[0] != '-' && ::stat(word.c_str(), &info) == 0;
}

QString Tr(const char *text) {
    return QCoreApplication::translate("Cli", text);
}

QString UndoHelpText() {
    return Tr(
        "Usage: strelmark undo [RUN] [-n | --dry-run] [-q | --quiet]\n"
        "       strelmark undo -l | --list\n"
        "\n"
        "Takes a run back, of the window or of the command line: every file it replaced\n"
        "is put back, every file it created is removed, and a file changed since the run\n"
        "is left alone. Without RUN, the last run; RUN is a run's number or name as\n"
        "--list shows them (1 is the newest).\n"
        "\n"
        "  -l, --list      the runs kept: when, where, how many files, what was done,\n"
        "                  and how many of their files can still be taken back\n"
        "  -n, --dry-run   change nothing: tell what the undo would do to each file\n"
        "  -q, --quiet     print only errors\n"
        "  -h, --help      print this help and exit\n"
        "  -V, --version   print the version and exit\n");
}

// "lines-containing \"meta http\"", "line 12", "blank-lines"; empty when the record has none.
QString WhatText(const UndoRunWhat &what) {
    QString text = QString::fromUtf8(what.operation);
    if (!what.condition.empty()) {
        const Operations::OperationInfo *operation = Operations::OperationNamed(what.operation);
        const bool number = operation && operation->operand == Operations::Operand::Number;
        const QString condition = QString::fromUtf8(what.condition);
        text += u' ' + (number ? condition : u'"' + condition + u'"');
    }
    return text;
}

// `strelmark undo --list`: the runs, newest first, two or three lines each.
int ListRuns(const UndoStore &store) {
    const std::vector<UndoRunInfo> runs = store.listRuns();
    if (runs.empty()) {
        Print(stdout, Tr("There is no run to undo.\n"));
        return 0;
    }
    int number = 0;
    for (const UndoRunInfo &run : runs) {
        const QString where = run.what.inPlace || run.what.folder.empty()
                                  ? Tr("in place, in %1").arg(QString::fromUtf8(run.folder))
                                  : Tr("into %1").arg(QString::fromUtf8(run.what.folder));
        QString text = QStringLiteral("%1  %2\n").arg(++number).arg(run.name);
        text += QStringLiteral("   ") +
                Tr("started %1 by the %2: %3 %4")
                    .arg(run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         run.face == UndoFace::CommandLine ? Tr("command line") : Tr("window"),
                         run.files == 1 ? Tr("1 file") : Tr("%1 files").arg(run.files), where) +
                u'\n';
        const QString what = WhatText(run.what);
        text += QStringLiteral("   ") + (what.isEmpty() ? QString() : what + QStringLiteral("; ")) +
                (run.inProgress
                     ? Tr("still in progress")
                     : Tr("%1 of %2 can still be taken back").arg(run.restorable).arg(run.files)) +
                u'\n';
        Print(stdout, text);
    }
    return 0;
}

// `strelmark undo [RUN]`: the last run of either face taken back, or the one named.
int Undo(const std::vector<std::string> &words) {
    const UndoRequest request = ParseUndo(words);
    if (request.help) {
        Print(stdout, UndoHelpText());
        return 0;
    }
    if (request.version) {
        std::printf("strelmark %s\n", Version());
        return 0;
    }
    const bool quiet = request.quiet;
    const std::string &chosen = request.run;
    UndoStore store;
    if (store.folder().isEmpty()) {
        Print(stderr, QStringLiteral(
                          "strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME\n"));
        return 1;
    }
    if (request.list)
        return ListRuns(store);
    // A number counts from the newest run, as --list numbers them.
    QString name = QString::fromStdString(chosen);
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (isNumber && name.size() < 6) {
        const std::vector<UndoRunInfo> runs = store.listRuns();
        name = number >= 1 && std::size_t(number) <= runs.size()
                   ? runs[std::size_t(number - 1)].name
                   : QStringLiteral("-");
    }
    const UndoSummary summary =
        chosen.empty() ? store.undoLast(request.dryRun) : store.undoRun(name, request.dryRun);
    const QStringList lines = DescribeUndo(summary);
    if (summary.outcome != UndoSummary::Outcome::Done) {
        for (const QString &line : lines)
            Print(stderr, QStringLiteral("strelmark: ") + line + u'\n');
        return 1;
    }
    if (!quiet) {
        const UndoRunInfo &run = *summary.run;
        const QString face = run.face == UndoFace::CommandLine ? QStringLiteral("command line")
                                                               : QStringLiteral("window");
        const QString started = run.started.toString(Qt::ISODate);
        Print(stdout,
              (request.dryRun ? Tr("Undoing the run of the %1 started %2 (%3 files) would do "
                                   "this:\n")
                              : QStringLiteral("Undid the run of the %1 started %2 (%3 files).\n"))
                      .arg(face, started)
                      .arg(run.files) +
                  lines.join(u'\n') + u'\n');
    }
    for (const UndoSummary::Failure &failure : summary.failed) {
        if (quiet && !request.dryRun)
            Print(stderr,
                  QStringLiteral("strelmark: not restored, %1: %2\n")
                      .arg(SystemErrorText(failure.error), QString::fromUtf8(failure.path)));
    }
    return summary.failed.empty() || request.dryRun ? 0 : 1;
}

}  // namespace

bool OpensWindow(int argc, char **argv) {
    if (argc < 2)
        return false;
    const std::string first = argv[1];
    if (first == "remove" || first == "replace" || first == "undo" || first == "help")
        return false;
    return std::all_of(argv + 1, argv + argc, [](const char *word) { return Exists(word); });
}

int Main(int argc, char **argv) {
    // The file system's bytes as they came: Qt's own list would have replaced what is not
    // UTF-8.
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty())
        return 2;
    const std::string &command = words[0];
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            Print(stdout, HelpText());
            return 0;
        }
        if (command == "__complete") {
            Print(stdout, Complete(rest));
            return 0;
        }
        if (command == "--version" || command == "-V") {
            std::printf("strelmark %s\n", Version());
            return 0;
        }
        if (command == "remove" || command == "replace") {
            const bool terminal = ::isatty(STDIN_FILENO) == 1;
            const RemoveRequest request =
                command == "remove" ? ParseRemove(rest, terminal) : ParseReplace(rest, terminal);
            if (request.help) {
                Print(stdout, HelpText());
                return 0;
            }
            if (request.version) {
                std::printf("strelmark %s\n", Version());
                return 0;
            }
            Stop::Install();
            int count = argc;
            QCoreApplication application(count, argv);
            return RunRemove(request);
        }
        if (command == "undo") {
            int count = argc;
            QCoreApplication application(count, argv);
            return Undo(rest);
        }
        // Files and folders for the window, one of them missing (OpensWindow() took the rest).
        if (Exists(command)) {
            for (const std::string &word : rest) {
                if (!Exists(word))
                    throw UsageError("there is no file or folder '" + word + "'");
            }
        }
        throw UsageError("unknown command '" + command +
                         "' (remove, replace, undo, --help, --version)");
    } catch (const UsageError &error) {
        std::fprintf(stderr,
                     "strelmark: %s\nstrelmark: Try 'strelmark --help' for more information.\n",
                     error.what());
        return 2;
    }
}

}  // namespace Cli
