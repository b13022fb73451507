#include "RtfWriter.h"

#include "CodePages.h"
#include "DocumentMetadata.h"
#include "LongLines.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace {

constexpr double kTwipsPerUnit = 15.0;
// Lines of the file are broken between tokens after this many bytes, so
// the file stays readable in a text editor; readers ignore those breaks.
constexpr int kLineLength = 200;

QString familyOf(const QTextCharFormat &f, const QString &fallback)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return fallback;
}

bool hasBrush(const QTextCharFormat &f, QTextFormat::Property p)
{
    return f.hasProperty(p) && f.brushProperty(p).style() != Qt::NoBrush;
}

const char *familyClass(QFont::StyleHint hint)
{
    switch (hint) {
    case QFont::Serif: return "\\froman";
    case QFont::SansSerif: return "\\fswiss";
    case QFont::Monospace:
    case QFont::TypeWriter: return "\\fmodern";
    case QFont::Cursive: return "\\fscript";
    case QFont::Decorative:
    case QFont::Fantasy: return "\\fdecor";
    default: return "\\fnil";
    }
}

bool isBulletStyle(QTextListFormat::Style s)
{
    return s == QTextListFormat::ListDisc || s == QTextListFormat::ListCircle || s == QTextListFormat::ListSquare;
}

const char *numberingWord(QTextListFormat::Style s)
{
    switch (s) {
    case QTextListFormat::ListLowerAlpha: return "\\pnlcltr";
    case QTextListFormat::ListUpperAlpha: return "\\pnucltr";
    case QTextListFormat::ListLowerRoman: return "\\pnlcrm";
    case QTextListFormat::ListUpperRoman: return "\\pnucrm";
    default: return "\\pndec";
    }
}

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : m_doc(doc) {}
    QByteArray run();

private:
    void collectTables();
    int fontIndex(const QTextCharFormat &f);
    int colorIndex(const QColor &c) const { return m_colorIndex.value(c.rgb(), 0); }
    void writeHeader();
    void writeInfo();
    void writeBlock(const QTextBlock &block);
    void writeRuns(const QTextBlock &block);
    void writeRun(const QTextFragment &frag);
    QByteArray runStart(const QTextCharFormat &f);
    void writeText(QStringView text);
    void word(const char *w) { m_out.append(w); }
    void word(const char *w, long long n)
    {
        m_out.append(w);
        m_out.append(QByteArray::number(n));
    }
    void lineBreakIfLong();

    const QTextDocument &m_doc;
    QByteArray m_out;
    qsizetype m_lineStart = 0;
    QString m_defaultFamily;
    double m_defaultSize = 12;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QFont::StyleHint> m_fontHints;
    QList<QColor> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QHash<int, QByteArray> m_runStart;  // by the document's format index
};

QByteArray Writer::run()
{
    const QFont def = m_doc.defaultFont();
    m_defaultFamily = def.family();
    if (def.pointSizeF() > 0)
        m_defaultSize = def.pointSizeF();
    else if (def.pixelSize() > 0)
        m_defaultSize = def.pixelSize() * 0.75;
    m_fonts.append(m_defaultFamily);
    m_fontIndex.insert(m_defaultFamily, 0);
    m_fontHints.append(def.styleHint());
    collectTables();

    m_out.reserve(m_doc.characterCount() * 2 + 1024);
    writeHeader();
    // Every paragraph ends in \par, the last one too, as word processors
    // write it; readers take the final mark as the end of the document.
    // A long line held as several blocks (LongLines) is one paragraph.
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        writeBlock(b);
        if (LongLines::continuesLine(b.next()))
            continue;
        word("\\par");
        m_out.append("\r\n");
        m_lineStart = m_out.size();
    }
    m_out.append("}\r\n");
    return m_out;
}

// The document keeps each distinct format once; its fonts and colours are
// those of the formats, so the tables come from them and not from every
// run of text.
void Writer::collectTables()
{
    for (const QTextFormat &format : m_doc.allFormats()) {
        if (!format.isCharFormat())
            continue;
        const QTextCharFormat f = format.toCharFormat();
        fontIndex(f);
        for (auto p : {QTextFormat::ForegroundBrush, QTextFormat::BackgroundBrush}) {
            if (!hasBrush(f, p))
                continue;
            const QColor c = f.brushProperty(p).color();
            if (!m_colorIndex.contains(c.rgb())) {
                m_colors.append(c);
                m_colorIndex.insert(c.rgb(), static_cast<int>(m_colors.size()));
            }
        }
    }
}

