#include "fixture_engine.h"

#include "text/gbk_codec.h"

#include <QTcpSocket>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vellumax::test {
namespace {

// Undoes the query encoding byte for byte: "+" is a blank, %XX a byte.
std::string decodeQueryValue(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '+') {
            out += ' ';
        } else if (value[i] == '%' && i + 2 < value.size()) {
            out += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string queryValue(const std::string& path, const std::string& key)
{
    const size_t query = path.find('?');
    if (query == std::string::npos)
        return {};
    const std::string needle = key + "=";
    size_t at = query + 1;
    while (at < path.size()) {
        const size_t end = std::min(path.find('&', at), path.size());
        if (path.compare(at, needle.size(), needle) == 0)
            return path.substr(at + needle.size(), end - at - needle.size());
        at = end + 1;
    }
    return {};
}

std::string htmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        default: out += c;
        }
    }
    return out;
}

// Percent-encodes every byte but letters and digits.
std::string encodeQueryValue(const std::string& value)
{
    std::string out;
    for (unsigned char c : value) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 302: return "Found";
    case 200: return "OK";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

} // namespace

FixtureEngine::FixtureEngine(PageFn pages, QObject* parent) : QObject(parent), pages_(std::move(pages))
{
    server_.listen(QHostAddress::LocalHost, 0);
    port_ = server_.serverPort();
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

std::string FixtureEngine::endpoint() const { return "http://127.0.0.1:" + std::to_string(port_); }

void FixtureEngine::setDown(bool down)
{
    if (down)
        server_.close();
    else if (!server_.isListening())
        server_.listen(QHostAddress::LocalHost, port_);
}

std::vector<std::string> FixtureEngine::resultPage(const std::vector<std::string>& faxLines, int pageOffset,
                                                   bool hasNext)
{
    std::vector<std::string> lines = {"第 " + std::to_string(pageOffset / 10 + 1) + " 页搜索结果"};
    lines.insert(lines.end(), faxLines.begin(), faxLines.end());
    if (hasNext) {
        const int page = pageOffset / 10 + 1;
        // The first page's pager begins with its own number, later ones with
        // the previous-page word.
        std::string pager = page == 1 ? "1" : "上一页";
        for (int p = std::max(1, page - 2); p <= page + 2; ++p) {
            if (p == page)
                pager += page == 1 ? "" : " " + std::to_string(p);
            else
                pager += " [" + std::to_string(p) + "]";
        }
        lines.push_back(pager + " 下一页");
    }
    return lines;
}

std::vector<std::string> FixtureEngine::todaysPager(int pn, bool hasNext)
{
    const int page = pn / 10 + 1;
    std::string pager = page > 1 ? "<a href=\"/s?wd=x&pn=" + std::to_string(pn - 10) + "\" class=\"n\">&lt;上一页</a>" : "";
    for (int p = std::max(1, page - 4); p <= page + (hasNext ? 4 : 0); ++p) {
        const std::string number = "<span class=\"pc\">" + std::to_string(p) + "</span>";
        pager += p == page ? "<strong>" + number + "</strong>"
                           : "<a href=\"/s?wd=x&pn=" + std::to_string((p - 1) * 10) + "\">" + number + "</a>";
    }
    if (hasNext)
        pager += "<a href=\"/s?wd=x&pn=" + std::to_string(pn + 10) + "\" class=\"n\">下一页&gt;</a>";
    return {rawHtml("<a href=\"/r\">下一页 - 某某论坛</a>"), rawHtml(pager)};
}

std::vector<std::string> FixtureEngine::threeKeywordPages(const std::string& word, int pn)
{
    if (word == gbk("上海传真"))
        return resultPage({"上海某公司 电话:021-55555555 传真:021-1000" + digits(pn, 4)}, pn, pn < 20);
    if (word == "fax list")
        return resultPage({"Tel:0512-1 FAX:86-10-2" + digits(pn, 7), "传真:0512-99999999"}, pn, true);
    if (word == gbk("机械配件"))
        return resultPage({"FAX:0755-33333333"}, pn, false);
    return {};
}

std::string FixtureEngine::threeKeywordRequestsMismatch(const std::vector<Request>& requests)
{
    if (requests.size() != 79)
        return std::to_string(requests.size()) + " requests instead of 79";
    const std::string head = "/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=";
    const std::string shanghai = head + "%C9%CF%BA%A3%B4%AB%D5%E6&pn=";
    std::vector<std::string> expected = {shanghai + "0&cl=3", shanghai + "10&cl=3", shanghai + "20&cl=3"};
    for (int pn = 0; pn <= 740; pn += 10)
        expected.push_back(head + "fax+list&pn=" + std::to_string(pn) + "&cl=3");
    expected.push_back(head + "%BB%FA%D0%B5%C5%E4%BC%FE&pn=0&cl=3");
    for (size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].path != expected[i])
            return "request " + std::to_string(i) + " is " + requests[i].path + ", not " + expected[i];
    }
    return {};
}

