#include "RtfReader.h"

#include "CodePages.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Nesting deeper than this is not followed (real files stay below 30);
// deeper groups share the state of the deepest one we track.
constexpr int kMaxDepth = 512;
// Beyond these counts a table is certainly not a real one; later entries
// are ignored instead of growing memory with the input.
constexpr int kMaxTableEntries = 65536;
// Control-word parameters are clamped to this magnitude.
constexpr int kMaxParam = 1 << 24;
// Whole parameters (\bin) saturate here, far beyond any file's size.
constexpr long long kMaxFullParam = (1LL << 62) / 10;
// Length of the field instruction we look at (for a link target).
constexpr int kMaxFieldInst = 4096;
// Twips are turned into document units (pixels at 96 dpi).
constexpr double kTwipsPerUnit = 15.0;
constexpr int kMaxTwips = 31680; // 22 inches

enum class Dest : quint8 {
    Text,              // document text
    Footnote,          // document text, shown where the footnote is anchored
    Skip,              // nothing of it is shown
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    ParaNumbering,     // {\*\pn ...}: the list style of a paragraph
    FieldInst,         // collected, for a link target
    Upr,               // ANSI fallback beside a Unicode {\*\ud ...}
    Object,            // skipped except for its {\result ...}
};

bool showsText(Dest d)
{
    return d == Dest::Text || d == Dest::Footnote;
}

enum class Align : quint8 { Left, Center, Right, Justify };
enum class Caps : quint8 { None, All, Small };
enum class VAlign : quint8 { Normal, Super, Sub };

struct CharState {
    int font = -1;          // font table number; -1: the default font
    int fontSize = 24;      // half points
    int fg = 0;             // colour table index, 0: automatic
    int bg = 0;
    int link = -1;          // index into the parser's link targets
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    Caps caps = Caps::None;
    VAlign valign = VAlign::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharState &) const = default;
};

struct ParaState {
    int li = 0;
    int ri = 0;
    int fi = 0;
    int sb = 0;
    int sa = 0;
    int list = 0;           // \lsN override number; 0: not in a list
    int level = 0;          // \ilvlN
    // Legacy paragraph numbering ({\*\pn ...}): a list style, 0 for none.
    int pnStyle = 0;
    Align align = Align::Left;

    bool operator==(const ParaState &) const = default;
};

struct State {
    CharState chr;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;             // characters that follow \uN as its fallback
    int codePage = 1252;    // of \'hh and raw 8-bit bytes, follows \f
};

struct FontEntry {
    QString name;
    int charset = 0;
    QFont::StyleHint hint = QFont::AnyStyle;
};

enum class Kw : quint8 {
    // destinations
    DestSkip, FontTbl, ColorTbl, ListTable, ListOverrideTable, Pn, Field, FldInst, FldRslt,
    Footnote, Object, Result, ShapeText, Upr, Ud,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U, Bin,
    // characters
    Plain, B, I, Ul, UlDouble, UlDot, UlDash, UlWave, UlNone, Strike, F, Fs, Cf, Cb, Highlight,
    V, CapsAll, CapsSmall, Super, Sub, NoSuperSub,
    // paragraphs
    Pard, Par, Line, Tab, Page, Sect, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Cell, Row, Ls, Ilvl,
    // tables of fonts, colours and lists
    FCharset, FNil, FRoman, FSwiss, FModern, FScript, FDecor, FTech, Red, Green, Blue,
    List, ListLevel, LevelNfc, ListId, ListOverride,
    PnLvlBlt, PnLvlBody, PnLvlCont, PnDec, PnUcRm, PnLcRm, PnUcLtr, PnLcLtr,
    // special characters
    Char,
};

struct KwInfo {
    Kw kw;
    char16_t ch = 0; // for Kw::Char
};

