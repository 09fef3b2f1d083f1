// The undo store's record as text: a manifest's lines written and read back, damaged lines
// passed over, and the list of what copies could not keep. Pure functions: no folders.
#include "undo/Manifest.h"

#include <QtTest>

#include <limits>

using namespace Undo;

namespace {

// A record of a replaced file, with numbers up to the widest each field takes.
Record Sample() {
    Record record;
    record.replaced = true;
    record.target = "/home/ann/a.htm";
    record.kept = "k12";
    record.old = {std::numeric_limits<std::uint64_t>::max(), 7, 0,
                  std::numeric_limits<std::int64_t>::min()};
    record.keptBytes = 4096;
    record.fresh = {2049, 123456789, 5000, 1736847012345678901};
    return record;
}

QByteArray SampleLine() {
    const std::string line = RecordLine(Sample());
    return QByteArray::fromStdString(line.substr(0, line.size() - 1));
}

}  // namespace

class UndoManifestTest : public QObject {
    Q_OBJECT

private slots:
    void recordRoundTrip_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<bool>("replaced");
        QByteArray everyByte = "/";
        for (int byte = 1; byte < 256; ++byte)
            everyByte += char(byte);
        QTest::newRow("replaced") << QByteArray("/home/ann/a.htm") << true;
        QTest::newRow("created") << QByteArray("/home/ann/new.htm") << false;
        QTest::newRow("every byte but NUL") << everyByte << true;
        QTest::newRow("percent, blank, line end") << QByteArray("/a b%20c\n-R k1") << true;
        QTest::newRow("not UTF-8") << QByteArray("/caf\xE9.htm") << false;
    }
    void recordRoundTrip() {
        QFETCH(QByteArray, target);
        QFETCH(bool, replaced);
        Record record = Sample();
        record.target = target.toStdString();
        record.replaced = replaced;
        if (!replaced)
            record.kept.clear();
        const std::string line = RecordLine(record);
        // One line of printable fields, single blanks between them.
        QVERIFY(line.back() == '\n');
        const std::string_view body(line.data(), line.size() - 1);
        QVERIFY(
            std::all_of(body.begin(), body.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
        QCOMPARE(std::count(body.begin(), body.end(), ' '), 11);
        QVERIFY(body.find("  ") == std::string_view::npos);
        const std::optional<Record> read = ParseRecord(body);
        QVERIFY(read);
        QVERIFY(*read == record);
    }

    void damagedRecordLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("reads");
        const QByteArray good = SampleLine();
        const auto with = [&](const char *from, const char *to) {
            return QByteArray(good).replace(from, to);
        };
        QTest::newRow("the line itself") << good << true;
        QTest::newRow("nothing") << QByteArray() << false;
        QTest::newRow("unknown kind") << "X" + good.mid(1) << false;
        QTest::newRow("a field short") << good.left(good.lastIndexOf(' ')) << false;
        QTest::newRow("a field too many") << good + " 1" << false;
        QTest::newRow("two blanks") << with(" k12 ", "  k12 ") << false;
        QTest::newRow("relative target") << with("/home/", "home/") << false;
        QTest::newRow("empty target") << with("/home/ann/a.htm", "") << false;
        QTest::newRow("escape cut short") << with("a.htm", "a%2") << false;
        QTest::newRow("lower-case escape") << with("a.htm", "a%2f") << false;
        QTest::newRow("raw tab") << with("a.htm", "a\t") << false;
        QTest::newRow("kept name leads out") << with(" k12 ", " ../k12 ") << false;
        QTest::newRow("kept name without number") << with(" k12 ", " k ") << false;
        QTest::newRow("replaced without kept file") << with(" k12 ", " - ") << false;
        QTest::newRow("created with kept file") << "C" + good.mid(1) << false;
        QTest::newRow("signed size") << with(" 4096 ", " +4096 ") << false;
        QTest::newRow("beyond 64 bits") << with(" 7 ", " 18446744073709551616 ") << false;
        QTest::newRow("not a number") << with(" 4096 ", " 4k ") << false;
    }
    void damagedRecordLines() {
        QFETCH(QByteArray, line);
        QFETCH(bool, reads);
        QCOMPARE(ParseRecord(line.toStdString()).has_value(), reads);
    }

    // What the run was asked to do comes back as written, whatever its bytes; a record
    // without it (as older runs wrote them) reads with none, and its records all the same.
    void whatRoundTrip_data() {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<QByteArray>("condition");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("into a folder") << QByteArray("lines-containing") << QByteArray("meta http")
                                       << QByteArray("/home/ann/out") << false;
        QTest::newRow("in place, a number")
            << QByteArray("line") << QByteArray("12") << QByteArray() << true;
        QTest::newRow("no condition")
            << QByteArray("blank-lines") << QByteArray() << QByteArray("/o") << false;
        QTest::newRow("line ends and percent")
            << QByteArray("text") << QByteArray("a\r\nb %41 c") << QByteArray("/a b") << false;
        QTest::newRow("an older record: none")
            << QByteArray() << QByteArray() << QByteArray() << false;
    }
    void whatRoundTrip() {
        QFETCH(QByteArray, operation);
        QFETCH(QByteArray, condition);
        QFETCH(QByteArray, folder);
        QFETCH(bool, inPlace);
        UndoRunWhat what;
        what.operation = operation.toStdString();
        what.condition = condition.toStdString();
        what.folder = folder.toStdString();
        what.inPlace = inPlace;
        const std::string text = HeaderText(UndoFace::Window, "2025-01-14T09:30:12Z") +
                                 WhatText(what) + RecordLine(Sample()) + EndLine(1, 4096);
        ManifestTotals totals;
        const Manifest manifest = ParseManifest(text, true, &totals);
        QVERIFY(manifest.valid);
        QCOMPARE(manifest.what.operation, what.operation);
        QCOMPARE(manifest.what.condition, what.condition);
        QCOMPARE(manifest.what.folder, what.folder);
        QCOMPARE(manifest.what.inPlace, inPlace);
        QCOMPARE(manifest.records.size(), std::size_t(1));
        QCOMPARE(totals.records, std::size_t(1));
    }

    void manifests_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("whole");
        const QByteArray header =
            QByteArray::fromStdString(HeaderText(UndoFace::CommandLine, "2025-01-14T09:30:12Z"));
        const QByteArray record = SampleLine() + '\n';
        const QByteArray end = QByteArray::fromStdString(EndLine(2, 8192));
        QTest::newRow("finished") << header + record + record + end << true << 2 << true;
        QTest::newRow("no end line") << header + record + record << true << 2 << true;
        QTest::newRow("last record torn")
            << header + record + record.chopped(1) << true << 1 << true;
        QTest::newRow("zeros after a record")
            << header + record + QByteArray(4096, 0) << true << 1 << true;
        QTest::newRow("a line of zeros between records")
            << header + record + QByteArray(4095, 0) + '\n' + record << true << 2 << true;
        QTest::newRow("header only") << header << true << 0 << true;
        // Damage: what reads is there, for an undo that is told to go on.
        QTest::newRow("a line that does not read")
            << header + record + "R /a k9 x\n" + record + end << true << 2 << false;
        QTest::newRow("records lost before the end") << header + record + end << true << 1 << false;
        QTest::newRow("a line after the end")
            << header + record + record + end + record << true << 2 << false;
        QTest::newRow("another version")
            << QByteArray(header).replace(" 2\n", " 9\n") + record << false << 1 << false;
        QTest::newRow("unknown face")
            << QByteArray(header).replace("command line", "web") + record << false << 1 << false;
        QTest::newRow("no face line")
            << QByteArray(header).replace("face ", "fade ") + record << false << 1 << false;
        QTest::newRow("header torn") << header.chopped(1) << false << 0 << false;
        QTest::newRow("nothing") << QByteArray() << false << 0 << false;
    }
    void manifests() {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(int, records);
        QFETCH(bool, whole);
        ManifestTotals totals;
        const Manifest manifest = ParseManifest(text.toStdString(), true, &totals);
        QCOMPARE(manifest.valid, valid);
        QCOMPARE(int(manifest.records.size()), records);
        QVERIFY2(manifest.damage.empty() == whole, manifest.damage.c_str());
        if (valid) {
            QCOMPARE(manifest.face, UndoFace::CommandLine);
            QCOMPARE(manifest.started, std::string("2025-01-14T09:30:12Z"));
            QCOMPARE(int(totals.records), records);
            QCOMPARE(totals.keptBytes, std::uint64_t(records) * 4096);
            // The totals alone, without the records.
            QVERIFY(ParseManifest(text.toStdString(), false).records.empty());
        }
    }

    void endLines_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("reads");
        const std::string end = EndLine(12, 3400000000);
        QTest::newRow("as written") << QByteArray::fromStdString(end).chopped(1) << true;
        QTest::newRow("a number short") << QByteArray("end 12") << false;
        QTest::newRow("a number too many") << QByteArray("end 12 3400000000 1") << false;
        QTest::newRow("negative") << QByteArray("end -12 3400000000") << false;
        QTest::newRow("a record") << SampleLine() << false;
    }
    void endLines() {
        QFETCH(QByteArray, line);
        QFETCH(bool, reads);
        std::size_t records = 0;
        std::uint64_t bytes = 0;
        QCOMPARE(ParseEndLine(line.toStdString(), records, bytes), reads);
        if (reads)
            QVERIFY(records == 12 && bytes == 3400000000);
    }

    void notKeptLines_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("read");  // "kept: item, item"
        const QByteArray line = QByteArray::fromStdString(
            NotKeptLine("k3", {"security.selinux", "user.a b%", "owner"}));
        QTest::newRow("as written")
            << line << QStringList{"k3: security.selinux, user.a b%, owner"};
        QTest::newRow("torn") << line.chopped(1) << QStringList();
        QTest::newRow("two, one damaged")
            << "k1 group\nk2 %zz\n" + line
            << QStringList{"k1: group", "k3: security.selinux, user.a b%, owner"};
        QTest::newRow("no item") << QByteArray("k1\n") << QStringList();
        QTest::newRow("not a kept file") << QByteArray("../k1 owner\n") << QStringList();
    }
    void notKeptLines() {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, read);
        QStringList got;
        for (const auto &[kept, what] : ParseNotKept(text.toStdString())) {
            QStringList items;
            for (const std::string &item : what)
                items.append(QString::fromStdString(item));
            got.append(QString::fromStdString(kept) + ": " + items.join(", "));
        }
        QCOMPARE(got, read);
    }
};

QTEST_GUILESS_MAIN(UndoManifestTest)
#include "tst_undomanifest.moc"
