#include "IncrementalDocumentLayout.h"

#include "DocumentLayoutKeeper.h"
#include "DocumentPainter.h"
#include "InlineImageHandler.h"
#include "LayoutUnits.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTimerEvent>

#include <climits>

using namespace LayoutUnits;

namespace {

// An edit touching more blocks than this leaves the rest to the background.
constexpr int kSyncBlocks = 256;
constexpr qreal kHuge = 1e9;
// Height above a block asked for outside the view that is laid out with it.
constexpr qreal kSurroundings = 2500;
constexpr int kSurroundingBlocks = 400;

} // namespace

IncrementalDocumentLayout::IncrementalDocumentLayout(QTextDocument *document, const Clock &clock)
    : QAbstractTextDocumentLayout(document)
    , m_images(new InlineImageHandler(this))
    , m_scheduler(*this, clock)
{
    registerHandler(QTextFormat::ImageObject, m_images);
}

IncrementalDocumentLayout::~IncrementalDocumentLayout() = default;


void IncrementalDocumentLayout::setCursorWidth(int width)
{
    m_cursorWidth = width;
}

// Forgets every block and starts over with estimates: a new document, or one
// changed in a way the block numbers cannot follow.
void IncrementalDocumentLayout::resetAll()
{
    const QTextDocument *doc = document();
    const int count = doc->blockCount();
    m_blocks.assign(size_t(count), BlockInfo());
    m_heights.assign(m_layouter.estimateAll(*doc, count));
    m_estimated = count;
    m_scan = 0;
    m_maxNeed = 0;
    m_maxNeedDirty = false;
}

// Keeps the heights as estimates but lays every block out again: the page
// width, the default font or another setting all lines depend on changed.
void IncrementalDocumentLayout::invalidateAll()
{
    QTextBlock b = document()->begin();
    for (size_t i = 0; i < m_blocks.size() && b.isValid(); ++i, b = b.next()) {
        BlockInfo &info = m_blocks[i];
        if (info.hasLines) {
            // A cursor moving up or down reads the block's lines directly; with
            // none it asks for the block's rectangle, which lays it out anew.
            b.layout()->clearLayout();
            info.hasLines = false;
        }
        info.exact = false;
    }
    m_estimated = int(m_blocks.size());
    m_scan = 0;
    m_maxNeedDirty = true;
}

// Inside an edit block the document changes before this layout hears of it;
// a query in between must not index past the blocks known here.
void IncrementalDocumentLayout::syncBlockCount() const
{
    if (int(m_blocks.size()) != document()->blockCount())
        const_cast<IncrementalDocumentLayout *>(this)->resetAll();
}

void IncrementalDocumentLayout::scheduleWork() const
{
    if (m_estimated > 0)
        m_scheduler.start();
}

void IncrementalDocumentLayout::noteSizeChange() const
{
    if (!m_sizeTimer.isActive())
        m_sizeTimer.start(0, const_cast<IncrementalDocumentLayout *>(this));
}

void IncrementalDocumentLayout::emitSizeIfChanged()
{
    m_sizeTimer.stop();
    const QSizeF size = documentSize();
    if (size != m_reportedSize) {
        m_reportedSize = size;
        emit documentSizeChanged(size);
    }
}

qint64 IncrementalDocumentLayout::maxWidthNeed() const
{
    if (m_maxNeedDirty) {
        qint64 widest = 0;
        for (const BlockInfo &info : m_blocks) {
            if (info.exact)
                widest = qMax<qint64>(widest, info.widthNeed);
        }
        m_maxNeed = widest;
        m_maxNeedDirty = false;
    }
    return m_maxNeed;
}

void IncrementalDocumentLayout::noteMoved(int number, qint64 oldAdvance) const
{
    if (m_heights.value(number) == oldAdvance)
        return;
    // Everything below this block now sits elsewhere than it was painted.
    if (m_movedFrom < 0 || number < m_movedFrom)
        m_movedFrom = number;
    noteSizeChange();
}

void IncrementalDocumentLayout::repaintMoved()
{
    if (m_movedFrom < 0)
        return;
    const int number = qMin(m_movedFrom, int(m_blocks.size()));
    m_movedFrom = -1;
    emit update(QRectF(0, real(frame().yTop + m_heights.offsetOf(number)), kHuge, kHuge));
}


