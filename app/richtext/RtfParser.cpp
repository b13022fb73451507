#include "RtfParser.h"

#include "CodePages.h"

#include <QTextDocument>

#include <algorithm>

namespace rtf {

namespace {

// Nesting deeper than this is not followed (real files stay below 30);
// deeper groups share the state of the deepest one we track.
constexpr int kMaxDepth = 512;
// Title and author are kept up to this many characters; the rest of a
// longer one is dropped.
constexpr qsizetype kMaxInfoText = 4096;

void appendInfo(QString &to, char16_t c)
{
    if (to.size() < kMaxInfoText)
        to.append(QChar(c));
}

} // namespace

RtfReader::Result Parser::run()
{
    m_builder.begin();
    bool end = false;
    while (!end && !m_finished) {
        const Token t = m_tokens.next();
        switch (t.kind) {
        case Tokenizer::Kind::End:
            end = true;
            break;
        case Tokenizer::Kind::GroupOpen:
            openGroup();
            break;
        case Tokenizer::Kind::GroupClose:
            closeGroup();
            break;
        case Tokenizer::Kind::Word:
            controlWord(t);
            break;
        case Tokenizer::Kind::Symbol:
            controlSymbol(t.byte);
            break;
        case Tokenizer::Kind::HexByte:
            m_ignorable = false;
            hexByte(t.byte);
            break;
        case Tokenizer::Kind::Text:
            m_ignorable = false;
            if (m_started)
                text(t.text);
            break;
        case Tokenizer::Kind::Broken:
            m_ignorable = false;
            m_damaged = true;
            break;
        }
    }
    if (!m_finished)
        m_damaged = m_damaged || m_started || m_size > 0;
    m_builder.finish(m_cur.para);
    m_result.damaged = m_damaged;
    return m_result;
}

void Parser::openGroup()
{
    m_ignorable = false;
    m_decoder.endRun();
    if (!m_started) {
        m_started = true;
        return; // the outermost group holds the initial state
    }
    if (static_cast<int>(m_stack.size()) >= kMaxDepth) {
        ++m_overflow;
        m_damaged = true;
        return;
    }
    m_stack.push_back(m_cur);
}

void Parser::closeGroup()
{
    m_ignorable = false;
    m_decoder.endRun();
    if (!m_started) {
        m_damaged = true;
        return;
    }
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (m_stack.empty()) {
        // The outermost group ends the document; what follows it is not RTF.
        m_finished = true;
        return;
    }
    const State closed = m_cur;
    m_cur = m_stack.back();
    m_stack.pop_back();
    switch (closed.dest) {
    case Dest::FontTable:
        if (m_cur.dest != Dest::FontTable) {
            m_tables.commitFont();
            updateCodePage(); // the default font may name its own charset
        }
        else
            m_tables.commitNamedFont(); // a {\fN ...} entry that lacks its ';'
        break;
    case Dest::Footnote:
        if (m_cur.dest != Dest::Footnote)
            m_builder.endFootnote();
        break;
    case Dest::ParaNumbering:
        if (showsText(m_cur.dest)) {
            m_cur.para.pnStyle = closed.para.pnStyle;
            m_cur.para.level = closed.para.level;
        }
        break;
    default:
        break;
    }
}

void Parser::controlWord(const Token &t)
{
    const bool ignorable = m_ignorable;
    m_ignorable = false;
    const Keyword *k = m_keywords.find(t.text);
    if (!k) {
        if (ignorable)
            m_cur.dest = Dest::Skip;
        else
            m_decoder.skipFallback(); // an unknown word still counts as a \uN fallback
        return;
    }
    if (ignorable) {
        // \* before a word that is no destination of ours: the whole group
        // is something we do not know.
        if (!m_started || k->group != Group::Destination)
            m_cur.dest = Dest::Skip;
        else
            startDestination(k->kw);
        return;
    }
    keyword(*k, t);
}

void Parser::controlSymbol(unsigned char c)
{
    if (c == '*') {
        m_ignorable = true;
        return;
    }
    m_ignorable = false;
    if (!m_started)
        return;
    if (m_decoder.skipFallback())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        appendChar(c);
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\t':
        appendChar('\t');
        break;
    case '\r':
    case '\n':
        if (m_cur.dest == Dest::Text)
            m_builder.endParagraph(m_cur.para);
        else if (m_cur.dest == Dest::Footnote)
            appendChar(' ');
        break;
    default:
        // \- (optional hyphen), \: (index subentry), \| (formula) and
        // anything unknown show nothing.
        break;
    }
}

