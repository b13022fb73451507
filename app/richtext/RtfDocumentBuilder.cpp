#include "RtfDocumentBuilder.h"

#include "RtfDocumentTables.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace rtf {

namespace {

// Length of the field instruction we look at (for a link target).
constexpr int kMaxFieldInst = 4096;
// Twips are turned into document units (pixels at 96 dpi).
constexpr double kTwipsPerUnit = 15.0;

} // namespace

DocumentBuilder::DocumentBuilder(QTextDocument *doc, const DocumentTables &tables)
    : m_doc(doc)
    , m_tables(tables)
    , m_cursor(doc)
{
}

void DocumentBuilder::begin()
{
    m_cursor.beginEditBlock();
}

void DocumentBuilder::finish(const ParaState &para)
{
    flushText();
    if (!m_pendingBreak)
        finishParagraph(para);
    m_cursor.endEditBlock();
}

void DocumentBuilder::appendFieldInstruction(char16_t c)
{
    if (m_fieldInst.size() < kMaxFieldInst)
        m_fieldInst.append(QChar(c));
}

int DocumentBuilder::fieldLink()
{
    // HYPERLINK "target" [switches]: the result text links to the target.
    const QString inst = m_fieldInst.trimmed();
    if (!inst.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return -1;
    QString rest = inst.mid(9).trimmed();
    QString target;
    if (rest.startsWith(u'"')) {
        const qsizetype end = rest.indexOf(u'"', 1);
        target = rest.mid(1, end < 0 ? -1 : end - 1);
    } else {
        target = rest.section(u' ', 0, 0);
    }
    if (target.isEmpty() || m_links.size() >= kMaxTableEntries)
        return -1;
    m_links.append(target);
    return static_cast<int>(m_links.size() - 1);
}

void DocumentBuilder::appendText(char16_t c, const CharState &chr, bool footnote)
{
    if (chr.hidden)
        return;
    // The document's own markers (frames, embedded objects) must not come
    // from the file, where they would break the document's structure.
    if (c == 0xFDD0 || c == 0xFDD1 || c == QChar::ObjectReplacementCharacter)
        c = QChar::ReplacementCharacter;
    if (footnote && m_footnoteStart) {
        if (c == ' ' || c == '\t')
            return;
        m_footnoteStart = false;
        if (!endsWithSpace())
            appendText(' ', chr, footnote);
    }
    if (m_afterFootnote) {
        m_afterFootnote = false;
        if (!QChar(c).isSpace() && !QChar(c).isPunct())
            appendText(' ', chr, footnote);
    }
    beginContent();
    if (chr != m_textState) {
        flushText();
        m_textState = chr;
    }
    for (; m_pendingCells > 0; --m_pendingCells)
        m_text.append(u'\t');
    m_text.append(QChar(c));
}

bool DocumentBuilder::endsWithSpace() const
{
    QChar last;
    if (!m_text.isEmpty())
        last = m_text.back();
    else if (m_cursor.position() > 0)
        last = m_doc->characterAt(m_cursor.position() - 1);
    else
        return true;
    return last.isSpace() || m_pendingBreak;
}

void DocumentBuilder::startPendingParagraph()
{
    m_pendingBreak = false;
    // Most paragraphs look like the one before: starting with its format
    // saves setting it again when the paragraph ends.
    m_cursor.insertBlock(m_blockFormat, QTextCharFormat());
}

void DocumentBuilder::flushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, cachedCharFormat(m_textState));
    m_text.clear();
}

void DocumentBuilder::endParagraph(const ParaState &para)
{
    flushText();
    if (m_pendingBreak)
        beginContent(); // the paragraph before was empty: it stays as one
    m_pendingCells = 0;
    finishParagraph(para);
    m_pendingBreak = true;
    m_paraHasContent = false;
}

void DocumentBuilder::pageBreak(const ParaState &para)
{
    // A break inside a paragraph starts a new one on the next page; at the
    // start of a paragraph it only moves that one.
    if (m_paraHasContent)
        endParagraph(para);
    m_pageBreakNext = true;
}

void DocumentBuilder::endCell()
{
    flushText();
    ++m_pendingCells;
}

void DocumentBuilder::endRow(const ParaState &para)
{
    m_pendingCells = 0;
    endParagraph(para);
}

