#include "DiskReserve.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/statvfs.h>

std::optional<DiskReserve::Space> DiskReserve::systemSpace(const QString &path)
{
    const QFileInfo info(path);
    const QString where = info.exists() ? info.absoluteFilePath() : info.absolutePath();
    struct statvfs s {};
    if (::statvfs(QFile::encodeName(where).constData(), &s) != 0)
        return std::nullopt;
    Space space;
    space.available = qint64(s.f_bavail) * qint64(s.f_frsize);
    space.total = qint64(s.f_blocks) * qint64(s.f_frsize);
    return space;
}

qint64 DiskReserve::reserveFor(qint64 totalBytes)
{
    return std::clamp(totalBytes / 20, MinimumBytes, MaximumBytes);
}

bool DiskReserve::allows(const Space &space, qint64 bytes)
{
    return space.available - std::max<qint64>(bytes, 0) >= reserveFor(space.total);
}
