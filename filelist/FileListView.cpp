#include "filelist/FileListView.h"

#include "filelist/FileListModel.h"

#include <QHeaderView>
#include <QMouseEvent>

FileListView::FileListView(QWidget *parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);  // keeps a list of a million rows cheap to lay out
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setToolTip(hintText());
    setAcceptDrops(true);  // files and folders from outside (FileListDrop.cpp)
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void FileListView::setFileList(FileListModel *model) {
    fileList_ = model;
    setModel(model);
}

int FileListView::selectedRow() const {
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return -1;
    return current.row();
}

void FileListView::selectRow(int row) {
    const QModelIndex target = model()->index(row, 0);
    selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FileListView::setMousePointer(int shape) {
    mousePointer_ = shape;
    emit pointerChanged();
}

void FileListView::setMouseIcon(const std::optional<QCursor> &picture) {
    mouseIcon_ = picture;
    emit pointerChanged();
}

std::optional<QCursor> FileListView::ownCursor() const {
    switch (mousePointer_) {
        case MousePointer::Arrow:
            return QCursor(Qt::ArrowCursor);
        case MousePointer::Custom:
            return mouseIcon_ ? *mouseIcon_ : QCursor(Qt::ArrowCursor);
        default:
            return std::nullopt;
    }
}

void FileListView::mouseDoubleClickEvent(QMouseEvent *event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (!indexAt(event->position().toPoint()).isValid())
        clearSelection();  // a double-click on no row selects none
    emit doubleClickedList();
}
