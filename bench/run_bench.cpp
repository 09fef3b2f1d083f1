// "Start Removing" through the real window: the run over the corpus tree of 10,000 pages with
// "Remove all lines containing those characters" and the text "meta http", into an output
// folder, driven offscreen through the scripted platform. In the same run, on the same files,
// it times `cp -r` of the tree (the I/O floor) and GNU sed doing the same work over a fresh
// copy (the copy not counted), and it reports the longest time the window went without
// answering events while the run worked. Interleaved with the window's run, it times the
// command line on the same tree (`strelmark remove lines-containing 'meta http' --ext '*' -q
// --out OUT TREE`) with --jobs 1 and --jobs 2, and puts the window against the first. Both keep
// their undo store as they do by default, in a fresh folder beside the outputs (the window's
// given to it, the command line's through XDG_DATA_HOME), so that both record on the same file
// system; the figures give the processor times (user and system) beside the wall clock.
//
//   build/bin/run_bench [--corpus DIR] [--out DIR]... [--reps N] [--program PATH]
//
// --program names the command line (default: bin/strelmark beside the benchmark's folder). The
// corpus is generated with strelmark_corpus when DIR holds none. Outputs go to fresh
// folders under --out (default /dev/shm, a tmpfs), removed after each repetition; given several
// (a tmpfs and a disk), the run is timed on each and the figures are put side by side.
//
//   build/bin/run_bench --preview [--corpus DIR] [--out DIR] [--reps N]
//
// times "Preview..." over the tree (nothing written) against the run that follows it.
//
//   build/bin/run_bench --in-place [--corpus DIR] [--out DIR] [--reps N]
//
// times instead the run in place ("Save results in folder of original file") over fresh copies
// of the tree, with the window's undo store keeping what the run replaces (on the same file
// system, so by hard link) and without it, the two interleaved and each first in turn; then the
// undo of the run that kept its originals. These two take the first --out.

#include "BenchSupport.h"
#include "BenchWindow.h"

#include "app/Form1.h"
#include "app/PreviewDialog.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "filelist/FileListModel.h"
#include "support/ScriptedPlatform.h"
#include "undo/UndoStore.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Bench::Median;

struct Options {
    QString corpus = QStringLiteral("/dev/shm/strelmark-corpus");
    QStringList outs;
    QString program;  // the command line
    int reps = 3;
    bool inPlace = false;
    bool preview = false;
};

struct Figures {
    QString out;
    double cp = 0, sed = 0, run = 0, gap = 0;
    double jobs1 = 0, jobs2 = 0;  // the command line
};

// Runs a shell command and returns its wall-clock time in seconds; exits when it fails.
double timed(const QString &command) {
    QElapsedTimer timer;
    timer.start();
    if (std::system(command.toLocal8Bit().constData()) != 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(command));
        std::exit(1);
    }
    return timer.nsecsElapsed() / 1e9;
}

QString quoted(const QString &path) {
    return u'\'' + path + u'\'';
}

// The tree's files in the order the list would get them, and their total size.
QStringList treeFiles(const QString &tree, qint64 &bytes) {
    QStringList files;
    bytes = 0;
    QDirIterator it(tree, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
        bytes += it.fileInfo().size();
    }
    files.sort();
    return files;
}

// User or system time of the process, or with `thisThread` of the calling thread alone.
double processorSeconds(bool user, bool thisThread = false) {
    rusage usage;
    getrusage(thisThread ? RUSAGE_THREAD : RUSAGE_SELF, &usage);
    const timeval &t = user ? usage.ru_utime : usage.ru_stime;
    return t.tv_sec + t.tv_usec / 1e6;
}

struct RunResult {
    double seconds = 0;
    double userSeconds = 0, systemSeconds = 0;
    double longestGapMs = 0;
    int messages = 0;
    double mainThreadSeconds = -1;  // of the processor time, the window's thread's (user+system)

    double processor() const { return userSeconds + systemSeconds; }
};

double Seconds(const timeval &t) {
    return t.tv_sec + t.tv_usec / 1e6;
}

