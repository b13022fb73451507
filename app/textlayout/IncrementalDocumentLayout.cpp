#include "IncrementalDocumentLayout.h"

#include "DocumentLayoutKeeper.h"
#include "InlineImageHandler.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>
#include <QtMath>

#include <algorithm>
#include <climits>

namespace {

// Lengths are kept in 1/64 pixels, rounded the way QTextLayout rounds them,
// so that adding them up gives the same positions a line-by-line layout gives.
qint64 fx(qreal v)
{
    return qRound64(v * 64.0);
}

// Margins and indents from a document; absurd ones (a broken file) are
// capped so that the sums of them stay far from overflowing.
qint64 fxLength(qreal v)
{
    return qIsFinite(v) ? fx(qBound(qreal(-1e6), v, qreal(1e6))) : 0;
}

// A position asked about, which may be anything.
qint64 fxCoordinate(qreal v)
{
    return qIsFinite(v) ? fx(qBound(qreal(-1e12), v, qreal(1e12))) : 0;
}

qreal real(qint64 v)
{
    return qreal(v) / 64.0;
}

// Time one step of the background layout may take before it yields.
constexpr qint64 kStepNanoseconds = 4'000'000;
// While the user types the background layout waits, so that a key press
// never queues behind a step of it; it goes on in the pauses.
constexpr qint64 kTypingPauseMs = 150;
constexpr int kWaitWhileTypingMs = 60;
// An edit touching more blocks than this leaves the rest to the background.
constexpr int kSyncBlocks = 256;
constexpr qreal kHuge = 1e9;
// Height above a block asked for outside the view that is laid out with it.
constexpr qreal kSurroundings = 2500;
constexpr int kSurroundingBlocks = 400;

Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    if (!(alignment & Qt::AlignAbsolute) && (alignment & (Qt::AlignLeft | Qt::AlignRight))) {
        if (direction == Qt::RightToLeft)
            alignment ^= (Qt::AlignLeft | Qt::AlignRight);
        alignment |= Qt::AlignAbsolute;
    }
    return alignment;
}

void fillBackground(QPainter *p, const QRectF &rect, QBrush brush, const QPointF &origin)
{
    p->save();
    if (brush.style() >= Qt::LinearGradientPattern && brush.style() <= Qt::ConicalGradientPattern) {
        QTransform m;
        m.translate(rect.left(), rect.top());
        m.scale(rect.width(), rect.height());
        brush.setTransform(m);
    } else {
        p->setBrushOrigin(origin);
    }
    p->fillRect(rect, brush);
    p->restore();
}

} // namespace

bool IncrementalDocumentLayout::Settings::operator==(const Settings &o) const
{
    return pageWidth == o.pageWidth && font == o.font && rootFormat == o.rootFormat
        && alignment == o.alignment && wrapMode == o.wrapMode && flags == o.flags
        && tabStop == o.tabStop && tabs == o.tabs && direction == o.direction
        && indentWidth == o.indentWidth && dpi == o.dpi;
}

IncrementalDocumentLayout::IncrementalDocumentLayout(QTextDocument *document)
    : QAbstractTextDocumentLayout(document)
    , m_images(new InlineImageHandler(this))
{
    registerHandler(QTextFormat::ImageObject, m_images);
}

IncrementalDocumentLayout::~IncrementalDocumentLayout() = default;

DocumentLayoutKeeper *IncrementalDocumentLayout::install(QTextEdit *edit)
{
    if (!edit)
        return nullptr;
    if (auto *keeper = edit->findChild<DocumentLayoutKeeper *>(QString(), Qt::FindDirectChildrenOnly))
        return keeper;
    return new DocumentLayoutKeeper(edit);
}

void IncrementalDocumentLayout::setCursorWidth(int width)
{
    m_cursorWidth = width;
}

qreal IncrementalDocumentLayout::dpiScale() const
{
    QPaintDevice *device = paintDevice();
    return device ? qreal(device->logicalDpiY()) / 96.0 : 1.0;
}

IncrementalDocumentLayout::Settings IncrementalDocumentLayout::currentSettings() const
{
    const QTextDocument *doc = document();
    Settings s;
    s.pageWidth = doc->pageSize().width();
    s.font = doc->defaultFont();
    s.rootFormat = doc->rootFrame()->frameFormat();
    const QTextOption option = doc->defaultTextOption();
    s.alignment = option.alignment();
    s.wrapMode = option.wrapMode();
    s.flags = option.flags();
    s.tabStop = option.tabStopDistance();
    s.tabs = option.tabs();
    s.direction = option.textDirection();
    s.indentWidth = doc->indentWidth();
    s.dpi = paintDevice() ? paintDevice()->logicalDpiY() : 0;
    return s;
}

