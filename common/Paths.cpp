#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

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

// Without a runtime folder: one folder per user in the shared temporary
// folder, so one user's lock never meets another's.
QString sharedTempRuntimeDir()
{
    return join(QDir::tempPath(), QStringLiteral("quenora-%1").arg(::geteuid()));
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

QString Paths::pluginDir()
{
    const QString exe = executableDir();
    const QString installed = join(exe, QStringLiteral(QUENORA_PLUGINDIR_FROM_BINDIR));
    if (QFileInfo(installed).isDir())
        return installed;
    return join(exe, QStringLiteral("../plugins"));
}

QString Paths::extensionHostProgram()
{
    const QString exe = executableDir();
    const QString name = QStringLiteral("quenora-extension-host");
    const QString candidates[] = {
        join(exe, QStringLiteral(QUENORA_PRIVLIBDIR_FROM_BINDIR) + QLatin1Char('/') + name),
        join(exe, name),
        join(exe, QStringLiteral("../") + name),
    };
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return candidate;
    }
    return QString();
}

QString Paths::speakProgram()
{
    const QString exe = executableDir();
    const QString name = QStringLiteral("quenora-speak");
    const QString candidates[] = {join(exe, name), join(exe, QStringLiteral("speech/") + name),
                                  join(exe, QStringLiteral("../speech/") + name)};
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return candidate;
    }
    return QString();
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
    return sharedTempRuntimeDir();
}

bool Paths::ensureRuntimeDir(QString *error)
{
    const QString dir = runtimeDir();
    if (dir != sharedTempRuntimeDir())
        return ensureDir(dir);
    const QByteArray name = QFile::encodeName(dir);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 kann nicht angelegt werden.").arg(dir);
        return false;
    }
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 gehört nicht Ihnen oder ist kein Ordner; er wird nicht benutzt.")
                         .arg(dir);
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0) {
        if (error)
            *error = QStringLiteral("Der Ordner %1 ist für andere lesbar und lässt sich nicht schützen.").arg(dir);
        return false;
    }
    return true;
}

bool Paths::ensureDir(const QString &dir)
{
    if (dir.isEmpty())
        return false;
    // Folders are made one by one from the first missing one, so each new
    // one gets mode 0700 and an existing one keeps its own.
    QStringList missing;
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    while (!QFileInfo(path).isDir()) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    for (const QString &folder : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return QFileInfo(dir).isDir();
}
