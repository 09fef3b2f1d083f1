// What `strelmark remove` tells: errors on standard error, the progress line on a terminal, and
// on standard output the listing of a dry run, the diff, the JSON records, or the summary.
//
// JSON (--json): one object per line, UTF-8. For each file, in the order given:
//   {"path":..., "output":..., "state":"changed"|"unchanged"|"empty"|"binary"|"skipped"|"failed",
//    "lines_read":N, "lines_removed":N, "characters_removed":N,
//    "error":null|"reason: path", "error_kind":null|"read"|"decode"|"pattern"|"write"|"path",
//    "relation":null|"reads-earlier"|"overwrites-earlier", "earlier":null|N}
// "output" is null for a PATH that could not be used (error_kind "path"). "relation" says how
// the file meets an earlier file of the run, the N-th record (from 1): it reads that file's
// result (a run reads it after putting it in place; a dry run looks at the file as it is), or
// its result replaces that file's. A binary file (a NUL byte, without --binary) is left alone
// and is no failure; a file whose bytes do not decode in its encoding fails with error_kind
// "decode"; one on whose line N the pattern ran into the matching library's limits is left
// alone and fails with error_kind "pattern" ("pattern too complex at line N: path"). An entry
// that the folder search passed over (a link to a file outside the searched folder, a path too
// long for the system) is "skipped", with "output" null and one more field, "skipped", that
// says why; it is no failure. Then one summary:
//   {"summary":{"files":N, "changed":N, "unchanged":N, "empty":N, "binary":N, "skipped":N,
//    "failed":N, "not_processed":N, "lines_read":N, "lines_removed":N, "characters_removed":N,
//    "dry_run":bool, "stopped":bool, "signal":null|"SIGINT"|..., "exit_status":N,
//    "seconds":X}}
// files = changed + unchanged + empty + binary + skipped + failed + not_processed. A name need
// not be UTF-8: in every string, each byte that is not part of a valid UTF-8 sequence is the
// escape "\udcXX" (the lone surrogate U+DC80 + byte - 0x80, Python's "surrogateescape", so that
// os.fsencode(json.loads(line)["path"]) gives the bytes back), and a record whose path is not
// valid UTF-8 also has its exact bytes as hexadecimal digits in "path_hex".
#pragma once

#include "cli/Arguments.h"
#include "engine/Outcome.h"
#include "engine/Sink.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace Cli {

// The name of a signal as the summary gives it ("SIGINT"); null for 0.
const char *SignalName(int signal);

// The report's JSON object, without a line end.
std::string JsonOf(const Engine::FileReport &report);

// Text for a terminal: every control character (C0, DEL, and C1 written as UTF-8) shown as "?",
// as ls shows them, and every byte that is not part of valid UTF-8 as its octal escape ("\351"),
// as ls -b shows it, so that a file name cannot retitle, clear or otherwise drive the terminal,
// and reaches it as valid UTF-8. Other characters are kept.
std::string ForTerminal(std::string_view text);
// JSON text of a string given as bytes: its UTF-8, with each byte that is not part of valid
// UTF-8 as "\udcXX".
void AppendJsonString(std::string &out, std::string_view bytes);

class Reporter : public Engine::RunSink {
public:
    explicit Reporter(const RemoveRequest &request);
    // The run's compiled condition (engine/Plan.h), for the diff's own look at each file.
    void setMatcher(const Operations::Matcher *matcher) { matcher_ = matcher; }
    Reporter(const Reporter &) = delete;
    Reporter &operator=(const Reporter &) = delete;

    // The diff of a file that would change (--diff), worked out where the file was.
    void prepare(Engine::FileReport &report, Operations::LineContext &ctx) override;
    // With STRELMARK_STARTUP_CLOCK set, the moment the first file is started goes to standard
    // error (for timing the start-up).
    void fileStarted(const Engine::FileTask &task, std::size_t index) override;
    // One file's outcome, in the order given; counted in the totals.
    void fileDone(const Engine::FileReport &report) override;
    // Files that were never reached (a stop).
    void notProcessed(std::uint64_t count) { totals_.notProcessed += count; }
    // "strelmark: <text>" on standard error; counts as a failure when `failure`.
    void error(const QString &text, bool failure = true);
    // The last lines: the summary (and, stopped, the note that says so). `signal`: what stopped
    // the run, or 0.
    void finish(int signal, int exitStatus);

    bool showsProgress() const override { return progress_; }
    // Redraws the progress line when enough time has passed since it was drawn.
    void progress(const Engine::Progress &progress) override;

    const Engine::Totals &totals() const { return totals_; }
    bool failed() const { return failures_ > 0; }
    // Standard output could not be written (EPIPE: the reader went away): the errno, or 0.
    int outputError() const { return outputError_; }

private:
    void out(const std::string &text);
    void clearProgress();
    void list(const Engine::FileReport &report, const std::string &path);
    void streamDone(const Engine::FileReport &report);
    std::string countText(const Engine::FileReport &report) const;

    const RemoveRequest &request_;
    const Operations::Matcher *matcher_ = nullptr;
    const bool startupClock_;
    const bool color_;  // --color, or on a terminal
    Engine::Totals totals_;
    std::uint64_t failures_ = 0;
    bool progress_ = false;
    bool progressShown_ = false;
    bool nameShown_ = false;                // the line drawn last names the current file
    const bool outTerminal_, errTerminal_;  // standard output, standard error is a terminal
    int outputError_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace Cli