void IncrementalDocumentLayout::applyFrameGeometry()
{
    const QTextFrameFormat &ff = m_settings.rootFormat;
    const qreal maximumWidth = qMax(qreal(0), m_settings.pageWidth);
    qint64 width = fxLength(ff.width().value(maximumWidth));
    if (ff.width().type() == QTextLength::FixedLength)
        width = fxLength(real(width) * dpiScale());
    const qint64 top = fxLength(ff.topMargin());
    const qint64 bottom = fxLength(ff.bottomMargin());
    const qint64 left = fxLength(ff.leftMargin());
    const qint64 right = fxLength(ff.rightMargin());
    const qint64 border = fxLength(ff.border());
    const qint64 padding = fxLength(ff.padding());
    m_contentsWidth = width - 2 * (border + padding) - left - right;
    m_xLeft = left + border + padding;
    m_xRight = m_xLeft + m_contentsWidth;
    m_yTop = top + border + padding;
    m_bottomExtra = border + padding + bottom;
    m_marginWidth = 2 * (border + padding) + left + right;
}

IncrementalDocumentLayout::Estimate IncrementalDocumentLayout::estimator() const
{
    Estimate e;
    if (m_learnedLines >= 16 && m_learnedChars > 0) {
        e.charWidth = m_learnedTextWidth / qreal(m_learnedChars);
        e.lineHeight = m_learnedLineHeight / m_learnedLines;
    } else {
        const QFontMetricsF fm(m_settings.font);
        e.charWidth = fm.averageCharWidth();
        e.lineHeight = fx(qCeil(fm.ascent() + fm.descent() + qMax(qreal(0), fm.leading())));
    }
    e.available = real(m_contentsWidth);
    e.wraps = e.available > 1 && m_settings.wrapMode != QTextOption::NoWrap
        && m_settings.wrapMode != QTextOption::ManualWrap && m_settings.pageWidth >= 0;
    return e;
}

qint64 IncrementalDocumentLayout::estimateAdvance(const QTextBlock &block, const Estimate &e) const
{
    if (!block.isVisible())
        return 0;
    qint64 lines = 1;
    if (e.wraps)
        lines = qMax<qint64>(1, qCeil(qreal(block.length() - 1) * e.charWidth / e.available));
    return lines * e.lineHeight;
}

