#include "files/Placement.h"

#include "posix/Paths.h"
#include "posix/TemporaryNames.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <unordered_map>

#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether a file can be linked directly from its descriptor (AT_EMPTY_PATH), found out
// by the links made: 0 not yet known, 1 it worked, 2 it was refused where /proc/self/fd worked.
// It needs a privilege, or on newer kernels the very credentials that opened the file (which the
// helper process that renames does not share), so a refusal is learnt once and /proc/self/fd
// is the way from then on. A direct link spares the kernel the lookup of the /proc path.
std::atomic<int> directLinks{0};

// Gives the file open as `p.fd` (unnamed, or named elsewhere) one more name: directly with
// AT_EMPTY_PATH where that is allowed, else through /proc/self/fd.
int LinkByDescriptor(const Placement &p, const char *name) {
    if (directLinks.load(std::memory_order_relaxed) != 2) {
        if (::linkat(p.fd, "", p.folderFd, name, AT_EMPTY_PATH) == 0) {
            directLinks.store(1, std::memory_order_relaxed);
            return 0;
        }
        // ENOENT is also what the lack of the privilege says.
        if (errno != ENOENT)
            return errno;
    }
    if (::linkat(AT_FDCWD, p.proc, p.folderFd, name, AT_SYMLINK_FOLLOW) != 0)
        return errno;
    directLinks.store(2, std::memory_order_relaxed);
    return 0;
}

// A new file takes its name directly; a file that replaces another gets a name of its own
// first, to be renamed over the old one.
int PutInPlace(const Placement &p) {
    const int at = p.folderFd;
    const char *target = p.name != nullptr ? p.name : p.target;
    if (p.named != nullptr) {
        if (::renameat(at, p.named, at, target) == 0)
            return 0;
        const int error = errno;
        ::unlinkat(at, p.named, 0);
        return error;
    }
    if (p.linkDirectly) {
        const int error = LinkByDescriptor(p, target);
        if (error != EEXIST)
            return error;  // done, or failed
    }
    for (const char *name : p.names) {
        if (name == nullptr)
            break;
        const int error = LinkByDescriptor(p, name);
        if (error == EEXIST)
            continue;
        if (error != 0)
            return error;
        if (::renameat(at, name, at, target) == 0)
            return 0;
        const int failure = errno;
        ::unlinkat(at, name, 0);
        return failure;
    }
    return EEXIST;
}

struct Placements {
    Placement *entries;
    std::size_t count;
};

void PutEachInPlace(Placements &work) {
    for (std::size_t i = 0; i < work.count; ++i)
        work.entries[i].error = PutInPlace(work.entries[i]);
}

// The helper process's work.
int Helper(void *argument) {
    // Signals sent to the program's group (an interrupt from the terminal) wait until the group
    // is in place; only SIGKILL stops it.
    sigset_t all;
    ::sigfillset(&all);
    // The helper is a process of its own, with one thread.
    ::sigprocmask(SIG_SETMASK, &all, nullptr);  // NOLINT(concurrency-mt-unsafe)
    PutEachInPlace(*static_cast<Placements *>(argument));
    return 0;
}

// The temporary names that a process killed while it put files in place left in the folders of
// `entries` (its helper killed with it: the whole process group, say) go before this process
// puts any there. Each folder is looked at once a minute at most, so that a run of many groups
// into one folder lists it once.
void ClearWhatKilledProcessesLeft(const std::vector<Placement> &entries) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::chrono::steady_clock::time_point> cleared;
    constexpr std::chrono::seconds Again{60};
    const auto now = std::chrono::steady_clock::now();
    std::string last;
    for (const Placement &p : entries) {
        std::string folder = Posix::FolderOf(p.target);
        if (folder == last)
            continue;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto [at, fresh] = cleared.try_emplace(folder, now);
            if (!fresh && now - at->second < Again) {
                last = std::move(folder);
                continue;
            }
            at->second = now;
        }
        Posix::RemoveStaleTemporaryNames(folder);
        last = std::move(folder);
    }
}

}  // namespace

bool CanLinkByDescriptor() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0 || ::geteuid() == 0;
    return can;
}

void PutAllInPlace(std::vector<Placement> &entries) {
    if (entries.empty())
        return;
    ClearWhatKilledProcessesLeft(entries);
    Placements work{entries.data(), entries.size()};
    const bool replaces = std::any_of(entries.begin(), entries.end(), [](const Placement &p) {
        return p.named != nullptr || !p.linkDirectly;
    });
    if (!replaces) {
        PutEachInPlace(work);
        return;
    }
    // The helper's stack, kept for the thread's later groups.
    constexpr std::size_t StackSize = std::size_t(64) << 10;
    struct Stack {
        void *base = ::mmap(nullptr, StackSize, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
        ~Stack() {
            if (base != MAP_FAILED)
                ::munmap(base, StackSize);
        }
    };
    static thread_local Stack stack;
    if (stack.base != MAP_FAILED) {
        // No exit signal: nobody else's SIGCHLD handler hears of it; it is waited for here.
        const pid_t helper = ::clone(Helper, static_cast<char *>(stack.base) + StackSize,
                                     CLONE_VM | CLONE_FILES | CLONE_VFORK, &work);
        if (helper > 0) {
            // CLONE_VFORK: the helper has finished by now; only its exit status is left.
            int status = 0;
            while (::waitpid(helper, &status, __WALL) < 0 && errno == EINTR) {
            }
            return;
        }
    }
    PutEachInPlace(work);
}