void IncrementalDocumentLayout::layoutBlock(const QTextBlock &block, int number) const
{
    BlockInfo &info = m_blocks[size_t(number)];
    const qint32 oldNeed = info.widthNeed;
    const qint64 oldAdvance = m_heights.value(number);
    if (!info.exact)
        --m_estimated;
    info.exact = true;
    if (!block.isVisible()) {
        info.gap = 0;
        info.widthNeed = 0;
        m_heights.set(number, 0);
        noteMoved(number, oldAdvance);
        if (oldNeed == m_maxNeed && oldNeed > frame().contentsWidth)
            m_maxNeedDirty = true;
        return;
    }

    const BlockLayouter::Lines lines = m_layouter.layout(block, number, m_heights.offsetOf(number));
    info.gap = qint32(lines.gap);
    info.widthNeed = qint32(qBound(qint64(0), lines.widthNeed, qint64(INT_MAX)));
    info.hasLines = true;
    m_heights.set(number, lines.advance);
    noteMoved(number, oldAdvance);
    // Only a line wider than the page widens the document, so the widest
    // block is looked for again only when one of those got narrower.
    if (info.widthNeed > m_maxNeed)
        m_maxNeed = info.widthNeed;
    else if (oldNeed == m_maxNeed && info.widthNeed < oldNeed && oldNeed > frame().contentsWidth)
        m_maxNeedDirty = true;
}

void IncrementalDocumentLayout::ensureExact(const QTextBlock &block, int number) const
{
    if (number < 0 || number >= int(m_blocks.size()))
        return;
    if (!m_blocks[size_t(number)].exact) {
        layoutBlock(block, number);
        noteSizeChange();
    } else if (block.isVisible()) {
        // Blocks above may have moved since this one was laid out.
        const qint64 top = frame().yTop + m_heights.offsetOf(number) + m_blocks[size_t(number)].gap;
        block.layout()->setPosition(QPointF(real(frame().xLeft), real(top)));
    }
}

// A block asked for outside the part last painted (the cursor sent to the
// end, a page down into blocks not laid out yet) is where the view is going:
// the screenful above it is laid out too, so that painting it later does not
// push the block down out of the view the edit just scrolled to.
void IncrementalDocumentLayout::ensureSurroundings(const QTextBlock &block, int number) const
{
    const qreal top = real(frame().yTop + m_heights.offsetOf(number));
    if (m_painted.isValid() && top >= m_painted.top() - 1 && top <= m_painted.bottom() + 1)
        return;
    qint64 budget = fx(kSurroundings);
    QTextBlock b = block.previous();
    for (int n = number - 1, done = 0; b.isValid() && n >= 0 && budget > 0 && done < kSurroundingBlocks;
         --n, ++done, b = b.previous()) {
        if (!m_blocks[size_t(n)].exact) {
            layoutBlock(b, n);
            noteSizeChange();
        }
        budget -= m_heights.value(n);
    }
}

int IncrementalDocumentLayout::blockNumberAt(qreal y) const
{
    if (m_blocks.empty())
        return 0;
    return m_heights.indexAt(fxCoordinate(y) - frame().yTop);
}

qreal IncrementalDocumentLayout::blockOffset(int number) const
{
    return real(frame().yTop + m_heights.offsetOf(number));
}

qreal IncrementalDocumentLayout::blockTop(int number) const
{
    return real(frame().yTop + m_heights.offsetOf(number) + m_blocks[size_t(number)].gap);
}

// The block whose span (gap above plus lines) holds y, laid out; its number.
int IncrementalDocumentLayout::blockAtY(qreal y, QTextBlock *block) const
{
    const QTextDocument *doc = document();
    const qint64 offset = fxCoordinate(y) - frame().yTop;
    int number = m_heights.indexAt(offset);
    QTextBlock b = doc->findBlockByNumber(number);
    ensureExact(b, number);
    // Laying the block out may have made it shorter than the estimate.
    while (b.isValid() && number + 1 < int(m_blocks.size())
           && m_heights.offsetOf(number + 1) <= offset) {
        b = b.next();
        ++number;
        ensureExact(b, number);
    }
    *block = b;
    return number;
}

void IncrementalDocumentLayout::ensureLayoutFinished()
{
    layoutAllNow();
    emitSizeIfChanged();
    repaintMoved();
}

