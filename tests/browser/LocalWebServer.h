// A tiny HTTP/1.0 server on 127.0.0.1 for the browser tests: serves a few fixed pages and can
// hold back the answer for one path until the test releases it.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace pixdock::test {

class LocalWebServer : public QObject
{
    Q_OBJECT
public:
    LocalWebServer();

    bool isListening() const { return m_server.isListening(); }
    // Serves an HTML page with this title at this path ("/a.html").
    void addPage(const QString &path, const QString &title);
    // Requests for this path wait until release() answers them.
    void holdBack(const QString &path);
    void release();

    QUrl url(const QString &path) const;
    // How many requests for the path arrived (answered or held).
    int requests(const QString &path) const { return m_requests.value(path); }
    int heldRequests() const { return int(m_held.size()); }

signals:
    void requestArrived(const QString &path);

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &path);

    QTcpServer m_server;
    QHash<QString, QString> m_titles;
    QHash<QString, int> m_requests;
    QString m_heldPath;
    QList<QPair<QPointer<QTcpSocket>, QString>> m_held;
};

} // namespace pixdock::test
