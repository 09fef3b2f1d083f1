#include "base/StartUp.h"

#include "base/ErrorReport.h"
#include "base/Main.h"
#include "base/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(StartUp)
};

}  // namespace

namespace Main {

QString ApplicationTitleFor(const QString &productTitle) {
    QString title = productTitle;
    do {
        const qsizetype space = title.lastIndexOf(u' ');
        if (space < 0)
            break;
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

QString ProgramFolder(const QString &executableFolder) {
    if (executableFolder.isEmpty())
        return executableFolder;
    QString own = QDir::cleanPath(executableFolder);
    for (const char *name : {"HAND-M.CUR", "x/o.cjs", "drag.ico", "Samples"}) {
        if (IsFilePresent(own + u'/' + QLatin1String(name)))
            return own;
    }
    const QString shared = QDir::cleanPath(own + QStringLiteral("/../share/strelmark"));
    return FolderExists(shared) ? shared : own;
}

QString ProgramFolder() {
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

bool IsFilePresent(const QString &path) {
    struct stat info;
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

void OpenHomePageAtRandom(Platform &platform) {
    platform.randomize(platform.secondsSinceMidnight());
    const int n = static_cast<int>(platform.randomDraw() * 100) + 1;
    if (n == 7 && !platform.openUrl(HomePage))
        throw AppError(Texts::tr("The web browser could not be started."));
}

QString DesktopFolder(Platform &platform) {
    const QString desktop = platform.desktopFolder();
    if (desktop.isEmpty())
        throw AppError(ErrorText::InvalidArgument);
    return desktop + NativeSeparator;
}

}  // namespace Main
