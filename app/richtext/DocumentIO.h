#pragma once
// richtext: the document box's own file formats.
//
// What it is: loading a file into the document (a QTextDocument) and saving
// the document, as the rich-text box does by itself. A file whose first
// bytes are "{\rtf" is RTF (RtfReader); anything else is plain text
// (PlainText: UTF-8 when valid, else Windows-1252, any line ends). Saving
// writes RTF (RtfWriter) or plain text, always through ReplacingFile, so a
// failed save leaves the old file as it was.
//
// What it uses: QtGui's text document (no widgets), the Ansi codec and
// ReplacingFile of common/, and app/importers for other programs' documents
// and the pictures a document names.
//
// Who uses it: the main window's open, save and start-up loading, the
// script command Laden (both through the document box), and quenora-speak,
// which reads a document's text through DocumentIO::readText so that it
// speaks exactly what the window would show.
//
// Documents of other programs (PDF, EPUB, ODT, DOCX, HTML, Markdown) are
// read by app/importers, chosen by the file's content; they open as new,
// unsaved documents. Reading can run on any thread (prepareFile) and the
// result is put into the document on its own thread (applyPrepared), so the
// window reads big files off its GUI thread.
//
// Every file is outside input: any bytes load without a crash or a hang.

#include "DocumentMetadata.h"
#include "ImportControl.h"
#include "ImportedDocument.h"
#include "WholeFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

enum class DocumentFormat {
    PlainText,
    RichText,
    // Read from another program's format; saved only as RTF or plain text.
    Pdf,
    Epub,
    OpenDocumentText,
    WordDocument,
    Html,
    Markdown,
};

struct DocumentLoadResult {
    bool ok = false;
    DocumentFormat format = DocumentFormat::PlainText;
    // An RTF file whose structure was broken; what could be read is loaded.
    bool damaged = false;
    // On failure: the error number and its German description
    // (53 "Datei nicht gefunden", 70 "Zugriff verweigert", ...).
    int errorNumber = 0;
    QString errorDescription;
    // Documents of other formats: how reading went, and on failure the
    // German sentence that says why (errorDescription holds it too).
    ImportStatus importStatus = ImportStatus::Ok;
    QString message;

    bool imported() const { return format != DocumentFormat::PlainText && format != DocumentFormat::RichText; }
};

// A file read and parsed, not yet put into a document.
struct PreparedDocument {
    DocumentLoadResult result;
    QByteArray bytes;          // RTF and plain text: read when applied
    ImportedDocument imported; // other formats
    DocumentMetadata metadata; // other formats: cleaned here, off the document's thread

    bool cancelled() const { return result.importStatus == ImportStatus::Cancelled; }
    bool needsPassword() const
    {
        return result.importStatus == ImportStatus::NeedsPassword
               || result.importStatus == ImportStatus::WrongPassword;
    }
};

struct DocumentText {
    bool ok = false;
    DocumentFormat format = DocumentFormat::PlainText;
    QString text;            // the document's plain text, lines ended by '\n'
    int errorNumber = 0;
    QString errorMessage;    // German sentence naming the file, for the user
};

struct DocumentSaveResult {
    bool ok = false;
    int errorNumber = 0;
    QString errorDescription;
};

class DocumentIO
{
public:
    // Files larger than this are refused rather than exhausting memory.
    static constexpr qint64 kMaxFileSize = WholeFile::kMaxFileSize;

    // RTF when the bytes start with "{\rtf" (after an optional UTF-8
    // byte-order mark), else plain text.
    static DocumentFormat detectFormat(QByteArrayView bytes);
    // The same, and the formats of other programs by their content (the
    // name decides only for Markdown, which has no telling content).
    static DocumentFormat detectFormat(QByteArrayView bytes, const QString &fileName);

    // Replaces the document's content with the bytes, read in the detected
    // format. Undo history is cleared; the document is left unmodified.
    // When the bytes cannot be read the document is left untouched.
    static DocumentLoadResult loadBytes(QByteArrayView bytes, QTextDocument *doc,
                                        const QString &fileName = QString());

    // Reads the file and loads it into the document. When the file cannot
    // be read the document is left untouched.
    static DocumentLoadResult loadFile(const QString &path, QTextDocument *doc,
                                       const ImportControl &control = {});

    // The bytes of a regular file up to kMaxFileSize, without opening a
    // folder, device or pipe for more than a look at what it is.
    static DocumentLoadResult readBytes(const QString &path, QByteArray *bytes);

    // loadFile in two steps: reading and parsing, on any thread...
    static PreparedDocument prepareFile(const QString &path, const ImportControl &control = {});
    static PreparedDocument prepareBytes(const QByteArray &bytes, const QString &fileName,
                                         const ImportControl &control = {});
    // ... and putting the result into the document, on the document's thread,
    // with what the file says about itself (DocumentMetadata; a plain text
    // says nothing, so loading one clears it). A failed, cancelled or locked
    // preparation leaves the document as it was.
    static DocumentLoadResult applyPrepared(const PreparedDocument &prepared, QTextDocument *doc);

    // The file name extensions of every format that can be opened, lower
    // case without the dot ("txt", "rtf", "pdf", ...).
    static QStringList readableSuffixes();

    // The text of a document file as the document box would show it
    // (hidden text and non-text parts of RTF left out). Needs no window;
    // safe to call with only a QCoreApplication or none.
    static DocumentText readText(const QString &path);

    // The format a file is saved in: plain text when the name ends in
    // ".txt" exactly (case-sensitive, as saving has always decided), else RTF.
    static DocumentFormat formatForSaving(const QString &path);

    // The document as file bytes in that format.
    static QByteArray toBytes(const QTextDocument &doc, DocumentFormat format);

    // Writes the document to the file through ReplacingFile.
    static DocumentSaveResult saveFile(const QString &path, const QTextDocument &doc,
                                       DocumentFormat format);

    // Writes plain text (UTF-8) to the file through ReplacingFile.
    static DocumentSaveResult saveText(const QString &path, const QString &text);
};
