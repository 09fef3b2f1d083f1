#include "files/RFTSFSO.h"

#include "files/CommitQueue.h"

namespace RFTSFSO {

std::vector<std::string> ReadTextFileLines(const QString &path) {
    LineReader reader(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    return lines;
}

void WriteTextFile(std::string_view text, const QString &path, Temporary temporary) {
    ResultWriter writer(path, temporary);
    writer.beginLine();
    writer.append(text);
    writer.finish();
    if (std::unique_ptr<PendingResult> pending = writer.takePending()) {
        CommitQueue queue;
        queue.add(std::move(pending), 0);
        const std::vector<CommitFailure> failures = queue.commit();
        if (!failures.empty())
            throw failures.front().error;
    }
}

}  // namespace RFTSFSO
