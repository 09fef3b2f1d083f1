// Files and folders dropped onto the list from outside. The list says which drags it takes and
// hands the dropped paths to the window, which adds them (Form1::ListView1_OLEDragDrop).

#include "filelist/FileListView.h"

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
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The drop source waits until the drop has been answered, so the paths go to the window
    // once it has been.
    QTimer::singleShot(0, this, [this, paths] { emit pathsDropped(paths); });
}
