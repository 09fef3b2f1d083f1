// Unexpected run-time errors and the one way they are shown to the user.
//
// A command handler that must never stop because of a failure holds a Guard. Each of its
// numbered steps runs through the guard; a failure inside a step (or inside any routine the
// step calls) is shown once in the "Application Error" box, naming the procedure and the step,
// and the handler carries on with its next action. Several actions that share one number are
// written as several guarded calls with that number, so a failure skips only the action it
// happened in.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

class Platform;

// A failure that a guarded procedure reports. Its description is the text the user sees:
// the operating system's wording for file-system failures, or one of the conversion texts below.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString &description);
    QString description() const { return QString::fromUtf8(what()); }

    static AppError fromErrno(int error);  // strerror's wording
    // A failure about one file or folder: the reason (the operating system's wording), ": "
    // and the path, so that the report names the file it is about.
    static AppError aboutPath(const QString &reason, const QString &path);
    static AppError fromErrno(int error, const QString &path);
};

// In English; a report shows them in the user's language.
namespace ErrorText {
inline const QString TypeMismatch =
    QStringLiteral(QT_TRANSLATE_NOOP("ErrorReport", "Type mismatch"));
inline const QString Overflow = QStringLiteral(QT_TRANSLATE_NOOP("ErrorReport", "Overflow"));
inline const QString InvalidArgument =
    QStringLiteral(QT_TRANSLATE_NOOP("ErrorReport", "Invalid procedure call or argument"));
inline const QString InvalidPropertyValue =
    QStringLiteral(QT_TRANSLATE_NOOP("ErrorReport", "Invalid property value"));
}  // namespace ErrorText

// The operating system's wording for an error number ("Permission denied").
QString SystemErrorText(int error);

// Thrown by the event pump once the window has been closed: the command that yielded is
// abandoned at that point. It is not an error, so no guard reports or swallows it.
struct CommandAbandoned {};

// Thrown by the event pump when the user stopped the command that yielded (EventPump.h). The
// command ends there as after its last item; like CommandAbandoned, no guard reports or
// swallows it.
struct CommandStopped {};

inline const QString SupportAddress = QStringLiteral("support@brindlewick.example");

// Location texts of the guarded procedures, as the report names them.
namespace Location {
QString form1(const char *procedure);      // "in Kestrune2021/08/31.Form1.<procedure> "
QString addFolder(const char *procedure);  // "in Mirrowfen2021/08/31.AddFolder.<procedure> "
}  // namespace Location

// The report text: description, CR LF, location, "at line ", step, CR CR, support request.
QString UnexpectedErrorText(const QString &description, const QString &location, int step);

// Shows the report box (title "Application Error", warning icon, OK) and waits for it.
void ReportUnexpectedError(Platform &platform, const QString &description, const QString &location,
                           int step);

// The description of the exception being handled; call it only inside a catch block. Ours and
// the standard ones say what they are; anything else thrown is an "Unknown error".
QString CurrentExceptionDescription();

class Guard {
public:
    // Where a report goes instead of the platform's box: the description, the location and the
    // step, as ReportUnexpectedError takes them.
    using Reporter =
        std::function<void(const QString &description, const QString &location, int step)>;

    Guard(Platform &platform, QString location)
        : platform_(&platform), location_(std::move(location)) {}
    Guard(Reporter reporter, QString location)
        : reporter_(std::move(reporter)), location_(std::move(location)) {}

    // Runs one action of step `number`. A failure is reported and the caller goes on.
    template <class Action>
    void step(int number, Action &&action) {
        line_ = number;
        try {
            std::forward<Action>(action)();
        } catch (...) {
            handleCurrentException();
        }
    }

    // Runs the test that opens a conditional block or loop. A test that fails is reported and
    // counts as held, so the caller enters the block.
    template <class Test>
    bool test(int number, Test &&condition) {
        line_ = number;
        try {
            return static_cast<bool>(std::forward<Test>(condition)());
        } catch (...) {
            handleCurrentException();
            return true;
        }
    }

    // Marks the step without running anything (a step that only starts a loop, say).
    void at(int number) { line_ = number; }
    int line() const { return line_; }
    const QString &location() const { return location_; }

private:
    // Reports the exception in flight; rethrows CommandAbandoned and CommandStopped untouched.
    void handleCurrentException();

    Platform *platform_ = nullptr;
    Reporter reporter_;
    QString location_;
    int line_ = 0;
};
