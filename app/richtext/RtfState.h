#pragma once
// The state the RTF reader keeps for each open group: where its text goes
// (the destination) and what a run of characters and a paragraph look like.
// The parser keeps one per open group; the document tables and the document
// builder read the character and paragraph parts.

#include "RtfKeywords.h"

#include <QTextCharFormat>

namespace rtf {

// Beyond these counts a table is certainly not a real one; later entries
// are ignored instead of growing memory with the input.
constexpr int kMaxTableEntries = 65536;
// Indents and spacing are clamped to this many twips (22 inches).
constexpr int kMaxTwips = 31680;

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
    Info,              // document information: skipped except for the three below
    InfoTitle,
    InfoAuthor,
    InfoCreated,       // {\creatim ...}: its \yr is the document's year
};

inline bool showsText(Dest d)
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
    int link = -1;          // index into the builder's link targets
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    Caps caps = Caps::None;
    VAlign valign = VAlign::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharState &) const = default;

    // A word of Group::Character (except \f inside the font table); true
    // when the font may have changed, and with it the code page.
    bool apply(const Keyword &k, bool hasParam, int param);
};

struct ParaState {
    int li = 0;
    int ri = 0;
    int fi = 0;
    int sb = 0;
    int sa = 0;
    int list = 0;           // \lsN override number; 0: not in a list
    int level = 0;          // \ilvlN
    int heading = 0;        // \outlinelevelN + 1 (1..6); 0: body text
    // Legacy paragraph numbering ({\*\pn ...}): a list style, 0 for none.
    int pnStyle = 0;
    Align align = Align::Left;

    bool operator==(const ParaState &) const = default;

    // A word of Group::Paragraph (except \ls inside the list override table).
    void apply(const Keyword &k, int param);
    // A word of Group::Numbering, read inside {\*\pn ...}.
    void applyNumbering(const Keyword &k);
};

struct State {
    CharState chr;
    ParaState para;
    Dest dest = Dest::Text;
    int uc = 1;             // characters that follow \uN as its fallback
    int codePage = 1252;    // of \'hh and raw 8-bit bytes, follows \f
};

} // namespace rtf
