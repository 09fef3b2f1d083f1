// The platform seam: every way the program talks to the user or the desktop outside its own
// window goes through here. QtPlatform shows real dialogs; ScriptedPlatform answers from
// queues and records what was asked, for tests and benchmarks.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Platform {
public:
    enum class Icon { None, Warning };

    virtual ~Platform() = default;

    // The title of every box that is given none of its own.
    void setApplicationTitle(const QString &title) { applicationTitle_ = title; }
    const QString &applicationTitle() const { return applicationTitle_; }

    // A modal box with an OK button. An empty title means the application title. `details`,
    // when given, is a longer text that the box keeps folded away until the user asks for it
    // ("Show Details...").
    virtual void messageBox(const QString &text, const QString &title = {}, Icon icon = Icon::None,
                            const QString &details = {}) = 0;
    // A modal question with Yes and No buttons and no icon; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title = {}) = 0;
    // A modal input box; Cancel gives the empty text.
    virtual QString inputBox(const QString &prompt, const QString &title,
                             const QString &defaultAnswer) = 0;
    // A modal list to choose one row from: the prompt above it, the columns' titles, the rows
    // (one text per column each) and the caption of the button that takes the chosen row. The
    // chosen row (from 0), or -1 on cancel.
    virtual int chooseRow(const QString &prompt, const QStringList &columns,
                          const QList<QStringList> &rows, const QString &accept,
                          const QString &title = {}) = 0;
    // The file-open dialog with multiple selection; full paths in the dialog's order, none on
    // cancel.
    virtual QStringList openFiles(const QString &title, const QString &filter) = 0;
    // The folder picker; the chosen folder without a trailing separator (the root keeps its
    // own), or the empty text on cancel.
    virtual QString browseFolder(const QString &prompt, const QString &initialFolder) = 0;
    // Opens a web address in the browser; false when nothing could be started.
    virtual bool openUrl(const QString &url) = 0;
    // Opens a folder in the desktop's file browser; false when nothing could be started.
    virtual bool openFolder(const QString &path) = 0;
    // The user's desktop folder without a trailing separator; empty when it cannot be found.
    virtual QString desktopFolder() = 0;
    // The clock: seconds since midnight, local time.
    virtual double secondsSinceMidnight() = 0;
    // The random draw: seeds the source, then draws uniformly from [0, 1).
    virtual void randomize(double seed) = 0;
    virtual double randomDraw() = 0;

protected:
    // The title a box shows: its own, or else the application title.
    QString titleOrDefault(const QString &title) const {
        return title.isEmpty() ? applicationTitle_ : title;
    }

private:
    QString applicationTitle_;
};
