// "Is this the same file?": the place a path names, the way the reader and the writer reach it.
//
// A place is the folder that holds the entry, by its file system and inode (so every spelling
// of the folder, through any symbolic link, is the same folder), and the entry's name, with a
// symbolic link at the name followed to its end (a result written through the link replaces the
// file at its end). Two paths that reach one place have equal places. Hard links are not
// joined: a result replaces a name, and another name of the same file keeps the old content.
//
// A folder that does not exist yet (a dry run into an output folder it would make) is known by
// its absolute path.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include <sys/types.h>

namespace RFTSFSO {

struct Place {
    std::uint64_t folderDevice = 0;
    std::uint64_t folderInode = 0;  // 0 and 0: `name` is the whole absolute path
    std::string name;

    bool operator==(const Place &) const = default;
};

struct PlaceHash {
    std::size_t operator()(const Place &place) const {
        return std::hash<std::string>()(place.name) ^ (place.folderInode * 0x9E3779B97F4A7C15ull) ^
               place.folderDevice;
    }
};

// Finds places, remembering what it learnt of each folder: a folder many paths are in is listed
// once for its symbolic links, so most paths cost no system call. Used by one thread.
class Places {
public:
    Place of(const QString &path);
    // The same, with the path as the file system's bytes.
    Place of(const std::string &bytes) { return resolve(bytes, 0); }

private:
    struct Folder {
        bool exists = false;
        std::uint64_t device = 0, inode = 0;
        std::string absolute;  // when it does not exist
        std::size_t asked = 0;
        bool listed = false;
        std::unordered_set<std::string> links;  // when listed: its entries that are links
    };

    Place resolve(const std::string &bytes, int depth);
    Folder &folderOf(const std::string &folder);
    bool isLink(Folder &known, const std::string &folder, const std::string &name);

    std::unordered_map<std::string, Folder> folders_;
};

}  // namespace RFTSFSO
