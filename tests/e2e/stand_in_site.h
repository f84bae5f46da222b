#pragma once

#include <QObject>
#include <QTcpServer>
#include <map>
#include <string>
#include <vector>

namespace vellumax::test {

// A local stand-in for a result's own web site: answers each path it was
// given on a loopback port as it was told, 404 any other, and remembers the
// path of every request.
class StandInSite : public QObject {
    Q_OBJECT
public:
    struct Answer {
        int status = 200;
        std::string contentType = "text/html; charset=utf-8";
        std::string headers; // further header lines, each ending in CR LF
        std::string body;    // bytes as sent
        bool hang = false;   // sent without a length, and the connection stays open
    };

    explicit StandInSite(QObject* parent = nullptr);

    void answer(const std::string& path, Answer answer) { answers_[path] = std::move(answer); }
    std::string url(const std::string& path) const;
    // The same port under another name of this machine, e.g. "localhost".
    std::string urlAt(const std::string& host, const std::string& path) const;
    const std::vector<std::string>& paths() const { return paths_; }
    bool requested(const std::string& path) const;
    // The Cookie header of the last request of `path`, empty when it had none.
    std::string cookieOf(const std::string& path) const { return headerOf(path, "Cookie"); }
    // The value of the header `name` (any case) in the last request of
    // `path`, empty when it had none.
    std::string headerOf(const std::string& path, const std::string& name) const;

private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    std::map<std::string, Answer> answers_;
    std::vector<std::string> paths_;
    std::map<std::string, QByteArray> heads_; // the last request's head, by path
};

} // namespace vellumax::test
