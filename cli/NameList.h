// The names of a --files-from list, one at a time as they come: from a file, or from standard
// input while the program that writes them (find, say) still runs.
#pragma once

#include "engine/Plan.h"

#include <cstddef>
#include <string>

namespace Cli {

class NameList {
public:
    // `path` "-" is standard input. Names end with a NUL byte when `nulls`, else with an LF.
    NameList(const std::string &path, bool nulls);
    ~NameList();
    NameList(const NameList &) = delete;
    NameList &operator=(const NameList &) = delete;

    // The errno of opening or reading the list, or 0.
    int error() const { return error_; }
    // The next name (empty ones are passed over); false at the list's end, after an error, or
    // once `stop` is asked for while it waits for more.
    bool next(std::string &name, const Engine::StopToken &stop);

private:
    bool fill(const Engine::StopToken &stop);

    int fd_ = -1;
    bool own_ = false;
    char separator_;
    int error_ = 0;
    bool atEnd_ = false;
    std::string buffer_;
    std::size_t begin_ = 0;
};

}  // namespace Cli
