#include "QtPlatform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTime>
#include <QUrl>

namespace {

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
    if (!details.isEmpty())
        box.setDetailedText(forDisplay(details));  // with its "Show Details..." button
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