void IncrementalDocumentLayout::layoutAllNow() const
{
    syncBlockCount();
    if (m_estimated > 0) {
        int number = 0;
        for (QTextBlock b = document()->begin(); b.isValid() && number < int(m_blocks.size());
             b = b.next(), ++number) {
            if (!m_blocks[size_t(number)].exact)
                layoutBlock(b, number);
        }
        m_estimated = 0;
        m_scheduler.stop();
        noteSizeChange();
    }
}

void IncrementalDocumentLayout::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_sizeTimer.timerId()) {
        emitSizeIfChanged();
        repaintMoved();
        return;
    }
    QAbstractTextDocumentLayout::timerEvent(event);
}

bool IncrementalDocumentLayout::hasBackgroundWork() const
{
    syncBlockCount();
    return m_estimated > 0 && !m_blocks.empty();
}

void IncrementalDocumentLayout::runBackgroundSlice()
{
    const int count = int(m_blocks.size());
    int firstChanged = -1;
    if (m_scan >= count)
        m_scan = 0;
    QTextBlock b = document()->findBlockByNumber(m_scan);
    int visited = 0;
    while (m_estimated > 0 && visited < count) {
        if (!b.isValid() || m_scan >= count) {
            m_scan = 0;
            b = document()->begin();
        }
        if (!m_blocks[size_t(m_scan)].exact) {
            const qint64 before = m_heights.value(m_scan);
            layoutBlock(b, m_scan);
            if (m_heights.value(m_scan) != before && (firstChanged < 0 || m_scan < firstChanged))
                firstChanged = m_scan;
            if (m_scheduler.sliceOver())
                break;
        }
        b = b.next();
        ++m_scan;
        ++visited;
    }
    emitSizeIfChanged();
    // The view keeps its place first, then what moved is painted anew.
    if (firstChanged >= 0)
        emit estimatesReplaced(firstChanged);
    repaintMoved();
}

void IncrementalDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    // An edit sends the update its change needs; blocks it lays out are part of it.
    const int movedBefore = m_movedFrom;
    applyChange(from, charsRemoved, charsAdded);
    m_movedFrom = movedBefore;
}

