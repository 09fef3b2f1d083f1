// The real main window for a benchmark: shown offscreen, answering through the scripted
// platform, with its settings and program folder in a temporary folder.
#pragma once

#include "Form1.h"
#include "ScriptedPlatform.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace Bench {

struct OffscreenWindow {
    OffscreenWindow() {
        window.Form_Load();
        window.show();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    ScriptedPlatform platform;
    Settings settings{home.filePath(QStringLiteral("Brindlewick.ini"))};
    // Its undo store in the same temporary folder, never the user's.
    Form1 window{platform, settings, home.path(), AddFolder::SystemFolders(),
                 home.filePath(QStringLiteral("undo"))};
};

}  // namespace Bench
