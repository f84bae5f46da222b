#include "stand_in_site.h"

#include <QTcpSocket>
#include <algorithm>

namespace vellumax::test {

StandInSite::StandInSite(QObject* parent) : QObject(parent)
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

std::string StandInSite::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
}

bool StandInSite::requested(const std::string& path) const
{
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

std::string StandInSite::cookieOf(const std::string& path) const
{
    const auto found = cookies_.find(path);
    return found != cookies_.end() ? found->second : std::string();
}

void StandInSite::serve(QTcpSocket* socket)
{
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (!head.contains("\r\n\r\n"))
        return;
    socket->readAll();
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const std::string path = requestLine.size() >= 2 ? requestLine[1].toStdString() : std::string();
    paths_.push_back(path);
    cookies_[path].clear();
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith("cookie:"))
            cookies_[path] = line.mid(7).trimmed().toStdString();
    }

    const auto found = answers_.find(path);
    const Answer answer = found != answers_.end() ? found->second : Answer{404, "text/html", {}, "<p>not here</p>"};
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) +
                           " Status\r\nContent-Type: " + answer.contentType + "\r\n" + answer.headers;
    if (!answer.hang)
        response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\nConnection: close\r\n";
    response += "\r\n" + answer.body;
    socket->write(response.data(), static_cast<qint64>(response.size()));
    if (!answer.hang)
        socket->disconnectFromHost();
}

} // namespace vellumax::test
