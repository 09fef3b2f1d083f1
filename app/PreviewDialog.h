// "Preview": what "Start Removing" would do with the window's values as they are now, found by
// the run's own work on each file with the writer replaced by one that writes nothing.
//
// The dialog is the main window's child but not modal: the window stays usable beside it. It
// works through the rows as a run does, one file after another, letting the window's events
// run as often as a run does, and shows each row as soon as it is known: the file, what would
// be removed from it (lines, or characters for the two operations that remove characters),
// and what would happen. Closing it ends the work at its next yield; so does the main window's
// Escape ("Stop").
// It is the run's own engine, dry (Engine::RunSequential): the same outcomes as the run and the
// command line's --dry-run, the same answer about a row whose file an earlier row writes.
// "Apply" hands the rows left ticked to the window, which runs them as "Start Removing" does.
//
// Selecting a row shows that file's lines from a few before its first change on, up to a limit,
// with the removed parts on a tinted background in another colour, both taken from the
// palette, so that every character stays readable. The
// marks come from the operation loops themselves (Engine::MarkFile), run once more over the
// file. A decoded file (UTF-16, ...) shows its lines decoded; lines that are not UTF-8 show in
// the file's code page, as the matching reads them. A binary file is a row of its own and shows
// no lines.
#pragma once

#include "engine/Outcome.h"
#include "text/Matcher.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Operations {
struct CodePage;
}

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

class PreviewDialog : public QDialog {
    Q_OBJECT

public:
    // What would become of one row: the run's outcome (Changed is "written"), and how it meets
    // an earlier row's result (a row whose input an earlier row writes: the run would read that
    // row's result, which nothing has written yet).
    struct Row {
        QString input;
        QString output;
        Engine::Outcome outcome = Engine::Outcome::Changed;
        Engine::Relation relation = Engine::Relation::None;
        int earlierRow = 0;  // with a relation: that row's number (from 1)
        std::uint64_t linesRemoved = 0;
        std::uint64_t charactersRemoved = 0;
        QString reason;  // the failures: the reason and the path
        // Written with every line as it was: only its line ends change (CR LF between the
        // lines, none after the last).
        bool lineEndsOnly = false;
    };
    // The work, with the window's values when the preview began.
    struct Job {
        QStringList inputs;  // the rows, top to bottom
        QString chooserText;
        QString conditionText;
        bool toFolder = true;  // else in place
        QString outputFolder;  // the output folder's text
        long long lineNumber = 0;
        bool keepLineEnds = false;
        const Operations::CodePage *legacyPage = nullptr;  // "Other files are in"
        Operations::MatchOptions match;                    // "Match case", ...
        // The condition compiled with them (Engine::PrepareMatcher); null: the literal text.
        std::shared_ptr<const Operations::Matcher> matcher;
    };

    // The most lines the selected file shows, and how many unchanged ones come before its first
    // change.
    // The kinds of rows the summary counts (PreviewParts::Kind).
    static constexpr std::size_t KindCount = 10;
    static constexpr int ShownLines = 400;
    static constexpr int ContextLines = 3;

    explicit PreviewDialog(QWidget *parent);
    ~PreviewDialog() override;

    // Shows the dialog in front and works through the job's rows, yielding as a run does.
    // Returns when every row is done, when the dialog is closed, or when the user stops it
    // (CommandStopped); lets CommandAbandoned (the main window closing) pass.
    void run(Job job);

    bool working() const { return working_; }
    const std::vector<Row> &rows() const { return rows_; }
    // "written", "unchanged", ... as the table shows it.
    static QString OutcomeText(const Row &row);
    // The line under the table: the counts, and where the work stopped if it did.
    QString summaryText() const;
    // The selected row's lines as shown (plain text, one line each: number, mark, text), and
    // the heading above them.
    QString detailText() const;
    QString detailHeading() const;

    // Shows row `row` (from 0) as selecting it in the table does.
    void selectRow(int row);

    // The work the table shows, and its rows that are ticked, in their order: what "Apply"
    // runs. A row is ticked when it is shown; the user may untick it.
    const Job &job() const { return job_; }
    QStringList tickedInputs() const;
    void setRowTicked(int row, bool ticked);
    // The heading above the table as it is shown: a long output folder elided in its middle
    // to fit the width (the whole text is its tooltip).
    QString headingText() const;

signals:
    // "Apply" was pressed: the window runs tickedInputs() as "Start Removing" would.
    void applyRequested();

protected:
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Closed {};      // the dialog was closed while it worked
    struct Superseded {};  // another row was selected while one was being shown
    class Context;
    class Changes;
    class Rows;
    class Table;

    // The table's row for `row`, the rows_.size()th.
    QTreeWidgetItem *itemFor(const Row &row) const;
    void showHeading();
    void fitHeading();
    void updateApply();
    void showSummary(int done, bool stopped);
    void showDetail(int row);
    QString detailHeadingFor(const Row &row, const Changes &changes) const;
    QString removedText(const Row &row) const;
    void renderDetail(const Row &row, const Changes &changes);
    bool removesCharacters() const;

    Job job_;
    std::vector<Row> rows_;
    std::array<int, KindCount> counts_{};  // rows by kind
    bool working_ = false;
    bool closed_ = false;
    bool stopped_ = false;  // the last work was stopped before its last row
    unsigned detailGeneration_ = 0;
    QString detailMarked_;  // detailText()
    QString headingFull_;   // the heading's whole text

    QLabel *heading_ = nullptr;
    QPushButton *apply_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QLabel *summary_ = nullptr;
    QTreeWidget *table_ = nullptr;
    QLabel *detailHeading_ = nullptr;
    QTextEdit *detail_ = nullptr;
};
