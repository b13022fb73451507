#pragma once

// DocumentPainter: one paint of a document whose blocks are laid out: the
// root frame's background, then block by block its background, the
// selections, the list marker, the text, the cursor and a trailing rule, as
// Qt's document layout paints them.

#include <QAbstractTextDocumentLayout>
#include <QTextFrameFormat>

class QTextBlock;

class DocumentPainter
{
public:
    using PaintContext = QAbstractTextDocumentLayout::PaintContext;
    using Selection = QAbstractTextDocumentLayout::Selection;

    // layout: whose document size and paint device count; rootFormat: the
    // root frame's format as the blocks were laid out with it.
    DocumentPainter(const QAbstractTextDocumentLayout &layout, QPainter *painter, const PaintContext &context,
                    const QTextFrameFormat &rootFormat, int cursorWidth);

    // Fills the root frame's background over the clip (without one, over the
    // document of that size) and returns where lines may paint: the clip
    // without the page's left and right margins.
    QRectF drawBackground(const QSizeF &documentSize, const QPointF &frameOrigin) const;
    void drawBlock(const QTextBlock &block, const QRectF &clip) const;

private:
    void drawListItem(const QTextBlock &block, const QTextCharFormat *selectionFormat) const;

    const QAbstractTextDocumentLayout &m_layout;
    QPainter *m_painter;
    const PaintContext &m_context;
    const QTextFrameFormat &m_rootFormat;
    int m_cursorWidth;
};
