#include "undo/UndoSummary.h"

#include "files/PathText.h"
#include "posix/Errors.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(Undo)
};

}  // namespace

namespace {

using PathShown = QString (*)(const std::string &bytes);

QString ReadablePath(const std::string &bytes) {
    return QString::fromUtf8(bytes);
}

QString ExactPath(const std::string &bytes) {
    return PathText(bytes);
}

QString ErrorText(int error) {
    return QString::fromStdString(Posix::ErrorText(error));
}

// The first line of an undo that did nothing, or an empty one.
QString NotDoneText(const UndoSummary &summary) {
    switch (summary.outcome) {
        case UndoSummary::Outcome::NothingToUndo:
            return Texts::tr("There is no run to undo.");
        case UndoSummary::Outcome::RunInProgress:
            if (summary.chosen)
                return Texts::tr("That run is still in progress; undo it when it has ended.");
            return Texts::tr("The last run is still in progress; undo it when it has ended.");
        case UndoSummary::Outcome::NotFound:
            return Texts::tr(
                "There is no such run to undo (it was undone, or dropped as too old).");
        case UndoSummary::Outcome::StoreFailed:
            return Texts::tr("The undo store cannot be used: ") + ErrorText(summary.storeError);
        case UndoSummary::Outcome::Damaged: {
            const UndoRunInfo *run = summary.run ? &*summary.run : nullptr;
            return Texts::tr(
                       "The record of the run %1 does not read whole: %2. %3 of its files "
                       "read. Nothing was changed, and the run and the originals it keeps "
                       "are kept.")
                .arg(run ? run->name : QString(), QString::fromStdString(summary.damage))
                .arg(run ? run->files : 0);
        }
        case UndoSummary::Outcome::Done:
            break;
    }
    return QString();
}

// What a dry run found, in the same order: what an undo now would do to each file.
QStringList DescribeDryRun(const UndoSummary &summary, PathShown shown) {
    QStringList lines;
    lines.append(Texts::tr("%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.")
                     .arg(summary.restored.size())
                     .arg(summary.removed.size())
                     .arg(summary.leftAlone.size() + summary.failed.size()));
    for (const std::string &file : summary.restored)
        lines.append(Texts::tr("Would restore: %1").arg(shown(file)));
    for (const std::string &file : summary.removed)
        lines.append(Texts::tr("Would remove: %1").arg(shown(file)));
    for (const UndoSummary::LeftAlone &file : summary.leftAlone) {
        lines.append((file.reason == UndoSummary::Reason::Gone
                          ? Texts::tr("Would leave alone, no longer there: %1")
                          : Texts::tr("Would leave alone, changed since the run: %1"))
                         .arg(shown(file.path)));
    }
    for (const UndoSummary::Failure &file : summary.failed)
        lines.append(
            Texts::tr("Would leave alone, %1: %2").arg(ErrorText(file.error), shown(file.path)));
    return lines;
}

}  // namespace

QStringList DescribeUndo(const UndoSummary &summary, UndoPaths paths) {
    const PathShown shown = paths == UndoPaths::Exact ? ExactPath : ReadablePath;
    if (summary.outcome != UndoSummary::Outcome::Done)
        return {NotDoneText(summary)};
    if (summary.dryRun)
        return DescribeDryRun(summary, shown);
    QStringList lines;
    lines.append(Texts::tr("%1 restored, %2 removed, %3 left alone, %4 failed.")
                     .arg(summary.restored.size())
                     .arg(summary.removed.size())
                     .arg(summary.leftAlone.size())
                     .arg(summary.failed.size()));
    for (const std::string &file : summary.restored)
        lines.append(Texts::tr("Restored: ") + shown(file));
    for (const UndoSummary::NotKept &file : summary.notKept) {
        QStringList what;
        for (const std::string &item : file.what)
            what.append(shown(item));
        lines.append(Texts::tr("Restored without ") + what.join(QStringLiteral(", ")) +
                     QStringLiteral(": ") + shown(file.path));
    }
    for (const std::string &file : summary.removed)
        lines.append(Texts::tr("Removed: ") + shown(file));
    for (const UndoSummary::LeftAlone &file : summary.leftAlone) {
        lines.append((file.reason == UndoSummary::Reason::Gone
                          ? Texts::tr("Left alone, no longer there: ")
                          : Texts::tr("Left alone, changed since the run: ")) +
                     shown(file.path));
    }
    for (const UndoSummary::Failure &file : summary.failed) {
        lines.append(
            (file.error == ENOENT
                 ? Texts::tr("Not restored, no longer there (kept for the next undo): ")
                 : Texts::tr("Not restored, ") + ErrorText(file.error) + QStringLiteral(": ")) +
            shown(file.path));
    }
    if (summary.notReached > 0)
        lines.append(QCoreApplication::translate(
                         "Undo", "Stopped: %1 files not reached, kept for the next undo.")
                         .arg(summary.notReached));
    return lines;
}
