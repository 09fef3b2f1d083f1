// The window of Strelmark, as the module the program loads when it is started without
// arguments, or with files and folders for its list (Strelmark.cpp).

#include "app/Form1.h"
#include "app/QtPlatform.h"
#include "base/Settings.h"
#include "base/StartUp.h"
#include "base/Translations.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

extern "C" Q_DECL_EXPORT int StrelmarkWindowMain(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Ties the window to the desktop entry and its icon (the application id under Wayland).
    QGuiApplication::setDesktopFileName(Main::DesktopId);
    // The window speaks the user's language where a catalogue has it; English otherwise.
    Translations::Install(Main::ProgramFolder() + QStringLiteral("/translations"));

    QtPlatform platform;
    Settings settings;
    Form1 window(platform, settings, Main::ProgramFolder());
    platform.setOwner(&window);
    window.Form_Load();
    window.show();
    // What Qt left of the arguments: the files and folders given, as the file system's bytes.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QFile::decodeName(argv[i]));
    if (!given.isEmpty())
        QTimer::singleShot(0, &window, [&window, given] { window.OpenGiven(given); });
    return QApplication::exec();
}
