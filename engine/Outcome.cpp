#include "engine/Outcome.h"

namespace Engine {

QString FileReport::description() const {
    if (outcome == Outcome::PathFailed || outcome == Outcome::Skipped)
        return task.problem;
    if (error)
        return DescribeFileError(*error);
    return failure + QStringLiteral(": ") + task.input;
}

QString FileReport::reason() const {
    if (outcome == Outcome::PathFailed || outcome == Outcome::Skipped)
        return task.problem;
    if (outcome == Outcome::Undecodable || outcome == Outcome::TooComplex)
        return description();  // the file's encoding is no reason without the file
    return error ? DescribeFileError(*error) : failure;
}

void Totals::add(const FileReport &report) {
    ++files;
    switch (report.outcome) {
        case Outcome::Changed:
            ++changed;
            break;
        case Outcome::Unchanged:
            ++unchanged;
            break;
        case Outcome::Empty:
            ++empty;
            break;
        case Outcome::Binary:
            ++binary;
            break;
        case Outcome::Undecodable:
            ++undecodable;
            break;
        case Outcome::TooComplex:
            ++tooComplex;
            break;
        case Outcome::ReadFailed:
            ++readFailed;
            break;
        case Outcome::WriteFailed:
            ++writeFailed;
            break;
        case Outcome::PathFailed:
            ++pathFailed;
            break;
        case Outcome::Skipped:
            ++skipped;
            break;
    }
    readsEarlier += report.relation == Relation::ReadsEarlier;
    overwritesEarlier += report.relation == Relation::OverwritesEarlier;
    if (report.failed() || report.outcome == Outcome::Binary || report.outcome == Outcome::Skipped)
        return;
    linesRead += report.linesRead;
    linesRemoved += report.linesRemoved();
    charactersRemoved += report.charactersRemoved;
}

}  // namespace Engine
