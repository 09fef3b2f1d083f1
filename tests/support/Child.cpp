#include "support/Child.h"

#include "support/Unprivileged.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <csignal>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace Child {

namespace {

// This process's environment with the launch's changes.
std::vector<std::string> EnvironmentOf(const Launch &launch) {
    std::vector<std::string> env;
    for (char **entry = environ; *entry != nullptr; ++entry)
        env.emplace_back(*entry);
    for (const QByteArray &change : launch.environment) {
        const qsizetype equals = change.indexOf('=');
        const std::string name = change.left(equals < 0 ? change.size() : equals + 1).toStdString();
        const std::string prefix = equals < 0 ? name + '=' : name;
        std::erase_if(env, [&](const std::string &entry) { return entry.starts_with(prefix); });
        if (equals >= 0)
            env.push_back(change.toStdString());
    }
    return env;
}

// Enters `folder` one name at a time, so that a folder whose path is longer than the system
// takes in one call can be entered too. Only calls that are safe after a fork.
bool EnterFolder(char *folder) {
    if (*folder == '/' && ::chdir("/") != 0)
        return false;
    for (char *name = folder; *name != '\0';) {
        char *end = name;
        while (*end != '\0' && *end != '/')
            ++end;
        const char kept = *end;
        *end = '\0';
        const bool entered = name == end || ::chdir(name) == 0;
        *end = kept;
        if (!entered)
            return false;
        name = kept == '\0' ? end : end + 1;
    }
    return true;
}

// Forks and runs the program with `out` and `err` as its standard output and error (-1: this
// process's). Everything the child needs is made before the fork, which it follows only with
// calls that are safe there.
pid_t Spawn(const Launch &launch, int in, int out, int err) {
    std::vector<std::string> env = EnvironmentOf(launch);
    std::vector<char *> envp;
    for (std::string &entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArrayList words = launch.args;
    words.prepend(launch.program);
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QByteArray folder = QFile::encodeName(launch.folder);
    char *const place = folder.data();  // (made its own before the fork)
    const bool drop = launch.unprivileged && Unprivileged::RunningAsRoot();
    uid_t user = 0;
    gid_t group = 0;
    Unprivileged::NobodyIds(user, group);

    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0))
        ::_exit(126);
    const int nothing = in >= 0 ? in : ::open("/dev/null", O_RDONLY);
    if ((!folder.isEmpty() && !EnterFolder(place)) || ::dup2(nothing, 0) < 0 ||
        (out >= 0 && ::dup2(out, 1) < 0) || (err >= 0 && ::dup2(err, 2) < 0))
        ::_exit(126);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
}

// A write to a pipe whose reader may be gone: a closed pipe is EPIPE, not SIGPIPE for this
// process.
ssize_t WriteSome(int fd, const char *data, std::size_t size) {
    sigset_t pipe, old;
    ::sigemptyset(&pipe);
    ::sigaddset(&pipe, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const ssize_t put = ::write(fd, data, size);
    const int error = errno;
    if (put < 0 && error == EPIPE) {
        const timespec none{};
        ::sigtimedwait(&pipe, nullptr, &none);
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return put;
}

}  // namespace

bool Drain(int fd, QByteArray &into) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 && errno == EAGAIN;
    }
}

Launch Self(const QStringList &arguments) {
    Launch launch;
    launch.program = QFile::encodeName(QCoreApplication::applicationFilePath());
    for (const QString &argument : arguments)
        launch.args.append(QFile::encodeName(argument));
    return launch;
}

Outcome Run(const Launch &launch) {
    int out[2], err[2], in[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        (launch.input && ::pipe2(in, O_CLOEXEC) != 0))
        qFatal("no pipes for a child");
    const pid_t pid = Spawn(launch, launch.input ? in[0] : launch.inputFrom,
                            launch.outputTo >= 0 ? launch.outputTo : out[1],
                            launch.errorsTo >= 0 ? launch.errorsTo : err[1]);
    ::close(out[1]);
    ::close(err[1]);
    if (launch.input)
        ::close(in[0]);
    Outcome outcome;
    bool outOpen = pid > 0 && launch.outputTo<0, errOpen = pid> 0 && launch.errorsTo < 0;
    bool watching = pid > 0 && static_cast<bool>(launch.whileRunning);
    for (const int fd : {out[0], err[0], in[1]})
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    qsizetype fed = 0;  // bytes of the input written so far
    if (launch.input && launch.input->isEmpty())
        ::close(std::exchange(in[1], -1));
    while (outOpen || errOpen) {
        pollfd fds[3] = {{outOpen ? out[0] : -1, POLLIN, 0},
                         {errOpen ? err[0] : -1, POLLIN, 0},
                         {in[1], POLLOUT, 0}};
        ::poll(fds, 3, watching ? 1 : 1000);
        if (in[1] >= 0 && fds[2].revents != 0) {
            const ssize_t put = WriteSome(in[1], launch.input->constData() + fed,
                                          static_cast<std::size_t>(launch.input->size() - fed));
            fed += put > 0 ? put : 0;
            if (fed == launch.input->size() || (put < 0 && errno != EAGAIN && errno != EINTR))
                ::close(std::exchange(in[1], -1));
        }
        if (outOpen)
            outOpen = Drain(out[0], outcome.out);
        if (errOpen)
            errOpen = Drain(err[0], outcome.err);
        if (watching)
            watching = !launch.whileRunning(pid);
    }
    ::close(out[0]);
    ::close(err[0]);
    if (in[1] >= 0)
        ::close(in[1]);
    if (pid <= 0)
        return outcome;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    return outcome;
}

pid_t Start(const Launch &launch) {
    return Spawn(launch, launch.inputFrom, -1, -1);
}

}  // namespace Child
