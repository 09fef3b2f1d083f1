// Parts of a test run by a user without privileges, also when the tests run as root: the test
// program starts itself again with arguments of its own, and that child gives up root before it
// does the work. Permission bits deny nothing to root, so this is how a test meets a folder that
// cannot be read or a file that cannot be written wherever it runs.
//
// In the test program's main(), before anything else:
//     if (argc > 1 && qstrcmp(argv[1], "--my-child-work") == 0) {
//         if (!Unprivileged::DropRoot())
//             return Unprivileged::CannotDrop;
//         ... the work, its findings printed on standard output ...
//     }
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Unprivileged {

// The exit code of a child that could not give up root (a user namespace without "nobody").
inline constexpr int CannotDrop = 77;

// True when the tests run as root.
bool RunningAsRoot();

// In the child: when running as root, becomes the user "nobody" for good (its groups, then its
// group, then the user). False when that failed.
bool DropRoot();

// Gives `path` and everything below it to the user the child becomes, so that the child can
// reach and change it as its owner would. Nothing to do when the tests do not run as root.
void GiveTree(const QString &path);

struct Outcome {
    int exitCode = -1;  // -1 when the child did not start or did not end normally
    QByteArray output;  // its standard output
    QByteArray errors;  // its standard error
};

// Runs this test program with `arguments` in a child process and waits for it.
Outcome RunChild(const QStringList &arguments);

}  // namespace Unprivileged
