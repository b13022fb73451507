#include "WholeFile.h"

#include "Ansi.h"
#include "DocumentIO.h"
#include "FileErrors.h"

#include <QFile>

#include <sys/stat.h>

namespace WholeFile {

bool FileExists(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    // Asked of the name, never by opening: opening a pipe waits for a writer.
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

QString NotAFileReason(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || path.contains(QChar(0)) || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return FileErrors::notRegularFile(st.st_mode);
}

QString ReadWholeFile(const QString &path)
{
    QByteArray bytes;
    if (!DocumentIO::readBytes(path, &bytes).ok)
        return QString();
    return Ansi::decode(bytes);
}

int WriteWholeFile(const QString &path, const QString &data, QString *description)
{
    const DocumentSaveResult r = DocumentIO::saveText(path, data);
    if (description)
        *description = r.errorDescription;
    return r.ok ? 0 : (r.errorNumber ? r.errorNumber : 75);
}

} // namespace WholeFile
