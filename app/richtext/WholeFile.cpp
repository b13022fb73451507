#include "WholeFile.h"

#include "Ansi.h"
#include "DocumentIO.h"

#include <QFile>

namespace WholeFile {

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadOnly);
}

QString ReadWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return Ansi::decode(f.readAll());
}

int WriteWholeFile(const QString &path, const QString &data, QString *description)
{
    const DocumentSaveResult r = DocumentIO::saveText(path, data);
    if (description)
        *description = r.errorDescription;
    return r.ok ? 0 : (r.errorNumber ? r.errorNumber : 75);
}

} // namespace WholeFile
