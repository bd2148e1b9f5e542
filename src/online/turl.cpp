#include "online/turl.h"

#include <QDesktopServices>

bool ballwick::DesktopLinks::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

TURL::TURL(ballwick::LinkOpener &links, QObject *parent) : QObject(parent), m_links(links)
{
}

void TURL::setURL(const QString &url)
{
    if (url != m_url)
        m_url = url;
}

void TURL::setURLType(TURLType type)
{
    if (type != m_type)
        m_type = type;
}

QString TURL::prefix(TURLType type)
{
    switch (type) {
    case utFile: return QStringLiteral("file://");
    case utFtp: return QStringLiteral("ftp://");
    case utGopher: return QStringLiteral("gopher://");
    case utHttp: return QStringLiteral("http://");
    case utHttps: return QStringLiteral("https://");
    case utMailto: return QStringLiteral("mailto:");
    case utNews: return QStringLiteral("news:");
    case utTelnet: return QStringLiteral("telnet:");
    case utWais: return QStringLiteral("wais:");
    case utnone: break;
    }
    return QString();
}

QString TURL::address() const
{
    return prefix(m_type) + m_url;
}

bool TURL::OpenURL()
{
    if (m_url.isEmpty())
        return false;
    // Tolerant parsing keeps what the page or the caller wrote; a link with a
    // stray blank or bracket still opens.
    const QUrl url(address(), QUrl::TolerantMode);
    if (!url.isValid())
        return false;
    return m_links.open(url);
}
