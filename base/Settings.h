// The per-user settings store: text values by key, application "Brindlewick", section
// "Strelmark". It lives in an INI file (~/.config/Brindlewick.ini, group [Strelmark]).
//
// An absent key is not an empty one: get() returns the default only for absent keys. Every
// save is written through to the file before it returns. A corrupt or unreadable file reads
// as absent keys, and a file that cannot be written never stops the program: what could not be
// written is kept for the rest of the session.
//
// The store reads and writes only a regular file, or creates one where nothing is. It looks at
// its path (the path itself, and where a symbolic link leads) before the file is first read and
// again before every save. Anything else there (a named pipe, a device, a socket, a folder, a
// link that leads nowhere) reads as absent keys and is never opened nor replaced; from then on
// the values are kept for the session only. A symbolic link to a regular file stays a link: a
// save replaces the file it leads to.
#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>

class QSettings;

class Settings {
public:
    // The store of the current user (defaultPath()).
    Settings();
    // A store kept in the given INI file; with an empty path, a store for this session only.
    explicit Settings(const QString &iniPath);
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    // The current user's file, from the environment (XDG_CONFIG_HOME, HOME) and the account's
    // entry in the user database; empty when there is no home folder to keep it in.
    static QString defaultPath();
    // The file for these places: Brindlewick.ini in `configHome` when that is an absolute path
    // other than the root; otherwise in .config of `home`, or else of `accountHome`, the first
    // of them that is an existing folder other than the root (given as an absolute path).
    // Empty when none qualifies: nothing is ever written at the file system's root.
    static QString pathFor(const QString &configHome, const QString &home,
                           const QString &accountHome);

    // The file as it was given; empty for a store of the session only.
    QString path() const { return path_; }
    // Whether saves still go to the file. False for a store of the session only, and from the
    // moment something other than a regular file was found at the path.
    bool savesToFile() const { return store_ != nullptr; }

    QString get(const QString &key, const QString &defaultValue) const;
    void save(const QString &key, const QString &value);
    // Changes with every save(): a value read from the store holds for as long as this stays
    // the same, so that a reader asking for each file need not look it up again.
    std::uint64_t generation() const { return generation_; }

    // Text forms of stored numbers and truth values.
    static QString fromInteger(long long value) { return QString::number(value); }
    static QString fromBool(bool value) {
        return value ? QStringLiteral("True") : QStringLiteral("False");
    }

private:
    // Stops using the file: its values so far stay, for this session.
    void keepForSession();

    QString path_;
    std::unique_ptr<QSettings> store_;  // the file, while it may be used
    QHash<QString, QString> session_;   // values that only this session holds, by key
    std::uint64_t generation_ = 0;
};
