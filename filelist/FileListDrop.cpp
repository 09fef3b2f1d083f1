#include "FileListView.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

void FileListView::dragEnterEvent(QDragEnterEvent *event) { QTreeView::dragEnterEvent(event); }
void FileListView::dragMoveEvent(QDragMoveEvent *event) { QTreeView::dragMoveEvent(event); }
void FileListView::dropEvent(QDropEvent *event) { QTreeView::dropEvent(event); }
