#include "GlyphIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace GlyphIcons {

namespace {

// Draws one glyph in a 24 x 24 design grid scaled to the requested square.
class GlyphEngine : public QIconEngine
{
public:
    explicit GlyphEngine(Glyph glyph) : m_glyph(glyph) {}

    QIconEngine *clone() const override { return new GlyphEngine(m_glyph); }

    QString key() const override { return QStringLiteral("QuenoraGlyph"); }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal side = qMin(rect.width(), rect.height());
        if (side <= 0)
            return;
        m_disabled = mode == QIcon::Disabled;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 24.0, side / 24.0);
        draw(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

private:
    // Disabled pictures keep their shapes in light greys.
    QColor colour(QRgb rgb) const
    {
        if (!m_disabled)
            return QColor(rgb);
        const int grey = 150 + qGray(rgb) * 90 / 255;
        return QColor(grey, grey, grey);
    }

    void shape(QPainter &p, const QPainterPath &path, QRgb fill, QRgb outline, qreal width = 1.2) const
    {
        p.setPen(QPen(colour(outline), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(colour(fill));
        p.drawPath(path);
    }

    static QPainterPath polygon(std::initializer_list<QPointF> points)
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points)));
        path.closeSubpath();
        return path;
    }

    static QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal r)
    {
        QPainterPath path;
        path.addRoundedRect(QRectF(x, y, w, h), r, r);
        return path;
    }

    void page(QPainter &p) const
    {
        shape(p, polygon({{5, 2}, {14, 2}, {19, 7}, {19, 22}, {5, 22}}), 0xffffff, 0x505a66);
        shape(p, polygon({{14, 2}, {14, 7}, {19, 7}}), 0xd5dbe3, 0x505a66);
    }

    void line(QPainter &p, QPointF from, QPointF to, QRgb rgb, qreal width) const
    {
        p.setPen(QPen(colour(rgb), width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
    }

    void draw(QPainter &p) const
    {
        switch (m_glyph) {
        case Glyph::NewDocument:
            page(p);
            for (qreal y : {11.0, 14.0, 17.0})
                line(p, {8, y}, {16, y}, 0x9aa6b4, 1.2);
            break;
        case Glyph::OpenFolder:
            shape(p, polygon({{2, 5}, {9, 5}, {11, 7.5}, {21, 7.5}, {21, 20}, {2, 20}}), 0xd9a93a, 0x8a6414);
            shape(p, polygon({{2, 20}, {5.5, 11}, {23, 11}, {20, 20}}), 0xf3cc66, 0x8a6414);
            break;
        case Glyph::Save:
            shape(p, roundedRect(3, 3, 18, 18, 2), 0x2f6db5, 0x1d4477);
            shape(p, roundedRect(7, 3, 10, 6, 0.5), 0xd0d6de, 0x1d4477, 0.8);
            shape(p, roundedRect(13, 4, 2, 4, 0.3), 0x1d4477, 0x1d4477, 0.4);
            shape(p, roundedRect(6, 12.5, 12, 8.5, 0.8), 0xffffff, 0x1d4477, 0.8);
            for (qreal y : {15.5, 18.0})
                line(p, {8, y}, {16, y}, 0x9aa6b4, 1.0);
            break;
        case Glyph::Play:
            shape(p, polygon({{7, 4}, {20, 12}, {7, 20}}), 0x2e9a3e, 0x1e6b2a);
            break;
        case Glyph::Stop:
            shape(p, roundedRect(5, 5, 14, 14, 2), 0xc0392b, 0x842519);
            break;
        case Glyph::Pause:
            shape(p, roundedRect(6, 4, 4.5, 16, 1), 0x2f6db5, 0x1d4477);
            shape(p, roundedRect(13.5, 4, 4.5, 16, 1), 0x2f6db5, 0x1d4477);
            break;
        case Glyph::Export: {
            page(p);
            // A sound wave on the page: the text as a recording.
            const qreal heights[] = {3, 7, 10, 6, 8, 4};
            for (int i = 0; i < 6; ++i) {
                const qreal x = 7.5 + i * 1.9;
                line(p, {x, 15 - heights[i] / 2}, {x, 15 + heights[i] / 2}, 0x2f6db5, 1.3);
            }
            break;
        }
        case Glyph::Volume:
            shape(p, polygon({{3, 9}, {7, 9}, {12, 4}, {12, 20}, {7, 15}, {3, 15}}), 0x4a5360, 0x2c323a);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour(0x4a5360), 1.8, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(9, 8, 7, 8), -55 * 16, 110 * 16);
            p.drawArc(QRectF(8, 4.5, 12, 15), -55 * 16, 110 * 16);
            break;
        }
    }

    Glyph m_glyph;
    bool m_disabled = false;
};

} // namespace

QIcon icon(Glyph glyph)
{
    return QIcon(new GlyphEngine(glyph));
}

} // namespace GlyphIcons
