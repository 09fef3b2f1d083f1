// Files and folders made below a temporary folder for the tests of adding files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FileTree {
public:
    // Also removes what QTemporaryDir cannot: names that are not valid UTF-8.
    ~FileTree() {
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(dir.path()).toStdString(), ignored);
    }

    // The full path of a place in the tree; the tree's own folder for "".
    QString path(const QString &relative = {}) const {
        return relative.isEmpty() ? dir.path() : dir.path() + u'/' + relative;
    }

    // Makes a file (and the folders it needs); returns its full path.
    QString file(const QString &relative) {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile out(full);
        if (!out.open(QIODevice::WriteOnly) || out.write("x") != 1)
            qFatal("cannot write %s", qPrintable(full));
        return full;
    }

    // Makes a file from the raw bytes of its name, which need not be valid UTF-8.
    void rawFile(const QByteArray &relative) {
        const QByteArray full = QFile::encodeName(dir.path()) + '/' + relative;
        const int fd = ::open(full.constData(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0 || ::close(fd) != 0)
            qFatal("cannot write %s", full.constData());
    }

    QString folder(const QString &relative) {
        const QString full = path(relative);
        if (!QDir().mkpath(full))
            qFatal("cannot make %s", qPrintable(full));
        return full;
    }

    // Makes a folder from the raw bytes of its name, which need not be valid UTF-8.
    void rawFolder(const QByteArray &relative) {
        const QByteArray full = QFile::encodeName(dir.path()) + '/' + relative;
        if (::mkdir(full.constData(), 0755) != 0)
            qFatal("cannot make %s", full.constData());
    }

    void link(const QString &target, const QString &relative) {
        if (::symlink(QFile::encodeName(target).constData(),
                      QFile::encodeName(path(relative)).constData()) != 0)
            qFatal("cannot link %s", qPrintable(relative));
    }

    void setMode(const QString &relative, mode_t mode) {
        ::chmod(QFile::encodeName(path(relative)).constData(), mode);
    }

    // The paths with the tree's folder in front.
    QStringList paths(const QStringList &relatives) const {
        QStringList full;
        for (const QString &relative : relatives)
            full.append(path(relative));
        return full;
    }

    // Folder-list entries: each place's full path with a trailing separator.
    QStringList entries(const QStringList &relatives) const {
        QStringList full;
        for (const QString &relative : relatives)
            full.append(path(relative) + u'/');
        return full;
    }

    QTemporaryDir dir;
};
