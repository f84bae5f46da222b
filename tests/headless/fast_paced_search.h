#pragma once

// A headless search whose page timer ticks as soon as the requested page's
// load has ended, instead of after the 8 seconds and the interval: the same
// session, page source and files, at the speed of the fixture engine.

#include "headless/headless_search.h"

#include <QEventLoop>
#include <QTimer>

namespace vellumax::test {

class FastPageTimer : public PageTimer {
public:
    FastPageTimer(PageSource& pages, std::function<void()> tick) : tick_(std::move(tick))
    {
        poll_.setInterval(2);
        QObject::connect(&poll_, &QTimer::timeout, [this, &pages] {
            if (pages.lastLoad().outcome == PageLoad::Outcome::Loading)
                return;
            poll_.stop();
            tick_();
        });
    }
    void setInterval(int) override {}
    void enable() override { poll_.start(); }
    void disable() override { poll_.stop(); }
    bool enabled() const override { return poll_.isActive(); }

private:
    QTimer poll_;
    std::function<void()> tick_;
};

class FastPacedSearch : public HeadlessSearch {
public:
    FastPacedSearch(cli::SearchOptions options, HeadlessServices services = {})
        : HeadlessSearch(std::move(options), fast(std::move(services)))
    {}

    // Runs the search to its end and gives its exit code.
    int run()
    {
        QEventLoop loop;
        int exitCode = -1;
        start([&](int code) {
            exitCode = code;
            loop.quit();
        });
        if (exitCode == -1)
            loop.exec();
        return exitCode;
    }

private:
    static HeadlessServices fast(HeadlessServices services)
    {
        services.pageTimer = [](PageSource& pages, std::function<void()> tick) {
            return std::make_unique<FastPageTimer>(pages, std::move(tick));
        };
        return services;
    }
};

} // namespace vellumax::test
