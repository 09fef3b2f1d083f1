// Strelmark's command line: `strelmark remove ...`, `strelmark undo`, `--help`, `--version`.
// It needs no display and loads nothing of Qt Gui or Widgets. Files and folders with no
// command word are for the window.
#pragma once

namespace Cli {

// Runs the command that the arguments name (argv[1] onwards); answers the exit status:
// 0 done, 1 something failed, 2 the command line is wrong, 128 + n stopped by signal n.
int Main(int argc, char **argv);

// Whether the arguments are files and folders to open in the window: no command word, and
// every one names a file or folder that exists (none starts with "-"). Otherwise Main() says
// what is wrong with them.
bool OpensWindow(int argc, char **argv);

}  // namespace Cli
