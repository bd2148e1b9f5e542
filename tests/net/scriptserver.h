#pragma once
// A scripted HTTP server on 127.0.0.1 for the client tests. It runs in the test's
// own thread: the client's synchronous requests wait in the event loop, which
// serves it. Each request's bytes are recorded; the test's handler writes the reply.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

class ScriptServer : public QObject
{
public:
    // handler(socket, request bytes, request index): writes the reply; may close.
    using Handler = std::function<void(QTcpSocket *, const QByteArray &, int)>;

    explicit ScriptServer(Handler h = {}) : handler(std::move(h))
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                ++connections;
                sockets.append(s);
                auto buf = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s, buf] {
                    *buf += s->readAll();
                    for (;;) {
                        const qsizetype end = buf->indexOf("\r\n\r\n");
                        if (end < 0)
                            return;
                        qsizetype total = end + 4;
                        const qsizetype cl = buf->indexOf("Content-Length: ");
                        if (cl >= 0 && cl < end)
                            total += buf->mid(cl + 16, buf->indexOf("\r\n", cl) - cl - 16).toLongLong();
                        if (buf->size() < total)
                            return;
                        const QByteArray req = buf->left(total);
                        buf->remove(0, total);
                        requests.append(req);
                        if (handler)
                            handler(s, req, int(requests.size()) - 1);
                        if (s->state() != QAbstractSocket::ConnectedState)
                            return;
                    }
                });
            }
        });
    }
    ~ScriptServer() override
    {
        for (const auto &s : sockets)
            if (s)
                s->abort();
    }

    quint16 port() const { return server.serverPort(); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
    }

    // A whole reply, then the close.
    static void replyAndClose(QTcpSocket *s, const QByteArray &reply)
    {
        s->write(reply);
        s->disconnectFromHost();
    }

    QTcpServer server;
    Handler handler;
    QList<QByteArray> requests;
    QList<QPointer<QTcpSocket>> sockets;
    int connections = 0;
};
