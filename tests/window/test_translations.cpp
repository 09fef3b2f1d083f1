// The window in the other languages: the catalogue is chosen from the locale as the C library
// chooses a language, a translated caption shows, and every caption of the fixed layout fits
// its control in each language (English too).

#include "base/Translations.h"
#include "support/WindowFixture.h"
#include "text/Operations.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTranslator>

namespace {

const QString Catalogues = QStringLiteral(STRELMARK_TRANSLATIONS_DIR);

// The locale's variables, as a session would set them ("" unsets one).
void SetLocale(const char *all, const char *messages, const char *lang, const char *language) {
    const std::pair<const char *, const char *> variables[] = {
        {"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}, {"LANGUAGE", language}};
    for (const auto &[name, value] : variables) {
        if (*value == '\0')
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}

void RemoveCatalogues() {
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        RemoveCatalogues();
        SetLocale("", "", "", "");
    }

    void languageOfTheLocale_data() {
        QTest::addColumn<QByteArray>("all");
        QTest::addColumn<QByteArray>("messages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("nothing set")
            << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QStringList();
        QTest::newRow("C") << QByteArray() << QByteArray() << QByteArray("C") << QByteArray()
                           << QStringList();
        QTest::newRow("English") << QByteArray() << QByteArray() << QByteArray("en_GB.UTF-8")
                                 << QByteArray() << QStringList();
        QTest::newRow("German") << QByteArray() << QByteArray() << QByteArray("de_DE.UTF-8")
                                << QByteArray() << QStringList{"de_DE"};
        QTest::newRow("LC_ALL before LANG")
            << QByteArray("C") << QByteArray() << QByteArray("de_DE.UTF-8") << QByteArray()
            << QStringList();
        QTest::newRow("LC_MESSAGES before LANG")
            << QByteArray() << QByteArray("fr_FR.UTF-8") << QByteArray("de_DE.UTF-8")
            << QByteArray() << QStringList{"fr_FR"};
        QTest::newRow("LANGUAGE first, up to English")
            << QByteArray() << QByteArray() << QByteArray("es_ES.UTF-8@euro")
            << QByteArray("ru:en:de") << QStringList{"ru"};
        QTest::newRow("LANGUAGE not under C")
            << QByteArray() << QByteArray() << QByteArray("C") << QByteArray("de") << QStringList();
    }
    void languageOfTheLocale() {
        QFETCH(QByteArray, all);
        QFETCH(QByteArray, messages);
        QFETCH(QByteArray, lang);
        QFETCH(QByteArray, language);
        QFETCH(QStringList, languages);
        SetLocale(all.constData(), messages.constData(), lang.constData(), language.constData());
        QCOMPARE(Translations::Languages(), languages);
        QCOMPARE(Translations::Install(Catalogues), !languages.isEmpty());
    }

    // Each caption measured against its control with the control's own font: the text, and
    // what the style draws around it, within the control's width.
    void captionsFit_data() {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("startRemoving");
        QTest::newRow("English") << QByteArray("C") << QStringLiteral("Start Removing");
        QTest::newRow("de") << QByteArray("de_DE.UTF-8") << QStringLiteral("Entfernen starten");
        QTest::newRow("fr") << QByteArray("fr_FR.UTF-8") << QStringLiteral("Lancer le retrait");
        QTest::newRow("es") << QByteArray("es_ES.UTF-8") << QStringLiteral("Empezar a quitar");
        QTest::newRow("ru") << QByteArray("ru_RU.UTF-8") << QStringLiteral("Начать удаление");
    }
    void captionsFit() {
        QFETCH(QByteArray, lang);
        QFETCH(QString, startRemoving);
        SetLocale("", "", lang.constData(), "");
        Translations::Install(Catalogues);
        WindowFixture fixture;
        fixture.load();
        QCOMPARE(fixture.control<QPushButton>("PushButton8")->text(), startRemoving);

        auto fits = [](QWidget *control, const QString &text, int needed) {
            if (needed > control->width())
                qWarning("%s: \"%s\" needs %d pixels of %d", qPrintable(control->objectName()),
                         qPrintable(text), needed, control->width());
            return needed <= control->width();
        };
        bool all = true;
        for (QPushButton *button : fixture.form->findChildren<QPushButton *>())
            all &= fits(button, button->text(), button->sizeHint().width());
        for (QRadioButton *option : fixture.form->findChildren<QRadioButton *>())
            all &= fits(option, option->text(), option->sizeHint().width());
        for (QLabel *label : fixture.form->findChildren<QLabel *>())
            all &= fits(label, label->text(), label->sizeHint().width());
        for (QGroupBox *frame : fixture.form->findChildren<QGroupBox *>())
            all &= fits(frame, frame->title(),
                        frame->fontMetrics().horizontalAdvance(frame->title()) + 16);
        auto *chooser = fixture.control<QComboBox>("Combo1");
        QCOMPARE(chooser->count(), 6);
        for (int i = 0; i < chooser->count(); ++i) {
            const QString item = chooser->itemText(i);
            if (lang != "C")
                QVERIFY2(item != Operations::Captions[std::size_t(i)], qPrintable(item));
            all &= fits(chooser, item, chooser->fontMetrics().horizontalAdvance(item) + 32);
        }
        auto *progress = fixture.control<QProgressBar>("ProgressBar1");
        all &= fits(progress, progress->text(),
                    progress->fontMetrics().horizontalAdvance(progress->text()));
        QVERIFY(all);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
