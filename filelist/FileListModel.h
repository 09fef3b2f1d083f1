// The list of input files: an ordered sequence of rows, each holding only its text, the
// file's full path. Rows are appended at the end and never sorted; duplicates are allowed.
// Rows are numbered from 0 here.
//
// A million rows must stay cheap: the texts are kept as UTF-8 bytes, one after the other in
// one buffer, and each row is an offset and a length into it (eight bytes a row). Adding many
// rows at once tells the view once.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FileListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    int count() const { return static_cast<int>(rows_.size()); }
    QString text(int row) const;
    void setText(int row, const QString &path);
    // True when some row's text equals the path exactly (case counts).
    bool contains(const QString &path) const;

    void append(const QString &path);
    void append(const QStringList &paths);
    void removeRow(int row);
    void clear();

    // What the folder searches that filled the list passed over although the pattern took it
    // (each "reason: path", in the order found); cleared with the list. A run's "Done." lists
    // them.
    const QStringList &skipped() const { return skipped_; }
    void addSkipped(const QStringList &entries) { skipped_ += entries; }

    // The header of the one column.
    static QString columnTitle() { return tr("HTML File(s)"); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::uint64_t offset : 40;
        std::uint64_t length : 24;  // a path is far shorter than 16 MB
    };
    std::string_view bytes(const Row &row) const {
        return {texts_.data() + row.offset, row.length};
    }
    Row store(const QString &path);
    void forget(const Row &row);

    std::string texts_;            // the rows' texts, back to back
    std::size_t unusedBytes_ = 0;  // bytes of removed or replaced texts
    std::vector<Row> rows_;
    QStringList skipped_;
};
