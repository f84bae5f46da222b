#pragma once

#include <QApplication>

namespace vellumax {

// Shows the busy pointer over the whole program while it lives; a failure
// that leaves the scope restores the normal pointer too.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void restore()
    {
        if (active_) {
            QApplication::restoreOverrideCursor();
            active_ = false;
        }
    }

private:
    bool active_ = true;
};

} // namespace vellumax
