#pragma once
// The RTF reader's table of control words: each known word names the group
// that handles it (a destination, the document's settings, character or
// paragraph formatting, the flow of paragraphs and cells, a character by
// name, one of the document's tables) and what it does there. Words that
// share one action differ in `arg` (the underline style, the code page,
// the alignment, the character, ...). Unknown words are not in the table.

#include <QtGlobal>

#include <string_view>
#include <unordered_map>

namespace rtf {

enum class Group : quint8 {
    None,          // known, and nothing to do (not even a \uN fallback)
    Destination,   // how the rest of its group is read
    Document,      // code pages, default font, \uc, \u, \bin
    Character,     // character formatting
    Paragraph,     // paragraph formatting
    Flow,          // ends of paragraphs, pages, cells and rows
    Symbol,        // one character, by name
    FontTable,     // parts of a font table entry
    ColorTable,    // parts of a colour table entry
    ListTable,     // list definitions and overrides
    Numbering,     // legacy paragraph numbering {\*\pn ...}
};

enum class Kw : quint8 {
    // Group::Destination
    DestSkip, FontTbl, ColorTbl, ListTable, ListOverrideTable, Pn, Field, FldInst, FldRslt,
    Footnote, Object, Result, ShapeText, Upr, Ud, Info, InfoTitle, InfoAuthor, InfoCreated,
    // Group::Document
    CodePage,      // arg: the code page (\ansi, \mac, \pc, \pca)
    AnsiCpg, Deff, Uc, U, Bin,
    Yr,            // the year of a date in the document information
    // Group::Character
    Plain, B, I,
    Ul,            // arg: the underline style it switches on
    UlNone, Strike, F, Fs, Cf, Cb, V,
    Caps,          // arg: Caps
    VAlign,        // arg: VAlign
    NoSuperSub,
    // Group::Paragraph
    Pard,
    Align,         // arg: Align
    Li, Ri, Fi, Sb, Sa, Ls, Ilvl, OutlineLevel,
    // Group::Flow
    Par, Page, Cell, Row,
    // Group::Symbol
    Char,          // arg: the character
    // Group::FontTable
    FCharset,
    FFamily,       // arg: the font's style hint
    // Group::ColorTable
    Rgb,           // arg: 0 red, 1 green, 2 blue
    // Group::ListTable
    List, ListLevel, LevelNfc, ListId, ListOverride,
    // Group::Numbering
    PnStyle,       // arg: the list style
    PnLvlBody, PnLvlCont,
    // Group::None
    Ignore,
};

struct Keyword {
    Group group = Group::None;
    Kw kw = Kw::Ignore;
    int arg = 0;
};

class KeywordTable
{
public:
    // The one table, built at its first use.
    static const KeywordTable &instance();

    // The word of that name, or nullptr for a word we do not know.
    const Keyword *find(std::string_view name) const
    {
        const auto it = m_words.find(name);
        return it == m_words.end() ? nullptr : &it->second;
    }

private:
    KeywordTable();

    std::unordered_map<std::string_view, Keyword> m_words;
};

} // namespace rtf
