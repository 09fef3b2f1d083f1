// What the commands of the other layers use of the main window: the seam to the user, the
// settings store, the pointer shape, the busy state and the program folder.
#pragma once

#include <QString>

class Platform;
class Settings;

// The window's pointer shapes.
namespace MousePointer {
enum : int { Default = 0, Arrow = 1, Hourglass = 11, Custom = 99 };
}

class WindowServices {
public:
    virtual ~WindowServices() = default;

    virtual Platform &platform() = 0;
    virtual Settings &settings() = 0;

    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int shape) = 0;
    // The window is busy while a long command works (a BusyScope is open), and shows the
    // hourglass meanwhile. Setting the pointer neither starts nor ends it.
    bool isBusy() const { return busyScopes_ > 0; }

    // The folder that holds the program and the files beside it, without a trailing separator.
    virtual QString programFolder() const = 0;

private:
    friend class BusyScope;
    int busyScopes_ = 0;  // open BusyScopes
};

// The working time of a long command (the folder walk, the run): from begin() to end() the
// window is busy and shows the hourglass. Scopes nest: a command that runs inside another's
// yield (a folder added while a run works) opens its own, and ending it leaves the window busy
// with the hourglass that was there when it began. Only the outermost end lets the window go.
class BusyScope {
public:
    // Nothing happens until begin().
    explicit BusyScope(WindowServices &window) : window_(window) {}
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
    // A scope left without end() (its command was abandoned, say) ends as its command began:
    // the outermost gives back the pointer that was there before it.
    ~BusyScope() {
        try {
            end(before_);
        } catch (...) {
            // The pointer could not be shown; the busy state has ended all the same.
        }
    }

    // The window is busy from here on, and shows the hourglass.
    void begin() {
        if (open_)
            return;
        open_ = true;
        before_ = window_.mousePointer();
        ++window_.busyScopes_;
        window_.setMousePointer(MousePointer::Hourglass);
    }

    // Ends the scope. When no other scope is open, the window is no longer busy and shows
    // `shape`; otherwise the hourglass stays.
    void end(int shape) {
        if (!open_)
            return;
        open_ = false;
        if (--window_.busyScopes_ == 0)
            window_.setMousePointer(shape);
    }

private:
    WindowServices &window_;
    bool open_ = false;
    int before_ = MousePointer::Default;
};
