// THttpCli: a request's course from the start to its completion, the connection,
// the time limits and the synchronous calls.
#include "net/thttpcli.h"

#include "net/twsocket.h"

#include <QEventLoop>
#include <QIODevice>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {
constexpr qint64 BodyChunk = 256 * 1024;
} // namespace

EHttpException::EHttpException(const QString &message, int number)
    : std::runtime_error(message.toStdString()), Message(message), ErrorCode(number)
{
}

THttpCli::THttpCli(QObject *parent) : QObject(parent), m_socket(new TWSocket(this))
{
    m_readBuf.resize(BodyChunk);
    m_watch = new QTimer(this);
    m_watch->setSingleShot(true);
    connect(m_watch, &QTimer::timeout, this, &THttpCli::checkTimeouts);
    connect(m_socket, &TWSocket::sessionConnected, this, &THttpCli::onConnected);
    connect(m_socket, &TWSocket::dataAvailable, this, &THttpCli::onData);
    connect(m_socket, &TWSocket::sessionClosed, this, &THttpCli::onClosed);
    connect(m_socket, &TWSocket::failed, this, &THttpCli::onFailed);
}

THttpCli::~THttpCli()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

void THttpCli::setRequestVer(const QString &ver)
{
    if (ver != QLatin1String("1.0") && ver != QLatin1String("1.1"))
        throw EHttpException(QStringLiteral("Insupported HTTP version"), httperrVersion);
    m_requestVer = ver;
}

void THttpCli::clearResults()
{
    m_statusCode = 0;
    m_reasonPhrase.clear();
    m_serverVersion.clear();
    m_contentLength = -1;
    m_rcvdCount = 0;
    m_contentType.clear();
    m_rcvdHeader.clear();
    m_authOffers.clear();
    m_acceptRanges.clear();
    m_replyRangeBegin.clear();
    m_replyRangeEnd.clear();
    m_relocationPending = false;
    m_docOpen = false;
    m_parser = ballwick::http::ReplyHeaderParser(HeaderLimits);
    m_drainLeft = 0;
    m_chunked = false;
    m_chunkState = Chunk::Size;
    m_chunkLeft = 0;
    m_chunkLine.clear();
}

void THttpCli::start(Method m)
{
    if (busy())
        throw EHttpException(QStringLiteral("HTTP component is busy"), httperrBusy);
    if ((m == Method::Post || m == Method::Put) && !SendStream)
        throw EHttpException(QStringLiteral("HTTP component has nothing to post or put"), httperrNoData);
    clearResults();
    m_location.clear();
    m_relocations = 0;
    m_errorNumber = httperrNoError;
    m_errorText.clear();
    m_retried = false;

    Target t;
    QString why;
    if (!splitUrl(URL, t, why))
        throw EHttpException(why, httperrBadAddress);
    if (!Proxy.isEmpty() && t.proto == QLatin1String("https"))
        throw EHttpException(QStringLiteral("https through a proxy is not supported"), httperrBadAddress);
    if (!SocksServer.isEmpty() && SocksLevel != QLatin1String("5"))
        throw EHttpException(QStringLiteral("Unsupported SOCKS level %1").arg(SocksLevel), httperrBadAddress);
    m_method = m;
    m_target = t;
    ++m_serial;
    m_stallMs = StallTimeoutMs;
    m_maxBody = MaxBodySize;
    m_deadlineMs = DeadlineMs;
    m_deadlineAt = QDeadlineTimer(DeadlineMs);
    noteActivity();
    connectOrReuse();
}

void THttpCli::connectOrReuse()
{
    const bool tls = m_target.proto == QLatin1String("https");
    const QString host = Proxy.isEmpty() ? m_target.host : Proxy;
    const quint16 port = Proxy.isEmpty() ? m_target.port : static_cast<quint16>(ProxyPort.toUInt());
    const QString key = Proxy + QLatin1Char('|') + ProxyPort + QLatin1Char('|') + SocksServer + QLatin1Char('|')
                        + SocksPort + QLatin1Char('|') + LocalAddr;
    if (m_socket->isConnected() && m_socket->host().compare(host, Qt::CaseInsensitive) == 0
        && m_socket->port() == port && m_socket->tls() == tls && key == m_connProxyKey) {
        m_reused = true;
        sendRequest();
        return;
    }
    m_reused = false;
    m_connProxyKey = key;
    m_state = State::Connecting;
    m_socket->LocalAddr = LocalAddr;
    m_socket->SocksServer = SocksServer;
    m_socket->SocksPort = static_cast<quint16>(SocksPort.toUInt());
    m_socket->SocksUsername = SocksUsername;
    m_socket->SocksPassword = SocksPassword;
    m_socket->connectTo(host, port, tls);
}

void THttpCli::onConnected()
{
    if (m_state != State::Connecting)
        return;
    const quint64 serial = m_serial;
    noteActivity();
    emit OnSessionConnected();
    if (serial == m_serial && m_state == State::Connecting)
        sendRequest();
}

