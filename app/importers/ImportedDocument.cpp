#include "ImportedDocument.h"

#include "NoteLinks.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <map>

QString TextBlock::plainText() const
{
    QString out;
    for (const TextRun &run : runs)
        out += run.text;
    return out;
}

QString ImportedDocument::plainText() const
{
    QString out;
    for (const TextBlock &block : blocks) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += block.plainText();
    }
    return out;
}

namespace {

QTextCharFormat charFormat(const TextRun &run, const QTextCharFormat &base)
{
    QTextCharFormat f = base;
    if (run.bold)
        f.setFontWeight(QFont::Bold);
    if (run.italic)
        f.setFontItalic(true);
    if (run.underline)
        f.setFontUnderline(true);
    if (run.superscript)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    return f;
}

// The sizes Qt's HTML reader gives <h1>..<h6>, so imported headings look
// like headings from an HTML file.
QTextCharFormat headingFormat(int level)
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    static const int adjustment[] = {3, 2, 1, 0, -1, -2};
    f.setProperty(QTextFormat::FontSizeAdjustment, adjustment[qBound(1, level, 6) - 1]);
    return f;
}

QTextListFormat::Style listStyle(bool ordered, int depth)
{
    if (ordered)
        return QTextListFormat::ListDecimal;
    static const QTextListFormat::Style bullets[] = {QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                                                     QTextListFormat::ListSquare};
    return bullets[depth % 3];
}

} // namespace

void ImportedDocument::buildInto(QTextDocument *doc) const
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    // Without a GUI application (quenora-speak) the default font has no
    // size, and Qt's readers would size headings from it ("QFont::
    // setPixelSize: Pixel size <= 0"). The box of the window sets its own.
    if (QFont font = doc->defaultFont(); font.pointSizeF() <= 0 && font.pixelSize() <= 0) {
        font.setPointSize(12);
        doc->setDefaultFont(font);
    }
    // Set first: the HTML reader asks for background pictures and style
    // sheets while it reads.
    doc->setMetaInformation(QTextDocument::DocumentUrl,
                            folder.isEmpty() ? QString() : QUrl::fromLocalFile(folder + QLatin1Char('/')).toString());
    if (markup == Markup::Html) {
        doc->setHtml(markupText);
        NoteLinks::tidy(doc);
    } else if (markup == Markup::Markdown) {
        doc->setMarkdown(markupText);
    } else {
        doc->clear();
        QTextCursor cursor(doc);
        // One edit block: the layout hears of one change, not of every run.
        cursor.beginEditBlock();
        // Open lists by depth; a block that is no list item ends them all.
        std::map<int, QTextList *> lists;
        bool first = true;
        for (const TextBlock &block : blocks) {
            QTextBlockFormat blockFormat;
            QTextCharFormat base;
            if (block.kind == TextBlock::Kind::Heading) {
                blockFormat.setHeadingLevel(qBound(1, block.headingLevel, 6));
                blockFormat.setTopMargin(12);
                blockFormat.setBottomMargin(6);
                base = headingFormat(block.headingLevel);
            }
            if (first) {
                cursor.setBlockFormat(blockFormat);
                cursor.setBlockCharFormat(base);
                first = false;
            } else {
                cursor.insertBlock(blockFormat, base);
            }
            if (block.kind == TextBlock::Kind::ListItem) {
                const int depth = qBound(0, block.listDepth, 9);
                for (auto it = lists.upper_bound(depth); it != lists.end();)
                    it = lists.erase(it);
                auto it = lists.find(depth);
                if (it == lists.end() || it->second->format().style() != listStyle(block.ordered, depth)) {
                    QTextListFormat lf;
                    lf.setStyle(listStyle(block.ordered, depth));
                    lf.setIndent(depth + 1);
                    lists[depth] = cursor.createList(lf);
                } else {
                    it->second->add(cursor.block());
                }
            } else {
                lists.clear();
            }
            for (const TextRun &run : block.runs)
                cursor.insertText(run.text, charFormat(run, base));
        }
        cursor.endEditBlock();
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

void ImportedDocumentBuilder::begin(TextBlock block)
{
    endBlock();
    m_doc.blocks.push_back(std::move(block));
    m_open = true;
    m_lastWasSpace = true;
}

void ImportedDocumentBuilder::paragraph()
{
    begin(TextBlock{});
}

void ImportedDocumentBuilder::heading(int level)
{
    TextBlock b;
    b.kind = TextBlock::Kind::Heading;
    b.headingLevel = qBound(1, level, 6);
    begin(std::move(b));
}

void ImportedDocumentBuilder::listItem(bool ordered, int depth)
{
    TextBlock b;
    b.kind = TextBlock::Kind::ListItem;
    b.ordered = ordered;
    b.listDepth = qMax(0, depth);
    begin(std::move(b));
}

bool ImportedDocumentBuilder::inEmptyListItem() const
{
    return m_open && m_doc.blocks.back().kind == TextBlock::Kind::ListItem && m_doc.blocks.back().runs.empty();
}

void ImportedDocumentBuilder::endBlock()
{
    if (!m_open)
        return;
    m_open = false;
    TextBlock &b = m_doc.blocks.back();
    // Trailing spaces are layout, not text.
    while (!b.runs.empty()) {
        QString &t = b.runs.back().text;
        while (!t.isEmpty() && t.back() == QLatin1Char(' '))
            t.chop(1);
        if (!t.isEmpty())
            break;
        b.runs.pop_back();
    }
    // An empty paragraph is kept only as a list item would lose its place;
    // empty paragraphs and headings are layout and dropped.
    if (b.runs.empty() && b.kind != TextBlock::Kind::ListItem)
        m_doc.blocks.pop_back();
}

void ImportedDocumentBuilder::append(const QString &text, const TextRun &format)
{
    if (text.isEmpty())
        return;
    if (!m_open)
        paragraph();
    TextBlock &b = m_doc.blocks.back();
    if (!b.runs.empty() && b.runs.back().sameFormat(format)) {
        b.runs.back().text += text;
    } else {
        TextRun run = format;
        run.text = text;
        b.runs.push_back(std::move(run));
    }
    m_characters += text.size();
}

void ImportedDocumentBuilder::text(const QString &text, const TextRun &format, bool collapseWhitespace)
{
    if (!collapseWhitespace) {
        append(text, format);
        m_lastWasSpace = !text.isEmpty() && text.back().isSpace();
        return;
    }
    if (!m_open) {
        // White space between blocks is layout; it opens no paragraph.
        if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSpace() && c != QChar::Nbsp; }))
            return;
        paragraph();
    }
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        // The no-break space is a character of the text, not layout.
        if (c.isSpace() && c != QChar::Nbsp) {
            if (!m_lastWasSpace)
                out += QLatin1Char(' ');
            m_lastWasSpace = true;
        } else {
            out += c;
            m_lastWasSpace = false;
        }
    }
    append(out, format);
}

void ImportedDocumentBuilder::lineBreak(const TextRun &format)
{
    append(QString(QChar::LineSeparator), format);
    m_lastWasSpace = true;
}

void ImportedDocumentBuilder::tab(const TextRun &format)
{
    append(QStringLiteral("\t"), format);
    m_lastWasSpace = true;
}
