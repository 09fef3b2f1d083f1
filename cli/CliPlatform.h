// The platform seam for the command line: there is nobody to show a box to or to ask. What the
// shared code would show in a box (a report of the folder walk) goes to the callback, one line,
// and every question is answered as Cancel would answer it.
#pragma once

#include "base/Platform.h"

#include <functional>
#include <random>

namespace Cli {

class CliPlatform : public Platform {
public:
    // `report` receives the first line of each message: a report's description.
    explicit CliPlatform(std::function<void(const QString &)> report);

    void messageBox(const QString &text, const QString &title, Icon icon,
                    const QString &details) override;
    bool askYesNo(const QString &text, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultAnswer) override;
    QStringList openFiles(const QString &title, const QString &filter) override;
    QString browseFolder(const QString &prompt, const QString &initialFolder) override;
    bool openUrl(const QString &url) override;
    bool openFolder(const QString &path) override;
    QString desktopFolder() override;
    double secondsSinceMidnight() override;
    void randomize(double seed) override;
    double randomDraw() override;

private:
    std::function<void(const QString &)> report_;
    std::mt19937_64 random_;
};

}  // namespace Cli
