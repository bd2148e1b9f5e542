#include "app/sessionbus.h"

#include <QFileInfo>
#include <QList>
#include <QtGlobal>

namespace ballwick {
namespace {

const char busVariable[] = "DBUS_SESSION_BUS_ADDRESS";
// An address type libdbus does not know: it gives up without a try.
const char noBus[] = "disabled:";

bool executable(const QString &file)
{
    const QFileInfo info(file);
    return info.isFile() && info.isExecutable();
}

} // namespace

bool QuietSessionBus::launchWouldFail(const QByteArray &address, const QByteArray &runtimeDir,
                                      const QByteArray &display, const QByteArray &path)
{
    if (!address.isEmpty() || display.isEmpty())
        return false; // a bus to use, or no launch at all
    if (!runtimeDir.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtimeDir + "/bus")))
        return false; // the session's own bus
    if (executable(QStringLiteral("/usr/bin/dbus-launch")))
        return false;
    for (const QByteArray &dir : path.split(':')) {
        if (!dir.isEmpty() && executable(QString::fromLocal8Bit(dir + "/dbus-launch")))
            return false;
    }
    return true;
}

QuietSessionBus::QuietSessionBus()
{
    if (!launchWouldFail(qgetenv(busVariable), qgetenv("XDG_RUNTIME_DIR"), qgetenv("DISPLAY"), qgetenv("PATH")))
        return;
    m_active = qputenv(busVariable, noBus);
}

QuietSessionBus::~QuietSessionBus()
{
    release();
}

void QuietSessionBus::release()
{
    if (!m_active)
        return;
    m_active = false;
    qunsetenv(busVariable);
}

} // namespace ballwick
