// What a run is asked to do, and the two conversions every front end shares: where a file's
// result goes, and which line "Remove line number n in all files" removes for an answer.
#pragma once

#include <QString>

namespace Engine {

// Where the result of `inputPath` goes: into `outputFolder` (the text of the output folder's
// box, or the command line's folder) under the input's name when `toFolder`, else in place of
// the input itself.
QString ResultPath(bool toFolder, const QString &outputFolder, const QString &inputPath);

// The line that "Remove line number n in all files" removes for the answer typed at its
// prompt: any number, rounded half to even; 0 (no line) for an answer that is no number or
// lies beyond every line a file can have.
long long LineNumberFromAnswer(const QString &answer);

}  // namespace Engine
