#include "DocumentIO.h"

#include "PlainText.h"
#include "RichTextMessages.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace {

QByteArrayView withoutUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

int openErrorNumber(const QString &path, QFileDevice::FileError error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? RichTextMessages::kFileNotFound
                                                      : RichTextMessages::kPathNotFound;
    if (!info.isFile())
        return RichTextMessages::kPathFileAccessError;
    if (error == QFileDevice::PermissionsError)
        return RichTextMessages::kPermissionDenied;
    return RichTextMessages::kPathFileAccessError;
}

int saveOpenErrorNumber(const QString &path, QFileDevice::FileError error)
{
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return RichTextMessages::kPathNotFound;
    if (info.isDir())
        return RichTextMessages::kPathFileAccessError;
    if (error == QFileDevice::PermissionsError)
        return RichTextMessages::kPermissionDenied;
    return RichTextMessages::kPathFileAccessError;
}

DocumentLoadResult loadFailure(int number)
{
    DocumentLoadResult r;
    r.errorNumber = number;
    r.errorDescription = RichTextMessages::description(number);
    return r;
}

DocumentSaveResult saveFailure(int number)
{
    DocumentSaveResult r;
    r.errorNumber = number;
    r.errorDescription = RichTextMessages::description(number);
    return r;
}

// Reads a whole regular file; devices and pipes are refused, since reading
// them may never end.
DocumentLoadResult readFile(const QString &path, QByteArray *bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return loadFailure(RichTextMessages::kPathFileAccessError);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return loadFailure(openErrorNumber(path, file.error()));
    if (file.size() > DocumentIO::kMaxFileSize)
        return loadFailure(RichTextMessages::kOutOfMemory);
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return loadFailure(RichTextMessages::kDeviceIoError);
    DocumentLoadResult ok;
    ok.ok = true;
    return ok;
}

DocumentSaveResult writeFile(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return saveFailure(RichTextMessages::kPathFileAccessError);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return saveFailure(saveOpenErrorNumber(path, file.error()));
    if (file.write(bytes) != bytes.size()) {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return saveFailure(error == QFileDevice::ResourceError ? RichTextMessages::kDiskFull
                                                               : RichTextMessages::kDeviceIoError);
    }
    if (!file.commit()) {
        return saveFailure(file.error() == QFileDevice::ResourceError ? RichTextMessages::kDiskFull
                                                                      : RichTextMessages::kPathFileAccessError);
    }
    DocumentSaveResult ok;
    ok.ok = true;
    return ok;
}

} // namespace

DocumentFormat DocumentIO::detectFormat(QByteArrayView bytes)
{
    return withoutUtf8Bom(bytes).startsWith("{\\rtf") ? DocumentFormat::RichText : DocumentFormat::PlainText;
}

DocumentLoadResult DocumentIO::loadBytes(QByteArrayView bytes, QTextDocument *doc)
{
    DocumentLoadResult result;
    result.ok = true;
    result.format = detectFormat(bytes);
    if (result.format == DocumentFormat::RichText) {
        result.damaged = RtfReader::read(withoutUtf8Bom(bytes), doc).damaged;
        return result;
    }
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(PlainText::decode(bytes));
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    return result;
}

DocumentLoadResult DocumentIO::loadFile(const QString &path, QTextDocument *doc)
{
    QByteArray bytes;
    const DocumentLoadResult read = readFile(path, &bytes);
    if (!read.ok)
        return read;
    return loadBytes(bytes, doc);
}

DocumentText DocumentIO::readText(const QString &path)
{
    DocumentText out;
    QTextDocument doc;
    const DocumentLoadResult r = loadFile(path, &doc);
    out.ok = r.ok;
    out.format = r.format;
    out.errorNumber = r.errorNumber;
    if (r.ok)
        out.text = doc.toPlainText();
    else
        out.errorMessage = RichTextMessages::loadFailed(path, r.errorDescription);
    return out;
}

DocumentFormat DocumentIO::formatForSaving(const QString &path)
{
    return path.endsWith(QLatin1String(".txt"), Qt::CaseSensitive) ? DocumentFormat::PlainText
                                                                  : DocumentFormat::RichText;
}

QByteArray DocumentIO::toBytes(const QTextDocument &doc, DocumentFormat format)
{
    if (format == DocumentFormat::RichText)
        return RtfWriter::write(doc);
    return PlainText::encode(doc.toPlainText());
}

DocumentSaveResult DocumentIO::saveFile(const QString &path, const QTextDocument &doc, DocumentFormat format)
{
    return writeFile(path, toBytes(doc, format));
}

DocumentSaveResult DocumentIO::saveText(const QString &path, const QString &text)
{
    return writeFile(path, PlainText::encode(text));
}
