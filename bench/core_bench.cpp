// Times "Remove all lines containing those characters" with the text "meta http" over the
// benchmark corpus (see corpus.cpp), against its peers measured in the same run on the same
// files: cp -r (the I/O floor) and GNU sed doing the same work in place over a fresh copy (the
// copy not counted). The same work with the text "crème" is timed beside it: a text that is not
// all ASCII, whose lines with bytes of 0x80 or more are read as UTF-8 or Latin-1. Over the tree,
// "Match case" and "Whole words" with the same text, and the regular expression meta\s+http
// beside sed -E -i and perl -i -ne with the same pattern, each over a fresh copy.
//
// Every contender runs as a child process, timed by wall clock from start to exit; the program's
// own work runs in a worker child that reports its own peak memory (VmHWM). Each workload
// is repeated and the medians are reported, with the contenders' order rotated between
// repetitions. Outputs go to fresh folders under each output folder (tmpfs by default); on tmpfs
// they are removed after each repetition, elsewhere only at the end. Given several output
// folders (a tmpfs and a disk), every workload runs on each, and a closing table puts their
// figures side by side.
//
// The worker works as the window's run does: results committed in groups by the queue's own
// thread (CommitQueue::Mode::Overlapped), the output folder listed once, the next files read
// ahead once a read had to wait for the disk.
//
// usage: strelmark_bench_core [--corpus DIR] [--out DIR]... [--reps N] [--probes] [--cold]
//                             [--count-calls] [--small N] [--only NAME]...
//   workloads (--only): tree (into an output folder), tree-utf16 and tree-1252 (the tree's
//             pages in UTF-16LE with its mark, and in Windows-1252; made once beside the tree
//             by strelmark_corpus --encoded), inplace (each file replaced, over a
//             fresh copy of the tree for every contender and repetition, with sed -i and
//             "keep line ends" beside it), small (N files of about 5 KB into an output folder,
//             against cp -r; default 100,000), big (1 GiB page), long (one line of 100 MiB),
//             cold (tree with the page cache dropped before every contender; needs root)
//   --probes  adds measurements: the program's work with its syncs made no-ops
//             (LD_PRELOAD of libstrelmark_nosync.so), with each group committed before the
//             next file is read (Mode::InCall), without read-ahead (cold), with its per-line
//             yields made by a bare check of the coarse clock instead of the event pump, with no
//             yield call per line, and the floor of any program that reads and writes every
//             byte: each file read and written back through the same atomic writer with no line
//             work.
//   --count-calls  counts the system calls per file of an output-folder run and of an
//             in-place run (strace -c -f over 100 and 200 files; the difference / 100, so the
//             program's start and the group commit's shared calls are spread over the files)

#include "BenchSupport.h"

#include "base/EventPump.h"
#include "engine/FileWork.h"
#include "files/AtomicFile.h"
#include "files/CommitQueue.h"
#include "files/RFTSFSO.h"
#include "files/ReadAhead.h"
#include "text/Operations.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

using Bench::FileSystemName;
using Bench::Median;
using Bench::SedVersion;

const char *const Condition = "meta http";
const char *const WideCondition = "cr\xC3\xA8me";  // crème, in UTF-8
// A regular expression for the same lines as Condition, as strelmark, sed -E and perl write it.
const char *const RegexCondition = "meta\\s+http";
const char *const StampText = "strelmark corpus 1\n";
constexpr double MB = 1e6;

// --- the worker: the program's work on a list of files ---------------------------------------

