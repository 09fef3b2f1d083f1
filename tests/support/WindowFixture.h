// A main window for tests: its own program folder and settings file in a temporary folder,
// the scripted platform answering for the user, and no real dialog ever opened.
#pragma once

#include "app/Form1.h"
#include "base/EventPump.h"
#include "base/Settings.h"
#include "support/ScriptedPlatform.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

class WindowFixture {
public:
    // `withResources`: the program folder holds the pointer, the skin and the drag picture
    // of the source tree's resources/ (the test's environment names that folder).
    explicit WindowFixture(bool withResources = true) {
        EventPump::Reset();
        QDir().mkpath(programFolder());
        if (withResources) {
            const QString source = QString::fromLocal8Bit(qgetenv("STRELMARK_RESOURCES"));
            if (source.isEmpty())
                qFatal(
                    "STRELMARK_RESOURCES must name the source tree's resources folder "
                    "(ctest sets it)");
            for (const char *name : {"HAND-M.CUR", "drag.ico", "x/o.cjs"})
                copy(source + u'/' + QLatin1String(name),
                     programFolder() + u'/' + QLatin1String(name));
        }
    }

    ~WindowFixture() { EventPump::Reset(); }

    QString root() const { return dir.path(); }
    QString programFolder() const { return dir.path() + QStringLiteral("/program"); }
    QString settingsPath() const { return dir.path() + QStringLiteral("/Brindlewick.ini"); }
    // The window's undo store, never the user's.
    QString undoFolder() const { return dir.path() + QStringLiteral("/undo"); }

    // Stores a value before the window starts, as an earlier run would have.
    void store(const QString &key, const QString &value) {
        QSettings ini(settingsPath(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Strelmark/") + key, value);
    }

    // What the store holds now, read afresh from the file; a null text when absent.
    QString stored(const QString &key) const {
        QSettings ini(settingsPath(), QSettings::IniFormat);
        const QVariant value = ini.value(QStringLiteral("Strelmark/") + key);
        return value.isValid() ? value.toString() : QString();
    }
    bool isStored(const QString &key) const {
        QSettings ini(settingsPath(), QSettings::IniFormat);
        return ini.contains(QStringLiteral("Strelmark/") + key);
    }

    // A control of the window by its object name, which is its design name ("Text1").
    template <class Control>
    Control *control(const char *name) const {
        Control *found = form ? form->findChild<Control *>(QLatin1String(name)) : nullptr;
        if (!found)
            qFatal("the window has no control %s of that kind", name);
        return found;
    }

    Form1 &create() {
        settings = std::make_unique<Settings>(settingsPath());
        form =
            std::make_unique<Form1>(platform, *settings, programFolder(), *folders, undoFolder());
        return *form;
    }
    // Creates the window and runs its start-up.
    Form1 &load() {
        create();
        form->Form_Load();
        return *form;
    }

    static void copy(const QString &from, const QString &to) {
        QDir().mkpath(QFileInfo(to).path());
        QFile::remove(to);
        QFile::copy(from, to);
    }

    QTemporaryDir dir;
    ScriptedPlatform platform;
    // How the window opens folders; set before the window is made.
    AddFolder::FolderAccess *folders = &AddFolder::SystemFolders();
    std::unique_ptr<Settings> settings;
    std::unique_ptr<Form1> form;
};
