// The command line's words: what `strelmark remove ...` asks for, checked before anything is
// read or written, and the help text that describes them.
#pragma once

#include "text/OperationTable.h"

#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

namespace Cli {

// The program's version, as the build gives it.
const char *Version();

// A command line that cannot be carried out as written. The message names the word at fault;
// the caller adds the hint to --help and ends with exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Everything `strelmark remove` was given.
struct RemoveRequest {
    Operations::Operation operation = Operations::Operation::LinesContaining;
    QString text;              // the condition (the four text operations), as typed
    QString lineAnswer;        // N of `line N`, as typed
    long long lineNumber = 0;  // N converted as the window converts its answer
    QString outFolder;         // --out
    bool inPlace = false;      // --in-place
    bool makeFolder = false;   // --mkdir
    QString extension = QStringLiteral("html");  // --ext
    bool keepLineEnds = false;                   // --keep-line-ends
    bool dryRun = false;                         // --dry-run (also set by --diff)
    bool diff = false;                           // --diff
    bool json = false;                           // --json
    bool quiet = false;                          // --quiet
    int jobs = 0;                                // --jobs; 0: the number of processors
    std::vector<std::string> paths;              // the PATHs, as the file system's bytes
    bool help = false;                           // --help among the words: nothing else counts
    bool binaryAsText = false;                   // --binary
    QString encoding;                            // --encoding NAME (empty: windows-1252)
};

// Reads the words that follow "remove". Throws UsageError.
RemoveRequest ParseRemove(const std::vector<std::string> &words);

// The chooser's text of an operation.
QString CaptionOf(Operations::Operation operation);

// The text of `strelmark --help`.
QString HelpText();

// A text given on the command line, as the file system's or the terminal's bytes: decoded as
// UTF-8, or nothing when they are not valid UTF-8 (which no text of the program can stand for).
bool DecodeUtf8(const std::string &bytes, QString &text);

}  // namespace Cli
