#include "online/serverbase.h"

#include "app/appdirs.h"
#include <ballwick_config.h>

#include <QUrl>

namespace ballwick {

namespace {
QString &override()
{
    static QString base;
    return base;
}

QString withSlash(QString base)
{
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}
} // namespace

QString serverBase()
{
    return withSlash(override().isEmpty() ? QStringLiteral(BALLWICK_SERVER_BASE) : override());
}

void setServerBaseOverride(const QString &base)
{
    override() = base;
}

QString scorePostAddress(const QString &name, const QString &date, const QString &score)
{
    // Keys in this order: name, date, score. Each value is percent-encoded (UTF-8),
    // so a name holding "&", "=", "#", "?" or a blank arrives as typed; the date
    // keeps its separators readable.
    const QString app = QString::fromLatin1(appname);
    return serverBase() + QStringLiteral("cgi-bin/") + app + QStringLiteral(".cgi?name=")
        + QString::fromLatin1(QUrl::toPercentEncoding(name)) + QStringLiteral("&date=")
        + QString::fromLatin1(QUrl::toPercentEncoding(date, "/.-")) + QStringLiteral("&score=")
        + QString::fromLatin1(QUrl::toPercentEncoding(score));
}

QString scoreListAddress()
{
    return serverBase() + QStringLiteral("counter/") + QString::fromLatin1(appname) + QStringLiteral(".shtml");
}

QString versionAddress()
{
    const QString app = QString::fromLatin1(appname);
    return serverBase() + app + QLatin1Char('/') + app + QStringLiteral("version.txt");
}

QString installerAddress()
{
    return serverBase() + QString::fromLatin1(appname) + QStringLiteral("/moxsetup.exe");
}

} // namespace ballwick
