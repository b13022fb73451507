#include "SingleInstance.h"

#include "Paths.h"

SingleInstance::SingleInstance(const QString &name)
{
    const QString dir = Paths::runtimeDir();
    Paths::ensureDir(dir);
    m_fileName = dir + QLatin1Char('/') + name + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_fileName);
    // Never stale by age: a running Quenora may hold its lock for weeks.
    // tryLock still takes over a lock whose process has gone.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
    // A lock file that cannot be written at all (read-only runtime folder)
    // must not keep the program from starting.
    if (!m_first && m_lock->error() != QLockFile::LockFailedError)
        m_first = true;
}

SingleInstance::~SingleInstance()
{
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}
