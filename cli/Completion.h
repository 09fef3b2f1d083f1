// What the shells' completions offer (cli/completions/ holds the scripts for bash, zsh and
// fish): they run `strelmark __complete WORD...` with the words typed after "strelmark", the
// last one being the word under completion, and show what it prints.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace Cli {

// One candidate a line, "word<TAB>description" (the description may be missing); or one line
// that leaves the word to the shell: ":files" (a path), ":folders" (a folder's path) or ":none"
// (anything may be typed). Comes from the operation and option tables, so that the completions
// offer what the parser takes.
QString Complete(const std::vector<std::string> &words);

}  // namespace Cli
