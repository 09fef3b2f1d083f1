// Strelmark: removes lines or characters from many text files at once.

#include "Form1.h"
#include "QtPlatform.h"
#include "Settings.h"
#include "StartUp.h"

#include <QApplication>

int main(int argc, char *argv[]) {
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
