// From a message of the browser engine's inspection protocol to the document
// answer it tells of.
#include "browser/protocol_answer.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace vellumax {
namespace {

QJsonObject message(const char* json) { return QJsonDocument::fromJson(json).object(); }

struct Case {
    const char* name;
    const char* message;
    bool answer;
    std::string retryAfter;
};

TEST(DocumentAnswer, OnlyTheMainFramesDocumentAnswersCount)
{
    const Case cases[] = {
        {"with Retry-After",
         R"({"method":"Network.responseReceived","params":{"type":"Document","frameId":"F",
             "response":{"url":"http://e.test/s?wd=a","headers":{"Retry-After":"120"}}}})",
         true, "120"},
        {"the header as the server spelled it",
         R"({"method":"Network.responseReceived","params":{"type":"Document","frameId":"F",
             "response":{"url":"http://e.test/s","headers":{"retry-AFTER":"Wed, 21 Oct 2026 07:28:00 GMT"}}}})",
         true, "Wed, 21 Oct 2026 07:28:00 GMT"},
        {"without the header",
         R"({"method":"Network.responseReceived","params":{"type":"Document","frameId":"F",
             "response":{"url":"http://e.test/s","headers":{"Content-Type":"text/html"}}}})",
         true, ""},
        {"another frame",
         R"({"method":"Network.responseReceived","params":{"type":"Document","frameId":"G",
             "response":{"url":"http://e.test/s","headers":{"Retry-After":"1"}}}})",
         false, ""},
        {"a frame in a session of its own",
         R"({"method":"Network.responseReceived","sessionId":"S","params":{"type":"Document","frameId":"F",
             "response":{"url":"http://e.test/s","headers":{"Retry-After":"1"}}}})",
         false, ""},
        {"not a document",
         R"({"method":"Network.responseReceived","params":{"type":"Image","frameId":"F",
             "response":{"url":"http://e.test/a.png","headers":{"Retry-After":"1"}}}})",
         false, ""},
        {"another method",
         R"({"method":"Network.requestWillBeSent","params":{"type":"Document","frameId":"F"}})", false, ""},
        {"no address", R"({"method":"Network.responseReceived","params":{"type":"Document","frameId":"F"}})",
         false, ""},
    };
    for (const Case& c : cases) {
        const std::optional<DocumentAnswer> answer = documentAnswer(message(c.message), QStringLiteral("F"));
        ASSERT_EQ(answer.has_value(), c.answer) << c.name;
        if (answer) {
            EXPECT_EQ(answer->retryAfter, c.retryAfter) << c.name;
        }
    }
}

TEST(DocumentAnswer, NothingCountsBeforeTheMainFrameIsKnown)
{
    const QJsonObject answer = message(R"({"method":"Network.responseReceived","params":{"type":"Document",
        "frameId":"","response":{"url":"http://e.test/s","headers":{}}}})");
    EXPECT_FALSE(documentAnswer(answer, QString()));
}

TEST(DocumentAnswer, KeepsTheAddressAsSent)
{
    const auto answer = documentAnswer(message(R"({"method":"Network.responseReceived","params":{"type":"Document",
        "frameId":"F","response":{"url":"http://e.test/s?wd=%B4%AB&pn=10","headers":{}}}})"),
                                       QStringLiteral("F"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->url, QUrl(QStringLiteral("http://e.test/s?wd=%B4%AB&pn=10")));
}

} // namespace
} // namespace vellumax