int Writer::fontIndex(const QTextCharFormat &f)
{
    const QString family = familyOf(f, m_defaultFamily);
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.constEnd())
        return *it;
    const int index = static_cast<int>(m_fonts.size());
    m_fonts.append(family);
    m_fontHints.append(f.fontStyleHint());
    m_fontIndex.insert(family, index);
    return index;
}

void Writer::writeHeader()
{
    m_out.append("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031\\uc1\r\n{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        word("{\\f", i);
        word(familyClass(m_fontHints.at(i)));
        word("\\fcharset0 ");
        writeText(m_fonts.at(i));
        m_out.append(";}");
    }
    m_out.append("}\r\n");
    if (!m_colors.isEmpty()) {
        m_out.append("{\\colortbl ;");
        for (const QColor &c : m_colors) {
            word("\\red", c.red());
            word("\\green", c.green());
            word("\\blue", c.blue());
            m_out.append(';');
        }
        m_out.append("}\r\n");
    }
    m_out.append("{\\*\\generator Quenora;}");
    writeInfo();
    m_out.append("\\viewkind4\r\n");
    m_lineStart = m_out.size();
}

// What the document says about itself, so that a saved book keeps its
// title, author and year (the cover stays behind).
void Writer::writeInfo()
{
    const DocumentMetadata meta = DocumentMetadata::of(m_doc);
    if (meta.title.isEmpty() && meta.author.isEmpty() && meta.year.isEmpty())
        return;
    m_out.append("{\\info");
    for (const auto &[name, text] : {std::pair{"{\\title ", meta.title}, std::pair{"{\\author ", meta.author}}) {
        if (text.isEmpty())
            continue;
        m_out.append(name);
        writeText(text);
        m_out.append('}');
    }
    if (!meta.year.isEmpty()) {
        word("{\\creatim\\yr", meta.year.toInt());
        m_out.append('}');
    }
    m_out.append('}');
}

void Writer::writeBlock(const QTextBlock &block)
{
    QChar joiner;
    if (LongLines::continuesLine(block, &joiner)) {
        if (!joiner.isNull())
            writeText(QString(joiner));
        writeRuns(block);
        return;
    }
    const QTextBlockFormat bf = block.blockFormat();
    word("\\pard");
    const Qt::Alignment h = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignHCenter)
        word("\\qc");
    else if (h & Qt::AlignJustify)
        word("\\qj");
    else if (h & Qt::AlignRight)
        word("\\qr");
    auto twips = [](double units) { return std::llround(units * kTwipsPerUnit); };
    QTextList *list = block.textList();
    if (list) {
        const QTextListFormat lf = list->format();
        const int indent = std::max(lf.indent(), 1);
        word("\\fi-360\\li", 360LL * (indent + 1));
    } else {
        if (twips(bf.leftMargin()))
            word("\\li", twips(bf.leftMargin()));
        if (twips(bf.textIndent()))
            word("\\fi", twips(bf.textIndent()));
    }
    if (twips(bf.rightMargin()))
        word("\\ri", twips(bf.rightMargin()));
    if (twips(bf.topMargin()))
        word("\\sb", twips(bf.topMargin()));
    if (twips(bf.bottomMargin()))
        word("\\sa", twips(bf.bottomMargin()));
    // Headings keep their level, and with it the chapter starts.
    if (bf.headingLevel() >= 1 && bf.headingLevel() <= 6)
        word("\\outlinelevel", bf.headingLevel() - 1);
    if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        word("\\page");
    m_out.append(' ');

    if (list) {
        // The marker text is for readers without list support; the \pn
        // group tells the others (and us) what kind of list it is.
        const QTextListFormat::Style style = list->format().style();
        if (isBulletStyle(style)) {
            m_out.append("{\\pntext\\f0 \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'b7}}");
        } else {
            m_out.append("{\\pntext\\f0 ");
            writeText(list->itemText(block));
            m_out.append("\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1");
            m_out.append(numberingWord(style));
            m_out.append("{\\pntxta.}}");
        }
    }

    writeRuns(block);
}

