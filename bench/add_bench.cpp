// "Add All HTML Files In Folder" through the real window (offscreen, questions answered by the
// scripted platform) over a generated tree of 100,000 files in about 5,000 folders, timed
// against `find TREE -iname '*.html'` in the same run. It also reports the longest time the
// window went without answering events while the command worked.
//
//   build/bin/add_bench [--tree DIR] [--reps N]
//
// The tree is made in DIR (default /dev/shm/strelmark-add-tree, a tmpfs) when DIR holds no
// tree of this shape yet, and kept for later runs.

#include "BenchSupport.h"
#include "BenchWindow.h"

#include "app/Form1.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "filelist/FileListModel.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

using Bench::Median;
using Bench::Random;

// 20 sections of 15 chapters of 16 parts: 5,120 folders below the top one.
constexpr int Sections = 20, Chapters = 15, Parts = 16;
constexpr int FileCount = 100000;
constexpr std::uint64_t Seed = 0xADDF01DE5ull;
constexpr const char *StampText = "strelmark add tree 1\n";

struct Options {
    QString tree = QStringLiteral("/dev/shm/strelmark-add-tree");
    int reps = 5;
};

// What the tree holds, as the command and find should see it.
struct TreeCounts {
    int folders = 0;
    int files = 0;
    int rows = 0;     // what "html" should add: no "~" names, no writable hidden files
    int matches = 0;  // what find -iname '*.html' lists
};

void fail(const std::string &what) {
    std::fprintf(stderr, "add_bench: %s\n", what.c_str());
    std::exit(1);
}

void makeFolder(const std::string &path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        fail("cannot make " + path);
}

void makeFile(const std::string &path, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    if (fd < 0 || ::write(fd, "<p>", 3) != 3 || ::close(fd) != 0)
        fail("cannot write " + path);
}

// Makes the tree (when `write`) and counts what it holds. The same seed gives the same tree.
TreeCounts makeTree(const std::string &root, bool write) {
    std::vector<std::string> folders{root};
    for (int s = 0; s < Sections; ++s) {
        const std::string section = root + "/section-" + std::to_string(s);
        folders.push_back(section);
        for (int c = 0; c < Chapters; ++c) {
            const std::string chapter = section + "/Chapter " + std::to_string(c);
            folders.push_back(chapter);
            for (int p = 0; p < Parts; ++p)
                folders.push_back(chapter + "/part_" + std::to_string(p));
        }
    }
    if (write)
        for (const std::string &folder : folders)
            makeFolder(folder);

    TreeCounts counts;
    counts.folders = static_cast<int>(folders.size());
    Random random(Seed);
    for (int i = 0; i < FileCount; ++i) {
        const std::string &folder = folders[random.below(folders.size())];
        const int kind = static_cast<int>(random.below(100));
        std::string name;
        mode_t mode = 0644;
        bool row = true, match = true;
        if (kind < 75) {
            name = "page-" + std::to_string(i) + ".html";
        } else if (kind < 80) {
            name = "PAGE-" + std::to_string(i) + ".HTML";
        } else if (kind < 85) {
            name = "page-" + std::to_string(i) + ".htm";
            row = match = false;
        } else if (kind < 93) {
            static const char *const others[] = {".css", ".png", ".txt", ".js"};
            name = "asset-" + std::to_string(i) + others[random.below(4)];
            row = match = false;
        } else if (kind < 96) {
            name = "~page-" + std::to_string(i) + ".html";  // an editor's backup
            row = false;
        } else if (kind < 98) {
            name = ".draft-" + std::to_string(i) + ".html";  // writable and hidden
            row = false;
        } else {
            name = ".kept-" + std::to_string(i) + ".html";  // read-only and hidden
            mode = 0444;
        }
        if (write)
            makeFile(folder + "/" + name, mode);
        ++counts.files;
        counts.rows += row;
        counts.matches += match;
    }
    return counts;
}

