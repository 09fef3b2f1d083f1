// Programs a test starts: the program under test, this test program again with arguments of
// its own, a helper to be killed in the middle of its work. Each is started the same way: its
// own environment and working folder, standard input from /dev/null (unless the launch gives
// it), as the user "nobody"
// when asked (and the tests run as root).
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include <sys/types.h>

namespace Child {

struct Launch {
    QByteArray program;   // its path
    QByteArrayList args;  // after the program's own name
    QString folder;       // the working folder; empty: this process's
    // Changes to this process's environment: "NAME=value" sets NAME, "NAME" takes it out.
    QByteArrayList environment;
    bool unprivileged = false;  // as the user "nobody" when the tests run as root
    int errorsTo = -1;          // Run: a descriptor for its standard error instead of a pipe
    int outputTo = -1;          // Run: a descriptor for its standard output instead of a pipe
    int inputFrom = -1;         // a descriptor for its standard input instead of /dev/null
    // Run: bytes for its standard input, through a pipe, instead of /dev/null.
    std::optional<QByteArray> input;
    // Run: called about every millisecond while the child runs, with its process id; true when
    // it need not be called again.
    std::function<bool(pid_t)> whileRunning;
};

struct Outcome {
    int exitCode = -1;  // -1: it did not start, or did not end normally
    int signal = 0;     // the signal that ended it, if one did
    QByteArray out, err;
};

// This test program again, with `arguments` (its main() looks at them before the tests).
Launch Self(const QStringList &arguments);

// Runs the program and waits for it, taking what it writes on its standard output and (unless
// errorsTo says otherwise) its standard error. A child that could not become "nobody" or
// could not enter its folder exits with 126, one that could not be started with 127.
Outcome Run(const Launch &launch);

// Starts the program with this process's standard output and error, and answers its process
// id (-1 when it could not be started); the caller waits for it.
pid_t Start(const Launch &launch);

// Appends what can be read from the descriptor (set not to block) without waiting; false at
// its end (or on a terminal's EIO).
bool Drain(int fd, QByteArray &into);

}  // namespace Child
