#pragma once

// A headless search whose page timer ticks as soon as the requested page's
// load has ended, instead of after the 8 seconds and the interval: the same
// driver, page source and files, at the speed of the fixture engine.

#include "headless/headless_search.h"

#include <QTimer>

namespace vellumax::test {

class FastPacedSearch : public HeadlessSearch {
public:
    using HeadlessSearch::HeadlessSearch;

    void setTimerInterval(int) override {}
    void enableTimer() override
    {
        if (!poll_) {
            poll_ = std::make_unique<QTimer>();
            poll_->setInterval(2);
            QObject::connect(poll_.get(), &QTimer::timeout, [this] {
                if (pageSource().lastLoad().outcome == PageLoad::Outcome::Loading)
                    return;
                poll_->stop();
                pageTimerTick();
            });
        }
        poll_->start();
    }
    void disableTimer() override
    {
        if (poll_)
            poll_->stop();
    }

private:
    std::unique_ptr<QTimer> poll_;
};

} // namespace vellumax::test
