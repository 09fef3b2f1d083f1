// The view of the file list: a one-column table under the heading "HTML File(s)", one row
// per file, with the hint text as its tooltip. It runs no command of its own: files and folders
// dropped onto it are handed to the window (pathsDropped).
#pragma once

#include "base/Window.h"

#include <QCursor>
#include <QPersistentModelIndex>
#include <QStringList>
#include <QTreeView>

#include <optional>

class FileListModel;

class FileListView : public QTreeView {
    Q_OBJECT

public:
    explicit FileListView(QWidget *parent = nullptr);

    void setFileList(FileListModel *model);
    FileListModel *fileList() const { return fileList_; }
    // The picture the list's pointer shows while a row is carried (drag.ico beside the
    // program). It is read at the first press on a row, and only then.
    void setDragPictureFile(const QString &path);

    // The row the user last selected, or -1.
    int selectedRow() const;
    void selectRow(int row);

    // The list's own pointer: MousePointer::Default, Arrow, or Custom (its picture). It shows
    // while the window's pointer is the default; the window applies it (pointerChanged).
    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int shape);
    void setMouseIcon(const std::optional<QCursor> &picture);
    // The cursor the list's own pointer stands for; nothing for the default.
    std::optional<QCursor> ownCursor() const;

    // Carrying a row: whether a button went down on the list and has not come up yet, and the
    // row being carried (-1 for none, also when that row was removed).
    bool isCarrying() const { return dragging_; }
    int dragRow() const { return dragRow_.isValid() ? dragRow_.row() : -1; }

    static QString hintText() {
        return tr(
            "Drag and drop files here. Double-click item to remove it. Move | line to right and "
            "out of window to reveal full names.");
    }

signals:
    void pointerChanged();
    // A double-click anywhere on the list; it selected the row under it, or none.
    void doubleClickedList();
    // Local files and folders were dropped onto the list, in the order of the drop. Sent once
    // the drop has been answered, so the drop source no longer waits for the window.
    void pathsDropped(const QStringList &paths);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    // Files and folders dropped from outside (FileListDrop.cpp).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

    // Carrying a row up and down the list (FileListReorder.cpp).
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void MouseDown();
    void ItemClick();
    void MouseMove(const QPoint &position, int screenY);
    void MouseUp();
    void exchangeRows(int rowUnderPointer);

    // The drag picture, read at the first press on a row; none when it could not be read.
    const std::optional<QCursor> &dragPicture();

    FileListModel *fileList_ = nullptr;
    int mousePointer_ = MousePointer::Default;
    std::optional<QCursor> mouseIcon_;
    QString dragPictureFile_;
    std::optional<std::optional<QCursor>> dragPicture_;  // outer: whether it was read yet
    bool dragging_ = false;
    QPersistentModelIndex dragRow_;  // becomes invalid when its row is removed
};
