#include "browser/request_guard.h"

#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <utility>

namespace vellumax {

RequestGuard::RequestGuard(std::function<bool(const QUrl&)> mayRequest, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), mayRequest_(std::move(mayRequest))
{}

void RequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!allows(info.requestUrl()))
        info.block(true);
}

bool RequestGuard::allows(const QUrl& url) const
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !mayRequest_ || mayRequest_(url);
    return scheme == QLatin1String("data") || scheme == QLatin1String("about");
}

} // namespace vellumax
