#include "app/instancemutex.h"

#include <fcntl.h>
#include <semaphore.h>

namespace ballwick {

InstanceMutex::InstanceMutex(const QString &name) : m_name(QLatin1Char('/') + name)
{
    // Not initially owned: the count starts at 1 and is never taken.
    sem_t *sem = sem_open(m_name.toLocal8Bit().constData(), O_CREAT, 0600, 1u);
    if (sem != SEM_FAILED)
        m_handle = sem;
}

InstanceMutex::~InstanceMutex()
{
    // The name stays in the system while any copy runs; closing our handle is all
    // that ending a copy does, like a handle closed at process end.
    if (m_handle)
        sem_close(static_cast<sem_t *>(m_handle));
}

} // namespace ballwick
