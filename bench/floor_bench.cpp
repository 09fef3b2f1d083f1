// The command line against the floor of its job, in the same run: the floor reads each file
// and writes it again (strelmark_floor), the plain reference does the whole job by the
// shortest way (strelmark_plain, its results compared with the program's), and cp -r, GNU
// sed -i, perl -i -ne and sd stand beside them. Every figure is a ratio to the floor of the
// same run, timed between the others: repetitions are interleaved (each round runs every
// contender, in a rotating order) and medians printed, with the peak memory (wait4's maxrss).
//
// Workloads: the corpus tree (10,000 pages, 416 MB), 100,000 pages of about 5 KB (generated
// once into /dev/shm), the 1 GiB page and the 100 MiB line, on tmpfs; the tree and the small
// pages again on a disk; "meta http" and "crème"; one and two threads; into a fresh folder and
// in place on fresh copies (the copy not timed). Each output is a fresh folder on the file
// system of the input, the program's undo store beside it (XDG_DATA_HOME), removed after.
// --only many: one run over 1,000,000 tiny listed files (--files-from), its time and memory.
//
// usage: floor_bench --program PATH [--corpus DIR] [--disk DIR] [--reps N] [--quick]
//                    [--only tree|small|big|long|disk|many]...

#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

constexpr const char *StampText = "strelmark corpus 1\n";

struct Run {
    double seconds = 0;
    int status = 0;
    double peakMb = 0;
};

// Runs a program and waits for it: its wall time, exit status and peak memory. Standard output
// goes to `output` (none: /dev/null), standard error to `errors`.
Run Spawn(const std::vector<std::string> &args, const std::vector<std::string> &env = {},
          const std::string &output = "/dev/null", const std::string &errors = "") {
    std::vector<char *> argv, envp;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    for (char **e = environ; *e != nullptr; ++e)
        envp.push_back(*e);
    for (const std::string &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    if (!errors.empty())
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

void MustSucceed(const Run &run, const std::string &what) {
    if (run.status != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", what.c_str(), run.status);
        std::exit(1);
    }
}

struct Options {
    std::string program;
    fs::path corpus = "/dev/shm/strelmark-corpus";
    fs::path disk;  // where the disk's fresh folder goes
    fs::path self;  // this program, beside the corpus generator and the plain programs
    int reps = 5;
    bool quick = false;
    std::vector<std::string> only;
    int smallCount() const { return quick ? 10000 : 100000; }
};

bool Wanted(const Options &o, const char *part) {
    return o.only.empty() || std::find(o.only.begin(), o.only.end(), part) != o.only.end();
}

std::string Tool(const Options &o, const char *name) {
    return (o.self.parent_path() / name).string();
}

// One way of doing the job. Its command names the input "@IN" and its fresh output "@OUT";
// in place, "@IN" is a fresh copy of the input. A row's ratio is to the floor row above it.
struct Contender {
    std::string group, label;
    std::vector<std::string> command;
    bool inPlace = false;
    bool floor = false;
    int sameAs = -1;  // the row whose output its output is compared with, or -1
    int versus = -1;  // a row its time is also compared with ("crème" with "meta http")
};

struct Workload {
    std::string name;
    fs::path input;  // a folder, or one file
    fs::path out;    // a fresh folder on the file system the outputs go to
};

std::string Describe(const fs::path &input) {
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
    if (fs::is_regular_file(input)) {
        files = 1, bytes = fs::file_size(input);
    } else {
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(input)) {
            if (entry.is_regular_file())
                ++files, bytes += entry.file_size();
        }
    }
    char text[96];
    std::snprintf(text, sizeof text, "%zu file%s, %.1f MB", files, files == 1 ? "" : "s",
                  static_cast<double>(bytes) / 1e6);
    return text;
}

// "same", or how many files differ ("diff -rq" lines).
std::string Compare(const fs::path &a, const fs::path &b, const fs::path &scratch) {
    const fs::path listing = scratch / "diff.txt";
    const Run run = Spawn({"diff", "-rq", a.string(), b.string()}, {}, listing.string());
    std::ifstream in(listing);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    fs::remove(listing);
    return run.status == 0 ? "same" : "DIFFERS: " + std::to_string(lines) + " files";
}

std::vector<std::string> Filled(const std::vector<std::string> &command, const fs::path &in,
                                const fs::path &out) {
    std::vector<std::string> filled = command;
    for (std::string &word : filled)
        word = word == "@IN" ? in.string() : word == "@OUT" ? out.string() : word;
    return filled;
}

void PrintTable(const Workload &w, const std::vector<Contender> &rows,
                const std::vector<std::vector<Run>> &runs, std::vector<std::string> notes,
                int reps) {
    std::printf("\n%s: %s, outputs in %s (%s); medians of %d\n", w.name.c_str(),
                Describe(w.input).c_str(), w.out.c_str(), Bench::FileSystemName(w.out).c_str(),
                reps);
    std::printf("  %-46s %8s %8s %7s %8s  %s\n", "", "median", "/ floor", "/ cp", "peak MB",
                "output");
    std::vector<double> medians, peaks;
    std::vector<bool> failed;
    double floor = 0, cp = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<double> times, memory;
        failed.push_back(false);
        for (const Run &run : runs[r]) {
            times.push_back(run.seconds), memory.push_back(run.peakMb);
            failed[r] = failed[r] || run.status != 0;
        }
        medians.push_back(Bench::Median(times));
        peaks.push_back(Bench::Median(memory));
        cp = rows[r].label.rfind("cp", 0) == 0 ? medians[r] : cp;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        floor = rows[r].floor ? medians[r] : floor;
        if (r == 0 || rows[r].group != rows[r - 1].group)
            std::printf("  %s\n", rows[r].group.c_str());
        char vsCp[16] = "";
        if (cp > 0)
            std::snprintf(vsCp, sizeof vsCp, "%6.2fx", medians[r] / cp);
        if (rows[r].versus >= 0) {
            char versus[64];
            std::snprintf(versus, sizeof versus, "; %.2fx its \"meta http\" row",
                          medians[r] / medians[static_cast<std::size_t>(rows[r].versus)]);
            notes[r] += versus;
        }
        std::printf("    %-44s %7.3fs %7.2fx %7s %8.1f  %s%s\n", rows[r].label.c_str(), medians[r],
                    medians[r] / floor, vsCp, peaks[r], notes[r].c_str(),
                    failed[r] ? " FAILED (exit status not 0)" : "");
    }
    std::fflush(stdout);
}