// The command line over `tree` into `outFolder` with `jobs` workers, its undo store in
// `dataFolder` (XDG_DATA_HOME): wall clock and processor times. Exits when it fails.
RunResult runCommandLine(const QString &program, int jobs, const QString &tree,
                         const QString &outFolder, const QString &dataFolder) {
    std::vector<std::string> args = {program.toStdString(),
                                     "remove",
                                     "lines-containing",
                                     "meta http",
                                     "--ext",
                                     "*",
                                     "--jobs",
                                     std::to_string(jobs),
                                     "-q",
                                     "--out",
                                     outFolder.toStdString(),
                                     tree.toStdString()};
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string data = "XDG_DATA_HOME=" + dataFolder.toStdString();
    std::vector<char *> envp;
    for (char **e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "XDG_DATA_HOME=", 14) != 0)
            envp.push_back(*e);
    }
    envp.push_back(data.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    RunResult result;
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.userSeconds = Seconds(usage.ru_utime);
    result.systemSeconds = Seconds(usage.ru_stime);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the command line failed (status %d)\n", status);
        std::exit(1);
    }
    return result;
}

// The number of files below `folder`.
qsizetype filesBelow(const QString &folder) {
    qsizetype count = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

// One run through the window: the list filled, the condition set, "Start Removing" clicked.
// An empty `outFolder` runs in place. `undoFolder` empty: no undo store; otherwise the store
// there keeps what the run replaces, and `undoSeconds` gets the time of undoing the run.
RunResult runThroughWindow(const QStringList &files, const QString &outFolder,
                           const QString &undoFolder = QString(), double *undoSeconds = nullptr) {
    Bench::OffscreenWindow offscreen(undoFolder);
    Form1 &window = offscreen.window;
    ScriptedPlatform &platform = offscreen.platform;
    if (undoFolder.isEmpty())
        window.runJournals = [] { return std::unique_ptr<ReplacementJournal>(); };
    window.fileList->append(files);
    window.Combo1->setCurrentIndex(0);
    window.Text1->setText(QStringLiteral("meta http"));
    if (outFolder.isEmpty()) {
        window.Option2->setChecked(true);
    } else {
        window.Option1->setChecked(true);
        window.Text2->setText(outFolder + u'/');
    }

    RunResult result;
    EventPump::ResetLongestGap();
    const double user = processorSeconds(true), system = processorSeconds(false);
    const double mainThread = processorSeconds(true, true) + processorSeconds(false, true);
    QElapsedTimer timer;
    timer.start();
    window.PushButton8->click();
    result.seconds = timer.nsecsElapsed() / 1e9;
    result.userSeconds = processorSeconds(true) - user;
    result.systemSeconds = processorSeconds(false) - system;
    result.mainThreadSeconds =
        processorSeconds(true, true) + processorSeconds(false, true) - mainThread;
    result.longestGapMs = EventPump::LongestGap().count() / 1e6;
    result.messages = static_cast<int>(platform.messages().size());
    if (platform.messages() != QStringList{QStringLiteral("Done.")}) {
        std::fprintf(stderr, "the run reported: %s\n",
                     qPrintable(platform.messages().join(QStringLiteral(" | "))));
        std::exit(1);
    }
    if (undoSeconds) {
        QElapsedTimer undoTimer;
        undoTimer.start();
        const UndoSummary undone = window.undoStore().undoLast();
        *undoSeconds = undoTimer.nsecsElapsed() / 1e9;
        if (undone.outcome != UndoSummary::Outcome::Done || !undone.failed.empty() ||
            !undone.leftAlone.empty()) {
            std::fprintf(stderr, "the undo did not restore every file\n");
            std::exit(1);
        }
    }
    return result;
}

// The preview of the same run ("Preview..."): nothing written, every row listed; and the run
// itself after it, into a fresh folder.
void preview(const Options &options, const QStringList &files, double mb) {
    std::printf("Preview through the window, \"meta http\", %.1f MB, against the run itself\n", mb);
    std::vector<double> previews, runs, gaps, previewCpu, runCpu;
    for (int rep = 0; rep < options.reps; ++rep) {
        QTemporaryDir scratch(options.outs.front() + QStringLiteral("/strelmark-preview-XXXXXX"));
        const QString output = scratch.filePath(QStringLiteral("out"));
        QDir().mkpath(output);
        {
            Bench::OffscreenWindow offscreen;
            Form1 &window = offscreen.window;
            window.fileList->append(files);
            window.Combo1->setCurrentIndex(0);
            window.Text1->setText(QStringLiteral("meta http"));
            window.Option1->setChecked(true);
            window.Text2->setText(output + u'/');
            EventPump::ResetLongestGap();
            const double user = processorSeconds(true), system = processorSeconds(false);
            QElapsedTimer timer;
            timer.start();
            window.Preview_Click();
            previews.push_back(timer.nsecsElapsed() / 1e9);
            previewCpu.push_back(processorSeconds(true) - user + processorSeconds(false) - system);
            gaps.push_back(EventPump::LongestGap().count() / 1e6);
            if (!window.previewDialog() ||
                window.previewDialog()->rows().size() != std::size_t(files.size()) ||
                !QDir(output).isEmpty()) {
                std::fprintf(stderr, "the preview did not list every row, or wrote\n");
                std::exit(1);
            }
        }
        const RunResult run = runThroughWindow(files, output);
        runs.push_back(run.seconds);
        runCpu.push_back(run.userSeconds + run.systemSeconds);
        std::printf(
            "  rep %d: preview %.3f s (processor %.3f s, longest gap %.1f ms), run %.3f s "
            "(processor %.3f s)\n",
            rep + 1, previews.back(), previewCpu.back(), gaps.back(), runs.back(), runCpu.back());
        std::fflush(stdout);
    }
    std::printf(
        "\n  preview %.3f s, run %.3f s: preview / run = %.2f (processor %.2f); longest "
        "gap %.1f ms\n",
        Median(previews), Median(runs), Median(previews) / Median(runs),
        Median(previewCpu) / Median(runCpu), Median(gaps));
}

// The run in place over fresh copies of the tree, with and without the undo store.
void inPlace(const Options &options, const QString &tree, double mb) {
    std::printf("Start Removing in place through the window, \"meta http\", %.1f MB\n", mb);
    std::printf(
        "fresh copies of the tree under %s; undo store on the same file system; "
        "%d repetitions, interleaved, medians\n",
        qPrintable(options.outs.front()), options.reps);
    std::vector<double> without, with, undo, ratios, cpuWithout, cpuWith;
    for (int rep = 0; rep < options.reps; ++rep) {
        double seconds[2] = {0, 0}, cpu[2] = {0, 0};  // without, with
        for (int turn = 0; turn < 2; ++turn) {
            const bool keeping = (turn + rep) % 2 == 1;  // each goes first in turn
            QTemporaryDir scratch(options.outs.front() +
                                  QStringLiteral("/strelmark-inplace-XXXXXX"));
            const QString copy = scratch.filePath(QStringLiteral("tree"));
            timed(QStringLiteral("cp -r ") + quoted(tree) + u' ' + quoted(copy));
            qint64 bytes = 0;
            const QStringList files = treeFiles(copy, bytes);
            double undoSeconds = 0;
            const RunResult result = runThroughWindow(
                files, QString(), keeping ? scratch.filePath(QStringLiteral("undo")) : QString(),
                keeping ? &undoSeconds : nullptr);
            seconds[keeping] = result.seconds;
            cpu[keeping] = result.userSeconds + result.systemSeconds;
            if (keeping)
                undo.push_back(undoSeconds);
        }
        without.push_back(seconds[0]);
        with.push_back(seconds[1]);
        cpuWithout.push_back(cpu[0]);
        cpuWith.push_back(cpu[1]);
        ratios.push_back(seconds[1] / seconds[0]);
        std::printf(
            "  rep %d: without undo %.3f s (processor %.3f s), with undo %.3f s (processor "
            "%.3f s): %+.1f%%; undo %.3f s\n",
            rep + 1, seconds[0], cpu[0], seconds[1], cpu[1], (seconds[1] / seconds[0] - 1) * 100,
            undo.back());
        std::fflush(stdout);
    }
    const double mw = Median(without), mu = Median(with);
    const double cw = Median(cpuWithout), cu = Median(cpuWith);
    std::printf("\n  %-22s %8.3f s   processor %.3f s\n", "in place, no undo", mw, cw);
    std::printf("  %-22s %8.3f s   processor %.3f s\n", "in place, undo kept", mu, cu);
    std::printf("  %-22s %8.3f s\n", "undo of that run", Median(undo));
    std::printf(
        "\n  added by the undo store: %+.1f%% of the medians, %+.1f%% median of the pairs, "
        "%+.1f%% processor time (goal < 10%%)\n",
        (mu / mw - 1) * 100, (Median(ratios) - 1) * 100, (cu / cw - 1) * 100);
}

// What one repetition of the comparison measures.
struct Rep {
    double cp = 0, sed = 0;
    RunResult window, jobs1, jobs2;
};

// cp -r, sed, and the window's run against the command line with one and two workers, in
// fresh folders under `out`. The three runs go in a turning order, so that none is always
// first after sed.
Rep oneRep(const Options &options, const QString &out, const QString &tree,
           const QStringList &files, int rep) {
    QTemporaryDir scratch(out + QStringLiteral("/strelmark-run-XXXXXX"));
    const QString copy = scratch.filePath(QStringLiteral("cp"));
    const QString sedTree = scratch.filePath(QStringLiteral("sed"));
    Rep r;
    // Each contender starts with nothing left to write out by the one before.
    timed(QStringLiteral("sync"));
    r.cp = timed(QStringLiteral("cp -r ") + quoted(tree) + u' ' + quoted(copy));
    timed(QStringLiteral("cp -r ") + quoted(tree) + u' ' + quoted(sedTree) +
          QStringLiteral(" && sync"));
    r.sed = timed(QStringLiteral("find ") + quoted(sedTree) +
                  QStringLiteral(" -type f -exec sed -i -e '/meta http/Id' {} +"));
    for (int turn = 0; turn < 3; ++turn) {
        const int which = (turn + rep) % 3;  // 0: the window, 1 and 2: that many jobs
        const QString name = QString::number(which);
        const QString output = scratch.filePath(QStringLiteral("out") + name);
        const QString undo = scratch.filePath(QStringLiteral("undo") + name);
        QDir().mkpath(output);
        timed(QStringLiteral("sync"));
        if (which == 0)
            r.window = runThroughWindow(files, output, undo);
        else
            (which == 1 ? r.jobs1 : r.jobs2) =
                runCommandLine(options.program, which, tree, output, undo);
        if (filesBelow(output) != files.size()) {
            std::fprintf(stderr, "%s did not write every result\n",
                         which == 0 ? "the window" : "the command line");
            std::exit(1);
        }
    }
    return r;
}

Figures againstOthers(const Options &options, const QString &out, const QString &tree,
                      const QStringList &files, double mb) {
    std::printf(
        "\noutputs in fresh folders under %s (%s), each run's undo store beside them; %d "
        "repetitions, medians\n",
        qPrintable(out), Bench::FileSystemName(out.toStdString()).c_str(), options.reps);
    std::vector<double> cp, sed, run, gaps, jobs1, jobs2, ratios;
    std::vector<double> runCpu, jobs1Cpu, jobs2Cpu;
    auto show = [](const char *label, const RunResult &r) {
        std::printf("    %-22s %7.3f s (user %.3f s, system %.3f s", label, r.seconds,
                    r.userSeconds, r.systemSeconds);
        if (r.mainThreadSeconds >= 0)
            std::printf("; the window's thread %.3f s", r.mainThreadSeconds);
        std::printf(")\n");
    };
    for (int rep = 0; rep < options.reps; ++rep) {
        const Rep r = oneRep(options, out, tree, files, rep);
        cp.push_back(r.cp);
        sed.push_back(r.sed);
        run.push_back(r.window.seconds);
        gaps.push_back(r.window.longestGapMs);
        jobs1.push_back(r.jobs1.seconds);
        jobs2.push_back(r.jobs2.seconds);
        ratios.push_back(r.window.seconds / r.jobs1.seconds);
        runCpu.push_back(r.window.processor());
        jobs1Cpu.push_back(r.jobs1.processor());
        jobs2Cpu.push_back(r.jobs2.processor());
        std::printf("  rep %d: cp -r %.3f s, sed %.3f s, longest gap %.1f ms\n", rep + 1, r.cp,
                    r.sed, r.window.longestGapMs);
        show("Start Removing", r.window);
        show("command line, jobs 1", r.jobs1);
        show("command line, jobs 2", r.jobs2);
        std::fflush(stdout);
    }

    const double mcp = Median(cp), msed = Median(sed), mrun = Median(run);
    const double mj1 = Median(jobs1), mj2 = Median(jobs2);
    std::printf("\n  %-22s %8.3f s %6.0f MB/s\n", "cp -r", mcp, mb / mcp);
    std::printf("  %-22s %8.3f s %6.0f MB/s\n", "sed -i", msed, mb / msed);
    std::printf("  %-22s %8.3f s %6.0f MB/s   processor %.3f s\n", "Start Removing", mrun,
                mb / mrun, Median(runCpu));
    std::printf("  %-22s %8.3f s %6.0f MB/s   processor %.3f s\n", "command line, jobs 1", mj1,
                mb / mj1, Median(jobs1Cpu));
    std::printf("  %-22s %8.3f s %6.0f MB/s   processor %.3f s\n", "command line, jobs 2", mj2,
                mb / mj2, Median(jobs2Cpu));
    std::printf(
        "\n  window / command line (jobs 1) = %.2f (median of the pairs %.2f, processor "
        "%.2f; goal <= 1.10)\n",
        mrun / mj1, Median(ratios), Median(runCpu) / Median(jobs1Cpu));
    std::printf("  window / command line (jobs 2) = %.2f\n", mrun / mj2);
    std::printf(
        "  strelmark / cp -r = %.2f (goal <= 1.25)   sed / strelmark = %.2f (goal >= "
        "2 on tmpfs, >= 1.5 on a disk)\n",
        mrun / mcp, msed / mrun);
    std::printf(
        "  longest gap between event-loop pumps: %.1f ms median, %.1f ms worst (goal < 50)\n",
        Median(gaps), *std::max_element(gaps.begin(), gaps.end()));
    return {out, mcp, msed, mrun, *std::max_element(gaps.begin(), gaps.end()), mj1, mj2};
}

}  // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Options options;
    for (int i = 1; i < argc; i += 2) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        if (name == QLatin1String("--in-place") || name == QLatin1String("--preview")) {
            (name == QLatin1String("--preview") ? options.preview : options.inPlace) = true;
            --i;
            continue;
        }
        if (i + 1 >= argc)
            break;
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (name == QLatin1String("--corpus"))
            options.corpus = value;
        else if (name == QLatin1String("--out"))
            options.outs.append(value);
        else if (name == QLatin1String("--program"))
            options.program = value;
        else if (name == QLatin1String("--reps"))
            options.reps = std::max(1, value.toInt());
    }

    if (!QFileInfo::exists(options.corpus + QStringLiteral("/corpus.stamp"))) {
        std::printf("generating the corpus in %s ...\n", qPrintable(options.corpus));
        std::fflush(stdout);
        timed(quoted(QCoreApplication::applicationDirPath() + QStringLiteral("/strelmark_corpus")) +
              u' ' + quoted(options.corpus));
    }
    const QString tree = options.corpus + QStringLiteral("/tree");
    qint64 bytes = 0;
    const QStringList files = treeFiles(tree, bytes);
    const double mb = bytes / 1e6;
    // Warm the page cache.
    timed(QStringLiteral("find ") + quoted(tree) +
          QStringLiteral(" -type f -exec cat {} + > /dev/null"));

    if (options.outs.isEmpty())
        options.outs.append(QStringLiteral("/dev/shm"));
    if (options.program.isEmpty())
        options.program =
            QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/strelmark");
    if (options.inPlace) {
        inPlace(options, tree, mb);
        return 0;
    }
    if (options.preview) {
        preview(options, files, mb);
        return 0;
    }
    std::printf(
        "Start Removing through the window: %lld files, %.1f MB, \"meta http\"; against the "
        "command line %s\n",
        static_cast<long long>(files.size()), mb, qPrintable(options.program));
    std::vector<Figures> all;
    for (const QString &out : options.outs)
        all.push_back(againstOthers(options, out, tree, files, mb));
    if (all.size() > 1) {
        std::printf("\n== side by side (medians)\n  %-28s", "");
        for (const Figures &f : all)
            std::printf(" %26s", qPrintable(f.out));
        std::printf("\n");
        auto line = [&](const char *label, auto value) {
            std::printf("  %-28s", label);
            for (const Figures &f : all)
                std::printf(" %26s", qPrintable(value(f)));
            std::printf("\n");
        };
        line("cp -r", [](const Figures &f) { return QString::asprintf("%.3f s", f.cp); });
        line("sed -i", [](const Figures &f) {
            return QString::asprintf("%.3f s (%.2f x cp)", f.sed, f.sed / f.cp);
        });
        line("Start Removing", [](const Figures &f) {
            return QString::asprintf("%.3f s (%.2f x cp)", f.run, f.run / f.cp);
        });
        line("command line, jobs 1", [](const Figures &f) {
            return QString::asprintf("%.3f s (%.2f x cp)", f.jobs1, f.jobs1 / f.cp);
        });
        line("command line, jobs 2", [](const Figures &f) {
            return QString::asprintf("%.3f s (%.2f x cp)", f.jobs2, f.jobs2 / f.cp);
        });
        line("window / jobs 1",
             [](const Figures &f) { return QString::asprintf("%.2f", f.run / f.jobs1); });
        line("sed / Start Removing",
             [](const Figures &f) { return QString::asprintf("%.2f", f.sed / f.run); });
        line("longest gap, worst",
             [](const Figures &f) { return QString::asprintf("%.1f ms", f.gap); });
    }
    return 0;
}
