#include "search/site_queue.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vellumax {
namespace {

constexpr std::array<std::string_view, 3> kChineseContactWords = {
    "\xC1\xAA\xCF\xB5\xCE\xD2\xC3\xC7", // 联系我们
    "\xC1\xAA\xCF\xB5\xB7\xBD\xCA\xBD", // 联系方式
    "\xC1\xAA\xCF\xB5",                 // 联系
};
constexpr std::array<std::string_view, 2> kLatinContactWords = {"contact", "contact us"};

// The ideographic space is what Chinese pages pad their links with.
constexpr std::array<std::string_view, 5> kBlanks = {" ", "\t", "\r", "\n", "\xA1\xA1"};

std::string_view trimmed(std::string_view s)
{
    const auto blankAtFront = [&s] {
        return std::find_if(kBlanks.begin(), kBlanks.end(), [&s](std::string_view b) { return s.starts_with(b); });
    };
    for (auto blank = blankAtFront(); blank != kBlanks.end(); blank = blankAtFront())
        s.remove_prefix(blank->size());
    // No ASCII blank is a GBK trail byte. An ideographic space cut off the
    // end of broken text may straddle two characters, but what is left of
    // such a text is none of the words, which all end on a whole character.
    const auto blankAtBack = [&s] {
        return std::find_if(kBlanks.begin(), kBlanks.end(), [&s](std::string_view b) { return s.ends_with(b); });
    };
    for (auto blank = blankAtBack(); blank != kBlanks.end(); blank = blankAtBack())
        s.remove_suffix(blank->size());
    return s;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord)
{
    return text.size() == lowerWord.size() &&
           std::equal(text.begin(), text.end(), lowerWord.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// What the request line asks for: the URL's path and query, without the
// fragment, which never reaches the server.
std::string_view pathAndQuery(std::string_view url)
{
    const size_t authorityStart = url.find("://") + 3;
    const size_t start = std::min(url.find_first_of("/?#", authorityStart), url.size());
    return url.substr(start, url.find('#', start) - start);
}

std::string robotsUrl(const SiteAddress& address)
{
    const uint16_t defaultPort = address.scheme == "https" ? 443 : 80;
    std::string url = address.scheme + "://" + address.host;
    if (address.port != defaultPort)
        url += ":" + std::to_string(address.port);
    return url + "/robots.txt";
}

} // namespace

bool isContactLinkText(std::string_view gbkText)
{
    const std::string_view text = trimmed(gbkText);
    return std::find(kChineseContactWords.begin(), kChineseContactWords.end(), text) != kChineseContactWords.end() ||
           std::any_of(kLatinContactWords.begin(), kLatinContactWords.end(),
                       [text](std::string_view word) { return equalsIgnoringAsciiCase(text, word); });
}

void SiteQueue::add(Visit visit)
{
    if (!urlsMet_.insert(visit.address.url).second) {
        ++counts_.repeats;
        return;
    }
    const size_t result = results_.size();
    Page page{result, Load::Kind::LandingPage, visit.address.url};
    results_.push_back({std::move(visit)});
    enqueue(std::move(page), results_.back().visit.address, false);
}

bool SiteQueue::enqueue(Page page, const SiteAddress& address, bool atFront)
{
    auto [it, created] = hosts_.try_emplace(address.hostKey());
    Host& host = it->second;
    if (created)
        host.robotsUrl = robotsUrl(address);
    if (host.abandoned) {
        ++(host.robots == RobotsState::Known && host.rules.leavesHostAlone() ? counts_.refusedByRobots
                                                                             : counts_.droppedWithFailedHosts);
        return false;
    }
    if (refuseByRobots(host, page))
        return false;
    if (atFront)
        host.line.push_front(std::move(page));
    else
        host.line.push_back(std::move(page));
    ++waiting_;
    return true;
}

bool SiteQueue::refuseByRobots(const Host& host, const Page& page)
{
    // Until the robots.txt is in, the page waits in line, and is judged when
    // it comes.
    if (host.robots != RobotsState::Known)
        return false;
    std::string path(pathAndQuery(page.url));
    if (path.empty() || path.front() != '/')
        path.insert(0, "/");
    if (host.rules.allows(path))
        return false;
    ++counts_.refusedByRobots;
    return true;
}

void SiteQueue::dropLine(Host& host, size_t& counter)
{
    host.abandoned = true;
    counter += host.line.size();
    waiting_ -= host.line.size();
    host.line.clear();
}

std::optional<SiteQueue::Load> SiteQueue::next()
{
    if (loading_ >= kMostLoadsAtOnce)
        return std::nullopt;
    Host* chosen = nullptr;
    std::string_view chosenKey;
    for (auto& [key, host] : hosts_)
        if (host.loadId == 0 && !host.line.empty() &&
            (!chosen || host.line.front().result < chosen->line.front().result)) {
            chosen = &host;
            chosenKey = key;
        }
    if (!chosen)
        return std::nullopt;

    Load load;
    load.host = chosenKey;
    load.id_ = ++lastLoadId_;
    if (chosen->robots == RobotsState::NotAsked) {
        chosen->robots = RobotsState::Asking;
        load.kind = Load::Kind::Robots;
        load.url = chosen->robotsUrl;
    } else {
        Page page = std::move(chosen->line.front());
        chosen->line.pop_front();
        --waiting_;
        load.kind = page.kind;
        load.url = std::move(page.url);
        load.visit = results_[page.result].visit;
        load.result_ = page.result;
    }
    chosen->loadId = load.id_;
    ++loading_;
    return load;
}

void SiteQueue::robotsAnswered(std::string_view hostKey, int httpStatus, std::string_view body)
{
    const auto it = hosts_.find(hostKey);
    if (it == hosts_.end() || it->second.robots != RobotsState::Asking)
        return;
    Host& host = it->second;
    host.loadId = 0;
    --loading_;
    host.rules = RobotsRules::fromAnswer(httpStatus, body);
    host.robots = RobotsState::Known;
    if (host.rules.leavesHostAlone()) {
        dropLine(host, counts_.refusedByRobots);
        return;
    }
    const auto refused = [this, &host](const Page& page) { return refuseByRobots(host, page); };
    const size_t before = host.line.size();
    host.line.erase(std::remove_if(host.line.begin(), host.line.end(), refused), host.line.end());
    waiting_ -= before - host.line.size();
}

SiteQueue::Host* SiteQueue::runningHost(const Load& load)
{
    const auto it = hosts_.find(load.host);
    if (it == hosts_.end() || load.id_ == 0 || it->second.loadId != load.id_)
        return nullptr;
    return &it->second;
}

void SiteQueue::pageFinished(const Load& load, bool ok)
{
    Host* host = runningHost(load);
    if (!host || load.kind == Load::Kind::Robots)
        return;
    host->loadId = 0;
    --loading_;
    if (ok) {
        ++counts_.read;
        if (load.kind == Load::Kind::LandingPage)
            results_[load.result_].landingRead = true;
        return;
    }
    if (++host->failures >= kFailuresThatLeaveHost)
        dropLine(*host, counts_.droppedWithFailedHosts);
}

bool SiteQueue::followContact(const Load& load, const SiteAddress& contact)
{
    if (load.kind != Load::Kind::LandingPage || load.id_ == 0 || load.result_ >= results_.size())
        return false;
    Result& result = results_[load.result_];
    if (!result.landingRead || result.followed || !sameSite(result.visit.address, contact))
        return false;
    // Two results on one site often lead to the same contact page; its
    // numbers are in the list after the first read.
    if (!urlsMet_.insert(contact.url).second) {
        ++counts_.repeats;
        return false;
    }
    result.followed = true;
    return enqueue({load.result_, Load::Kind::ContactPage, contact.url}, contact, true);
}

SiteQueue::Progress SiteQueue::progress() const
{
    Progress progress = counts_;
    progress.waiting = waiting_;
    progress.loading = loading_;
    return progress;
}

} // namespace vellumax