// Forgets every block and starts over with estimates: a new document, or one
// changed in a way the block numbers cannot follow.
void IncrementalDocumentLayout::resetAll()
{
    const QTextDocument *doc = document();
    const int count = doc->blockCount();
    m_blocks.assign(size_t(count), BlockInfo());
    std::vector<qint64> advances;
    advances.reserve(size_t(count));
    const Estimate e = estimator();
    for (QTextBlock b = doc->begin(); b.isValid() && int(advances.size()) < count; b = b.next())
        advances.push_back(estimateAdvance(b, e));
    advances.resize(size_t(count), 0);
    m_heights.assign(std::move(advances));
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
    if (m_estimated > 0 && !m_layoutTimer.isActive()) {
        m_layoutWaiting = false;
        m_layoutTimer.start(0, const_cast<IncrementalDocumentLayout *>(this));
    }
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
    emit update(QRectF(0, real(m_yTop + m_heights.offsetOf(number)), kHuge, kHuge));
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
        if (oldNeed == m_maxNeed && oldNeed > m_contentsWidth)
            m_maxNeedDirty = true;
        return;
    }

    const QTextDocument *doc = document();
    const QTextBlockFormat format = block.blockFormat();
    const qreal scaling = dpiScale();

    // Margins between blocks collapse to the larger of the two, as in CSS.
    qint64 gap = 0;
    if (number > 0) {
        qreal margin = qMax(format.topMargin(), block.previous().blockFormat().bottomMargin());
        if (margin > 0 && paintDevice())
            margin *= scaling;
        gap = fxLength(margin);
    }

    const Qt::LayoutDirection dir = block.textDirection();
    qint64 extraMargin = 0;
    if (m_settings.flags & QTextOption::AddSpaceForLineAndParagraphSeparators) {
        const QFontMetricsF fm(block.charFormat().font());
        extraMargin = fx(fm.horizontalAdvance(QChar(0x21B5)));
    }
    qreal indentSteps = format.indent();
    if (const QTextList *list = block.textList())
        indentSteps += list->format().indent();
    const qint64 indent = qFuzzyIsNull(indentSteps)
        ? 0 : fxLength(indentSteps * scaling * doc->indentWidth());
    const qint64 totalLeft = fxLength(format.leftMargin()) + (dir == Qt::RightToLeft ? extraMargin : indent);
    const qint64 totalRight = fxLength(format.rightMargin()) + (dir == Qt::RightToLeft ? indent : extraMargin);

    QTextLayout *tl = block.layout();
    const qint64 top = m_yTop + m_heights.offsetOf(number) + gap;
    tl->setPosition(QPointF(real(m_xLeft), real(top)));

    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(dir);
    option.setTabs(format.tabPositions());
    Qt::Alignment align = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        align = format.alignment();
    option.setAlignment(visualAlignment(dir, align));
    if (format.nonBreakableLines() || doc->pageSize().width() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    tl->setTextOption(option);
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const qint64 l = m_xLeft + totalLeft;
    const qint64 r = m_xRight - totalRight;
    const qint64 textIndent = fxLength(format.textIndent());
    const QTextBlockFormat::LineHeightTypes heightType =
        QTextBlockFormat::LineHeightTypes(format.lineHeightType());
    qint64 y = 0;
    qint64 bottom = 0;
    qint64 need = 0;
    int lines = 0;
    qreal textWidth = 0;

    tl->beginLayout();
    for (;;) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        qint64 left = l;
        qint64 right = r;
        if (lines == 0) {
            if (dir == Qt::LeftToRight)
                left += textIndent;
            else
                right -= textIndent;
        }
        line.setLineWidth(real(right - left));
        if (fx(line.naturalTextWidth()) > right - left) {
            // A word wider than the line: break it anywhere rather than let
            // it run out of the page, and go back to word breaks after it.
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WrapAnywhere);
                tl->setTextOption(option);
            }
            line.setLineWidth(qMax(line.naturalTextWidth(), real(right - left)));
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WordWrap);
                tl->setTextOption(option);
            }
        }

        const qreal rawHeight = qCeil(line.ascent() + line.descent() + line.leading());
        const qint64 lineHeight = fxLength(format.lineHeight(rawHeight, scaling));
        const qint64 lineBottom = fxLength(format.lineHeight(line.height(), scaling));
        qint64 adjustment = 0;
        if (heightType == QTextBlockFormat::FixedHeight)
            adjustment = fx(line.ascent() + qMax(line.leading(), qreal(0))) - (lineHeight * 4) / 5;
        else if (heightType == QTextBlockFormat::MinimumHeight)
            adjustment = fx(line.height()) - lineHeight;

        line.setPosition(QPointF(real(left - m_xLeft), real(y - adjustment)));
        bottom = y + lineBottom;
        y += lineHeight;
        need = qMax(need, fx(line.x() + line.naturalTextWidth()) + totalRight);
        textWidth += line.naturalTextWidth();
        ++lines;
    }
    y = qMax(y, bottom);
    tl->endLayout();

    info.gap = qint32(gap);
    info.widthNeed = qint32(qBound(qint64(0), need, qint64(INT_MAX)));
    info.hasLines = true;
    m_heights.set(number, gap + y);
    noteMoved(number, oldAdvance);
    // Only a line wider than the page widens the document, so the widest
    // block is looked for again only when one of those got narrower.
    if (info.widthNeed > m_maxNeed)
        m_maxNeed = info.widthNeed;
    else if (oldNeed == m_maxNeed && info.widthNeed < oldNeed && oldNeed > m_contentsWidth)
        m_maxNeedDirty = true;

    if (lines > 0 && block.length() > 1) {
        m_learnedLines += lines;
        m_learnedLineHeight += y;
        m_learnedChars += block.length() - 1;
        m_learnedTextWidth += textWidth;
    }
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
        const qint64 top = m_yTop + m_heights.offsetOf(number) + m_blocks[size_t(number)].gap;
        block.layout()->setPosition(QPointF(real(m_xLeft), real(top)));
    }
}

