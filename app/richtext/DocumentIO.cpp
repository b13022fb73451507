#include "DocumentIO.h"

#include "DocumentImporter.h"
#include "DocumentResources.h"
#include "LongLines.h"
#include "PlainText.h"
#include "RichTextMessages.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "WholeFile.h"

#include <QFileInfo>
#include <QTextDocument>

namespace {

QByteArrayView withoutUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

// A whole-file read or write told as a load or save result.
template <typename Result>
Result documentResult(const WholeFile::Result &done)
{
    Result r;
    r.ok = done.ok;
    r.errorNumber = done.errorNumber;
    r.errorDescription = done.errorDescription;
    return r;
}

DocumentLoadResult readFile(const QString &path, QByteArray *bytes)
{
    return documentResult<DocumentLoadResult>(WholeFile::readBytes(path, bytes));
}

DocumentSaveResult writeFile(const QString &path, const QByteArray &bytes)
{
    return documentResult<DocumentSaveResult>(WholeFile::writeBytes(path, bytes));
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
    const ImportedDocument &doc = prepared.imported;
    prepared.metadata = DocumentMetadata::cleaned(doc.title, doc.author, doc.date, doc.cover);
    prepared.imported.cover.clear(); // kept once, in the metadata
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
        prepared.metadata.store(doc);
        return result;
    }
    // Pictures pasted later have no folder of a document loaded before.
    doc->setMetaInformation(QTextDocument::DocumentUrl, QString());
    if (result.format == DocumentFormat::RichText) {
        const RtfReader::Result read = RtfReader::read(withoutUtf8Bom(prepared.bytes), doc);
        result.damaged = read.damaged;
        const QString year = read.year > 0 ? QString::number(read.year) : QString();
        DocumentMetadata::cleaned(read.title, read.author, year, {}).store(doc);
        return result;
    }
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    LongLines::setPlainText(doc, PlainText::decode(prepared.bytes));
    DocumentMetadata().store(doc);
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