const std::unordered_map<std::string_view, KwInfo> &keywords()
{
    static const std::unordered_map<std::string_view, KwInfo> table = [] {
        std::unordered_map<std::string_view, KwInfo> t;
        // Destinations whose content is not document text. Those written
        // with \* are skipped anyway when unknown; these come without it.
        for (const char *name : {"stylesheet", "info", "pict", "header", "headerl", "headerr",
                                 "headerf", "footer", "footerl", "footerr", "footerf", "pntext",
                                 "listtext", "xe", "tc", "tcn", "txe", "rxe", "annotation",
                                 "atnid", "atnauthor", "atndate", "atnref", "atnparent",
                                 "atrfstart", "atrfend", "nonshppict", "revtbl", "filetbl",
                                 "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
                                 "template", "bkmkstart", "bkmkend", "private", "datafield",
                                 "objdata", "objclass", "objname", "themedata", "pgdsctbl",
                                 "generator", "rsidtbl", "xmlnstbl", "shprslt", "sp", "sn",
                                 "sv", "nonesttables", "pnseclvl", "pntxta", "pntxtb", "fldtype",
                                 "formfield", "listpicture", "userprops", "docvar", "title",
                                 "subject", "author", "operator", "keywords", "comment",
                                 "doccomm", "falt", "panose", "fontemb", "fontfile",
                                 "latentstyles", "colorschememapping", "mmathPr"})
            t.emplace(name, KwInfo{Kw::DestSkip});
        const std::pair<const char *, Kw> words[] = {
            {"fonttbl", Kw::FontTbl}, {"colortbl", Kw::ColorTbl}, {"listtable", Kw::ListTable},
            {"listoverridetable", Kw::ListOverrideTable}, {"pn", Kw::Pn}, {"field", Kw::Field},
            {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"footnote", Kw::Footnote},
            {"object", Kw::Object}, {"result", Kw::Result}, {"shpinst", Kw::Object},
            {"shptxt", Kw::ShapeText}, {"upr", Kw::Upr}, {"ud", Kw::Ud},
            {"rtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc},
            {"pca", Kw::Pca}, {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc},
            {"u", Kw::U}, {"bin", Kw::Bin},
            {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"uldb", Kw::UlDouble},
            {"ulth", Kw::Ul}, {"ulw", Kw::Ul}, {"uld", Kw::UlDot}, {"ulthd", Kw::UlDot},
            {"uldash", Kw::UlDash}, {"uldashd", Kw::UlDash}, {"uldashdd", Kw::UlDash},
            {"ulldash", Kw::UlDash}, {"ulthdash", Kw::UlDash}, {"ulthdashd", Kw::UlDash},
            {"ulthdashdd", Kw::UlDash}, {"ulthldash", Kw::UlDash}, {"ulwave", Kw::UlWave},
            {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave}, {"ulnone", Kw::UlNone},
            {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"f", Kw::F}, {"fs", Kw::Fs},
            {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"highlight", Kw::Highlight},
            {"v", Kw::V}, {"caps", Kw::CapsAll}, {"scaps", Kw::CapsSmall}, {"super", Kw::Super},
            {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub},
            {"pard", Kw::Pard}, {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab},
            {"page", Kw::Page}, {"sect", Kw::Sect}, {"column", Kw::Sect}, {"ql", Kw::Ql},
            {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj}, {"qd", Kw::Qj}, {"li", Kw::Li},
            {"ri", Kw::Ri}, {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"cell", Kw::Cell},
            {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row}, {"ls", Kw::Ls},
            {"ilvl", Kw::Ilvl},
            {"fcharset", Kw::FCharset}, {"fnil", Kw::FNil}, {"froman", Kw::FRoman},
            {"fswiss", Kw::FSwiss}, {"fmodern", Kw::FModern}, {"fscript", Kw::FScript},
            {"fdecor", Kw::FDecor}, {"ftech", Kw::FTech}, {"red", Kw::Red}, {"green", Kw::Green},
            {"blue", Kw::Blue}, {"list", Kw::List}, {"listlevel", Kw::ListLevel},
            {"levelnfc", Kw::LevelNfc}, {"listid", Kw::ListId}, {"listoverride", Kw::ListOverride},
            {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlbody", Kw::PnLvlBody}, {"pnlvlcont", Kw::PnLvlCont},
            {"pndec", Kw::PnDec}, {"pnucrm", Kw::PnUcRm}, {"pnlcrm", Kw::PnLcRm},
            {"pnucltr", Kw::PnUcLtr}, {"pnlcltr", Kw::PnLcLtr},
        };
        for (const auto &[name, kw] : words)
            t.emplace(name, KwInfo{kw});
        const std::pair<const char *, char16_t> chars[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D}, {"zwnj", 0x200C},
        };
        for (const auto &[name, ch] : chars)
            t.emplace(name, KwInfo{Kw::Char, ch});
        return t;
    }();
    return table;
}

// RTF list numbering formats (\levelnfc) as list styles.
QTextListFormat::Style styleForNfc(int nfc)
{
    switch (nfc) {
    case 0: return QTextListFormat::ListDecimal;
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23: return QTextListFormat::ListDisc;
    default: return QTextListFormat::ListDecimal;
    }
}

class Parser
{
public:
    Parser(QByteArrayView bytes, QTextDocument *doc)
        : m_data(reinterpret_cast<const unsigned char *>(bytes.data()))
        , m_size(bytes.size())
        , m_doc(doc)
        , m_cursor(doc)
    {
    }

    RtfReader::Result run();

private:
    void openGroup();
    void closeGroup();
    void controlWord();
    void controlSymbol(unsigned char c);
    void handleKeyword(const KwInfo &info, bool hasParam, int param);
    bool startDestination(Kw kw);
    void rawByte(unsigned char b);
    void hexByte(unsigned char b);
    void unicodeChar(int value);
    void appendChar(char16_t c);
    void appendTextChar(char16_t c);
    bool consumeSkip();

    void flushText();
    void beginContent();
    bool endsWithSpace() const;
    void endParagraph();
    void finishParagraph();
    void commitFont();
    void commitColor();
    void updateCodePage();
    int fieldLink();
    QTextCharFormat charFormat(const CharState &s) const;
    const QTextCharFormat &cachedCharFormat(const CharState &s);
    QTextBlockFormat blockFormat(const ParaState &p) const;
    QTextListFormat::Style listStyle(const ParaState &p) const;

    const unsigned char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    long long m_fullParam = 0; // the last control word's parameter, unclamped, never negative
    QTextDocument *m_doc;
    QTextCursor m_cursor;

    std::vector<State> m_stack;
    State m_cur;
    int m_overflow = 0;        // groups opened beyond kMaxDepth
    bool m_started = false;    // the outermost group has been opened
    bool m_finished = false;   // ... and closed again
    bool m_damaged = false;
    bool m_ignorable = false;  // the last token was \*
    int m_skip = 0;            // fallback characters of a \uN still to skip
    char16_t m_highSurrogate = 0;

    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1;     // font table entry being read
    FontEntry m_fontEntry;
    QList<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    QHash<int, QList<int>> m_listLevels;   // \listid -> \levelnfc per level
    QList<int> m_currentLevels;
    QHash<int, int> m_overrides;           // \ls -> \listid
    int m_overrideListId = 0;
    QString m_fieldInst;
    QStringList m_links;

    // DBCS pages: a lead byte waits for its trail byte.
    int m_leadByte = -1;
    int m_decoderPage = 0;
    std::unique_ptr<QStringDecoder> m_decoder;

    // A document switches between a handful of formats; building each
    // QTextCharFormat once saves most of the work of a run of text.
    struct CachedFormat {
        CharState state;
        QTextCharFormat format;
    };
    std::vector<CachedFormat> m_formatCache;
    size_t m_formatCacheNext = 0;

    QString m_text;            // text not yet inserted, all in m_textState
    CharState m_textState;
    bool m_pendingBreak = false;  // a \par whose new paragraph has no content yet
    int m_pendingCells = 0;       // \cell separators written before the next text of the row
    bool m_paraHasContent = false;
    bool m_pageBreakNext = false;
    QTextBlockFormat m_blockFormat;  // of the paragraph last ended
    bool m_footnoteStart = false;  // no text of the current footnote yet
    bool m_afterFootnote = false;  // a footnote just ended
    QHash<quint64, QTextList *> m_lists;  // lists of the current run of list paragraphs
};

RtfReader::Result Parser::run()
{
    keywords(); // built once, outside the loop
    m_colors.reserve(16);
    // One edit block for the whole file: outside one, every insertion lays
    // out its paragraph again, which makes long paragraphs quadratic.
    m_cursor.beginEditBlock();
    while (m_pos < m_size && !m_finished) {
        const unsigned char c = m_data[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            if (m_pos >= m_size) {
                m_damaged = true;
                break;
            }
            if ((m_data[m_pos] >= 'a' && m_data[m_pos] <= 'z') || (m_data[m_pos] >= 'A' && m_data[m_pos] <= 'Z'))
                controlWord();
            else
                controlSymbol(m_data[m_pos++]);
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_ignorable = false;
            if (m_started)
                rawByte(c);
            break;
        }
    }
    if (!m_finished)
        m_damaged = m_damaged || m_started || m_size > 0;
    flushText();
    if (!m_pendingBreak)
        finishParagraph();
    m_cursor.endEditBlock();
    return RtfReader::Result{m_damaged};
}

void Parser::openGroup()
{
    m_ignorable = false;
    m_skip = 0;
    m_leadByte = -1;
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
    m_skip = 0;
    m_leadByte = -1;
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
            commitFont();
            updateCodePage(); // the default font may name its own charset
        }
        else if (m_fontNumber >= 0 && !m_fontEntry.name.trimmed().isEmpty())
            commitFont(); // a {\fN ...} entry that lacks its ';'
        break;
    case Dest::ListTable:
        break;
    case Dest::Footnote:
        if (m_cur.dest != Dest::Footnote)
            m_afterFootnote = true;
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

void Parser::controlWord()
{
    const qsizetype start = m_pos;
    while (m_pos < m_size && ((m_data[m_pos] >= 'a' && m_data[m_pos] <= 'z') || (m_data[m_pos] >= 'A' && m_data[m_pos] <= 'Z')))
        ++m_pos;
    // Names longer than any real one cannot match; they are read to the end
    // and ignored.
    const std::string_view name(reinterpret_cast<const char *>(m_data + start),
                                static_cast<size_t>(std::min<qsizetype>(m_pos - start, 64)));
    bool negative = false;
    bool hasParam = false;
    long long value = 0;
    if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size && m_data[m_pos + 1] >= '0' && m_data[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    // \bin's length is a count of bytes to skip, not a size to clamp: a
    // clamped one would read the rest of a long payload as text.
    long long fullValue = 0;
    while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
        hasParam = true;
        if (value <= kMaxParam)
            value = value * 10 + (m_data[m_pos] - '0');
        if (fullValue <= kMaxFullParam)
            fullValue = fullValue * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    m_fullParam = negative ? 0 : fullValue;
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the control word
    value = std::min<long long>(value, kMaxParam);
    const int param = static_cast<int>(negative ? -value : value);

    const bool ignorable = m_ignorable;
    m_ignorable = false;
    const auto &table = keywords();
    const auto it = table.find(name);
    if (it == table.end()) {
        if (ignorable)
            m_cur.dest = Dest::Skip;
        else
            consumeSkip(); // an unknown word still counts as a \uN fallback
        return;
    }
    if (ignorable) {
        // \* before a word that is no destination of ours: the whole group
        // is something we do not know.
        if (!m_started || !startDestination(it->second.kw))
            m_cur.dest = Dest::Skip;
        return;
    }
    handleKeyword(it->second, hasParam, param);
}

void Parser::controlSymbol(unsigned char c)
{
    switch (c) {
    case '*':
        m_ignorable = true;
        return;
    case '\'': {
        m_ignorable = false;
        auto hex = [](unsigned char h) -> int {
            if (h >= '0' && h <= '9')
                return h - '0';
            if (h >= 'a' && h <= 'f')
                return h - 'a' + 10;
            if (h >= 'A' && h <= 'F')
                return h - 'A' + 10;
            return -1;
        };
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_size && hex(m_data[m_pos]) >= 0) {
            value = value * 16 + hex(m_data[m_pos]);
            ++m_pos;
            ++digits;
        }
        if (digits == 0) {
            m_damaged = true;
            return;
        }
        hexByte(static_cast<unsigned char>(value));
        return;
    }
    default:
        break;
    }
    m_ignorable = false;
    if (!m_started)
        return;
    if (consumeSkip())
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
            endParagraph();
        else if (m_cur.dest == Dest::Footnote)
            appendChar(' ');
        break;
    default:
        // \- (optional hyphen), \: (index subentry), \| (formula) and
        // anything unknown show nothing.
        break;
    }
}

