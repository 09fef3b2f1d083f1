// Folders held open while their files are worked on.
//
// A file is read, and its result later put in place, through one descriptor of its folder: the
// folder that the path named when the file was opened, whatever the path names by the time the
// result is committed. A folder on the path swapped for a link to another one meanwhile then
// changes nothing: the result goes where its input came from, never over a file of the other
// folder. Going by the descriptor also spares the kernel the lookup of the path's folders for
// every call.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace RFTSFSO {

// One folder, open (O_PATH) for as long as anything holds it.
class HeldFolder {
public:
    HeldFolder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    HeldFolder(const HeldFolder &) = delete;
    HeldFolder &operator=(const HeldFolder &) = delete;
    ~HeldFolder();

    int fd() const { return fd_; }
    // The path it was opened by, as the file system's bytes.
    const std::string &path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

using FolderRef = std::shared_ptr<const HeldFolder>;

// Opens the folder at `path`; null when it cannot be opened (the caller goes by the path).
FolderRef OpenFolder(const std::string &path);

// The folders one run holds, one descriptor per folder, shared by the readers and the pending
// results in it. The last MostKept folders asked for stay open for the next files; a folder
// dropped from them stays open for as long as a reader or a pending result holds it. The
// folder of a path is the one it named when the run first asked for it. Several threads may
// ask at once.
class HeldFolders {
public:
    static constexpr std::size_t MostKept = 16;

    FolderRef open(const std::string &path);

private:
    std::mutex mutex_;
    std::vector<FolderRef> kept_;  // the latest asked for last
};

}  // namespace RFTSFSO
