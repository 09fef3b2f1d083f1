// The window of Strelmark, as the module the program loads when it is started without
// arguments (Strelmark.cpp).

#include "app/Form1.h"
#include "app/QtPlatform.h"
#include "base/Settings.h"
#include "base/StartUp.h"

#include <QApplication>

extern "C" Q_DECL_EXPORT int StrelmarkWindowMain(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Ties the window to the desktop entry and its icon (the application id under Wayland).
    QGuiApplication::setDesktopFileName(Main::DesktopId);

    QtPlatform platform;
    Settings settings;
    Form1 window(platform, settings, Main::ProgramFolder());
    platform.setOwner(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