// Runs every contender `reps` times, interleaved, each into a fresh folder below w.out, and
// prints the medians. In the first round each output with a sameAs is compared with that row's.
void Measure(const Workload &w, const std::vector<Contender> &rows, int reps) {
    std::vector<std::vector<Run>> runs(rows.size());
    std::vector<std::string> checks(rows.size());
    std::vector<fs::path> kept(rows.size());  // the first round's outputs that are compared
    const bool oneFile = fs::is_regular_file(w.input);
    for (int rep = 0; rep < reps; ++rep) {
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const std::size_t r = (k + static_cast<std::size_t>(rep)) % rows.size();
            const Contender &c = rows[r];
            const std::string tag = std::to_string(rep) + "-" + std::to_string(r);
            const fs::path fresh = w.out / ("run-" + tag), data = w.out / ("data-" + tag);
            if (c.inPlace)
                MustSucceed(Spawn({"cp", "-r", w.input.string(), fresh.string()}), "cp -r");
            else if (oneFile)
                fs::create_directory(fresh);
            const Run run = Spawn(Filled(c.command, c.inPlace ? fresh : w.input, fresh),
                                  {"XDG_DATA_HOME=" + data.string()}, "/dev/null",
                                  (w.out / ("errors-" + tag)).string());
            runs[r].push_back(run);
            if (run.status != 0) {
                std::ifstream errors(w.out / ("errors-" + tag));
                const std::string text(std::istreambuf_iterator<char>(errors), {});
                std::fprintf(stderr, "%s: %s exited with %d: %s\n", w.name.c_str(), c.label.c_str(),
                             run.status, text.substr(0, 400).c_str());
            }
            fs::remove(w.out / ("errors-" + tag));
            fs::remove_all(data);
            const bool reference = std::any_of(rows.begin(), rows.end(), [&](const Contender &o) {
                return o.sameAs == static_cast<int>(r);
            });
            if (rep == 0 && c.sameAs >= 0)
                checks[r] = Compare(kept[static_cast<std::size_t>(c.sameAs)], fresh, w.out);
            if (rep == 0 && reference)
                kept[r] = fresh;
            else
                fs::remove_all(fresh);
        }
        if (rep == 0) {
            for (const fs::path &path : kept)
                if (!path.empty())
                    fs::remove_all(path);
        }
    }
    PrintTable(w, rows, runs, checks, reps);
}

