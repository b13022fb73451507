#pragma once
// The tables an RTF document defines before its text: fonts (name, style
// hint, charset), colours, and lists (the numbering format of each level of
// a \listid, and which list each \ls override names). The parser feeds the
// words of the tables in; the document builder and the parser look entries
// up. Every table is bounded (kMaxTableEntries).

#include "RtfState.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextListFormat>

namespace rtf {

struct FontEntry {
    QString name;
    int charset = 0;
    QFont::StyleHint hint = QFont::AnyStyle;
};

class DocumentTables
{
public:
    DocumentTables();

    // Fonts: {\fonttbl{\fN\fcharsetC\fswiss Name;}...}
    void startFontTable() { m_fontNumber = -1; }
    void startFont(int number);  // \fN inside the table
    void setFontCharset(int charset) { m_fontEntry.charset = charset; }
    void setFontHint(QFont::StyleHint hint) { m_fontEntry.hint = hint; }
    void appendFontName(char16_t c);
    void commitFont();           // at ';' or when the table ends
    void commitNamedFont();      // at the end of an entry's group that lacks its ';'
    void setDefaultFont(int number) { m_defaultFont = number; }
    // The entry of a font number, -1 meaning the default font; nullptr when
    // the table has none.
    const FontEntry *font(int number) const;
    // The code page the font's charset names, 0 for the document's own.
    int fontCodePage(int number) const;

    // Colours: {\colortbl;\redR\greenG\blueB;...}; entry 0 is "automatic".
    void startColorTable();
    void setColorComponent(int which, int value);  // 0 red, 1 green, 2 blue
    void commitColor();                            // at ';'
    // The colour of a table index; invalid for automatic, unset or unknown.
    QColor color(int index) const;

    // Lists: the words of \listtable and \listoverridetable.
    void listWord(const Keyword &k, Dest dest, int param);
    void addOverride(int ls);                      // \lsN in an override
    // The list style of a paragraph, ListStyleUndefined when it is in none.
    QTextListFormat::Style listStyle(const ParaState &p) const;

private:
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    int m_fontNumber = -1;     // font table entry being read
    FontEntry m_fontEntry;
    QList<QColor> m_colors;
    int m_rgb[3] = {0, 0, 0};
    bool m_colorSet = false;
    QHash<int, QList<int>> m_listLevels;   // \listid -> \levelnfc per level
    QList<int> m_currentLevels;
    QHash<int, int> m_overrides;           // \ls -> \listid
    int m_overrideListId = 0;
};

} // namespace rtf