// Runs a program with its output sent to /dev/null (or to `output`) and returns its wall-clock
// time in seconds.
double timedProgram(const std::vector<std::string> &arguments, const char *output = "/dev/null") {
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        fail("cannot start " + arguments[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = timer.nsecsElapsed() / 1e9;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(arguments[0] + " failed");
    return seconds;
}

qint64 threadCpuNanoseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct AddResult {
    double seconds = 0;
    double longestGapMs = 0;  // as the window saw it: between two moments it answered events
    double pumpGapMs = 0;     // as the event pump measured it between its own pumps
    double cpuGapMs = 0;      // the same in this thread's processor time: other programs
                              // taking the processor meanwhile do not count
    int rows = 0;
};

// One "Add All HTML Files In Folder" with the answers "html" and the tree's folder.
AddResult addThroughWindow(Form1 &window, ScriptedPlatform &platform, const QString &tree) {
    window.fileList->clear();
    QCoreApplication::processEvents();
    platform.clear();
    platform.inputAnswers.enqueue(QStringLiteral("html"));
    platform.folderAnswers.enqueue(tree);

    // A timer that fires whenever the window gets to answer events: the largest time between
    // two firings, from the click to the moment the window is idle again, is the longest the
    // window could not answer.
    QElapsedTimer clock;
    qint64 lastAnswer = 0, longestGap = 0;
    qint64 lastAnswerCpu = threadCpuNanoseconds(), longestCpuGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 nowCpu = threadCpuNanoseconds();
        longestGap = std::max(longestGap, now - lastAnswer);
        longestCpuGap = std::max(longestCpuGap, nowCpu - lastAnswerCpu);
        lastAnswer = now;
        lastAnswerCpu = nowCpu;
    });
    probe.start();

    AddResult result;
    EventPump::ResetLongestGap();
    clock.start();
    window.PushButton5->click();
    QCoreApplication::processEvents();  // the view takes in the new rows
    const qint64 done = clock.nsecsElapsed();
    result.seconds = done / 1e9;
    result.pumpGapMs = EventPump::LongestGap().count() / 1e6;
    // The gap up to the window's first answer after the command counts too.
    while (lastAnswer < done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    probe.stop();
    result.longestGapMs = longestGap / 1e6;
    result.cpuGapMs = longestCpuGap / 1e6;
    result.rows = window.fileList->count();
    if (!platform.messages().isEmpty())
        fail("the command reported: " + platform.messages().join(u" | ").toStdString());
    return result;
}

}  // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (name == QLatin1String("--tree"))
            options.tree = value;
        else if (name == QLatin1String("--reps"))
            options.reps = std::max(1, value.toInt());
    }

    const std::string root =
        QFile::encodeName(options.tree + QStringLiteral("/tree")).toStdString();
    const QString stamp = options.tree + QStringLiteral("/tree.stamp");
    QFile stampFile(stamp);
    const bool made = stampFile.open(QIODevice::ReadOnly) && stampFile.readAll() == StampText;
    stampFile.close();
    if (!made) {
        std::printf("making the tree in %s ...\n", qPrintable(options.tree));
        std::fflush(stdout);
        QDir(options.tree + QStringLiteral("/tree")).removeRecursively();
        QDir().mkpath(options.tree);
        makeTree(root, true);
        if (!stampFile.open(QIODevice::WriteOnly) || stampFile.write(StampText) < 0)
            fail("cannot write " + stamp.toStdString());
        stampFile.close();
    }
    const TreeCounts counts = makeTree(root, false);

    Bench::OffscreenWindow offscreen;
    Form1 &window = offscreen.window;
    ScriptedPlatform &platform = offscreen.platform;
    QTemporaryDir &home = offscreen.home;

    const std::vector<std::string> find = {"find", root, "-iname", "*.html"};
    // find's own count, and a warm cache for both.
    const QString listed = home.filePath(QStringLiteral("find.txt"));
    timedProgram(find, QFile::encodeName(listed).constData());
    QFile findOutput(listed);
    findOutput.open(QIODevice::ReadOnly);
    const int findMatches = static_cast<int>(findOutput.readAll().count('\n'));
    addThroughWindow(window, platform, QFile::decodeName(root.c_str()));

    std::vector<double> findSeconds, addSeconds;
    double longestGapMs = 0, pumpGapMs = 0, cpuGapMs = 0;
    int rows = 0;
    for (int rep = 0; rep < options.reps; ++rep) {
        findSeconds.push_back(timedProgram(find));
        const AddResult added = addThroughWindow(window, platform, QFile::decodeName(root.c_str()));
        addSeconds.push_back(added.seconds);
        longestGapMs = std::max(longestGapMs, added.longestGapMs);
        pumpGapMs = std::max(pumpGapMs, added.pumpGapMs);
        cpuGapMs = std::max(cpuGapMs, added.cpuGapMs);
        rows = added.rows;
    }

    const double findMedian = Median(findSeconds), addMedian = Median(addSeconds);
    std::printf("Add All HTML Files In Folder, answer \"html\": %d files in %d folders on %s\n",
                counts.files, counts.folders, qPrintable(options.tree));
    std::printf(
        "  rows added:        %d (expected %d; find lists %d, expected %d: it also "
        "takes \"~\" names and writable hidden files)\n",
        rows, counts.rows, findMatches, counts.matches);
    std::printf("  find -iname:       %.3f s (median of %d)\n", findMedian, options.reps);
    std::printf("  through the window: %.3f s (median of %d)\n", addMedian, options.reps);
    std::printf("  ratio:             %.2f x find (goal: at most 4)\n", addMedian / findMedian);
    std::printf(
        "  longest gap:       %.1f ms without answering events (goal: under 50); the event "
        "pump saw %.1f ms; the longest stretch of the program's own work between two "
        "answers was %.1f ms of processor time (other programs' turns not counted)\n",
        longestGapMs, pumpGapMs, cpuGapMs);
    if (rows != counts.rows || findMatches != counts.matches)
        fail("the counts differ from what the tree holds");
    return 0;
}
