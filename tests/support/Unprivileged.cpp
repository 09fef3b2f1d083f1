#include "support/Unprivileged.h"

#include <QFile>

#include <filesystem>
#include <system_error>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace Unprivileged {

void NobodyIds(uid_t &user, gid_t &group) {
    user = 65534;
    group = 65534;
    if (const passwd *entry = ::getpwnam("nobody")) {
        user = entry->pw_uid;
        group = entry->pw_gid;
    }
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

bool DropRoot() {
    if (!RunningAsRoot())
        return true;
    uid_t user;
    gid_t group;
    NobodyIds(user, group);
    return ::setgroups(0, nullptr) == 0 && ::setgid(group) == 0 && ::setuid(user) == 0 &&
           ::geteuid() == user;
}

void GiveTree(const QString &path) {
    if (!RunningAsRoot())
        return;
    uid_t user;
    gid_t group;
    NobodyIds(user, group);
    namespace fs = std::filesystem;
    const fs::path root = QFile::encodeName(path).toStdString();
    auto give = [&](const fs::path &place) {
        if (::lchown(place.c_str(), user, group) != 0)
            qFatal("cannot give %s to the unprivileged user", place.c_str());
    };
    give(root);
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        give(it->path());
    if (error)
        qFatal("cannot go through %s: %s", root.c_str(), error.message().c_str());
}

}  // namespace Unprivileged