void IncrementalDocumentLayout::applyChange(int from, int, int charsAdded)
{
    QTextDocument *doc = document();
    const BlockLayouter::Settings now = BlockLayouter::Settings::of(*doc, paintDevice());
    const bool settingsChanged = !m_haveSettings || !(now == m_layouter.settings());
    m_layouter.setSettings(now);
    m_haveSettings = true;

    const int count = doc->blockCount();
    const int oldCount = int(m_blocks.size());
    const int docLength = doc->characterCount();
    const bool wholeDocument = from <= 0 && charsAdded >= docLength - 1;

    if (oldCount == 0 || (wholeDocument && count != oldCount)) {
        resetAll();
        scheduleWork();
        emit update(QRectF(0, 0, kHuge, kHuge));
        emitSizeIfChanged();
        return;
    }
    if (settingsChanged || wholeDocument) {
        invalidateAll();
        if (count != oldCount)
            resetAll();
        scheduleWork();
        emit update(QRectF(0, 0, kHuge, kHuge));
        emitSizeIfChanged();
        return;
    }

    const QTextBlock firstBlock = doc->findBlock(qBound(0, from, docLength - 1));
    const QTextBlock lastBlock = doc->findBlock(qBound(0, from + qMax(0, charsAdded), docLength - 1));
    const int first = firstBlock.blockNumber();
    const int last = lastBlock.blockNumber();
    const int delta = count - oldCount;
    const int oldLast = last - delta;
    if (first < 0 || last < first || oldLast < first || oldLast >= oldCount) {
        resetAll();
        scheduleWork();
        emit update(QRectF(0, 0, kHuge, kHuge));
        emitSizeIfChanged();
        return;
    }

    m_scheduler.noteEdit();
    const qint64 oldTop = m_heights.offsetOf(first);
    const qint64 oldBottom = m_heights.offsetOf(oldLast + 1);
    qint64 updateTop = oldTop;
    // A change inside one laid-out block repaints from the line before the
    // one changed: the lines above it break as they did.
    if (first == oldLast && first == last && m_blocks[size_t(first)].exact
        && m_blocks[size_t(first)].hasLines && firstBlock.isVisible()) {
        const QTextLayout *tl = firstBlock.layout();
        const int lineIndex = BlockLayouter::lineAt(*tl, from - firstBlock.position());
        if (lineIndex > 0)
            updateTop = oldTop + m_blocks[size_t(first)].gap + fx(tl->lineAt(lineIndex - 1).y());
    }

    // The blocks in the changed range take the place of the old ones; a range
    // of the same length keeps its old heights as estimates until laid out.
    bool hadMaxNeed = false;
    for (int i = first; i <= oldLast; ++i) {
        const BlockInfo &info = m_blocks[size_t(i)];
        if (!info.exact)
            --m_estimated;
        if (info.widthNeed >= m_maxNeed && info.widthNeed > frame().contentsWidth)
            hadMaxNeed = true;
    }
    if (delta > 0) {
        m_blocks.insert(m_blocks.begin() + first + 1, size_t(delta), BlockInfo());
        m_heights.insert(first + 1, delta, 0);
    } else if (delta < 0) {
        m_blocks.erase(m_blocks.begin() + first + 1, m_blocks.begin() + first + 1 - delta);
        m_heights.remove(first + 1, -delta);
    }
    if (hadMaxNeed)
        m_maxNeedDirty = true;
    bool extendToBottom = false;
    const BlockLayouter::Estimate e = m_layouter.estimate();
    {
        QTextBlock b = firstBlock;
        for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) {
            BlockInfo &info = m_blocks[size_t(i)];
            info.exact = false;
            ++m_estimated;
            if (delta != 0)
                m_heights.set(i, e.advance(b));
            // Items after a changed list item may be numbered anew.
            if (b.textList())
                extendToBottom = true;
        }
    }
    // The edited blocks are laid out now; a paste of thousands of blocks
    // leaves all but the first few to the background.
    {
        QTextBlock b = firstBlock;
        for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) {
            if (i - first < kSyncBlocks) {
                layoutBlock(b, i);
            } else {
                // Lines from before the change must not guide a cursor
                // through text that changed; without lines it asks here.
                b.layout()->clearLayout();
                m_blocks[size_t(i)].hasLines = false;
            }
        }
        // The block after the range collapses its top margin with the last
        // changed block's bottom margin.
        const QTextBlock after = lastBlock.next();
        if (after.isValid() && last + 1 < count && m_blocks[size_t(last + 1)].exact) {
            const qint64 before = m_heights.value(last + 1);
            layoutBlock(after, last + 1);
            if (m_heights.value(last + 1) != before)
                extendToBottom = true;
        }
    }

    const qint64 newBottom = m_heights.offsetOf(last + 1);
    // Unless the changed blocks grew or shrank, nothing below them moved.
    const QRectF rect = newBottom == oldBottom && !extendToBottom
        ? QRectF(0, real(frame().yTop + updateTop), kHuge, real(newBottom - updateTop))
        : QRectF(0, real(frame().yTop + updateTop), kHuge, kHuge);
    scheduleWork();
    emit update(rect);
    emitSizeIfChanged();
}

QSizeF IncrementalDocumentLayout::documentSize() const
{
    if (!m_haveSettings)
        return QSizeF();
    const qint64 width = qMax(frame().contentsWidth, maxWidthNeed()) + frame().marginWidth;
    const qint64 height = frame().yTop + m_heights.total() + frame().bottomExtra;
    return QSizeF(real(width), real(height));
}

int IncrementalDocumentLayout::pageCount() const
{
    const QSizeF page = document()->pageSize();
    if (page.height() <= 0)
        return 1;
    return qMax(1, qCeil(documentSize().height() / page.height()));
}

QRectF IncrementalDocumentLayout::frameBoundingRect(QTextFrame *frame) const
{
    if (frame && frame == document()->rootFrame())
        return QRectF(QPointF(0, 0), documentSize());
    return QRectF();
}

QRectF IncrementalDocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!m_haveSettings || !block.isValid() || !block.isVisible() || block.document() != document())
        return QRectF();
    syncBlockCount();
    const int number = block.blockNumber();
    if (number < 0 || number >= int(m_blocks.size()))
        return QRectF();
    ensureSurroundings(block, number);
    ensureExact(block, number);
    const QTextLayout *tl = block.layout();
    QRectF rect = tl->boundingRect();
    rect.moveTopLeft(tl->position());
    return rect;
}