// Gives the paragraph being ended its format and, for list paragraphs, its list.
void DocumentBuilder::finishParagraph(const ParaState &p)
{
    QTextBlockFormat bf = blockFormat(p);
    if (m_pageBreakNext) {
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_pageBreakNext = false;
    }
    if (bf != m_blockFormat) {
        m_cursor.setBlockFormat(bf);
        m_blockFormat = bf;
    }
    const QTextListFormat::Style style = m_tables.listStyle(p);
    if (style == QTextListFormat::ListStyleUndefined) {
        m_lists.clear();
        return;
    }
    // Paragraph numbering has no list number; its style tells lists apart.
    const quint64 key = (quint64(quint32(p.list ? p.list : -p.pnStyle)) << 32) | quint32(p.level);
    if (QTextList *list = m_lists.value(key)) {
        list->add(m_cursor.block());
    } else {
        QTextListFormat lf;
        lf.setStyle(style);
        lf.setIndent(p.level + 1);
        m_lists.insert(key, m_cursor.createList(lf));
    }
}

const QTextCharFormat &DocumentBuilder::cachedCharFormat(const CharState &s)
{
    constexpr size_t kSlots = 16;
    for (const CachedFormat &c : m_formatCache) {
        if (c.state == s)
            return c.format;
    }
    if (m_formatCache.size() < kSlots) {
        m_formatCache.push_back({s, charFormat(s)});
        return m_formatCache.back().format;
    }
    CachedFormat &slot = m_formatCache[m_formatCacheNext];
    m_formatCacheNext = (m_formatCacheNext + 1) % kSlots;
    slot = {s, charFormat(s)};
    return slot.format;
}

QTextCharFormat DocumentBuilder::charFormat(const CharState &s) const
{
    QTextCharFormat f;
    const FontEntry *font = m_tables.font(s.font);
    if (font && !font->name.isEmpty()) {
        f.setFontFamilies(QStringList{font->name});
        if (font->hint != QFont::AnyStyle)
            f.setFontStyleHint(font->hint);
    }
    f.setFontPointSize(s.fontSize / 2.0);
    if (s.bold)
        f.setFontWeight(QFont::Bold);
    if (s.italic)
        f.setFontItalic(true);
    if (s.underline != QTextCharFormat::NoUnderline)
        f.setUnderlineStyle(s.underline);
    if (s.strike)
        f.setFontStrikeOut(true);
    if (s.caps == Caps::All)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (s.caps == Caps::Small)
        f.setFontCapitalization(QFont::SmallCaps);
    if (s.valign == VAlign::Super)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (s.valign == VAlign::Sub)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const QColor fg = m_tables.color(s.fg); fg.isValid())
        f.setForeground(fg);
    if (const QColor bg = m_tables.color(s.bg); bg.isValid())
        f.setBackground(bg);
    if (s.link >= 0 && s.link < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links.at(s.link));
    }
    return f;
}

// The format of a paragraph. Block-level properties read from the file
// (alignment, indents, spacing) become the block's format here.
QTextBlockFormat DocumentBuilder::blockFormat(const ParaState &p) const
{
    QTextBlockFormat bf;
    switch (p.align) {
    case Align::Left: bf.setAlignment(Qt::AlignLeft); break;
    case Align::Center: bf.setAlignment(Qt::AlignHCenter); break;
    case Align::Right: bf.setAlignment(Qt::AlignRight); break;
    case Align::Justify: bf.setAlignment(Qt::AlignJustify); break;
    }
    // In a list the list's own indent takes the place of the paragraph's.
    const bool listed = m_tables.listStyle(p) != QTextListFormat::ListStyleUndefined;
    if (p.li && !listed)
        bf.setLeftMargin(p.li / kTwipsPerUnit);
    if (p.ri)
        bf.setRightMargin(p.ri / kTwipsPerUnit);
    if (p.fi && !listed)
        bf.setTextIndent(p.fi / kTwipsPerUnit);
    if (p.sb)
        bf.setTopMargin(p.sb / kTwipsPerUnit);
    if (p.sa)
        bf.setBottomMargin(p.sa / kTwipsPerUnit);
    if (p.heading)
        bf.setHeadingLevel(p.heading);
    return bf;
}

} // namespace rtf
