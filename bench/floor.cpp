// The floor of the program's job: each file read and written again, whole, with no work on its
// lines; what any program that rewrites files costs at least. A file of up to 4 MiB is read
// with one call and written with one (open, fstat, read, close, open, write, close), a larger
// one in pieces of 4 MiB, as cp copies it in pieces (a buffer of the whole file would cost
// more in page faults than its reading). Into a folder the result is a new file at the mirrored
// path; in place a temporary file beside the file, renamed over it.
//
// usage: strelmark_floor (-o DIR | -i) [-j THREADS] [--files-from LIST] PATH...

#include "PlainFiles.h"

namespace {

constexpr std::size_t Piece = std::size_t(4) << 20;

bool CopyOne(const Plain::Job &job, bool inPlace, Plain::Buffer &buffer) {
    const int in = ::open(job.input.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (in < 0 || ::fstat(in, &info) != 0) {
        Plain::Fail(job.input, errno);
        if (in >= 0)
            ::close(in);
        return false;
    }
    Plain::Output out;
    bool ok = out.open(job, inPlace, info.st_mode);
    buffer.reserve(std::min(Piece, static_cast<std::size_t>(info.st_size)));
    for (std::size_t left = static_cast<std::size_t>(info.st_size); ok && left > 0;) {
        const ssize_t got = Plain::ReadUpTo(in, buffer.data, std::min(Piece, left));
        if (got <= 0) {  // an error, or a file that became shorter
            ok = got == 0;
            if (!ok)
                Plain::Fail(job.input, errno);
            break;
        }
        ok = out.write(buffer.data, static_cast<std::size_t>(got));
        left -= static_cast<std::size_t>(got);
    }
    ::close(in);
    if (!ok) {
        out.discard();
        return false;
    }
    return out.finish();
}

}  // namespace

int main(int argc, char **argv) {
    const Plain::Options o =
        Plain::Parse(argc, argv, "(-o DIR | -i) [-j THREADS] [--files-from LIST] PATH...");
    std::vector<Plain::Job> jobs;
    bool ok = Plain::CollectJobs(o, 0, jobs);
    ok = Plain::RunAll(jobs, o.threads,
                       [&](const Plain::Job &job, Plain::Buffer &in, Plain::Buffer &) {
                           return CopyOne(job, o.out.empty(), in);
                       }) &&
         ok;
    return ok ? 0 : 1;
}
