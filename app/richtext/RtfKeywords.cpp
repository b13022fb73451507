#include "RtfKeywords.h"

#include "RtfState.h"

#include <QFont>
#include <QTextListFormat>

namespace rtf {

namespace {

using Table = std::unordered_map<std::string_view, Keyword>;

struct Entry {
    const char *name;
    Kw kw;
    int arg = 0;
};

void add(Table &t, Group group, std::initializer_list<Entry> entries)
{
    for (const Entry &e : entries)
        t.emplace(e.name, Keyword{group, e.kw, e.arg});
}

} // namespace

KeywordTable::KeywordTable()
{
    Table &t = m_words;
    // Destinations whose content is not document text. Those written
    // with \* are skipped anyway when unknown; these come without it.
    for (const char *name : {"stylesheet", "pict", "header", "headerl", "headerr",
                             "headerf", "footer", "footerl", "footerr", "footerf", "pntext",
                             "listtext", "xe", "tc", "tcn", "txe", "rxe", "annotation",
                             "atnid", "atnauthor", "atndate", "atnref", "atnparent",
                             "atrfstart", "atrfend", "nonshppict", "revtbl", "filetbl",
                             "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
                             "template", "bkmkstart", "bkmkend", "private", "datafield",
                             "objdata", "objclass", "objname", "themedata", "pgdsctbl",
                             "generator", "rsidtbl", "xmlnstbl", "shprslt", "sp", "sn",
                             "sv", "nonesttables", "pnseclvl", "pntxta", "pntxtb", "fldtype",
                             "formfield", "listpicture", "userprops", "docvar",
                             "subject", "operator", "keywords", "comment",
                             "doccomm", "falt", "panose", "fontemb", "fontfile",
                             "latentstyles", "colorschememapping", "mmathPr"})
        t.emplace(name, Keyword{Group::Destination, Kw::DestSkip});
    add(t, Group::Destination,
        {{"fonttbl", Kw::FontTbl}, {"colortbl", Kw::ColorTbl}, {"listtable", Kw::ListTable},
         {"listoverridetable", Kw::ListOverrideTable}, {"pn", Kw::Pn}, {"field", Kw::Field},
         {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"footnote", Kw::Footnote},
         {"object", Kw::Object}, {"result", Kw::Result}, {"shpinst", Kw::Object},
         {"shptxt", Kw::ShapeText}, {"upr", Kw::Upr}, {"ud", Kw::Ud}, {"info", Kw::Info},
         {"title", Kw::InfoTitle}, {"author", Kw::InfoAuthor}, {"creatim", Kw::InfoCreated}});
    add(t, Group::Document,
        {{"ansi", Kw::CodePage, 1252}, {"mac", Kw::CodePage, 10000}, {"pc", Kw::CodePage, 437},
         {"pca", Kw::CodePage, 850}, {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"uc", Kw::Uc},
         {"u", Kw::U}, {"bin", Kw::Bin}, {"yr", Kw::Yr}});
    constexpr int single = QTextCharFormat::SingleUnderline;
    constexpr int dotted = QTextCharFormat::DotLine;
    constexpr int dashed = QTextCharFormat::DashUnderline;
    constexpr int wave = QTextCharFormat::WaveUnderline;
    add(t, Group::Character,
        {{"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul, single}, {"uldb", Kw::Ul, single},
         {"ulth", Kw::Ul, single}, {"ulw", Kw::Ul, single}, {"uld", Kw::Ul, dotted}, {"ulthd", Kw::Ul, dotted},
         {"uldash", Kw::Ul, dashed}, {"uldashd", Kw::Ul, dashed}, {"uldashdd", Kw::Ul, dashed},
         {"ulldash", Kw::Ul, dashed}, {"ulthdash", Kw::Ul, dashed}, {"ulthdashd", Kw::Ul, dashed},
         {"ulthdashdd", Kw::Ul, dashed}, {"ulthldash", Kw::Ul, dashed}, {"ulwave", Kw::Ul, wave},
         {"ulhwave", Kw::Ul, wave}, {"ululdbwave", Kw::Ul, wave}, {"ulnone", Kw::UlNone},
         {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"f", Kw::F}, {"fs", Kw::Fs},
         {"cf", Kw::Cf}, {"cb", Kw::Cb}, {"chcbpat", Kw::Cb}, {"highlight", Kw::Cb},
         {"v", Kw::V}, {"caps", Kw::Caps, int(Caps::All)}, {"scaps", Kw::Caps, int(Caps::Small)},
         {"super", Kw::VAlign, int(VAlign::Super)}, {"sub", Kw::VAlign, int(VAlign::Sub)},
         {"nosupersub", Kw::NoSuperSub}});
    add(t, Group::Paragraph,
        {{"pard", Kw::Pard}, {"ql", Kw::Align, int(Align::Left)}, {"qc", Kw::Align, int(Align::Center)},
         {"qr", Kw::Align, int(Align::Right)}, {"qj", Kw::Align, int(Align::Justify)},
         {"qd", Kw::Align, int(Align::Justify)}, {"li", Kw::Li}, {"ri", Kw::Ri}, {"fi", Kw::Fi},
         {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"ls", Kw::Ls}, {"ilvl", Kw::Ilvl},
         {"outlinelevel", Kw::OutlineLevel}});
    add(t, Group::Flow,
        {{"par", Kw::Par}, {"sect", Kw::Par}, {"column", Kw::Par}, {"page", Kw::Page},
         {"cell", Kw::Cell}, {"nestcell", Kw::Cell}, {"row", Kw::Row}, {"nestrow", Kw::Row}});
    add(t, Group::Symbol,
        {{"line", Kw::Char, QChar::LineSeparator}, {"tab", Kw::Char, '\t'},
         {"emdash", Kw::Char, 0x2014}, {"endash", Kw::Char, 0x2013}, {"emspace", Kw::Char, 0x2003},
         {"enspace", Kw::Char, 0x2002}, {"qmspace", Kw::Char, 0x2005}, {"bullet", Kw::Char, 0x2022},
         {"lquote", Kw::Char, 0x2018}, {"rquote", Kw::Char, 0x2019}, {"ldblquote", Kw::Char, 0x201C},
         {"rdblquote", Kw::Char, 0x201D}, {"zwj", Kw::Char, 0x200D}, {"zwnj", Kw::Char, 0x200C}});
    add(t, Group::FontTable,
        {{"fcharset", Kw::FCharset}, {"froman", Kw::FFamily, QFont::Serif},
         {"fswiss", Kw::FFamily, QFont::SansSerif}, {"fmodern", Kw::FFamily, QFont::Monospace},
         {"fscript", Kw::FFamily, QFont::Cursive}, {"fdecor", Kw::FFamily, QFont::Decorative}});
    add(t, Group::ColorTable, {{"red", Kw::Rgb, 0}, {"green", Kw::Rgb, 1}, {"blue", Kw::Rgb, 2}});
    add(t, Group::ListTable,
        {{"list", Kw::List}, {"listlevel", Kw::ListLevel}, {"levelnfc", Kw::LevelNfc},
         {"listid", Kw::ListId}, {"listoverride", Kw::ListOverride}});
    add(t, Group::Numbering,
        {{"pnlvlblt", Kw::PnStyle, QTextListFormat::ListDisc}, {"pnlvlbody", Kw::PnLvlBody},
         {"pnlvlcont", Kw::PnLvlCont}, {"pndec", Kw::PnStyle, QTextListFormat::ListDecimal},
         {"pnucrm", Kw::PnStyle, QTextListFormat::ListUpperRoman},
         {"pnlcrm", Kw::PnStyle, QTextListFormat::ListLowerRoman},
         {"pnucltr", Kw::PnStyle, QTextListFormat::ListUpperAlpha},
         {"pnlcltr", Kw::PnStyle, QTextListFormat::ListLowerAlpha}});
    // Known, with nothing to do; unlike an unknown word they are no \uN
    // fallback.
    add(t, Group::None, {{"rtf", Kw::Ignore}, {"fnil", Kw::Ignore}, {"ftech", Kw::Ignore}});
}

const KeywordTable &KeywordTable::instance()
{
    static const KeywordTable table;
    return table;
}

} // namespace rtf