// The rows for a folder of pages: into a folder and in place, each with its floor first; with
// `all`, also "crème", perl and sd.
std::vector<Contender> FolderRows(const Options &o, bool all) {
    const std::string floor = Tool(o, "strelmark_floor"), plain = Tool(o, "strelmark_plain");
    auto strelmark = [&](const char *text, const char *jobs, bool inPlace) {
        std::vector<std::string> command = {o.program, "remove",  "lines-containing", text, "--ext",
                                            "*",       "--quiet", "--jobs",           jobs};
        if (inPlace)
            command.insert(command.end(), {"--in-place", "--", "@IN"});
        else
            command.insert(command.end(), {"--out", "@OUT", "--mkdir", "--", "@IN"});
        return command;
    };
    auto each = [](const std::string &command) {  // a peer, over every file of the copy
        return std::vector<std::string>{
            "sh", "-c", "find \"$0\" -type f -print0 | LC_ALL=C xargs -0 " + command, "@IN"};
    };
    std::vector<Contender> rows;
    auto add = [&rows](Contender row) {
        rows.push_back(std::move(row));
        return static_cast<int>(rows.size()) - 1;
    };
    const std::string folder = "into a folder, \"meta http\"";
    add({.group = folder,
         .label = "floor (read + write), 1 thread",
         .command = {floor, "-o", "@OUT", "@IN"},
         .floor = true});
    add({.group = folder,
         .label = "floor, 2 threads",
         .command = {floor, "-j", "2", "-o", "@OUT", "@IN"}});
    const int jobs1 = add({.group = folder,
                           .label = "strelmark --jobs 1",
                           .command = strelmark("meta http", "1", false)});
    const int jobs2 = add({.group = folder,
                           .label = "strelmark --jobs 2",
                           .command = strelmark("meta http", "2", false),
                           .sameAs = jobs1});
    const int plain1 = add({.group = folder,
                            .label = "plain reference, 1 thread",
                            .command = {plain, "meta http", "-o", "@OUT", "@IN"},
                            .sameAs = jobs1});
    add({.group = folder,
         .label = "plain reference, 2 threads",
         .command = {plain, "meta http", "-j", "2", "-o", "@OUT", "@IN"},
         .sameAs = jobs1});
    add({.group = folder, .label = "cp -r", .command = {"cp", "-r", "@IN", "@OUT"}});
    if (all) {
        const std::string accented = "into a folder, \"crème\" (the floor above)";
        const int accented1 = add({.group = accented,
                                   .label = "strelmark --jobs 1",
                                   .command = strelmark("crème", "1", false),
                                   .versus = jobs1});
        add({.group = accented,
             .label = "strelmark --jobs 2",
             .command = strelmark("crème", "2", false),
             .sameAs = accented1,
             .versus = jobs2});
        add({.group = accented,
             .label = "plain reference, 1 thread",
             .command = {plain, "crème", "-o", "@OUT", "@IN"},
             .sameAs = accented1,
             .versus = plain1});
    }
    const std::string inPlace = "in place, \"meta http\" (on fresh copies)";
    add({.group = inPlace,
         .label = "floor -i, 1 thread",
         .command = {floor, "-i", "@IN"},
         .inPlace = true,
         .floor = true});
    add({.group = inPlace,
         .label = "floor -i, 2 threads",
         .command = {floor, "-i", "-j", "2", "@IN"},
         .inPlace = true});
    const int place1 = add({.group = inPlace,
                            .label = "strelmark --in-place --jobs 1",
                            .command = strelmark("meta http", "1", true),
                            .inPlace = true});
    add({.group = inPlace,
         .label = "strelmark --in-place --jobs 2",
         .command = strelmark("meta http", "2", true),
         .inPlace = true,
         .sameAs = place1});
    add({.group = inPlace,
         .label = "plain reference -i, 1 thread",
         .command = {plain, "meta http", "-i", "@IN"},
         .inPlace = true,
         .sameAs = place1});
    add({.group = inPlace,
         .label = Bench::SedVersion() + " -i, C locale",
         .command = each("sed -i -e '/meta http/Id'"),
         .inPlace = true,
         .sameAs = place1});
    if (all) {
        add({.group = inPlace,
             .label = "perl -i -ne, C locale",
             .command = each("perl -i -ne 'print unless /meta http/i'"),
             .inPlace = true,
             .sameAs = place1});
        add({.group = inPlace,
             .label = "sd -f i, C locale",
             .command = each("sd -f i '[^\\n]*meta http[^\\n]*\\n?' ''"),
             .inPlace = true,
             .sameAs = place1});
    }
    return rows;
}

