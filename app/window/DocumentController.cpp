#include "DocumentController.h"

#include "Dialogs.h"
#include "DocumentIO.h"
#include "DocumentMetadata.h"
#include "DocumentOpener.h"
#include "ExtensionHost.h"
#include "LongLines.h"
#include "WholeFile.h"
#include "ImportMessages.h"
#include "WindowTexts.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

namespace {

// The error number for "file not found": a plain-text save reports it when
// the file did not exist before, which is no failure.
constexpr int kFileNotFound = 53;

QString selectionText(const QTextCursor &cursor)
{
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

// The open dialog's filters: every readable format first, where the dialog
// starts (its label short enough to show whole), then the program's own.
QString openFilter()
{
    QStringList patterns;
    for (const QString &suffix : DocumentIO::readableSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    return ImportMessages::AllReadableDocuments + QLatin1Char('|') + patterns.join(QLatin1Char(';'))
           + QLatin1Char('|') + WindowTexts::OpenFilter;
}

// "buch.epub" is saved as "buch.rtf" beside it.
QString rtfNameFor(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".rtf"));
}

} // namespace

DocumentController::DocumentController(QTextEdit &rtfText, Dialogs &dialogs, ExtensionHost &extensions,
                                       QObject *parent)
    : QObject(parent), m_rtfText(rtfText), m_dialogs(dialogs), m_extensions(extensions)
{
    m_opener = new DocumentOpener(dialogs, this);
    connect(&m_rtfText, &QTextEdit::textChanged, this,
            [this] { emit statusText(WindowTexts::CharacterCount(characterCount())); });
}

qint64 DocumentController::characterCount() const
{
    // Both counts are kept by the document itself, so this costs nothing even
    // for a document of megabytes: every block but the first starts after a
    // line break, and the document's length includes one separator per block.
    const QTextDocument *doc = m_rtfText.document();
    const qint64 separators = doc->blockCount() - 1;
    return qint64(doc->characterCount()) - 1 + separators;
}

void DocumentController::NewDoc()
{
    if (characterCount() > 0) {
        const auto answer = m_dialogs.message(WindowTexts::SaveBeforeNew, WindowTexts::TitleQuestion,
                                              Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel)
            return;
        if (answer == Dialogs::Answer::Yes) {
            if (SaveDoc())
                startNewDocument();
        } else {
            startNewDocument();
        }
    } else {
        // A document emptied by hand: a new one says nothing about itself.
        resetFormats();
        DocumentMetadata().store(m_rtfText.document());
    }
    m_extensions.NotifyNewFile();
}

void DocumentController::startNewDocument()
{
    m_rtfText.clear();
    // The history was emptied with the text; the format reset is no step of it.
    QTextDocument *doc = m_rtfText.document();
    doc->setUndoRedoEnabled(false);
    resetFormats();
    doc->setUndoRedoEnabled(true);
    doc->setModified(false);
    m_currentPath.clear();
    m_importedFrom.clear();
    m_richText = false;
}

void DocumentController::resetFormats()
{
    // clear() keeps the cursor's character format on purpose (for the
    // box's own editing); a new document must not type in the old font.
    QTextDocument *doc = m_rtfText.document();
    const bool modified = doc->isModified();
    QTextCursor cursor(doc);
    if (QTextList *list = cursor.currentList())
        list->remove(cursor.block());
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    m_rtfText.setCurrentCharFormat(QTextCharFormat());
    // Only the format of the empty text changed, nothing the user wrote.
    doc->setModified(modified);
}

