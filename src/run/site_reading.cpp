#include "run/site_reading.h"

#include <utility>

namespace vellumax {

SiteReading::SiteReading(SiteLoader& loader, std::string engineHost, LoopbackSites loopback, PageRead pageRead,
                         std::function<void()> changed)
    : loader_(loader), engineHost_(std::move(engineHost)), loopback_(loopback), pageRead_(std::move(pageRead)),
      changed_(std::move(changed))
{}

SiteReading::~SiteReading() = default;

void SiteReading::add(const std::vector<ResultBlock>& blocks, int32_t keywordNumber, int32_t pageOffset)
{
    if (stopped_)
        return;
    for (const ResultBlock& block : blocks) {
        if (block.landing.empty())
            continue;
        std::optional<SiteAddress> address = visitableSite(block.landing, engineHost_, loopback_);
        if (address)
            queue_.add({std::move(*address), block.title, keywordNumber, pageOffset});
    }
    pump();
    changed_();
}

bool SiteReading::idle() const
{
    const SiteQueue::Progress now = queue_.progress();
    return now.loading == 0 && (stopped_ || now.waiting == 0);
}

void SiteReading::pump()
{
    // An answer given at once comes back in here: the loop below picks up
    // what it freed.
    if (pumping_)
        return;
    pumping_ = true;
    while (!stopped_) {
        std::optional<SiteQueue::Load> load = queue_.next();
        if (!load)
            break;
        start(*load);
    }
    pumping_ = false;
}

void SiteReading::start(const SiteQueue::Load& load)
{
    const std::weak_ptr<bool> alive = alive_;
    if (load.kind == SiteQueue::Load::Kind::Robots) {
        loader_.fetchRobots(load.url, [this, alive, host = load.host](int status, std::string body) {
            if (alive.expired())
                return;
            queue_.robotsAnswered(host, status, body);
            pump();
            changed_();
        });
        return;
    }
    const bool started = loader_.loadPage(load.url, [this, alive, load](SitePageRead read) {
        if (!alive.expired())
            answered(load, read);
    });
    // The queue never has more pages loading than the loader has pages; if
    // it did, the page counts as failed rather than wait forever.
    if (!started)
        queue_.pageFinished(load, false);
}

void SiteReading::answered(const SiteQueue::Load& load, const SitePageRead& read)
{
    const size_t numbers = read.ok ? pageRead_(load.visit, read) : 0;
    queue_.pageFinished(load, read.ok);
    if (read.ok && numbers == 0 && load.kind == SiteQueue::Load::Kind::LandingPage)
        followContact(load, read);
    pump();
    changed_();
}

void SiteReading::followContact(const SiteQueue::Load& load, const SitePageRead& read)
{
    for (const auto& [text, href] : read.links) {
        if (!isContactLinkText(text))
            continue;
        const std::optional<SiteAddress> contact = visitableSite(href, engineHost_, loopback_);
        if (contact && queue_.followContact(load, *contact))
            return;
    }
}

} // namespace vellumax
