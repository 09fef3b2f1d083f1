// The sample pages: the list recorded at the first start, the command that loads them, and the
// transform the list is stored with.

#include "support/DuringEachPump.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include "base/ErrorReport.h"
#include "filelist/FileListModel.h"
#include "samples/SampleFiles.h"
#include "samples/Scramble.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Kind = ScriptedPlatform::Kind;

namespace {

QString sampleFolder(const WindowFixture &fixture) {
    return fixture.programFolder() + QStringLiteral("/Samples/");
}

void writeSamples(const WindowFixture &fixture, const QStringList &names) {
    for (const QString &name : names)
        TestFiles::Write(sampleFolder(fixture) + name,
                         "<html><head><meta http-equiv=\"Content-Type\"></head></html>\r\n");
}

// The stored list, unscrambled by hand: the paths joined as the store keeps them.
QString recordedText(const WindowFixture &fixture) {
    const QByteArray stored = fixture.stored(Samples::SnapshotKey).toLatin1();
    return QString::fromUtf8(Samples::UnscrambleText(stored, Samples::ScrambleKey));
}

QStringList rows(const Form1 &form) {
    return TestFiles::Rows(*form.fileList);
}

QByteArray everyCode() {
    QByteArray text;
    for (int code = 1; code <= 255; ++code)
        text.append(static_cast<char>(code));
    return text;
}

}  // namespace

class SamplesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { EventPump::Reset(); }

    // ---- The transform ----------------------------------------------------------------------

    void scrambleKnownValues_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("empty") << QByteArray() << QByteArray(Samples::ScrambleKey) << QByteArray();
        // Code 1 plus each key letter; the ninth character takes the first letter again.
        QTest::newRow("key wraps after its eighth letter")
            << QByteArray(9, '\x01') << QByteArray(Samples::ScrambleKey) << QByteArray("qmvncbhpq");
        QTest::newRow("a sum of 255 stays 255")
            << QByteArray("\x8f") << QByteArray("p") << QByteArray("\xff");
        QTest::newRow("a sum of 256 becomes 1")
            << QByteArray("\x90") << QByteArray("p") << QByteArray("\x01");
        QTest::newRow("code 255") << QByteArray("\xff") << QByteArray("p") << QByteArray("p");
        QTest::newRow("one-letter key wraps every character")
            << QByteArray("ab") << QByteArray("a") << QByteArray("\xc2\xc3");
    }
    void scrambleKnownValues() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, scrambled);
        QCOMPARE(Samples::ScrambleText(text, key), scrambled);
        QCOMPARE(Samples::UnscrambleText(scrambled, key), text);
    }

    void everyCodeRoundTrips_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("passes");  // over the codes 1 to 255
        // 255 and 8 share no factor, so in 8 passes every code meets every key position.
        QTest::newRow("our key") << QByteArray(Samples::ScrambleKey) << 8;
        QTest::newRow("highest letters") << QByteArray("zzzzzzzz") << 8;
        QTest::newRow("lowest letters") << QByteArray("aaaaaaaa") << 8;
        QTest::newRow("beyond a 16-bit count") << QByteArray(Samples::ScrambleKey) << 200;
    }
    void everyCodeRoundTrips() {
        QFETCH(QByteArray, key);
        QFETCH(int, passes);
        const QByteArray text = everyCode().repeated(passes);
        const QByteArray scrambled = Samples::ScrambleText(text, key);
        QCOMPARE(scrambled.size(), text.size());
        QVERIFY(!scrambled.contains('\0'));  // nothing the store could lose
        QCOMPARE(Samples::UnscrambleText(scrambled, key), text);
    }

    void eachCharacterLetsEventsRun() {
        EventPump::SetInterval(std::chrono::nanoseconds(0));
        const DuringEachPump pumps([] {});
        const QByteArray scrambled = Samples::ScrambleText("/opt/strelmark", Samples::ScrambleKey);
        QCOMPARE(pumps.passes(), 14);
        Samples::UnscrambleText(scrambled, Samples::ScrambleKey);
        QCOMPARE(pumps.passes(), 28);
    }

    // What the store writes must come back character for character, whatever the scramble
    // made of the paths.
    void storeKeepsEveryCode_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("codes 1 to 255") << QString::fromLatin1(everyCode());
        QTest::newRow("leading @") << QStringLiteral("@Variant(x), \"y\"; z");
        QTest::newRow("commas and blanks") << QStringLiteral(" a, b ,c ");
        QTest::newRow("line ends and backslashes") << QStringLiteral("a\r\nb\\n\\");
    }
    void storeKeepsEveryCode() {
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Brindlewick.ini"));
        Settings(ini).save(Samples::SnapshotKey, value);
        QCOMPARE(Settings(ini).get(Samples::SnapshotKey, QStringLiteral("absent")), value);
    }

    void pathsComeBackFromTheStore_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("none") << QStringList();
        QTest::newRow("one") << QStringList{"/opt/strelmark/Samples/index.htm"};
        QTest::newRow("Latin-1 letters")
            << QStringList{"/opt/Strelmärk/Samples/café.htm", "/opt/Strelmärk/Samples/menu.html"};
        QTest::newRow("beyond Latin-1")
            << QStringList{"/home/Δ/日本語/Samples/ページ.htm", "/home/Δ/😀/Samples/a.htm"};
        QStringList many;
        for (int i = 0; i < 2000; ++i)
            many.append(
                QStringLiteral("/srv/strelmark/Samples/page%1.htm").arg(i, 4, 10, QChar(u'0')));
        QTest::newRow("far more than 32,767 characters") << many;
    }
    void pathsComeBackFromTheStore() {
        QFETCH(QStringList, paths);
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Brindlewick.ini"));
        Settings(ini).save(Samples::SnapshotKey, Samples::SnapshotOf(paths));
        QCOMPARE(Samples::PathsOf(Settings(ini).get(Samples::SnapshotKey, {})), paths);
    }

    void handEditedSnapshotLoadsNothing() {
        WindowFixture fixture;
        writeSamples(fixture, {"a.htm"});
        fixture.store(Samples::SnapshotKey, QStringLiteral("日本語||\x7f|"));
        Form1 &form = fixture.load();
        form.PushButton3->click();
        QCOMPARE(form.fileList->count(), 0);
        QVERIFY(fixture.platform.messages().isEmpty());
        QCOMPARE(fixture.platform.shownOfKind(Kind::Question).size(), 1);
    }

    // ---- Recording at the first start -------------------------------------------------------

    void firstStartRecordsTheSampleFolder_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("recorded");  // in the listing's order
        QTest::newRow("three files") << QStringList{"menu.html", "index.htm", "contact.htm"}
                                     << QStringList{"contact.htm", "index.htm", "menu.html"};
        QTest::newRow("one file") << QStringList{"index.htm"} << QStringList{"index.htm"};
        QTest::newRow("hidden file and sub-folder")
            << QStringList{".hidden.htm", "b.htm", "old/a.htm"}
            << QStringList{".hidden.htm", "b.htm"};
        QTest::newRow("names beyond Latin-1")
            << QStringList{"café.htm", "日本.htm"} << QStringList{"café.htm", "日本.htm"};
    }
    void firstStartRecordsTheSampleFolder() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, recorded);
        WindowFixture fixture;
        writeSamples(fixture, names);
        fixture.load();

        QStringList paths;
        for (const QString &name : recorded)
            paths.append(sampleFolder(fixture) + name);
        QCOMPARE(recordedText(fixture), paths.join(u'|'));  // no "|" after the last
        QVERIFY(fixture.platform.messages().isEmpty());

        // And the command finds every one of them again.
        fixture.form->PushButton3->click();
        QCOMPARE(rows(*fixture.form), paths);
    }

    void noSampleFolderIsRecordedAtTheNextStart() {
        WindowFixture fixture;
        fixture.load();
        QVERIFY(fixture.isStored(Samples::SnapshotKey));
        QCOMPARE(fixture.stored(Samples::SnapshotKey), QString());
        fixture.form->PushButton3->click();
        QCOMPARE(fixture.form->fileList->count(), 0);
        QCOMPARE(fixture.platform.shownOfKind(Kind::Question).size(), 1);  // asked all the same

        writeSamples(fixture, {"a.htm", "b.htm"});
        fixture.form.reset();
        fixture.load();  // the next start
        QCOMPARE(recordedText(fixture), sampleFolder(fixture) + QStringLiteral("a.htm|") +
                                            sampleFolder(fixture) + QStringLiteral("b.htm"));
    }

    void theListIsRecordedOnlyOnce() {
        WindowFixture fixture;
        writeSamples(fixture, {"a.htm", "b.htm"});
        fixture.load();
        const QString first = fixture.stored(Samples::SnapshotKey);

        writeSamples(fixture, {"c.htm"});                         // added after the first start
        QVERIFY(QFile::remove(sampleFolder(fixture) + "a.htm"));  // and one recorded is gone
        fixture.form.reset();
        Form1 &form = fixture.load();  // the next start
        QCOMPARE(fixture.stored(Samples::SnapshotKey), first);

        form.PushButton3->click();
        QCOMPARE(rows(form), QStringList{sampleFolder(fixture) + "b.htm"});
        QVERIFY(fixture.platform.messages().isEmpty());  // skipped without a word
    }

    // ---- The command ------------------------------------------------------------------------

    void pressingTwiceAddsEachOnceAndAsksTwice() {
        WindowFixture fixture;
        writeSamples(fixture, {"a.htm", "b.htm", "c.htm"});
        Form1 &form = fixture.load();
        form.Text1->setText(QStringLiteral("something else"));
        fixture.platform.yesNoAnswers.enqueue(false);
        fixture.platform.yesNoAnswers.enqueue(true);

        form.PushButton3->click();
        QCOMPARE(form.fileList->count(), 3);
        QVERIFY(fixture.platform.shownOfKind(Kind::OpenFolder).isEmpty());  // No: nothing opens
        form.PushButton3->click();
        QCOMPARE(form.fileList->count(), 3);

        const auto questions = fixture.platform.shownOfKind(Kind::Question);
        QCOMPARE(questions.size(), 2);
        for (const auto &question : questions) {
            QCOMPARE(question.text, Samples::OpenFolderQuestion);
            QCOMPARE(question.title, fixture.platform.applicationTitle());
        }
        QVERIFY(!fixture.platform.applicationTitle().isEmpty());
        QCOMPARE(Samples::OpenFolderQuestion,
                 QStringLiteral("Would you like this software to open the folder where these "
                                "sample files are stored (so that you can view them before "
                                "working with them)?"));

        const auto opened = fixture.platform.shownOfKind(Kind::OpenFolder);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().text, sampleFolder(fixture));

        QCOMPARE(form.Text1->text(), QStringLiteral("meta http"));
        QCOMPARE(fixture.stored(QStringLiteral("Text1")), QStringLiteral("meta http"));
        QVERIFY(fixture.platform.messages().isEmpty());
    }

    void onlyAnExactRowCountsAsListed_data() {
        QTest::addColumn<QString>("listed");  // the program folder stands for {P}
        QTest::addColumn<bool>("added");
        QTest::newRow("the same path") << "{P}/Samples/a.htm" << false;
        QTest::newRow("other letter case") << "{P}/samples/A.htm" << true;
        QTest::newRow("a blank more") << "{P}/Samples/a.htm " << true;
        QTest::newRow("a doubled separator") << "{P}/Samples//a.htm" << true;
    }
    void onlyAnExactRowCountsAsListed() {
        QFETCH(QString, listed);
        QFETCH(bool, added);
        WindowFixture fixture;
        writeSamples(fixture, {"a.htm"});
        Form1 &form = fixture.load();
        listed.replace(QStringLiteral("{P}"), fixture.programFolder());
        form.fileList->append(listed);

        form.PushButton3->click();
        QStringList expected{listed};
        if (added)
            expected.append(sampleFolder(fixture) + QStringLiteral("a.htm"));
        QCOMPARE(rows(form), expected);
    }

    void aFailureIsReportedAndTheConditionStillSet() {
        WindowFixture fixture;
        writeSamples(fixture, {"a.htm"});
        Form1 &form = fixture.load();
        fixture.platform.onShown = [](const ScriptedPlatform::Shown &shown) {
            if (shown.kind == Kind::Question)
                throw AppError(QStringLiteral("Permission denied"));
        };
        form.PushButton3->click();
        fixture.platform.onShown = nullptr;

        QCOMPARE(fixture.platform.messages(),
                 QStringList{UnexpectedErrorText(QStringLiteral("Permission denied"),
                                                 Location::form1("PushButton3_Click"), 100)});
        QCOMPARE(form.fileList->count(), 1);  // what was added before the failure stays
        QCOMPARE(form.Text1->text(), QStringLiteral("meta http"));
    }

    // The pages that come with the program.
    void shippedSamplesAreRecordedAndLoaded() {
        const QDir shipped(QString::fromLocal8Bit(qgetenv("STRELMARK_RESOURCES")) +
                           QStringLiteral("/Samples"));
        const QStringList names = shipped.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QVERIFY(names.size() >= 6);
        WindowFixture fixture;
        for (const QString &name : names)
            WindowFixture::copy(shipped.filePath(name), sampleFolder(fixture) + name);
        Form1 &form = fixture.load();
        form.PushButton3->click();
        QCOMPARE(form.fileList->count(), names.size());
    }
};

QTEST_MAIN(SamplesTest)
#include "test_samples.moc"
