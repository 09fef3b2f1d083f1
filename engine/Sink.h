// Where a run's files come from, and where what becomes of them goes.
//
// A front end hands the engine a FileSource (the window's rows, the command line's paths and
// searched folders, the preview's rows) and a RunSink (the window's report boxes and summary,
// the preview's table, the command line's listing, JSON, diff and progress line). The engine
// works through the source's files in order and tells the sink each file's outcome once it is
// final: after its result is in place, or once it is known to fail. Files are told in the
// order of the run.
#pragma once

#include "engine/Outcome.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Operations {
class LineContext;
}

namespace Engine {

class FileSource {
public:
    virtual ~FileSource() = default;
    // Appends the next files of the run to `tasks` (at least one), or answers false when there
    // are no more. The window hands one row at a time; a searched folder hands its files at
    // once. May throw Stopped, and whatever the front end throws to end the run.
    virtual bool next(std::vector<FileTask> &tasks) = 0;
    // The input of the k-th file after the one handed out last (k from 1), when the source
    // knows it already, for reading ahead; empty otherwise.
    virtual QString upcoming(int k) {
        (void)k;
        return {};
    }
};

// How far a run has got, for a progress line.
struct Progress {
    std::uint64_t done = 0;   // files told
    std::uint64_t total = 0;  // files found so far
    std::uint64_t bytes = 0;  // bytes of the inputs worked on
    QString current;          // the file worked on last
};

class RunSink {
public:
    virtual ~RunSink() = default;
    // The work on a file begins (on a worker thread, for the parallel driver).
    virtual void fileStarted(const FileTask &task, std::size_t index) {
        (void)task;
        (void)index;
    }
    // Called where the file was worked on (a worker thread, for the parallel driver), right after
    // the work and before the report is final: the sink may add to it (`note`).
    virtual void prepare(FileReport &report, Operations::LineContext &ctx) {
        (void)report;
        (void)ctx;
    }
    // The file's final outcome. The parallel driver calls it from its committing thread, one
    // call at a time.
    virtual void fileDone(const FileReport &report) = 0;
    // Whether the sink shows progress(): only then is it called.
    virtual bool showsProgress() const { return false; }
    // Now and then while the parallel driver waits for the next outcome, and after each file.
    virtual void progress(const Progress &progress) { (void)progress; }
};

}  // namespace Engine
