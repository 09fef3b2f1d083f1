#include "engine/FileWork.h"

#include "files/AtomicFile.h"
#include "files/LineReader.h"
#include "files/ResultWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace Engine {

using RFTSFSO::LineReader;
using RFTSFSO::ResultWriter;

FileResult::FileResult() = default;
FileResult::FileResult(FileResult &&) noexcept = default;
FileResult &FileResult::operator=(FileResult &&) noexcept = default;
FileResult::~FileResult() = default;

QString TooComplexText(const Operations::PatternTooComplex &tooComplex) {
    return QStringLiteral("pattern too complex at line %1").arg(tooComplex.line);
}

FileResult ProcessFile(const QString &inputPath, const QString &outputPath,
                       Operations::LineContext &ctx, const WorkOptions &options,
                       Destination destination) {
    FileResult result;
    std::optional<LineReader> input;
    std::optional<ResultWriter> output;
    try {
        RFTSFSO::ReadOptions reading;
        reading.binaryAsText = options.binaryAsText;
        // In place, the result goes to the folder the file is read from.
        reading.holdFolder = destination == Destination::Prepare && inputPath == outputPath;
        reading.folders = options.folders;
        input.emplace(inputPath, reading);
        result.inputBytes = input->size();
        ResultWriter::Options writing;
        writing.keepLineEnds = options.keepLineEnds;
        writing.dryRun = destination == Destination::DryRun;
        writing.folderNames = options.outputFolder;
        writing.makeFolders = options.makeFolders;
        writing.recorded = options.recorded;
        writing.writeBehind = options.writeBehind == WorkOptions::WriteBehind::Always ||
                              (options.writeBehind == WorkOptions::WriteBehind::LargeFiles &&
                               input->size() > LineReader::DefaultChunk);
        output.emplace(outputPath, &*input, writing);
        result.charactersRemoved = Operations::RunLoop(*input, *output, ctx, options.lineNumber,
                                                       options.legacyPage, options.matcher);
        result.linesRead = input->lineCount();
        result.linesKept = output->linesKept();
        output->finish();
        switch (output->outcome()) {
            case ResultWriter::Outcome::Empty:
                result.outcome = Outcome::Empty;
                break;
            case ResultWriter::Outcome::Unchanged:
                result.outcome = Outcome::Unchanged;
                break;
            case ResultWriter::Outcome::Changed:
                result.outcome = Outcome::Changed;
                result.pending = output->takePending();
                break;
        }
    } catch (const FileError &error) {
        result.outcome =
            error.kind() == FileError::Kind::Read ? Outcome::ReadFailed : Outcome::WriteFailed;
        result.error = error;
        result.pending.reset();
        if (input) {
            result.linesRead = input->lineCount();
            result.linesKept = output ? output->linesKept() : 0;
        }
    } catch (const RFTSFSO::NotText &notText) {
        // Left alone: the result so far, and its temporary file, go with the writer.
        output.reset();
        result = FileResult();
        result.inputBytes = input ? input->size() : 0;
        if (notText.why() == RFTSFSO::NotText::Why::Binary) {
            result.outcome = Outcome::Binary;
        } else {
            result.outcome = Outcome::Undecodable;
            result.failure = notText.reason();
        }
    } catch (const Operations::PatternTooComplex &tooComplex) {
        output.reset();
        result = FileResult();
        result.inputBytes = input ? input->size() : 0;
        result.outcome = Outcome::TooComplex;
        result.linesRead = tooComplex.line;
        result.failure = TooComplexText(tooComplex);
    }
    return result;
}

