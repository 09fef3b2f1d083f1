// Carrying a row up and down the list. A press on a row picks that row up; as the pointer
// passes the other rows, the carried text changes places with each of them in turn, so the name
// travels with the pointer and the rows it passes move back by one. When the pointer is near the
// top or the bottom of the screen, a move that exchanged rows also brings the next row into view.
//
// The list's own handling never sees a move while a button is held: that is where it would
// select by dragging, scroll on its own, or start a drag-and-drop of its own.

#include "filelist/FileListView.h"

#include "base/Window.h"
#include "filelist/FileListModel.h"
#include "filelist/PointerPicture.h"

#include <QMouseEvent>
#include <QtMath>

namespace {

// The pointer's height on the screen, in pixels from its top edge: above the first the list
// brings the row above the pointer's into view, from the second on the row below it.
constexpr int ScrollUpAbove = 305;
constexpr int ScrollDownFrom = 365;

}  // namespace

void FileListView::mousePressEvent(QMouseEvent *event) {
    MouseDown();
    QTreeView::mousePressEvent(event);  // selects the row under the pointer
    if (indexAt(event->position().toPoint()).isValid())
        ItemClick();
}

void FileListView::mouseMoveEvent(QMouseEvent *event) {
    // Setting the window's pointer back to the default on every move is the window's part: it
    // watches the moves over the list.
    if (dragging_ && event->buttons() == Qt::NoButton) {
        // The release went elsewhere (a message box took it, say): the row is no longer held,
        // and a pointer merely passing over the list must not move rows.
        MouseUp();
        return;
    }
    if (dragging_) {
        // The height on the screen is the event's own, the same place the pointer had when it
        // moved, rather than a second look at the pointer afterwards.
        MouseMove(event->position().toPoint(), qFloor(event->globalPosition().y()));
    } else if (event->buttons() == Qt::NoButton) {
        QTreeView::mouseMoveEvent(event);  // hovering
    }
}

void FileListView::mouseReleaseEvent(QMouseEvent *event) {
    QTreeView::mouseReleaseEvent(event);
    MouseUp();
}

void FileListView::setDragPictureFile(const QString &path) {
    dragPictureFile_ = path;
    dragPicture_.reset();
}

const std::optional<QCursor> &FileListView::dragPicture() {
    if (!dragPicture_) {
        dragPicture_.emplace();
        if (!dragPictureFile_.isEmpty()) {
            try {
                *dragPicture_ = LoadPointerPicture(dragPictureFile_);
            } catch (...) {
                // Not there, no picture in it, or any other failure: the list shows none.
            }
        }
    }
    return *dragPicture_;
}

// Any button, anywhere on the list.
void FileListView::MouseDown() {
    dragging_ = true;
}

void FileListView::ItemClick() {
    // Without a picture the list keeps the pointer it has, and the row is still taken.
    if (const std::optional<QCursor> &picture = dragPicture()) {
        setMouseIcon(picture);
        setMousePointer(MousePointer::Custom);
    }
    const int row = selectedRow();
    dragRow_ = row >= 0 ? QPersistentModelIndex(model()->index(row, 0)) : QPersistentModelIndex();
}

void FileListView::MouseMove(const QPoint &position, int screenY) {
    const QModelIndex underPointer = indexAt(position);
    if (!underPointer.isValid() || !dragRow_.isValid())
        return;
    const int row = underPointer.row();
    // Also the case while the pointer is still over the carried row itself.
    if (fileList_->text(row) == fileList_->text(dragRow_.row()))
        return;
    exchangeRows(row);

    if (screenY < ScrollUpAbove) {
        if (row >= 1)
            scrollTo(model()->index(row - 1, 0));
    } else if (screenY >= ScrollDownFrom) {
        if (row + 1 < fileList_->count())
            scrollTo(model()->index(row + 1, 0));
    }
}

// Any button. The carried row stays what it was, for the next press on an empty part of the
// list.
void FileListView::MouseUp() {
    dragging_ = false;
    setMousePointer(MousePointer::Arrow);
}

// The carried row and the row under the pointer swap texts; the row under the pointer, which
// now holds the carried text, is selected and carried on.
void FileListView::exchangeRows(int rowUnderPointer) {
    const int carriedRow = dragRow_.row();
    const QString carried = fileList_->text(carriedRow);
    fileList_->setText(carriedRow, fileList_->text(rowUnderPointer));
    fileList_->setText(rowUnderPointer, carried);

    // Selecting would scroll a row at the edge fully into view; only the rule of the move may
    // scroll.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectRow(rowUnderPointer);
    setAutoScroll(scrolls);
    dragRow_ = model()->index(rowUnderPointer, 0);
}
