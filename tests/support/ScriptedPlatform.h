// A platform that never opens a window: every question is answered from a queue that the
// caller fills beforehand, and everything shown or asked is recorded in order. Tests and the
// benchmarks drive the real window through it.
#pragma once

#include "base/Platform.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

class ScriptedPlatform : public Platform {
public:
    enum class Kind {
        Message,
        Question,
        Input,
        Choice,
        OpenFiles,
        BrowseFolder,
        OpenUrl,
        OpenFolder
    };

    struct Shown {
        Kind kind;
        QString text;   // message, question, prompt; the URL or folder for the open calls
        QString title;  // as the box showed it (the application title when it had none)
        Icon icon = Icon::None;
        QString preset;   // the input box's default answer, the picker's initial folder, a
                          // choice's button
        QString details;  // a message box's detailed text, a choice's columns (tab between)
    };

    // Answers, taken in order. An empty queue answers as the user's Cancel or No would.
    QQueue<QString> inputAnswers;
    QQueue<QStringList> fileAnswers;
    QQueue<QString> folderAnswers;
    QQueue<bool> yesNoAnswers;
    QQueue<int> rowAnswers;      // the rows chosen; empty: cancelled (-1)
    QQueue<double> randomDraws;  // empty: 0.5

    QString desktop = QStringLiteral("/home/user/Desktop");
    double clock = 43200.0;
    bool openSucceeds = true;
    QList<double> seeds;  // every seed given to randomize

    // Called while a box is "open", after it was recorded: lets a test act at that moment.
    std::function<void(const Shown &)> onShown;

    QList<Shown> shown;
    QList<QStringList> choiceRows;  // the rows of the last choice shown

    QList<Shown> shownOfKind(Kind kind) const;
    QStringList messages() const;  // the texts of the message boxes, in order
    QStringList details() const;   // their detailed texts, in the same order
    void clear() { shown.clear(); }

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
    QString desktopFolder() override { return desktop; }
    double secondsSinceMidnight() override { return clock; }
    void randomize(double seed) override { seeds.append(seed); }
    double randomDraw() override;

private:
    void record(Shown entry);
};