bool Parser::consumeSkip()
{
    if (m_skip > 0) {
        --m_skip;
        return true;
    }
    return false;
}

bool Parser::startDestination(Kw kw)
{
    const Dest d = m_cur.dest;
    switch (kw) {
    case Kw::DestSkip:
        m_cur.dest = Dest::Skip;
        return true;
    case Kw::FontTbl:
        m_cur.dest = Dest::FontTable;
        m_fontNumber = -1;
        return true;
    case Kw::ColorTbl:
        m_cur.dest = Dest::ColorTable;
        m_colors.clear();
        m_colorSet = false;
        m_red = m_green = m_blue = 0;
        return true;
    case Kw::ListTable:
        m_cur.dest = Dest::ListTable;
        return true;
    case Kw::ListOverrideTable:
        m_cur.dest = Dest::ListOverrideTable;
        return true;
    case Kw::Pn:
        if (showsText(d))
            m_cur.dest = Dest::ParaNumbering;
        return true;
    case Kw::Field:
        if (showsText(d))
            m_fieldInst.clear();
        return true;
    case Kw::FldInst:
        if (showsText(d)) {
            m_fieldInst.clear();
            m_cur.dest = Dest::FieldInst;
        }
        return true;
    case Kw::FldRslt:
        if (showsText(d))
            m_cur.chr.link = fieldLink();
        return true;
    case Kw::ShapeText:
        if (d != Dest::Object)
            return true;
        [[fallthrough]];
    case Kw::Footnote:
        if (showsText(d) || kw == Kw::ShapeText) {
            m_cur.dest = Dest::Footnote;
            // The note is read in place: kept apart from the words around
            // it, without the tab that follows its number.
            m_footnoteStart = true;
        } else {
            m_cur.dest = Dest::Skip;
        }
        return true;
    case Kw::Object:
        if (showsText(d))
            m_cur.dest = Dest::Object;
        return true;
    case Kw::Result:
        if (d == Dest::Object)
            m_cur.dest = Dest::Text;
        return true;
    case Kw::Upr:
        if (showsText(d))
            m_cur.dest = Dest::Upr;
        return true;
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
        return true;
    default:
        return false;
    }
}

