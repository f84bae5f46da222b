#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <string>

namespace vellumax {

// A document answer of the main frame, as far as a page load needs it.
struct DocumentAnswer {
    QUrl url;
    std::string retryAfter; // as sent; empty when the answer had none
};

// One message of the browser engine's inspection protocol, turned into the
// document answer it tells of: a Network.responseReceived for a document of
// the frame `mainFrame`, outside any session (frames in processes of their
// own speak in sessions, and only the main one counts). Nothing for any
// other message.
std::optional<DocumentAnswer> documentAnswer(const QJsonObject& message, const QString& mainFrame);

} // namespace vellumax
