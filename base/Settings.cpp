#include "base/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSettings>
#include <QStringList>

#include <cerrno>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Section = QStringLiteral("Strelmark");
const QString FileName = QStringLiteral("Brindlewick.ini");

// What is at the store's path.
enum class Found {
    Nothing,      // nothing: the file may be created there
    RegularFile,  // a regular file, or a symbolic link that leads to one
    Other,        // anything else, or the path cannot be looked at
};

Found LookAt(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        return errno == ENOENT ? Found::Nothing : Found::Other;
    if (S_ISREG(info.st_mode))
        return Found::RegularFile;
    if (!S_ISLNK(info.st_mode))
        return Found::Other;
    // A link: what it leads to counts. One that leads nowhere is not "nothing": a file created
    // through it could land anywhere.
    if (::stat(name.constData(), &info) == 0 && S_ISREG(info.st_mode))
        return Found::RegularFile;
    return Found::Other;
}

bool IsRoot(const QString &folder) {
    return QDir::cleanPath(folder) == QStringLiteral("/");
}

// A home folder that the store may use: an absolute path to an existing folder, not the root.
bool IsUsableHome(const QString &home) {
    if (home.isEmpty() || !QDir::isAbsolutePath(home) || IsRoot(home))
        return false;
    struct stat info;
    return ::stat(QFile::encodeName(home).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The home folder in the user database's entry for the account the program runs as.
QString AccountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry;
    struct passwd *found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (std::size_t(1) << 20))
        buffer.resize(buffer.size() * 2);
    return found && found->pw_dir ? QFile::decodeName(found->pw_dir) : QString();
}

}  // namespace

Settings::Settings() : Settings(defaultPath()) {}

Settings::Settings(const QString &iniPath) : path_(iniPath) {
    // The file is read as the store is made: only when it is a regular file, or absent.
    if (!path_.isEmpty() && LookAt(path_) != Found::Other)
        store_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
}

Settings::~Settings() = default;

QString Settings::pathFor(const QString &configHome, const QString &home,
                          const QString &accountHome) {
    if (!configHome.isEmpty() && QDir::isAbsolutePath(configHome) && !IsRoot(configHome))
        return QDir::cleanPath(configHome) + u'/' + FileName;
    for (const QString &candidate : {home, accountHome}) {
        if (IsUsableHome(candidate))
            return QDir::cleanPath(candidate) + QStringLiteral("/.config/") + FileName;
    }
    return {};
}

QString Settings::defaultPath() {
    return pathFor(qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME"),
                   AccountHome());
}

QString Settings::get(const QString &key, const QString &defaultValue) const {
    const auto kept = session_.constFind(key);
    if (kept != session_.constEnd())
        return *kept;
    if (!store_)
        return defaultValue;
    const QVariant value = store_->value(Section + u'/' + key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with unquoted commas reads back as a list; it is one text to us.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void Settings::save(const QString &key, const QString &value) {
    // Syncing reads the file again too, with whatever else changed there.
    ++generation_;
    // The path may have changed since the last look: a save never writes anything but a
    // regular file (QSettings would replace a device or a pipe with a file of its own).
    if (store_ && LookAt(path_) == Found::Other)
        keepForSession();
    if (!store_) {
        session_.insert(key, value);
        return;
    }
    store_->setValue(Section + u'/' + key, value);
    store_->sync();
    // The value is in the file: the update that setValue() asked the event loop for would only
    // look at the path again, after the look above.
    QCoreApplication::removePostedEvents(store_.get(), QEvent::UpdateRequest);
    // QSettings keeps the first error it met: after any error the session keeps the value too,
    // so that one that was not written still holds for the rest of the session.
    if (store_->status() == QSettings::NoError)
        session_.remove(key);
    else
        session_.insert(key, value);
}

void Settings::keepForSession() {
    store_->beginGroup(Section);
    const QStringList keys = store_->childKeys();
    store_->endGroup();
    for (const QString &key : keys) {
        if (!session_.contains(key))
            session_.insert(key, get(key, {}));
    }
    // Every change was written when it was made, so letting the store go touches no file.
    store_.reset();
}
