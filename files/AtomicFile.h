// A file that replaces its target only once it is complete.
//
// The bytes go to a temporary file in the target's folder. prepare() completes it as a
// PendingResult, which a CommitQueue makes durable and puts in the target's place in one rename
// (commit() does both at once for a file on its own). Until then the target is untouched, and a
// failure, an exception or the end of the process leaves no temporary file behind: the
// temporary file has no name at all (O_TMPFILE) until it is put in place. On a file system that
// cannot make unnamed files, a named one (".<name>.XXXXXX" beside the target) is used and
// removed on every path but a crash of the process.
//
// This is the protocol of QSaveFile, written directly on the system calls because QSaveFile
// spends about twice as many of them per file, which matters when thousands of small results are
// written. Like QSaveFile:
// - a target reached through symbolic links is the file at the end of the links: its content is
//   replaced and the links stay; a link to nothing is refused (as cp refuses it), so that a
//   result is never made outside the folder it was meant for;
// - a replaced file keeps its permission bits (and its owner and group, where this user may set
//   them); they are set after the last write, so set-id bits survive too. Where the owner or the
//   group cannot be kept, the set-user-ID and set-group-ID bits are cleared instead, so that they
//   never apply to another owner or group;
// - a folder at the target's path is refused ("Is a directory"), and so is anything else that is
//   not a regular file.
// - an existing target that this user may not write is refused ("Permission denied") rather than
//   replaced, although the rename itself would need only the folder's permission.
// Beyond QSaveFile, a replaced file keeps its extended attributes (user.*, and security.* and
// trusted.* where this user may set them) and its POSIX ACL. A replaced file that had other hard
// links loses them: the other names keep the old content.
//
// All failures throw FileError of kind Write, with the path as given.
#pragma once

#include "files/ContentHash.h"
#include "files/FileError.h"
#include "files/HeldFolders.h"
#include "files/WriteBehind.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

class CommitQueue;

namespace RFTSFSO {

class AtomicFile;

// Where the bytes of a result wait until they are complete (see AtomicFile).
enum class Temporary {
    Unnamed,  // a file without a name where the file system can make one, else a named one
    Named,    // always a named file, as on a file system without unnamed files
};

}  // namespace RFTSFSO

// A complete result in a temporary file, waiting to be put in its target's place. Dropped
// without being committed, it leaves nothing behind.
class PendingResult {
public:
    PendingResult(const PendingResult &) = delete;
    PendingResult &operator=(const PendingResult &) = delete;
    ~PendingResult();

    // The output path as it was given, for the errors.
    const QString &path() const { return path_; }
    // The file that will be replaced or created, symbolic links resolved.
    const std::string &target() const { return target_; }
    // A file was at the target when the result was prepared.
    bool replaces() const { return existed_; }
    std::uint64_t size() const { return size_; }
    // The hash of the result's bytes (files/ContentHash.h), when the writer was asked for it.
    bool hashKnown() const { return hashKnown_; }
    std::uint64_t hash() const { return hash_; }

private:
    friend class RFTSFSO::AtomicFile;
    friend class CommitQueue;
    PendingResult() = default;
    void discard();

    QString path_;
    int fd_ = -1;
    std::string target_;
    // The target's folder held open, or null; with it, `temporary_` is a name in that folder
    // and the target is `name_` there.
    RFTSFSO::FolderRef folder_;
    std::string name_;
    std::string temporary_;  // the named temporary file; empty while it has no name
    bool existed_ = false;
    dev_t device_ = 0;  // the file it replaces, as the writer found it
    ino_t inode_ = 0;
    std::uint64_t replacedSize_ = 0;
    std::int64_t replacedModifiedNs_ = 0;
    std::uint64_t replacedSpace_ = 0;  // st_blocks * 512
    std::uint64_t size_ = 0;
    // The result's own identity, when the writer asked for it while completing the file.
    bool identityKnown_ = false;
    dev_t newDevice_ = 0;
    ino_t newInode_ = 0;
    std::int64_t newModifiedNs_ = 0;
    bool hashKnown_ = false;
    std::uint64_t hash_ = 0;

