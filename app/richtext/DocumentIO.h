#pragma once
// richtext: the document box's own file formats.
//
// What it is: loading a file into the document (a QTextDocument) and saving
// the document, as the rich-text box does by itself. A file whose first
// bytes are "{\rtf" is RTF (RtfReader); anything else is plain text
// (PlainText: UTF-8 when valid, else Windows-1252, any line ends). Saving
// writes RTF (RtfWriter) or plain text, always through QSaveFile, so a
// failed save leaves the old file as it was.
//
// What it uses: QtGui's text document (no widgets) and the Ansi codec of
// common/.
//
// Who uses it: the main window's open, save and start-up loading, the
// script command Laden (both through the document box), and quenora-speak,
// which reads a document's text through DocumentIO::readText so that it
// speaks exactly what the window would show.
//
// Every file is outside input: any bytes load without a crash or a hang.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

enum class DocumentFormat {
    PlainText,
    RichText,
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
    static constexpr qint64 kMaxFileSize = qint64(512) * 1024 * 1024;

    // RTF when the bytes start with "{\rtf" (after an optional UTF-8
    // byte-order mark), else plain text.
    static DocumentFormat detectFormat(QByteArrayView bytes);

    // Replaces the document's content with the bytes, read in the detected
    // format. Undo history is cleared; the document is left unmodified.
    static DocumentLoadResult loadBytes(QByteArrayView bytes, QTextDocument *doc);

    // Reads the file and loads it into the document. When the file cannot
    // be read the document is left untouched.
    static DocumentLoadResult loadFile(const QString &path, QTextDocument *doc);

    // The text of a document file as the document box would show it
    // (hidden text and non-text parts of RTF left out). Needs no window;
    // safe to call with only a QCoreApplication or none.
    static DocumentText readText(const QString &path);

    // The format a file is saved in: plain text when the name ends in
    // ".txt" exactly (case-sensitive, as saving has always decided), else RTF.
    static DocumentFormat formatForSaving(const QString &path);

    // The document as file bytes in that format.
    static QByteArray toBytes(const QTextDocument &doc, DocumentFormat format);

    // Writes the document to the file through QSaveFile.
    static DocumentSaveResult saveFile(const QString &path, const QTextDocument &doc,
                                       DocumentFormat format);

    // Writes plain text (UTF-8) to the file through QSaveFile.
    static DocumentSaveResult saveText(const QString &path, const QString &text);
};
