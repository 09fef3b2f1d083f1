// Draws the preview window and the summary of a run into PNG pictures, to look at them as users
// see them: the real window and preview over a small site of sample pages, and the summary
// shown by the real platform's message box with its details open.
//
//   review_shot [--dark] [--characters] OUTDIR
//
// writes OUTDIR/preview.png (the preview, the second file selected) and OUTDIR/summary.png (the
// "Done." box of a run over the same pages, "Show Details..." pressed). --characters previews
// "Remove those characters" instead of "Remove all lines containing those characters".

#include "app/PreviewDialog.h"
#include "app/QtPlatform.h"
#include "base/Translations.h"
#include "filelist/FileListModel.h"
#include "support/DarkPalette.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QByteArray Page(const QByteArray &title, const QByteArray &body, bool refresh) {
    QByteArray page =
        "<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n";
    if (refresh)
        page += "<meta http-equiv=\"refresh\" content=\"30\">\r\n";
    page += "<title>" + title + " – Brindlewick</title>\r\n";
    page += "<link rel=\"stylesheet\" href=\"site.css\">\r\n";
    if (refresh)
        page += "<META HTTP-EQUIV=\"Pragma\" CONTENT=\"no-cache\">\r\n";
    page += "</head>\r\n<body>\r\n<h1>" + title + "</h1>\r\n" + body +
            "<script src=\"counter.js\"></script>\r\n</body>\r\n</html>\r\n";
    return page;
}

}  // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    // In the language of the locale, as the program shows itself (LANG=de_DE.UTF-8 ...).
    Translations::Install(QStringLiteral(STRELMARK_TRANSLATIONS_DIR));
    QStringList arguments = QApplication::arguments().mid(1);
    const bool dark = arguments.removeAll(QStringLiteral("--dark")) > 0;
    const bool characters = arguments.removeAll(QStringLiteral("--characters")) > 0;
    if (arguments.size() != 1 || arguments.first().startsWith(u'-')) {
        std::fputs("usage: review_shot [--dark] [--characters] OUTDIR\n", stderr);
        return 2;
    }
    const QString outDir = arguments.first();
    QDir().mkpath(outDir);

    QApplication::setStyle(QStringLiteral("Fusion"));
    if (dark)
        QApplication::setPalette(DarkPalette());
    if (qEnvironmentVariableIsEmpty("STRELMARK_RESOURCES"))
        qputenv("STRELMARK_RESOURCES", STRELMARK_SOURCE_RESOURCES);

    WindowFixture fixture;
    const QString site = fixture.root() + QStringLiteral("/site");
    const QString out = fixture.root() + QStringLiteral("/out");
    QDir().mkpath(out);
    QStringList rows;
    auto page = [&](const QString &name, const QByteArray &content) {
        rows.append(site + u'/' + name);
        TestFiles::Write(rows.last(), content);
    };
    page(QStringLiteral("index.htm"),
         Page("Welcome", "<p>Spring opening hours: 9 to 17.</p>\r\n", true));
    page(QStringLiteral("news.htm"),
         Page("News",
              "<p>The new <b>caf\xC3\xA9</b> opens on Monday.</p>\r\n<p>Counter: "
              "<span id=\"count\"></span></p>\r\n<p>Read more in the archive.</p>\r\n",
              true));
    page(QStringLiteral("contact.htm"), Page("Contact", "<p>Write to us.</p>\r\n", false));
    TestFiles::Write(out + QStringLiteral("/contact.htm"),
                     Page("Contact", "<p>Write to us.</p>\r\n", false).chopped(2));
    page(QStringLiteral("old/legacy.htm"),
         "<html>\r\n<meta http-equiv=\"content-type\" content=\"text/html; "
         "charset=iso-8859-1\">\r\n<p>Caf\xE9 cr\xE8me</p>\r\n</html>");
    page(QStringLiteral("empty.htm"), "<meta http-equiv=\"refresh\" content=\"0\">");
    rows.append(site + QStringLiteral("/missing.htm"));
    page(QStringLiteral("gallery/about.htm"),
         Page("About the gallery", "<p>Photos.</p>\r\n", true));
    page(QStringLiteral("shop/about.htm"), Page("About the shop", "<p>Prices.</p>\r\n", true));

    Form1 &form = fixture.load();
    form.fileList->append(rows);
    form.Combo1->setCurrentIndex(characters ? 2 : 0);
    form.Text1->setText(characters ? QStringLiteral("counter") : QStringLiteral("meta http"));
    form.Text2->setText(out + u'/');
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;

    form.Preview_Click();
    PreviewDialog *preview = form.previewDialog();
    if (!preview)
        return 1;
    preview->selectRow(1);
    QTest::qWait(100);
    if (!preview->grab().save(outDir + QStringLiteral("/preview.png")))
        return 1;
    preview->close();

    // The run, then its "Done." shown by the real platform, details open.
    form.PushButton8->click();
    const QString details = fixture.platform.details().last();
    QtPlatform real;
    real.setApplicationTitle(fixture.platform.applicationTitle());
    real.setOwner(&form);
    bool saved = false;
    QTimer::singleShot(200, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                button->click();  // "Show Details..."
        }
        QTimer::singleShot(200, [&, box] {
            saved = box->grab().save(outDir + QStringLiteral("/summary.png"));
            box->accept();
        });
    });
    real.messageBox(QCoreApplication::translate("RunDriver", "Done."), QString(),
                    Platform::Icon::None, details);
    if (!saved)
        return 1;

    // "Undo Runs..." after a second run, its list shown by the real platform.
    form.Text1->setText(QStringLiteral("<p>"));
    form.PushButton8->click();
    bool listed = false;
    fixture.platform.onShown = [&](const ScriptedPlatform::Shown &shown) {
        if (shown.kind != ScriptedPlatform::Kind::Choice)
            return;
        QTimer::singleShot(300, [&] {
            if (QWidget *list = QApplication::activeModalWidget()) {
                listed = list->grab().save(outDir + QStringLiteral("/runs.png"));
                list->close();
            }
        });
        real.chooseRow(shown.text, shown.details.split(u'\t'), fixture.platform.choiceRows,
                       shown.preset, shown.title);
    };
    form.UndoRuns_Click();
    return listed ? 0 : 1;
}
