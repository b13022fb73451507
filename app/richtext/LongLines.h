#pragma once
// LongLines: a line of a text file far longer than a screen is held in the
// document as several blocks of at most kMaxBlockLength characters, while
// the file keeps it as one line.
//
// Qt lays out and draws a block as a whole: its QTextLayout costs some 40
// bytes per character and cannot lay out a block of more than about 80
// million characters at all, so one long line made opening slow, memory
// hungry or impossible. Split into blocks, the line is laid out and painted
// block by block like any other text.
//
// A line is split at a blank near the block limit, the blank becoming the
// block break (the document's positions and character count stay those of
// the file); a line without blanks is split at the limit itself. Each block
// that continues a line carries a mark (its QTextBlockUserData) saying what
// its break stands for. fileText() and the RTF writer put the line back
// together, so saving writes the text as it was read. A break the user
// types is an ordinary new block without a mark; joining two blocks drops
// the second one's mark with it.

#include <QChar>
#include <QString>

class QTextBlock;
class QTextDocument;

namespace LongLines {

inline constexpr qsizetype kMaxBlockLength = 16384;

// Replaces the document's content with the text ('\n' ends a line), long
// lines split as described above.
void setPlainText(QTextDocument *doc, QString text);

// Whether the block continues the line of the block before it; joiner is
// then the character its break stands for (a blank), or a null QChar when
// the break stands for nothing.
bool continuesLine(const QTextBlock &block, QChar *joiner = nullptr);

// The document's plain text as a file holds it: toPlainText() with every
// split line joined again.
QString fileText(const QTextDocument &doc);

} // namespace LongLines