namespace {

const QString StandardInput = QStringLiteral("standard input");
const QString StandardOutput = QStringLiteral("standard output");
constexpr std::size_t FirstRead = std::size_t(64) << 10;

// Whether the regular file open at `fd` holds a NUL byte from its position on.
bool HoldsNul(int fd) {
    std::string piece(std::size_t(1) << 20, '\0');
    for (off_t at = ::lseek(fd, 0, SEEK_CUR); at >= 0;) {
        const ssize_t got = ::pread(fd, piece.data(), piece.size(), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        if (std::memchr(piece.data(), '\0', static_cast<std::size_t>(got)) != nullptr)
            return true;
        at += got;
    }
    return false;
}

void WriteOut(int output, const std::string &bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(output, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            throw FileError(FileError::Kind::Write, StandardOutput, errno);
        written += static_cast<std::size_t>(put);
    }
}

// Copies `first`, then the rest of `input`, to `output`; the bytes copied.
std::uint64_t PassThrough(int input, int output, std::string &first) {
    std::uint64_t copied = 0;
    for (;;) {
        WriteOut(output, first);
        copied += first.size();
        first.resize(FirstRead);
        ssize_t got;
        while ((got = ::read(input, first.data(), first.size())) < 0 && errno == EINTR) {
        }
        if (got < 0)
            throw FileError(FileError::Kind::Read, StandardInput, errno);
        if (got == 0)
            return copied;
        first.resize(static_cast<std::size_t>(got));
    }
}

}  // namespace

FileResult ProcessStream(int input, int output, Operations::LineContext &ctx,
                         const WorkOptions &options) {
    FileResult result;
    try {
        struct stat info {};
        const bool file = ::fstat(input, &info) == 0 && S_ISREG(info.st_mode);
        std::string first;
        bool binary = file && HoldsNul(input);
        if (!file) {
            first.resize(FirstRead);
            ssize_t got;
            while ((got = ::read(input, first.data(), first.size())) < 0 && errno == EINTR) {
            }
            if (got < 0)
                throw FileError(FileError::Kind::Read, StandardInput, errno);
            first.resize(static_cast<std::size_t>(got));
            binary = first.find('\0') != std::string::npos;
        }
        // UTF-16 and UTF-32 with their mark are text, decoded as a file's are.
        if (binary) {
            char head[4];
            const ssize_t got = file
                                    ? ::pread(input, head, sizeof head, ::lseek(input, 0, SEEK_CUR))
                                    : ssize_t(std::min(first.size(), sizeof head));
            if (!file)
                std::memcpy(head, first.data(), std::size_t(got));
            binary = got <= 0 ||
                     !RFTSFSO::DetectEncoding(std::string_view(head, std::size_t(got))).decoded();
        }
        if (binary && !options.binaryAsText) {
            result.inputBytes = PassThrough(input, output, first);
            result.outcome = Outcome::Unchanged;
            result.binary = true;
            return result;
        }
        std::optional<ResultWriter> writer;
        LineReader reader =
            LineReader::fromStream(input, first, StandardInput, [&] { writer->flush(); });
        writer.emplace(output, StandardOutput, &reader, options.keepLineEnds);
        result.charactersRemoved = Operations::RunLoop(reader, *writer, ctx, options.lineNumber,
                                                       options.legacyPage, options.matcher);
        result.linesRead = reader.lineCount();
        result.linesKept = writer->linesKept();
        result.outcome = writer->finish() ? Outcome::Changed : Outcome::Empty;
    } catch (const Operations::PatternTooComplex &tooComplex) {
        // What was written before that line is out already; nothing more is.
        result = FileResult();
        result.outcome = Outcome::TooComplex;
        result.linesRead = tooComplex.line;
        result.failure = TooComplexText(tooComplex);
    } catch (const FileError &error) {
        result.outcome =
            error.kind() == FileError::Kind::Read ? Outcome::ReadFailed : Outcome::WriteFailed;
        result.error = error;
    } catch (const RFTSFSO::NotText &notText) {
        // What came before the bytes that do not decode is out already, as with sed.
        result.outcome = Outcome::Undecodable;
        result.failure = notText.reason();
    }
    return result;
}

std::uint64_t MarkFile(const QString &path, Operations::LineMarks &marks,
                       Operations::LineContext &ctx, const WorkOptions &options) {
    RFTSFSO::ReadOptions reading;
    reading.binaryAsText = options.binaryAsText;
    LineReader reader(path, reading);
    return Operations::MarkLoop(reader, marks, ctx, options.lineNumber, options.legacyPage,
                                options.matcher);
}

namespace {

// Notes which input lines the loop keeps: the result's lines in order, each from its input
// line.
class Origins : public Operations::LineMarks {
public:
    explicit Origins(std::vector<std::size_t> &origin) : origin_(origin) {}
    void lineRead(std::string_view) override { ++read_; }
    void keptLine() override { origin_.push_back(read_ - 1); }
    void keptPart(std::size_t, std::size_t) override {}

private:
    std::vector<std::size_t> &origin_;
    std::size_t read_ = 0;
};

}  // namespace

ResultInMemory WorkInMemory(const QString &path, Operations::LineContext &ctx,
                            const WorkOptions &options) {
    ResultInMemory work;
    // The file's text, through the reader the run reads with: the same checks, the same errors.
    // What is read again from memory is that text, as it is.
    RFTSFSO::ReadOptions reading;
    reading.binaryAsText = options.binaryAsText;
    const Operations::CodePage *page = nullptr;
    {
        LineReader reader(path, reading);
        std::string_view line;
        while (reader.next(line)) {
            work.before += line;
            switch (reader.lineEnd()) {
                case RFTSFSO::LineEnd::CRLF:
                    work.before += "\r\n";
                    break;
                case RFTSFSO::LineEnd::LF:
                    work.before += '\n';
                    break;
                case RFTSFSO::LineEnd::None:
                    break;
            }
        }
        page = &Operations::PageOf(reader.encoding(), options.legacyPage);
    }
    const RFTSFSO::ReadOptions asItIs{.binaryAsText = true, .detect = false};
    LineReader result = LineReader::fromBytes(work.before, LineReader::DefaultChunk, asItIs);
    ResultWriter writer(&work.after, &result, options.keepLineEnds);
    Operations::RunLoop(result, writer, ctx, options.lineNumber, page, options.matcher);
    writer.finish();

    LineReader marked = LineReader::fromBytes(work.before, LineReader::DefaultChunk, asItIs);
    Origins origins(work.origin);
    Operations::MarkLoop(marked, origins, ctx, options.lineNumber, page, options.matcher);
    return work;
}

}  // namespace Engine
