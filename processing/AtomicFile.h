// A file that replaces its target only once it is complete.
//
// The bytes go to a temporary file in the target's folder; commit() makes it durable (fdatasync)
// and then puts it in the target's place in one rename. Until then the target is untouched, and
// a failure, an exception or the end of the process leaves no temporary file behind: the
// temporary file has no name at all (O_TMPFILE) until commit() links it in. On a file system
// that cannot make unnamed files, a named one (".<name>.XXXXXX" beside the target) is used and
// removed on every path but a crash of the process.
//
// This is the protocol of QSaveFile, written directly on the system calls because QSaveFile
// spends about twice as many of them per file, which matters when thousands of small results are
// written. Like QSaveFile:
// - a target reached through symbolic links is the file at the end of the links: its content is
//   replaced and the links stay;
// - a replaced file keeps its permission bits (and its owner and group, where this user may set
//   them); they are set after the last write, so set-id bits survive too;
// - a folder at the target's path is refused ("Is a directory"), and so is anything else that is
//   not a regular file.
// - an existing target that this user may not write is refused ("Permission denied") rather than
//   replaced, although the rename itself would need only the folder's permission.
//
// All failures throw FileError of kind Write, with the path as given.
#pragma once

#include "RFTSFSO.h"

#include <QString>

#include <cstddef>
#include <string>

namespace RFTSFSO {

class AtomicFile {
public:
    // `temporary` says whether an unnamed temporary file is tried first (see Temporary).
    explicit AtomicFile(const QString &path, Temporary temporary = Temporary::Unnamed);
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    ~AtomicFile();

    void write(const char *data, std::size_t size);
    // Puts the written bytes in the target's place. Nothing may be written after it.
    void commit();

private:
    [[noreturn]] void fail(int error);
    void discard();
    void takeOverAttributes();

    QString path_;  // as given, for the errors
    int fd_ = -1;
    std::string target_;     // the file to replace, symbolic links resolved
    std::string temporary_;  // the named temporary file; empty while it has no name
    bool exists_ = false;    // a file is at the target now
    unsigned mode_ = 0;      // and these are its permission bits, owner and group
    unsigned owner_ = 0, group_ = 0;
};

}  // namespace RFTSFSO