// Yields: through the program's event pump (a read of the coarse clock per call, the loop run
// every 10 ms); "coarse" through a bare copy of that pacing without the pump's quit check and
// statistics (a probe of what they cost); "noyield" not at all.
class BenchContext : public Operations::LineContext {
public:
    BenchContext(std::string mode, QString condition)
        : mode_(std::move(mode)), condition_(std::move(condition)) {}
    bool letEventsRun() override {
        if (mode_ == "noyield" || mode_ == "copy")
            return false;
        if (mode_ != "coarse")
            return EventPump::LetEventsRun();
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
// with "Save results to this folder" (or, with the output folder "-", over itself, as "in folder
// of original file"), removing the lines that contain `condition` (UTF-8). Reports to `report`:
// written, failed, high water before, high water, files announced for read-ahead. Modes: "yield"
// (as the program runs), "incall" (each full group committed before the next file),
// "noahead" (no read-ahead), "coarse" (a bare coarse-clock check instead of the pump),
// "noyield" (no yield call per line), "copy" (the floor); "+keep" keeps line ends.
int Worker(const std::string &list, const std::string &outFolder, const std::string &report,
           std::string mode, const std::string &condition) {
    int argc = 1;
    char name[] = "strelmark_bench_worker";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    EventPump::Reset();

    Engine::WorkOptions options;
    auto suffix = [&mode](const std::string &end) {
        if (mode.size() <= end.size() || mode.compare(mode.size() - end.size(), end.size(), end))
            return false;
        mode.resize(mode.size() - end.size());
        return true;
    };
    const bool syncAtEnd = suffix("+syncend");
    options.keepLineEnds = suffix("+keep");
    // The pattern options: "+case", "+word", "+regex".
    Operations::MatchOptions match;
    match.regex = suffix("+regex");
    match.wholeWords = suffix("+word");
    match.matchCase = suffix("+case");
    const std::shared_ptr<const Operations::Matcher> matcher =
        match.any() ? Operations::Matcher::Compile(QString::fromStdString(condition), match)
                    : nullptr;
    options.matcher = matcher.get();
    std::vector<std::string> files;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);)
        files.push_back(line);

    BenchContext ctx(mode, QString::fromStdString(condition));
    CommitQueue queue(nullptr,
                      mode == "incall" ? CommitQueue::Mode::InCall : CommitQueue::Mode::Overlapped);
    RFTSFSO::FolderNames names;
    RFTSFSO::ReadAhead ahead;
    const bool inPlace = outFolder == "-";
    if (!inPlace)
        options.outputFolder = &names;
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
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string &file = files[i];
        const std::string out =
            inPlace ? file : outFolder + "/" + fs::path(file).filename().string();
        if (mode != "noahead") {
            ahead.before([&](int k) {
                return i + k < files.size() ? QString::fromStdString(files[i + k]) : QString();
            });
        }
        std::unique_ptr<PendingResult> pending;
        if (mode == "copy") {
            try {
                pending = CopyThrough(file, out);
            } catch (const FileError &error) {
                ++failed;
                std::fprintf(stderr, "%s\n", error.what());
            }
        } else {
            Engine::FileResult result =
                Engine::ProcessFile(QString::fromStdString(file), QString::fromStdString(out), ctx,
                                    options, Engine::Destination::Prepare);
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
    if (syncAtEnd && !files.empty()) {
        // Everything written out once, by the system call itself (the no-sync probe's preload
        // turns the library's syncfs into nothing).
        const std::string &last = files.back();
        const int fd = ::open((outFolder == "-" ? last : outFolder).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::syscall(SYS_syncfs, fd);
            ::close(fd);
        }
    }
    std::ofstream(report) << written << ' ' << failed << ' ' << before << ' ' << HighWaterKb()
                          << ' ' << ahead.announced() << '\n';
    return failed == 0 ? 0 : 1;
}

// --- running contenders ------------------------------------------------------------------------

struct Sample {
    double seconds = 0;
    long peakKb = 0;
    long announced = 0;  // files read ahead by the worker
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

// The sed contender's label: its version, and the locale.
const std::string &SedLabel() {
    static const std::string label = SedVersion() + ", C locale";
    return label;
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
    std::vector<fs::path> outs;
    int reps = 5;
    bool probes = false;
    bool countCalls = false;
    int small = 100000;
    std::vector<std::string> only;
};

using Results = std::map<std::string, Contender>;

// Copies `from` to `to` with cp -r (not timed) and writes it out, so that the copy's dirty pages
// are not flushed by the contender that comes next.
void FreshCopy(const fs::path &from, const fs::path &to) {
    Spawn({"cp", "-r", from.string(), to.string()});
    ::sync();
}

// Empties the page cache; false when this process may not (it needs root).
bool DropCaches() {
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.flush();
    return static_cast<bool>(drop);
}

class CoreBench {
public:
    CoreBench(Options options, fs::path self, fs::path out)
        : o_(std::move(options)),
          self_(std::move(self)),
          out_(std::move(out)),
          outOnTmpfs_(FileSystemName(out_) == "tmpfs") {}

