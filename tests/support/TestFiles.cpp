#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

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

bool MakePipe(const QString &path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

}  // namespace TestFiles
