#include "BlockLayouter.h"

#include "LayoutUnits.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

using namespace LayoutUnits;

namespace {

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

} // namespace

bool BlockLayouter::Settings::operator==(const Settings &o) const
{
    return pageWidth == o.pageWidth && font == o.font && rootFormat == o.rootFormat
        && alignment == o.alignment && wrapMode == o.wrapMode && flags == o.flags
        && tabStop == o.tabStop && tabs == o.tabs && direction == o.direction
        && indentWidth == o.indentWidth && dpi == o.dpi;
}

BlockLayouter::Settings BlockLayouter::Settings::of(const QTextDocument &document, const QPaintDevice *device)
{
    const QTextDocument *doc = &document;
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
    s.dpi = device ? device->logicalDpiY() : 0;
    return s;
}

qreal BlockLayouter::dpiScale() const
{
    return m_settings.dpi > 0 ? qreal(m_settings.dpi) / 96.0 : 1.0;
}

void BlockLayouter::setSettings(const Settings &settings)
{
    m_settings = settings;
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
    m_frame.contentsWidth = width - 2 * (border + padding) - left - right;
    m_frame.xLeft = left + border + padding;
    m_frame.xRight = m_frame.xLeft + m_frame.contentsWidth;
    m_frame.yTop = top + border + padding;
    m_frame.bottomExtra = border + padding + bottom;
    m_frame.marginWidth = 2 * (border + padding) + left + right;
}

BlockLayouter::Estimate BlockLayouter::estimate() const
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
    e.available = real(m_frame.contentsWidth);
    e.wraps = e.available > 1 && m_settings.wrapMode != QTextOption::NoWrap
        && m_settings.wrapMode != QTextOption::ManualWrap && m_settings.pageWidth >= 0;
    return e;
}

qint64 BlockLayouter::Estimate::advance(const QTextBlock &block) const
{
    if (!block.isVisible())
        return 0;
    qint64 lines = 1;
    if (wraps)
        lines = qMax<qint64>(1, qCeil(qreal(block.length() - 1) * charWidth / available));
    return lines * lineHeight;
}

std::vector<qint64> BlockLayouter::estimateAll(const QTextDocument &document, int count) const
{
    std::vector<qint64> advances;
    advances.reserve(size_t(count));
    const Estimate e = estimate();
    for (QTextBlock b = document.begin(); b.isValid() && int(advances.size()) < count; b = b.next())
        advances.push_back(e.advance(b));
    advances.resize(size_t(count), 0);
    return advances;
}

BlockLayouter::Lines BlockLayouter::layout(const QTextBlock &block, int number, qint64 offset)
{
    const QTextDocument *doc = block.document();
    const QTextBlockFormat format = block.blockFormat();
    const qreal scaling = dpiScale();

    // Margins between blocks collapse to the larger of the two, as in CSS.
    qint64 gap = 0;
    if (number > 0) {
        qreal margin = qMax(format.topMargin(), block.previous().blockFormat().bottomMargin());
        if (margin > 0 && m_settings.dpi > 0)
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
    const qint64 top = m_frame.yTop + offset + gap;
    tl->setPosition(QPointF(real(m_frame.xLeft), real(top)));

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

    const qint64 l = m_frame.xLeft + totalLeft;
    const qint64 r = m_frame.xRight - totalRight;
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

        line.setPosition(QPointF(real(left - m_frame.xLeft), real(y - adjustment)));
        bottom = y + lineBottom;
        y += lineHeight;
        need = qMax(need, fx(line.x() + line.naturalTextWidth()) + totalRight);
        textWidth += line.naturalTextWidth();
        ++lines;
    }
    y = qMax(y, bottom);
    tl->endLayout();

    if (lines > 0 && block.length() > 1) {
        m_learnedLines += lines;
        m_learnedLineHeight += y;
        m_learnedChars += block.length() - 1;
        m_learnedTextWidth += textWidth;
    }
    return {gap, gap + y, need};
}

void BlockLayouter::sizeInlineObject(QTextInlineObject item, const QSizeF &size, const QTextCharFormat &f)
{
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

int BlockLayouter::lineAt(const QTextLayout &layout, int offset)
{
    int lineIndex = -1;
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (layout.lineAt(i).textStart() <= offset)
            lineIndex = i;
        else
            break;
    }
    return lineIndex;
}

int BlockLayouter::offsetAt(const QTextLayout &layout, const QPointF &pos, Qt::HitTestAccuracy accuracy, bool *exact)
{
    const QTextLayout *tl = &layout;
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
                *exact = true;
            // An anchor is hit over its whole width, not only its left half.
            off = line.xToCursor(pos.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                                   : QTextLine::CursorBetweenCharacters);
            break;
        }
    }
    return off;
}
