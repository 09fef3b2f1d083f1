// The command line's words: what `strelmark remove ...` asks for, checked before anything is
// read or written, and the help text that describes them.
#pragma once

#include "text/Matcher.h"
#include "text/OperationTable.h"

#include <QString>
#include <QStringList>

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

// A message (translated) with the bytes of `first` in place of its %1 and of `second` in place
// of its %2, as they were given: a word of the command line or a path need not be UTF-8.
std::string WithWords(const QString &text, const std::string &first,
                      const std::string &second = {});

// Where the results of a run into a folder go.
enum class Tree {
    Default,  // a folder PATH's files at their path below the output folder, other files flat
    Keep,     // every result at its path below the output folder (--keep-tree)
    Flat,     // every result in the output folder under its file name (--flat)
};

enum class Color { Auto, Always, Never };

// Everything `strelmark remove` (or `strelmark replace`) was given.
struct RemoveRequest {
    Operations::Operation operation = Operations::Operation::LinesContaining;
    QString text;                    // the condition (the four text operations), as typed
    Operations::MatchOptions match;  // --match-case, --word, --regex
    bool replacing = false;          // `replace TEXT WITH`: each match becomes `replacement`
    QString replacement;
    QString lineAnswer;         // N of `line N`, as typed
    long long lineNumber = 0;   // N converted as the window converts its answer
    QString outFolder;          // --out, any bytes (base/Main.h, PathText)
    bool inPlace = false;       // --in-place
    bool makeFolder = false;    // --mkdir
    Tree tree = Tree::Default;  // --keep-tree, --flat
    // --ext, split at commas: a folder's files named *.EXT ("*" for every file). Empty: any name
    // (--glob without --ext).
    QStringList extensions{QStringLiteral("html"), QStringLiteral("htm")};
    QStringList globs;           // --glob
    QStringList excludes;        // --exclude
    bool hidden = false;         // --hidden
    int maxDepth = -1;           // --max-depth; -1: no limit
    bool gitignore = false;      // --gitignore
    std::string filesFrom;       // --files-from, as the file system's bytes ("-": standard input)
    bool nullSeparated = false;  // --null
    bool keepLineEnds = true;    // off with --crlf
    bool dryRun = false;         // --dry-run (also set by --diff)
    bool diff = false;           // --diff
    bool json = false;           // --json
    bool quiet = false;          // --quiet
    Color color = Color::Auto;   // --color
    int jobs = 0;                // --jobs; 0: the number of processors
    std::vector<std::string> paths;  // the PATHs, as the file system's bytes
    // Standard input is the only input and its result goes to standard output (no PATH and
    // standard input not a terminal, or the PATH "-").
    bool filter = false;
    bool binaryAsText = false;  // --binary
    QString encoding;           // --encoding NAME (empty: windows-1252)
    bool help = false;          // --help among the words: nothing else counts
    bool version = false;       // --version among the words: nothing else counts
};

// Reads the words that follow "remove"; `inputIsTerminal` tells whether standard input is a
// terminal (else, with no PATH, it is the input). Throws UsageError.
RemoveRequest ParseRemove(const std::vector<std::string> &words, bool inputIsTerminal);
// The same for the words that follow "replace": TEXT and WITH, then what `remove` takes.
RemoveRequest ParseReplace(const std::vector<std::string> &words, bool inputIsTerminal);

// What `strelmark undo` was given.
struct UndoRequest {
    std::string run;  // RUN: a number from --list or a run's name; empty: the last run
    bool list = false;
    bool dryRun = false;
    bool force = false;  // --force: a record that does not read whole, as far as it reads
    bool quiet = false;
    bool help = false;
    bool version = false;
};
UndoRequest ParseUndo(const std::vector<std::string> &words);

// The chooser's text of an operation.
QString CaptionOf(Operations::Operation operation);

// The text of `strelmark --help`.
QString HelpText();

// A text given on the command line, as the file system's or the terminal's bytes: decoded as
// UTF-8, or nothing when they are not valid UTF-8 (which no text of the program can stand for).
bool DecodeUtf8(const std::string &bytes, QString &text);

}  // namespace Cli