std::string FixtureEngine::digits(int value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

void FixtureEngine::serve(QTcpSocket* socket)
{
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (!head.contains("\r\n\r\n"))
        return;
    socket->readAll();
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const std::string path = requestLine.size() >= 2 ? requestLine[1].toStdString() : std::string();
    paths_.push_back(path);

    int status = 200;
    QByteArray contentType = "text/html; charset=gbk";
    std::string headers; // further header lines, each ending in CR LF
    std::string body;
    auto page = [](const std::vector<std::string>& lines) {
        std::string html = "<html><head><meta charset=\"gbk\"><title>results</title></head><body>";
        for (const std::string& line : lines)
            html += "<div>" +
                    (line.rfind(kRawHtml, 0) == 0 ? gbk(line.substr(std::strlen(kRawHtml))) : htmlEscape(gbk(line))) +
                    "</div>";
        return html + "</body></html>";
    };
    if (path.rfind("/baidu?", 0) == 0) {
        Request request{path, decodeQueryValue(queryValue(path, "word")), -1,
                        head.contains("\r\nCookie: ") && head.contains("verified=1")};
        try {
            request.pageOffset = std::stoi(queryValue(path, "pn"));
        } catch (...) {
        }
        const Answer answer = answers_ ? answers_(request) : Answer{};
        status = answer.status;
        if (!answer.retryAfter.empty())
            headers += "Retry-After: " + answer.retryAfter + "\r\n";
        if (answer.plainText)
            contentType = "text/plain; charset=gbk";
        if (answer.verify) {
            status = 302;
            headers += "Location: /verify?back=" + encodeQueryValue(path) + "\r\n";
        } else if (answer.withPage) {
            body = page(pages_(request.word, request.pageOffset));
        }
        requests_.push_back(std::move(request));
    } else if (path.rfind("/verify?back=", 0) == 0) {
        const std::string back = queryValue(path, "back");
        body = "<html><head><meta charset=\"gbk\"><title>" + gbk("安全验证") + "</title></head><body><div>" +
               gbk("请完成安全验证") + "</div><div>" + gbk("传真:0999-99999999") +
               "</div><a id=\"pass\" href=\"/verify/pass?back=" + back + "\">" + gbk("完成验证") +
               "</a></body></html>";
    } else if (path.rfind("/verify/pass?back=", 0) == 0) {
        status = 302;
        headers += "Set-Cookie: verified=1; Path=/\r\nLocation: " + decodeQueryValue(queryValue(path, "back")) +
                   "\r\n";
    } else if (path == "/plain") {
        contentType = "text/plain; charset=gbk";
        body = gbk("传真:0512-12345678");
    } else if (path == "/empty") {
        body = "<html><body></body></html>";
    } else if (path == "/hang") {
        return; // the connection stays open, unanswered
    } else if (path.rfind("/status/", 0) == 0 && path.size() >= 11) {
        status = std::atoi(path.substr(8, 3).c_str());
        if (path.substr(11) == "/fax")
            body = page({"传真:0512-12345678"});
    } else {
        status = 404;
    }
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " " + reasonPhrase(status) +
                          "\r\nContent-Type: " + contentType + "\r\nContent-Length: " +
                          QByteArray::number(static_cast<qsizetype>(body.size())) +
                          "\r\nConnection: close\r\n" + QByteArray::fromStdString(headers) + "\r\n";
    response.append(body.data(), static_cast<qsizetype>(body.size()));
    socket->write(response);
    socket->disconnectFromHost();
    if (status == 200)
        emit requestServed();
}

} // namespace vellumax::test
