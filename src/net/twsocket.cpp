#include "net/twsocket.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTcpSocket>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

TWSocket::TWSocket(QObject *parent) : QObject(parent)
{
}

TWSocket::~TWSocket()
{
    abort();
}

void TWSocket::setSslConfiguration(const QSslConfiguration &config)
{
    m_sslConfig = config;
}

QSslConfiguration TWSocket::sslConfiguration() const
{
    if (m_sslConfig)
        return *m_sslConfig;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return config;
}

int TWSocket::errorNumber(int qtSocketError)
{
    switch (static_cast<QAbstractSocket::SocketError>(qtSocketError)) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::HostNotFoundError: return EHOSTUNREACH;
    case QAbstractSocket::SocketAccessError: return EACCES;
    case QAbstractSocket::SocketResourceError: return EMFILE;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::NetworkError: return ENETUNREACH;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError: return EOPNOTSUPP;
    case QAbstractSocket::ProxyConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::ProxyConnectionClosedError: return ECONNRESET;
    case QAbstractSocket::ProxyConnectionTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::ProxyNotFoundError: return EHOSTUNREACH;
    case QAbstractSocket::SslHandshakeFailedError: return EPROTO;
    default: return 10000 + qtSocketError; // no errno fits: keep Qt's own number apart
    }
}

void TWSocket::dropSocket()
{
    if (m_sock) {
        QTcpSocket *s = m_sock;
        m_sock = nullptr;
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    if (m_keptFd >= 0) {
        ::close(m_keptFd);
        m_keptFd = -1;
    }
}

void TWSocket::keepDescriptor()
{
    if (m_sock && m_keptFd < 0 && m_sock->socketDescriptor() >= 0)
        m_keptFd = ::fcntl(int(m_sock->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
}

// After an orderly close by the peer our side waits in CLOSE_WAIT (the kept
// descriptor is still open); after a reset the connection is closed outright.
bool TWSocket::peerReset() const
{
    if (m_keptFd < 0)
        return false;
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(m_keptFd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err != 0)
        return true;
    tcp_info info{};
    len = sizeof info;
    if (::getsockopt(m_keptFd, IPPROTO_TCP, TCP_INFO, &info, &len) != 0)
        return false;
    return info.tcpi_state == TCP_CLOSE;
}

void TWSocket::abort()
{
    dropSocket();
    m_connected = false;
}

void TWSocket::connectTo(const QString &host, quint16 port, bool tls)
{
    abort();
    m_host = host;
    m_port = port;
    m_tls = tls;
    m_closedReported = false;

    QTcpSocket *s;
    if (tls) {
        auto *ssl = new QSslSocket(this);
        ssl->setSslConfiguration(sslConfiguration());
        ssl->setPeerVerifyName(host);
        connect(ssl, &QSslSocket::encrypted, this, [this] {
            m_connected = true;
            emit sessionConnected();
        });
        connect(ssl, &QSslSocket::connected, this, &TWSocket::keepDescriptor);
        s = ssl;
    } else {
        s = new QTcpSocket(this);
        connect(s, &QTcpSocket::connected, this, [this] {
            keepDescriptor();
            m_connected = true;
            emit sessionConnected();
        });
    }
    m_sock = s;
    if (SocksServer.isEmpty())
        s->setProxy(QNetworkProxy::NoProxy);
    else
        s->setProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, SocksServer, SocksPort, SocksUsername, SocksPassword));
    // The body arrives in large pieces; a small read buffer would only add wake-ups.
    s->setReadBufferSize(0);
    connect(s, &QTcpSocket::readyRead, this, &TWSocket::dataAvailable);
    connect(s, &QTcpSocket::errorOccurred, this, &TWSocket::onError);
    connect(s, &QTcpSocket::disconnected, this, &TWSocket::onDisconnected);

    if (!LocalAddr.isEmpty() && LocalAddr != QLatin1String("0.0.0.0")) {
        if (!s->bind(QHostAddress(LocalAddr))) {
            const int n = errorNumber(s->error());
            const QString text = s->errorString();
            abort();
            emit failed(n, text);
            return;
        }
    }
    if (tls)
        static_cast<QSslSocket *>(s)->connectToHostEncrypted(host, port);
    else
        s->connectToHost(host, port);
}

bool TWSocket::isConnected() const
{
    return m_sock && m_connected && m_sock->state() == QAbstractSocket::ConnectedState;
}

bool TWSocket::isOpen() const
{
    return m_sock && m_sock->state() != QAbstractSocket::UnconnectedState;
}

void TWSocket::send(const QByteArray &data)
{
    if (m_sock)
        m_sock->write(data);
}

qint64 TWSocket::bytesAvailable() const
{
    return m_sock ? m_sock->bytesAvailable() : 0;
}

qint64 TWSocket::receive(char *buffer, qint64 maxSize)
{
    if (!m_sock)
        return 0;
    const qint64 n = m_sock->read(buffer, maxSize);
    return n < 0 ? 0 : n;
}

void TWSocket::onError()
{
    if (!m_sock)
        return;
    const auto err = m_sock->error();
    if (err == QAbstractSocket::SocketTimeoutError && m_inWait)
        return; // only the time of one waitForActivity() ran out
    if (err == QAbstractSocket::RemoteHostClosedError && m_connected)
        return; // an orderly close by the peer: disconnected() reports it
    const int n = errorNumber(err);
    const QString text = m_sock->errorString();
    // Bytes already received stay readable until the owner drops the socket.
    m_closedReported = true;
    emit failed(n, text);
}

void TWSocket::onDisconnected()
{
    if (m_closedReported)
        return;
    m_closedReported = true;
    if (peerReset()) {
        emit failed(ECONNRESET, QStringLiteral("Connection reset by peer"));
        return;
    }
    emit sessionClosed();
}

bool TWSocket::waitForActivity(int ms)
{
    if (!m_sock)
        return false;
    m_inWait = true;
    const bool r = waitOnce(ms);
    m_inWait = false;
    return r;
}

bool TWSocket::waitOnce(int ms)
{
    switch (m_sock->state()) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return m_sock->waitForConnected(ms);
    case QAbstractSocket::ConnectedState:
        if (m_tls && !m_connected)
            return static_cast<QSslSocket *>(m_sock)->waitForEncrypted(ms);
        if (m_sock->bytesToWrite() > 0 && m_sock->waitForBytesWritten(ms))
            return true;
        return m_sock->waitForReadyRead(ms);
    default:
        return false;
    }
}
