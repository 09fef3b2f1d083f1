#include "undo/UndoSummary.h"

#include "posix/Errors.h"

#include <cstring>

namespace {

QString PathText(const std::string &bytes) {
    return QString::fromUtf8(bytes);
}

QString ErrorText(int error) {
    return QString::fromStdString(Posix::ErrorText(error));
}

// The first line of an undo that did nothing, or an empty one.
QString NotDoneText(const UndoSummary &summary) {
    switch (summary.outcome) {
        case UndoSummary::Outcome::NothingToUndo:
            return QStringLiteral("There is no run to undo.");
        case UndoSummary::Outcome::RunInProgress:
            return QStringLiteral("The last run is still in progress; undo it when it has ended.");
        case UndoSummary::Outcome::StoreFailed:
            return QStringLiteral("The undo store cannot be used: ") +
                   ErrorText(summary.storeError);
        case UndoSummary::Outcome::Done:
            break;
    }
    return QString();
}

}  // namespace

QStringList DescribeUndo(const UndoSummary &summary) {
    if (summary.outcome != UndoSummary::Outcome::Done)
        return {NotDoneText(summary)};
    QStringList lines;
    lines.append(QStringLiteral("%1 restored, %2 removed, %3 left alone, %4 failed.")
                     .arg(summary.restored.size())
                     .arg(summary.removed.size())
                     .arg(summary.leftAlone.size())
                     .arg(summary.failed.size()));
    for (const std::string &file : summary.restored)
        lines.append(QStringLiteral("Restored: ") + PathText(file));
    for (const UndoSummary::NotKept &file : summary.notKept) {
        QStringList what;
        for (const std::string &item : file.what)
            what.append(PathText(item));
        lines.append(QStringLiteral("Restored without ") + what.join(QStringLiteral(", ")) +
                     QStringLiteral(": ") + PathText(file.path));
    }
    for (const std::string &file : summary.removed)
        lines.append(QStringLiteral("Removed: ") + PathText(file));
    for (const UndoSummary::LeftAlone &file : summary.leftAlone) {
        lines.append((file.reason == UndoSummary::Reason::Gone
                          ? QStringLiteral("Left alone, no longer there: ")
                          : QStringLiteral("Left alone, changed since the run: ")) +
                     PathText(file.path));
    }
    for (const UndoSummary::Failure &file : summary.failed) {
        lines.append(QStringLiteral("Not restored, ") + ErrorText(file.error) +
                     QStringLiteral(": ") + PathText(file.path));
    }
    return lines;
}