// The rows for one large file, into a folder; with `accented`, "crème" too.
std::vector<Contender> FileRows(const Options &o, bool accented) {
    const std::string plain = Tool(o, "strelmark_plain");
    auto strelmark = [&](const char *text) {
        return std::vector<std::string>{
            o.program, "remove", "lines-containing", text, "--quiet", "--out", "@OUT", "--", "@IN"};
    };
    const std::string group = "into a folder";
    std::vector<Contender> rows = {
        {.group = group,
         .label = "floor (read + write)",
         .command = {Tool(o, "strelmark_floor"), "-o", "@OUT", "@IN"},
         .floor = true},
        {.group = group, .label = "cp", .command = {"cp", "@IN", "@OUT"}},
        {.group = group, .label = "strelmark \"meta http\"", .command = strelmark("meta http")},
        {.group = group,
         .label = "plain reference \"meta http\"",
         .command = {plain, "meta http", "-o", "@OUT", "@IN"},
         .sameAs = 2},
    };
    if (accented) {
        rows.push_back({.group = group,
                        .label = "strelmark \"crème\"",
                        .command = strelmark("crème"),
                        .versus = 2});
        rows.push_back({.group = group,
                        .label = "plain reference \"crème\"",
                        .command = {plain, "crème", "-o", "@OUT", "@IN"},
                        .sameAs = 4,
                        .versus = 3});
    }
    return rows;
}

// The load averages over 1, 5 and 15 minutes.
std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// A fresh folder for outputs below `base`, on the file system of `base`.
fs::path FreshFolder(const fs::path &base, const char *name) {
    std::string pattern = (base / (std::string(name) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "cannot make a folder in %s: %s\n", base.c_str(),
                     std::strerror(errno));
        std::exit(1);
    }
    return pattern;
}

// The small pages, generated once (deterministically) into /dev/shm/strelmark-small-COUNT.
fs::path SmallPages(const Options &o) {
    const fs::path root = "/dev/shm/strelmark-small-" + std::to_string(o.smallCount());
    std::ifstream stamp(root / "small.stamp");
    std::string count;
    std::getline(stamp, count);
    if (count != std::to_string(o.smallCount())) {
        std::printf("generating %d small pages in %s ...\n", o.smallCount(), root.c_str());
        std::fflush(stdout);
        fs::create_directories(root);
        MustSucceed(Spawn({Tool(o, "strelmark_corpus"), "--small", root.string(),
                           std::to_string(o.smallCount())}),
                    "strelmark_corpus --small");
    }
    return root / "small";
}

