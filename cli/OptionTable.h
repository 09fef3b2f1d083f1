// The command line's options, each once: its long and short name, the value it takes, the
// commands that take it and its help. `strelmark --help`, the shell completions (which ask
// `strelmark __complete`) and the parser come from this table; a test holds the manual page's
// list of options to it.
#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

namespace Cli {

enum class OptionId {
    Out,
    InPlace,
    MakeFolder,
    KeepTree,
    Flat,
    Ext,
    Glob,
    Exclude,
    Hidden,
    MaxDepth,
    GitIgnore,
    FilesFrom,
    Null,
    MatchCase,
    Word,
    Regex,
    Binary,
    Encoding,
    Crlf,
    KeepLineEnds,
    DryRun,
    List,
    Force,
    Diff,
    Json,
    Quiet,
    Color,
    Jobs,
    Help,
    Version,
};

// What an option's value is, for the completions.
enum class ValueKind {
    None,    // a flag
    Folder,  // a folder's path
    File,    // a file's path, or "-"
    Word,    // anything typed: no completion
    Choice,  // one of `choices`
};

// The commands that take an option (a bit each). `replace` takes every option of `remove`.
enum CommandBits : unsigned { RemoveCommand = 1, UndoCommand = 2 };

// The names of text/CodePages.h's pages, for the completions (a test holds them to the pages).
inline constexpr const char *CodePageChoices =
    "windows-1250 windows-1251 windows-1252 windows-1253 windows-1254 windows-1255 "
    "windows-1256 windows-1257 windows-1258 iso-8859-1 iso-8859-2 iso-8859-3 iso-8859-4 "
    "iso-8859-5 iso-8859-6 iso-8859-7 iso-8859-8 iso-8859-9 iso-8859-10 iso-8859-11 "
    "iso-8859-13 iso-8859-14 iso-8859-15 iso-8859-16 koi8-r koi8-u";

// The headings of --help, in its order.
enum class Group { Where, Which, Match, Text, Printed, Other };

struct OptionInfo {
    OptionId id;
    const char *name;       // the long name, after "--"
    char letter;            // the short name after "-", or 0
    const char *valueName;  // "DIR", "N"...; null for a flag
    ValueKind value;
    const char *choices;  // ValueKind::Choice: the words, with a space between
    unsigned commands;    // CommandBits
    bool repeatable;      // may be given more than once
    Group group;
    const char *help;  // --help's text (translated there): lines of at most 54 characters, "\n"
                       // between
};

inline constexpr std::array<OptionInfo, 30> OptionTable = {{
    {OptionId::Out, "out", 'o', "DIR", ValueKind::Folder, nullptr, RemoveCommand, false,
     Group::Where,
     QT_TRANSLATE_NOOP("Cli",
                       "into the folder DIR: a folder PATH's files at their\n"
                       "path below that folder, a file PATH under its name")},
    {OptionId::InPlace, "in-place", 'i', nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Where, QT_TRANSLATE_NOOP("Cli", "in place of each input file")},
    {OptionId::MakeFolder, "mkdir", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Where, QT_TRANSLATE_NOOP("Cli", "create DIR and its parents when they are missing")},
    {OptionId::KeepTree, "keep-tree", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Where,
     QT_TRANSLATE_NOOP("Cli",
                       "every result at its path below DIR, a file PATH's\n"
                       "too (its path from the current folder)")},
    {OptionId::Flat, "flat", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Where,
     QT_TRANSLATE_NOOP("Cli",
                       "every result in DIR itself, under its file name (the\n"
                       "window's rule: of two equal names the later wins)")},
    {OptionId::Ext, "ext", 'e', "EXT", ValueKind::Word, nullptr, RemoveCommand, true, Group::Which,
     QT_TRANSLATE_NOOP("Cli",
                       "files named *.EXT (default html,htm; * for every\n"
                       "file); repeat it, or give a comma list")},
    {OptionId::Glob, "glob", 'g', "GLOB", ValueKind::Word, nullptr, RemoveCommand, true,
     Group::Which,
     QT_TRANSLATE_NOOP("Cli",
                       "only files whose path below the folder matches GLOB\n"
                       "(gitignore style, ** included); repeatable")},
    {OptionId::Exclude, "exclude", 'E', "GLOB", ValueKind::Word, nullptr, RemoveCommand, true,
     Group::Which,
     QT_TRANSLATE_NOOP("Cli",
                       "leave out the files and whole folders that match\n"
                       "GLOB, never opening such a folder; repeatable")},
    {OptionId::Hidden, "hidden", 'H', nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Which, QT_TRANSLATE_NOOP("Cli", "take the hidden files too (names starting with .)")},
    {OptionId::MaxDepth, "max-depth", 0, "N", ValueKind::Word, nullptr, RemoveCommand, false,
     Group::Which,
     QT_TRANSLATE_NOOP("Cli", "go at most N levels down (1: the folder's own files)")},
    {OptionId::GitIgnore, "gitignore", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Which,
     QT_TRANSLATE_NOOP("Cli",
                       "leave out what .gitignore, .ignore and\n"
                       ".git/info/exclude files leave out")},
    {OptionId::FilesFrom, "files-from", 0, "FILE", ValueKind::File, nullptr, RemoveCommand, false,
     Group::Which,
     QT_TRANSLATE_NOOP("Cli",
                       "also the files that FILE names, one a line, in its\n"
                       "order (- for standard input)")},
    {OptionId::Null, "null", '0', nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Which, QT_TRANSLATE_NOOP("Cli", "the --files-from list ends each name with NUL")},
    {OptionId::MatchCase, "match-case", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Match, QT_TRANSLATE_NOOP("Cli", "letter case counts: \"a\" is no \"A\"")},
    {OptionId::Word, "word", 'w', nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Match,
     QT_TRANSLATE_NOOP("Cli",
                       "only whole words: a match with no letter, digit or\n"
                       "underscore just before or after it")},
    {OptionId::Regex, "regex", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Match,
     QT_TRANSLATE_NOOP("Cli",
                       "TEXT is a regular expression (Perl-compatible,\n"
                       "PCRE2); with replace, WITH may name groups: $1,\n"
                       "${name}, and $$ for a dollar")},
    {OptionId::Binary, "binary", 'a', nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Text,
     QT_TRANSLATE_NOOP("Cli",
                       "files with a NUL byte are text too (as grep -a);\n"
                       "otherwise they are binary and left alone")},
    {OptionId::Encoding, "encoding", 0, "NAME", ValueKind::Choice, CodePageChoices, RemoveCommand,
     false, Group::Text,
     QT_TRANSLATE_NOOP("Cli",
                       "the code page of lines that are not UTF-8, in files\n"
                       "that name none (default windows-1252)")},
    {OptionId::Crlf, "crlf", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Text,
     QT_TRANSLATE_NOOP("Cli",
                       "join the kept lines with CR LF, none after the last\n"
                       "(the window's rule)")},
    {OptionId::KeepLineEnds, "keep-line-ends", 0, nullptr, ValueKind::None, nullptr, RemoveCommand,
     false, Group::Text,
     QT_TRANSLATE_NOOP("Cli",
                       "each kept line keeps its own line end (the default):\n"
                       "a file of which nothing is removed stays as it is")},
    {OptionId::DryRun, "dry-run", 'n', nullptr, ValueKind::None, nullptr,
     RemoveCommand | UndoCommand, false, Group::Printed,
     QT_TRANSLATE_NOOP("Cli", "write nothing: list the files that would change")},
    {OptionId::List, "list", 'l', nullptr, ValueKind::None, nullptr, UndoCommand, false,
     Group::Printed, QT_TRANSLATE_NOOP("Cli", "list the runs kept, newest first, numbered")},
    {OptionId::Force, "force", 0, nullptr, ValueKind::None, nullptr, UndoCommand, false,
     Group::Other,
     QT_TRANSLATE_NOOP("Cli",
                       "undo a run whose record does not read whole: put\n"
                       "back what the part that reads names")},
    {OptionId::Diff, "diff", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Printed,
     QT_TRANSLATE_NOOP("Cli", "write nothing: print a unified diff of the changes")},
    {OptionId::Json, "json", 0, nullptr, ValueKind::None, nullptr, RemoveCommand, false,
     Group::Printed, QT_TRANSLATE_NOOP("Cli", "one JSON object per file, then a summary object")},
    {OptionId::Quiet, "quiet", 'q', nullptr, ValueKind::None, nullptr, RemoveCommand | UndoCommand,
     false, Group::Printed,
     QT_TRANSLATE_NOOP("Cli", "no progress, summary or listing: only errors")},
    {OptionId::Color, "color", 0, "WHEN", ValueKind::Choice, "auto always never", RemoveCommand,
     false, Group::Printed,
     QT_TRANSLATE_NOOP("Cli",
                       "colour the diff and the outcomes: auto (on a\n"
                       "terminal, unless NO_COLOR is set), always or never")},
    {OptionId::Jobs, "jobs", 'j', "N", ValueKind::Word, nullptr, RemoveCommand, false, Group::Other,
     QT_TRANSLATE_NOOP("Cli", "files worked on at once (default: the processors)")},
    {OptionId::Help, "help", 'h', nullptr, ValueKind::None, nullptr, RemoveCommand | UndoCommand,
     false, Group::Other, QT_TRANSLATE_NOOP("Cli", "print this help and exit")},
    {OptionId::Version, "version", 'V', nullptr, ValueKind::None, nullptr,
     RemoveCommand | UndoCommand, false, Group::Other,
     QT_TRANSLATE_NOOP("Cli", "print the version and exit")},
}};

// Each row sits at its id's place.
inline constexpr bool RowsInOrder = [] {
    for (std::size_t i = 0; i < OptionTable.size(); ++i) {
        if (static_cast<std::size_t>(OptionTable[i].id) != i)
            return false;
    }
    return true;
}();
static_assert(RowsInOrder, "OptionTable's rows must follow the order of OptionId");

inline const OptionInfo &InfoOf(OptionId id) {
    return OptionTable[static_cast<std::size_t>(id)];
}

// The option a long name (without "--") or a letter stands for in a command; null when none.
inline const OptionInfo *LongOption(std::string_view name, unsigned command) {
    for (const OptionInfo &info : OptionTable) {
        if ((info.commands & command) != 0 && name == info.name)
            return &info;
    }
    return nullptr;
}
inline const OptionInfo *ShortOption(char letter, unsigned command) {
    for (const OptionInfo &info : OptionTable) {
        if ((info.commands & command) != 0 && letter != 0 && letter == info.letter)
            return &info;
    }
    return nullptr;
}

}  // namespace Cli
