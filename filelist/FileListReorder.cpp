#include "FileListView.h"

#include <QMouseEvent>

void FileListView::mousePressEvent(QMouseEvent *event) { QTreeView::mousePressEvent(event); }
void FileListView::mouseMoveEvent(QMouseEvent *event) { QTreeView::mouseMoveEvent(event); }
void FileListView::mouseReleaseEvent(QMouseEvent *event) { QTreeView::mouseReleaseEvent(event); }
