// Files and folders dropped onto the list from outside. A dropped file becomes one row as it
// is; a dropped folder gives every file in it and in all folders below it, whatever their
// extension. Rows come in the order of the dropped items.

#include "AddFolder.h"
#include "ErrorReport.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "Main.h"
#include "Window.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

// The local files and folders that the data carries, in the order the drop source gave them.
QStringList DroppedPaths(const QMimeData *data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        QString path = url.toLocalFile();
        if (!path.isEmpty())
            paths.append(std::move(path));
    }
    return paths;
}

bool HoldsLocalFiles(const QMimeData *data) {
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(),
                       [](const QUrl &url) { return !url.toLocalFile().isEmpty(); });
}

void AddDroppedPaths(const QStringList &paths, FileListModel &list, Platform &platform) {
    for (const QString &path : paths) {
        if (Main::FolderExists(path)) {
            QStringList folders{path + Main::NativeSeparator};
            AddFolder::GetSubDirectories2016(platform, folders, true);
            AddFolder::TakeFolderListFiles(folders, QStringLiteral("*.*"), list);
        } else {
            list.append(path);  // a file, taken as it is
        }
    }
}

}  // namespace

void FileListView::dragEnterEvent(QDragEnterEvent *event) {
    if (HoldsLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();  // nothing here can be dropped
}

void FileListView::dragMoveEvent(QDragMoveEvent *event) {
    if (HoldsLocalFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FileListView::dropEvent(QDropEvent *event) {
    const QStringList paths = DroppedPaths(event->mimeData());
    if (paths.isEmpty() || !fileList_ || !window_) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();

    // The drop source waits until the drop has been answered, so the paths are added once it
    // has been. Walking a folder lets other events run, a second drop among them; the window
    // is not marked busy meanwhile.
    QTimer::singleShot(0, this, [paths, list = fileList_, window = window_] {
        try {
            AddDroppedPaths(paths, *list, window->platform());
        } catch (const CommandAbandoned &) {
            // The window was closed during the walk.
        } catch (const std::exception &error) {
            ReportUnexpectedError(window->platform(), QString::fromUtf8(error.what()),
                                  Location::form1("ListView1_OLEDragDrop"), 0);
        }
    });
}
