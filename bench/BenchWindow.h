// The real main window for a benchmark: shown offscreen, answering through the scripted
// platform, with its settings and program folder in a temporary folder.
#pragma once

#include "app/Form1.h"
#include "base/Settings.h"
#include "support/ScriptedPlatform.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace Bench {

struct OffscreenWindow {
    // `undoFolder`: where the window's undo store is kept; empty, inside the temporary folder.
    explicit OffscreenWindow(const QString &undoFolder = QString())
        : window(platform, settings, home.path(), AddFolder::SystemFolders(),
                 undoFolder.isEmpty() ? home.filePath(QStringLiteral("undo")) : undoFolder) {
        window.Form_Load();
        window.show();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    ScriptedPlatform platform;
    Settings settings{home.filePath(QStringLiteral("Brindlewick.ini"))};
    Form1 window;  // its undo store never the user's
};

}  // namespace Bench
