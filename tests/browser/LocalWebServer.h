// A tiny HTTP/1.0 server on 127.0.0.1 for the browser tests: serves pages of given titles and
// can hold back the answer for one path until the test releases it.
#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace pixdock::test {

class LocalWebServer
{
public:
    // Serves an HTML page titled `titles[path]` at each path ("/a.html").
    explicit LocalWebServer(const QHash<QString, QString> &titles) : m_titles(titles)
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, &m_server, [this, socket] { readRequest(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl url(const QString &path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path)); }
    // Requests for this path wait until release() answers them.
    void holdBack(const QString &path) { m_heldPath = path; }
    void release()
    {
        m_heldPath.clear();
        for (const QPointer<QTcpSocket> &socket : std::exchange(m_held, {}))
            if (socket && socket->state() == QAbstractSocket::ConnectedState)
                answer(socket);
    }
    // How many requests for the path arrived (answered or held), and how many wait.
    int requests(const QString &path) const { return m_requests.value(path); }
    int heldRequests() const { return int(m_held.size()); }

private:
    // Only the request line matters; the rest of the header is read and ignored.
    void readRequest(QTcpSocket *socket)
    {
        if (socket->property("path").isValid() || !socket->canReadLine())
            return;
        const QString path = QString::fromLatin1(socket->readLine().trimmed().split(' ').value(1));
        socket->readAll();
        socket->setProperty("path", path);
        m_requests[path] += 1;
        !m_heldPath.isEmpty() && path == m_heldPath ? m_held.append(socket) : answer(socket);
    }
    void answer(QTcpSocket *socket)
    {
        const QString path = socket->property("path").toString();
        const QByteArray body = QStringLiteral("<!DOCTYPE html><html><head><title>%1</title></head><body><p>%1</p></body></html>")
                                    .arg(m_titles.value(path, QStringLiteral("Not Found"))).toUtf8();
        socket->write((m_titles.contains(path) ? "HTTP/1.0 200 OK" : "HTTP/1.0 404 Not Found")
                      + QByteArray("\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nContent-Length: ")
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, QString> m_titles;
    QHash<QString, int> m_requests;
    QString m_heldPath;
    QList<QPointer<QTcpSocket>> m_held;
};

} // namespace pixdock::test
