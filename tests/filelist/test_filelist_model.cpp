// The file list's rows: order, duplicates, exact membership, and texts that survive many
// replacements and removals (the rows share one buffer that is packed now and then).

#include "filelist/FileListModel.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

#include <random>

class FileListModelTest : public QObject {
    Q_OBJECT

    static QStringList texts(const FileListModel &list) { return TestFiles::Rows(list); }

private slots:
    void appendKeepsOrderAndDuplicates() {
        FileListModel list;
        list.append(QStringLiteral("/b"));
        list.append(QStringList{"/a", "/b", QString::fromUtf8("/ünï/cödé.htm"), ""});
        QCOMPARE(texts(list),
                 (QStringList{"/b", "/a", "/b", QString::fromUtf8("/ünï/cödé.htm"), ""}));
        QCOMPARE(list.rowCount(), 5);
        QCOMPARE(list.data(list.index(3), Qt::DisplayRole).toString(),
                 QString::fromUtf8("/ünï/cödé.htm"));
    }

    void containsIsExact_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("present");
        QTest::newRow("same") << "/Samples/a.htm" << true;
        QTest::newRow("other case") << "/samples/a.htm" << false;
        QTest::newRow("prefix") << "/Samples/a.ht" << false;
        QTest::newRow("longer") << "/Samples/a.htm " << false;
        QTest::newRow("empty") << "" << false;
    }
    void containsIsExact() {
        QFETCH(QString, path);
        QFETCH(bool, present);
        FileListModel list;
        QVERIFY(!list.contains(path));
        list.append(QStringList{"/x", "/Samples/a.htm"});
        QCOMPARE(list.contains(path), present);
    }

    void removeAndClear() {
        FileListModel list;
        list.append(QStringList{"/a", "/b", "/c"});
        QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
        list.removeRow(1);
        QCOMPARE(texts(list), (QStringList{"/a", "/c"}));
        QCOMPARE(removed.size(), 1);
        list.removeRow(5);  // no such row: nothing happens
        list.removeRow(-1);
        QCOMPARE(list.count(), 2);
        list.clear();
        QCOMPARE(list.count(), 0);
        list.append(QStringLiteral("/d"));
        QCOMPARE(texts(list), QStringList{"/d"});
    }

    // Many replacements and removals force the buffer to be packed several times; every row
    // must keep its own text throughout.
    void textsSurviveChurn() {
        FileListModel list;
        QStringList expected;
        for (int i = 0; i < 2000; ++i) {
            const QString path =
                QStringLiteral("/folder/%1/%2.htm").arg(i).arg(QString(i % 50, u'x'));
            list.append(path);
            expected.append(path);
        }
        std::mt19937 random(7);
        for (int round = 0; round < 20000; ++round) {
            const int row = static_cast<int>(random() % expected.size());
            if (round % 5 == 0) {
                list.removeRow(row);
                expected.removeAt(row);
                list.append(QStringLiteral("/new/%1").arg(round));
                expected.append(QStringLiteral("/new/%1").arg(round));
            } else {
                const QString path =
                    QStringLiteral("/set/%1/%2").arg(round).arg(QString(round % 300, u'y'));
                list.setText(row, path);
                expected[row] = path;
            }
        }
        QCOMPARE(texts(list), expected);
    }

    void setTextTellsTheView() {
        FileListModel list;
        list.append(QStringList{"/a", "/b"});
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.setText(1, QStringLiteral("/c"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<QModelIndex>().row(), 1);
    }
};

QTEST_GUILESS_MAIN(FileListModelTest)
#include "test_filelist_model.moc"
