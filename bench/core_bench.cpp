// Times "Remove all lines containing those characters" with the text "meta http" over the
// benchmark corpus (see corpus.cpp), against its peers measured in the same run on the same
// files: cp -r (the I/O floor) and GNU sed doing the same work in place over a fresh copy (the
// copy not counted). The same work with the text "crème" is timed beside it: a text that is not
// all ASCII, whose lines with bytes of 0x80 or more are read as UTF-8 or Latin-1.
//
// Every contender runs as a child process, timed by wall clock from start to exit; the program's
// own work runs in a worker child that reports its own peak memory (VmHWM). Each workload
// is repeated and the medians are reported, with the contenders' order rotated between
// repetitions. Outputs go to fresh folders under the output folder (tmpfs by default); on tmpfs
// they are removed after each repetition, elsewhere only at the end.
//
// usage: strelmark_bench_core [--corpus DIR] [--out DIR] [--reps N] [--probes]
//                             [--only tree|big|long]...
//   --probes  adds four measurements: the program's work with its syncs made no-ops
//             (LD_PRELOAD of libstrelmark_nosync.so), with its per-line yields made by a bare
//             check of the coarse clock instead of the event pump (what the pump's own quit check
//             and statistics cost), with no yield call per line, and the floor of any program
//             that reads and writes every byte: each file read and written back through the same
//             atomic writer with no line work.

#include "BenchSupport.h"

#include "AtomicFile.h"
#include "CommitQueue.h"
#include "EventPump.h"
#include "Operations.h"
#include "RFTSFSO.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

using Bench::Median;

const char *const Condition = "meta http";
const char *const WideCondition = "cr\xC3\xA8me";  // crème, in UTF-8
const char *const StampText = "strelmark corpus 1\n";
constexpr double MB = 1e6;

// --- the worker: the program's work on a list of files ---------------------------------------

// Yields: "yield" through the program's event pump (a read of the coarse clock per call, the
// loop run every 10 ms), "coarse" through a bare copy of that pacing without the pump's quit
// check and statistics (a probe of what they cost), anything else not at all.
class BenchContext : public Operations::LineContext {
public:
    BenchContext(std::string mode, QString condition)
        : mode_(std::move(mode)), condition_(std::move(condition)) {}
    bool letEventsRun() override {
        if (mode_ == "yield")
            return EventPump::LetEventsRun();
        if (mode_ != "coarse")
            return false;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        const long long ns = now.tv_sec * 1000000000LL + now.tv_nsec;
        if (ns - lastPump_ < 10000000)
            return false;
        QCoreApplication::processEvents();
        lastPump_ = ns;
        return true;
    }
    QString conditionText() override { return condition_; }
    QString chooserText() override { return Operations::Captions[0]; }

private:
    std::string mode_;
    QString condition_;
    long long lastPump_ = 0;
};

long HighWaterKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// The floor of any program that must look at every byte: each file read into a buffer and
// written back through the same atomic writer and commit queue, with no line work at all.
std::unique_ptr<PendingResult> CopyThrough(const std::string &file, const std::string &out) {
    static std::vector<char> buffer(RFTSFSO::ResultWriter::BufferSize);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    RFTSFSO::AtomicFile target(QString::fromStdString(out));
    for (;;) {
        const ssize_t size = ::read(fd, buffer.data(), buffer.size());
        if (size <= 0)
            break;
        target.write(buffer.data(), static_cast<std::size_t>(size));
    }
    ::close(fd);
    return target.prepare();
}

