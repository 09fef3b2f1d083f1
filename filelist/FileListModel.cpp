#include "filelist/FileListModel.h"

#include <algorithm>

FileListModel::FileListModel(QObject *parent) : QAbstractListModel(parent) {}

FileListModel::Row FileListModel::store(const QString &path) {
    const QByteArray utf8 = path.toUtf8();
    const Row row{texts_.size(), static_cast<std::uint64_t>(utf8.size())};
    texts_.append(utf8.constData(), utf8.size());
    return row;
}

// A text no row uses any more. When such texts take up most of the buffer, the rows' texts
// are packed together again.
void FileListModel::forget(const Row &row) {
    unusedBytes_ += row.length;
    if (unusedBytes_ < (std::size_t(1) << 20) || unusedBytes_ < texts_.size() / 2)
        return;
    std::string packed;
    packed.reserve(texts_.size() - unusedBytes_);
    for (Row &kept : rows_) {
        const std::string_view text = bytes(kept);
        kept.offset = packed.size();
        packed.append(text);
    }
    texts_.swap(packed);
    unusedBytes_ = 0;
}

QString FileListModel::text(int row) const {
    const std::string_view utf8 = bytes(rows_.at(row));
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void FileListModel::setText(int row, const QString &path) {
    const Row old = rows_.at(row);
    rows_[row] = store(path);
    forget(old);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

bool FileListModel::contains(const QString &path) const {
    const QByteArray utf8 = path.toUtf8();
    const std::string_view wanted(utf8.constData(), utf8.size());
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const Row &row) { return bytes(row) == wanted; });
}

void FileListModel::append(const QString &path) {
    const int row = count();
    beginInsertRows({}, row, row);
    rows_.push_back(store(path));
    endInsertRows();
}

void FileListModel::append(const QStringList &paths) {
    if (paths.isEmpty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(paths.size()) - 1);
    rows_.reserve(rows_.size() + paths.size());
    for (const QString &path : paths)
        rows_.push_back(store(path));
    endInsertRows();
}

void FileListModel::removeRow(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    const Row removed = rows_[row];
    rows_.erase(rows_.begin() + row);
    forget(removed);
    endRemoveRows();
}

void FileListModel::clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    texts_.clear();
    texts_.shrink_to_fit();
    unusedBytes_ = 0;
    skipped_.clear();
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
