#pragma once
// ImportedDocument: what a reader made of a foreign document, as plain data
// (paragraphs, headings and list items with their formatted runs). Readers
// fill it on any thread; buildInto() then writes it into the document box's
// QTextDocument on the thread that owns that document, so no text document
// ever crosses threads.

#include <QByteArray>
#include <QString>

#include <vector>

class QTextDocument;

struct TextRun {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool superscript = false;

    bool sameFormat(const TextRun &o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && superscript == o.superscript;
    }
};

struct TextBlock {
    enum class Kind { Paragraph, Heading, ListItem };
    Kind kind = Kind::Paragraph;
    int headingLevel = 0;   // 1..6 for headings
    bool ordered = false;   // list items: numbered or bulleted
    int listDepth = 0;      // list items: 0 for the outermost list
    std::vector<TextRun> runs;

    QString plainText() const;
};

struct ImportedDocument {
    // Either blocks, or markup that Qt's own readers turn into the document.
    enum class Markup { None, Html, Markdown };
    std::vector<TextBlock> blocks;
    Markup markup = Markup::None;
    QString markupText;
    // What the source says about itself, as it says it (unchecked: the
    // document box cleans it, see DocumentMetadata): title, author, a date
    // the year is taken from, and the bytes of a cover picture.
    QString title;
    QString author;
    QString date;
    QByteArray cover;
    // The folder whose files the markup's pictures may come from (the HTML
    // or Markdown file's own); empty: none. See DocumentResources.
    QString folder;

    QString plainText() const;
    // Replaces the document's content; undo history is cleared and the
    // document is left unmodified. The document's DocumentUrl becomes the
    // folder, so a GuardedTextDocument reads pictures from there only.
    void buildInto(QTextDocument *doc) const;
};

// Collects blocks while a reader walks its source. Text added between
// blocks opens a paragraph; whitespace can be collapsed as HTML and XML
// word processors do.
class ImportedDocumentBuilder
{
public:
    explicit ImportedDocumentBuilder(ImportedDocument &target) : m_doc(target) {}

    void paragraph();
    void heading(int level);
    void listItem(bool ordered, int depth);
    void endBlock();

    // Collapsed: runs of white space become one space, none at a block's start.
    void text(const QString &text, const TextRun &format, bool collapseWhitespace);
    void lineBreak(const TextRun &format);
    void tab(const TextRun &format);

    bool inBlock() const { return m_open; }
    // An open list item that holds no text yet: a paragraph inside a list
    // item continues it rather than starting a block of its own.
    bool inEmptyListItem() const;
    qsizetype characters() const { return m_characters; }
    void finish() { endBlock(); }

private:
    void begin(TextBlock block);
    void append(const QString &text, const TextRun &format);

    ImportedDocument &m_doc;
    bool m_open = false;
    bool m_lastWasSpace = true;
    qsizetype m_characters = 0;
};
