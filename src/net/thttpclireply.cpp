// THttpCli: reading the reply, its header and its body (as it comes or in chunks),
// into the receive stream.
#include "net/thttpcli.h"

#include "net/twsocket.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

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
