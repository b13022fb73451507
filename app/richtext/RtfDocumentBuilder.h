#pragma once
// The RTF reader's document builder: puts the text the parser reads into the
// QTextDocument through one cursor. Characters collect into runs of one
// character format and are inserted a run at a time; a paragraph gets its
// block format (alignment, indents, spacing, page break: blockFormat()) and
// its list when it ends; cells of a table row are separated by tabs;
// footnotes are read in place, kept apart from the words around them;
// the result of a HYPERLINK field becomes a link.
//
// Character formats are built from the document tables (fonts, colours)
// once per distinct state and kept in a small cache.

#include "RtfState.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextDocument;
class QTextList;

namespace rtf {

class DocumentTables;

class DocumentBuilder
{
public:
    DocumentBuilder(QTextDocument *doc, const DocumentTables &tables);

    // The whole document is built inside one edit block: outside one,
    // every insertion lays out its paragraph again, which makes long
    // paragraphs quadratic.
    void begin();
    // Inserts what is still pending; the last paragraph takes `para`.
    void finish(const ParaState &para);

    // A character of the text, shown in `chr`; `footnote` while reading a
    // footnote's text.
    void appendText(char16_t c, const CharState &chr, bool footnote);
    // Inserts the run of text collected so far.
    void flushText();

    // \par: the paragraph ends and takes `para`.
    void endParagraph(const ParaState &para);
    // \page: the next paragraph starts on a new page.
    void pageBreak(const ParaState &para);
    // \cell and \row of a table, written as tab-separated lines.
    void endCell();
    void endRow(const ParaState &para);

    // A footnote's text starts or has ended.
    void startFootnote() { m_footnoteStart = true; }
    void endFootnote() { m_afterFootnote = true; }

    // {\field{\*\fldinst ...}{\fldrslt ...}}: the instruction is collected,
    // its result links to a HYPERLINK's target. fieldLink() gives the link
    // for CharState::link, -1 for none.
    void startField() { m_fieldInst.clear(); }
    void appendFieldInstruction(char16_t c);
    int fieldLink();

private:
    void beginContent()
    {
        if (m_pendingBreak)
            startPendingParagraph();
        m_paraHasContent = true;
    }
    void startPendingParagraph();
    bool endsWithSpace() const;
    void finishParagraph(const ParaState &p);
    QTextCharFormat charFormat(const CharState &s) const;
    const QTextCharFormat &cachedCharFormat(const CharState &s);
    QTextBlockFormat blockFormat(const ParaState &p) const;

    QTextDocument *m_doc;
    const DocumentTables &m_tables;
    QTextCursor m_cursor;

    QString m_fieldInst;
    QStringList m_links;

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

} // namespace rtf
