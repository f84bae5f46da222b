#pragma once

#include <QObject>
#include <QTcpServer>
#include <functional>
#include <string>
#include <vector>

namespace vellumax::test {

// A local stand-in for the search engine: answers the result-page requests
// on a loopback port with GBK pages, and remembers every request it got.
class FixtureEngine : public QObject {
    Q_OBJECT
public:
    struct Request {
        std::string path;  // as received, e.g. /baidu?lm=0&...
        std::string word;  // the word= value, decoded to its GBK bytes
        int pageOffset = -1;
        bool verified = false; // it carries the cookie the verification page sets
    };

    // The lines (UTF-8) of the page for a decoded keyword and page offset.
    using PageFn = std::function<std::vector<std::string>(const std::string& word, int pageOffset)>;

    // How a result-page request is answered: its HTTP status, and whether
    // the page goes with it or the body is empty.
    struct Answer {
        int status = 200;
        bool withPage = true;
        bool plainText = false; // the page's text as a plain-text document
        // Sent to the verification page instead, by a redirect.
        bool verify = false;
        std::string retryAfter = {}; // sent as a Retry-After header unless empty
    };
    using AnswerFn = std::function<Answer(const Request& request)>;

    explicit FixtureEngine(PageFn pages, QObject* parent = nullptr);

    // Every result-page request is answered 200 with its page until this is
    // set. Other paths: /status/NNN answers NNN with an empty body,
    // /status/NNN/fax answers NNN with a page holding a fax line; /hang never
    // answers. The verification page, /verify?back=PATH, holds a fax line and
    // a link (id "pass") to /verify/pass?back=PATH, which sets the cookie and
    // redirects back to PATH.
    void setAnswers(AnswerFn answers) { answers_ = std::move(answers); }

    // "http://127.0.0.1:PORT"
    std::string endpoint() const;

    // Down, the engine refuses every connection on its port; up again, it
    // answers there as before.
    void setDown(bool down);
    const std::vector<Request>& requests() const { return requests_; }
    // The path of every request that arrived, result page or not, in order.
    const std::vector<std::string>& paths() const { return paths_; }

    // A page whose lines are the fax lines given, then a pager line offering
    // a next page while `hasNext` holds.
    static std::vector<std::string> resultPage(const std::vector<std::string>& faxLines, int pageOffset,
                                               bool hasNext);

    // A page line that goes into the page as markup, not as text.
    static std::string rawHtml(const std::string& utf8Markup) { return kRawHtml + utf8Markup; }
    static constexpr const char* kRawHtml = "<!--raw-->";

    // The engine's pager as its pages carry it today: page numbers and a
    // next-page link without brackets, in markup (lines for resultPage's
    // faxLines); the link is there while `hasNext` holds, with a title link
    // that holds the word beside it.
    static std::vector<std::string> todaysPager(int pageOffset, bool hasNext);

    // The pages of the three-keyword run that the window's and the headless
    // search's end-to-end tests both make: 上海传真 has three pages; fax
    // list a next page always, so the page cap ends it; 机械配件 one page,
    // read with the marker the fax keyword left.
    static std::vector<std::string> threeKeywordPages(const std::string& word, int pageOffset);

    // What is wrong with the requests of a whole run over those three
    // keywords (three pages, 75 up to the cap, one), or empty when nothing is.
    static std::string threeKeywordRequestsMismatch(const std::vector<Request>& requests);

    // `value` in decimal with leading zeros to `width` digits.
    static std::string digits(int value, int width);

signals:
    void requestServed();

private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    quint16 port_ = 0;
    PageFn pages_;
    AnswerFn answers_;
    std::vector<Request> requests_;
    std::vector<std::string> paths_;
};

} // namespace vellumax::test
