#include "net/httpreply.h"

#include <cstring>

namespace ballwick::http {

void ReplyHeaderParser::reset()
{
    *this = ReplyHeaderParser(m_limits);
}

bool ReplyHeaderParser::parseContentLength(const QByteArray &value, qint64 *out)
{
    const QByteArray v = value.trimmed();
    if (v.isEmpty() || v.size() > 18)
        return false;
    qint64 n = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    *out = n;
    return true;
}

QList<QByteArray> ReplyHeaderParser::takeNewLines()
{
    QList<QByteArray> lines;
    lines.swap(m_newLines);
    return lines;
}

ReplyHeaderParser::Status ReplyHeaderParser::fail(Failure f, const QString &text)
{
    m_failure = f;
    m_failureText = text;
    return Status::Failed;
}

ReplyHeaderParser::Status ReplyHeaderParser::feed(const char *data, qint64 n, qint64 *used)
{
    *used = 0;
    if (m_failure != Failure::None)
        return Status::Failed;
    if (m_done)
        return Status::Done;
    qint64 i = 0;
    while (i < n) {
        const char *nl = static_cast<const char *>(std::memchr(data + i, '\n', size_t(n - i)));
        const qint64 end = nl ? nl - data : n;
        m_line.append(data + i, end - i);
        m_bytes += end - i;
        if (m_first && m_line.size() >= 6 && qstrnicmp(m_line.constData(), "<HTML>", 6) == 0) {
            // A bare document without a header: this line and all after it are body.
            *used = end;
            m_header.bare = true;
            m_header.contentType = QStringLiteral("text/html");
            m_done = true;
            return Status::Done;
        }
        if (m_line.size() >= m_limits.maxLine) {
            *used = end;
            return fail(Failure::LineTooLong, QStringLiteral("HTTP line too long"));
        }
        if (m_bytes > m_limits.maxHeaderBytes) {
            *used = end;
            return fail(Failure::HeaderTooLarge,
                        QStringLiteral("HTTP header larger than %1 bytes").arg(m_limits.maxHeaderBytes));
        }
        if (!nl) {
            *used = n;
            return Status::NeedMore;
        }
        i = end + 1;
        ++m_bytes;
        *used = i;
        QByteArray text;
        text.swap(m_line);
        if (text.endsWith('\r'))
            text.chop(1);
        const Status s = line(text);
        if (s != Status::NeedMore)
            return s;
    }
    return Status::NeedMore;
}

ReplyHeaderParser::Status ReplyHeaderParser::line(const QByteArray &text)
{
    if (text.isEmpty()) {
        if (m_first)
            return Status::NeedMore; // blank lines before the status line are skipped
        const bool interim = m_header.statusCode >= 100 && m_header.statusCode < 200 && m_header.statusCode != 101
                             && m_header.serverVersion == QLatin1String("1.1");
        if (!interim) {
            if (m_header.chunked)
                m_header.contentLength = -1; // the chunks tell the length
            m_done = true;
            return Status::Done;
        }
        // An interim reply: its header is forgotten and the next one read.
        if (++m_interim > m_limits.maxInterimReplies)
            return fail(Failure::TooManyInterim,
                        QStringLiteral("More than %1 interim replies").arg(m_limits.maxInterimReplies));
        const QString location = m_header.location;
        m_header = ReplyHeader();
        m_header.location = location;
        m_first = true;
        return Status::NeedMore;
    }

    if (++m_lineCount > m_limits.maxHeaderLines)
        return fail(Failure::HeaderTooLarge,
                    QStringLiteral("HTTP header of more than %1 lines").arg(m_limits.maxHeaderLines));
    m_newLines.append(text);
    if (m_first) {
        m_first = false;
        if (text.startsWith("HTTP/1.0") || text.startsWith("HTTP/1.1")) {
            m_header.serverVersion = QString::fromLatin1(text.mid(5, 3));
            m_header.statusCode = text.mid(9, 3).toInt();
            m_header.reasonPhrase = QString::fromLatin1(text.mid(13));
            return Status::NeedMore;
        }
    }

    const QString line = QString::fromLatin1(text);
    m_header.lines.append(line);
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    const QString name = (colon < 0 ? line : line.left(colon)).trimmed().toLower();
    QString value;
    if (colon >= 0) {
        qsizetype i = colon + 1;
        while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
            ++i;
        value = line.mid(i);
    }
    if (name == QLatin1String("location")) {
        m_header.relocation = true;
        m_header.location = value.trimmed();
    } else if (name == QLatin1String("content-length")) {
        qint64 length = 0;
        if (!parseContentLength(value.toLatin1(), &length))
            return fail(Failure::BadContentLength, QStringLiteral("Invalid Content-Length \"%1\"").arg(value));
        if (m_header.contentLength >= 0 && m_header.contentLength != length)
            return fail(Failure::BadContentLength, QStringLiteral("Two different Content-Length values"));
        m_header.contentLength = length;
    } else if (name == QLatin1String("content-range")) {
        const qsizetype dash = value.indexOf(QLatin1Char('-'));
        const qsizetype slash = value.indexOf(QLatin1Char('/'));
        if (dash > 6)
            m_header.rangeBegin = value.mid(6, dash - 6).trimmed();
        if (dash >= 0 && slash > dash)
            m_header.rangeEnd = value.mid(dash + 1, slash - dash - 1).trimmed();
    } else if (name == QLatin1String("transfer-encoding")) {
        m_header.chunked = value.contains(QLatin1String("chunked"), Qt::CaseInsensitive);
    } else if (name == QLatin1String("accept-ranges")) {
        m_header.acceptRanges = value;
    } else if (name == QLatin1String("content-type")) {
        m_header.contentType = value.toLower();
    } else if (name == QLatin1String("www-authenticate")) {
        m_header.authOffers.append(value);
    } else if (name == QLatin1String("set-cookie")) {
        m_header.cookies.append(value);
    }
    return Status::NeedMore;
}

} // namespace ballwick::http
