#pragma once

// textlayout: the layout of the document box.
//
// Qt's own document layout keeps the position of every block in the block's
// QTextLayout, so each edit moves every block after it. This layout keeps the
// vertical advance of each block (its collapsed top margin plus its lines) in
// a BlockHeights tree instead: the top of a block, the block at a y and the
// height of the document are prefix sums in O(log n), and an edit lays out
// only the blocks it touched. Blocks are laid out (BlockLayouter) when they
// are drawn, hit or asked for; the rest carry an estimated height and are
// laid out in the background a few milliseconds at a time
// (BackgroundLayoutScheduler, on the injected Clock), the document size
// following as the estimates are replaced. Within a block the geometry is the
// one Qt's layout gives (the same QTextLayout calls, margins in the same 1/64
// pixel steps), so the two can be compared block by block; DocumentPainter
// paints the blocks as Qt's layout paints them.
//
// Only the flat document of paragraphs is handled here; a document holding
// tables or other frames is given back to Qt's layout by
// DocumentLayoutKeeper, which install() sets up for a QTextEdit.

#include <QAbstractTextDocumentLayout>
#include <QBasicTimer>

#include <vector>

#include "BackgroundLayoutScheduler.h"
#include "BlockHeights.h"
#include "BlockLayouter.h"

class Clock;
class DocumentLayoutKeeper;
class InlineImageHandler;
class QTextEdit;

class IncrementalDocumentLayout : public QAbstractTextDocumentLayout, private BackgroundLayoutScheduler::Work
{
    Q_OBJECT
    // QWidgetTextControl reads and writes the cursor width by this name.
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)

public:
    // clock: the time the background layout runs on.
    IncrementalDocumentLayout(QTextDocument *document, const Clock &clock);
    ~IncrementalDocumentLayout() override;

    // Puts this layout on the edit's document and keeps it there: the
    // returned keeper (a child of edit) hands the document to Qt's layout
    // while it holds tables or frames, takes it back when it is flat again
    // and follows QTextEdit::setDocument. Calling it again returns the same keeper.
    static DocumentLayoutKeeper *install(QTextEdit *edit, const Clock &clock);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    int cursorWidth() const { return m_cursorWidth; }
    void setCursorWidth(int width);

    // True when no block carries an estimated height any more.
    bool isLayoutFinished() const { return m_estimated == 0; }
    // Lays out every block still estimated, now.
    void ensureLayoutFinished();

    // The block whose share of the height (top margin and lines) holds y,
    // and where that share starts; neither lays anything out.
    int blockNumberAt(qreal y) const;
    qreal blockOffset(int number) const;

signals:
    // The background layout replaced estimated heights from this block on;
    // a view showing a later block may keep it in place by blockOffset().
    void estimatesReplaced(int firstBlockNumber);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void resizeInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat &format) override;
    void positionInlineObject(QTextInlineObject item, int posInDocument, const QTextFormat &format) override;
    void timerEvent(QTimerEvent *event) override;

private:
    struct BlockInfo {
        qint32 gap = 0;        // collapsed margin above the block, 1/64 px
        qint32 widthNeed = 0;  // right end of the widest line plus right margin
        bool exact = false;    // laid out at the current settings
        bool hasLines = false; // its QTextLayout holds lines of ours
    };

    const BlockLayouter::Frame &frame() const { return m_layouter.frame(); }
    void resetAll();
    void invalidateAll();
    void syncBlockCount() const;
    void layoutAllNow() const;
    void layoutBlock(const QTextBlock &block, int number) const;
    void ensureExact(const QTextBlock &block, int number) const;
    void ensureSurroundings(const QTextBlock &block, int number) const;
    int blockAtY(qreal y, QTextBlock *block) const;
    qreal blockTop(int number) const;
    qint64 maxWidthNeed() const;
    void scheduleWork() const;
    void noteSizeChange() const;
    void emitSizeIfChanged();
    // A block's height changed from what the view last saw; it and
    // everything below it is painted anew (repaintMoved, queued).
    void noteMoved(int number, qint64 oldAdvance) const;
    void repaintMoved();
    void applyChange(int from, int charsRemoved, int charsAdded);
    bool hasBackgroundWork() const override;
    void runBackgroundSlice() override;

    InlineImageHandler *m_images = nullptr;
    mutable std::vector<BlockInfo> m_blocks;
    mutable BlockHeights m_heights;
    mutable int m_estimated = 0;
    mutable int m_scan = 0;
    mutable qint64 m_maxNeed = 0;
    mutable bool m_maxNeedDirty = false;
    // The first block whose height changed outside an edit and a paint
    // (a hit test, a cursor query), not yet repainted; -1: none.
    mutable int m_movedFrom = -1;
    mutable BlockLayouter m_layouter;
    bool m_haveSettings = false;

    int m_cursorWidth = 1;
    QRectF m_painted; // the last paint of a whole view, document coordinates
    mutable BackgroundLayoutScheduler m_scheduler;
    mutable QBasicTimer m_sizeTimer;
    QSizeF m_reportedSize;
};
