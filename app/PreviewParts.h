// What the preview's two halves share: its line context, and the kinds of rows its table and
// summary name.
#pragma once

#include "app/PreviewDialog.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "engine/Plan.h"
#include "text/Operations.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

namespace PreviewParts {

// `one` and `many` are the preview's texts (context "PreviewDialog"), shown translated.
inline QString Counted(std::uint64_t count, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(count).arg(
        QCoreApplication::translate("PreviewDialog", count == 1 ? one : many));
}

// The summary's kinds of rows, in the order it names them.
enum Kind {
    WrittenKind,
    UnchangedKind,
    EmptyKind,
    BinaryKind,
    UndecodableKind,
    TooComplexKind,
    UnreadableKind,
    UnwritableKind,
    OverwritesKind,
    ReadsKind
};
static_assert(ReadsKind + 1 == PreviewDialog::KindCount, "the preview counts every kind of row");

inline Kind KindOf(const PreviewDialog::Row &row) {
    switch (row.relation) {
        case Engine::Relation::OverwritesEarlier:
            return OverwritesKind;
        case Engine::Relation::ReadsEarlier:
            return ReadsKind;
        case Engine::Relation::None:
            break;
    }
    switch (row.outcome) {
        case Engine::Outcome::Changed:
            return WrittenKind;
        case Engine::Outcome::Unchanged:
            return UnchangedKind;
        case Engine::Outcome::Empty:
            return EmptyKind;
        case Engine::Outcome::Binary:
            return BinaryKind;
        case Engine::Outcome::Undecodable:
            return UndecodableKind;
        case Engine::Outcome::TooComplex:
            return TooComplexKind;
        case Engine::Outcome::WriteFailed:
            return UnwritableKind;
        case Engine::Outcome::ReadFailed:
        case Engine::Outcome::PathFailed:
        case Engine::Outcome::Skipped:  // the window's rows are never skipped
            break;
    }
    return UnreadableKind;
}

// A row that failed.
inline bool Failed(const PreviewDialog::Row &row) {
    const Kind kind = KindOf(row);
    return kind == UnreadableKind || kind == UnwritableKind || kind == UndecodableKind ||
           kind == TooComplexKind;
}

// A row whose file is left alone or failed: nothing is shown of its lines, nor counted.
inline bool LeftAlone(const PreviewDialog::Row &row) {
    return Failed(row) || KindOf(row) == BinaryKind;
}

}  // namespace PreviewParts

// What the preview asks while it works: the values it began with, and a yield as a run's, after
// which `check` may end the work.
class PreviewDialog::Context : public Operations::LineContext {
public:
    Context(const Job &job, std::function<void()> check) : job_(job), check_(std::move(check)) {}

    bool letEventsRun() override {
        bool ran;
        try {
            ran = EventPump::LetEventsRun();
        } catch (const CommandStopped &) {
            throw Engine::Stopped{};
        }
        check_();
        return ran;
    }
    QString conditionText() override { return job_.conditionText; }
    QString chooserText() override { return job_.chooserText; }

private:
    const Job &job_;
    std::function<void()> check_;
};
