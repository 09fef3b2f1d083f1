// What the benchmark's two plain programs share (floor.cpp and plain_remove.cpp): the files to
// work on (the regular files below a folder, a named file, or the files of a list), each with
// the path its result goes to; reading a file in one call where it fits; writing a result to a
// new file, or in place to a temporary file beside the file that is then renamed over it; and
// the files shared out among one or more threads. Plain POSIX and the C++ library: nothing of
// the program, so that these programs measure what the system costs and nothing else.
#pragma once

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Plain {

struct Job {
    std::string input;
    std::string output;  // where the result goes; in place, the input itself
};

struct Options {
    std::vector<std::string> words;  // what is left after the options: [TEXT] PATH...
    std::string out;                 // -o DIR, or empty for -i
    std::string list;                // --files-from LIST: one path a line
    int threads = 1;
};

inline void Fail(const std::string &path, int error) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), std::strerror(error));
}

// A buffer that only grows: filled by read(), so never cleared first.
struct Buffer {
    char *data = nullptr;
    std::size_t size = 0, capacity = 0;
    ~Buffer() { std::free(data); }
    void reserve(std::size_t wanted) {
        if (wanted <= capacity)
            return;
        capacity = std::max(wanted, capacity * 2);
        data = static_cast<char *>(std::realloc(data, capacity));
        if (data == nullptr) {
            std::perror("realloc");
            std::exit(1);
        }
    }
    void append(const char *from, std::size_t count) {
        reserve(size + count);
        std::memcpy(data + size, from, count);
        size += count;
    }
};

// Reads up to `count` bytes: fewer only at the end of the file. -1 on an error (errno).
inline ssize_t ReadUpTo(int fd, char *to, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, to + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

inline bool WriteAll(int fd, const char *from, std::size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, from, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        from += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// A result being written: to its path, or in place to a temporary file beside it, renamed over
// the file by finish().
class Output {
public:
    bool open(const Job &job, bool inPlace, mode_t mode) {
        path_ = job.output;
        if (inPlace) {
            static std::atomic<unsigned> serial{0};
            const std::size_t slash = path_.rfind('/');
            const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
            temporary_ = path_.substr(0, name) + "." + path_.substr(name) + ".plain-" +
                         std::to_string(::getpid()) + "-" + std::to_string(serial++);
        }
        const std::string &target = inPlace ? temporary_ : path_;
        fd_ = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (inPlace ? O_EXCL : O_TRUNC),
                     mode & 07777);
        if (fd_ < 0)
            Fail(target, errno);
        return fd_ >= 0;
    }
    bool isOpen() const { return fd_ >= 0; }
    bool write(const char *from, std::size_t count) {
        if (WriteAll(fd_, from, count))
            return true;
        Fail(path_, errno);
        return false;
    }
    bool finish() {
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!closed || (!temporary_.empty() && ::rename(temporary_.c_str(), path_.c_str()) != 0)) {
            Fail(path_, errno);
            discard();
            return false;
        }
        return true;
    }
    // Closes what was opened and removes a temporary file.
    void discard() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
    }

private:
    std::string path_, temporary_;
    int fd_ = -1;
};

// The regular files below `folder`, depth first, each with its path below `out` (the folders
// made there), or, with `out` empty, in place.
inline bool Walk(const std::string &folder, const std::string &out, std::vector<Job> &jobs) {
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        Fail(folder, errno);
        return false;
    }
    if (!out.empty() && ::mkdir(out.c_str(), 0755) != 0 && errno != EEXIST) {
        Fail(out, errno);
        ::closedir(dir);
        return false;
    }
    bool ok = true;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        const std::string to = out.empty() ? path : out + "/" + name;
        unsigned char type = entry->d_type;
        struct stat info;
        if (type == DT_UNKNOWN && ::lstat(path.c_str(), &info) == 0)
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        if (type == DT_DIR)
            ok = Walk(path, out.empty() ? out : to, jobs) && ok;
        else if (type == DT_REG)
            jobs.push_back({path, to});
    }
    ::closedir(dir);
    return ok;
}

inline std::string NameOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The command line both programs read: [TEXT] (-o DIR | -i) [-j N] [--files-from LIST]
// PATH...; a folder PATH's files go to their paths below DIR, a named or listed file to DIR
// under its name.
inline Options Parse(int argc, char **argv, const char *usage) {
    Options o;
    bool inPlace = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "-o" || arg == "-j" || arg == "--files-from";
        if (valued && i + 1 >= argc)
            break;
        if (arg == "-o")
            o.out = argv[++i];
        else if (arg == "-j")
            o.threads = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--files-from")
            o.list = argv[++i];
        else if (arg == "-i")
            inPlace = true;
        else
            o.words.push_back(arg);
    }
    if (inPlace == !o.out.empty()) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        std::exit(2);
    }
    return o;
}

inline bool CollectJobs(const Options &o, std::size_t firstPath, std::vector<Job> &jobs) {
    if (!o.out.empty() && ::mkdir(o.out.c_str(), 0755) != 0 && errno != EEXIST) {
        Fail(o.out, errno);
        return false;
    }
    auto file = [&](const std::string &path) {
        jobs.push_back({path, o.out.empty() ? path : o.out + "/" + NameOf(path)});
    };
    bool ok = true;
    for (std::size_t i = firstPath; i < o.words.size(); ++i) {
        struct stat info;
        if (::stat(o.words[i].c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
            file(o.words[i]);
        else
            ok = Walk(o.words[i], o.out, jobs) && ok;
    }
    if (!o.list.empty()) {
        FILE *list = std::fopen(o.list.c_str(), "r");
        if (list == nullptr) {
            Fail(o.list, errno);
            return false;
        }
        char *line = nullptr;
        std::size_t size = 0;
        ssize_t length;
        while ((length = ::getline(&line, &size, list)) > 0)
            file(std::string(line, static_cast<std::size_t>(length - (line[length - 1] == '\n'))));
        std::free(line);
        std::fclose(list);
    }
    return ok;
}

// Works on every job with `threads` threads, each taking the next file as it is free; false
// when any of them failed.
inline bool RunAll(const std::vector<Job> &jobs, int threads,
                   const std::function<bool(const Job &, Buffer &, Buffer &)> &work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        Buffer in, out;
        for (std::size_t i; (i = next++) < jobs.size();)
            if (!work(jobs[i], in, out))
                ok = false;
    };
    std::vector<std::thread> others;
    for (int t = 1; t < threads; ++t)
        others.emplace_back(worker);
    worker();
    for (std::thread &t : others)
        t.join();
    return ok;
}

}  // namespace Plain