    Results run(Workload &workload, const std::string &kind) {
        if (kind != "cold")
            Survey(workload);
        const bool tree = fs::is_directory(workload.source);
        std::printf(
            "\n== %s, outputs on %s (%s): %zu file%s, %.1f MB, longest line %.1f kB, %d with "
            "\"%s\", %d with \"%s\"\n",
            workload.name.c_str(), out_.c_str(), FileSystemName(out_).c_str(),
            workload.files.size(), workload.files.size() == 1 ? "" : "s", workload.bytes / MB,
            workload.longestLine / 1e3, workload.filesWithText, Condition,
            workload.filesWithWideText, WideCondition);
        std::fflush(stdout);

        std::vector<std::string> kinds;
        if (kind == "inplace") {
            kinds = {"inplace", "inplace-keep", "sed"};
            if (o_.probes)
                kinds.insert(kinds.end(),
                             {"inplace-nosync", "inplace-nosync-end", "inplace-incall"});
        } else if (kind == "small") {
            kinds = {"core", "cp"};
            if (o_.probes)
                kinds.insert(kinds.end(), {"core-nosync", "core-nosync-end"});
        } else if (kind == "cold") {
            kinds = {"core", "cp", "sed"};
            if (o_.probes)
                kinds.push_back("core-noahead");
        } else {
            kinds = {"core", "core-wide", "cp", "sed"};
            // The pattern options, and a regular expression beside sed -E and perl.
            if (workload.name == "tree")
                kinds.insert(kinds.end(),
                             {"core-case", "core-word", "core-regex", "sed-regex", "perl-regex"});
            if (o_.probes)
                kinds.insert(kinds.end(), {"core-nosync", "core-nosync-end", "core-incall",
                                           "core-coarse", "core-noyield", "copy"});
        }
        Results results;
        long beforeKb = 0;
        for (int rep = 0; rep < o_.reps; ++rep) {
            std::vector<fs::path> made;
            for (std::size_t k = 0; k < kinds.size(); ++k) {
                const std::string &who = kinds[(k + static_cast<std::size_t>(rep)) % kinds.size()];
                const fs::path dst = out_ / (workload.name + "-" + who + "-" + std::to_string(rep));
                made.push_back(dst);
                Sample sample;
                const bool inPlace = kind == "inplace" && who != "sed";
                const bool peer = who == "sed" || who == "sed-regex" || who == "perl-regex";
                if (peer || inPlace) {
                    // A fresh copy to work on, not counted.
                    if (tree) {
                        FreshCopy(workload.source, dst);
                    } else {
                        fs::create_directory(dst);
                        FreshCopy(workload.source, dst / workload.source.filename());
                    }
                }
                if (kind == "cold" && !DropCaches()) {
                    std::printf(
                        "   the page cache cannot be dropped here (root only): no cold run\n");
                    return {};
                }
                ::sync();  // what others left dirty is not this contender's to write
                if (who == "cp") {
                    sample = tree ? Spawn({"cp", "-r", workload.source, dst})
                                  : (fs::create_directory(dst),
                                     Spawn({"cp", workload.source, dst.string() + "/"}));
                } else if (who == "sed") {
                    sample = Spawn({"sh", "-c",
                                    "find \"$0\" -type f -print0 | LC_ALL=C xargs -0 sed -i -e "
                                    "'/meta http/Id'",
                                    dst});
                } else if (who == "sed-regex") {
                    sample = Spawn({"sh", "-c",
                                    "find \"$0\" -type f -print0 | LC_ALL=C xargs -0 sed -E -i -e "
                                    "'/meta[[:space:]]+http/Id'",
                                    dst});
                } else if (who == "perl-regex") {
                    sample = Spawn({"sh", "-c",
                                    "find \"$0\" -type f -print0 | xargs -0 perl -i -ne "
                                    "'print unless /meta\\s+http/i'",
                                    dst});
                } else {
                    fs::path list = o_.outs.front() / (workload.name + ".list");
                    std::string into = dst.string();
                    if (inPlace) {
                        // The copy's files, in the order of the source's.
                        list = dst.string() + ".list";
                        std::ofstream out(list);
                        const std::string prefix = tree ? workload.source.string() : "";
                        for (const std::string &file : workload.files) {
                            out << (tree ? dst.string() + file.substr(prefix.size())
                                         : (dst / workload.source.filename()).string())
                                << '\n';
                        }
                        into = "-";
                    } else {
                        fs::create_directory(dst);
                    }
                    const fs::path report = out_ / "worker.report";
                    std::vector<std::string> env;
                    if (who.find("-nosync") != std::string::npos)
                        env.push_back("LD_PRELOAD=" +
                                      (self_.parent_path() / "libstrelmark_nosync.so").string());
                    std::string mode = who.find("incall") != std::string::npos ? "incall"
                                       : who == "core-noahead"                 ? "noahead"
                                       : who == "core-noyield"                 ? "noyield"
                                       : who == "core-coarse"                  ? "coarse"
                                       : who == "copy"                         ? "copy"
                                                                               : "yield";
                    if (who == "inplace-keep")
                        mode += "+keep";
                    if (who.find("nosync-end") != std::string::npos)
                        mode += "+syncend";
                    if (who == "core-case")
                        mode += "+case";
                    if (who == "core-word")
                        mode += "+word";
                    if (who == "core-regex")
                        mode += "+regex";
                    const char *condition = who == "core-wide"    ? WideCondition
                                            : who == "core-regex" ? RegexCondition
                                                                  : Condition;
                    sample = Spawn({self_, "--worker", list, into, report, mode, condition}, env);
                    // The worker's own high-water mark: ru_maxrss of a spawned child also
                    // counts the parent's, which the kernel carries over at exec.
                    std::ifstream in(report);
                    long written = 0, failed = 0, before = 0, peak = 0, announced = 0;
                    in >> written >> failed >> before >> peak >> announced;
                    beforeKb = std::max(beforeKb, before);
                    sample.peakKb = peak;
                    sample.announced = announced;
                    if ((who == "core" || who == "core-wide") && kind != "cold" && rep == 0)
                        CheckOutput(dst, condition,
                                    who == "core" ? workload.outputs : workload.outputsWide);
                }
                results[who].samples.push_back(sample);
            }
            // On tmpfs the outputs go at once; elsewhere only at the very end, since creating
            // many files just after deleting many is slow and erratic on some file systems.
            for (const fs::path &dst : made) {
                if (outOnTmpfs_)
                    fs::remove_all(dst);
            }
        }

        const double mb = workload.bytes / MB;
        const double cpMedian = results.count("cp") ? results["cp"].median() : 0;
        auto row = [&](const std::string &who, const std::string &label, bool showPeak) {
            if (!results.count(who))
                return;
            const Contender &c = results[who];
            double low = 1e300, high = 0;
            for (const Sample &s : c.samples) {
                low = std::min(low, s.seconds);
                high = std::max(high, s.seconds);
            }
            std::printf("   %-44s %7.3f s %6.0f MB/s", label.c_str(), c.median(), mb / c.median());
            if (cpMedian > 0)
                std::printf(" %6.2f x cp", c.median() / cpMedian);
            std::printf("   (%.3f .. %.3f)", low, high);
            if (showPeak)
                std::printf("   peak RSS %.1f MB", c.peakKb() * 1024 / MB);
            if (c.samples.front().announced > 0)
                std::printf("   %ld read ahead", c.samples.front().announced);
            std::printf("\n");
        };
        std::printf("   %-44s %9s %11s %11s   %s\n", "", "median", "", "", "(min .. max)");
        for (const auto &[who, label] : Labels(tree))
            row(who, label, who != "cp" && who.rfind("sed", 0) != 0 && who != "perl-regex");
        auto ratio = [&](const char *a, const char *b) {
            return results.count(a) && results.count(b) ? results[a].median() / results[b].median()
                                                        : 0.0;
        };
        auto goal = [](const char *text, double value, bool met) {
            if (value > 0)
                std::printf("   %s = %.2f: %s\n", text, value, met ? "met" : "missed");
        };
        if (kind == "inplace") {
            goal("in place / sed -i (goal <= 0.8)", ratio("inplace", "sed"),
                 ratio("inplace", "sed") <= 0.8);
            goal("sed -i / in place keeping line ends (goal >= 3)", ratio("sed", "inplace-keep"),
                 ratio("sed", "inplace-keep") >= 3);
            goal("in place / syncs made no-ops (goal <= 1.15)", ratio("inplace", "inplace-nosync"),
                 ratio("inplace", "inplace-nosync") <= 1.15);
            goal("in place / no-ops and one syncfs at the end (what the disk allows)",
                 ratio("inplace", "inplace-nosync-end"), true);
        } else if (kind == "small") {
            goal("strelmark / cp (goal <= 1.25)", ratio("core", "cp"), ratio("core", "cp") <= 1.25);
        } else if (kind == "cold") {
            goal("strelmark / cp, cold (no goal)", ratio("core", "cp"), true);
            goal("without read-ahead / with it (no goal)", ratio("core-noahead", "core"), true);
        } else {
            const double limit = tree ? 1.25 : 1.5;
            const double sedGoal = outOnTmpfs_ ? 2 : 1.5;
            std::printf(
                "   strelmark / cp = %.2f (goal <= %.2f: %s)   sed / strelmark = %.2f "
                "(goal >= %.1f: %s)\n",
                ratio("core", "cp"), limit, ratio("core", "cp") <= limit ? "met" : "missed",
                ratio("sed", "core"), sedGoal, ratio("sed", "core") >= sedGoal ? "met" : "missed");
            goal("group commit / syncs made no-ops (goal <= 1.15)", ratio("core", "core-nosync"),
                 ratio("core", "core-nosync") <= 1.15);
            goal("group commit / no-ops and one syncfs at the end (what the disk allows)",
                 ratio("core", "core-nosync-end"), true);
            const double limitMb = 64.0 * 1024 * 1024 / MB + workload.longestLine / MB;
            const double peakMb = results["core"].peakKb() * 1024 / MB;
            std::printf(
                "   peak memory %.1f MB (%.1f MB before the first file); limit 64 MiB + "
                "longest line = %.1f MB: %s\n",
                peakMb, beforeKb * 1024 / MB, limitMb, peakMb <= limitMb ? "met" : "missed");
            if (results.count("core-wide"))
                goal("\"cr\xC3\xA8me\" / \"meta http\" (goal <= 2)", ratio("core-wide", "core"),
                     ratio("core-wide", "core") <= 2);
            goal("match case / literal (goal <= 1.2)", ratio("core-case", "core"),
                 ratio("core-case", "core") <= 1.2);
            goal("whole words / literal (goal <= 1.2)", ratio("core-word", "core"),
                 ratio("core-word", "core") <= 1.2);
            goal("regex / literal (goal <= 2)", ratio("core-regex", "core"),
                 ratio("core-regex", "core") <= 2);
            goal("sed -E -i / regex (goal > 1)", ratio("sed-regex", "core-regex"),
                 ratio("sed-regex", "core-regex") > 1);
            goal("perl -i -ne / regex (goal > 1)", ratio("perl-regex", "core-regex"),
                 ratio("perl-regex", "core-regex") > 1);
        }
        std::fflush(stdout);
        return results;
    }

