#include "cli/Cli.h"

#include "base/ErrorReport.h"
#include "base/Main.h"
#include "base/StartUp.h"
#include "base/Translations.h"
#include "cli/Arguments.h"
#include "cli/Completion.h"
#include "cli/RemoveRun.h"
#include "cli/Report.h"
#include "cli/Stop.h"
#include "text/OperationTable.h"
#include "undo/UndoStore.h"

#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

}  // namespace

namespace Cli {

namespace {

void Print(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// Text that names files: their bytes as they are (base/Main.h, PathText), and on a terminal each
// line shown as the run's listing shows names (ForTerminal).
void PrintNames(std::FILE *stream, const QString &text) {
    std::string bytes = Main::PathBytes(text);
    if (::isatty(::fileno(stream)) == 1) {
        std::string shown;
        std::size_t from = 0;
        for (std::size_t end; (end = bytes.find('\n', from)) != std::string::npos; from = end + 1)
            shown += ForTerminal(std::string_view(bytes).substr(from, end - from)) + '\n';
        bytes = shown + ForTerminal(std::string_view(bytes).substr(from));
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

// A file or folder of that name, and no option.
bool Exists(const std::string &word) {
    struct stat info;
    return !word.empty() && word[0] != '-' && ::stat(word.c_str(), &info) == 0;
}

QString UndoHelpText() {
    return Texts::tr(
        "Usage: strelmark undo [RUN] [-n | --dry-run] [--force] [-q | --quiet]\n"
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
        "      --force     a run whose record does not read whole: put back what the\n"
        "                  part that reads names\n"
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
        Print(stdout, Texts::tr("There is no run to undo.\n"));
        return 0;
    }
    int number = 0;
    for (const UndoRunInfo &run : runs) {
        const QString where = run.what.inPlace || run.what.folder.empty()
                                  ? Texts::tr("in place, in %1").arg(Main::PathText(run.folder))
                                  : Texts::tr("into %1").arg(Main::PathText(run.what.folder));
        QString text = QStringLiteral("%1  %2\n").arg(++number).arg(run.name);
        text +=
            QStringLiteral("   ") +
            Texts::tr("started %1 by the %2: %3 %4")
                .arg(run.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     run.face == UndoFace::CommandLine ? Texts::tr("command line")
                                                       : Texts::tr("window"),
                     run.files == 1 ? Texts::tr("1 file") : Texts::tr("%1 files").arg(run.files),
                     where) +
            u'\n';
        const QString what = WhatText(run.what);
        text += QStringLiteral("   ") + (what.isEmpty() ? QString() : what + QStringLiteral("; ")) +
                (run.inProgress ? Texts::tr("still in progress")
                                : Texts::tr("%1 of %2 can still be taken back")
                                      .arg(run.restorable)
                                      .arg(run.files)) +
                u'\n';
        PrintNames(stdout, text);
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
        Print(stderr,
              Texts::tr("strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME\n"));
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
    UndoOptions options;
    options.dryRun = request.dryRun;
    options.force = request.force;
    options.stop = &Stop::Flag();
    const UndoSummary summary =
        chosen.empty() ? store.undoLast(options) : store.undoRun(name, options);
    const QStringList lines = DescribeUndo(summary, UndoPaths::Exact);
    if (summary.outcome != UndoSummary::Outcome::Done) {
        for (const QString &line : lines)
            PrintNames(stderr, QStringLiteral("strelmark: ") + line + u'\n');
        if (summary.outcome == UndoSummary::Outcome::Damaged)
            Print(stderr,
                  QStringLiteral("strelmark: 'strelmark undo --force%1' puts back what "
                                 "it names.\n")
                      .arg(chosen.empty() ? QString() : u' ' + QString::fromStdString(chosen)));
        return 1;
    }
    if (!quiet) {
        const UndoRunInfo &run = *summary.run;
        const QString face =
            run.face == UndoFace::CommandLine ? Texts::tr("command line") : Texts::tr("window");
        const QString started = run.started.toString(Qt::ISODate);
        PrintNames(
            stdout,
            (request.dryRun ? Texts::tr("Undoing the run of the %1 started %2 (%3 files) would do "
                                        "this:\n")
                            : Texts::tr("Undid the run of the %1 started %2 (%3 files).\n"))
                    .arg(face, started)
                    .arg(run.files) +
                lines.join(u'\n') + u'\n');
    }
    for (const UndoSummary::Failure &failure : summary.failed) {
        if (quiet && !request.dryRun)
            PrintNames(stderr,
                       Texts::tr("strelmark: not restored, %1: %2\n")
                           .arg(SystemErrorText(failure.error), Main::PathText(failure.path)));
    }
    if (const int signal = Stop::Signal(); signal != 0 && summary.notReached > 0) {
        Print(stderr, QStringLiteral("strelmark: stopped by %1\n")
                          .arg(signal == SIGINT    ? QStringLiteral("SIGINT")
                               : signal == SIGTERM ? QStringLiteral("SIGTERM")
                                                   : QStringLiteral("SIGHUP")));
        return 128 + signal;
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
    // Messages and --help in the user's language when it is not English (the catalogue needs
    // the application object, which English does without).
    int count = argc;
    std::optional<QCoreApplication> application;
    if (!Translations::Languages().isEmpty() || command == "remove" || command == "undo")
        application.emplace(count, argv);
    if (application)
        Translations::Install(Main::ProgramFolder() + QStringLiteral("/translations"));
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
            return RunRemove(request);
        }
        if (command == "undo") {
            Stop::Install();
            return Undo(rest);
        }
        // Files and folders for the window, one of them missing (OpensWindow() took the rest).
        if (Exists(command)) {
            for (const std::string &word : rest) {
                if (!Exists(word))
                    throw UsageError(WithWords(Texts::tr("there is no file or folder '%1'"), word));
            }
        }
        throw UsageError(WithWords(
            Texts::tr("unknown command '%1' (remove, replace, undo, --help, --version)"), command));
    } catch (const UsageError &error) {
        std::fprintf(
            stderr, "strelmark: %s\nstrelmark: %s\n", error.what(),
            Texts::tr("Try 'strelmark --help' for more information.").toUtf8().constData());
        return 2;
    }
}

}  // namespace Cli
