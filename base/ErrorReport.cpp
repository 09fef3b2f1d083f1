#include "base/ErrorReport.h"

#include "base/Platform.h"
#include "posix/Errors.h"

#include <QCoreApplication>
#include <cstring>
#include <new>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(ErrorReport)
};

}  // namespace

AppError::AppError(const QString &description)
    : std::runtime_error(description.toUtf8().toStdString()) {}

QString SystemErrorText(int error) {
    return QString::fromStdString(Posix::ErrorText(error));
}

AppError AppError::fromErrno(int error) {
    return AppError(SystemErrorText(error));
}

AppError AppError::aboutPath(const QString &reason, const QString &path) {
    return AppError(reason + QStringLiteral(": ") + path);
}

AppError AppError::fromErrno(int error, const QString &path) {
    return aboutPath(fromErrno(error).description(), path);
}

QString Location::form1(const char *procedure) {
    return QStringLiteral("in Kestrune2021/08/31.Form1.%1 ").arg(QLatin1String(procedure));
}

QString Location::addFolder(const char *procedure) {
    return QStringLiteral("in Mirrowfen2021/08/31.AddFolder.%1 ").arg(QLatin1String(procedure));
}

QString UnexpectedErrorText(const QString &description, const QString &location, int step) {
    return Texts::tr(description.toUtf8().constData()) + QStringLiteral("\r\n") + location +
           Texts::tr("at line ") + QString::number(step) + QStringLiteral("\r\r") +
           Texts::tr("Please email screenshot of this message to ") + SupportAddress;
}

void ReportUnexpectedError(Platform &platform, const QString &description, const QString &location,
                           int step) {
    platform.messageBox(UnexpectedErrorText(description, location, step),
                        Texts::tr("Application Error"), Platform::Icon::Warning);
}

QString CurrentExceptionDescription() {
    try {
        throw;
    } catch (const AppError &error) {
        return error.description();
    } catch (const std::bad_alloc &) {
        return Texts::tr("Out of memory");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return Texts::tr("Unknown error");
    }
}

void Guard::handleCurrentException() {
    try {
        throw;
    } catch (const CommandAbandoned &) {
        throw;
    } catch (const CommandStopped &) {
        throw;
    } catch (...) {
        if (reporter_)
            reporter_(CurrentExceptionDescription(), location_, line_);
        else
            ReportUnexpectedError(*platform_, CurrentExceptionDescription(), location_, line_);
    }
}
