#pragma once
#include <QString>

namespace ballwick {

// A named system-wide object marking that a copy of the program runs (a POSIX
// named semaphore, "/" + name). It is created if missing and kept open until the
// object is destroyed; nobody waits on it and a second copy runs like the first.
class InstanceMutex
{
public:
    explicit InstanceMutex(const QString &name);
    ~InstanceMutex();
    InstanceMutex(const InstanceMutex &) = delete;
    InstanceMutex &operator=(const InstanceMutex &) = delete;

    // Whether the object could be created or opened (never acted on by the program).
    bool isopen() const { return m_handle != nullptr; }
    // The system name, e.g. "/ballwick".
    QString systemname() const { return m_name; }

private:
    QString m_name;
    void *m_handle = nullptr;
};

} // namespace ballwick