void THttpCli::onData()
{
    const quint64 serial = m_serial;
    while (serial == m_serial) {
        if (m_state == State::WaitingHeader) {
            if (!processHeaderBytes())
                return;
        } else if (m_state == State::WaitingBody) {
            const qint64 n = m_socket->receive(m_readBuf.data(), BodyChunk);
            if (n <= 0)
                return;
            m_rcvdSinceSend += n;
            noteActivity();
            bodyBytes(m_readBuf.constData(), n);
        } else if (m_state == State::Draining) {
            const qint64 n = m_socket->receive(m_readBuf.data(), std::min(m_drainLeft, BodyChunk));
            if (n <= 0)
                return;
            noteActivity();
            m_drainLeft -= n;
            if (m_drainLeft == 0)
                sendRequest();
        } else {
            // Nothing is expected: data on an idle kept connection is not ours to read.
            if (m_state == State::Ready && m_socket->bytesAvailable() > 0)
                m_socket->abort();
            return;
        }
    }
}

void THttpCli::onClosed()
{
    onData(); // whatever arrived before the close
    switch (m_state) {
    case State::Ready:
        m_socket->abort();
        return;
    case State::Connecting:
        failConnection(ECONNRESET, QStringLiteral("Connection closed"));
        return;
    case State::Draining:
        // The server ended the connection after the relocation reply: open a new one.
        m_socket->abort();
        connectOrReuse();
        return;
    case State::WaitingHeader:
        if (m_reused && m_rcvdSinceSend == 0 && !m_retried) {
            // A kept connection the server had already given up: try once afresh.
            m_retried = true;
            m_socket->abort();
            connectOrReuse();
            return;
        }
        fail(httperrProtocol, QStringLiteral("Connection closed before the end of the reply header"));
        return;
    case State::WaitingBody: {
        const quint64 serial = m_serial;
        if (m_docOpen) {
            m_docOpen = false;
            emit OnDocEnd();
            if (serial != m_serial)
                return;
        }
        m_socket->abort();
        if (m_chunked) {
            fail(httperrCutShort, QStringLiteral("Connection closed inside a chunked body after %1 bytes").arg(m_rcvdCount));
            return;
        }
        if (m_contentLength >= 0 && m_rcvdCount < m_contentLength) {
            fail(httperrCutShort, QStringLiteral("Connection closed after %1 of %2 bytes")
                                      .arg(m_rcvdCount)
                                      .arg(m_contentLength));
            return;
        }
        complete();
        return;
    }
    }
}

void THttpCli::onFailed(int number, const QString &text)
{
    if (m_state != State::Connecting)
        onData(); // keep what was received before the failure
    switch (m_state) {
    case State::Ready:
        m_socket->abort();
        return;
    case State::WaitingHeader:
        if (m_reused && m_rcvdSinceSend == 0 && !m_retried) {
            m_retried = true;
            m_socket->abort();
            connectOrReuse();
            return;
        }
        break;
    default:
        break;
    }
    failConnection(number, text);
}

void THttpCli::fail(int number, const QString &text)
{
    m_errorNumber = number;
    m_errorText = text;
    m_socket->abort();
    complete();
}

void THttpCli::failConnection(int number, const QString &text)
{
    m_statusCode = 404;
    m_reasonPhrase = text + QStringLiteral(" (Error #") + QString::number(number) + QLatin1Char(')');
    m_socket->abort();
    complete();
}

void THttpCli::noteActivity()
{
    m_stallAt = QDeadlineTimer(m_stallMs);
    armWatch();
}

void THttpCli::armWatch()
{
    const qint64 left = std::min(m_stallAt.remainingTime(), m_deadlineAt.remainingTime());
    m_watch->start(int(std::clamp<qint64>(left, 0, std::numeric_limits<int>::max())));
}

// A silent server, or one that drips its bytes, ends the request.
void THttpCli::checkTimeouts()
{
    if (!busy())
        return;
    if (m_deadlineAt.hasExpired())
        fail(httperrTimeout, QStringLiteral("No complete reply within %1 s").arg(double(m_deadlineMs) / 1000));
    else if (m_stallAt.hasExpired())
        fail(httperrTimeout, QStringLiteral("No data from the server for %1 s").arg(double(m_stallMs) / 1000));
    else
        armWatch();
}

void THttpCli::complete()
{
    m_watch->stop();
    m_state = State::Ready;
    m_docOpen = false;
    ++m_serial;
    int code = m_errorNumber;
    if (code == httperrNoError && m_statusCode >= 400)
        code = m_statusCode;
    emit OnRequestDone(code);
}

void THttpCli::Abort()
{
    if (!busy())
        return;
    m_socket->abort();
    m_statusCode = 404;
    m_reasonPhrase = QStringLiteral("Connection aborted on request");
    complete();
}

void THttpCli::CloseConnection()
{
    if (!busy())
        m_socket->abort();
}

void THttpCli::throwOutcome()
{
    if (m_errorNumber != httperrNoError)
        throw EHttpException(m_errorText, m_errorNumber);
    if (m_statusCode >= 400)
        throw EHttpException(m_reasonPhrase, m_statusCode);
}

void THttpCli::doSync(Method m)
{
    start(m);
    if (busy()) {
        if (!MultiThreaded) {
            // Sleeps in the event loop until the request is done. A quit of the
            // application ends every running loop of this thread, and a new one
            // returns at once while the quit is under way: either way the request is
            // still running here, and is abandoned.
            QEventLoop loop;
            const auto c = connect(this, &THttpCli::OnRequestDone, &loop, &QEventLoop::quit);
            loop.exec();
            disconnect(c);
            if (busy())
                Abort();
        } else {
            while (busy()) {
                if (!m_socket->waitForActivity(100) && !m_socket->isOpen() && busy())
                    failConnection(ENOTCONN, QStringLiteral("Connection lost"));
                checkTimeouts();
            }
        }
    }
    throwOutcome();
}
