// How to make a group of small results durable before they are put in place: the measurement
// behind the commit queue's choice. Each way writes the same files (unnamed temporary files in a
// fresh folder, linked in once durable), in groups of the queue's size:
//   each      fdatasync per file as soon as it is written (no groups: the cost of one file alone)
//   range     per group: sync_file_range(SYNC_FILE_RANGE_WRITE) on every file, then fdatasync
//             on each, so the writes of the group are in flight together
//   syncfs    per group: one syncfs() for the file system
//   none      no sync at all (the floor)
// The ways take turns within each repetition; medians are printed.
//
//   strelmark_bench_sync [--out DIR] [--files N] [--size BYTES] [--group N] [--reps N]
//
// --out must name a folder on the disk to be measured (default /var/tmp); a fresh folder is made
// in it and removed at the end.

#include "BenchSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::perror(what);
        std::exit(1);
    }
}

double Run(const std::string &way, const fs::path &folder, int files, std::size_t size, int group) {
    fs::create_directory(folder);
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = i % 64 == 63 ? '\n' : char('a' + i % 26);
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> pending;
    auto linkAll = [&](int first) {
        for (std::size_t k = 0; k < pending.size(); ++k) {
            char proc[64];
            std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", pending[k]);
            char file[32];
            std::snprintf(file, sizeof file, "f%d", first + int(k));
            const std::string name = (folder / file).string();
            Check(::linkat(AT_FDCWD, proc, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0,
                  "linkat");
            ::close(pending[k]);
        }
        pending.clear();
    };
    int first = 0;
    for (int i = 0; i < files; ++i) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        Check(fd >= 0, "open O_TMPFILE");
        Check(::write(fd, bytes.data(), size) == ssize_t(size), "write");
        if (way == "each")
            Check(::fdatasync(fd) == 0, "fdatasync");
        pending.push_back(fd);
        if (int(pending.size()) == group || i + 1 == files) {
            if (way == "range") {
                for (int p : pending)
                    Check(::sync_file_range(p, 0, 0, SYNC_FILE_RANGE_WRITE) == 0,
                          "sync_file_range");
                for (int p : pending)
                    Check(::fdatasync(p) == 0, "fdatasync");
            } else if (way == "syncfs") {
                Check(::syncfs(pending.front()) == 0, "syncfs");
            }
            linkAll(first);
            first = i + 1;
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char **argv) {
    fs::path out = "/var/tmp";
    int files = 3000, group = 48, reps = 5;
    std::size_t size = 5000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--out")
            out = argv[i + 1];
        else if (arg == "--files")
            files = std::atoi(argv[i + 1]);
        else if (arg == "--size")
            size = std::size_t(std::atol(argv[i + 1]));
        else if (arg == "--group")
            group = std::atoi(argv[i + 1]);
        else if (arg == "--reps")
            reps = std::atoi(argv[i + 1]);
    }
    const fs::path root = out / ("strelmark-sync-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const std::vector<std::string> ways = {"each", "range", "syncfs", "none"};
    std::map<std::string, std::vector<double>> seconds;
    for (int rep = 0; rep < reps; ++rep) {
        for (std::size_t k = 0; k < ways.size(); ++k) {
            const std::string &way = ways[(k + std::size_t(rep)) % ways.size()];
            seconds[way].push_back(
                Run(way, root / (way + std::to_string(rep)), files, size, group));
        }
    }
    std::printf("%d files of %zu bytes in groups of %d, %s, medians of %d\n", files, size, group,
                root.c_str(), reps);
    for (const std::string &way : ways) {
        const double median = Bench::Median(seconds[way]);
        std::printf("  %-7s %8.3f s  %7.1f us per file\n", way.c_str(), median,
                    median / files * 1e6);
    }
    fs::remove_all(root);
    return 0;
}
