#pragma once
// SingleInstance: tells whether another Quenora is already running for this
// user (or this QUENORA_HOME), through a lock file in the runtime folder.
//
// The lock is an advisory lock (flock) on the file, held by the running
// process for the life of the object; the kernel lets it go when the process
// ends, however it ends. So a file that no process holds never blocks a
// start, whatever it contains (empty, garbage, left by a crash or planted by
// someone else). Without a runtime folder the file lives in a private folder
// of this user in the system's temporary folder.

#include <QString>

class SingleInstance
{
public:
    // name: the lock's name, e.g. "quenora"; the file is
    // Paths::runtimeDir()/<name>.lock.
    explicit SingleInstance(const QString &name);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True unless another process holds the lock. A lock that cannot be
    // taken at all (read-only or foreign folder) never keeps the program
    // from starting; errorString() then says why.
    bool isFirst() const { return m_first; }
    QString lockFileName() const { return m_fileName; }
    QString errorString() const { return m_error; }

private:
    QString m_fileName;
    QString m_error;
    int m_fd = -1;
    bool m_first = false;
};
