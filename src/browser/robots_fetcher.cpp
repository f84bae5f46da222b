#include "browser/robots_fetcher.h"

#include "search/robots_rules.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <optional>
#include <utility>

namespace vellumax {
namespace {

QUrl urlOf(const std::string& url) { return QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode); }

// One robots.txt over its redirects. Its replies and its timer are its
// children: they, and their connections to it, end with it.
class RobotsFetch : public QObject {
public:
    RobotsFetch(QObject* parent, QNetworkAccessManager& network, const std::string& engineHost, LoopbackSites loopback,
                std::function<void(int, std::string)> done)
        : QObject(parent), network_(network), engineHost_(engineHost), loopback_(loopback), done_(std::move(done))
    {
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { finish(0); });
    }

    void start(const std::string& url, int timeoutMs)
    {
        timer_.start(timeoutMs);
        get(urlOf(url));
    }

    void refuse() { finish(0); }

private:
    void get(const QUrl& url)
    {
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
        // The token the rules of a robots.txt may name this program by.
        request.setHeader(QNetworkRequest::UserAgentHeader,
                          QByteArray("Mozilla/5.0 (compatible; ") +
                              QByteArray(kRobotsProductToken.data(), qsizetype(kRobotsProductToken.size())) + ")");
        reply_ = network_.get(request);
        reply_->setParent(this);
        connect(reply_, &QNetworkReply::readyRead, this, [this] { readSome(); });
        connect(reply_, &QNetworkReply::finished, this, [this] { ended(); });
    }

    std::optional<int> status() const
    {
        const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        return status.isValid() ? std::optional<int>(status.toInt()) : std::nullopt;
    }

    bool isRedirect() const
    {
        const int code = status().value_or(0);
        return (code == 301 || code == 302 || code == 303 || code == 307 || code == 308) &&
               reply_->hasRawHeader("Location");
    }

    void readSome()
    {
        if (isRedirect()) {
            reply_->readAll(); // the body of a redirect says nothing
            return;
        }
        const qint64 room = qint64(kRobotsBodyLimit) - qint64(body_.size());
        body_ += reply_->read(room).toStdString();
        // Whatever follows is not read anyway: the connection is not kept
        // busy for it.
        if (body_.size() >= kRobotsBodyLimit)
            finish(status().value_or(0));
    }

    void ended()
    {
        const std::optional<int> code = status();
        if (!code) {
            finish(0);
            return;
        }
        if (!isRedirect()) {
            readSome();
            finish(*code);
            return;
        }
        const QUrl target = reply_->url().resolved(QUrl::fromEncoded(reply_->rawHeader("Location")));
        const std::optional<SiteAddress> site = visitableSite(target.toEncoded().toStdString(), engineHost_, loopback_);
        if (!site || ++redirects_ > RobotsFetcher::kMaxRedirects) {
            finish(0);
            return;
        }
        reply_->disconnect(this);
        reply_->deleteLater();
        body_.clear();
        get(urlOf(site->url));
    }

    // Tells the answer from the event loop: `done` may end the fetcher, and
    // with it this fetch and the reply whose signal is being handled.
    void finish(int status)
    {
        auto done = std::exchange(done_, nullptr);
        if (!done)
            return;
        timer_.stop();
        if (reply_) {
            reply_->disconnect(this);
            reply_->abort();
        }
        // A time-out's half body is no answer either.
        std::string body = status != 0 ? std::move(body_) : std::string();
        QMetaObject::invokeMethod(
            parent(), [done = std::move(done), status, body = std::move(body)] { done(status, body); },
            Qt::QueuedConnection);
        deleteLater();
    }

    QNetworkAccessManager& network_;
    const std::string& engineHost_;
    const LoopbackSites loopback_;
    std::function<void(int, std::string)> done_;
    QTimer timer_;
    QNetworkReply* reply_ = nullptr;
    std::string body_;
    int redirects_ = 0;
};

} // namespace

RobotsFetcher::RobotsFetcher(std::string engineHost, LoopbackSites loopback)
    : engineHost_(std::move(engineHost)), loopback_(loopback)
{}

void RobotsFetcher::fetch(const std::string& url, std::function<void(int httpStatus, std::string body)> done)
{
    const std::optional<SiteAddress> site = visitableSite(url, engineHost_, loopback_);
    auto* fetch = new RobotsFetch(&fetches_, network_, engineHost_, loopback_, std::move(done));
    if (site)
        fetch->start(site->url, timeoutMs_);
    else
        fetch->refuse();
}

} // namespace vellumax
