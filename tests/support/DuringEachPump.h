// Acting while a command lets the window's events run: a timer with no interval fires once in
// every pass of the event loop, as a user's click would arrive in the middle of a long command.
#pragma once

#include <QTimer>

#include <functional>
#include <utility>

class DuringEachPump {
public:
    // From now until this object goes, `action` runs inside every pass of the event loop.
    explicit DuringEachPump(std::function<void()> action) : action_(std::move(action)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            ++passes_;
            action_();
        });
        timer_.start();
    }

    // The passes so far.
    int passes() const { return passes_; }

private:
    std::function<void()> action_;
    int passes_ = 0;
    QTimer timer_;
};
