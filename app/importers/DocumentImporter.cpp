#include "DocumentImporter.h"

#include "DocxReader.h"
#include "EpubReader.h"
#include "HtmlHead.h"
#include "MarkdownReader.h"
#include "ImportMessages.h"
#include "OdtReader.h"
#include "PdfReader.h"
#include "PdfTextAssembler.h"
#include "ZipArchive.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QByteArrayView trimmedStart(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && i < 4096 && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i);
}

bool startsWithNoCase(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size()
           && QByteArrayView(bytes.first(prefix.size())).compare(prefix, Qt::CaseInsensitive) == 0;
}

QString suffixOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return dot > slash ? fileName.mid(dot + 1).toLower() : QString();
}

// A ZIP archive: which document it holds, by its parts. The first entry
// "mimetype" names EPUB and OpenDocument files; Word documents have their
// content types part and a main part under word/.
ImportFormat archiveFormat(QByteArrayView bytes, const QString &suffix)
{
    ZipArchive zip;
    if (!zip.open(bytes.toByteArray())) {
        // A damaged, truncated or hostile archive still goes to its reader,
        // which says what is wrong, rather than opening as bytes. Its kind
        // shows in the stored "mimetype" entry at the start of a well-made
        // file, in the first part names, or in the file name.
        const QByteArrayView head = bytes.first(qMin<qsizetype>(bytes.size(), 4096));
        if (head.indexOf("mimetypeapplication/epub+zip") >= 0 || suffix == QLatin1String("epub"))
            return ImportFormat::Epub;
        if (head.indexOf("mimetypeapplication/vnd.oasis.opendocument.text") >= 0 || suffix == QLatin1String("odt"))
            return ImportFormat::OpenDocumentText;
        if (head.indexOf("[Content_Types].xml") >= 0 || head.indexOf("word/") >= 0 || suffix == QLatin1String("docx"))
            return ImportFormat::WordDocument;
        return ImportFormat::None;
    }
    if (zip.contains(QStringLiteral("mimetype"))) {
        QByteArray type;
        if (zip.read(QStringLiteral("mimetype"), &type)) {
            type = type.trimmed();
            if (type == "application/epub+zip")
                return ImportFormat::Epub;
            if (type == "application/vnd.oasis.opendocument.text"
                || type == "application/vnd.oasis.opendocument.text-template")
                return ImportFormat::OpenDocumentText;
        }
    }
    if (zip.contains(QStringLiteral("[Content_Types].xml")) && zip.contains(QStringLiteral("word/document.xml")))
        return ImportFormat::WordDocument;
    // A Word package that lost its main part still goes to its reader, which
    // says so, rather than opening as the archive's bytes.
    if (zip.contains(QStringLiteral("[Content_Types].xml"))
        && (suffix == QLatin1String("docx")
            || !zip.entryNames().filter(QRegularExpression(QStringLiteral("^word/"))).isEmpty()))
        return ImportFormat::WordDocument;
    if (zip.contains(QStringLiteral("META-INF/container.xml")))
        return ImportFormat::Epub;
    if (zip.contains(QStringLiteral("content.xml")))
        return ImportFormat::OpenDocumentText;
    return ImportFormat::None;
}


QString decodeHtml(const QByteArray &bytes)
{
    // The page's own charset (BOM or <meta>), else UTF-8 when valid, else
    // Windows-1252, as for every other text file.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (decoder.isValid() && decoder.name() != QByteArrayView("UTF-8")) {
        const QString text = decoder(bytes);
        if (!decoder.hasError())
            return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder latin(QStringDecoder::Latin1);
    QStringDecoder cp1252("windows-1252");
    return cp1252.isValid() ? cp1252(bytes) : latin(bytes);
}

