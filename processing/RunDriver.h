// "Start Removing": checks what the user gave, then runs the chosen operation over every file
// of the list, top to bottom, writing one result per file.
//
// The run talks to the window only through RunWindow. It reads the window's values again for
// each file, and the condition text and the chooser's text again after every yield that ran,
// so a change the user makes while the run works takes effect from the next file or line.
#pragma once

#include "Window.h"

#include <QString>

class QAbstractItemModel;

class RunWindow : public WindowServices {
public:
    // The file list: the number of rows, and the text of row `row` (0-based).
    virtual int rowCount() const = 0;
    virtual QString rowText(int row) const = 0;
    // The same rows as a model, whose signals tell the run where rows came and went while it
    // yielded.
    virtual const QAbstractItemModel &rowModel() const = 0;

    virtual QString chooserText() const = 0;       // the operation's caption (Combo1)
    virtual QString conditionText() const = 0;     // the condition (Text1)
    virtual QString conditionCaption() const = 0;  // its label (Label1)
    virtual QString outputFolderText() const = 0;  // the output folder (Text2)
    virtual bool savesToFolder() const = 0;        // "Save results to this folder:" (Option1)
    virtual bool savesBesideOriginal() const = 0;  // "... in folder of original file" (Option2)

    virtual void setProgressValue(double percent) = 0;
    virtual void setProgressText(const QString &text) = 0;
};

namespace RunDriver {

// The command behind "Start Removing" (PushButton8_Click).
void StartRemoving(RunWindow &window);

// The line that "Remove line number n in all files" removes for the answer typed at its
// prompt: any number, rounded half to even; 0 (no line) for an answer that is no number or
// lies beyond every line a file can have.
long long LineNumberFromAnswer(const QString &answer);

}  // namespace RunDriver
