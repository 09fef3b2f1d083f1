// The command line over the corpus tree (all 10,000 pages: --ext '*'), against cp -r and GNU
// sed -i, each on a fresh folder; then how long the program takes to start.
//
//   strelmark remove lines-containing "meta http" --out NEW --mkdir --jobs 1, 2, all
//   strelmark remove lines-containing "meta http" --in-place (all) on a fresh copy
//   cp -r TREE NEW
//   find COPY -type f | xargs sed -i -e '/meta http/Id'  on a fresh copy (the copy not timed)
//
// Repetitions are interleaved (each round runs every contender, in a rotating order) and
// medians are printed, with ratios. Each run of the program has an undo store of its own in
// the output folder (XDG_DATA_HOME), on the same file system as the outputs, as a user's
// would be on the disk their files are on.
//
// Start-up: the wall time of `strelmark --version`, and the time from starting the program to
// the start of its first file (it prints its CLOCK_MONOTONIC then when STRELMARK_STARTUP_CLOCK
// is set), both against starting /bin/true, the floor that any program pays here.
//
// --exclude: 2,000 small pages beside a node_modules of 100,000 files in 1,000 folders, with
// -E node_modules, against the same pages without that folder (and the folder searched, not
// excluded, for scale); each run into a fresh folder.
//
// The filter: 100 MiB of the corpus's pages through a pipe, `strelmark remove
// lines-containing "meta http"` from standard input to /dev/null, against `sed -e '/meta
// http/Id'`; their outputs are compared once.
//
// usage: cli_bench --program PATH [--corpus DIR] [--out DIR] [--reps N]
//                  [--only tree|start|exclude|filter]

#include "BenchSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

constexpr const char *StampText = "strelmark corpus 1\n";

long long MonotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct Result {
    double seconds = 0;
    int status = 0;
    std::string errors;       // standard error, when asked for
    long long spawnedNs = 0;  // CLOCK_MONOTONIC just before the program was started
};

// Runs a program and waits; the wall time from just before the start to its end.
Result Spawn(const std::vector<std::string> &args, const std::vector<std::string> &extraEnv = {},
             bool keepErrors = false, bool quietOutput = true) {
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

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int errors[2] = {-1, -1};
    if (keepErrors) {
        if (pipe(errors) != 0) {
            std::perror("pipe");
            std::exit(1);
        }
        posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
        posix_spawn_file_actions_addclose(&actions, errors[0]);
    }
    if (quietOutput)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    Result result;
    result.spawnedNs = MonotonicNs();
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (keepErrors) {
        close(errors[1]);
        char buffer[4096];
        ssize_t got;
        while ((got = read(errors[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
            if (got > 0)
                result.errors.append(buffer, static_cast<std::size_t>(got));
        }
        close(errors[0]);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

void MustSucceed(const Result &result, const char *what) {
    if (result.status != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n%s", what, result.status,
                     result.errors.c_str());
        std::exit(1);
    }
}

std::size_t FilesBelow(const fs::path &folder) {
    std::size_t count = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder))
        count += entry.is_regular_file();
    return count;
}

struct Options {
    std::string program;
    fs::path corpus = "/dev/shm/strelmark-corpus";
    fs::path out;
    int reps = 5;
    std::string only;  // one part, or all of them
};

bool Runs(const Options &o, const char *part) {
    return o.only.empty() || o.only == part;
}

void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Medians of interleaved repetitions: each round runs every contender, in a rotating order.
std::map<std::string, double> Interleaved(
    const Options &o, const std::vector<std::string> &kinds,
    const std::function<Result(const std::string &kind, const fs::path &fresh)> &run) {
    std::map<std::string, std::vector<double>> times;
    for (int rep = 0; rep < o.reps; ++rep) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            const std::string &kind = kinds[(k + static_cast<std::size_t>(rep)) % kinds.size()];
            const fs::path fresh = o.out / ("x-" + std::to_string(rep) + "-" + std::to_string(k));
            const Result result = run(kind, fresh);
            MustSucceed(result, kind.c_str());
            times[kind].push_back(result.seconds);
            fs::remove_all(fresh);
        }
    }
    std::map<std::string, double> medians;
    for (const auto &[kind, list] : times)
        medians[kind] = Bench::Median(list);
    return medians;
}

