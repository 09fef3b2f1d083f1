// Reading ahead of a run over files that are not in the page cache.
#pragma once

#include "files/LineReader.h"

#include <QString>

#include <cstdint>

namespace RFTSFSO {

// Announces the files a run will read next, so that a run over files that are not in the page
// cache does not wait for the disk once per file: before the work on each file, the first chunk
// of each of the next Depth files is asked for (posix_fadvise WILLNEED), and the disk reads them
// while the program works. It only starts once a read of the run had to wait
// (ReadsThatWaited()), so that a run over cached files makes no call for it.
class ReadAhead {
public:
    static constexpr int Depth = 32;

    ReadAhead();
    // Before the work on a file. `upcoming(k)` answers the path of the k-th file after it (k
    // from 1 to Depth), or an empty string when there is none.
    template <class Upcoming>
    void before(Upcoming &&upcoming) {
        if (active_) {
            // The ones before were announced already: the file that comes into reach.
            const QString path = upcoming(Depth);
            if (!path.isEmpty())
                announce(path);
            return;
        }
        if (ReadsThatWaited() == waitedBefore_)
            return;
        active_ = true;
        for (int k = 1; k <= Depth; ++k) {
            const QString path = upcoming(k);
            if (path.isEmpty())
                break;
            announce(path);
        }
    }
    // Announcements made so far.
    std::uint64_t announced() const { return announced_; }

private:
    void announce(const QString &path);

    std::uint64_t waitedBefore_;
    bool active_ = false;
    QString recent_[Depth];  // the paths announced last, so that each is announced once
    int next_ = 0;
    std::uint64_t announced_ = 0;
};

}  // namespace RFTSFSO
