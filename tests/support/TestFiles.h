// Files and folders as the tests look at them: whole files read and written, a folder's
// entries, what stat says about a path, whether a file was rewritten, and the texts of a list's
// rows.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <ctime>
#include <string_view>

#include <sys/types.h>

namespace TestFiles {

// A path's bytes, as the system calls take it.
inline QByteArray Name(const QString &path) {
    return QFile::encodeName(path);
}

// The bytes as a view, as the text core reads them.
inline std::string_view View(const QByteArray &bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The file's bytes. A file that cannot be read gives "<unreadable: reason>", which no test
// expects as content.
QByteArray Read(const QString &path);

// Creates or replaces the file with exactly these bytes, making the folders it needs. A file
// that cannot be written ends the test program: nothing after it would mean anything.
void Write(const QString &path, const QByteArray &bytes);

// Every entry of the folder, hidden ones included, "." and ".." left out, sorted by name: a
// temporary file left behind shows here. Empty when the folder cannot be listed.
QStringList Entries(const QString &folder);

// What stat (following links) says about a path.
struct Status {
    bool exists = false;
    mode_t permissions = 0;  // the bits of 07777
    uid_t owner = 0;
    gid_t group = 0;
    dev_t device = 0;
    ino_t inode = 0;
};
Status StatusOf(const QString &path);

// What a rewrite changes (following links): a file put in place of another is another inode
// with another modification time. Equal stamps: the file was left alone.
struct Stamp {
    bool exists = false;
    ino_t inode = 0;
    timespec modified{};
    mode_t permissions = 0;  // the bits of 07777
    nlink_t links = 0;
    bool operator==(const Stamp &other) const;
};
Stamp StampOf(const QString &path);

// Sets the modification time to a day in 2001, so that a rewrite cannot keep it by chance.
// False when it cannot be set.
bool MakeOld(const QString &path);

// Makes a named pipe; false when it cannot be made.
bool MakePipe(const QString &path);

// Makes the node of a Unix-domain socket (nothing listens on it); false when it cannot be made.
bool MakeSocket(const QString &path);

// Makes a character device node with the numbers of the null device (1, 3), so that nothing
// is lost even if something opened it. 0, or the error number: EPERM for anyone but root.
int MakeNullDevice(const QString &path);

// What is at a path, told as a text that changes when anything there is replaced: the kind
// and identity of the path itself and, for a symbolic link, its target text and what it leads
// to. "nothing" when there is nothing.
QString Identity(const QString &path);

// The texts of a list's rows, top to bottom (anything with count() and text(row)).
template <class List>
QStringList Rows(const List &list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts.append(list.text(row));
    return texts;
}

}  // namespace TestFiles
