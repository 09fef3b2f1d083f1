#include "cli/Cli.h"

#include "base/ErrorReport.h"
#include "cli/Arguments.h"
#include "cli/Completion.h"
#include "cli/RemoveRun.h"
#include "cli/Stop.h"
#include "undo/UndoStore.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace Cli {

namespace {

void Print(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// `strelmark undo`: the last run of either face taken back.
int Undo(const std::vector<std::string> &words) {
    const UndoRequest request = ParseUndo(words);
    if (request.help) {
        Print(stdout, HelpText());
        return 0;
    }
    if (request.version) {
        std::printf("strelmark %s\n", Version());
        return 0;
    }
    const bool quiet = request.quiet;
    UndoStore store;
    if (store.folder().isEmpty()) {
        Print(stderr, QStringLiteral(
                          "strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME\n"));
        return 1;
    }
    const UndoSummary summary = store.undoLast();
    const QStringList lines = DescribeUndo(summary);
    if (summary.outcome != UndoSummary::Outcome::Done) {
        for (const QString &line : lines)
            Print(stderr, QStringLiteral("strelmark: ") + line + u'\n');
        return 1;
    }
    if (!quiet) {
        const UndoRunInfo &run = *summary.run;
        Print(stdout,
              QStringLiteral("Undid the run of the %1 started %2 (%3 files).\n")
                      .arg(run.face == UndoFace::CommandLine ? QStringLiteral("command line")
                                                             : QStringLiteral("window"),
                           run.started.toString(Qt::ISODate))
                      .arg(run.files) +
                  lines.join(u'\n') + u'\n');
    }
    for (const UndoSummary::Failure &failure : summary.failed) {
        if (quiet)
            Print(stderr,
                  QStringLiteral("strelmark: not restored, %1: %2\n")
                      .arg(SystemErrorText(failure.error), QString::fromUtf8(failure.path)));
    }
    return summary.failed.empty() ? 0 : 1;
}

}  // namespace

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
        if (command == "remove") {
            const RemoveRequest request = ParseRemove(rest, ::isatty(STDIN_FILENO) == 1);
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
        throw UsageError("unknown command '" + command + "' (remove, undo, --help, --version)");
    } catch (const UsageError &error) {
        std::fprintf(stderr,
                     "strelmark: %s\nstrelmark: Try 'strelmark --help' for more information.\n",
                     error.what());
        return 2;
    }
}

}  // namespace Cli
