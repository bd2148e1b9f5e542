#include "net/thttpcli.h"

#include "net/twsocket.h"

#include <QEventLoop>
#include <QIODevice>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <limits>

EHttpException::EHttpException(const QString &message, int number)
    : std::runtime_error(message.toStdString()), Message(message), ErrorCode(number)
{
}

namespace {

constexpr qint64 BodyChunk = 256 * 1024;

// Path and query as sent on the request line: the fragment dropped, and anything
// that could break the line (blanks, control characters, non-ASCII) percent-encoded.
QString requestPath(QString p)
{
    const int hash = p.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        p.truncate(hash);
    if (p.startsWith(QLatin1Char('?')))
        p.prepend(QLatin1Char('/'));
    if (p.isEmpty())
        p = QStringLiteral("/");
    return QString::fromLatin1(QUrl::toPercentEncoding(p, "!$&'()*+,;=:@/?%[]~"));
}

// A header value from a setting: line breaks would start a header of their own.
QByteArray headerValue(const QString &v)
{
    QByteArray b = v.toLatin1();
    for (char &c : b)
        if (c == '\r' || c == '\n')
            c = ' ';
    return b;
}

bool validHost(const QString &h, bool ipv6)
{
    if (h.isEmpty())
        return false;
    for (QChar c : h) {
        const ushort u = c.unicode();
        const bool alnum = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        if (alnum || u == '-' || u == '.' || u == '_')
            continue;
        if (ipv6 && (u == ':' || u == '%'))
            continue;
        return false;
    }
    return true;
}

bool hasScheme(const QString &v)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return re.match(v).hasMatch();
}

} // namespace

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

bool THttpCli::splitUrl(const QString &url, Target &t, QString &why) const
{
    QString rest = url.trimmed();
    const int sep = rest.indexOf(QLatin1String("://"));
    t.proto = sep >= 0 ? rest.left(sep).toLower() : QStringLiteral("http");
    if (sep >= 0)
        rest = rest.mid(sep + 3);
    if (t.proto != QLatin1String("http") && t.proto != QLatin1String("https")) {
        why = QStringLiteral("Unsupported protocol \"%1\"").arg(t.proto);
        return false;
    }
    int end = rest.size();
    for (int i = 0; i < rest.size(); ++i)
        if (rest[i] == QLatin1Char('/') || rest[i] == QLatin1Char('?')) {
            end = i;
            break;
        }
    QString hostPart = rest.left(end);
    t.path = requestPath(rest.mid(end));

    t.user.clear();
    t.password.clear();
    const int at = hostPart.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString info = hostPart.left(at);
        hostPart = hostPart.mid(at + 1);
        const int colon = info.indexOf(QLatin1Char(':'));
        t.user = QUrl::fromPercentEncoding(info.left(colon < 0 ? info.size() : colon).toLatin1());
        if (colon >= 0)
            t.password = QUrl::fromPercentEncoding(info.mid(colon + 1).toLatin1());
    }

    QString portText;
    bool ipv6 = false;
    if (hostPart.startsWith(QLatin1Char('['))) {
        const int close = hostPart.indexOf(QLatin1Char(']'));
        if (close < 0) {
            why = QStringLiteral("Invalid address \"%1\"").arg(url);
            return false;
        }
        t.host = hostPart.mid(1, close - 1);
        ipv6 = true;
        const QString after = hostPart.mid(close + 1);
        if (after.startsWith(QLatin1Char(':')))
            portText = after.mid(1);
        else if (!after.isEmpty()) {
            why = QStringLiteral("Invalid address \"%1\"").arg(url);
            return false;
        }
    } else {
        const int colon = hostPart.lastIndexOf(QLatin1Char(':'));
        t.host = colon >= 0 ? hostPart.left(colon) : hostPart;
        if (colon >= 0)
            portText = hostPart.mid(colon + 1);
        t.host = QString::fromLatin1(QUrl::toAce(t.host));
    }
    if (!validHost(t.host, ipv6)) {
        why = QStringLiteral("Invalid host in \"%1\"").arg(url);
        return false;
    }
    if (portText.isEmpty()) {
        t.port = t.proto == QLatin1String("https") ? 443 : 80;
    } else {
        bool ok = false;
        const uint p = portText.toUInt(&ok);
        if (!ok || p == 0 || p > 65535) {
            why = QStringLiteral("Invalid port in \"%1\"").arg(url);
            return false;
        }
        t.port = static_cast<quint16>(p);
    }
    return true;
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

