// What a window's run did, for the details of its "Done.": the files written, unchanged (not
// rewritten), with an empty result (not written), binary (left alone) and failed (each with its
// reason and path), the output names written more than once, and where the run stopped when
// the user stopped it.
#pragma once

#include "engine/Outcome.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// A count as the window shows it, its digits grouped as the user's language groups them
// ("3,007"; English under the C locale).
QString CountText(std::uint64_t count);

class RunSummary {
public:
    // A file's final outcome, in the order of the run.
    void add(const Engine::FileReport &report);
    // The user stopped the run with `left` of its rows not done (the one in progress included).
    void stopped(int left);
    // What the folder searches that filled the list passed over ("reason: path").
    void skippedBySearch(const QStringList &entries) { skipped_ = entries; }
    const QStringList &skipped() const { return skipped_; }

    int filesDone() const { return filesDone_; }
    int written() const { return written_; }
    int unchanged() const { return unchanged_; }
    int empty() const { return empty_; }
    int binary() const { return binary_; }
    int tooComplex() const { return tooComplex_; }
    // How the condition was matched ("match case, regular expression"), said after the count
    // of files; empty: not said (the literal, case-blind text).
    void setOptions(const QString &options) { options_ = options; }
    // Each failure's reason and path, in order.
    const QStringList &failures() const { return failures_; }
    // The outputs that more than one file wrote: the path as the first gave it, and how many.
    std::vector<std::pair<QString, int>> writtenMoreThanOnce() const;
    bool isStopped() const { return stopped_; }
    int total() const { return total_; }

    // The details' text, `undoNote` last when there is one.
    QString text(const QString &undoNote) const;

private:
    struct Output {
        QString path;  // as the first row that wrote it gave it
        int results = 0;
    };

    int filesDone_ = 0, total_ = 0;
    bool stopped_ = false;
    int written_ = 0, unchanged_ = 0, empty_ = 0, binary_ = 0, tooComplex_ = 0;
    QString options_;
    QStringList failures_;
    QStringList skipped_;
    // Each file written (links resolved) and the results put there, in the order first written.
    std::unordered_map<std::string, Output> outputs_;
    std::vector<std::string> order_;
};