// 2,000 small pages, and a tree that holds them beside a large node_modules.
void ExcludeWorkload(const Options &o, const fs::path &self) {
    const fs::path small = o.corpus / "small";
    std::ifstream stamp(o.corpus / "small.stamp");
    std::string count;
    std::getline(stamp, count);
    if (count != "2000") {
        MustSucceed(Spawn({(self.parent_path() / "strelmark_corpus").string(), "--small", o.corpus,
                           "2000"}),
                    "strelmark_corpus --small");
    }
    const fs::path without = o.out / "without", with = o.out / "with";
    fs::create_directories(without);
    fs::create_directories(with / "node_modules");
    fs::create_directory_symlink(small, without / "pages");
    fs::create_directory_symlink(small, with / "pages");
    for (int folder = 0; folder < 1000; ++folder) {
        const fs::path modules = with / "node_modules" / ("package-" + std::to_string(folder));
        fs::create_directories(modules);
        for (int file = 0; file < 100; ++file)
            WriteFile(modules / ("index-" + std::to_string(file) + ".html"), "x\n");
    }
    MustSucceed(Spawn({"sh", "-c", "find \"$0\" \"$1\" >/dev/null", with, without}),
                "warming the cache");
    const std::vector<std::string> kinds = {"without", "excluded", "searched"};
    const auto medians = Interleaved(o, kinds, [&](const std::string &kind, const fs::path &fresh) {
        std::vector<std::string> args = {o.program, "remove", "lines-containing", "meta http",
                                         "-o",      fresh,    "--mkdir",          "-q"};
        if (kind == "excluded")
            args.insert(args.end(), {"-E", "node_modules"});
        args.push_back(kind == "without" ? without : with);
        return Spawn(args, {"XDG_DATA_HOME=" + (fresh / "data").string()}, true);
    });
    const double base = medians.at("without");
    std::printf(
        "\n--exclude (2,000 pages of 5 kB; node_modules: 100,000 files in 1,000 folders)\n"
        "  the pages alone                           %7.3fs\n"
        "  beside node_modules, -E node_modules      %7.3fs  %5.2fx the pages alone\n"
        "  beside node_modules, searched, worked on  %7.3fs  %5.2fx the pages alone\n",
        base, medians.at("excluded"), medians.at("excluded") / base, medians.at("searched"),
        medians.at("searched") / base);
    fs::remove_all(without);
    fs::remove_all(with);
}

