#pragma once

#include <QObject>
#include <QTcpServer>
#include <functional>
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
        int delayMs = 0;     // before the answer is sent
    };

    // A request as it was served: when it came, and when its answer was
    // sent whole or its connection closed (-1 while neither).
    struct Served {
        std::string path;
        qint64 arrivedMs = 0;
        qint64 endedMs = -1;
    };

    explicit StandInSite(QObject* parent = nullptr);
    // Listening on another loopback address, "127.0.0.2": another host to a
    // browser, on this machine.
    explicit StandInSite(const std::string& address, QObject* parent = nullptr);

    void answer(const std::string& path, Answer answer) { answers_[path] = std::move(answer); }
    // How a path not given its own answer is answered; 404 without.
    void answerOthers(std::function<Answer(const std::string& path)> answer) { others_ = std::move(answer); }
    std::string url(const std::string& path) const;
    // The same port under another name of this machine, e.g. "localhost".
    std::string urlAt(const std::string& host, const std::string& path) const;
    const std::vector<std::string>& paths() const { return paths_; }
    const std::vector<Served>& served() const { return served_; }
    const std::string& address() const { return address_; }
    bool requested(const std::string& path) const;
    // The Cookie header of the last request of `path`, empty when it had none.
    std::string cookieOf(const std::string& path) const { return headerOf(path, "Cookie"); }
    // The value of the header `name` (any case) in the last request of
    // `path`, empty when it had none.
    std::string headerOf(const std::string& path, const std::string& name) const;

private:
    void serve(QTcpSocket* socket);

    void send(QTcpSocket* socket, const Answer& answer, size_t servedIndex);

    std::string address_;
    // Before the server: its connections, closed as it goes, still log.
    std::vector<Served> served_;
    QTcpServer server_;
    std::map<std::string, Answer> answers_;
    std::function<Answer(const std::string& path)> others_;
    std::vector<std::string> paths_;
    std::map<std::string, QByteArray> heads_; // the last request's head, by path
};

} // namespace vellumax::test
