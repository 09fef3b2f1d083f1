// The line context of a run whose operation and condition never change (the command line, the
// parallel driver's workers): a yield is only a look at the stop token.
#pragma once

#include "engine/Plan.h"
#include "text/Operations.h"

#include <QString>

#include <utility>

namespace Engine {

class FixedLineContext : public Operations::LineContext {
public:
    FixedLineContext(QString chooserText, QString conditionText, const StopToken *stop = nullptr)
        : chooser_(std::move(chooserText)), condition_(std::move(conditionText)), stop_(stop) {}

    // Throws Stopped once a stop is asked for: the file in the middle is dropped. The token is
    // looked at every so many lines, which is soon enough and costs next to nothing.
    bool letEventsRun() override {
        if ((++lines_ & (LinesBetweenLooks - 1)) == 0 && stop_ != nullptr && stop_->requested())
            throw Stopped{};
        return false;
    }
    // Inside a very long line, every megabyte or so: the token itself.
    bool letEventsRunInLine() override {
        if (stop_ != nullptr && stop_->requested())
            throw Stopped{};
        return false;
    }
    bool yieldsByClock() const override { return true; }
    QString conditionText() override { return condition_; }
    QString chooserText() override { return chooser_; }

private:
    static constexpr unsigned LinesBetweenLooks = 64;

    unsigned lines_ = 0;
    QString chooser_;
    QString condition_;
    const StopToken *stop_;
};

}  // namespace Engine
