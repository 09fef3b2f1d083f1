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

#include "support/Child.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace Unprivileged {

// The exit code of a child that could not give up root (a user namespace without "nobody").
inline constexpr int CannotDrop = 77;

// True when the tests run as root.
bool RunningAsRoot();

// The user "nobody" and its group, or their usual numbers where the system does not name it.
void NobodyIds(uid_t &user, gid_t &group);

// In the child: when running as root, becomes the user "nobody" for good (its groups, then its
// group, then the user). False when that failed.
bool DropRoot();

// Gives `path` and everything below it to the user the child becomes, so that the child can
// reach and change it as its owner would. Nothing to do when the tests do not run as root.
void GiveTree(const QString &path);

using Outcome = Child::Outcome;

// Runs this test program with `arguments` in a child process and waits for it.
inline Outcome RunChild(const QStringList &arguments) {
    return Child::Run(Child::Self(arguments));
}

}  // namespace Unprivileged
