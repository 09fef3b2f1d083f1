// Strelmark: removes lines or characters from many text files at once.

#include "Form1.h"
#include "QtPlatform.h"
#include "Settings.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    QtPlatform platform;
    Settings settings;
    Form1 window(platform, settings, QCoreApplication::applicationDirPath());
    platform.setOwner(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
