#include "browser/protocol_answer.h"

#include <QJsonValue>

namespace vellumax {

std::optional<DocumentAnswer> documentAnswer(const QJsonObject& message, const QString& mainFrame)
{
    if (message.value(QStringLiteral("method")).toString() != QLatin1String("Network.responseReceived") ||
        message.contains(QStringLiteral("sessionId")))
        return std::nullopt;
    const QJsonObject params = message.value(QStringLiteral("params")).toObject();
    if (params.value(QStringLiteral("type")).toString() != QLatin1String("Document") || mainFrame.isEmpty() ||
        params.value(QStringLiteral("frameId")).toString() != mainFrame)
        return std::nullopt;
    const QJsonObject response = params.value(QStringLiteral("response")).toObject();
    DocumentAnswer answer{QUrl(response.value(QStringLiteral("url")).toString()), {}};
    if (!answer.url.isValid())
        return std::nullopt;
    // Header names come as the server spelled them.
    const QJsonObject headers = response.value(QStringLiteral("headers")).toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it) {
        if (it.key().compare(QLatin1String("retry-after"), Qt::CaseInsensitive) == 0) {
            answer.retryAfter = it.value().toVariant().toString().toStdString();
            break;
        }
    }
    return answer;
}

} // namespace vellumax
