// The result of one file, built from the lines that a run keeps.
#pragma once

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/FolderNames.h"
#include "files/LineReader.h"
#include "files/Transcoding.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace RFTSFSO {

// The result of one file: kept lines joined with CR LF, no line end after the last; or, when
// asked to keep line ends, each kept line followed by the line end it had in the input, except
// that when the input's last line had none, the last kept line gets none either (so a result
// that keeps every line unchanged is the input byte for byte).
//
// Nothing is created until there is something to write: a result that keeps no line writes no
// file and leaves a file already at the path as it was. A result that keeps one empty line is
// an empty file. A result that is byte for byte the file already at the path writes nothing
// either: the file keeps its modification time, its inode and its links. The writer compares
// as it goes, with the bytes the input's reader still holds when the input is that very file,
// else by reading the file at the path; only at the first difference does it start the
// temporary file, and the equal part is copied into it inside the kernel. A file at the path
// that cannot be read counts as different.
//
// The result is in the input's encoding (files/Encoding.h): a file that began with a byte-order
// mark gets the mark before its first line, and the lines of a decoded file (UTF-16, UTF-32, a
// legacy charset converted through iconv), which the run sees as UTF-8, are encoded back, line
// ends included. The comparison with the file at the path is on the encoded bytes.
//
// Writing is atomic: the bytes go to a temporary file in the target's folder, which finish()
// completes (permissions, owner, group, extended attributes and ACLs of the file it replaces)
// as a PendingResult, put in place by a CommitQueue. Until then, and when the pending result is
// dropped, the previous file stays whole and no temporary file remains, even when the program
// is killed. A target reached through a symbolic link has its content replaced and the link
// stays. An existing target that this user may not write is refused ("Permission denied")
// rather than replaced.
class ResultWriter {
public:
    static constexpr std::size_t BufferSize = std::size_t(1) << 20;

    struct Options {
        Temporary temporary = Temporary::Unnamed;
        // Each kept line ends as it did in the input (the writer's `input` is required).
        bool keepLineEnds = false;
        // Nothing is created or written: the writer only finds out whether the result would
        // change the file at the path, and whether it could be written there.
        bool dryRun = false;
        // What the run knows of the output folder's names (see FolderNames), or null.
        FolderNames *folderNames = nullptr;
        // The folders on the way to the path that are missing are made (as mkdir -p) once there
        // is a result to write; dry, the nearest folder that exists must let them be made.
        bool makeFolders = false;
        // The run keeps a record of what it replaces: the result is hashed as it is written,
        // for the record (AtomicFile::recordFacts).
        bool recorded = false;
        // The bytes are written by the writing thread while the run goes on, and a failed
        // write is answered when the result is put in place (AtomicFile::writeBehind).
        bool writeBehind = false;
    };
    // What finish() found.
    enum class Outcome {
        Empty,      // no line kept: nothing written
        Unchanged,  // the result is what the file at the path holds already: nothing written
        Changed,    // a result that differs (or no file is there): pending, or, dry, would be
    };

    // The result for `path`. `input`, when given, is the reader whose lines are kept: its line
    // ends are the ones kept, and when it reads the file at `path` itself, what it still holds
    // is compared in memory. It must outlive the writer.
    ResultWriter(const QString &path, const LineReader *input, Options options);
    explicit ResultWriter(const QString &path, Temporary temporary = Temporary::Unnamed);
    // Collects the result in `text` instead of a file (tests and fuzzing).
    explicit ResultWriter(std::string *text, const LineReader *input = nullptr,
                          bool keepLineEnds = false);
    // Writes the result to the descriptor `fd` as it goes (standard output), `name` naming it
    // in errors; nothing is compared and no file is made.
    ResultWriter(int fd, const QString &name, const LineReader *input, bool keepLineEnds);
    ResultWriter(const ResultWriter &) = delete;
    ResultWriter &operator=(const ResultWriter &) = delete;
    ~ResultWriter();

