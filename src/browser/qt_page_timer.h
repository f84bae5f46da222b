#pragma once

#include "search/page_timer.h"

#include <QTimer>

namespace vellumax {

// The page timer over a QTimer, which its owner connects to the run's tick.
class QtPageTimer : public PageTimer {
public:
    explicit QtPageTimer(QTimer& timer) : timer_(timer)
    {
        // A coarse timer may fire up to 5% early; every wait is at least its
        // interval.
        timer_.setTimerType(Qt::PreciseTimer);
    }

    void setInterval(int milliseconds) override
    {
        // Setting the interval of a running QTimer restarts it, whatever the
        // value: the same value must leave the countdown as it is.
        if (milliseconds != timer_.interval())
            timer_.setInterval(milliseconds);
    }
    void enable() override
    {
        if (!timer_.isActive())
            timer_.start();
    }
    void disable() override { timer_.stop(); }
    bool enabled() const override { return timer_.isActive(); }

private:
    QTimer& timer_;
};

} // namespace vellumax
