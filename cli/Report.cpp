#include "cli/Report.h"

#include "base/Main.h"
#include "cli/Stop.h"
#include "cli/UnifiedDiff.h"
#include "engine/FileWork.h"
#include "text/TextMatch.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Cli)
};

}  // namespace

namespace Cli {

namespace {

const char *StateName(Engine::Outcome outcome) {
    switch (outcome) {
        case Engine::Outcome::Changed:
            return "changed";
        case Engine::Outcome::Unchanged:
            return "unchanged";
        case Engine::Outcome::Empty:
            return "empty";
        case Engine::Outcome::Binary:
            return "binary";
        case Engine::Outcome::Skipped:
            return "skipped";
        case Engine::Outcome::Undecodable:
        case Engine::Outcome::TooComplex:
        case Engine::Outcome::ReadFailed:
        case Engine::Outcome::WriteFailed:
        case Engine::Outcome::PathFailed:
            break;
    }
    return "failed";
}

// "read", "decode", "pattern", "write" or "path" for a failure; null otherwise.
const char *ErrorKindOf(const Engine::FileReport &report) {
    switch (report.outcome) {
        case Engine::Outcome::ReadFailed:
            return "read";
        case Engine::Outcome::Undecodable:
            return "decode";
        case Engine::Outcome::TooComplex:
            return "pattern";
        case Engine::Outcome::WriteFailed:
            return "write";
        case Engine::Outcome::PathFailed:
            return "path";
        default:
            return nullptr;
    }
}

const char *RelationName(Engine::Relation relation) {
    switch (relation) {
        case Engine::Relation::ReadsEarlier:
            return "reads-earlier";
        case Engine::Relation::OverwritesEarlier:
            return "overwrites-earlier";
        case Engine::Relation::None:
            break;
    }
    return nullptr;
}

void AppendField(std::string &out, const char *name) {
    if (out.size() > 1)
        out += ',';
    out += '"';
    out += name;
    out += "\":";
}

void AppendNumber(std::string &out, const char *name, std::uint64_t value) {
    AppendField(out, name);
    out += std::to_string(value);
}

void AppendText(std::string &out, const char *name, const QString &value) {
    AppendField(out, name);
    if (value.isNull()) {
        out += "null";
        return;
    }
    AppendJsonString(out, Main::PathBytes(value));
}

// Calls `valid` with each stretch of `bytes` that is valid UTF-8 and `invalid` with each byte
// between them that is not part of any valid sequence, in order.
template <typename Valid, typename Invalid>
void SplitAtInvalidBytes(std::string_view bytes, Valid valid, Invalid invalid) {
    const QString text = Main::PathText(bytes);  // each invalid byte one lone U+DCxx
    std::size_t at = 0, from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= 0xD800 && unit <= 0xDBFF) {  // a pair: four bytes
            at += 4;
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            valid(bytes.substr(from, at - from));
            invalid(static_cast<unsigned char>(bytes[at]));
            from = ++at;
        } else {
            at += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        }
    }
    valid(bytes.substr(from));
}

void AppendJsonCharacters(std::string &out, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
}

// Valid UTF-8 for a terminal: C0, DEL and C1 (U+009B is a CSI of its own) as "?".
void AppendForTerminal(std::string &shown, std::string_view utf8) {
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = p[i];
        if (c < 0x20 || c == 0x7F) {
            shown += '?';
        } else if (c == 0xC2 && i + 1 < utf8.size() && p[i + 1] < 0xA0) {
            shown += '?';
            ++i;
        } else {
            shown += static_cast<char>(c);
        }
    }
}

// `one` and `many` are marked for translation where they are given.
QString Plural(std::uint64_t count, const char *one, const char *many) {
    return QString::number(count) + u' ' + Texts::tr(count == 1 ? one : many);
}

// The columns of the terminal on standard error.
int TerminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

}  // namespace

