// A run over a folder without the window, for the test that kills it: "Remove all lines
// containing those characters" with "x" over every file of the folder, each result replacing
// its file, put in place in groups as the window's run puts them.
//
//   run_core_helper [--own-group] FOLDER
//
// --own-group: the helper leads a process group of its own (for a test that kills the group).
//
// Exit status 0 when every file was done.
#include "engine/FileWork.h"
#include "engine/FixedContext.h"
#include "files/CommitQueue.h"
#include "text/Operations.h"

#include <QDir>

#include <cstring>

#include <unistd.h>

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--own-group") == 0) {
        ::setpgid(0, 0);
        --argc;
        ++argv;
    }
    if (argc != 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    Engine::FixedLineContext ctx(Operations::Captions[0], QStringLiteral("x"));
    CommitQueue queue(nullptr, CommitQueue::Mode::Overlapped);
    std::size_t row = 0;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        const QString path = folder.filePath(name);
        Engine::FileResult result = Engine::ProcessFile(path, path, ctx, Engine::WorkOptions(),
                                                        Engine::Destination::Prepare);
        if (result.error)
            return 3;
        if (result.pending && !queue.add(std::move(result.pending), row++).empty())
            return 4;
    }
    return queue.commit().empty() ? 0 : 4;
}