// 100 MiB of the corpus's pages, filtered from a pipe, against sed.
void FilterWorkload(const Options &o) {
    constexpr std::uintmax_t Size = std::uintmax_t(100) << 20;
    const fs::path stream = o.out / "stream";
    {
        std::vector<fs::path> pages;
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(o.corpus / "tree"))
            if (entry.is_regular_file())
                pages.push_back(entry.path());
        std::sort(pages.begin(), pages.end());
        std::ofstream out(stream, std::ios::binary);
        std::uintmax_t written = 0;
        for (const fs::path &page : pages) {
            if (written >= Size)
                break;
            std::ifstream in(page, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            const std::string part = bytes.substr(0, Size - written);
            out << part;
            written += part.size();
        }
    }
    const std::string strelmark = "cat \"$0\" | \"$1\" remove lines-containing 'meta http'";
    const std::string sed = "cat \"$0\" | LC_ALL=C sed -e '/meta http/Id'";
    MustSucceed(Spawn({"sh", "-c", strelmark + " > \"$2\"", stream, o.program, o.out / "a"}),
                "strelmark as a filter");
    MustSucceed(Spawn({"sh", "-c", sed + " > \"$1\"", stream, o.out / "b"}), "sed");
    const bool same = Spawn({"cmp", "-s", o.out / "a", o.out / "b"}).status == 0;
    fs::remove(o.out / "a");
    fs::remove(o.out / "b");
    const auto medians =
        Interleaved(o, {"strelmark", "sed"}, [&](const std::string &kind, const fs::path &) {
            return kind == "sed"
                       ? Spawn({"sh", "-c", sed + " >/dev/null", stream})
                       : Spawn({"sh", "-c", strelmark + " >/dev/null", stream, o.program});
        });
    const double mb = static_cast<double>(Size) / 1e6;
    std::printf(
        "\nfilter, 100 MiB through a pipe to /dev/null (outputs %s)\n"
        "  %-40s %7.3fs %6.0f MB/s\n"
        "  %-40s %7.3fs %6.0f MB/s  sed takes %.2fx\n",
        same ? "the same" : "DIFFER", (Bench::SedVersion() + ", C locale").c_str(),
        medians.at("sed"), mb / medians.at("sed"), "strelmark remove lines-containing",
        medians.at("strelmark"), mb / medians.at("strelmark"),
        medians.at("sed") / medians.at("strelmark"));
    fs::remove(stream);
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--program")
            o.program = value();
        else if (arg == "--corpus")
            o.corpus = value();
        else if (arg == "--out")
            o.out = value();
        else if (arg == "--reps")
            o.reps = std::max(1, std::atoi(value().c_str()));
        else if (arg == "--only")
            o.only = value();
        else {
            std::fprintf(stderr,
                         "usage: %s --program PATH [--corpus DIR] [--out DIR] [--reps N] "
                         "[--only tree|start|exclude|filter]\n",
                         argv[0]);
            return 2;
        }
    }
    if (o.program.empty()) {
        std::fprintf(stderr, "--program names the strelmark to time\n");
        return 2;
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    {
        std::ifstream stamp(o.corpus / "corpus.stamp");
        const std::string text((std::istreambuf_iterator<char>(stamp)),
                               std::istreambuf_iterator<char>());
        if (text != StampText) {
            std::printf("generating the corpus in %s ...\n", o.corpus.c_str());
            std::fflush(stdout);
            fs::create_directories(o.corpus);
            MustSucceed(Spawn({(self.parent_path() / "strelmark_corpus").string(), o.corpus}),
                        "strelmark_corpus");
        }
    }
    if (o.out.empty())
        o.out = "/dev/shm/strelmark-bench-cli-" + std::to_string(getpid());
    fs::create_directories(o.out);
    if (!fs::is_empty(o.out)) {
        std::fprintf(stderr, "%s is not empty; outputs go to fresh folders only\n", o.out.c_str());
        return 2;
    }
    if (Runs(o, "tree")) {
        const fs::path tree = o.corpus / "tree";
        const std::size_t files = FilesBelow(tree);
        std::uintmax_t bytes = 0;
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(tree)) {
            if (entry.is_regular_file())
                bytes += entry.file_size();
        }
        // The page cache warmed: every file read once.
        MustSucceed(Spawn({"sh", "-c", "find \"$0\" -type f -exec cat {} + >/dev/null", tree}),
                    "warming the cache");

        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        const std::string all = std::to_string(cores);
        std::printf("strelmark command line: remove lines-containing \"meta http\" over %s\n",
                    tree.c_str());
        std::printf(
            "%zu files, %.1f MB; outputs and undo stores in %s (%s), fresh folders; "
            "%d repetitions, medians; %ld cores\n",
            files, bytes / 1e6, o.out.c_str(), Bench::FileSystemName(o.out).c_str(), o.reps, cores);
        std::fflush(stdout);

        const std::vector<std::string> kinds = {"cp",     "sed",      "jobs 1",
                                                "jobs 2", "jobs all", "in place"};
        std::map<std::string, std::vector<double>> times;
        for (int rep = 0; rep < o.reps; ++rep) {
            for (std::size_t k = 0; k < kinds.size(); ++k) {
                const std::string &kind = kinds[(k + static_cast<std::size_t>(rep)) % kinds.size()];
                const fs::path dst =
                    o.out / ("run-" + std::to_string(rep) + "-" + std::to_string(k));
                const fs::path data =
                    o.out / ("data-" + std::to_string(rep) + "-" + std::to_string(k));
                const std::vector<std::string> env = {"XDG_DATA_HOME=" + data.string()};
                Result result;
                if (kind == "cp") {
                    result = Spawn({"cp", "-r", tree, dst});
                } else if (kind == "sed") {
                    MustSucceed(Spawn({"cp", "-r", tree, dst}), "cp -r");
                    result = Spawn({"sh", "-c",
                                    "find \"$0\" -type f -print0 | LC_ALL=C xargs -0 sed -i -e "
                                    "'/meta http/Id'",
                                    dst});
                } else if (kind == "in place") {
                    MustSucceed(Spawn({"cp", "-r", tree, dst}), "cp -r");
                    result = Spawn({o.program, "remove", "lines-containing", "meta http",
                                    "--in-place", "--ext", "*", "--quiet", "--jobs", all, dst},
                                   env, true);
                } else {
                    const std::string jobs = kind == "jobs all" ? all : kind.substr(5);
                    result = Spawn({o.program, "remove", "lines-containing", "meta http", "--out",
                                    dst, "--mkdir", "--ext", "*", "--quiet", "--jobs", jobs, tree},
                                   env, true);
                }
                MustSucceed(result, kind.c_str());
                if (rep == 0 && kind != "sed" && FilesBelow(dst) != files) {
                    std::fprintf(stderr, "%s: %zu files in %s, not %zu\n", kind.c_str(),
                                 FilesBelow(dst), dst.c_str(), files);
                    return 1;
                }
                times[kind].push_back(result.seconds);
                fs::remove_all(dst);
                fs::remove_all(data);
            }
        }

        const double cp = Bench::Median(times["cp"]), sed = Bench::Median(times["sed"]);
        std::printf("\n%-44s %8s %8s %9s %9s\n", "", "median", "MB/s", "/ cp -r", "sed / it");
        auto row = [&](const std::string &kind, const std::string &label) {
            const double t = Bench::Median(times[kind]);
            std::printf("%-44s %7.3fs %8.0f %8.2fx %8.2fx\n", label.c_str(), t, bytes / 1e6 / t,
                        t / cp, sed / t);
        };
        row("cp", "cp -r (the copy floor)");
        row("sed", Bench::SedVersion() + " -i, C locale");
        row("jobs 1", "strelmark --out NEW --jobs 1");
        row("jobs 2", "strelmark --out NEW --jobs 2");
        row("jobs all", "strelmark --out NEW --jobs " + all);
        row("in place", "strelmark --in-place --jobs " + all);
        const double best = Bench::Median(times["jobs all"]);
        std::printf("goal: --jobs %s at most 1.00 x cp -r: %.2f x, %s\n", all.c_str(), best / cp,
                    best / cp <= 1.0 ? "met" : "missed");
    }
    if (Runs(o, "start")) {
        // Start-up.
        const fs::path page = o.out / "start-page.html";
        {
            std::ofstream(page)
                << "<html>\r\n<meta http-equiv=\"refresh\" content=\"5\">\r\nbody\r\n";
        }
        std::vector<double> version, firstFile, floor;
        for (int i = 0; i < 21; ++i) {
            floor.push_back(Spawn({"/bin/true"}).seconds);
            const Result v = Spawn({o.program, "--version"});
            MustSucceed(v, "strelmark --version");
            version.push_back(v.seconds);
            const fs::path dst = o.out / ("start-" + std::to_string(i));
            const Result f = Spawn(
                {o.program, "remove", "lines-containing", "meta http", "--out", dst, "--mkdir",
                 "--quiet", page},
                {"STRELMARK_STARTUP_CLOCK=1", "XDG_DATA_HOME=" + (o.out / "start-data").string()},
                true);
            MustSucceed(f, "strelmark remove (start-up)");
            const std::size_t at = f.errors.find("first file at ");
            if (at == std::string::npos) {
                std::fprintf(stderr, "no start-up clock in: %s\n", f.errors.c_str());
                return 1;
            }
            const long long ns = std::atoll(f.errors.c_str() + at + std::strlen("first file at "));
            firstFile.push_back((ns - f.spawnedNs) / 1e9);
            fs::remove_all(dst);
        }
        const double first = Bench::Median(firstFile);
        std::printf(
            "\nstart-up (medians of 21): /bin/true %.1f ms (the floor of any program here); "
            "strelmark --version %.1f ms; start to first file %.1f ms (goal < 30 ms: %s)\n",
            Bench::Median(floor) * 1e3, Bench::Median(version) * 1e3, first * 1e3,
            first < 0.030 ? "met" : "missed");
    }
    if (Runs(o, "exclude"))
        ExcludeWorkload(o, self);
    if (Runs(o, "filter"))
        FilterWorkload(o);
    fs::remove_all(o.out);
    return 0;
}
