#include "app/RunSummary.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The texts shown to the user, in the user's language.
class Texts {
    Q_DECLARE_TR_FUNCTIONS(RunSummary)
};

}  // namespace

namespace {

constexpr QLatin1StringView Indent{"    "};

}  // namespace

QString CountText(std::uint64_t count) {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English);
    return locale.toString(qulonglong(count));
}

void RunSummary::add(const Engine::FileReport &report) {
    ++filesDone_;
    switch (report.outcome) {
        case Engine::Outcome::Changed: {
            ++written_;
            Output &output = outputs_[report.target];
            if (output.results++ == 0) {
                output.path = report.task.output;
                order_.push_back(report.target);
            }
            break;
        }
        case Engine::Outcome::Unchanged:
            ++unchanged_;
            break;
        case Engine::Outcome::Empty:
            ++empty_;
            break;
        case Engine::Outcome::Binary:
            ++binary_;
            break;
        case Engine::Outcome::TooComplex:
            ++tooComplex_;
            failures_.append(report.description());
            break;
        case Engine::Outcome::Undecodable:
        case Engine::Outcome::ReadFailed:
        case Engine::Outcome::WriteFailed:
        case Engine::Outcome::PathFailed:
            failures_.append(report.description());
            break;
        case Engine::Outcome::Skipped:  // the window's rows are never skipped
            break;
    }
}

void RunSummary::stopped(int left) {
    stopped_ = true;
    total_ = filesDone_ + left;
}

std::vector<std::pair<QString, int>> RunSummary::writtenMoreThanOnce() const {
    std::vector<std::pair<QString, int>> twice;
    for (const std::string &target : order_) {
        const Output &output = outputs_.at(target);
        if (output.results >= 2)
            twice.emplace_back(output.path, output.results);
    }
    return twice;
}

QString RunSummary::text(const QString &undoNote) const {
    QStringList lines;
    // How many files the run went through (a stopped run says so, and of how many).
    if (stopped_)
        lines.append(Texts::tr("Stopped after %1 of %2 files.").arg(filesDone_).arg(total_));
    else
        lines.append(filesDone_ == 1 ? QCoreApplication::translate("RunSummary", "1 file.")
                                     : QCoreApplication::translate("RunSummary", "%1 files.")
                                           .arg(CountText(std::uint64_t(filesDone_))));
    if (!options_.isEmpty())
        lines.append(Texts::tr("Matched with: %1").arg(options_));
    lines.append(Texts::tr("Written: %1").arg(written_));
    lines.append(Texts::tr("Unchanged (not rewritten): %1").arg(unchanged_));
    lines.append(Texts::tr("Empty results (not written): %1").arg(empty_));
    if (binary_ > 0)
        lines.append(Texts::tr("Binary files (left alone): %1").arg(binary_));
    if (!skipped_.isEmpty()) {
        lines.append(Texts::tr("Skipped by the folder search: %1").arg(skipped_.size()));
        for (const QString &entry : skipped_)
            lines.append(Indent + entry);
    }
    if (tooComplex_ > 0)
        lines.append(Texts::tr("Pattern too complex (left alone): %1").arg(tooComplex_));
    lines.append(Texts::tr("Failed: %1").arg(failures_.size()));
    for (const QString &failure : failures_)
        lines.append(Indent + failure);
    const std::vector<std::pair<QString, int>> twice = writtenMoreThanOnce();
    lines.append(Texts::tr("Output names written more than once: %1").arg(twice.size()));
    for (const auto &[path, results] : twice)
        lines.append(Indent + Texts::tr("%1 (%2 times)").arg(path).arg(results));
    if (!undoNote.isEmpty())
        lines.append(undoNote);
    return lines.join(u'\n');
}