ImportResult fromPdf(const QByteArray &bytes, const ImportControl &control)
{
    ImportResult result;
    ImportControl reading = control;
    // Extraction is nearly all the work; leave a little for assembling.
    reading.progress = [&control](int percent) {
        if (control.progress)
            control.progress(percent * 95 / 100);
    };
    PdfReader::Result pdf = PdfReader::read(bytes, reading);
    result.status = pdf.status;
    result.message = pdf.message;
    if (pdf.status != ImportStatus::Ok)
        return result;
    result.document.title = pdf.title;
    result.document.author = pdf.author;
    result.document.date = pdf.date;
    ImportedDocumentBuilder builder(result.document);
    const QStringList paragraphs = PdfTextAssembler::paragraphs(pdf.pages);
    // The outline's titles make their paragraphs headings, so the document
    // keeps its chapters.
    const std::vector<int> levels = PdfTextAssembler::headingLevels(paragraphs, pdf.outline);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (levels[size_t(i)] > 0)
            builder.heading(levels[size_t(i)]);
        else
            builder.paragraph();
        builder.text(paragraphs.at(i), TextRun{}, false);
    }
    builder.finish();
    if (result.document.blocks.empty()) {
        result.status = ImportStatus::Failed;
        result.message = ImportMessages::PdfNoText;
    }
    control.report(100, 100);
    return result;
}

} // namespace

ImportFormat DocumentImporter::detect(QByteArrayView bytes, const QString &fileName)
{
    // A PDF starts with "%PDF-". Readers also accept a few bytes of garbage
    // before it within the first kilobyte; then the file must also end like
    // a PDF, or a text that merely quotes the marker would not open as text.
    const qsizetype kilobyte = qMin<qsizetype>(bytes.size(), 1024);
    const qsizetype pdfMarker = bytes.first(kilobyte).indexOf("%PDF-");
    if (pdfMarker == 0 || (pdfMarker > 0 && bytes.last(kilobyte).indexOf("%%EOF") >= 0))
        return ImportFormat::Pdf;
    if (bytes.startsWith("PK\x03\x04"))
        return archiveFormat(bytes, suffixOf(fileName));
    const QByteArrayView start = trimmedStart(bytes);
    if (start.startsWith("{\\rtf"))
        return ImportFormat::None;
    if (startsWithNoCase(start, "<!doctype html") || startsWithNoCase(start, "<html"))
        return ImportFormat::Html;
    if (startsWithNoCase(start, "<?xml") && bytes.first(qMin<qsizetype>(bytes.size(), 2048)).indexOf("<html") >= 0)
        return ImportFormat::Html;
    const QString suffix = suffixOf(fileName);
    if (suffix == QLatin1String("md") || suffix == QLatin1String("markdown"))
        return ImportFormat::Markdown;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm") || suffix == QLatin1String("xhtml"))
        return ImportFormat::Html;
    return ImportFormat::None;
}

ImportResult DocumentImporter::read(ImportFormat format, const QByteArray &bytes, const ImportControl &control)
{
    ImportResult result;
    switch (format) {
    case ImportFormat::Pdf:
        return fromPdf(bytes, control);
    case ImportFormat::Epub:
        result.status = EpubReader::read(bytes, control, &result.document, &result.message);
        break;
    case ImportFormat::OpenDocumentText:
        result.status = OdtReader::read(bytes, control, &result.document, &result.message);
        break;
    case ImportFormat::WordDocument:
        result.status = DocxReader::read(bytes, control, &result.document, &result.message);
        break;
    case ImportFormat::Html:
        result.document.markup = ImportedDocument::Markup::Html;
        result.document.markupText = decodeHtml(bytes);
        {
            HtmlHead::Head head = HtmlHead::read(result.document.markupText);
            result.document.title = std::move(head.title);
            result.document.author = std::move(head.author);
        }
        result.status = ImportStatus::Ok;
        break;
    case ImportFormat::Markdown:
        result.document.markup = ImportedDocument::Markup::Markdown;
        {
            QStringDecoder utf8(QStringDecoder::Utf8);
            QString text = utf8(bytes);
            if (utf8.hasError())
                text = decodeHtml(bytes);
            MarkdownReader::Prepared prepared = MarkdownReader::prepare(text);
            result.document.markupText = std::move(prepared.markdown);
            result.document.title = std::move(prepared.title);
            result.document.author = std::move(prepared.author);
            result.document.date = std::move(prepared.date);
        }
        result.status = ImportStatus::Ok;
        break;
    case ImportFormat::None:
        result.message = ImportMessages::NotADocument;
        break;
    }
    if (result.status != ImportStatus::Ok)
        result.document = ImportedDocument{};
    return result;
}

QStringList DocumentImporter::fileSuffixes()
{
    return {QStringLiteral("pdf"),  QStringLiteral("epub"), QStringLiteral("odt"), QStringLiteral("docx"),
            QStringLiteral("html"), QStringLiteral("htm"),  QStringLiteral("xhtml"), QStringLiteral("md"),
            QStringLiteral("markdown")};
}
