#pragma once
// SingleInstance: tells whether another Quenora is already running for this
// user (or this QUENORA_HOME), through a lock file in the runtime folder.
// The lock is held for the life of the object; a lock left behind by a
// crashed run is taken over, because its process no longer exists.

#include <QLockFile>
#include <QString>

#include <memory>

class SingleInstance
{
public:
    // name: the lock's name, e.g. "quenora"; the file is
    // Paths::runtimeDir()/<name>.lock.
    explicit SingleInstance(const QString &name);
    ~SingleInstance();

    // True when this process holds the lock, false when another one does.
    bool isFirst() const { return m_first; }
    QString lockFileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};
