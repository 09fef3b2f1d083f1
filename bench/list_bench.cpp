// How the file list copes with a million rows: the time of 1,000,000 single appends into the
// real, shown window (offscreen), the program's memory afterwards, and the time to scroll and
// repaint across the whole list.
//
//   build/bin/list_bench [rows]

#include "BenchWindow.h"
#include "app/Form1.h"
#include "base/Settings.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A figure from /proc/self/status, in MB.
double statusMegabytes(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

}  // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;

    Bench::OffscreenWindow offscreen;
    Form1 &window = offscreen.window;
    const double before = statusMegabytes("VmRSS:");

    // Paths of a realistic length (about 60 characters), all different. Making them is timed
    // on its own and taken off the appends' time.
    auto path = [](int i) {
        return QStringLiteral("/home/user/projects/website/section-%1/pages/page-%2.html")
            .arg(i % 977)
            .arg(i);
    };
    QElapsedTimer timer;
    timer.start();
    qsizetype made = 0;
    for (int i = 0; i < rows; ++i)
        made += path(i).size();
    const double makingSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    for (int i = 0; i < rows; ++i)
        window.fileList->append(path(i));
    QCoreApplication::processEvents();
    const double appendSeconds = timer.nsecsElapsed() / 1e9 - makingSeconds;
    const double after = statusMegabytes("VmRSS:");

    // Scrolling: a page at a time from top to bottom, each step repainted.
    QScrollBar *bar = window.ListView1->verticalScrollBar();
    timer.restart();
    int steps = 0;
    double slowest = 0;
    QElapsedTimer step;
    for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->maximum() / 200)) {
        step.restart();
        bar->setValue(value);
        window.ListView1->viewport()->repaint();
        slowest = std::max(slowest, step.nsecsElapsed() / 1e6);
        ++steps;
    }
    const double scrollSeconds = timer.nsecsElapsed() / 1e9;

    std::printf("file list, %d rows, offscreen window\n", rows);
    std::printf(
        "  appends:        %.3f s (%.2f us per row; goal: under 1 s), not counting "
        "%.3f s for making the %lld characters of paths\n",
        appendSeconds, appendSeconds * 1e6 / rows, makingSeconds, (long long)made);
    std::printf(
        "  memory:         %.1f MB resident for the whole program, %.1f MB for the rows "
        "(peak %.1f MB; goal: under 300 MB)\n",
        after, after - before, statusMegabytes("VmHWM:"));
    std::printf("  scrolling:      %d repainted steps across the list in %.3f s, slowest %.2f ms\n",
                steps, scrollSeconds, slowest);
    return 0;
}
