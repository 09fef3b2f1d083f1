#include "cli/RemoveRun.h"

#include "base/ErrorReport.h"
#include "base/Main.h"
#include "cli/PathSource.h"
#include "cli/Report.h"
#include "cli/Stop.h"
#include "engine/ParallelRun.h"
#include "engine/Plan.h"
#include "text/OperationTable.h"
#include "undo/UndoStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
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

std::string Bytes(const QString &path) {
    return Main::PathBytes(path);
}

QString Reason(int error) {
    return SystemErrorText(error);
}

// Where a dry run that would make the output folder looks at its results: a name that nothing
// has in the nearest folder above it that exists, where the folder would be made.
QString EvaluationPath(const QString &outFolder) {
    QString folder = QDir::cleanPath(outFolder);  // relative stays so: no working folder asked
    while (!Main::FolderExists(folder) && folder != QStringLiteral("/"))
        folder = QFileInfo(folder).path();
    for (int n = 0;; ++n) {
        QString path = QDir(folder).filePath(
            QStringLiteral(".strelmark-dry-run-%1-%2").arg(::getpid()).arg(n));
        struct stat info;
        if (::lstat(Bytes(path).c_str(), &info) != 0 && errno == ENOENT)
            return path;
    }
}

// Makes the folder and the folders above it that are missing, as mkdir -p: 0 or the errno. A
// relative path stays relative, so that no working folder is asked for (one too deep to name).
int MakeFolders(const QString &folder) {
    const std::string path = Bytes(QDir::cleanPath(folder));
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return errno;
    }
    return Main::FolderExists(folder) ? 0 : ENOTDIR;
}

// The path with its links resolved as far as it exists, the rest cleaned as words (a folder
// --mkdir would make); relative to the working folder. Empty when nothing of it resolves.
std::string ResolvedAsFarAsItExists(const std::string &path) {
    std::string head = path.empty() ? std::string(1, '.') : path;
    std::vector<std::string> rest;  // the names that are not there yet, the last first
    for (;;) {
        if (std::string real = RealPath(head); !real.empty()) {
            for (auto name = rest.rbegin(); name != rest.rend(); ++name)
                real += '/' + *name;
            return Bytes(QDir::cleanPath(Main::PathText(real)));
        }
        const std::size_t end = head.find_last_not_of('/');
        if (end == std::string::npos || head.compare(0, end + 1, ".") == 0)
            return {};
        const std::size_t slash = head.rfind('/', end);
        const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
        rest.push_back(head.substr(from, end + 1 - from));
        if (slash == std::string::npos)
            head.assign(1, '.');
        else
            head.resize(slash == 0 ? 1 : slash);
    }
}

}  // namespace