void Writer::writeRuns(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (frag.isValid())
            writeRun(frag);
    }
}

void Writer::writeRun(const QTextFragment &frag)
{
    const int index = frag.charFormatIndex();
    auto cached = m_runStart.constFind(index);
    if (cached == m_runStart.constEnd())
        cached = m_runStart.insert(index, runStart(frag.charFormat()));
    if (cached->isNull())
        return; // an image: no text
    m_out.append(*cached);
    writeText(frag.text());
    m_out.append('}');
    if (cached->startsWith("{\\field"))
        m_out.append("}}");
}

// The opening of a run's group in a format: the field of a link, then the
// character formatting words.
QByteArray Writer::runStart(const QTextCharFormat &f)
{
    if (f.isImageFormat())
        return {};
    QByteArray saved;
    saved.swap(m_out);
    const bool link = f.isAnchor() && !f.anchorHref().isEmpty();
    if (link) {
        m_out.append("{\\field{\\*\\fldinst{HYPERLINK \"");
        writeText(f.anchorHref());
        m_out.append("\"}}{\\fldrslt");
    }
    word("{\\f", fontIndex(f));
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : m_defaultSize;
    word("\\fs", std::max(2LL, std::llround(size * 2)));
    if (f.fontWeight() > QFont::Medium)
        word("\\b");
    if (f.fontItalic())
        word("\\i");
    switch (f.underlineStyle()) {
    case QTextCharFormat::SingleUnderline: word("\\ul"); break;
    case QTextCharFormat::DashUnderline: word("\\uldash"); break;
    case QTextCharFormat::DotLine:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine: word("\\uld"); break;
    case QTextCharFormat::WaveUnderline: word("\\ulwave"); break;
    default:
        // A spell-check squiggle is no part of the document.
        break;
    }
    if (f.fontStrikeOut())
        word("\\strike");
    if (f.fontCapitalization() == QFont::AllUppercase)
        word("\\caps");
    else if (f.fontCapitalization() == QFont::SmallCaps)
        word("\\scaps");
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        word("\\super");
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        word("\\sub");
    if (hasBrush(f, QTextFormat::ForegroundBrush))
        word("\\cf", colorIndex(f.foreground().color()));
    if (hasBrush(f, QTextFormat::BackgroundBrush)) {
        // WordPad reads the highlight, Word and LibreOffice the shading.
        const int bg = colorIndex(f.background().color());
        word("\\chcbpat", bg);
        word("\\highlight", bg);
    }
    m_out.append(' ');
    saved.swap(m_out);
    return saved;
}

void Writer::lineBreakIfLong()
{
    if (m_out.size() - m_lineStart > kLineLength) {
        m_out.append("\r\n");
        m_lineStart = m_out.size();
    }
}

void Writer::writeText(QStringView text)
{
    char hex[5] = {'\\', '\'', 0, 0, 0};
    static const char digits[] = "0123456789abcdef";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '\\': m_out.append("\\\\"); break;
        case '{': m_out.append("\\{"); break;
        case '}': m_out.append("\\}"); break;
        case '\t': m_out.append("\\tab "); break;
        case QChar::LineSeparator: m_out.append("\\line "); break;
        case QChar::ParagraphSeparator: m_out.append("\\par "); break;
        case QChar::Nbsp: m_out.append("\\~"); break;
        case QChar::ObjectReplacementCharacter:
        case 0xFDD0: // frame markers of tables inside the document
        case 0xFDD1:
            break;
        default:
            if (u >= 0x20 && u < 0x80) {
                m_out.append(static_cast<char>(u));
                break;
            }
            // Control characters, rare as they are in text, go as \uN too,
            // so that nothing the document holds is lost.
            if (const int b = CodePages::encodeWindows1252(c); b >= 0x80) {
                hex[2] = digits[b >> 4];
                hex[3] = digits[b & 15];
                m_out.append(hex, 4);
                break;
            }
            m_out.append("\\u");
            m_out.append(QByteArray::number(static_cast<int>(static_cast<qint16>(u))));
            m_out.append('?');
            break;
        }
        lineBreakIfLong();
    }
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &doc)
{
    return Writer(doc).run();
}