QByteArray THttpCli::buildRequest() const
{
    static const char *const names[] = {"GET", "POST", "PUT", "HEAD"};
    const bool withBody = m_method == Method::Post || m_method == Method::Put;
    QByteArray r;
    r.reserve(512);
    QByteArray target = m_target.path.toLatin1();
    if (!Proxy.isEmpty()) {
        QByteArray hostPort = m_target.host.contains(QLatin1Char(':')) ? '[' + m_target.host.toLatin1() + ']'
                                                                         : m_target.host.toLatin1();
        if (m_target.port != 80)
            hostPort += ':' + QByteArray::number(m_target.port);
        target = "http://" + hostPort + target; // a proxy needs the whole address
    }
    r += names[static_cast<int>(m_method)];
    r += ' ' + target + " HTTP/" + m_requestVer.toLatin1() + "\r\n";
    auto line = [&r](const char *name, const QString &v) {
        if (!v.isEmpty())
            r += QByteArray(name) + ": " + headerValue(v) + "\r\n";
    };
    line("From", Sender);
    line("Accept", Accept);
    line("Referer", Reference);
    line("Connection", Connection);
    line("Accept-Language", AcceptLanguage);
    if (withBody)
        line("Content-Type", ContentTypePost);
    line("User-Agent", Agent);
    r += "Host: " + (m_target.host.contains(QLatin1Char(':')) ? '[' + m_target.host.toLatin1() + ']'
                                                              : m_target.host.toLatin1())
         + "\r\n";
    if (NoCache)
        r += "Pragma: no-cache\r\n";
    if (withBody)
        r += "Content-Length: " + QByteArray::number(SendStream->size()) + "\r\n";
    if (ModifiedSince.isValid()) {
        const QDateTime utc = ModifiedSince.toUTC();
        r += "If-Modified-Since: " + QLocale::c().toString(utc, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")).toLatin1()
             + " GMT\r\n";
    }
    const QString user = m_target.user.isEmpty() ? Username : m_target.user;
    const QString pass = m_target.user.isEmpty() ? Password : m_target.password;
    if (!user.isEmpty())
        r += "Authorization: Basic " + (user + QLatin1Char(':') + pass).toUtf8().toBase64() + "\r\n";
    if (!Proxy.isEmpty() && !ProxyUsername.isEmpty())
        r += "Proxy-Authorization: Basic " + (ProxyUsername + QLatin1Char(':') + ProxyPassword).toUtf8().toBase64()
             + "\r\n";
    line("Cookie", Cookie);
    if (!ContentRangeBegin.isEmpty() || !ContentRangeEnd.isEmpty())
        r += "Range: bytes=" + headerValue(ContentRangeBegin) + '-' + headerValue(ContentRangeEnd) + "\r\n";
    r += "\r\n";
    return r;
}

void THttpCli::sendRequest()
{
    QByteArray req = buildRequest();
    ContentRangeBegin.clear();
    ContentRangeEnd.clear();
    if ((m_method == Method::Post || m_method == Method::Put) && SendStream) {
        if (!SendStream->isSequential())
            SendStream->seek(0);
        req += SendStream->readAll();
    }
    m_state = State::WaitingHeader;
    m_rcvdSinceSend = 0;
    m_parser = ballwick::http::ReplyHeaderParser(HeaderLimits);
    m_socket->send(req);
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

// Reads header bytes and hands them to the header parser. False when no more bytes
// are to be had now or the request has moved on.
bool THttpCli::processHeaderBytes()
{
    const quint64 serial = m_serial;
    const qint64 n = m_socket->receive(m_readBuf.data(), RcvBufSize);
    if (n <= 0)
        return false;
    m_rcvdSinceSend += n;
    noteActivity();
    qint64 used = 0;
    const auto status = m_parser.feed(m_readBuf.constData(), n, &used);
    const QByteArray leftover(m_readBuf.constData() + used, n - used);

    for (const QByteArray &line : m_parser.takeNewLines()) {
        const QString text = QString::fromLatin1(line);
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        if (colon > 0 && text.left(colon).trimmed().compare(QLatin1String("set-cookie"), Qt::CaseInsensitive) == 0) {
            qsizetype i = colon + 1;
            while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
                ++i;
            emit OnCookie(text.mid(i));
            if (serial != m_serial)
                return false;
        }
        emit OnHeaderData(text);
        if (serial != m_serial)
            return false;
    }

    using Status = ballwick::http::ReplyHeaderParser::Status;
    if (status == Status::Failed) {
        const auto f = m_parser.failure();
        const int number = f == ballwick::http::Failure::LineTooLong      ? httperrLineTooLong
                           : f == ballwick::http::Failure::HeaderTooLarge ? httperrTooLarge
                                                                          : httperrProtocol;
        fail(number, m_parser.failureText());
        return false;
    }
    if (status == Status::NeedMore)
        return true;

    adoptHeader();
    if (m_parser.header().bare) {
        // A bare document without a header: all of it is body, up to the close.
        m_state = State::WaitingBody;
        m_docOpen = true;
        emit OnDocBegin();
        if (serial != m_serial)
            return false;
        const QByteArray body = m_parser.bareStart() + leftover;
        bodyBytes(body.constData(), body.size());
        return serial == m_serial;
    }
    headerEnd();
    if (serial != m_serial || !busy())
        return false;
    if (m_state == State::WaitingBody) {
        bodyBytes(leftover.constData(), leftover.size());
        if (serial == m_serial && m_state == State::WaitingBody && m_statusCode >= 400) {
            // An error page: what came with the header is all that is read.
            m_docOpen = false;
            emit OnDocEnd();
            if (serial != m_serial)
                return false;
            m_socket->abort();
            complete();
        }
    } else if (m_state == State::Draining) {
        const qint64 take = std::min<qint64>(m_drainLeft, leftover.size());
        m_drainLeft -= take;
        if (m_drainLeft == 0)
            sendRequest();
    }
    return serial == m_serial;
}

// The results of the request from the header just read.
void THttpCli::adoptHeader()
{
    const ballwick::http::ReplyHeader &h = m_parser.header();
    m_serverVersion = h.serverVersion;
    m_statusCode = h.statusCode;
    m_reasonPhrase = h.reasonPhrase;
    m_contentLength = h.contentLength;
    m_chunked = h.chunked;
    m_relocationPending = h.relocation;
    if (h.relocation)
        m_location = h.location;
    m_contentType = h.contentType;
    m_acceptRanges = h.acceptRanges;
    m_replyRangeBegin = h.rangeBegin;
    m_replyRangeEnd = h.rangeEnd;
    m_rcvdHeader = h.lines;
    m_authOffers = h.authOffers;
}

void THttpCli::headerEnd()
{
    if (m_relocationPending) {
        relocate();
        return;
    }
    const bool noBody = m_method == Method::Head || m_statusCode == 204 || m_statusCode == 304;
    if (!noBody && m_maxBody >= 0 && m_contentLength > m_maxBody) {
        fail(httperrTooLarge, QStringLiteral("Reply of %1 bytes is larger than the limit of %2 bytes")
                                  .arg(m_contentLength)
                                  .arg(m_maxBody));
        return;
    }
    if (m_contentLength != 0 && !noBody) {
        m_state = State::WaitingBody;
        m_docOpen = true;
        emit OnDocBegin();
        return;
    }
    if (!keepAlive())
        m_socket->abort();
    complete();
}

bool THttpCli::writeBody(const char *data, qint64 n)
{
    if (m_maxBody >= 0 && m_rcvdCount + n > m_maxBody) {
        fail(httperrTooLarge, QStringLiteral("Reply larger than the limit of %1 bytes").arg(m_maxBody));
        return false;
    }
    if (n > 0 && RcvdStream && RcvdStream->write(data, n) != n) {
        fail(httperrStreamWrite, QStringLiteral("Cannot write the received data: %1").arg(RcvdStream->errorString()));
        return false;
    }
    if (n > 0)
        m_rcvdCount += n;
    return true;
}

void THttpCli::bodyBytes(const char *data, qint64 n)
{
    if (m_chunked) {
        chunkedBytes(data, n);
        return;
    }
    // Never more than the announced length reaches the stream.
    qint64 take = n;
    if (m_contentLength >= 0)
        take = std::min(n, m_contentLength - m_rcvdCount);
    if (!writeBody(data, take))
        return;
    if (m_contentLength >= 0 && m_rcvdCount >= m_contentLength)
        documentComplete();
}

// Chunked transfer coding: size lines in hexadecimal, each chunk followed by CR LF,
// a chunk of size 0 and the trailer lines up to an empty one end the body.
void THttpCli::chunkedBytes(const char *data, qint64 n)
{
    const quint64 serial = m_serial;
    qint64 i = 0;
    while (i < n && serial == m_serial) {
        if (m_chunkState == Chunk::Data) {
            const qint64 take = std::min(m_chunkLeft, n - i);
            if (!writeBody(data + i, take))
                return;
            i += take;
            m_chunkLeft -= take;
            if (m_chunkLeft == 0)
                m_chunkState = Chunk::DataEnd;
            continue;
        }
        const char *nl = static_cast<const char *>(memchr(data + i, '\n', size_t(n - i)));
        const qint64 end = nl ? nl - data : n;
        m_chunkLine.append(data + i, end - i);
        i = nl ? end + 1 : n;
        if (!nl) {
            if (m_chunkLine.size() > RcvBufSize)
                fail(httperrLineTooLong, QStringLiteral("HTTP line too long"));
            return;
        }
        QByteArray line = m_chunkLine.trimmed();
        m_chunkLine.clear();
        switch (m_chunkState) {
        case Chunk::DataEnd:
            if (!line.isEmpty()) {
                fail(httperrProtocol, QStringLiteral("Malformed chunked body"));
                return;
            }
            m_chunkState = Chunk::Size;
            break;
        case Chunk::Size: {
            const int semi = line.indexOf(';');
            if (semi >= 0)
                line.truncate(semi);
            bool ok = false;
            m_chunkLeft = line.trimmed().toLongLong(&ok, 16);
            if (!ok || m_chunkLeft < 0) {
                fail(httperrProtocol, QStringLiteral("Malformed chunked body"));
                return;
            }
            m_chunkState = m_chunkLeft == 0 ? Chunk::Trailer : Chunk::Data;
            break;
        }
        case Chunk::Trailer:
            if (line.isEmpty()) {
                documentComplete();
                return;
            }
            break;
        case Chunk::Data:
            break;
        }
    }
}

void THttpCli::documentComplete()
{
    const quint64 serial = m_serial;
    m_docOpen = false;
    emit OnDocEnd();
    if (serial != m_serial)
        return;
    if (!keepAlive())
        m_socket->abort();
    complete();
}

bool THttpCli::keepAlive() const
{
    if (m_serverVersion == QLatin1String("1.0") || m_requestVer == QLatin1String("1.0") || m_serverVersion.isEmpty())
        return false;
    for (const QString &h : m_rcvdHeader) {
        if (h.startsWith(QLatin1String("connection:"), Qt::CaseInsensitive)
            && h.mid(11).trimmed().compare(QLatin1String("close"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

void THttpCli::relocate()
{
    if (m_relocations >= MaxRelocations) {
        fail(httperrTooManyRelocations,
             QStringLiteral("Too many relocations (more than %1)").arg(MaxRelocations));
        return;
    }
    ++m_relocations;
    const QString loc = m_location;
    Target nt = m_target;
    if (loc.startsWith(QLatin1Char('/'))) {
        nt.path = requestPath(loc);
    } else if (hasScheme(loc)) {
        QString why;
        if (!splitUrl(loc, nt, why)) {
            fail(httperrBadAddress, QStringLiteral("Invalid relocation address \"%1\"").arg(loc));
            return;
        }
    } else {
        QString dir = m_target.path;
        const int q = dir.indexOf(QLatin1Char('?'));
        if (q >= 0)
            dir.truncate(q);
        dir.truncate(dir.lastIndexOf(QLatin1Char('/')) + 1);
        nt.path = requestPath(dir + loc);
    }
    if (m_target.proto == QLatin1String("https") && nt.proto == QLatin1String("http")) {
        fail(httperrBadAddress, QStringLiteral("Relocation from https to http refused"));
        return;
    }
    if (!Proxy.isEmpty() && nt.proto == QLatin1String("https")) {
        fail(httperrBadAddress, QStringLiteral("https through a proxy is not supported"));
        return;
    }
    const bool sameServer = nt.proto == m_target.proto && nt.port == m_target.port
                            && nt.host.compare(m_target.host, Qt::CaseInsensitive) == 0;
    // The rest of the relocation reply's body must be read past before the same
    // connection can carry the next request; that needs its length.
    const qint64 bodyLeft = m_method == Method::Head || m_statusCode == 204 || m_statusCode == 304
                                ? 0
                                : m_contentLength;
    const bool reuse = sameServer && keepAlive() && bodyLeft >= 0 && Proxy.isEmpty();
    if (m_method == Method::Post)
        m_method = Method::Get;
    const QString proto = nt.proto;
    const QString newUrl = proto + QLatin1String("://")
                           + (nt.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + nt.host + QLatin1Char(']') : nt.host)
                           + QLatin1Char(':') + QString::number(nt.port) + nt.path;
    const quint64 serial = m_serial;
    emit OnLocationChange(newUrl);
    if (serial != m_serial || !busy())
        return;
    m_target = nt;
    clearResults();
    m_retried = false;
    if (reuse) {
        m_drainLeft = bodyLeft;
        m_state = State::Draining; // the caller hands over the bytes after the header
        if (bodyLeft == 0)
            sendRequest();
        return;
    }
    m_socket->abort();
    connectOrReuse();
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
