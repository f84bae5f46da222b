#pragma once

namespace vellumax {

// The page timer of a search run: a repeating timer used as a one-shot,
// whose owner runs the run's tick when it fires. A new interval restarts a
// running countdown, the same one leaves it; enabling an enabled timer
// changes nothing.
class PageTimer {
public:
    virtual ~PageTimer() = default;
    virtual void setInterval(int milliseconds) = 0;
    virtual void enable() = 0;
    virtual void disable() = 0;
    virtual bool enabled() const = 0;
};

} // namespace vellumax