    // Starts the next kept line: the one the input handed out last, as far as its line end
    // goes.
    void beginLine() {
        if (linesKept_++ > 0)
            appendLineEnd(pendingEnd_);
        pendingEnd_ = *endSource_;
    }
    // Adds bytes to the current line.
    void append(std::string_view bytes) {
        if (bytes.size() <= BufferSize - used_) {
            std::memcpy(buffer_ + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
        } else {
            appendLarge(bytes);
        }
    }
    void keepLine(std::string_view line) {
        beginLine();
        append(line);
    }
    // Keeps `count` lines at once, as LineReader::takeLinesBefore handed them out: what lies
    // between them is their own line ends, which this result writes as they are (every one
    // a CR LF, unless the writer keeps line ends).
    void keepLines(std::string_view lines, std::size_t count) {
        beginLine();
        append(lines);
        linesKept_ += count - 1;
    }

    // Completes the result once the input has been read to its end; true when at least one
    // line was kept. outcome() then tells what became of it. Throws FileError (Write) when the
    // result cannot be written, or, dry, when it could not be; NotText (Undecodable) when the
    // input's encoding cannot hold it.
    bool finish();
    Outcome outcome() const { return outcome_; }
    // The result waiting to be put in place: after finish() with the outcome Changed, once.
    std::unique_ptr<PendingResult> takePending();

    std::uint64_t linesKept() const { return linesKept_; }
    // Each kept line ends as it did in the input.
    bool keepsLineEnds() const { return options_.keepLineEnds; }

    // Writes out what the buffer holds (a writer to a descriptor, before its input waits).
    void flush() { flushBuffer(); }

private:
    enum class State {
        Unopened,   // nothing stored yet; the path not yet looked at
        Comparing,  // every byte so far is what the file at the path holds
        Writing,    // the temporary file is started
        Differs,    // dry: the result differs, nothing more to look at
    };

    void appendLineEnd(LineEnd end) {
        // Both bytes are stored and only the line end's own are kept: a store of fixed size.
        static constexpr char Ends[3][2] = {{0, 0}, {'\n', 0}, {'\r', '\n'}};
        const std::size_t size = static_cast<std::size_t>(end);
        if (BufferSize - used_ >= 2) {
            std::memcpy(buffer_ + used_, Ends[size], 2);
            used_ += size;
        } else {
            appendLarge(std::string_view(Ends[size], size));
        }
    }
    void takeBuffer();
    void appendLarge(std::string_view bytes);
    void flushBuffer();
    void begin();
    void store(const char *data, std::size_t size);
    void storeBytes(const char *data, std::size_t size);
    void start();
    bool sameAsTarget(const char *data, std::size_t size);
    void diverge();
    [[noreturn]] void fail(int error);

    QString path_;
    Options options_;
    const LineReader *input_ = nullptr;
    std::string *text_ = nullptr;
    int outputFd_ = -1;
    std::unique_ptr<ResultTarget> target_;
    std::unique_ptr<AtomicFile> file_;
    std::unique_ptr<PendingResult> pending_;
    State state_ = State::Unopened;
    Outcome outcome_ = Outcome::Empty;
    int compareFd_ = -1;  // the file at the path, read to compare; the input's, when it is
    bool ownCompareFd_ = false;
    bool targetIsInput_ = false;
    std::uint64_t compared_ = 0;  // bytes equal to the file at the path so far
    char *buffer_ = nullptr;      // BufferSize bytes, used_ of them filled
    std::size_t used_ = 0;
    std::uint64_t linesKept_ = 0;
    const LineEnd *endSource_;            // the input's line end, or CR LF whatever the input had
    LineEnd pendingEnd_ = LineEnd::None;  // the line end owed to the last kept line
    bool finished_ = false;
    bool begun_ = false;                // the mark is stored, and the encoder made
    std::unique_ptr<Encoder> encoder_;  // for a decoded input
    std::string encoded_;
};

}  // namespace RFTSFSO