    // System calls per file of an output-folder run and an in-place run: strace -c -f over the
    // first 100 and the first 200 files of `files`; the difference divided by 100.
    void countCalls(const std::vector<std::string> &files) {
        if (std::system("strace -V >/dev/null 2>&1") != 0) {
            std::printf("\n== system calls: strace is not installed (apt-get install strace)\n");
            return;
        }
        std::printf(
            "\n== system calls per file, outputs on %s (strace -c -f, 200 files less "
            "100 files, / 100)\n",
            FileSystemName(out_).c_str());
        for (const bool inPlace : {false, true}) {
            std::map<std::string, long> counts[2];
            long totals[2] = {0, 0};
            for (int n = 0; n < 2; ++n) {
                const std::size_t count = n == 0 ? 100 : 200;
                const fs::path dst = out_ / ("calls-" + std::string(inPlace ? "inplace-" : "out-") +
                                             std::to_string(count));
                fs::create_directory(dst);
                const fs::path list = dst.string() + ".list";
                {
                    std::ofstream out(list);
                    for (std::size_t i = 0; i < count && i < files.size(); ++i) {
                        if (inPlace) {
                            const fs::path copy = dst / fs::path(files[i]).filename();
                            fs::copy_file(files[i], copy);
                            out << copy.string() << '\n';
                        } else {
                            out << files[i] << '\n';
                        }
                    }
                }
                ::sync();
                const fs::path trace = dst.string() + ".strace";
                Spawn({"strace", "-f", "-c", "-o", trace.string(), self_.string(), "--worker",
                       list.string(), inPlace ? "-" : dst.string(),
                       (out_ / "worker.report").string(), "yield", Condition});
                std::ifstream in(trace);
                for (std::string line; std::getline(in, line);) {
                    std::istringstream fields(line);
                    std::vector<std::string> f;
                    for (std::string word; fields >> word;)
                        f.push_back(word);
                    if (f.size() < 5 || !std::isdigit(static_cast<unsigned char>(f[0][0])))
                        continue;
                    if (f.back() == "total")
                        totals[n] = std::atol(f[3].c_str());
                    else
                        counts[n][f.back()] = std::atol(f[3].c_str());
                }
                fs::remove_all(dst);
                fs::remove(list);
                fs::remove(trace);
            }
            std::printf("   %-14s %5.2f per file:", inPlace ? "in place" : "output folder",
                        (totals[1] - totals[0]) / 100.0);
            std::vector<std::pair<long, std::string>> each;
            for (const auto &[call, number] : counts[1])
                each.emplace_back(number - counts[0][call], call);
            std::sort(each.rbegin(), each.rend());
            for (const auto &[number, call] : each) {
                if (number != 0)
                    std::printf(" %s %.2f", call.c_str(), number / 100.0);
            }
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    static std::vector<std::pair<std::string, std::string>> Labels(bool tree) {
        return {
            {"core", "strelmark core"},
            {"core-wide", std::string("strelmark core, \"") + WideCondition + "\""},
            {"inplace", "strelmark core, in place"},
            {"inplace-keep", "strelmark core, in place, keeping line ends"},
            {"cp", tree ? "cp -r (I/O floor)" : "cp (I/O floor)"},
            {"sed", SedLabel()},
            {"core-case", "strelmark core, match case"},
            {"core-word", "strelmark core, whole words"},
            {"core-regex", std::string("strelmark core, regex ") + RegexCondition},
            {"sed-regex", "sed -E -i, the same regex"},
            {"perl-regex", "perl -i -ne, the same regex"},
            {"core-nosync", "probe: strelmark, syncs made no-ops"},
            {"inplace-nosync", "probe: in place, syncs made no-ops"},
            {"core-nosync-end", "probe: no-ops, one syncfs at the end"},
            {"inplace-nosync-end", "probe: in place, no-ops, one syncfs at the end"},
            {"core-incall", "probe: strelmark, groups committed in the call"},
            {"inplace-incall", "probe: in place, groups committed in the call"},
            {"core-noahead", "probe: strelmark, no read-ahead"},
            {"core-coarse", "probe: strelmark, yields on coarse clock"},
            {"core-noyield", "probe: strelmark, no yield call per line"},
            {"copy", "probe: read+write copy, no line work"},
        };
    }

    Options o_;
    fs::path self_;
    fs::path out_;
    bool outOnTmpfs_;
};

bool CorpusReady(const fs::path &corpus) {
    std::ifstream stamp(corpus / "corpus.stamp");
    std::string text((std::istreambuf_iterator<char>(stamp)), std::istreambuf_iterator<char>());
    return text == StampText;
}

std::vector<std::string> FilesUnder(const fs::path &folder) {
    std::vector<std::string> files;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
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
            options.outs.push_back(value());
        else if (arg == "--reps")
            options.reps = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--probes")
            options.probes = true;
        else if (arg == "--count-calls")
            options.countCalls = true;
        else if (arg == "--small")
            options.small = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--only")
            options.only.push_back(value());
        else {
            std::fprintf(stderr,
                         "usage: %s [--corpus DIR] [--out DIR]... [--reps N] [--probes] "
                         "[--count-calls] [--small N] "
                         "[--only tree|tree-utf16|tree-1252|inplace|small|big|long|cold]...\n",
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
    if (options.outs.empty())
        options.outs.push_back("/dev/shm/strelmark-bench-" + std::to_string(getpid()));
    for (const fs::path &out : options.outs) {
        fs::create_directories(out);
        if (!fs::is_empty(out)) {
            std::fprintf(stderr, "%s is not empty; outputs go to fresh folders only\n",
                         out.c_str());
            return 2;
        }
    }
    auto wanted = [&](const std::string &name) {
        // "cold" only when asked for by name.
        return options.only.empty() ? name != "cold"
                                    : std::find(options.only.begin(), options.only.end(), name) !=
                                          options.only.end();
    };

    std::printf("strelmark core benchmark: \"%s\" with the text \"%s\", and with \"%s\"\n",
                Operations::Captions[0].toUtf8().constData(), Condition, WideCondition);
    std::printf("corpus %s (%s); outputs in", options.corpus.c_str(),
                FileSystemName(options.corpus).c_str());
    for (const fs::path &out : options.outs)
        std::printf(" %s (%s)", out.c_str(), FileSystemName(out).c_str());
    std::printf("\n%d repetitions, medians; %ld cores; wall clock per child process\n",
                options.reps, sysconf(_SC_NPROCESSORS_ONLN));
    {
        std::ifstream load("/proc/loadavg");
        std::string line;
        std::getline(load, line);
        std::printf("load average at the start: %s\n", line.c_str());
    }

    // workload -> output folder -> contender
    std::vector<std::pair<std::string, std::vector<Results>>> all;
    auto runAll = [&](const std::string &kind,
                      const std::function<Workload(const fs::path &)> &make) {
        std::vector<Results> each;
        for (const fs::path &out : options.outs) {
            Workload workload = make(out);
            CoreBench bench(options, self, out);
            const fs::path list = options.outs.front() / (workload.name + ".list");
            {
                std::ofstream file(list);
                for (const std::string &path : workload.files)
                    file << path << '\n';
            }
            each.push_back(bench.run(workload, kind));
        }
        all.emplace_back(kind, std::move(each));
    };

    const fs::path treeSource = options.corpus / "tree";
    if (wanted("tree")) {
        runAll("tree", [&](const fs::path &) {
            Workload tree{"tree", treeSource};
            tree.files = FilesUnder(tree.source);
            return tree;
        });
    }
    for (const char *name : {"tree-utf16", "tree-1252"}) {
        if (!wanted(name))
            continue;
        std::ifstream stamp(options.corpus / "encoded.stamp");
        const std::string text((std::istreambuf_iterator<char>(stamp)),
                               std::istreambuf_iterator<char>());
        if (text != StampText) {
            std::printf("writing the tree in UTF-16 and in Windows-1252 ...\n");
            std::fflush(stdout);
            Spawn({(self.parent_path() / "strelmark_corpus").string(), "--encoded",
                   options.corpus.string()});
        }
        runAll(name, [&](const fs::path &) {
            Workload copy{name, options.corpus / name};
            copy.files = FilesUnder(copy.source);
            return copy;
        });
    }
    if (wanted("inplace")) {
        runAll("inplace", [&](const fs::path &) {
            Workload tree{"inplace", treeSource};
            tree.files = FilesUnder(tree.source);
            return tree;
        });
    }
    if (wanted("small")) {
        std::ifstream stamp(options.corpus / "small.stamp");
        int made = 0;
        stamp >> made;
        if (made != options.small) {
            std::printf("generating %d small files in %s ...\n", options.small,
                        (options.corpus / "small").c_str());
            std::fflush(stdout);
            Spawn({(self.parent_path() / "strelmark_corpus").string(), "--small",
                   options.corpus.string(), std::to_string(options.small)});
        }
        runAll("small", [&](const fs::path &) {
            Workload small{"small", options.corpus / "small"};
            small.files = FilesUnder(small.source);
            return small;
        });
    }
    if (wanted("big")) {
        runAll("big", [&](const fs::path &) {
            Workload big{"big", options.corpus / "big" / "big-1g.html"};
            big.files.push_back(big.source.string());
            return big;
        });
    }
    if (wanted("long")) {
        runAll("long", [&](const fs::path &) {
            Workload longLine{"long", options.corpus / "long" / "one-line.html"};
            longLine.files.push_back(longLine.source.string());
            return longLine;
        });
    }
    if (wanted("cold")) {
        // The tree copied to each output folder's file system once, read from there with the
        // page cache emptied before every contender.
        runAll("cold", [&](const fs::path &out) {
            Workload cold{"cold", out / "cold-source"};
            if (!fs::exists(cold.source))
                FreshCopy(treeSource, cold.source);
            cold.files = FilesUnder(cold.source);
            for (const std::string &file : cold.files)
                cold.bytes += fs::file_size(file);
            return cold;
        });
    }
    if (options.countCalls) {
        const std::vector<std::string> files = FilesUnder(treeSource);
        for (const fs::path &out : options.outs)
            CoreBench(options, self, out).countCalls(files);
    }

    if (options.outs.size() > 1) {
        std::printf("\n== side by side (medians; x cp -r of the same file system)\n   %-44s", "");
        for (const fs::path &out : options.outs)
            std::printf(" %22s", FileSystemName(out).c_str());
        std::printf("\n");
        for (const auto &[kind, each] : all) {
            std::set<std::string> contenders;
            for (const Results &results : each) {
                for (const auto &[who, c] : results)
                    contenders.insert(who);
            }
            for (const std::string &who : contenders) {
                std::printf("   %-44s", (kind + ": " + who).c_str());
                for (const Results &results : each) {
                    const auto found = results.find(who);
                    const auto cp = results.find("cp");
                    if (found == results.end()) {
                        std::printf(" %22s", "-");
                        continue;
                    }
                    char cell[64];
                    if (cp != results.end())
                        std::snprintf(cell, sizeof cell, "%.3f s %5.2f x", found->second.median(),
                                      found->second.median() / cp->second.median());
                    else
                        std::snprintf(cell, sizeof cell, "%.3f s", found->second.median());
                    std::printf(" %22s", cell);
                }
                std::printf("\n");
            }
        }
    }
    {
        std::ifstream load("/proc/loadavg");
        std::string line;
        std::getline(load, line);
        std::printf("\nload average at the end: %s\n", line.c_str());
    }
    for (const fs::path &out : options.outs)
        fs::remove_all(out);
    return 0;
}
