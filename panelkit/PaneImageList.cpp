#include "PaneImageList.h"

#include <QPainter>

QImage PaneImageList::masked(const QImage &source, OLE_COLOR mask)
{
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(int(mask & 0xFF), int((mask >> 8) & 0xFF), int((mask >> 16) & 0xFF));
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                line[x] = 0;
        }
    }
    return img;
}

int PaneImageList::addStrip(const QPixmap &strip, OLE_COLOR mask)
{
    if (m_size <= 0 || strip.isNull())
        return 0;
    const QImage all = masked(strip.toImage(), mask);
    const int n = all.width() / m_size;
    for (int i = 0; i < n; ++i) {
        QImage part = all.copy(i * m_size, 0, m_size, m_size);
        m_images.push_back(QPixmap::fromImage(part));
    }
    return n;
}

int PaneImageList::addBitmap(const QPixmap &picture, OLE_COLOR mask)
{
    if (m_size <= 0 || picture.isNull())
        return -1;
    QImage img = masked(picture.toImage(), mask);
    if (img.size() != QSize(m_size, m_size))
        img = img.scaled(m_size, m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images.push_back(QPixmap::fromImage(img));
    return count() - 1;
}

int PaneImageList::addIcon(const QIcon &icon)
{
    if (m_size <= 0 || icon.isNull())
        return -1;
    const QPixmap pm = icon.pixmap(QSize(m_size, m_size));
    if (pm.isNull())
        return -1;
    QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    if (img.size() != QSize(m_size, m_size))
        img = img.scaled(m_size, m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images.push_back(QPixmap::fromImage(img));
    return count() - 1;
}

QImage PaneImageList::greyImage(const QImage &source)
{
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = line[x];
            if ((p & 0x00FFFFFF) == 0)
                continue; // black stays black
            const int g = PaneColors::greyValue(qRed(p), qGreen(p), qBlue(p));
            line[x] = qRgba(g, g, g, qAlpha(p));
        }
    }
    return img;
}

PaneImageList PaneImageList::greyed() const
{
    PaneImageList copy(m_size);
    copy.m_images.reserve(m_images.size());
    for (const QPixmap &pm : m_images)
        copy.m_images.push_back(QPixmap::fromImage(greyImage(pm.toImage())));
    return copy;
}

void PaneImageList::draw(QPainter &painter, int index, const QPoint &pos, qreal opacity) const
{
    if (!isValidIndex(index))
        return;
    const qreal old = painter.opacity();
    painter.setOpacity(old * opacity);
    painter.drawPixmap(pos, pixmap(index));
    painter.setOpacity(old);
}

PaneImageList PaneImageList::radioButtons()
{
    PaneImageList list(14);
    struct Look { QColor ring, fill, dot; bool checked; };
    const Look looks[4] = {
        {QColor(0x1C, 0x51, 0x80), QColor(0xF4, 0xF4, 0xF0), QColor(), false},
        {QColor(0x1C, 0x51, 0x80), QColor(0xF4, 0xF4, 0xF0), QColor(0x21, 0xA1, 0x21), true},
        {QColor(0xA0, 0xA0, 0xA0), QColor(0xF0, 0xF0, 0xF0), QColor(), false},
        {QColor(0xA0, 0xA0, 0xA0), QColor(0xF0, 0xF0, 0xF0), QColor(0xA0, 0xA0, 0xA0), true},
    };
    for (const Look &look : looks) {
        QImage img(14, 14, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(look.ring, 1.0));
        p.setBrush(look.fill);
        p.drawEllipse(QRectF(1.5, 1.5, 11, 11));
        if (look.checked) {
            p.setPen(Qt::NoPen);
            p.setBrush(look.dot);
            p.drawEllipse(QRectF(4.5, 4.5, 5, 5));
        }
        p.end();
        list.m_images.push_back(QPixmap::fromImage(img));
    }
    return list;
}
