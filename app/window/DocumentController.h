#pragma once
// DocumentController: the document in the rich-text box and its file: new,
// open, save, save as, the edit menu through the clipboard, the character
// count.
//
// The current path is what the open/save dialog last held; there is no
// changed flag, so the questions about saving are asked whenever the
// document has text. Questions and file dialogs go through Dialogs, the
// extension events through ExtensionHost.

#include "Dialogs.h"

#include <QObject>
#include <QString>

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
    bool LoadFile(const QString &path);

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

    QTextEdit &m_rtfText;
    Dialogs &m_dialogs;
    ExtensionHost &m_extensions;
    QString m_currentPath;
    QString m_defaultExtension = QStringLiteral(".txt");
};
