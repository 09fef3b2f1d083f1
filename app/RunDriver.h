// "Start Removing": checks what the user gave, then runs the chosen operation over every file
// of the list, top to bottom, writing one result per file.
//
// The run talks to the window only through RunWindow. It reads the window's values again for
// each file, and the condition text and the chooser's text again after every yield that ran,
// so a change the user makes while the run works takes effect from the next file or line.
//
// Results are put in place in groups (CommitQueue), and the run keeps the order that writing
// each one at once would show: the results waiting are put in place before a later row reads or
// writes a file that one of them goes to, before a report about a later file, before "Done.",
// and, when the window is closed during the run, before the run ends (the file in progress is
// dropped). A result that cannot be put in place is reported for its own file, at step 222.
#pragma once

#include "base/Window.h"
#include "files/ReplacementJournal.h"
#include "undo/UndoSummary.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

namespace Operations {
struct CodePage;
struct MatchOptions;
}  // namespace Operations

class Guard;
class QAbstractItemModel;
class RunSummary;
class Settings;

class RunWindow : public WindowServices {
public:
    // The file list: the number of rows, and the text of row `row` (0-based).
    virtual int rowCount() const = 0;
    virtual QString rowText(int row) const = 0;
    // The same rows as a model, whose signals tell the run where rows came and went while it
    // yielded.
    virtual const QAbstractItemModel &rowModel() const = 0;
    // What the folder searches that filled the list passed over ("reason: path"), for the
    // "Done." to list. None by default.
    virtual QStringList skippedRows() const { return {}; }

    virtual QString chooserText() const = 0;       // the operation's caption (Combo1)
    virtual QString conditionText() const = 0;     // the condition (Text1)
    virtual QString conditionCaption() const = 0;  // its label (Label1)
    virtual QString outputFolderText() const = 0;  // the output folder (Text2)
    virtual bool savesToFolder() const = 0;        // "Save results to this folder:" (Option1)
    virtual bool savesBesideOriginal() const = 0;  // "... in folder of original file" (Option2)

    virtual void setProgressValue(double percent) = 0;
    virtual void setProgressText(const QString &text) = 0;

    // The record of what one run replaces (the undo store's), asked for when a run starts its
    // work and dropped when it ends: each group of results is recorded in it before it is put
    // in place. `what` is what the run was asked to do. None by default.
    virtual std::unique_ptr<ReplacementJournal> startRunJournal(const UndoRunWhat &what) {
        Q_UNUSED(what);
        return nullptr;
    }
    // The last line of a run's summary, on taking the run back: `recorded` when the run's
    // journal recorded files it replaced or created, `wrote` when the run put any result in
    // place. Empty by default (nothing said).
    virtual QString undoNote(bool recorded, bool wrote) const {
        Q_UNUSED(recorded);
        Q_UNUSED(wrote);
        return {};
    }
    // What a run did, once it has ended and before its "Done." is shown. Nothing by default.
    virtual void runFinished(const RunSummary &summary) { Q_UNUSED(summary); }
};

namespace RunDriver {

// The setting "Keep each file's line ends" ("True" or "False", absent: "False"), read for each
// file of a run. Off, results are written as always: kept lines joined by CR LF, no line end
// after the last.
inline const QString KeepLineEndsKey = QStringLiteral("KeepLineEnds");
// The stored choice; anything that is no truth value counts as off.
bool KeepsLineEnds(const Settings &settings);
// A choice of the list menu stored under `key` ("True" or "False"; absent, or anything that
// is no truth value: off).
bool StoredChoice(const Settings &settings, const QString &key);

// The setting "Other files are in": the name of the code page that lines which are not UTF-8
// are read in, in files that name none ("windows-1251"), read for each file of a run. Absent,
// or a name that no page has: Windows-1252.
inline const QString LegacyCodePageKey = QStringLiteral("LegacyCodePage");
// The stored choice.
const Operations::CodePage &LegacyCodePage(const Settings &settings);

// The settings "Match case", "Whole words" and "Regular expression" ("True" or "False",
// absent: "False"), read when a run or a preview starts: how the condition text is matched.
inline const QString MatchCaseKey = QStringLiteral("MatchCase");
inline const QString WholeWordsKey = QStringLiteral("WholeWords");
inline const QString RegularExpressionKey = QStringLiteral("RegularExpression");
// The stored choices; anything that is no truth value counts as off.
Operations::MatchOptions MatchOptionsOf(const Settings &settings);

// The command behind "Start Removing" (PushButton8_Click). Its "Done." comes with a summary
// as the box's details: the files written, unchanged (not rewritten), with an empty result
// (not written) and failed (each with its reason and path), the output names written more than
// once, where the run stopped when the user stopped it, and the window's undo note. A condition
// that does not compile as the options say is refused with the library's message before
// anything is touched.
// `lineNumber`, when given, is the line number to remove, instead of asking for it.
void StartRemoving(RunWindow &window, std::optional<long long> lineNumber = std::nullopt);

// The checks before a run, steps 100 to 118 of `guard`'s procedure, with their messages: the
// line number to remove (0 for the operations that take none), or nothing when a check ended
// the command. With `lineNumber` given, it is not asked for.
std::optional<long long> CheckInput(RunWindow &window, Guard &guard,
                                    std::optional<long long> lineNumber = std::nullopt);

// The command-line name of the operation that the chooser's text runs ("lines-containing").
std::string OperationName(const QString &chooserText);

}  // namespace RunDriver