int Parser::fieldLink()
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

void Parser::handleKeyword(const KwInfo &info, bool hasParam, int param)
{
    if (!m_started)
        return;
    if (startDestination(info.kw))
        return;

    const bool on = !hasParam || param != 0;
    CharState &chr = m_cur.chr;
    ParaState &para = m_cur.para;
    const Dest dest = m_cur.dest;

    switch (info.kw) {
    // document
    case Kw::Rtf:
        break;
    case Kw::Ansi:
        m_ansiCodePage = 1252;
        updateCodePage();
        break;
    case Kw::Mac:
        m_ansiCodePage = 10000;
        updateCodePage();
        break;
    case Kw::Pc:
        m_ansiCodePage = 437;
        updateCodePage();
        break;
    case Kw::Pca:
        m_ansiCodePage = 850;
        updateCodePage();
        break;
    case Kw::AnsiCpg:
        if (param > 0) {
            m_ansiCodePage = param;
            updateCodePage();
        }
        break;
    case Kw::Deff:
        m_defaultFont = param;
        break;
    case Kw::Uc:
        m_cur.uc = std::clamp(param, 0, 10);
        break;
    case Kw::U:
        unicodeChar(param);
        break;
    case Kw::Bin: {
        // Raw binary data: never read as text or as control words.
        Q_UNUSED(param);
        const qsizetype n = qsizetype(std::min<long long>(m_fullParam, m_size - m_pos));
        m_pos += n;
        consumeSkip();
        break;
    }
    case Kw::Char:
        if (!consumeSkip())
            appendChar(info.ch);
        break;

    // characters
    case Kw::Plain:
        chr = CharState();
        updateCodePage();
        break;
    case Kw::B:
        chr.bold = on;
        break;
    case Kw::I:
        chr.italic = on;
        break;
    case Kw::Ul:
    case Kw::UlDouble:
        chr.underline = on ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDot:
        chr.underline = on ? QTextCharFormat::DotLine : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlDash:
        chr.underline = on ? QTextCharFormat::DashUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlWave:
        chr.underline = on ? QTextCharFormat::WaveUnderline : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlNone:
        chr.underline = QTextCharFormat::NoUnderline;
        break;
    case Kw::Strike:
        chr.strike = on;
        break;
    case Kw::F:
        if (dest == Dest::FontTable) {
            if (m_fontNumber >= 0 && !m_fontEntry.name.trimmed().isEmpty())
                commitFont();
            m_fontNumber = param;
            m_fontEntry = FontEntry();
            m_cur.codePage = m_ansiCodePage;
        } else {
            chr.font = param;
            updateCodePage();
        }
        break;
    case Kw::Fs:
        chr.fontSize = hasParam ? std::clamp(param, 2, 3276) : 24;
        break;
    case Kw::Cf:
        chr.fg = std::max(param, 0);
        break;
    case Kw::Cb:
    case Kw::Highlight:
        chr.bg = std::max(param, 0);
        break;
    case Kw::V:
        chr.hidden = on;
        break;
    case Kw::CapsAll:
        chr.caps = on ? Caps::All : Caps::None;
        break;
    case Kw::CapsSmall:
        chr.caps = on ? Caps::Small : Caps::None;
        break;
    case Kw::Super:
        chr.valign = on ? VAlign::Super : VAlign::Normal;
        break;
    case Kw::Sub:
        chr.valign = on ? VAlign::Sub : VAlign::Normal;
        break;
    case Kw::NoSuperSub:
        chr.valign = VAlign::Normal;
        break;

    // paragraphs
    case Kw::Pard:
        para = ParaState();
        break;
    case Kw::Par:
    case Kw::Sect:
        if (dest == Dest::Footnote)
            appendChar(' ');
        else if (dest == Dest::Text)
            endParagraph();
        break;
    case Kw::Page:
        if (dest == Dest::Text) {
            // A break inside a paragraph starts a new one on the next page;
            // at the start of a paragraph it only moves that one.
            if (m_paraHasContent)
                endParagraph();
            m_pageBreakNext = true;
        }
        break;
    case Kw::Line:
        if (!consumeSkip())
            appendChar(QChar::LineSeparator);
        break;
    case Kw::Tab:
        if (!consumeSkip())
            appendChar('\t');
        break;
    case Kw::Cell:
        if (showsText(dest)) {
            flushText();
            ++m_pendingCells;
        }
        break;
    case Kw::Row:
        if (dest == Dest::Text) {
            m_pendingCells = 0;
            endParagraph();
        }
        break;
    case Kw::Ql:
        para.align = Align::Left;
        break;
    case Kw::Qc:
        para.align = Align::Center;
        break;
    case Kw::Qr:
        para.align = Align::Right;
        break;
    case Kw::Qj:
        para.align = Align::Justify;
        break;
    case Kw::Li:
        para.li = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Ri:
        para.ri = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Fi:
        para.fi = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Sb:
        para.sb = std::clamp(param, 0, kMaxTwips);
        break;
    case Kw::Sa:
        para.sa = std::clamp(param, 0, kMaxTwips);
        break;
    case Kw::Ls:
        if (dest == Dest::ListOverrideTable) {
            if (m_overrides.size() < kMaxTableEntries)
                m_overrides.insert(param, m_overrideListId);
        } else {
            para.list = std::max(param, 0);
        }
        break;
    case Kw::Ilvl:
        para.level = std::clamp(param, 0, 8);
        break;

    // tables of fonts, colours and lists
    case Kw::FCharset:
        if (dest == Dest::FontTable) {
            m_fontEntry.charset = param;
            const int cp = CodePages::forCharset(param);
            m_cur.codePage = cp ? cp : m_ansiCodePage;
        }
        break;
    case Kw::FNil:
    case Kw::FTech:
        break;
    case Kw::FRoman:
        m_fontEntry.hint = QFont::Serif;
        break;
    case Kw::FSwiss:
        m_fontEntry.hint = QFont::SansSerif;
        break;
    case Kw::FModern:
        m_fontEntry.hint = QFont::Monospace;
        break;
    case Kw::FScript:
        m_fontEntry.hint = QFont::Cursive;
        break;
    case Kw::FDecor:
        m_fontEntry.hint = QFont::Decorative;
        break;
    case Kw::Red:
        m_red = std::clamp(param, 0, 255);
        m_colorSet = true;
        break;
    case Kw::Green:
        m_green = std::clamp(param, 0, 255);
        m_colorSet = true;
        break;
    case Kw::Blue:
        m_blue = std::clamp(param, 0, 255);
        m_colorSet = true;
        break;
    case Kw::List:
        if (dest == Dest::ListTable)
            m_currentLevels.clear();
        break;
    case Kw::ListLevel:
        if (dest == Dest::ListTable && m_currentLevels.size() < 9)
            m_currentLevels.append(0);
        break;
    case Kw::LevelNfc:
        if (dest == Dest::ListTable && !m_currentLevels.isEmpty())
            m_currentLevels.last() = param;
        break;
    case Kw::ListId:
        if (dest == Dest::ListTable) {
            if (m_listLevels.size() < kMaxTableEntries)
                m_listLevels.insert(param, m_currentLevels);
        } else if (dest == Dest::ListOverrideTable) {
            m_overrideListId = param;
        }
        break;
    case Kw::ListOverride:
        m_overrideListId = 0;
        break;
    case Kw::PnLvlBlt:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListDisc;
        break;
    case Kw::PnLvlBody:
        if (dest == Dest::ParaNumbering && para.pnStyle == 0)
            para.pnStyle = QTextListFormat::ListDecimal;
        break;
    case Kw::PnLvlCont:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = 0;
        break;
    case Kw::PnDec:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListDecimal;
        break;
    case Kw::PnUcRm:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListUpperRoman;
        break;
    case Kw::PnLcRm:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListLowerRoman;
        break;
    case Kw::PnUcLtr:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListUpperAlpha;
        break;
    case Kw::PnLcLtr:
        if (dest == Dest::ParaNumbering)
            para.pnStyle = QTextListFormat::ListLowerAlpha;
        break;
    default:
        break;
    }
}

