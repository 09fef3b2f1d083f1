// Strelmark: removes lines or characters from many text files at once.
//
// With arguments it is the command line (cli/), which needs Qt Core only. Without, or with
// files and folders only (a desktop's "Open With"), it shows the window, which lives in a
// module of its own (WindowMain.cpp) so that the command line never loads Qt Gui, Qt Widgets
// and what they bring.

#include "cli/Cli.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <dlfcn.h>
#include <unistd.h>

namespace {

// A display for the window: an X server, a Wayland compositor, or a Qt platform chosen by hand
// (offscreen, say).
bool HasDisplay() {
    auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM") != nullptr;
}

// The folder of the running program, with its trailing separator.
std::string ProgramFolder() {
    std::string path(4096, '\0');
    const ssize_t size = ::readlink("/proc/self/exe", path.data(), path.size());
    if (size <= 0 || static_cast<std::size_t>(size) >= path.size())
        return "./";
    path.resize(static_cast<std::size_t>(size));
    return path.substr(0, path.rfind('/') + 1);
}

// Loads the window's module (beside the program, else where it is installed) and runs it.
int ShowWindow(int argc, char **argv) {
    const std::string folder = ProgramFolder();
    std::string errors;
    for (const std::string &place :
         {folder + STRELMARK_WINDOW_MODULE,
          folder + STRELMARK_MODULE_FROM_BIN "/" STRELMARK_WINDOW_MODULE}) {
        if (void *module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            using Entry = int (*)(int, char **);
            if (auto entry = reinterpret_cast<Entry>(::dlsym(module, "StrelmarkWindowMain")))
                return entry(argc, argv);
            errors += std::string("\n  ") + ::dlerror();
        } else {
            errors += std::string("\n  ") + ::dlerror();
        }
    }
    std::fprintf(stderr, "strelmark: the window cannot be loaded:%s\n", errors.c_str());
    return 1;
}

}  // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && !Cli::OpensWindow(argc, argv))
        return Cli::Main(argc, argv);
    if (!HasDisplay()) {
        std::fputs(
            "strelmark: there is no display to show the window on (neither DISPLAY nor\n"
            "WAYLAND_DISPLAY is set). Start it in a virtual display with\n"
            "    xvfb-run -a strelmark\n"
            "or use the command line, which needs none: strelmark --help\n",
            stderr);
        return 1;
    }
    return ShowWindow(argc, argv);
}
