#pragma once
// DocumentController: the document in the rich-text box and its file: new,
// open, save, save as, the edit menu through the clipboard, the character
// count.
//
// The current path is the file the document was last loaded from or saved
// to. The document's own modified flag says whether it changed since it was
// created, loaded or saved (closing the window asks only then); "Neu" asks
// whenever the document has text. Questions and file dialogs go through
// Dialogs, the extension events through ExtensionHost.

#include "Dialogs.h"

#include <QObject>
#include <QString>

class DocumentOpener;
class ExtensionHost;
class QTextEdit;

class DocumentController : public QObject
{
    Q_OBJECT
public:
    DocumentController(QTextEdit &rtfText, Dialogs &dialogs, ExtensionHost &extensions,
                       QObject *parent = nullptr);

    void NewDoc();
    void OpenDoc();
    // False when the dialog was cancelled or the file could not be written.
    bool SaveDoc();
    void SaveAs();

    // The rich-text box's own loading: RTF or plain text as the file says.
    // A loaded document counts as unchanged.
    // Documents of other programs (PDF, EPUB, ...) open as new, unsaved
    // documents: no current path, and saving proposes the name with ".rtf".
    // A document of another format that cannot be read is told in a message
    // box, or only returned (lastLoadError) for a caller that tells it itself.
    enum class Failures { Shown, Returned };
    bool LoadFile(const QString &path, Failures failures = Failures::Shown);
    // Loads the file and makes it the document's file, as "Öffnen" does (a
    // document of another program's format stays without one). False, and
    // the current file kept, when it could not be loaded.
    bool OpenFile(const QString &path, Failures failures = Failures::Shown);
    // Why the last load failed, in German; empty after a cancel or success.
    QString lastLoadError() const { return m_lastLoadError; }
    bool isModified() const;
    // The whole document becomes text, in the default format, as one step
    // the user can undo.
    void replaceText(const QString &text);
    // The file an unsaved document was read from, else empty.
    QString importedFrom() const { return m_importedFrom; }
    // Reads files off the GUI thread with a progress dialog (tests cancel it).
    DocumentOpener &opener() { return *m_opener; }

    void Cut();
    void Copy();
    void Paste();
    void Delete();

    QString currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString &path) { m_currentPath = path; }
    QString defaultExtension() const { return m_defaultExtension; }
    void setDefaultExtension(const QString &extension) { m_defaultExtension = extension; }

    // Characters of the whole document, a line break counting as two.
    qint64 characterCount() const;

signals:
    // The status bar text after every change of the document.
    void statusText(const QString &text);

private:
    Dialogs::FileRequest fileRequest(const QString &filter) const;
    bool writeDocument(const QString &path, bool plainText);
    // Empty, unchanged, and in the box's default format: nothing of the
    // previous document's fonts or paragraphs carries over.
    void startNewDocument();
    void resetFormats();

    QTextEdit &m_rtfText;
    Dialogs &m_dialogs;
    ExtensionHost &m_extensions;
    QString m_currentPath;
    QString m_defaultExtension = QStringLiteral(".txt");
    // The document came from or went to a rich-text file: the save dialog
    // starts on the RTF filter.
    bool m_richText = false;
    DocumentOpener *m_opener = nullptr;
    QString m_importedFrom;
    QString m_lastLoadError;
};