// A block asked for outside the part last painted (the cursor sent to the
// end, a page down into blocks not laid out yet) is where the view is going:
// the screenful above it is laid out too, so that painting it later does not
// push the block down out of the view the edit just scrolled to.
void IncrementalDocumentLayout::ensureSurroundings(const QTextBlock &block, int number) const
{
    const qreal top = real(m_yTop + m_heights.offsetOf(number));
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
    return m_heights.indexAt(fxCoordinate(y) - m_yTop);
}

qreal IncrementalDocumentLayout::blockOffset(int number) const
{
    return real(m_yTop + m_heights.offsetOf(number));
}

qreal IncrementalDocumentLayout::blockTop(int number) const
{
    return real(m_yTop + m_heights.offsetOf(number) + m_blocks[size_t(number)].gap);
}

// The block whose span (gap above plus lines) holds y, laid out; its number.
int IncrementalDocumentLayout::blockAtY(qreal y, QTextBlock *block) const
{
    const QTextDocument *doc = document();
    const qint64 offset = fxCoordinate(y) - m_yTop;
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
        m_layoutTimer.stop();
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
    if (event->timerId() != m_layoutTimer.timerId()) {
        QAbstractTextDocumentLayout::timerEvent(event);
        return;
    }
    syncBlockCount();
    const int count = int(m_blocks.size());
    if (m_estimated <= 0 || count == 0) {
        m_layoutTimer.stop();
        return;
    }
    if (m_sinceEdit.isValid() && m_sinceEdit.elapsed() < kTypingPauseMs) {
        if (!m_layoutWaiting) {
            m_layoutWaiting = true;
            m_layoutTimer.start(kWaitWhileTypingMs, this);
        }
        return;
    }
    if (m_layoutWaiting) {
        m_layoutWaiting = false;
        m_layoutTimer.start(0, this);
    }
    QElapsedTimer clock;
    clock.start();
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
            if (clock.nsecsElapsed() > kStepNanoseconds)
                break;
        }
        b = b.next();
        ++m_scan;
        ++visited;
    }
    if (m_estimated <= 0)
        m_layoutTimer.stop();
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
    const Settings now = currentSettings();
    const bool settingsChanged = !m_haveSettings || !(now == m_settings);
    m_settings = now;
    m_haveSettings = true;
    applyFrameGeometry();

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

    m_sinceEdit.start();
    const qint64 oldTop = m_heights.offsetOf(first);
    const qint64 oldBottom = m_heights.offsetOf(oldLast + 1);
    qint64 updateTop = oldTop;
    // A change inside one laid-out block repaints from the line before the
    // one changed: the lines above it break as they did.
    if (first == oldLast && first == last && m_blocks[size_t(first)].exact
        && m_blocks[size_t(first)].hasLines && firstBlock.isVisible()) {
        const QTextLayout *tl = firstBlock.layout();
        const int relative = from - firstBlock.position();
        int lineIndex = -1;
        for (int i = 0; i < tl->lineCount(); ++i) {
            if (tl->lineAt(i).textStart() <= relative)
                lineIndex = i;
            else
                break;
        }
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
        if (info.widthNeed >= m_maxNeed && info.widthNeed > m_contentsWidth)
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
    const Estimate e = estimator();
    {
        QTextBlock b = firstBlock;
        for (int i = first; i <= last && b.isValid(); ++i, b = b.next()) {
            BlockInfo &info = m_blocks[size_t(i)];
            info.exact = false;
            ++m_estimated;
            if (delta != 0)
                m_heights.set(i, estimateAdvance(b, e));
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
        ? QRectF(0, real(m_yTop + updateTop), kHuge, real(newBottom - updateTop))
        : QRectF(0, real(m_yTop + updateTop), kHuge, kHuge);
    scheduleWork();
    emit update(rect);
    emitSizeIfChanged();
}

QSizeF IncrementalDocumentLayout::documentSize() const
{
    if (!m_haveSettings)
        return QSizeF();
    const qint64 width = qMax(m_contentsWidth, maxWidthNeed()) + m_marginWidth;
    const qint64 height = m_yTop + m_heights.total() + m_bottomExtra;
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
        const QPointF pos = point - tl->position();
        int off = 0;
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            const QRectF lr = line.naturalTextRect();
            if (lr.top() > pos.y()) {
                off = qMin(off, line.textStart());
            } else if (lr.bottom() <= pos.y()) {
                off = qMax(off, line.textStart() + line.textLength());
            } else {
                if (lr.left() <= pos.x() && lr.right() >= pos.x())
                    exact = true;
                // An anchor is hit over its whole width, not only its left half.
                off = line.xToCursor(pos.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                                       : QTextLine::CursorBetweenCharacters);
                break;
            }
        }
        position += off;
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
    const QTextFrameFormat &ff = m_settings.rootFormat;
    const QBrush rootBackground = ff.background();
    if (rootBackground != Qt::NoBrush)
        fillBackground(painter, context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), size),
                       rootBackground, QPointF(real(m_xLeft), real(m_yTop)));
    // Lines do not paint into the left and right margins of the page.
    const QRectF pageRect = QRectF(QPointF(0, 0), size).adjusted(ff.leftMargin(), 0, -ff.rightMargin(), 0);
    const QRectF clip = context.clip.isValid() ? (context.clip & pageRect) : pageRect;

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
        drawBlock(painter, context, block, clip);
    }
    // A block laid out while painting replaced its estimate: what lies below
    // it moved. This paint drew it all in place down to the clip's bottom;
    // below that the view still shows the old places.
    if (m_movedFrom >= 0 && context.clip.isValid())
        emit update(QRectF(0, clipBottom, kHuge, kHuge));
    m_movedFrom = movedBefore;
}

