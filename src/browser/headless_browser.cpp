#include "browser/headless_browser.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace vellumax {

HeadlessBrowser::HeadlessBrowser() : profile_(std::make_unique<QWebEngineProfile>())
{
    // A retried page must come from the engine again, never from a cache.
    profile_->setHttpCacheType(QWebEngineProfile::NoCache);
    page_ = std::make_unique<QWebEnginePage>(profile_.get());
    turnOffPageIcons(page_.get());
}

HeadlessBrowser::~HeadlessBrowser() { page_.reset(); }

void turnOffPageIcons(QWebEnginePage* page)
{
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::TouchIconsEnabled, false);
}

} // namespace vellumax
