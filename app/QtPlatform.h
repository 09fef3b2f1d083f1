// The real platform: Qt's dialogs, the desktop services, the system clock and a seeded
// random source.
#pragma once

#include "base/Platform.h"

#include <QPointer>
#include <QWidget>

#include <random>

class QtPlatform : public Platform {
public:
    // Boxes and dialogs are modal to the owner window.
    void setOwner(QWidget *owner) { owner_ = owner; }

    void messageBox(const QString &text, const QString &title, Icon icon,
                    const QString &details) override;
    bool askYesNo(const QString &text, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultAnswer) override;
    int chooseRow(const QString &prompt, const QStringList &columns, const QList<QStringList> &rows,
                  const QString &accept, const QString &title) override;
    QStringList openFiles(const QString &title, const QString &filter) override;
    QString browseFolder(const QString &prompt, const QString &initialFolder) override;
    bool openUrl(const QString &url) override;
    bool openFolder(const QString &path) override;
    QString desktopFolder() override;
    double secondsSinceMidnight() override;
    void randomize(double seed) override;
    double randomDraw() override;

private:
    QPointer<QWidget> owner_;
    std::mt19937_64 random_{std::random_device{}()};
};
