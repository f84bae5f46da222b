#include "app/web_page_source.h"

#include "app/gbk_qt.h"
#include "text/error.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

namespace vellumax {
namespace {

constexpr int kReadTimeoutMs = 10'000;

const QString kReadScript = QStringLiteral(R"((function () {
  if (!document || !document.documentElement) return { state: 'none' };
  var type = document.contentType;
  if (type !== 'text/html' && type !== 'application/xhtml+xml') return { state: 'nothtml' };
  if (!document.body) return { state: 'nobody' };
  return { state: 'ok', text: document.body.outerText };
})())");

} // namespace

void WebPageSource::RequestPage(const std::string& url)
{
    const QUrl target(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
    if (!target.isValid())
        throw Error("Invalid request address");
    requested_ = true;
    view_->load(target);
}

std::string WebPageSource::ReadPageText()
{
    if (!requested_)
        throw Error("No document is loaded");

    struct Answer {
        bool arrived = false;
        QVariant value;
        QEventLoop loop;
    };
    // The answer may come after the wait has given up; it must find its
    // state alive then.
    auto answer = std::make_shared<Answer>();
    view_->page()->runJavaScript(kReadScript, QWebEngineScript::ApplicationWorld, [answer](const QVariant& v) {
        answer->arrived = true;
        answer->value = v;
        answer->loop.quit();
    });
    if (!answer->arrived) {
        QTimer::singleShot(kReadTimeoutMs, &answer->loop, &QEventLoop::quit);
        answer->loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!answer->arrived)
        throw Error("The page did not answer");

    const QVariantMap result = answer->value.toMap();
    const QString state = result.value(QStringLiteral("state")).toString();
    if (state == QLatin1String("nothtml"))
        throw Error("Interface not supported");
    if (state == QLatin1String("nobody"))
        throw Error("The document has no body");
    if (state != QLatin1String("ok"))
        throw Error("No document is loaded");

    QString text = result.value(QStringLiteral("text")).toString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return gbkFromQString(text);
}

} // namespace vellumax
