#include "undo/UndoSummary.h"

#include "posix/Errors.h"

#include <QCoreApplication>

#include <cerrno>
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
            if (summary.chosen)
                return QCoreApplication::translate(
                    "Undo", "That run is still in progress; undo it when it has ended.");
            return QStringLiteral("The last run is still in progress; undo it when it has ended.");
        case UndoSummary::Outcome::NotFound:
            return QCoreApplication::translate(
                "Undo", "There is no such run to undo (it was undone, or dropped as too old).");
        case UndoSummary::Outcome::StoreFailed:
            return QStringLiteral("The undo store cannot be used: ") +
                   ErrorText(summary.storeError);
        case UndoSummary::Outcome::Damaged: {
            const UndoRunInfo *run = summary.run ? &*summary.run : nullptr;
            return QCoreApplication::translate(
                       "Undo",
                       "The record of the run %1 does not read whole: %2. %3 of its files "
                       "read. Nothing was changed, and the run and the originals it keeps are "
                       "kept.")
                .arg(run ? run->name : QString(), QString::fromStdString(summary.damage))
                .arg(run ? run->files : 0);
        }
        case UndoSummary::Outcome::Done:
            break;
    }
    return QString();
}

// What a dry run found, in the same order: what an undo now would do to each file.
QStringList DescribeDryRun(const UndoSummary &summary) {
    auto tr = [](const char *text) { return QCoreApplication::translate("Undo", text); };
    QStringList lines;
    lines.append(tr("%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.")
                     .arg(summary.restored.size())
                     .arg(summary.removed.size())
                     .arg(summary.leftAlone.size() + summary.failed.size()));
    for (const std::string &file : summary.restored)
        lines.append(tr("Would restore: %1").arg(PathText(file)));
    for (const std::string &file : summary.removed)
        lines.append(tr("Would remove: %1").arg(PathText(file)));
    for (const UndoSummary::LeftAlone &file : summary.leftAlone) {
        lines.append((file.reason == UndoSummary::Reason::Gone
                          ? tr("Would leave alone, no longer there: %1")
                          : tr("Would leave alone, changed since the run: %1"))
                         .arg(PathText(file.path)));
    }
    for (const UndoSummary::Failure &file : summary.failed)
        lines.append(
            tr("Would leave alone, %1: %2").arg(ErrorText(file.error), PathText(file.path)));
    return lines;
}

}  // namespace

QStringList DescribeUndo(const UndoSummary &summary) {
    if (summary.outcome != UndoSummary::Outcome::Done)
        return {NotDoneText(summary)};
    if (summary.dryRun)
        return DescribeDryRun(summary);
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
        lines.append((file.error == ENOENT
                          ? QStringLiteral("Not restored, no longer there (kept for the next "
                                           "undo): ")
                          : QStringLiteral("Not restored, ") + ErrorText(file.error) +
                                QStringLiteral(": ")) +
                     PathText(file.path));
    }
    if (summary.notReached > 0)
        lines.append(QCoreApplication::translate(
                         "Undo", "Stopped: %1 files not reached, kept for the next undo.")
                         .arg(summary.notReached));
    return lines;
}
