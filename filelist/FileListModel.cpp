#include "FileListModel.h"

#include <algorithm>

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent) {}

void FileListModel::setText(int row, const QString &path) {
    rows_.at(row) = path.toUtf8();
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

bool FileListModel::contains(const QString &path) const {
    const QByteArray wanted = path.toUtf8();
    return std::find(rows_.begin(), rows_.end(), wanted) != rows_.end();
}

void FileListModel::append(const QString &path) {
    const int row = count();
    beginInsertRows({}, row, row);
    rows_.push_back(path.toUtf8());
    endInsertRows();
}

void FileListModel::append(const QStringList &paths) {
    if (paths.isEmpty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(paths.size()) - 1);
    rows_.reserve(rows_.size() + paths.size());
    for (const QString &path : paths)
        rows_.push_back(path.toUtf8());
    endInsertRows();
}

void FileListModel::removeRow(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void FileListModel::clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
        return {};
    return text(index.row());
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return columnTitle();
    return {};
}
