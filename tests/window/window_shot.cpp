// Draws the main window into a PNG picture, to look at it as users of other themes see it:
// the Fusion style's light palette or a dark one, with or without the skin, at the scale that
// QT_SCALE_FACTOR sets. The window is the real one, started with the scripted platform and its
// own settings, holding a few rows, a condition and a run half done.
//
//   window_shot [--dark] [--no-skin] [--focus NAME] OUT.png
//   window_shot --screen OUT.png     the whole screen (the real program under Xvfb)

#include "base/Translations.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListView.h"
#include "support/DarkPalette.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <cstdio>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    // In the language of the locale, as the program shows itself (LANG=de_DE.UTF-8 ...).
    Translations::Install(QStringLiteral(STRELMARK_TRANSLATIONS_DIR));
    QStringList arguments = QApplication::arguments().mid(1);
    auto option = [&](const QString &name) { return arguments.removeAll(name) > 0; };
    const bool screen = option(QStringLiteral("--screen"));
    const bool dark = option(QStringLiteral("--dark"));
    const bool skin = !option(QStringLiteral("--no-skin"));
    QString focus;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--focus"));
        at >= 0 && at + 1 < arguments.size()) {
        focus = arguments.at(at + 1);
        arguments.remove(at, 2);
    }
    if (arguments.size() != 1 || arguments.first().startsWith(u'-')) {
        std::fputs(
            "usage: window_shot [--dark] [--no-skin] [--focus NAME] OUT.png\n"
            "       window_shot --screen OUT.png\n",
            stderr);
        return 2;
    }
    const QString out = arguments.first();

    if (screen) {
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
        return shot.save(out) ? 0 : 1;
    }

    QApplication::setStyle(QStringLiteral("Fusion"));
    if (dark)
        QApplication::setPalette(DarkPalette());
    if (qEnvironmentVariableIsEmpty("STRELMARK_RESOURCES"))
        qputenv("STRELMARK_RESOURCES", STRELMARK_SOURCE_RESOURCES);

    WindowFixture fixture;
    if (!skin)
        QFile::remove(fixture.programFolder() + QStringLiteral("/x/o.cjs"));
    Form1 &form = fixture.load();
    form.fileList->append(QStringList{QStringLiteral("/home/user/site/index.htm"),
                                      QStringLiteral("/home/user/site/news.htm"),
                                      QStringLiteral("/home/user/site/contact.htm"),
                                      QStringLiteral("/home/user/site/gallery/summer.html")});
    form.ListView1->selectRow(1);
    form.Text1->setText(QStringLiteral("<script src=\"counter.js\">"));
    form.setProgressValue(40);
    form.setProgressText(QCoreApplication::translate("RunDriver", "Processing: ") +
                         QStringLiteral("contact.htm"));

    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    if (!focus.isEmpty()) {
        QWidget *control = form.findChild<QWidget *>(focus);
        if (!control) {
            std::fprintf(stderr, "window_shot: the window has no control %s\n", qPrintable(focus));
            return 2;
        }
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
        control->setFocus(Qt::TabFocusReason);
    }
    QTest::qWait(50);
    return form.grab().save(out) ? 0 : 1;
}