void DocumentController::replaceText(const QString &text)
{
    QTextCursor cursor(m_rtfText.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    if (QTextList *list = cursor.currentList())
        list->remove(cursor.block());
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    cursor.insertText(text);
    cursor.endEditBlock();
}

bool DocumentController::isModified() const
{
    return m_rtfText.document()->isModified();
}

Dialogs::FileRequest DocumentController::fileRequest(const QString &filter) const
{
    // The dialog starts with the current document and its default extension.
    Dialogs::FileRequest request;
    request.filter = filter;
    request.initialPath = m_currentPath;
    request.defaultSuffix = m_defaultExtension.mid(1);
    return request;
}

void DocumentController::OpenDoc()
{
    Dialogs::FileRequest request = fileRequest(openFilter());
    request.fileMustExist = true;
    const auto chosen = m_dialogs.openFile(request);
    if (!chosen || chosen->isEmpty())
        return;
    const QString path = *chosen;
    if (!DocumentIO::readableSuffixes().contains(QFileInfo(path).suffix().toLower())) {
        if (m_dialogs.message(WindowTexts::OpenUnknownType, WindowTexts::TitleQuestion, Dialogs::Icon::Question,
                              Dialogs::Buttons::YesNo)
            != Dialogs::Answer::Yes)
            return;
    }
    QCoreApplication::processEvents();
    m_extensions.NotifyOpenFile(path);
    OpenFile(path);
}

bool DocumentController::OpenFile(const QString &path, Failures failures)
{
    // Only a document actually loaded takes over the name: a later save must
    // never overwrite a file the user declined or that could not be read.
    if (!LoadFile(path, failures))
        return false;
    m_currentPath = m_importedFrom.isEmpty() ? path : QString();
    return true;
}

bool DocumentController::LoadFile(const QString &path, Failures failures)
{
    m_lastLoadError.clear();
    if (path.isEmpty())
        return false;
    const DocumentLoadResult result = m_opener->open(path, m_rtfText.document(), failures == Failures::Shown);
    if (!result.ok) {
        if (result.importStatus != ImportStatus::Cancelled)
            m_lastLoadError = result.errorDescription;
        return false;
    }
    m_importedFrom = result.imported() ? path : QString();
    // A document read from another program's format has no file of its own
    // yet, however it was opened (dialog, script, command line).
    if (result.imported())
        m_currentPath.clear();
    m_richText = result.format != DocumentFormat::PlainText;
    m_rtfText.document()->setModified(false);
    return true;
}

bool DocumentController::writeDocument(const QString &path, bool plainText)
{
    int number = 0;
    QString description;
    if (plainText) {
        number = WholeFile::WriteWholeFile(path, LongLines::fileText(*m_rtfText.document()), &description);
    } else {
        const DocumentSaveResult r = DocumentIO::saveFile(path, *m_rtfText.document(), DocumentFormat::RichText);
        number = r.ok ? 0 : (r.errorNumber ? r.errorNumber : 75);
        description = r.errorDescription;
    }
    if (number != 0 && number != kFileNotFound) {
        m_dialogs.message(WindowTexts::SaveFailed(description, number), WindowTexts::TitleError,
                          Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return false;
    }
    return true;
}

bool DocumentController::SaveDoc()
{
    Dialogs::FileRequest request = fileRequest(WindowTexts::SaveFilter);
    request.confirmOverwrite = true;
    // Text files, then rich-text files: start on the document's own format.
    request.selectedFilter = m_richText ? 1 : 0;
    if (request.initialPath.isEmpty() && !m_importedFrom.isEmpty())
        request.initialPath = rtfNameFor(m_importedFrom);
    const auto chosen = m_dialogs.saveFile(request);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString path = *chosen;
    if (!m_importedFrom.isEmpty() && QFileInfo(path) == QFileInfo(m_importedFrom)) {
        // The RTF would replace the PDF or e-book the text came from.
        m_dialogs.message(ImportMessages::KeepOriginal(path), WindowTexts::TitleError, Dialogs::Icon::Warning,
                          Dialogs::Buttons::Ok);
        return false;
    }
    m_importedFrom.clear();
    m_currentPath = path;
    // The extension decides the format, case-sensitively: "x.TXT" is rich text.
    const bool plain = path.endsWith(QLatin1String(".txt"));
    const bool saved = writeDocument(path, plain);
    if (saved) {
        m_richText = !plain;
        m_rtfText.document()->setModified(false);
    }
    m_extensions.NotifySaveFile(path);
    return saved;
}

void DocumentController::SaveAs()
{
    if (m_currentPath.isEmpty()) {
        SaveDoc();
        return;
    }
    // Saved again under the current name without a dialog, in the format the
    // name calls for: a rich-text file must not lose its formatting.
    const bool plain = DocumentIO::formatForSaving(m_currentPath) == DocumentFormat::PlainText;
    const bool saved = plain ? DocumentIO::saveText(m_currentPath, LongLines::fileText(*m_rtfText.document())).ok
                             : DocumentIO::saveFile(m_currentPath, *m_rtfText.document(), DocumentFormat::RichText).ok;
    if (saved)
        m_rtfText.document()->setModified(false);
}

void DocumentController::Cut()
{
    QTextCursor cursor = m_rtfText.textCursor();
    QGuiApplication::clipboard()->setText(selectionText(cursor));
    cursor.removeSelectedText();
    m_rtfText.setTextCursor(cursor);
}

void DocumentController::Copy()
{
    QGuiApplication::clipboard()->setText(selectionText(m_rtfText.textCursor()));
}

void DocumentController::Paste()
{
    QTextCursor cursor = m_rtfText.textCursor();
    cursor.insertText(QGuiApplication::clipboard()->text());
    m_rtfText.setTextCursor(cursor);
}

void DocumentController::Delete()
{
    QTextCursor cursor = m_rtfText.textCursor();
    cursor.removeSelectedText();
    m_rtfText.setTextCursor(cursor);
}