int IncrementalDocumentLayout::hitTest(const QPointF &asked, Qt::HitTestAccuracy accuracy) const
{
    if (!m_haveSettings)
        return -1;
    const QPointF point(qIsFinite(asked.x()) ? qBound(-1e12, asked.x(), 1e12) : 0,
                        qIsFinite(asked.y()) ? qBound(-1e12, asked.y(), 1e12) : 0);
    syncBlockCount();
    const QTextDocument *doc = document();
    QTextBlock block;
    blockAtY(point.y(), &block);
    // Step back over hidden blocks to one that has lines.
    while (block.isValid() && !block.isVisible())
        block = block.previous();
    if (!block.isValid())
        return accuracy == Qt::ExactHit ? -1 : 0;
    ensureExact(block, block.blockNumber());

    const QTextLayout *tl = block.layout();
    QRectF textRect = tl->boundingRect();
    textRect.translate(tl->position());
    if (point.y() <= textRect.top()) {
        // On the bottom edge of the block before: that block is hit.
        QTextBlock previous = block.previous();
        while (previous.isValid() && !previous.isVisible())
            previous = previous.previous();
        if (previous.isValid()) {
            ensureExact(previous, previous.blockNumber());
            QRectF previousRect = previous.layout()->boundingRect();
            previousRect.translate(previous.layout()->position());
            if (point.y() <= previousRect.bottom()) {
                block = previous;
                tl = block.layout();
                textRect = previousRect;
            }
        }
    }
    int position = block.position();
    bool exact = false;
    if (point.y() < textRect.top()) {
        // Above the block's first line: the start of the block.
    } else if (point.y() > textRect.bottom()) {
        position += block.length();
    } else {
        position += BlockLayouter::offsetAt(*tl, point - tl->position(), accuracy, &exact);
    }
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    int lastPosition = doc->rootFrame()->lastPosition();
    if (!tl->preeditAreaText().isEmpty())
        lastPosition += int(tl->preeditAreaText().size());
    return qBound(0, position, lastPosition);
}

void IncrementalDocumentLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (!m_haveSettings || !painter)
        return;
    syncBlockCount();
    const QTextDocument *doc = document();
    if (!context.clip.isValid())
        layoutAllNow();
    else if (context.clip.height() >= 50)
        m_painted = context.clip; // a blinking cursor repaints less than this

    const QSizeF size = documentSize();
    const DocumentPainter page(*this, painter, context, m_layouter.settings().rootFormat, m_cursorWidth);
    const QRectF clip = page.drawBackground(size, QPointF(real(frame().xLeft), real(frame().yTop)));

    QTextBlock block;
    int number = context.clip.isValid() ? blockAtY(context.clip.top(), &block) : 0;
    if (!context.clip.isValid())
        block = doc->begin();
    const qreal clipBottom = context.clip.isValid() ? context.clip.bottom() : size.height();
    const int movedBefore = m_movedFrom;
    m_movedFrom = -1;
    for (; block.isValid() && number < int(m_blocks.size()); block = block.next(), ++number) {
        ensureExact(block, number);
        if (!block.isVisible())
            continue;
        if (blockTop(number) > clipBottom)
            break;
        page.drawBlock(block, clip);
    }
    // A block laid out while painting replaced its estimate: what lies below
    // it moved. This paint drew it all in place down to the clip's bottom;
    // below that the view still shows the old places.
    if (m_movedFrom >= 0 && context.clip.isValid())
        emit update(QRectF(0, clipBottom, kHuge, kHuge));
    m_movedFrom = movedBefore;
}

void IncrementalDocumentLayout::resizeInlineObject(QTextInlineObject item, int posInDocument,
                                                   const QTextFormat &format)
{
    const QTextCharFormat f = format.toCharFormat();
    if (QTextObjectInterface *handler = f.isValid() ? handlerForObject(f.objectType()) : nullptr)
        BlockLayouter::sizeInlineObject(item, handler->intrinsicSize(document(), posInDocument, format), f);
}

void IncrementalDocumentLayout::positionInlineObject(QTextInlineObject, int, const QTextFormat &)
{
    // Inline objects flow with the text; there are no floats to place.
}