void IncrementalDocumentLayout::drawBlock(QPainter *painter, const PaintContext &context,
                                          const QTextBlock &block, const QRectF &clip) const
{
    const QTextLayout *tl = block.layout();
    QRectF r = tl->boundingRect();
    r.translate(tl->position());
    if (context.clip.isValid() && (r.bottom() < context.clip.y() || r.top() > context.clip.bottom()))
        return;

    const QTextBlockFormat format = block.blockFormat();
    const QBrush bg = format.background();
    if (bg != Qt::NoBrush) {
        QRectF rect = r;
        // Without wrapping a block is only as wide as its text; its
        // background still runs to the right edge of the page.
        if (document()->pageSize().width() <= 0)
            rect.setRight(documentSize().width() - m_settings.rootFormat.rightMargin());
        fillBackground(painter, rect, bg, r.topLeft());
    }

    QList<QTextLayout::FormatRange> selections;
    const int blpos = block.position();
    const int bllen = block.length();
    const QTextCharFormat *selectionFormat = nullptr;
    for (const Selection &range : context.selections) {
        const int selStart = range.cursor.selectionStart() - blpos;
        const int selEnd = range.cursor.selectionEnd() - blpos;
        if (selStart < bllen && selEnd > 0 && selEnd > selStart) {
            QTextLayout::FormatRange o;
            o.start = selStart;
            o.length = selEnd - selStart;
            o.format = range.format;
            selections.append(o);
        } else if (!range.cursor.hasSelection() && range.format.hasProperty(QTextFormat::FullWidthSelection)
                   && block.contains(range.cursor.position())) {
            // A full-width selection needs no selected text, only a position
            // naming the line.
            QTextLayout::FormatRange o;
            const QTextLine l = tl->lineForTextPosition(range.cursor.position() - blpos);
            o.start = l.textStart();
            o.length = l.textLength();
            if (o.start + o.length == bllen - 1)
                ++o.length; // the paragraph separator too
            o.format = range.format;
            selections.append(o);
        }
        if (selStart < 0 && selEnd >= 1)
            selectionFormat = &range.format;
    }

    if (const QTextList *list = block.textList()) {
        if (list->format().style() != QTextListFormat::ListStyleUndefined)
            drawListItem(painter, context, block, selectionFormat);
    }

    const QPen oldPen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    tl->draw(painter, QPointF(), selections, clip);

    if ((context.cursorPosition >= blpos && context.cursorPosition < blpos + bllen)
        || (context.cursorPosition < -1 && !tl->preeditAreaText().isEmpty())) {
        int cpos = context.cursorPosition;
        if (cpos < -1)
            cpos = tl->preeditAreaPosition() - (cpos + 2);
        else
            cpos -= blpos;
        tl->drawCursor(painter, QPointF(), cpos, m_cursorWidth);
    }

    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth)) {
        const qreal width = format.lengthProperty(QTextFormat::BlockTrailingHorizontalRulerWidth).value(r.width());
        painter->setPen(context.palette.color(QPalette::Dark));
        qreal y = r.bottom();
        if (block.length() == 1)
            y = r.top() + r.height() / 2;
        const qreal middleX = r.left() + r.width() / 2;
        painter->drawLine(QLineF(middleX - width / 2, y, middleX + width / 2, y));
    }
    painter->setPen(oldPen);
}

