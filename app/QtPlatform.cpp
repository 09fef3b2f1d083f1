#include "app/QtPlatform.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTime>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The least width of a box with details, in pixels.
constexpr int DetailsWidth = 600;
// The most lines the details show without scrolling.
constexpr int DetailsLines = 16;

// The program's texts separate lines with CR LF or a lone CR; Qt's boxes break at LF.
QString forDisplay(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

}  // namespace

void QtPlatform::messageBox(const QString &text, const QString &title, Icon icon,
                            const QString &details) {
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    titleOrDefault(title), forDisplay(text), QMessageBox::Ok, owner_);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) {
        box.setDetailedText(forDisplay(details));  // with its "Show Details..." button
        // The box is as wide as its text needs ("Done."); the details list paths, which need
        // more room than that.
        if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
            grid->addItem(
                new QSpacerItem(DetailsWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
        // Tall enough for a summary's lines without scrolling, up to a point.
        if (auto *lines = box.findChild<QTextEdit *>()) {
            const QFontMetrics metrics = lines->fontMetrics();
            const int room = DetailsWidth - 4 * metrics.averageCharWidth();
            int shown = 0;  // lines on the screen, those that wrap counted for each part
            for (const QString &line : forDisplay(details).split(u'\n'))
                shown += 1 + metrics.horizontalAdvance(line) / std::max(room, 1);
            shown = std::min(shown, DetailsLines);
            lines->setFixedHeight(shown * metrics.lineSpacing() +
                                  2 * int(lines->document()->documentMargin()) +
                                  2 * lines->frameWidth());
        }
    }
    box.exec();
}

bool QtPlatform::askYesNo(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, titleOrDefault(title), forDisplay(text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

QString QtPlatform::inputBox(const QString &prompt, const QString &title,
                             const QString &defaultAnswer) {
    bool ok = false;
    const QString answer = QInputDialog::getText(owner_, titleOrDefault(title), forDisplay(prompt),
                                                 QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

int QtPlatform::chooseRow(const QString &prompt, const QStringList &columns,
                          const QList<QStringList> &rows, const QString &accept,
                          const QString &title) {
    QDialog dialog(owner_);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.resize(820, 360);
    auto *label = new QLabel(forDisplay(prompt), &dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    auto *list = new QTreeWidget(&dialog);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setTextElideMode(Qt::ElideMiddle);
    list->setHeaderLabels(columns);
    for (const QStringList &row : rows) {
        auto *item = new QTreeWidgetItem(list, row);
        for (int column = 0; column < row.size(); ++column)
            item->setToolTip(column, row[column]);
    }
    list->header()->resizeSections(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    QPushButton *take = buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    take->setEnabled(false);
    QObject::connect(list, &QTreeWidget::currentItemChanged, take,
                     [take](QTreeWidgetItem *item) { take->setEnabled(item != nullptr); });
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return -1;
    return list->indexOfTopLevelItem(list->currentItem());
}

QStringList QtPlatform::openFiles(const QString &title, const QString &filter) {
    return QFileDialog::getOpenFileNames(owner_, title, QString(), filter);
}

QString QtPlatform::browseFolder(const QString &prompt, const QString &initialFolder) {
    return QFileDialog::getExistingDirectory(owner_, prompt, initialFolder);
}

bool QtPlatform::openUrl(const QString &url) {
    return QDesktopServices::openUrl(QUrl(url));
}

bool QtPlatform::openFolder(const QString &path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString QtPlatform::desktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

double QtPlatform::secondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void QtPlatform::randomize(double seed) {
    random_.seed(static_cast<std::uint64_t>(seed * 1000.0));
}

double QtPlatform::randomDraw() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}
