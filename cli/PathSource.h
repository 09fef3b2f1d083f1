// The files of a `strelmark remove`: its PATHs in the order given, then the files of its
// --files-from list in the list's order (a folder in the list is passed over, so that a list
// from find can be given as it is), a folder's files as the
// command line's folder search finds them (cli/FolderSearch.h: the window's order, with the
// filters), any other PATH as it is, like a file dropped on the list. What cannot be used
// becomes a task with its problem, in its place.
//
// Every folder is walked first (the walk looks for folders only); their files are then listed
// one folder at a time while the run goes, so that the first files are worked on while later
// folders are read. The run makes new files only in the output folder and the undo store (and
// hidden temporary files, which a listing leaves out): a walked folder that is one of those is
// listed before anything is written, so that the run works on the files that were there when it
// started, as the window's list holds them.
#pragma once

#include "cli/Arguments.h"
#include "cli/FolderSearch.h"
#include "cli/NameList.h"
#include "engine/Plan.h"
#include "engine/Sink.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Cli {

class PathSource : public Engine::FileSource {
public:
    // `written`: the folders the run makes files in, symbolic links resolved. `store`: the undo
    // store's folder, links resolved (or empty): no file in it is taken, found by a folder
    // search (through a link too), named or listed; each named or reached by a link is listed
    // as skipped.
    // The walk ends with Engine::Stopped once `stop` is asked for.
    PathSource(const RemoveRequest &request, std::vector<std::string> written, std::string store,
               const Engine::StopToken &stop);
    ~PathSource() override;

    bool next(std::vector<Engine::FileTask> &tasks) override;

private:
    struct Source;
    class Hooks;

    // The task of a file; `below`: its path below the searched folder it was found in, or empty.
    Engine::FileTask taskFor(const QString &input, const QString &below) const;
    // A PATH, or a name from the --files-from list (`listed`: a folder is passed over).
    Source find(const std::string &bytes, bool listed);
    bool nextListed(std::vector<Engine::FileTask> &tasks);
    bool isWritten(const std::string &own) const;
    bool inStore(const std::string &bytes, bool link);

    const RemoveRequest &request_;
    const SearchFilter filter_;
    const std::vector<std::string> written_;
    const std::string store_;
    const Engine::StopToken &stop_;
    std::vector<Source> sources_;
    std::unique_ptr<NameList> list_;  // --files-from, once the PATHs are handed out
    bool listDone_ = false;
    std::size_t source_ = 0;  // the source being handed out
    qsizetype folder_ = -1;   // its folder being handed out; -1: its own tasks first
    bool found_ = false;
    std::string lastFolder_, lastFolderReal_;  // the folder of the last file named, resolved
};

}  // namespace Cli
