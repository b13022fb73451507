#include "DocumentIO.h"

#include "DocumentImporter.h"
#include "DocumentResources.h"
#include "LongLines.h"
#include "PlainText.h"
#include "RichTextMessages.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include "ReplacingFile.h"

#include <QTextDocument>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArrayView withoutUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

DocumentLoadResult loadFailure(int number)
{
    DocumentLoadResult r;
    r.errorNumber = number;
    r.errorDescription = RichTextMessages::description(number);
    return r;
}

DocumentLoadResult openFailure(const QString &path, int error)
{
    if (error == ENOENT) {
        const QFileInfo info(path);
        return loadFailure(QFileInfo(info.absolutePath()).isDir() ? RichTextMessages::kFileNotFound
                                                                  : RichTextMessages::kPathNotFound);
    }
    return loadFailure(FileErrors::numberForErrno(error, RichTextMessages::kPathFileAccessError));
}

// Reads a whole regular file. The file is opened without waiting and its
// kind is asked of what was opened: a folder, a device or a pipe is refused
// with what it is, never read, since reading it may never end.
DocumentLoadResult readFile(const QString &path, QByteArray *bytes)
{
    if (path.contains(QChar(0))) {
        DocumentLoadResult refused = loadFailure(RichTextMessages::kPathFileAccessError);
        refused.errorDescription = FileErrors::pathWithNul();
        return refused;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return openFailure(path, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const mode_t mode = st.st_mode;
        ::close(fd);
        DocumentLoadResult refused = loadFailure(RichTextMessages::kPathFileAccessError);
        if (mode != 0)
            refused.errorDescription = FileErrors::notRegularFile(mode);
        return refused;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return loadFailure(RichTextMessages::kPathFileAccessError);
    }
    if (file.size() > DocumentIO::kMaxFileSize) {
        // Error 7 as always, but with the cause the user can act on.
        DocumentLoadResult tooLarge = loadFailure(RichTextMessages::kOutOfMemory);
        tooLarge.errorDescription = RichTextMessages::tooLarge(DocumentIO::kMaxFileSize / (1024 * 1024));
        return tooLarge;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return loadFailure(RichTextMessages::kDeviceIoError);
    DocumentLoadResult ok;
    ok.ok = true;
    return ok;
}

// Written beside the old file and put in its place only when complete, so
// a failed save leaves the old file as it was.
DocumentSaveResult writeFile(const QString &path, const QByteArray &bytes)
{
    ReplacingFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit()) {
        DocumentSaveResult failed;
        failed.errorNumber = file.errorNumber();
        failed.errorDescription = file.errorDescription();
        return failed;
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

namespace {

DocumentFormat documentFormat(ImportFormat f)
{
    switch (f) {
    case ImportFormat::Pdf: return DocumentFormat::Pdf;
    case ImportFormat::Epub: return DocumentFormat::Epub;
    case ImportFormat::OpenDocumentText: return DocumentFormat::OpenDocumentText;
    case ImportFormat::WordDocument: return DocumentFormat::WordDocument;
    case ImportFormat::Html: return DocumentFormat::Html;
    case ImportFormat::Markdown: return DocumentFormat::Markdown;
    case ImportFormat::None: break;
    }
    return DocumentFormat::PlainText;
}

ImportFormat importFormat(DocumentFormat f)
{
    switch (f) {
    case DocumentFormat::Pdf: return ImportFormat::Pdf;
    case DocumentFormat::Epub: return ImportFormat::Epub;
    case DocumentFormat::OpenDocumentText: return ImportFormat::OpenDocumentText;
    case DocumentFormat::WordDocument: return ImportFormat::WordDocument;
    case DocumentFormat::Html: return ImportFormat::Html;
    case DocumentFormat::Markdown: return ImportFormat::Markdown;
    case DocumentFormat::PlainText:
    case DocumentFormat::RichText: break;
    }
    return ImportFormat::None;
}

} // namespace

DocumentFormat DocumentIO::detectFormat(QByteArrayView bytes, const QString &fileName)
{
    const ImportFormat imported = DocumentImporter::detect(bytes, fileName);
    return imported == ImportFormat::None ? detectFormat(bytes) : documentFormat(imported);
}

PreparedDocument DocumentIO::prepareBytes(const QByteArray &bytes, const QString &fileName,
                                          const ImportControl &control)
{
    PreparedDocument prepared;
    prepared.result.ok = true;
    prepared.result.format = detectFormat(bytes, fileName);
    if (!prepared.result.imported()) {
        prepared.bytes = bytes;
        return prepared;
    }
    ImportResult imported = DocumentImporter::read(importFormat(prepared.result.format), bytes, control);
    prepared.result.importStatus = imported.status;
    if (imported.status != ImportStatus::Ok) {
        prepared.result.ok = false;
        prepared.result.message = imported.status == ImportStatus::Failed ? imported.message : QString();
        prepared.result.errorDescription = prepared.result.message;
        return prepared;
    }
    prepared.imported = std::move(imported.document);
    return prepared;
}

DocumentLoadResult DocumentIO::readBytes(const QString &path, QByteArray *bytes)
{
    return readFile(path, bytes);
}

PreparedDocument DocumentIO::prepareFile(const QString &path, const ImportControl &control)
{
    QByteArray bytes;
    const DocumentLoadResult read = readFile(path, &bytes);
    if (!read.ok) {
        PreparedDocument prepared;
        prepared.result = read;
        return prepared;
    }
    PreparedDocument prepared = prepareBytes(bytes, path, control);
    // An HTML or Markdown file's pictures may come from its own folder.
    if (prepared.imported.markup != ImportedDocument::Markup::None)
        prepared.imported.folder = QFileInfo(path).absolutePath();
    return prepared;
}

DocumentLoadResult DocumentIO::applyPrepared(const PreparedDocument &prepared, QTextDocument *doc)
{
    DocumentLoadResult result = prepared.result;
    if (!result.ok)
        return result;
    if (result.imported()) {
        prepared.imported.buildInto(doc);
        return result;
    }
    // Pictures pasted later have no folder of a document loaded before.
    doc->setMetaInformation(QTextDocument::DocumentUrl, QString());
    if (result.format == DocumentFormat::RichText) {
        result.damaged = RtfReader::read(withoutUtf8Bom(prepared.bytes), doc).damaged;
        return result;
    }
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    LongLines::setPlainText(doc, PlainText::decode(prepared.bytes));
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    return result;
}

DocumentLoadResult DocumentIO::loadBytes(QByteArrayView bytes, QTextDocument *doc, const QString &fileName)
{
    return applyPrepared(prepareBytes(bytes.toByteArray(), fileName), doc);
}

DocumentLoadResult DocumentIO::loadFile(const QString &path, QTextDocument *doc, const ImportControl &control)
{
    return applyPrepared(prepareFile(path, control), doc);
}

QStringList DocumentIO::readableSuffixes()
{
    return QStringList{QStringLiteral("txt"), QStringLiteral("rtf")} + DocumentImporter::fileSuffixes();
}

DocumentText DocumentIO::readText(const QString &path)
{
    DocumentText out;
    GuardedTextDocument doc;
    const DocumentLoadResult r = loadFile(path, &doc);
    out.ok = r.ok;
    out.format = r.format;
    out.errorNumber = r.errorNumber;
    if (r.ok) {
        out.text = doc.toPlainText();
    } else {
        QString why = r.errorDescription;
        if (r.importStatus == ImportStatus::NeedsPassword || r.importStatus == ImportStatus::WrongPassword)
            why = RichTextMessages::passwordProtected();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        out.errorMessage = RichTextMessages::loadFailed(path, why);
    }
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
    return PlainText::encode(LongLines::fileText(doc));
}

DocumentSaveResult DocumentIO::saveFile(const QString &path, const QTextDocument &doc, DocumentFormat format)
{
    return writeFile(path, toBytes(doc, format));
}

DocumentSaveResult DocumentIO::saveText(const QString &path, const QString &text)
{
    return writeFile(path, PlainText::encode(text));
}
