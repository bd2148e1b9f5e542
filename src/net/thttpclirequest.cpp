// THttpCli: the address of a request, its request lines, and where a relocation
// leads.
#include "net/thttpcli.h"

#include "net/twsocket.h"

#include <QIODevice>
#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUrl>

namespace {

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