// Writes every file of the list into one output folder under its own name, as the run does
// with "Save results to this folder", removing the lines that contain `condition` (UTF-8).
// Reports to `report`: written, failed, high water before. Modes: "yield" (as the program
// runs), "coarse" (a bare coarse-clock check instead of the pump), "noyield" (no yield call per
// line), "copy" (the floor).
int Worker(const std::string &list, const std::string &outFolder, const std::string &report,
           const std::string &mode, const std::string &condition) {
    int argc = 1;
    char name[] = "strelmark_bench_worker";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    EventPump::Reset();

    std::vector<std::string> files;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);)
        files.push_back(line);

    BenchContext ctx(mode, QString::fromStdString(condition));
    CommitQueue queue;
    const long before = HighWaterKb();
    int written = 0, failed = 0;
    auto count = [&](const std::vector<CommitFailure> &failures) {
        for (const CommitFailure &failure : failures) {
            --written;
            ++failed;
            std::fprintf(stderr, "%s\n", failure.error.what());
        }
    };
    std::size_t row = 0;
    for (const std::string &file : files) {
        const std::string out = outFolder + "/" + fs::path(file).filename().string();
        std::unique_ptr<PendingResult> pending;
        if (mode == "copy") {
            try {
                pending = CopyThrough(file, out);
            } catch (const FileError &error) {
                ++failed;
                std::fprintf(stderr, "%s\n", error.what());
            }
        } else {
            Operations::FileResult result =
                Operations::ProcessFile(QString::fromStdString(file), QString::fromStdString(out),
                                        ctx, {}, Operations::Destination::Prepare);
            if (result.error) {
                ++failed;
                std::fprintf(stderr, "%s\n", result.error->what());  // the reason and the path
            }
            pending = std::move(result.pending);
        }
        if (pending) {
            ++written;
            count(queue.add(std::move(pending), row++));
        }
    }
    count(queue.commit());
    std::ofstream(report) << written << ' ' << failed << ' ' << before << ' ' << HighWaterKb()
                          << '\n';
    return failed == 0 ? 0 : 1;
}

// --- running contenders ------------------------------------------------------------------------

struct Sample {
    double seconds = 0;
    long peakKb = 0;
};

Sample Spawn(const std::vector<std::string> &args, const std::vector<std::string> &extraEnv = {}) {
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStore(extraEnv);
    std::vector<char *> envp;
    for (char **e = environ; *e != nullptr; ++e)
        envp.push_back(*e);
    for (std::string &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const auto stop = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
        std::exit(1);
    }
    return {std::chrono::duration<double>(stop - start).count(), 0};
}

std::string FileSystemName(const std::string &path) {
    struct statfs info;
    if (statfs(path.c_str(), &info) != 0)
        return "?";
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x01021994:
            return "tmpfs";
        case 0xEF53:
            return "ext4";
        case 0x9123683E:
            return "btrfs";
        case 0x58465342:
            return "xfs";
        case 0x794C7630:
            return "overlayfs";
        default: {
            char hex[32];
            std::snprintf(hex, sizeof hex, "fs 0x%lx", static_cast<unsigned long>(info.f_type));
            return hex;
        }
    }
}

std::string SedVersion() {
    FILE *pipe = popen("sed --version 2>/dev/null", "r");
    char line[256] = "sed";
    if (pipe != nullptr) {
        if (std::fgets(line, sizeof line, pipe) == nullptr)
            std::strcpy(line, "sed");
        pclose(pipe);
    }
    line[std::strcspn(line, "\n")] = '\0';
    return line;
}

// --- workloads -----------------------------------------------------------------------------

struct Workload {
    Workload(std::string name, fs::path source)
        : name(std::move(name)), source(std::move(source)) {}

    std::string name;
    fs::path source;  // a folder (copied with cp -r) or one file
    std::vector<std::string> files;
    std::uint64_t bytes = 0, longestLine = 0;
    int filesWithText = 0, filesWithWideText = 0;
    // Files that keep a line (an empty one, or one without the text), and so get an output.
    std::size_t outputs = 0, outputsWide = 0;
};

