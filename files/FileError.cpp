#include "files/FileError.h"

#include <QCoreApplication>
#include <cstring>
#include <utility>
#include "posix/Errors.h"

#include <sys/stat.h>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(FileError)
};

}  // namespace

namespace {

QString ReasonText(const FileError &error) {
    switch (error.special()) {
        case FileError::Special::NamedPipe:
            return Texts::tr("Is a named pipe, not a regular file");
        case FileError::Special::Socket:
            return Texts::tr("Is a socket, not a regular file");
        case FileError::Special::Device:
            return Texts::tr("Is a device, not a regular file");
        case FileError::Special::Other:
            return Texts::tr("Not a regular file");
        case FileError::Special::DanglingLink:
            return Texts::tr("Not writing through a dangling symbolic link");
        case FileError::Special::None:
            break;
    }
    if (error.error() == 0)
        return Texts::tr("Not a regular file");
    return QString::fromStdString(Posix::ErrorText(error.error()));
}

}  // namespace

FileError::FileError(Kind kind, QString path, int error)
    : kind_(kind), path_(std::move(path)), error_(error) {
    what_ = DescribeFileError(*this).toStdString();
}

FileError::FileError(Kind kind, QString path, int error, QString store)
    : kind_(kind), path_(std::move(path)), error_(error), store_(std::move(store)) {
    what_ = DescribeFileError(*this).toStdString();
}

FileError::FileError(Kind kind, QString path, Special special)
    : kind_(kind), path_(std::move(path)), special_(special) {
    what_ = DescribeFileError(*this).toStdString();
}

FileError::Special FileError::SpecialOf(mode_t mode) {
    if (S_ISREG(mode) || S_ISDIR(mode))
        return Special::None;
    if (S_ISFIFO(mode))
        return Special::NamedPipe;
    if (S_ISSOCK(mode))
        return Special::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Special::Device;
    return Special::Other;
}

QString DescribeFileError(const FileError &error) {
    QString reason = ReasonText(error);
    if (!error.store().isEmpty())
        reason += QStringLiteral(" (the undo store, ") + error.store() + u')';
    return error.path().isEmpty() ? reason : reason + QStringLiteral(": ") + error.path();
}