void Parser::updateCodePage()
{
    if (m_cur.dest == Dest::FontTable)
        return;
    int cp = 0;
    const auto it = m_fonts.constFind(m_cur.chr.font >= 0 ? m_cur.chr.font : m_defaultFont);
    if (it != m_fonts.constEnd())
        cp = CodePages::forCharset(it->charset);
    m_cur.codePage = cp ? cp : m_ansiCodePage;
}

void Parser::rawByte(unsigned char b)
{
    if (b == '\t') {
        if (!consumeSkip())
            appendChar('\t');
        return;
    }
    if (b < 0x20)
        return; // NUL and other controls are no text
    if (m_cur.dest == Dest::ColorTable && b == ';') {
        commitColor();
        return;
    }
    if (m_cur.dest == Dest::FontTable && b == ';') {
        commitFont();
        return;
    }
    if (b < 0x80 && m_leadByte < 0) {
        if (!consumeSkip())
            appendChar(b);
        return;
    }
    hexByte(b);
}

void Parser::hexByte(unsigned char b)
{
    if (!m_started)
        return;
    const int cp = m_cur.codePage;
    if (CodePages::isDoubleByte(cp)) {
        if (m_leadByte < 0 && CodePages::isLeadByte(cp, b)) {
            m_leadByte = b;
            return;
        }
        if (m_leadByte >= 0) {
            const char pair[2] = {static_cast<char>(m_leadByte), static_cast<char>(b)};
            m_leadByte = -1;
            if (consumeSkip())
                return;
            if (m_decoderPage != cp) {
                m_decoder = std::make_unique<QStringDecoder>(CodePages::doubleByteName(cp),
                                                             QStringDecoder::Flag::Stateless);
                m_decoderPage = cp;
            }
            if (m_decoder && m_decoder->isValid()) {
                const QString s = m_decoder->decode(QByteArrayView(pair, 2));
                for (QChar ch : s)
                    appendChar(ch.unicode());
            } else {
                appendChar(0xFFFD);
            }
            return;
        }
    }
    if (consumeSkip())
        return;
    if (m_cur.dest == Dest::ColorTable && b == ';') {
        commitColor();
        return;
    }
    const char16_t c = CodePages::decodeByte(cp, b);
    if (c >= 0x20)
        appendChar(c); // an escaped control byte is no text
}

