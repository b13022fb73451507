#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool QtShell::openUrl(const QString &url)
{
    if (url.isEmpty())
        return false;
    // A plain path is a local file; everything else is taken as an address.
    const QUrl u = QFileInfo(url).isAbsolute() && !url.contains(QLatin1String("://"))
        ? QUrl::fromLocalFile(url)
        : QUrl(url, QUrl::TolerantMode);
    return u.isValid() && QDesktopServices::openUrl(u);
}

bool QtShell::startProgram(const QString &program, const QStringList &arguments, const QString &workingFolder)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments, workingFolder);
}

bool QtShell::showFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(folder).absolutePath()));
}
