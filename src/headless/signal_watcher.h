#pragma once

#include "text/unique_fd.h"

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vellumax {

// Turns SIGINT and SIGTERM into calls on the event loop. The handler only
// writes the signal's number into a pipe; the loop reads it and calls
// `received` with it, so no Qt code ever runs inside the handler. The
// previous handlers come back when the watcher goes.
class SignalWatcher {
public:
    explicit SignalWatcher(std::function<void(int signal)> received);
    ~SignalWatcher();

    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

private:
    void readSignals();

    std::function<void(int)> received_;
    // Before the notifier, so that they are closed after it is gone.
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace vellumax