int RunRemove(const RemoveRequest &request) {
    Reporter reporter(request);
    Engine::Plan plan;
    plan.lineNumber = request.lineNumber;
    plan.dryRun = request.dryRun;
    plan.jobs = request.jobs;
    plan.chooserText = CaptionOf(request.operation);
    plan.conditionText = request.text;
    plan.match = request.match;
    plan.replacing = request.replacing;
    plan.replacement = request.replacement;
    // A pattern that does not compile is refused before anything is made or read.
    try {
        Engine::PrepareMatcher(plan, plan.conditionText, plan.chooserText);
    } catch (const Operations::InvalidPattern &invalid) {
        reporter.error(invalid.message());
        return 2;
    }
    reporter.setMatcher(plan.matcher.get());

    // The output folder, never the undo store's nor one in it.
    if (const QString store = UndoStore::DefaultFolder();
        !request.inPlace && !request.filter && !store.isEmpty()) {
        if (IsWithin(ResolvedAsFarAsItExists(Bytes(request.outFolder)),
                     ResolvedAsFarAsItExists(Bytes(store))))
            throw UsageError(WithWords(Texts::tr("--out %1 is in the undo store, which a run "
                                                 "never writes results in"),
                                       Bytes(request.outFolder)));
    }
    if (!request.inPlace && !request.filter && !Main::FolderExists(request.outFolder)) {
        struct stat there;
        if (::stat(Bytes(request.outFolder).c_str(), &there) == 0)
            throw UsageError(
                WithWords(Texts::tr("--out %1 is not a folder"), Bytes(request.outFolder)));
        if (!request.makeFolder)
            throw UsageError(WithWords(Texts::tr("the folder %1 does not exist (--mkdir makes it)"),
                                       Bytes(request.outFolder)));
        if (request.dryRun) {
            plan.dryRunOutput = EvaluationPath(request.outFolder);
        } else if (const int error = MakeFolders(request.outFolder)) {
            reporter.error(
                Texts::tr("cannot make the folder %1: %2").arg(request.outFolder, Reason(error)));
            reporter.finish(0, 1);
            return 1;
        }
    }

    // The undo store keeps what the run replaces; a run that writes does not start without it.
    std::vector<std::string> written;  // the folders the run makes files in
    std::unique_ptr<UndoRecorder> recorder;
    if (!request.dryRun && !request.filter) {
        UndoStore store;
        if (store.folder().isEmpty()) {
            reporter.error(Texts::tr(
                "no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)"));
            reporter.finish(0, 1);
            return 1;
        }
        if (const int error = store.prepare()) {
            reporter.error(Texts::tr("the undo store cannot be used: %1: %2 (nothing was "
                                     "changed)")
                               .arg(Reason(error), store.folder()));
            reporter.finish(0, 1);
            return 1;
        }
        // What the run was asked to do, for the list of runs (`strelmark undo --list`).
        UndoRunWhat what;
        what.operation = request.replacing ? "replace" : Operations::InfoOf(request.operation).name;
        what.condition =
            Operations::InfoOf(request.operation).operand == Operations::Operand::Number
                ? std::to_string(request.lineNumber)
                : request.text.toStdString();
        what.inPlace = request.inPlace;
        if (!request.inPlace)
            what.folder = RealPath(Bytes(request.outFolder));
        recorder = store.beginRun(UndoFace::CommandLine, std::move(what));
        // Another run that writes goes first: this one reads what that one leaves.
        bool said = false;
        const int error = recorder->waitTurn([&] {
            if (!said && !request.quiet)
                std::fputs(("strelmark: " + Texts::tr("waiting for another run to finish") + u'\n')
                               .toUtf8()
                               .constData(),
                           stderr);
            said = true;
            return Stop::Signal() == 0;
        });
        if (error != 0) {
            if (error != ECANCELED)
                reporter.error(Texts::tr("the undo store cannot be used: %1: %2 (nothing was "
                                         "changed)")
                                   .arg(Reason(error), store.folder()));
            reporter.finish(Stop::Signal(), error == ECANCELED ? 128 + Stop::Signal() : 1);
            return error == ECANCELED ? 128 + Stop::Signal() : 1;
        }
        plan.journal = recorder.get();
        written.push_back(RealPath(Bytes(store.folder())));
        if (!request.inPlace)
            written.push_back(RealPath(Bytes(request.outFolder)));
    }

    // The files, found as the window finds them, are worked on as they are found.
    Engine::StopToken stop(&Stop::Flag());
    PathSource source(request, written, RealPath(Bytes(UndoStore::DefaultFolder())), stop);
    const Engine::Totals totals = Engine::RunParallel(plan, source, reporter, stop);
    reporter.notProcessed(totals.notProcessed);
    if (recorder)
        recorder->finish();

    int status = reporter.failed() ? 1 : 0;
    const int signal = Stop::Signal();
    if (reporter.outputError() != 0 && reporter.outputError() != EPIPE) {
        reporter.error(
            Texts::tr("cannot write the output: %1").arg(Reason(reporter.outputError())));
        status = 1;
    } else if (signal != 0) {
        status = 128 + signal;
    }
    reporter.finish(reporter.outputError() == 0 ? signal : 0, status);
    return status;
}

}  // namespace Cli