// Reads every file once through the program's own reader: warms the page cache and finds the
// longest line, how many files hold each text and how many keep a line.
void Survey(Workload &workload) {
    const Operations::Pattern pattern(QString::fromUtf8(Condition));
    const Operations::Pattern wide(QString::fromUtf8(WideCondition));
    for (const std::string &file : workload.files) {
        RFTSFSO::LineReader reader(QString::fromStdString(file));
        std::string_view line;
        bool found = false, foundWide = false, keeps = false, keepsWide = false;
        while (reader.next(line)) {
            workload.longestLine = std::max<std::uint64_t>(workload.longestLine, line.size());
            const bool has = pattern.foundIn(line), hasWide = wide.foundIn(line);
            found = found || has;
            foundWide = foundWide || hasWide;
            keeps = keeps || line.empty() || !has;
            keepsWide = keepsWide || line.empty() || !hasWide;
        }
        workload.filesWithText += found;
        workload.filesWithWideText += foundWide;
        workload.outputs += keeps;
        workload.outputsWide += keepsWide;
        workload.bytes += fs::file_size(file);
    }
}

// Checks the program's output: one file per input that keeps a line, none holding the text.
void CheckOutput(const fs::path &folder, const char *condition, std::size_t expected) {
    const Operations::Pattern pattern(QString::fromUtf8(condition));
    std::size_t count = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        ++count;
        RFTSFSO::LineReader reader(QString::fromStdString(entry.path().string()));
        std::string_view line;
        while (reader.next(line)) {
            if (pattern.foundIn(line)) {
                std::fprintf(stderr, "check: %s still holds the text\n", entry.path().c_str());
                std::exit(1);
            }
        }
    }
    if (count != expected) {
        std::fprintf(stderr, "check: %zu outputs, %zu expected\n", count, expected);
        std::exit(1);
    }
}

struct Contender {
    std::string label;
    std::vector<Sample> samples;
    double median() const {
        std::vector<double> seconds;
        for (const Sample &s : samples)
            seconds.push_back(s.seconds);
        return Median(seconds);
    }
    long peakKb() const {
        long peak = 0;
        for (const Sample &s : samples)
            peak = std::max(peak, s.peakKb);
        return peak;
    }
};

struct Options {
    fs::path corpus = "/dev/shm/strelmark-corpus";
    fs::path out;
    int reps = 5;
    bool probes = false;
    std::vector<std::string> only;
};

class CoreBench {
public:
    CoreBench(Options options, fs::path self)
        : o_(std::move(options)),
          self_(std::move(self)),
          outOnTmpfs_(FileSystemName(o_.out) == "tmpfs") {}

