#include "stand_in_site.h"

#include <QDateTime>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace vellumax::test {

namespace {

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

} // namespace

StandInSite::StandInSite(QObject* parent) : StandInSite("127.0.0.1", parent) {}

StandInSite::StandInSite(const std::string& address, QObject* parent) : QObject(parent), address_(address)
{
    server_.listen(QHostAddress(QString::fromStdString(address)), 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

std::string StandInSite::url(const std::string& path) const { return urlAt(address_, path); }

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
    const size_t index = served_.size();
    served_.push_back({path, nowMs()});
    // A hanging answer, or one the browser gave up waiting for, ends with
    // its connection.
    connect(socket, &QTcpSocket::disconnected, this, [this, index] {
        if (served_[index].endedMs < 0)
            served_[index].endedMs = nowMs();
    });

    const auto found = answers_.find(path);
    const Answer answer = found != answers_.end() ? found->second
                          : others_               ? others_(path)
                                                  : Answer{404, "text/html", {}, "<p>not here</p>"};
    if (answer.delayMs > 0) {
        const QPointer<QTcpSocket> alive(socket);
        QTimer::singleShot(answer.delayMs, this, [this, alive, answer, index] {
            if (alive)
                send(alive, answer, index);
        });
        return;
    }
    send(socket, answer, index);
}

void StandInSite::send(QTcpSocket* socket, const Answer& answer, size_t servedIndex)
{
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) +
                           " Status\r\nContent-Type: " + answer.contentType + "\r\n" + answer.headers;
    if (!answer.hang)
        response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\nConnection: close\r\n";
    response += "\r\n" + answer.body;
    socket->write(response.data(), static_cast<qint64>(response.size()));
    if (!answer.hang) {
        served_[servedIndex].endedMs = nowMs();
        socket->disconnectFromHost();
    }
}

} // namespace vellumax::test
