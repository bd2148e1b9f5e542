#pragma once
#include <QByteArray>

namespace ballwick {

// Without a session bus address, the first look for the desktop's message bus
// (the menu bar asks whether the desktop shows menus itself, the accessibility
// bridge looks for its bus) makes libdbus start "dbus-launch --autolaunch" and
// wait for it: a fork of the whole program on the main thread while the window
// is being built. Where no dbus-launch is installed that launch can only fail,
// so for the start-up the program says at once that there is no bus. Nothing
// changes where a bus can be found or started.
class QuietSessionBus
{
public:
    // Say there is no bus if the launch could only fail. Call it before the
    // application object is created.
    QuietSessionBus();
    // Puts the environment back as it was, for the processes started later.
    ~QuietSessionBus();
    void release();
    bool active() const { return m_active; }

    // Whether libdbus would launch a session bus and that launch must fail:
    // no address given, no bus socket in the runtime folder, an X display to
    // launch it for, and no dbus-launch in /usr/bin or on the search path.
    static bool launchWouldFail(const QByteArray &address, const QByteArray &runtimeDir, const QByteArray &display,
                                const QByteArray &path);

private:
    bool m_active = false;
};

} // namespace ballwick
