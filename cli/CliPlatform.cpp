#include "cli/CliPlatform.h"

#include <QStandardPaths>
#include <QTime>

namespace Cli {

CliPlatform::CliPlatform(std::function<void(const QString &)> report)
    : report_(std::move(report)) {}

void CliPlatform::messageBox(const QString &text, const QString &, Icon, const QString &) {
    // A report is its description, CR LF, then where it happened: the description says it.
    qsizetype end = text.indexOf(u'\r');
    if (const qsizetype lineFeed = text.indexOf(u'\n');
        lineFeed >= 0 && (end < 0 || lineFeed < end))
        end = lineFeed;
    report_(end < 0 ? text : text.left(end));
}

bool CliPlatform::askYesNo(const QString &, const QString &) {
    return false;
}

QString CliPlatform::inputBox(const QString &, const QString &, const QString &) {
    return {};
}

QStringList CliPlatform::openFiles(const QString &, const QString &) {
    return {};
}

QString CliPlatform::browseFolder(const QString &, const QString &) {
    return {};
}

bool CliPlatform::openUrl(const QString &) {
    return false;
}

bool CliPlatform::openFolder(const QString &) {
    return false;
}

QString CliPlatform::desktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

double CliPlatform::secondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void CliPlatform::randomize(double seed) {
    random_.seed(static_cast<std::uint64_t>(seed * 1000.0));
}

double CliPlatform::randomDraw() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

}  // namespace Cli
