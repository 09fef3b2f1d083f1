// What the commands of the other layers use of the main window: the seam to the user, the
// settings store, the pointer shape (which doubles as the busy flag) and the program folder.
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
    // The window is busy while a long command shows the hourglass.
    bool isBusy() const { return mousePointer() == MousePointer::Hourglass; }

    // The folder that holds the program and the files beside it, without a trailing separator.
    virtual QString programFolder() const = 0;
};
