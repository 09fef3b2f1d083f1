#include "samples/SampleFiles.h"

#include "base/Platform.h"
#include "base/Settings.h"
#include "base/StartUp.h"
#include "base/Window.h"
#include "filelist/AddFolder.h"
#include "filelist/FileListModel.h"
#include "samples/Scramble.h"

#include <QCoreApplication>

namespace Samples {

QString SampleFolder(const QString &programFolder) {
    return programFolder + QStringLiteral("/Samples/");
}

void RecordSampleList(WindowServices &window) {
    const QString folder = SampleFolder(window.programFolder());
    QStringList paths;
    for (const QString &name : AddFolder::ListFolderFiles(folder, QStringLiteral("*.*")))
        paths.append(folder + name);
    window.settings().save(SnapshotKey, SnapshotOf(paths));
}

void LoadSampleFiles(WindowServices &window, FileListModel &list) {
    const QStringList recorded = PathsOf(window.settings().get(SnapshotKey, {}));
    for (const QString &path : recorded) {
        if (Main::IsFilePresent(path) && !IsInList(list, path))
            list.append(path);
    }
    if (window.platform().askYesNo(
            QCoreApplication::translate("Samples", OpenFolderQuestion.toUtf8().constData())))
        window.platform().openFolder(SampleFolder(window.programFolder()));
}

bool IsInList(const FileListModel &list, const QString &path) {
    return list.contains(path);
}

QString SnapshotOf(const QStringList &paths) {
    const QByteArray joined = paths.join(u'|').toUtf8();
    return QString::fromLatin1(ScrambleText(joined, ScrambleKey));
}

QStringList PathsOf(const QString &snapshot) {
    // A character above 255 cannot have come from ScrambleText (the file was edited by hand);
    // it turns into a byte that unscrambles to a path no file has.
    const QByteArray joined = UnscrambleText(snapshot.toLatin1(), ScrambleKey);
    if (joined.isEmpty())
        return {};
    return QString::fromUtf8(joined).split(u'|');
}

}  // namespace Samples
