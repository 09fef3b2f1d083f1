// The list of input files: an ordered sequence of rows, each holding only its text, the
// file's full path. Rows are appended at the end and never sorted; duplicates are allowed.
// Rows are numbered from 0 here.
//
// A million rows must stay cheap, so the texts are kept as UTF-8 bytes, and adding many rows
// at once tells the view once.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class FileListModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    int count() const { return static_cast<int>(rows_.size()); }
    QString text(int row) const { return QString::fromUtf8(rows_.at(row)); }
    void setText(int row, const QString &path);
    // True when some row's text equals the path exactly (case counts).
    bool contains(const QString &path) const;

    void append(const QString &path);
    void append(const QStringList &paths);
    void removeRow(int row);
    void clear();

    // The header of the one column.
    static QString columnTitle() { return QStringLiteral("HTML File(s)"); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<QByteArray> rows_;
};
