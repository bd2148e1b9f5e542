#include "app/sessionbus.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QtGlobal>

namespace ballwick {
namespace {

const char busVariable[] = "DBUS_SESSION_BUS_ADDRESS";
// An address type libdbus does not know: it gives up without a try.
const char noBus[] = "disabled:";

} // namespace

bool QuietSessionBus::launchWouldFail(const QByteArray &address, const QByteArray &runtimeDir,
                                      const QByteArray &display, const QByteArray &path)
{
    if (!address.isEmpty() || display.isEmpty())
        return false; // a bus to use, or no launch at all
    if (!runtimeDir.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtimeDir + "/bus")))
        return false; // the session's own bus
    QStringList dirs{QStringLiteral("/usr/bin")};
    for (const QByteArray &dir : path.split(':')) {
        if (!dir.isEmpty())
            dirs << QString::fromLocal8Bit(dir);
    }
    return QStandardPaths::findExecutable(QStringLiteral("dbus-launch"), dirs).isEmpty();
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
