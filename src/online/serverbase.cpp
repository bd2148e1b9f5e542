#include "online/serverbase.h"

#include <ballwick_config.h>

#include <QUrl>

namespace ballwick {

ServerAddresses::ServerAddresses(QString base) : m_base(base.isEmpty() ? builtIn() : std::move(base))
{
    if (!m_base.endsWith(QLatin1Char('/')))
        m_base += QLatin1Char('/');
}

QString ServerAddresses::builtIn()
{
    return QStringLiteral(BALLWICK_SERVER_BASE);
}

QString ServerAddresses::scorePost(const QString &name, const QString &date, const QString &score) const
{
    // Keys in this order: name, date, score. Each value is percent-encoded (UTF-8),
    // so a name holding "&", "=", "#", "?" or a blank arrives as typed; the date
    // keeps its separators readable.
    const QString app = QStringLiteral(BALLWICK_APPNAME);
    return m_base + QStringLiteral("cgi-bin/") + app + QStringLiteral(".cgi?name=")
        + QString::fromLatin1(QUrl::toPercentEncoding(name)) + QStringLiteral("&date=")
        + QString::fromLatin1(QUrl::toPercentEncoding(date, "/.-")) + QStringLiteral("&score=")
        + QString::fromLatin1(QUrl::toPercentEncoding(score));
}

QString ServerAddresses::scoreList() const
{
    return m_base + QStringLiteral("counter/") + QStringLiteral(BALLWICK_APPNAME) + QStringLiteral(".shtml");
}

QString ServerAddresses::version() const
{
    const QString app = QStringLiteral(BALLWICK_APPNAME);
    return m_base + app + QLatin1Char('/') + app + QStringLiteral("version.txt");
}

QString ServerAddresses::installer() const
{
    return m_base + QStringLiteral(BALLWICK_APPNAME) + QStringLiteral("/moxsetup.exe");
}

} // namespace ballwick
