#include "DocumentPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

namespace {

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

DocumentPainter::DocumentPainter(const QAbstractTextDocumentLayout &layout, QPainter *painter,
                                 const PaintContext &context, const QTextFrameFormat &rootFormat, int cursorWidth)
    : m_layout(layout)
    , m_painter(painter)
    , m_context(context)
    , m_rootFormat(rootFormat)
    , m_cursorWidth(cursorWidth)
{
}

QRectF DocumentPainter::drawBackground(const QSizeF &size, const QPointF &frameOrigin) const
{
    const QTextFrameFormat &ff = m_rootFormat;
    const QBrush rootBackground = ff.background();
    if (rootBackground != Qt::NoBrush)
        fillBackground(m_painter, m_context.clip.isValid() ? m_context.clip : QRectF(QPointF(0, 0), size),
                       rootBackground, frameOrigin);
    // Lines do not paint into the left and right margins of the page.
    const QRectF pageRect = QRectF(QPointF(0, 0), size).adjusted(ff.leftMargin(), 0, -ff.rightMargin(), 0);
    return m_context.clip.isValid() ? (m_context.clip & pageRect) : pageRect;
}

void DocumentPainter::drawBlock(const QTextBlock &block, const QRectF &clip) const
{
    QPainter *painter = m_painter;
    const PaintContext &context = m_context;
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
        if (block.document()->pageSize().width() <= 0)
            rect.setRight(m_layout.documentSize().width() - m_rootFormat.rightMargin());
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
            drawListItem(block, selectionFormat);
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

void DocumentPainter::drawListItem(const QTextBlock &block, const QTextCharFormat *selectionFormat) const
{
    QPainter *painter = m_painter;
    const PaintContext &context = m_context;
    QPaintDevice *device = m_layout.paintDevice();
    const QTextBlockFormat blockFormat = block.blockFormat();
    // The marker takes the block's own character format, not its first character's.
    const QTextCharFormat charFormat = block.charFormat();
    QFont font(charFormat.font());
    if (device)
        font = QFont(font, device);
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
        QTextLayout marker(itemText, font, device);
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
