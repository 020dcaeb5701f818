// The browser tests' local web server.
#include "LocalWebServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace pixdock::test {

LocalWebServer::LocalWebServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LocalWebServer::addPage(const QString &path, const QString &title) { m_titles.insert(path, title); }

void LocalWebServer::holdBack(const QString &path) { m_heldPath = path; }

void LocalWebServer::release()
{
    m_heldPath.clear();
    const auto held = std::exchange(m_held, {});
    for (const auto &[socket, path] : held) {
        if (socket && socket->state() == QAbstractSocket::ConnectedState)
            answer(socket, path);
    }
}

QUrl LocalWebServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void LocalWebServer::readRequest(QTcpSocket *socket)
{
    // Only the request line matters; the rest of the header is read and ignored.
    if (socket->property("answered").toBool() || !socket->canReadLine())
        return;
    const QList<QByteArray> requestLine = socket->readLine().trimmed().split(' ');
    socket->readAll();
    socket->setProperty("answered", true);
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    m_requests[path] += 1;
    emit requestArrived(path);
    if (!m_heldPath.isEmpty() && path == m_heldPath)
        m_held.append({socket, path});
    else
        answer(socket, path);
}

void LocalWebServer::answer(QTcpSocket *socket, const QString &path)
{
    QByteArray status = "200 OK";
    QByteArray body;
    if (m_titles.contains(path)) {
        body = QStringLiteral("<!DOCTYPE html><html><head><title>%1</title></head>"
                              "<body><p>%1</p></body></html>")
                   .arg(m_titles.value(path))
                   .toUtf8();
    } else {
        status = "404 Not Found";
        body = "<html><head><title>Not Found</title></head><body>Not found</body></html>";
    }
    socket->write("HTTP/1.0 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\n"
                  "Cache-Control: no-store\r\nContent-Length: "
                  + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

} // namespace pixdock::test
