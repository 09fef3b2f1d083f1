// What `strelmark remove` tells: errors on standard error, the progress line on a terminal, and
// on standard output the listing of a dry run, the diff, the JSON records, or the summary.
//
// JSON (--json): one object per line, UTF-8. For each file, in the order given:
//   {"path":..., "output":..., "state":"changed"|"unchanged"|"empty"|"failed",
//    "lines_read":N, "lines_removed":N, "characters_removed":N,
//    "error":null|"reason: path", "error_kind":null|"read"|"write"|"path"}
// "output" is null for a PATH that could not be used (error_kind "path"). Then one summary:
//   {"summary":{"files":N, "changed":N, "unchanged":N, "empty":N, "failed":N,
//    "not_processed":N, "lines_read":N, "lines_removed":N, "characters_removed":N,
//    "dry_run":bool, "stopped":bool, "signal":null|"SIGINT"|..., "exit_status":N,
//    "seconds":X}}
// files = changed + unchanged + empty + failed + not_processed. A PATH whose bytes are not
// valid UTF-8 cannot be opened; its record holds it in "path" with every byte that is not part
// of a valid UTF-8 sequence replaced by U+FFFD, and its exact bytes as hexadecimal digits in
// "path_hex".
#pragma once

#include "cli/Arguments.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace Cli {

// What became of one file, or of a PATH that could not be used.
struct FileRecord {
    enum class State { Changed, Unchanged, Empty, Failed };
    QString path;           // as given, or as the folder walk found it
    std::string pathBytes;  // a PATH that is not valid UTF-8: its bytes; otherwise empty
    QString output;         // null: no output path (a PATH that could not be used)
    State state = State::Failed;
    std::uint64_t linesRead = 0;
    std::uint64_t linesRemoved = 0;
    std::uint64_t charactersRemoved = 0;
    QString error;               // the reason and the path; empty when none
    const char *errorKind = "";  // "read", "write", "path"
    std::string diff;            // --diff: what would change
};

struct Totals {
    std::uint64_t files = 0, changed = 0, unchanged = 0, empty = 0, failed = 0;
    std::uint64_t notProcessed = 0;
    std::uint64_t linesRead = 0, linesRemoved = 0, charactersRemoved = 0;
};

// The name of a signal as the summary gives it ("SIGINT"); null for 0.
const char *SignalName(int signal);

// The record's JSON object, without a line end.
std::string JsonOf(const FileRecord &record);
// JSON text of a string given as bytes: UTF-8, with anything that is not valid replaced.
void AppendJsonString(std::string &out, std::string_view bytes);

class Reporter {
public:
    explicit Reporter(const RemoveRequest &request);
    Reporter(const Reporter &) = delete;
    Reporter &operator=(const Reporter &) = delete;

    // One file's outcome, in the order given; counted in the totals.
    void file(FileRecord record);
    // Files that were never reached (a stop).
    void notProcessed(std::uint64_t count) { totals_.notProcessed += count; }
    // "strelmark: <text>" on standard error; counts as a failure when `failure`.
    void error(const QString &text, bool failure = true);
    // The last lines: the summary (and, stopped, the note that says so). `signal`: what stopped
    // the run, or 0.
    void finish(int signal, int exitStatus);

    bool showsProgress() const { return progress_; }
    // Redraws the progress line when enough time has passed since it was drawn.
    void progress(std::uint64_t done, std::uint64_t total, std::uint64_t bytes,
                  const QString &current);

    const Totals &totals() const { return totals_; }
    bool failed() const { return failures_ > 0; }
    // Standard output could not be written (EPIPE: the reader went away): the errno, or 0.
    int outputError() const { return outputError_; }

private:
    void out(const std::string &text);
    void clearProgress();
    std::string countText(const FileRecord &record) const;

    const RemoveRequest &request_;
    Totals totals_;
    std::uint64_t failures_ = 0;
    bool progress_ = false;
    bool progressShown_ = false;
    int outputError_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace Cli