// Dispatches a known control word to what handles its group.
void Parser::keyword(const Keyword &k, const Token &t)
{
    if (!m_started)
        return;
    const Dest dest = m_cur.dest;
    switch (k.group) {
    case Group::None:
        break;
    case Group::Destination:
        startDestination(k.kw);
        break;
    case Group::Document:
        documentWord(k, t);
        break;
    case Group::Character:
        if (k.kw == Kw::F && dest == Dest::FontTable) {
            m_tables.startFont(t.param);
            m_cur.codePage = m_ansiCodePage;
        } else if (m_cur.chr.apply(k, t.hasParam, t.param)) {
            updateCodePage();
        }
        break;
    case Group::Paragraph:
        if (k.kw == Kw::Ls && dest == Dest::ListOverrideTable)
            m_tables.addOverride(t.param);
        else
            m_cur.para.apply(k, t.param);
        break;
    case Group::Flow:
        flowWord(k);
        break;
    case Group::Symbol:
        if (!m_decoder.skipFallback())
            appendChar(static_cast<char16_t>(k.arg));
        break;
    case Group::FontTable:
        if (k.kw == Kw::FFamily) {
            m_tables.setFontHint(static_cast<QFont::StyleHint>(k.arg));
        } else if (dest == Dest::FontTable) {
            m_tables.setFontCharset(t.param);
            const int cp = CodePages::forCharset(t.param);
            m_cur.codePage = cp ? cp : m_ansiCodePage;
        }
        break;
    case Group::ColorTable:
        m_tables.setColorComponent(k.arg, t.param);
        break;
    case Group::ListTable:
        m_tables.listWord(k, dest, t.param);
        break;
    case Group::Numbering:
        if (dest == Dest::ParaNumbering)
            m_cur.para.applyNumbering(k);
        break;
    }
}

void Parser::startDestination(Kw kw)
{
    const Dest d = m_cur.dest;
    switch (kw) {
    case Kw::DestSkip:
        m_cur.dest = Dest::Skip;
        break;
    case Kw::FontTbl:
        m_cur.dest = Dest::FontTable;
        m_tables.startFontTable();
        break;
    case Kw::ColorTbl:
        m_cur.dest = Dest::ColorTable;
        m_tables.startColorTable();
        break;
    case Kw::ListTable:
        m_cur.dest = Dest::ListTable;
        break;
    case Kw::ListOverrideTable:
        m_cur.dest = Dest::ListOverrideTable;
        break;
    case Kw::Pn:
        if (showsText(d))
            m_cur.dest = Dest::ParaNumbering;
        break;
    case Kw::Field:
        if (showsText(d))
            m_builder.startField();
        break;
    case Kw::FldInst:
        if (showsText(d)) {
            m_builder.startField();
            m_cur.dest = Dest::FieldInst;
        }
        break;
    case Kw::FldRslt:
        if (showsText(d))
            m_cur.chr.link = m_builder.fieldLink();
        break;
    case Kw::ShapeText:
        if (d != Dest::Object)
            break;
        [[fallthrough]];
    case Kw::Footnote:
        if (showsText(d) || kw == Kw::ShapeText) {
            m_cur.dest = Dest::Footnote;
            // The note is read in place: kept apart from the words around
            // it, without the tab that follows its number.
            m_builder.startFootnote();
        } else {
            m_cur.dest = Dest::Skip;
        }
        break;
    case Kw::Object:
        if (showsText(d))
            m_cur.dest = Dest::Object;
        break;
    case Kw::Result:
        if (d == Dest::Object)
            m_cur.dest = Dest::Text;
        break;
    case Kw::Upr:
        if (showsText(d))
            m_cur.dest = Dest::Upr;
        break;
    case Kw::Ud:
        if (d == Dest::Upr) {
            // The Unicode text takes the place of the ANSI text beside it.
            m_cur.dest = Dest::Text;
            for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
                if (it->dest != Dest::Upr) {
                    m_cur.dest = it->dest;
                    break;
                }
            }
        }
        else if (!showsText(d))
            m_cur.dest = Dest::Skip;
        break;
    case Kw::Info:
        if (showsText(d))
            m_cur.dest = Dest::Info;
        else if (d != Dest::Info)
            m_cur.dest = Dest::Skip;
        break;
    case Kw::InfoTitle:
    case Kw::InfoAuthor:
    case Kw::InfoCreated:
        // Only in the document information; a title of a picture or an
        // author of a comment is no document's.
        if (d != Dest::Info)
            m_cur.dest = Dest::Skip;
        else if (kw == Kw::InfoTitle)
            m_cur.dest = Dest::InfoTitle;
        else if (kw == Kw::InfoAuthor)
            m_cur.dest = Dest::InfoAuthor;
        else
            m_cur.dest = Dest::InfoCreated;
        break;
    default:
        break;
    }
}

