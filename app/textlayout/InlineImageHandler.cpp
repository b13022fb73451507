#include "InlineImageHandler.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPaintDevice>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFormat>
#include <QUrl>
#include <QVariant>

namespace {

// Sizes beyond this come from broken documents; they would overflow the
// integer sizes below.
constexpr qreal kMaxSide = 100000;

int side(qreal v)
{
    return qRound(qBound(qreal(0), v, kMaxSide));
}

} // namespace

InlineImageHandler::InlineImageHandler(QObject *parent)
    : QObject(parent)
{
}

QImage InlineImageHandler::image(QTextDocument *doc, const QTextImageFormat &format)
{
    QImage img;
    if (doc) {
        const QVariant data = doc->resource(QTextDocument::ImageResource, QUrl::fromEncoded(format.name().toUtf8()));
        if (data.userType() == QMetaType::QImage)
            img = qvariant_cast<QImage>(data);
        else if (data.userType() == QMetaType::QPixmap)
            img = qvariant_cast<QPixmap>(data).toImage();
        else if (data.userType() == QMetaType::QByteArray)
            img.loadFromData(data.toByteArray());
    }
    if (img.isNull()) {
        // A missing picture still shows where it belongs, as a small file symbol.
        static const QImage missing(QStringLiteral(":/qt-project.org/styles/commonstyle/images/file-16.png"));
        img = missing.isNull() ? QImage(16, 16, QImage::Format_ARGB32_Premultiplied) : missing;
        if (missing.isNull())
            img.fill(Qt::transparent);
    }
    return img;
}

QSizeF InlineImageHandler::intrinsicSize(QTextDocument *doc, int, const QTextFormat &format)
{
    const QTextImageFormat imageFormat = format.toImageFormat();
    const bool hasWidth = imageFormat.hasProperty(QTextFormat::ImageWidth);
    const bool hasHeight = imageFormat.hasProperty(QTextFormat::ImageHeight);
    const int width = side(imageFormat.width());
    const int height = side(imageFormat.height());
    QSize size(width, height);
    if (!hasWidth || !hasHeight) {
        const QSizeF source = image(doc, imageFormat).deviceIndependentSize();
        if (!hasWidth) {
            if (!hasHeight)
                size.setWidth(side(source.width()));
            else
                size.setWidth(source.height() > 0 ? side(height * (source.width() / source.height())) : 0);
        }
        if (!hasHeight) {
            if (!hasWidth)
                size.setHeight(side(source.height()));
            else
                size.setHeight(source.width() > 0 ? side(width * (source.height() / source.width())) : 0);
        }
    }
    QPaintDevice *device = doc && doc->documentLayout() ? doc->documentLayout()->paintDevice() : nullptr;
    if (device)
        size *= qreal(device->logicalDpiY()) / 96.0;
    return size;
}

void InlineImageHandler::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int,
                                    const QTextFormat &format)
{
    const QImage img = image(doc, format.toImageFormat());
    painter->drawImage(rect, img, img.rect());
}
