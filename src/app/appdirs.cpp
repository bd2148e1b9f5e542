#include "app/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#include <ballwick_config.h>

#ifndef BALLWICK_INSTALL_BINDIR
#define BALLWICK_INSTALL_BINDIR ""
#endif

namespace ballwick {
namespace {
QString withSlash(QString d)
{
    if (!d.endsWith('/'))
        d += '/';
    return d;
}

// An XDG base folder, or its default under the home folder when the variable is
// unset or not absolute (such a value is to be ignored).
QString xdgBase(QStandardPaths::StandardLocation location, const char *fallback)
{
    QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QLatin1Char('/') + QLatin1String(fallback);
    return withSlash(base);
}

// Moves an older file into its new place, unless the new place already has one:
// after the first move there is nothing left to move. A move that fails leaves
// the older file where it is.
void moveOnce(const QString &from, const QString &to)
{
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath())
        return;
    if (QFileInfo::exists(from) && !QFileInfo::exists(to))
        QFile::rename(from, to);
}
} // namespace

QString programDir()
{
    return withSlash(QCoreApplication::applicationDirPath());
}

bool isInstalledBinDir(const QString &programDirectory, const QString &installBinDir)
{
    const QString here = QFileInfo(programDirectory).canonicalFilePath();
    if (here.isEmpty())
        return false;
    if (!installBinDir.isEmpty() && here == QFileInfo(installBinDir).canonicalFilePath())
        return true;
    return QFileInfo(here).fileName() == QLatin1String("bin")
        && QFileInfo::exists(here + QStringLiteral("/../share/applications/" BALLWICK_APP_ID ".desktop"));
}

FilePlaces filePlacesFor(const QString &programDirectory, const QString &installBinDir)
{
    const QString prog = withSlash(programDirectory);
    if (::access(QFile::encodeName(prog).constData(), W_OK) == 0 && !isInstalledBinDir(prog, installBinDir))
        return {prog, prog, true};

    const QString name = QString::fromLatin1(appname);
    FilePlaces places;
    places.config = xdgBase(QStandardPaths::GenericConfigLocation, ".config") + name + QLatin1Char('/');
    places.data = xdgBase(QStandardPaths::GenericDataLocation, ".local/share") + name + QLatin1Char('/');
    // When even these cannot be made, the files' writes fail and say where.
    QDir().mkpath(places.config);
    QDir().mkpath(places.data);

    // Earlier versions kept both files in the data folder, and before
    // $XDG_DATA_HOME was followed, in ~/.local/share/ballwick/.
    const QString ini = name + QStringLiteral(".ini");
    const QString tally = name + QStringLiteral("tally.tld");
    const QString older = QDir::homePath() + QStringLiteral("/.local/share/") + name + QLatin1Char('/');
    moveOnce(places.data + ini, places.config + ini);
    moveOnce(older + ini, places.config + ini);
    moveOnce(older + tally, places.data + tally);
    return places;
}

const FilePlaces &runningPlaces()
{
    static const FilePlaces places = filePlacesFor(programDir(), QStringLiteral(BALLWICK_INSTALL_BINDIR));
    return places;
}

} // namespace ballwick
