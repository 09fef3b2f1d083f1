#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace TestFiles {

QByteArray Read(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable: " + file.errorString().toUtf8() + ">";
    return file.readAll();
}

void Write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
}

QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

Status StatusOf(const QString &path) {
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, info.st_mode & 07777, info.st_uid, info.st_gid, info.st_dev, info.st_ino};
}

bool Stamp::operator==(const Stamp &other) const {
    return exists == other.exists && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           permissions == other.permissions && links == other.links;
}

Stamp StampOf(const QString &path) {
    struct stat info;
    if (::stat(Name(path).constData(), &info) != 0)
        return {};
    return {true, info.st_ino, info.st_mtim, mode_t(info.st_mode & 07777), info.st_nlink};
}

bool MakeOld(const QString &path) {
    const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    return ::utimensat(AT_FDCWD, Name(path).constData(), times, 0) == 0;
}

bool MakePipe(const QString &path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool MakeSocket(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool made = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return made;
}

int MakeNullDevice(const QString &path) {
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return 0;
    return errno;
}

namespace {

QString Describe(const struct stat &info) {
    const char *kind = S_ISREG(info.st_mode)    ? "file"
                       : S_ISDIR(info.st_mode)  ? "folder"
                       : S_ISLNK(info.st_mode)  ? "link"
                       : S_ISFIFO(info.st_mode) ? "pipe"
                       : S_ISSOCK(info.st_mode) ? "socket"
                       : S_ISCHR(info.st_mode)  ? "character device"
                       : S_ISBLK(info.st_mode)  ? "block device"
                                                : "other";
    return QStringLiteral("%1 %2:%3 device %4:%5")
        .arg(QLatin1String(kind))
        .arg(info.st_dev)
        .arg(info.st_ino)
        .arg(major(info.st_rdev))
        .arg(minor(info.st_rdev));
}

}  // namespace

QString Identity(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        return QStringLiteral("nothing");
    QString identity = Describe(info);
    if (S_ISLNK(info.st_mode)) {
        char target[4096];
        const ssize_t length = ::readlink(name.constData(), target, sizeof target);
        identity += QStringLiteral(" to ") +
                    QFile::decodeName(QByteArray(target, qMax<ssize_t>(length, 0)));
        identity +=
            QStringLiteral(", leading to ") +
            (::stat(name.constData(), &info) == 0 ? Describe(info) : QStringLiteral("nothing"));
    }
    return identity;
}

}  // namespace TestFiles
