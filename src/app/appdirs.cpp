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

QString dataDir()
{
    if (!g_override.isEmpty())
        return withSlash(g_override);
    const QString prog = programDir();
    if (::access(QFile::encodeName(prog).constData(), W_OK) == 0)
        return prog;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.local/share";
    const QString dir = withSlash(base) + appname + '/';
    QDir().mkpath(dir);
    return dir;
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
