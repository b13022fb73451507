#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Keep in step with data/icons/quenora.svg: the same shapes in its 256-unit
// coordinates.
void paint(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient ground(0, 12, 0, 244);
    ground.setColorAt(0, QColor(0x2a, 0x9d, 0x8f));
    ground.setColorAt(1, QColor(0x1d, 0x5f, 0x7a));
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);

    const QPen outline(QColor(0x16, 0x46, 0x5a), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath sheet;
    sheet.moveTo(52, 40);
    sheet.lineTo(138, 40);
    sheet.lineTo(172, 74);
    sheet.lineTo(172, 216);
    sheet.lineTo(52, 216);
    sheet.closeSubpath();
    QLinearGradient paper(0, 40, 0, 216);
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(0xe4, 0xee, 0xf2));
    p.setPen(outline);
    p.setBrush(paper);
    p.drawPath(sheet);

    QPainterPath corner;
    corner.moveTo(138, 40);
    corner.lineTo(138, 74);
    corner.lineTo(172, 74);
    p.setBrush(QColor(0xc6, 0xd9, 0xe0));
    p.drawPath(corner);

    p.setPen(QPen(QColor(0x5b, 0x87, 0x96), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QLineF(74, 100, 150, 100));
    p.drawLine(QLineF(74, 128, 138, 128));
    p.drawLine(QLineF(74, 156, 118, 156));
    p.drawLine(QLineF(74, 184, 106, 184));

    p.setPen(QPen(QColor(0xf4, 0xa2, 0x61), 14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const struct {
        double x, top, control, bottom;
    } waves[] = {{150, 148, 166, 192}, {174, 128, 204, 212}, {198, 108, 242, 232}};
    for (const auto &w : waves) {
        QPainterPath wave;
        wave.moveTo(w.x, w.top);
        wave.quadTo(w.control, 170, w.x, w.bottom);
        p.drawPath(wave);
    }
}

} // namespace

QImage AppIcon::render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / 256.0, size / 256.0);
    paint(p);
    return image;
}

QIcon AppIcon::icon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(render(size)));
    return icon;
}
