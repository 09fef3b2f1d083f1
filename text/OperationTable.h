// The six removal operations, each once: its caption in the operation chooser, its name on the
// command line, what it takes, how its removals are counted, and the loop that carries it out.
//
// The chooser lists the captions in the order of this table (its index is the operation's
// number), and the run still picks the loop by comparing the chooser's text with the captions
// (LoopFor in text/Operations.h): a text that is none of them runs the loop of the first row.
#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

namespace Operations {

enum class Operation {
    LinesContaining,     // 0
    LinesNotContaining,  // 1
    Text,                // 2
    AllButText,          // 3
    LineNumber,          // 4
    BlankLines,          // 5
};

// The loops that carry the operations out; 0 and 2 share one.
enum class Loop {
    Shared,         // 0 "Remove all lines containing ...", 2 "Remove those characters", others
    NotContaining,  // 1 keeps the lines that contain the text
    ExceptThose,    // 3 keeps the occurrences of the text
    LineNumber,     // 4 drops line n
    BlankLines,     // 5 drops empty lines
};

// What an operation takes besides the files.
enum class Operand {
    None,    // nothing (blank lines): the window still asks for a condition text
    Text,    // the condition text
    Number,  // the line number, asked for when the run starts
};

struct OperationInfo {
    Operation operation;
    const char *caption;  // the chooser's text (UTF-8), translated where it is shown
    const char *name;     // the command line's name
    Operand operand;
    const char *operandName;  // the operand as usage texts name it: "TEXT", "N", or null
    bool countsCharacters;    // removals are counted in characters, not lines
    Loop loop;
    const char *summary;  // one line for --help (translated there) and the manual page
};

inline constexpr std::array<OperationInfo, 6> OperationTable = {{
    {Operation::LinesContaining,
     QT_TRANSLATE_NOOP("Operations", "Remove all lines containing those characters"),
     "lines-containing", Operand::Text, "TEXT", false, Loop::Shared,
     QT_TRANSLATE_NOOP("Cli", "remove every line that contains TEXT")},
    {Operation::LinesNotContaining,
     QT_TRANSLATE_NOOP("Operations", "Remove all lines not containing those characters"),
     "lines-not-containing", Operand::Text, "TEXT", false, Loop::NotContaining,
     QT_TRANSLATE_NOOP("Cli", "remove the lines without TEXT, and empty lines")},
    {Operation::Text, QT_TRANSLATE_NOOP("Operations", "Remove those characters"), "text",
     Operand::Text, "TEXT", true, Loop::Shared,
     QT_TRANSLATE_NOOP("Cli", "remove every occurrence of TEXT from each line")},
    {Operation::AllButText,
     QT_TRANSLATE_NOOP("Operations", "Remove all characters except those characters"),
     "all-but-text", Operand::Text, "TEXT", true, Loop::ExceptThose,
     QT_TRANSLATE_NOOP("Cli", "keep only the occurrences of TEXT; other lines go")},
    {Operation::LineNumber, QT_TRANSLATE_NOOP("Operations", "Remove line number n in all files"),
     "line", Operand::Number, "N", false, Loop::LineNumber,
     QT_TRANSLATE_NOOP("Cli", "remove line number N (counted from 1)")},
    {Operation::BlankLines, QT_TRANSLATE_NOOP("Operations", "Remove blank lines in all files"),
     "blank-lines", Operand::None, nullptr, false, Loop::BlankLines,
     QT_TRANSLATE_NOOP("Cli", "remove empty lines (a line of blanks stays)")},
}};

inline const OperationInfo &InfoOf(Operation operation) {
    return OperationTable[static_cast<std::size_t>(operation)];
}

// The operation of a command-line name; null when none has it.
inline const OperationInfo *OperationNamed(std::string_view name) {
    for (const OperationInfo &info : OperationTable) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

}  // namespace Operations