void Parser::unicodeChar(int value)
{
    if (!m_started)
        return;
    if (value < 0)
        value += 65536;
    char16_t c = (value >= 0 && value <= 0xFFFF) ? static_cast<char16_t>(value) : char16_t(0xFFFD);
    m_skip = 0;
    appendChar(c);
    m_skip = m_cur.uc;
}

void Parser::appendChar(char16_t c)
{
    switch (m_cur.dest) {
    case Dest::Text:
    case Dest::Footnote:
        appendTextChar(c);
        break;
    case Dest::FontTable:
        if (c == ';')
            commitFont();
        else if (m_fontNumber >= 0 && m_fontEntry.name.size() < 256)
            m_fontEntry.name.append(QChar(c));
        break;
    case Dest::FieldInst:
        if (m_fieldInst.size() < kMaxFieldInst)
            m_fieldInst.append(QChar(c));
        break;
    default:
        break;
    }
}

void Parser::appendTextChar(char16_t c)
{
    if (m_cur.chr.hidden)
        return;
    // The document's own markers (frames, embedded objects) must not come
    // from the file, where they would break the document's structure.
    if (c == 0xFDD0 || c == 0xFDD1 || c == QChar::ObjectReplacementCharacter)
        c = QChar::ReplacementCharacter;
    if (m_cur.dest == Dest::Footnote && m_footnoteStart) {
        if (c == ' ' || c == '\t')
            return;
        m_footnoteStart = false;
        if (!endsWithSpace())
            appendTextChar(' ');
    }
    if (m_afterFootnote) {
        m_afterFootnote = false;
        if (!QChar(c).isSpace() && !QChar(c).isPunct())
            appendTextChar(' ');
    }
    // UTF-16 pairs arrive as two \uN; a half without its partner becomes a
    // replacement character rather than a broken string.
    if (QChar::isHighSurrogate(c)) {
        if (m_highSurrogate)
            appendTextChar(0xFFFD);
        m_highSurrogate = c;
        return;
    }
    const char16_t high = m_highSurrogate;
    m_highSurrogate = 0;
    if (QChar::isLowSurrogate(c) && !high) {
        c = 0xFFFD;
    } else if (high && !QChar::isLowSurrogate(c)) {
        appendTextChar(0xFFFD);
    }
    beginContent();
    if (m_cur.chr != m_textState) {
        flushText();
        m_textState = m_cur.chr;
    }
    for (; m_pendingCells > 0; --m_pendingCells)
        m_text.append(u'\t');
    if (high && QChar::isLowSurrogate(c))
        m_text.append(QChar(high));
    m_text.append(QChar(c));
}