    // Written behind (AtomicFile::writeBehind): what was sent for it, until settle() has waited.
    // The replaced file's attributes are then still owed (a write after them would clear its
    // set-id bits and capabilities): they are taken from `replacedFd_`, when it is open.
    std::unique_ptr<RFTSFSO::WriteBehind::File> behind_;
    bool recordFacts_ = false;
    bool attributesOwed_ = false;
    struct stat replacedInfo_ {};
    mode_t requested_ = 0;
    int replacedFd_ = -1;
    // Waits for the bytes written behind, then completes the file as prepare() would have: 0 or
    // the errno. Nothing to do for a result written at once.
    int settle();
};

namespace RFTSFSO {

// What is at a result's path: the file at the end of its symbolic links, or where it would be
// made (never through a link to nothing).
struct ResultTarget {
    std::string path;  // links resolved, as the file system's bytes
    bool exists = false;
    struct stat info {};  // when it exists: a regular file
    // The folder of `path` held open, when the caller has it: the file is made, and later put
    // in place, in that folder, whatever `path` names by then.
    FolderRef folder;
};

// Follows the links from `path` (as given, for the errors). Throws FileError (Write) when the
// links cannot be followed or lead to nothing, or when a folder or anything else that is no
// regular file is there.
ResultTarget ResolveResultTarget(const QString &path);
// The same, with the path already as the file system's bytes.
ResultTarget ResolveResultTarget(const QString &path, std::string encoded);

class AtomicFile {
public:
    // `temporary` says whether an unnamed temporary file is tried first (see Temporary).
    explicit AtomicFile(const QString &path, Temporary temporary = Temporary::Unnamed);
    // For a target already resolved.
    AtomicFile(const QString &path, Temporary temporary, const ResultTarget &target);
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    ~AtomicFile();

    // For a run that keeps a record of what it replaces: the bytes are hashed as they are
    // written, and prepare() learns the result's identity too, so that the commit needs
    // neither to read the result back nor to look at it. Before the first write.
    void recordFacts() { recordFacts_ = true; }
    // The bytes are written by the writing thread (files/WriteBehind.h) while the caller goes
    // on; the replaced file's attributes are then taken over, and a failed write is answered,
    // when the pending result is settled by the CommitQueue that puts it in place. Before the
    // first write.
    void writeBehind();
    bool writesBehind() const { return behind_ != nullptr; }

    void write(const char *data, std::size_t size);
    // The same, handing over `data` (from malloc), which is freed once written.
    void writeOwned(char *data, std::size_t size);
    // Copies the first `size` bytes of the file open as `fd` (inside the kernel where it can).
    void copyFrom(int fd, std::uint64_t size);
    // Completes the file: the replaced file's permissions, owner, group, extended attributes and
    // ACL, read from `replacedFd` when it is open (else from the target's path). Nothing may be
    // written after it.
    std::unique_ptr<PendingResult> prepare(int replacedFd = -1);
    // prepare(), then made durable and put in the target's place at once.
    void commit();

private:
    [[noreturn]] void fail(int error);
    void discard();
    void takeOverAttributes(int replacedFd);

    QString path_;  // as given, for the errors
    int fd_ = -1;
    std::string target_;       // the file to replace, symbolic links resolved
    FolderRef folder_;         // its folder held open, or null
    std::string name_;         // with folder_: the target's name in it
    std::string temporary_;    // the named temporary file; empty while it has no name
    bool exists_ = false;      // a file is at the target now
    struct stat existing_ {};  // and this is what stat said about it
    mode_t requested_ = 0;     // the permission bits the temporary file was opened with
    std::uint64_t size_ = 0;   // bytes written
    struct stat created_ {};   // the temporary file's own status, when it was asked for
    bool createdKnown_ = false;
    bool recordFacts_ = false;
    ContentHasher hasher_;                       // with recordFacts_: the bytes written so far
    std::unique_ptr<WriteBehind::File> behind_;  // with writeBehind(): what was sent

    // The folder to go by for the target and the temporary file, and their names there.
    int at() const { return folder_ ? folder_->fd() : AT_FDCWD; }
    const char *targetName() const { return folder_ ? name_.c_str() : target_.c_str(); }
};

}  // namespace RFTSFSO
