#include "browser/web_site_loader.h"

#include <QUrl>
#include <utility>

namespace vellumax {

WebSiteLoader::WebSiteLoader(std::string engineHost, LoopbackSites loopback, int pages)
    : robots_(engineHost, loopback), pages_(pages, [engineHost, loopback](const QUrl& url) {
          return visitableSite(url.toEncoded().toStdString(), engineHost, loopback).has_value();
      })
{}

bool WebSiteLoader::loadPage(const std::string& url, std::function<void(SitePageRead)> done)
{
    return pages_.load(url, std::move(done));
}

void WebSiteLoader::fetchRobots(const std::string& url, std::function<void(int httpStatus, std::string body)> done)
{
    robots_.fetch(url, std::move(done));
}

} // namespace vellumax