    void run(Workload &workload) {
        Survey(workload);
        const fs::path list = o_.out / (workload.name + ".list");
        {
            std::ofstream out(list);
            for (const std::string &file : workload.files)
                out << file << '\n';
        }
        const bool tree = fs::is_directory(workload.source);
        std::printf(
            "\n== %s: %zu file%s, %.1f MB, longest line %.1f kB, %d with \"%s\", %d with "
            "\"%s\"\n",
            workload.name.c_str(), workload.files.size(), workload.files.size() == 1 ? "" : "s",
            workload.bytes / MB, workload.longestLine / 1e3, workload.filesWithText, Condition,
            workload.filesWithWideText, WideCondition);
        std::fflush(stdout);

        std::vector<std::string> kinds = {"core", "core-wide", "cp", "sed"};
        if (o_.probes) {
            kinds.push_back("core-nosync");
            kinds.push_back("core-coarse");
            kinds.push_back("core-noyield");
            kinds.push_back("copy");
        }
        std::map<std::string, Contender> results;
        long beforeKb = 0;
        for (int rep = 0; rep < o_.reps; ++rep) {
            std::vector<fs::path> made;
            for (std::size_t k = 0; k < kinds.size(); ++k) {
                const std::string &kind = kinds[(k + static_cast<std::size_t>(rep)) % kinds.size()];
                const fs::path dst =
                    o_.out / (workload.name + "-" + kind + "-" + std::to_string(rep));
                made.push_back(dst);
                Sample sample;
                if (kind == "cp") {
                    sample = tree ? Spawn({"cp", "-r", workload.source, dst})
                                  : (fs::create_directory(dst),
                                     Spawn({"cp", workload.source, dst.string() + "/"}));
                } else if (kind == "sed") {
                    // The copy is not counted.
                    if (tree)
                        Spawn({"cp", "-r", workload.source, dst});
                    else
                        fs::create_directory(dst),
                            Spawn({"cp", workload.source, dst.string() + "/"});
                    sample = Spawn({"sh", "-c",
                                    "find \"$0\" -type f -print0 | LC_ALL=C xargs -0 sed -i -e "
                                    "'/meta http/Id'",
                                    dst});
                } else {
                    fs::create_directory(dst);
                    const fs::path report = o_.out / "worker.report";
                    std::vector<std::string> env;
                    if (kind == "core-nosync")
                        env.push_back("LD_PRELOAD=" +
                                      (self_.parent_path() / "libstrelmark_nosync.so").string());
                    const std::string mode = kind == "core-noyield"  ? "noyield"
                                             : kind == "core-coarse" ? "coarse"
                                             : kind == "copy"        ? "copy"
                                                                     : "yield";
                    const char *condition = kind == "core-wide" ? WideCondition : Condition;
                    sample = Spawn({self_, "--worker", list, dst, report, mode, condition}, env);
                    // The worker's own high-water mark: ru_maxrss of a spawned child also
                    // counts the parent's, which the kernel carries over at exec.
                    std::ifstream in(report);
                    long written = 0, failed = 0, before = 0, peak = 0;
                    in >> written >> failed >> before >> peak;
                    beforeKb = std::max(beforeKb, before);
                    sample.peakKb = peak;
                    if ((kind == "core" || kind == "core-wide") && rep == 0)
                        CheckOutput(dst, condition,
                                    kind == "core" ? workload.outputs : workload.outputsWide);
                }
                results[kind].samples.push_back(sample);
            }
            // On tmpfs the outputs go at once; elsewhere only at the very end, since creating
            // many files just after deleting many is slow and erratic on some file systems.
            for (const fs::path &dst : made) {
                if (outOnTmpfs_)
                    fs::remove_all(dst);
            }
        }

        const double mb = workload.bytes / MB;
        const double cpMedian = results["cp"].median();
        auto row = [&](const std::string &kind, const char *label, bool showPeak) {
            const Contender &c = results[kind];
            double low = 1e300, high = 0;
            for (const Sample &s : c.samples) {
                low = std::min(low, s.seconds);
                high = std::max(high, s.seconds);
            }
            std::printf("   %-42s %7.3f s %6.0f MB/s %6.2f x cp   (%.3f .. %.3f)", label,
                        c.median(), mb / c.median(), c.median() / cpMedian, low, high);
            if (showPeak)
                std::printf("   peak RSS %.1f MB", c.peakKb() * 1024 / MB);
            std::printf("\n");
        };
        std::printf("   %-42s %9s %11s %11s   %s\n", "", "median", "", "", "(min .. max)");
        const std::string wideLabel = std::string("strelmark core, \"") + WideCondition + "\"";
        row("core", "strelmark core", true);
        row("core-wide", wideLabel.c_str(), true);
        row("cp", tree ? "cp -r (I/O floor)" : "cp (I/O floor)", false);
        row("sed", sedLabel_.c_str(), false);
        if (o_.probes) {
            row("core-nosync", "probe: strelmark, syncs made no-ops", true);
            row("core-coarse", "probe: strelmark, yields on coarse clock", true);
            row("core-noyield", "probe: strelmark, no yield call per line", true);
            row("copy", "probe: read+write copy, no line work", true);
        }
        const double core = results["core"].median(), cp = results["cp"].median(),
                     sed = results["sed"].median();
        const double limitMb = 64.0 * 1024 * 1024 / MB + workload.longestLine / MB;
        const double peakMb = results["core"].peakKb() * 1024 / MB;
        std::printf(
            "   strelmark / cp = %.2f (goal <= %.2f: %s)   sed / strelmark = %.2f "
            "(goal >= 2: %s)\n",
            core / cp, tree ? 1.25 : 1.5, core / cp <= (tree ? 1.25 : 1.5) ? "met" : "missed",
            sed / core, sed / core >= 2 ? "met" : "missed");
        std::printf(
            "   peak memory %.1f MB (%.1f MB before the first file); limit 64 MiB + "
            "longest line = %.1f MB: %s\n",
            peakMb, beforeKb * 1024 / MB, limitMb, peakMb <= limitMb ? "met" : "missed");
        const double wide = results["core-wide"].median();
        std::printf("   \"%s\" / \"%s\" = %.2f (goal <= 2: %s)\n", WideCondition, Condition,
                    wide / core, wide / core <= 2 ? "met" : "missed");
        std::fflush(stdout);
    }

