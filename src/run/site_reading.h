#pragma once

#include "search/result_blocks.h"
#include "search/site_address.h"
#include "search/site_loader.h"
#include "search/site_queue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vellumax {

// The results' own sites, read beside a run. The queue says which page loads
// next and when; this hands its loads to the loader, and the answers back to
// the queue and to the run, and follows a landing page without numbers to
// its contact page.
class SiteReading {
public:
    // A site's page was read for `visit`'s result. The answer is how many
    // numbers the page held, duplicates too: a landing page without any
    // leads on to its contact page.
    using PageRead = std::function<size_t(const SiteQueue::Visit& visit, const SitePageRead& read)>;

    // `changed` is told after every answer, while the page's read is still
    // alive, and after results were added.
    SiteReading(SiteLoader& loader, std::string engineHost, LoopbackSites loopback, PageRead pageRead,
                std::function<void()> changed);
    ~SiteReading();

    SiteReading(const SiteReading&) = delete;
    SiteReading& operator=(const SiteReading&) = delete;

    // The results of an engine's page that lead to a site the run may open.
    void add(const std::vector<ResultBlock>& blocks, int32_t keywordNumber, int32_t pageOffset);

    // No further page starts; those loading finish or reach their time
    // limit. What waits is left.
    void stop() { stopped_ = true; }

    SiteQueue::Progress progress() const { return queue_.progress(); }
    bool engineShouldWait() const { return !stopped_ && queue_.engineShouldWait(); }
    // Nothing is loading, and nothing waits that is still to load.
    bool idle() const;

private:
    void pump();
    void start(const SiteQueue::Load& load);
    void answered(const SiteQueue::Load& load, const SitePageRead& read);
    void followContact(const SiteQueue::Load& load, const SitePageRead& read);

    SiteLoader& loader_;
    std::string engineHost_;
    LoopbackSites loopback_;
    PageRead pageRead_;
    std::function<void()> changed_;
    SiteQueue queue_;
    bool stopped_ = false;
    bool pumping_ = false;
    // Gone with the reading: an answer that comes later finds it so.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace vellumax