const char *SignalName(int signal) {
    switch (signal) {
        case 0:
            return nullptr;
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        case SIGPIPE:
            return "SIGPIPE";
        default:
            return "signal";
    }
}

void AppendJsonString(std::string &out, std::string_view bytes) {
    out += '"';
    if (Operations::IsValidUtf8(bytes)) {
        AppendJsonCharacters(out, bytes);
    } else {
        SplitAtInvalidBytes(
            bytes, [&](std::string_view valid) { AppendJsonCharacters(out, valid); },
            [&](unsigned char byte) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\udc%02x", static_cast<unsigned>(byte));
                out += escaped;
            });
    }
    out += '"';
}

std::string ForTerminal(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    SplitAtInvalidBytes(
        text, [&](std::string_view valid) { AppendForTerminal(shown, valid); },
        [&](unsigned char byte) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", static_cast<unsigned>(byte));
            shown += escaped;
        });
    return shown;
}

std::string JsonOf(const Engine::FileReport &report) {
    const Engine::FileTask &task = report.task;
    const bool failed = report.failed();
    std::string out = "{";
    AppendText(out, "path", task.input);
    if (const std::string bytes = Main::PathBytes(task.input); !Operations::IsValidUtf8(bytes)) {
        AppendField(out, "path_hex");
        out += '"' + QByteArray::fromStdString(bytes).toHex().toStdString() + '"';
    }
    AppendText(out, "output", task.problem.isEmpty() ? task.output : QString());
    AppendField(out, "state");
    out += '"';
    out += StateName(report.outcome);
    out += '"';
    AppendNumber(out, "lines_read", failed ? 0 : report.linesRead);
    AppendNumber(out, "lines_removed", failed ? 0 : report.linesRemoved());
    AppendNumber(out, "characters_removed", failed ? 0 : report.charactersRemoved);
    AppendText(out, "error", failed ? report.description() : QString());
    AppendField(out, "error_kind");
    const char *kind = ErrorKindOf(report);
    out += kind == nullptr ? std::string("null") : '"' + std::string(kind) + '"';
    AppendField(out, "relation");
    const char *relation = RelationName(report.relation);
    out += relation == nullptr ? std::string("null") : '"' + std::string(relation) + '"';
    AppendField(out, "earlier");
    out += relation == nullptr ? std::string("null") : std::to_string(report.earlier + 1);
    if (report.outcome == Engine::Outcome::Skipped) {
        const qsizetype cut = task.problem.lastIndexOf(QStringLiteral(": ") + task.input);
        AppendText(out, "skipped", cut > 0 ? task.problem.left(cut) : task.problem);
    }
    out += '}';
    return out;
}