void Parser::documentWord(const Keyword &k, const Token &t)
{
    switch (k.kw) {
    case Kw::CodePage:
        m_ansiCodePage = k.arg;
        updateCodePage();
        break;
    case Kw::AnsiCpg:
        if (t.param > 0) {
            m_ansiCodePage = t.param;
            updateCodePage();
        }
        break;
    case Kw::Deff:
        m_tables.setDefaultFont(t.param);
        break;
    case Kw::Uc:
        m_cur.uc = std::clamp(t.param, 0, 10);
        break;
    case Kw::U:
        m_decoder.unicode(t.param, m_cur.uc, [this](char16_t c) { appendChar(c); });
        break;
    case Kw::Yr:
        if (m_cur.dest == Dest::InfoCreated && t.hasParam)
            m_result.year = t.param;
        break;
    case Kw::Bin:
        // Raw binary data: never read as text or as control words.
        m_tokens.skip(t.fullParam);
        m_decoder.skipFallback();
        break;
    default:
        break;
    }
}

void Parser::flowWord(const Keyword &k)
{
    const Dest dest = m_cur.dest;
    switch (k.kw) {
    case Kw::Par:
        if (dest == Dest::Footnote)
            appendChar(' ');
        else if (dest == Dest::Text)
            m_builder.endParagraph(m_cur.para);
        break;
    case Kw::Page:
        if (dest == Dest::Text)
            m_builder.pageBreak(m_cur.para);
        break;
    case Kw::Cell:
        if (showsText(dest))
            m_builder.endCell();
        break;
    case Kw::Row:
        if (dest == Dest::Text)
            m_builder.endRow(m_cur.para);
        break;
    default:
        break;
    }
}

void Parser::updateCodePage()
{
    if (m_cur.dest == Dest::FontTable)
        return;
    const int cp = m_tables.fontCodePage(m_cur.chr.font);
    m_cur.codePage = cp ? cp : m_ansiCodePage;
}

void Parser::text(std::string_view bytes)
{
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        // Most bytes of a file are plain ASCII text: straight to the document
        // when nothing waits in the decoder (what rawByte would do).
        if (b >= 0x20 && b < 0x80 && showsText(m_cur.dest) && m_decoder.idle())
            m_builder.appendText(b, m_cur.chr, m_cur.dest == Dest::Footnote);
        else
            rawByte(b);
    }
}

void Parser::rawByte(unsigned char b)
{
    if (b == '\t') {
        if (!m_decoder.skipFallback())
            appendChar('\t');
        return;
    }
    if (b < 0x20)
        return; // NUL and other controls are no text
    if (m_cur.dest == Dest::ColorTable && b == ';') {
        m_tables.commitColor();
        return;
    }
    if (m_cur.dest == Dest::FontTable && b == ';') {
        m_tables.commitFont();
        return;
    }
    if (b < 0x80 && !m_decoder.leadBytePending()) {
        if (!m_decoder.skipFallback())
            appendChar(b);
        return;
    }
    hexByte(b);
}

void Parser::hexByte(unsigned char b)
{
    if (!m_started)
        return;
    m_decoder.byte(b, m_cur.codePage, [this](char16_t c) {
        if (m_cur.dest == Dest::ColorTable && c == ';')
            m_tables.commitColor();
        else
            appendChar(c);
    });
}

// A character of the file, to where the current destination puts it.
void Parser::appendChar(char16_t c)
{
    switch (m_cur.dest) {
    case Dest::Text:
    case Dest::Footnote:
        m_decoder.pair(c, [this](char16_t u) { m_builder.appendText(u, m_cur.chr, m_cur.dest == Dest::Footnote); });
        break;
    case Dest::FontTable:
        if (c == ';')
            m_tables.commitFont();
        else
            m_tables.appendFontName(c);
        break;
    case Dest::FieldInst:
        m_builder.appendFieldInstruction(c);
        break;
    case Dest::InfoTitle:
        m_decoder.pair(c, [this](char16_t u) { appendInfo(m_result.title, u); });
        break;
    case Dest::InfoAuthor:
        m_decoder.pair(c, [this](char16_t u) { appendInfo(m_result.author, u); });
        break;
    default:
        break;
    }
}

} // namespace rtf