// One run over COUNT tiny listed files, flat into a fresh folder: the time against the floor,
// and the program's peak memory. The files are hard links to 1,000 pages, so that only the
// outputs take memory of their own.
void ManyFiles(const Options &o, const fs::path &out) {
    const int count = o.quick ? 10000 : 1000000;
    const fs::path root = "/dev/shm/strelmark-many-" + std::to_string(count);
    const fs::path list = root / "list.txt";
    if (!fs::exists(root / "many.stamp")) {
        std::printf("making %d listed files in %s ...\n", count, root.c_str());
        std::fflush(stdout);
        fs::remove_all(root);
        fs::create_directories(root);
        std::ofstream names(list);
        for (int i = 0; i < count; ++i) {
            const fs::path folder = root / "files" / ("d" + std::to_string(i / 1000));
            const fs::path file = folder / ("t-" + std::to_string(i) + ".html");
            if (i % 1000 == 0)
                fs::create_directories(folder);
            if (i < 1000)
                std::ofstream(file) << "<p>page " << i << "</p>\n"
                                    << (i % 5 == 0 ? "<meta http-equiv=\"refresh\">\n" : "");
            else
                fs::create_hard_link(
                    root / "files" / "d0" / ("t-" + std::to_string(i % 1000) + ".html"), file);
            names << file.string() << '\n';
        }
        std::ofstream(root / "many.stamp") << count << '\n';
    }
    const std::string group = "listed, into one folder";
    const std::vector<Contender> rows = {
        {.group = group,
         .label = "floor (read + write), 1 thread",
         .command = {Tool(o, "strelmark_floor"), "-o", "@OUT", "--files-from", list.string()},
         .floor = true},
        {.group = group,
         .label = "strelmark --files-from LIST --out NEW",
         .command = {o.program, "remove", "lines-containing", "meta http", "--quiet",
                     "--files-from", list.string(), "--out", "@OUT", "--mkdir"}},
    };
    Measure({"many tiny files (goal: strelmark's peak memory < 200 MB)", root / "files", out}, rows,
            1);
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    o.self = fs::read_symlink("/proc/self/exe");
    o.disk = o.self.parent_path().parent_path();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "--program" || arg == "--corpus" || arg == "--disk" ||
                            arg == "--reps" || arg == "--only";
        if (valued && i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n", arg.c_str());
            return 2;
        }
        if (arg == "--program")
            o.program = argv[++i];
        else if (arg == "--corpus")
            o.corpus = argv[++i];
        else if (arg == "--disk")
            o.disk = argv[++i];
        else if (arg == "--reps")
            o.reps = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--only")
            o.only.push_back(argv[++i]);
        else if (arg == "--quick")
            o.quick = true;
        else {
            std::fprintf(stderr,
                         "usage: %s --program PATH [--corpus DIR] [--disk DIR] [--reps N] "
                         "[--quick] [--only tree|small|big|long|disk|many]...\n",
                         argv[0]);
            return 2;
        }
    }
    if (o.program.empty()) {
        std::fprintf(stderr, "--program names the strelmark to time\n");
        return 2;
    }
    o.reps = o.quick ? 1 : o.reps;
    std::ifstream stamp(o.corpus / "corpus.stamp");
    if (std::string(std::istreambuf_iterator<char>(stamp), {}) != StampText) {
        std::printf("generating the corpus in %s ...\n", o.corpus.c_str());
        std::fflush(stdout);
        fs::create_directories(o.corpus);
        MustSucceed(Spawn({Tool(o, "strelmark_corpus"), o.corpus.string()}), "strelmark_corpus");
    }
    const fs::path shm = FreshFolder("/dev/shm", "strelmark-floor");
    std::printf("strelmark against the floor of its job; %d repetition(s), interleaved; load %s\n",
                o.reps, LoadAverage().c_str());
    const fs::path tree = o.corpus / "tree";
    MustSucceed(Spawn({"sh", "-c", "find \"$0\" -type f -exec cat {} + >/dev/null", tree}),
                "warming the cache");
    if (Wanted(o, "tree"))
        Measure({"the tree", tree, shm}, FolderRows(o, true), o.reps);
    if (Wanted(o, "small"))
        Measure({"small pages", SmallPages(o), shm}, FolderRows(o, true), o.reps);
    if (Wanted(o, "big"))
        Measure({"the 1 GiB page", o.corpus / "big" / "big-1g.html", shm}, FileRows(o, true),
                o.reps);
    if (Wanted(o, "long"))
        Measure({"the 100 MiB line", o.corpus / "long" / "one-line.html", shm}, FileRows(o, false),
                o.reps);
    if (Wanted(o, "disk") && Bench::FileSystemName(o.disk) == "tmpfs") {
        std::printf("\n%s is a tmpfs: no disk measured (--disk DIR, BENCH_DISK_DIR=...)\n",
                    o.disk.c_str());
    } else if (Wanted(o, "disk")) {
        // Never a folder that was emptied: on ext4 without a journal, files made again where
        // many were just deleted are slow and erratic to make.
        const fs::path disk = FreshFolder(o.disk, "strelmark-floor-disk");
        MustSucceed(Spawn({"cp", "-r", tree.string(), (disk / "tree").string()}), "cp -r");
        Measure({"the tree, disk", disk / "tree", FreshFolder(disk, "out")}, FolderRows(o, false),
                o.reps);
        MustSucceed(Spawn({"cp", "-r", SmallPages(o).string(), (disk / "small").string()}),
                    "cp -r");
        Measure({"small pages, disk", disk / "small", FreshFolder(disk, "out")},
                FolderRows(o, false), o.reps);
        fs::remove_all(disk);
    }
    if (Wanted(o, "many") && !o.only.empty())
        ManyFiles(o, shm);
    std::printf("\nload after: %s\n", LoadAverage().c_str());
    fs::remove_all(shm);
    return 0;
}
