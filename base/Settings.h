// The per-user settings store: text values by key, application "Brindlewick", section
// "Strelmark". It lives in an INI file (~/.config/Brindlewick.ini, group [Strelmark]).
//
// An absent key is not an empty one: get() returns the default only for absent keys. Every
// save is written through to the file before it returns. A corrupt or unreadable file reads
// as absent keys, and a file that cannot be written never stops the program.
#pragma once

#include <QString>

#include <memory>

class QSettings;

class Settings {
public:
    // The store of the current user.
    Settings();
    // A store kept in the given INI file (tests).
    explicit Settings(const QString &iniPath);
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    static QString defaultPath();
    QString path() const;

    QString get(const QString &key, const QString &defaultValue) const;
    void save(const QString &key, const QString &value);

    // Text forms of stored numbers and truth values.
    static QString fromInteger(long long value) { return QString::number(value); }
    static QString fromBool(bool value) {
        return value ? QStringLiteral("True") : QStringLiteral("False");
    }

private:
    std::unique_ptr<QSettings> store_;
};
