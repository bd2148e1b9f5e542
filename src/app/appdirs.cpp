#include "app/appdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace ballwick {
namespace {
QString g_override;

QString withSlash(QString d)
{
    if (!d.endsWith('/'))
        d += '/';
    return d;
}
} // namespace

QString programDir()
{
    return withSlash(QCoreApplication::applicationDirPath());
}

QString dataDirFor(const QString &programDirectory)
{
    const QString prog = withSlash(programDirectory);
    if (::access(QFile::encodeName(prog).constData(), W_OK) == 0)
        return prog;
    // $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + "/.local/share";
    const QString dir = withSlash(base) + appname + '/';
    // When even this cannot be made, the files' writes fail and say where.
    QDir().mkpath(dir);
    return dir;
}

QString dataDir()
{
    if (!g_override.isEmpty())
        return withSlash(g_override);
    return dataDirFor(programDir());
}

QString dataFile(const QString &name)
{
    return dataDir() + name;
}

void setDataDirOverride(const QString &dir)
{
    g_override = dir;
}

} // namespace ballwick
