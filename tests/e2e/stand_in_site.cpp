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

std::string StandInSite::url(const std::string& path) const { return urlAt("127.0.0.1", path); }

std::string StandInSite::urlAt(const std::string& host, const std::string& path) const
{
    return "http://" + host + ":" + std::to_string(server_.serverPort()) + path;
}

bool StandInSite::requested(const std::string& path) const
{
    return std::find(paths_.begin(), paths_.end(), path) != paths_.end();
}

std::string StandInSite::headerOf(const std::string& path, const std::string& name) const
{
    const auto found = heads_.find(path);
    if (found == heads_.end())
        return {};
    const QByteArray prefix = QByteArray::fromStdString(name).toLower() + ':';
    for (const QByteArray& line : found->second.split('\n')) {
        if (line.toLower().startsWith(prefix))
            return line.mid(prefix.size()).trimmed().toStdString();
    }
    return {};
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
    heads_[path] = head.left(head.indexOf("\r\n\r\n"));

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
