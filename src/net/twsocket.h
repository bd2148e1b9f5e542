#pragma once
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <optional>
#include <QString>

class QTcpSocket;

// One TCP connection (plain, or TLS through QSslSocket with the usual certificate
// and host name checks) on its owner's thread. It resolves the host name, connects,
// sends bytes, reports received bytes and a closed connection, and reports a
// failure with a number (the system's errno value where there is one) and a text.
// A new underlying socket is made for every connection, so nothing from an earlier
// connection can reach the owner once close() or abort() has returned.
class TWSocket : public QObject
{
    Q_OBJECT
public:
    explicit TWSocket(QObject *parent = nullptr);
    ~TWSocket() override;

    // Local address to bind before connecting; empty or "0.0.0.0" binds nothing.
    QString LocalAddr = QStringLiteral("0.0.0.0");
    // SOCKS 5 server (empty: none) and its credentials.
    QString SocksServer;
    quint16 SocksPort = 1080;
    QString SocksUsername;
    QString SocksPassword;

    // TLS settings for https connections; the default uses the system's
    // certificate authorities and verifies the peer.
    void setSslConfiguration(const QSslConfiguration &config);
    QSslConfiguration sslConfiguration() const;

    // Starts a connection; sessionConnected() or failed() follows.
    void connectTo(const QString &host, quint16 port, bool tls);
    bool isConnected() const;
    bool isOpen() const; // connecting or connected
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    bool tls() const { return m_tls; }

    void send(const QByteArray &data);
    qint64 bytesAvailable() const;
    qint64 receive(char *buffer, qint64 maxSize);

    // Closes at once and silently: no signal follows.
    void abort();

    // Blocks for at most ms milliseconds on this socket alone, delivering its own
    // notifications; false when the socket is closed or nothing happened.
    bool waitForActivity(int ms);

    // Maps a socket error to the system's errno value where one fits.
    static int errorNumber(int qtSocketError);

signals:
    void sessionConnected();
    void dataAvailable();
    void sessionClosed();
    void failed(int number, const QString &text);

private:
    void onError();
    void onDisconnected();
    void dropSocket();
    bool waitOnce(int ms);
    void keepDescriptor();
    bool peerReset() const;

    QTcpSocket *m_sock = nullptr;
    // Unset until one is given: the default is read when a TLS connection needs
    // it, since reading it loads the TLS library and the system's certificates.
    std::optional<QSslConfiguration> m_sslConfig;
    QString m_host;
    quint16 m_port = 0;
    bool m_tls = false;
    bool m_connected = false;
    bool m_closedReported = false;
    bool m_inWait = false;
    // A second descriptor of the connection: it keeps the connection's state
    // readable after the toolkit has closed its own, so that a reset by the peer
    // can be told from an orderly close (both read as an end of data).
    int m_keptFd = -1;
};