    bool wanted(const std::string &name) const {
        return o_.only.empty() || std::find(o_.only.begin(), o_.only.end(), name) != o_.only.end();
    }
    std::string sedLabel_;

private:
    Options o_;
    fs::path self_;
    bool outOnTmpfs_;
};

bool CorpusReady(const fs::path &corpus) {
    std::ifstream stamp(corpus / "corpus.stamp");
    std::string text((std::istreambuf_iterator<char>(stamp)), std::istreambuf_iterator<char>());
    return text == StampText;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc == 7 && std::strcmp(argv[1], "--worker") == 0)
        return Worker(argv[2], argv[3], argv[4], argv[5], argv[6]);

    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--corpus")
            options.corpus = value();
        else if (arg == "--out")
            options.out = value();
        else if (arg == "--reps")
            options.reps = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--probes")
            options.probes = true;
        else if (arg == "--only")
            options.only.push_back(value());
        else {
            std::fprintf(stderr,
                         "usage: %s [--corpus DIR] [--out DIR] [--reps N] [--probes] "
                         "[--only tree|big|long]...\n",
                         argv[0]);
            return 2;
        }
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    if (!CorpusReady(options.corpus)) {
        std::printf("generating the corpus in %s ...\n", options.corpus.c_str());
        std::fflush(stdout);
        fs::create_directories(options.corpus);
        Spawn({(self.parent_path() / "strelmark_corpus").string(), options.corpus.string()});
    }
    if (options.out.empty())
        options.out = "/dev/shm/strelmark-bench-" + std::to_string(getpid());
    fs::create_directories(options.out);
    if (!fs::is_empty(options.out)) {
        std::fprintf(stderr, "%s is not empty; outputs go to fresh folders only\n",
                     options.out.c_str());
        return 2;
    }

    std::printf("strelmark core benchmark: \"%s\" with the text \"%s\", and with \"%s\"\n",
                Operations::Captions[0].toUtf8().constData(), Condition, WideCondition);
    const std::string outFs = FileSystemName(options.out);
    std::printf("corpus %s (%s), outputs %s (%s, fresh folders, removed %s)\n",
                options.corpus.c_str(), FileSystemName(options.corpus).c_str(), options.out.c_str(),
                outFs.c_str(), outFs == "tmpfs" ? "after each repetition" : "only at the end");
    std::printf("%d repetitions, medians; %ld cores; wall clock per child process\n", options.reps,
                sysconf(_SC_NPROCESSORS_ONLN));

    CoreBench bench(options, self);
    bench.sedLabel_ = SedVersion() + ", C locale";

    if (bench.wanted("tree")) {
        Workload tree{"tree", options.corpus / "tree"};
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(tree.source)) {
            if (entry.is_regular_file())
                tree.files.push_back(entry.path().string());
        }
        std::sort(tree.files.begin(), tree.files.end());
        bench.run(tree);
    }
    if (bench.wanted("big")) {
        Workload big{"big", options.corpus / "big" / "big-1g.html"};
        big.files.push_back(big.source.string());
        bench.run(big);
    }
    if (bench.wanted("long")) {
        Workload longLine{"long", options.corpus / "long" / "one-line.html"};
        longLine.files.push_back(longLine.source.string());
        bench.run(longLine);
    }
    fs::remove_all(options.out);
    return 0;
}
