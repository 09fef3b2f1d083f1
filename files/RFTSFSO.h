// Reading text files as lines and writing whole texts, on bytes: the face of the files room.
//
// A run streams: LineReader (files/LineReader.h) hands out one line at a time, and ResultWriter
// (files/ResultWriter.h) joins the kept lines with CR LF (or, on request, with each line's own
// line end) and puts the result in place atomically. ReadTextFileLines and WriteTextFile are the
// whole-file interface; they share the same splitter and the same writer.
#pragma once

#include "files/AtomicFile.h"
#include "files/LineReader.h"
#include "files/ResultWriter.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace RFTSFSO {

// The file's lines, indexed from 0; an empty file is one empty line. Throws FileError (Read).
std::vector<std::string> ReadTextFileLines(const QString &path);

// Creates or replaces the file at `path` with exactly `text` (the empty text gives an empty
// file), atomically and durably, before it returns; a file that holds exactly `text` already
// is left as it is. Throws FileError (Write).
void WriteTextFile(std::string_view text, const QString &path,
                   Temporary temporary = Temporary::Unnamed);

}  // namespace RFTSFSO