bool Parser::endsWithSpace() const
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

void Parser::beginContent()
{
    if (m_pendingBreak) {
        m_pendingBreak = false;
        // Most paragraphs look like the one before: starting with its format
        // saves setting it again when the paragraph ends.
        m_cursor.insertBlock(m_blockFormat, QTextCharFormat());
    }
    m_paraHasContent = true;
}

void Parser::flushText()
{
    if (m_text.isEmpty())
        return;
    m_cursor.insertText(m_text, cachedCharFormat(m_textState));
    m_text.clear();
}

void Parser::endParagraph()
{
    flushText();
    if (m_pendingBreak)
        beginContent(); // the paragraph before was empty: it stays as one
    m_pendingCells = 0;
    finishParagraph();
    m_pendingBreak = true;
    m_paraHasContent = false;
}

// Gives the paragraph being ended its format and, for list paragraphs, its list.
void Parser::finishParagraph()
{
    const ParaState &p = m_cur.para;
    QTextBlockFormat bf = blockFormat(p);
    if (m_pageBreakNext) {
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_pageBreakNext = false;
    }
    if (bf != m_blockFormat) {
        m_cursor.setBlockFormat(bf);
        m_blockFormat = bf;
    }
    const QTextListFormat::Style style = listStyle(p);
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

QTextListFormat::Style Parser::listStyle(const ParaState &p) const
{
    if (p.list > 0) {
        const auto o = m_overrides.constFind(p.list);
        if (o == m_overrides.constEnd())
            return QTextListFormat::ListDisc;
        const QList<int> levels = m_listLevels.value(*o);
        const int nfc = p.level < levels.size() ? levels.at(p.level) : 23;
        if (nfc == 255)
            return QTextListFormat::ListStyleUndefined; // a level without numbering
        return styleForNfc(nfc);
    }
    if (p.pnStyle != 0)
        return static_cast<QTextListFormat::Style>(p.pnStyle);
    return QTextListFormat::ListStyleUndefined;
}

void Parser::commitFont()
{
    if (m_fontNumber >= 0 && m_fonts.size() < kMaxTableEntries) {
        m_fontEntry.name = m_fontEntry.name.trimmed();
        if (!m_fonts.contains(m_fontNumber) || !m_fontEntry.name.isEmpty())
            m_fonts.insert(m_fontNumber, m_fontEntry);
    }
    m_fontNumber = -1;
    m_fontEntry = FontEntry();
}

void Parser::commitColor()
{
    if (m_colors.size() < kMaxTableEntries)
        m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
    m_colorSet = false;
    m_red = m_green = m_blue = 0;
}

const QTextCharFormat &Parser::cachedCharFormat(const CharState &s)
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

QTextCharFormat Parser::charFormat(const CharState &s) const
{
    QTextCharFormat f;
    const auto font = m_fonts.constFind(s.font >= 0 ? s.font : m_defaultFont);
    if (font != m_fonts.constEnd() && !font->name.isEmpty()) {
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
    if (s.fg > 0 && s.fg < m_colors.size() && m_colors.at(s.fg).isValid())
        f.setForeground(m_colors.at(s.fg));
    if (s.bg > 0 && s.bg < m_colors.size() && m_colors.at(s.bg).isValid())
        f.setBackground(m_colors.at(s.bg));
    if (s.link >= 0 && s.link < m_links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m_links.at(s.link));
    }
    return f;
}

QTextBlockFormat Parser::blockFormat(const ParaState &p) const
{
    QTextBlockFormat bf;
    switch (p.align) {
    case Align::Left: bf.setAlignment(Qt::AlignLeft); break;
    case Align::Center: bf.setAlignment(Qt::AlignHCenter); break;
    case Align::Right: bf.setAlignment(Qt::AlignRight); break;
    case Align::Justify: bf.setAlignment(Qt::AlignJustify); break;
    }
    // In a list the list's own indent takes the place of the paragraph's.
    const bool listed = listStyle(p) != QTextListFormat::ListStyleUndefined;
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
    return bf;
}

} // namespace

RtfReader::Result RtfReader::read(QByteArrayView rtf, QTextDocument *doc)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    Result result;
    {
        Parser parser(rtf, doc);
        result = parser.run();
    }
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    return result;
}