void IncrementalDocumentLayout::drawListItem(QPainter *painter, const PaintContext &context,
                                             const QTextBlock &block,
                                             const QTextCharFormat *selectionFormat) const
{
    const QTextBlockFormat blockFormat = block.blockFormat();
    // The marker takes the block's own character format, not its first character's.
    const QTextCharFormat charFormat = block.charFormat();
    QFont font(charFormat.font());
    if (paintDevice())
        font = QFont(font, paintDevice());
    const QFontMetrics fontMetrics(font);
    QTextList *list = block.textList();
    int style = list->format().style();
    if (blockFormat.hasProperty(QTextFormat::ListStyle))
        style = QTextListFormat::Style(blockFormat.intProperty(QTextFormat::ListStyle));

    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const QTextLine firstLine = layout->lineAt(0);
    QPointF pos = layout->position().toPoint();
    const Qt::LayoutDirection dir = block.textDirection();
    {
        const QRectF textRect = firstLine.naturalTextRect();
        pos += textRect.topLeft().toPoint();
        if (dir == Qt::RightToLeft)
            pos.rx() += textRect.width();
    }

    QString itemText;
    QSizeF size;
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        itemText = list->itemText(block);
        size.setWidth(fontMetrics.horizontalAdvance(itemText));
        size.setHeight(fontMetrics.height());
        break;
    case QTextListFormat::ListSquare:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListDisc:
        size.setWidth(fontMetrics.lineSpacing() / 3);
        size.setHeight(size.width());
        break;
    default:
        return;
    }

    QRectF r(pos, size);
    qreal xoff = fontMetrics.horizontalAdvance(QLatin1Char(' '));
    if (dir == Qt::LeftToRight)
        xoff = -xoff - size.width();
    r.translate(xoff, (fontMetrics.height() / 2) - (size.height() / 2));

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selectionFormat) {
        painter->setPen(QPen(selectionFormat->foreground(), 0));
        painter->fillRect(r, selectionFormat->background());
    } else {
        QBrush fg = charFormat.foreground();
        if (fg == Qt::NoBrush)
            fg = context.palette.text();
        painter->setPen(QPen(fg, 0));
    }
    const QBrush brush = context.palette.brush(QPalette::Text);
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman: {
        QTextLayout marker(itemText, font, paintDevice());
        marker.setCacheEnabled(true);
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(dir);
        marker.setTextOption(option);
        marker.beginLayout();
        QTextLine line = marker.createLine();
        if (line.isValid())
            line.setLeadingIncluded(true);
        marker.endLayout();
        marker.draw(painter, QPointF(r.left(), pos.y()));
        break;
    }
    case QTextListFormat::ListSquare:
        painter->fillRect(r, brush);
        break;
    case QTextListFormat::ListCircle:
        painter->setPen(QPen(brush, 0));
        painter->drawEllipse(r.translated(0.5, 0.5)); // pixel-aligned, sharper
        break;
    case QTextListFormat::ListDisc:
        painter->setBrush(brush);
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(r);
        break;
    default:
        break;
    }
    painter->restore();
}

void IncrementalDocumentLayout::resizeInlineObject(QTextInlineObject item, int posInDocument,
                                                   const QTextFormat &format)
{
    const QTextCharFormat f = format.toCharFormat();
    if (!f.isValid())
        return;
    QTextObjectInterface *handler = handlerForObject(f.objectType());
    if (!handler)
        return;
    const QSizeF size = handler->intrinsicSize(document(), posInDocument, format);
    item.setWidth(size.width());
    if (f.verticalAlignment() == QTextCharFormat::AlignMiddle) {
        const QFontMetrics m(f.font());
        const qreal halfX = m.xHeight() / 2.;
        item.setAscent((size.height() + halfX) / 2.);
        item.setDescent((size.height() - halfX) / 2.);
    } else {
        item.setDescent(0);
        item.setAscent(size.height());
    }
}

void IncrementalDocumentLayout::positionInlineObject(QTextInlineObject, int, const QTextFormat &)
{
    // Inline objects flow with the text; there are no floats to place.
}
