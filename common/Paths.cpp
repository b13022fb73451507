#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString envPath(const char *name)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? QString() : QDir::cleanPath(v);
}

QString join(const QString &dir, const QString &name)
{
    return QDir::cleanPath(dir + QLatin1Char('/') + name);
}

} // namespace

QString Paths::home()
{
    return envPath("QUENORA_HOME");
}

QString Paths::executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (a tool's early start) ask the kernel.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return self.exists() ? QFileInfo(self.symLinkTarget()).absolutePath() : QDir::currentPath();
}

QString Paths::dataDir()
{
    const QString overridden = envPath("QUENORA_DATA_DIR");
    if (!overridden.isEmpty())
        return overridden;
    const QString exe = executableDir();
    const QString installed = join(exe, QStringLiteral("../share/quenora"));
    if (QFileInfo(installed).isDir())
        return installed;
    return exe;
}

QString Paths::userDataDir()
{
    const QString h = home();
    if (!h.isEmpty())
        return h;
    return join(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                QStringLiteral("quenora"));
}

QString Paths::scriptsDir()
{
    return join(userDataDir(), QStringLiteral("scripts"));
}

QString Paths::tempDir()
{
    const QString h = home();
    if (!h.isEmpty())
        return join(h, QStringLiteral("temp"));
    return join(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation),
                QStringLiteral("quenora/temp"));
}

QString Paths::errorPageFile()
{
    return join(userDataDir(), QStringLiteral("hypertext/err2.html"));
}

QString Paths::registryFile()
{
    const QString h = home();
    if (!h.isEmpty())
        return join(h, QStringLiteral("registry.db"));
    return join(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                QStringLiteral("quenora/registry.db"));
}

QString Paths::freedesktopDataDir()
{
    const QString h = home();
    if (!h.isEmpty())
        return join(h, QStringLiteral("share"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString Paths::runtimeDir()
{
    const QString h = home();
    if (!h.isEmpty())
        return h;
    const QString runtime = envPath("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

bool Paths::ensureDir(const QString &dir)
{
    return !dir.isEmpty() && QDir().mkpath(dir);
}