namespace {

// A terminal on `fd` that can redraw a line: TERM names one, and not "dumb".
bool CanErase(int fd) {
    const char *term = std::getenv("TERM");
    return ::isatty(fd) == 1 && term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

bool UsesColor(Color color) {
    if (color != Color::Auto)
        return color == Color::Always;
    const char *none = std::getenv("NO_COLOR");
    return CanErase(STDOUT_FILENO) && (none == nullptr || *none == '\0');
}

// Whether the progress line goes to standard error: a terminal that can erase it, and no other
// program between the run's output and the same terminal (a pipe into head, say) that would
// print after the line was drawn again.
bool ShowsProgress(const RemoveRequest &request) {
    if (request.quiet || request.filter || !CanErase(STDERR_FILENO))
        return false;
    const bool streams = request.json || request.diff || request.dryRun;
    struct stat out {};
    return !streams || ::fstat(STDOUT_FILENO, &out) != 0 ||
           !(S_ISFIFO(out.st_mode) || S_ISSOCK(out.st_mode));
}

}  // namespace

Reporter::Reporter(const RemoveRequest &request)
    : request_(request),
      startupClock_(std::getenv("STRELMARK_STARTUP_CLOCK") != nullptr),
      color_(UsesColor(request.color)),
      progress_(ShowsProgress(request)),
      outTerminal_(::isatty(STDOUT_FILENO) == 1),
      errTerminal_(::isatty(STDERR_FILENO) == 1) {}

void Reporter::prepare(Engine::FileReport &report, Operations::LineContext &ctx) {
    if (!request_.diff || report.outcome != Engine::Outcome::Changed)
        return;
    Engine::WorkOptions options;
    options.lineNumber = request_.lineNumber;
    options.keepLineEnds = report.task.keepLineEnds;
    options.matcher = matcher_;
    report.note = DiffOfFile(report.task.input, report.task.output, ctx, options, color_);
}

void Reporter::fileStarted(const Engine::FileTask &, std::size_t index) {
    if (!startupClock_ || index != 0)
        return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "strelmark: first file at %lld ns\n",
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

void Reporter::out(const std::string &text) {
    if (outputError_ != 0)
        return;
    clearProgress();
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        (progress_ && std::fflush(stdout) != 0)) {
        outputError_ = errno != 0 ? errno : EIO;
    }
}

std::string Reporter::countText(const Engine::FileReport &report) const {
    const QString text =
        Operations::InfoOf(request_.operation).countsCharacters
            ? Plural(report.charactersRemoved, QT_TRANSLATE_NOOP("Cli", "character"),
                     QT_TRANSLATE_NOOP("Cli", "characters"))
            : Plural(report.linesRemoved(), QT_TRANSLATE_NOOP("Cli", "line"),
                     QT_TRANSLATE_NOOP("Cli", "lines"));
    return Texts::tr("%1 removed").arg(text).toStdString();
}

void Reporter::fileDone(const Engine::FileReport &report) {
    totals_.add(report);
    if (report.task.stream) {
        streamDone(report);
        return;
    }
    if (report.failed())
        error(report.description());
    else if (report.outcome == Engine::Outcome::Skipped && !request_.json && !request_.quiet)
        error(report.description(), false);

    // The input's path as shown, made only for a line that shows it.
    const auto shown = [&] {
        const std::string path = Main::PathBytes(report.task.input);
        return outTerminal_ ? ForTerminal(path) : path;
    };
    if (request_.json) {
        clearProgress();
        out(JsonOf(report) + '\n');
    } else if (request_.diff) {
        clearProgress();
        if (report.outcome == Engine::Outcome::Empty)
            out(WithWords(Texts::tr("Every line of %1 would be removed: no result is written.\n"),
                          shown()));
        else if (report.outcome == Engine::Outcome::Changed && report.note.empty()) {
            const std::string output = Main::PathBytes(report.task.output);
            out(WithWords(
                Texts::tr("The result of %1 is the same text; it would be written to %2.\n"),
                shown(), outTerminal_ ? ForTerminal(output) : output));
        } else {
            out(report.note);
        }
    } else if (request_.dryRun && !request_.quiet) {
        list(report, shown());
    }
    if (outputError_ != 0)
        Stop::Request(SIGPIPE);
}

// Standard input filtered to standard output: its failure, or the note that it was binary. A
// reader that went away (EPIPE) ends the program as SIGPIPE would, without a word.
void Reporter::streamDone(const Engine::FileReport &report) {
    if (report.outcome == Engine::Outcome::WriteFailed && report.error &&
        report.error->error() == EPIPE) {
        outputError_ = EPIPE;
        Stop::Request(SIGPIPE);
    } else if (report.failed()) {
        error(report.description());
    } else if (report.binary) {
        error(Texts::tr("standard input holds a NUL byte (binary): passed through unchanged"),
              false);
    }
}

// A dry run's line for a file that would change, would be empty, or fails.
void Reporter::list(const Engine::FileReport &report, const std::string &path) {
    std::string line;
    const char *color = "\x1b[31m";  // red: a failure
    switch (report.outcome) {
        case Engine::Outcome::Changed:
            line = countText(report);
            color = "\x1b[32m";
            break;
        case Engine::Outcome::Empty:
            line = Texts::tr("empty result, not written").toStdString();
            color = "\x1b[33m";
            break;
        case Engine::Outcome::Binary:
            line = Texts::tr("binary, left alone").toStdString();
            break;
        case Engine::Outcome::Undecodable:
            line = Texts::tr("cannot be decoded, left alone").toStdString();
            break;
        case Engine::Outcome::TooComplex:
            line = report.failure.toStdString() + ", left alone";
            break;
        case Engine::Outcome::ReadFailed:
            line = Texts::tr("unreadable").toStdString();
            break;
        case Engine::Outcome::WriteFailed:
            line = Texts::tr("cannot be written").toStdString();
            break;
        case Engine::Outcome::PathFailed:
            line = Texts::tr("cannot be used").toStdString();
            break;
        case Engine::Outcome::Unchanged:
        case Engine::Outcome::Skipped:  // said on standard error
            break;
    }
    if (line.empty())
        return;
    if (color_)
        line = color + line + "\x1b[0m";
    if (report.relation == Engine::Relation::ReadsEarlier)
        line +=
            Texts::tr("; a run reads the result of file %1").arg(report.earlier + 1).toStdString();
    else if (report.relation == Engine::Relation::OverwritesEarlier)
        line += Texts::tr("; replaces the result of file %1").arg(report.earlier + 1).toStdString();
    clearProgress();
    out(path + ": " + line + '\n');
}

void Reporter::error(const QString &text, bool failure) {
    if (failure)
        ++failures_;
    clearProgress();
    std::fflush(stdout);
    std::string bytes = Main::PathBytes(QStringLiteral("strelmark: ") + text);
    if (errTerminal_)
        bytes = ForTerminal(bytes);
    bytes += '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

void Reporter::clearProgress() {
    if (!progressShown_)
        return;
    progressShown_ = false;
    std::fputs("\r\x1b[K", stderr);
}

void Reporter::progress(const Engine::Progress &progress) {
    if (!progress_)
        return;
    const std::uint64_t done = progress.done, total = progress.total, bytes = progress.bytes;
    const QString &current = progress.current;
    const auto now = std::chrono::steady_clock::now();
    // At most ten lines a second, but a line that names no file yet gives way at once to one
    // that does.
    if (progressShown_ && (nameShown_ || current.isEmpty()) &&
        now - drawn_ < std::chrono::milliseconds(100))
        return;
    drawn_ = now;
    nameShown_ = !current.isEmpty();
    const double seconds = std::chrono::duration<double>(now - started_).count();
    QString line = Texts::tr("%1/%2 files  %3 MB/s  ")
                       .arg(done)
                       .arg(total)
                       .arg(seconds > 0 ? bytes / 1e6 / seconds : 0.0, 0, 'f', 1);
    // The current file, shortened at its start to what the terminal has room for.
    const qsizetype room = TerminalWidth() - 1 - line.size();
    if (room >= 8) {
        if (current.size() <= room)
            line += current;
        else
            line += QStringLiteral("...") + current.right(room - 3);
    }
    std::fflush(stdout);
    const std::string bytesOut = '\r' + ForTerminal(Main::PathBytes(line)) + "\x1b[K";
    std::fwrite(bytesOut.data(), 1, bytesOut.size(), stderr);
    progressShown_ = true;
}

void Reporter::finish(int signal, int exitStatus) {
    clearProgress();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const Engine::Totals &t = totals_;
    const std::uint64_t files = t.files + t.notProcessed;
    if (request_.json) {
        std::string summary = "{";
        AppendNumber(summary, "files", files);
        AppendNumber(summary, "changed", t.changed);
        AppendNumber(summary, "unchanged", t.unchanged);
        AppendNumber(summary, "empty", t.empty);
        AppendNumber(summary, "binary", t.binary);
        AppendNumber(summary, "skipped", t.skipped);
        AppendNumber(summary, "failed", t.failed());
        AppendNumber(summary, "not_processed", t.notProcessed);
        AppendNumber(summary, "lines_read", t.linesRead);
        AppendNumber(summary, "lines_removed", t.linesRemoved);
        AppendNumber(summary, "characters_removed", t.charactersRemoved);
        AppendField(summary, "dry_run");
        summary += request_.dryRun ? "true" : "false";
        AppendField(summary, "stopped");
        summary += signal != 0 ? "true" : "false";
        AppendField(summary, "signal");
        summary += signal != 0 ? '"' + std::string(SignalName(signal)) + '"' : "null";
        AppendNumber(summary, "exit_status", static_cast<std::uint64_t>(exitStatus));
        AppendField(summary, "seconds");
        char number[32];
        std::snprintf(number, sizeof number, "%.3f", seconds);
        summary += number;
        out("{\"summary\":" + summary + "}}\n");
    } else if (!request_.diff && !request_.quiet && !request_.filter) {
        const QString removed =
            Operations::InfoOf(request_.operation).countsCharacters
                ? Plural(t.charactersRemoved, QT_TRANSLATE_NOOP("Cli", "character"),
                         QT_TRANSLATE_NOOP("Cli", "characters"))
                : Plural(t.linesRemoved, QT_TRANSLATE_NOOP("Cli", "line"),
                         QT_TRANSLATE_NOOP("Cli", "lines"));
        QString text;
        if (signal != 0)
            text = Texts::tr("Stopped by %1. ").arg(QLatin1String(SignalName(signal)));
        else if (request_.dryRun)
            text = Texts::tr("Dry run, nothing written. ");
        else
            text = Texts::tr("Done. ");
        text += Plural(files, QT_TRANSLATE_NOOP("Cli", "file"), QT_TRANSLATE_NOOP("Cli", "files")) +
                QStringLiteral(": ");
        // On a terminal, what changed in green and failures in red.
        auto paint = [&](const QString &words, bool shown, const char *color) {
            return color_ && shown ? QLatin1String(color) + words + QStringLiteral("\x1b[0m")
                                   : words;
        };
        const QString changed =
            paint(QStringLiteral("%1 %2").arg(t.changed).arg(
                      request_.dryRun ? Texts::tr("would change") : Texts::tr("changed")),
                  t.changed > 0, "\x1b[32m");
        const QString failed =
            paint(Texts::tr("%1 failed").arg(t.failed()), t.failed() > 0, "\x1b[31m");
        // Binary files are named only when there are any.
        const QString binary =
            t.binary > 0 ? Texts::tr(", %1 binary (left alone)").arg(t.binary) : QString();
        text +=
            Texts::tr("%1, %2 unchanged, %3 empty (%4)%5, %6")
                .arg(changed)
                .arg(t.unchanged)
                .arg(t.empty)
                .arg(request_.dryRun ? Texts::tr("would not be written") : Texts::tr("not written"))
                .arg(binary)
                .arg(failed);
        if (t.skipped > 0)
            text += Texts::tr(", %1 skipped by the folder search").arg(t.skipped);
        if (t.notProcessed > 0)
            text += Texts::tr(", %1 not processed").arg(t.notProcessed);
        text += Texts::tr("; %1 removed; %2 s.\n").arg(removed).arg(seconds, 0, 'f', 2);
        out(text.toStdString());
    }
    if (signal != 0 && !(request_.filter && signal == SIGPIPE) &&
        (request_.json || request_.diff || request_.quiet || request_.filter))
        error(Texts::tr("stopped by %1; %2 not processed")
                  .arg(QLatin1String(SignalName(signal)),
                       Plural(t.notProcessed, QT_TRANSLATE_NOOP("Cli", "file was"),
                              QT_TRANSLATE_NOOP("Cli", "files were"))),
              false);
    if (std::fflush(stdout) != 0 && outputError_ == 0)
        outputError_ = errno != 0 ? errno : EIO;
}

}  // namespace Cli
