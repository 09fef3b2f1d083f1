// A failure of the text core at the file system's edge: what was being done, to which path, and
// why, as a value that the caller can look at. The window turns it into the report's text
// (DescribeFileError); tests look at the kind and the error number, which do not change with
// the locale as the system's wording does.
#pragma once

#include <QString>

#include <exception>
#include <string>

#include <sys/types.h>

class FileError : public std::exception {
public:
    // What was being done: reading the input, or creating and writing the result.
    enum class Kind { Read, Write };
    // What was found at the path when it is there but is neither a regular file nor a folder;
    // DanglingLink: a symbolic link to nothing, which a result is never written through.
    enum class Special { None, NamedPipe, Socket, Device, Other, DanglingLink };

    // A system call failed with `error` (an errno value).
    FileError(Kind kind, QString path, int error);
    // The same, where the failure was of the undo store kept in `store` (its disk full, say),
    // not of the file at `path`.
    FileError(Kind kind, QString path, int error, QString store);
    // Something that is no regular file is at the path.
    FileError(Kind kind, QString path, Special special);

    // The kind of special file that a stat mode names; None for regular files and folders.
    static Special SpecialOf(mode_t mode);

    Kind kind() const { return kind_; }
    // The path as it was given.
    const QString &path() const { return path_; }
    // The system's error number; 0 when there is none (a special file).
    int error() const { return error_; }
    Special special() const { return special_; }
    // The undo store's folder when the failure was the store's; empty otherwise.
    const QString &store() const { return store_; }

    // DescribeFileError's text, as UTF-8.
    const char *what() const noexcept override { return what_.c_str(); }

private:
    Kind kind_;
    QString path_;
    int error_ = 0;
    Special special_ = Special::None;
    QString store_;
    std::string what_;
};

// The user's text: the operating system's wording for the error number (or "Is a named pipe,
// not a regular file" and the like), ": " and the path, so that a report names the file it is
// about: "Permission denied: /home/ann/site/a.htm". A failure of the undo store names it before
// the file: "No space left on device (the undo store, /home/ann/.local/share/...): /home/...".
QString DescribeFileError(const FileError &error);
