#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextImageFormat;

// Sizes and draws the images that sit in the text (QTextImageFormat), from
// the document's image resources: the format's width and height where it
// gives them, the image's own size (kept in proportion) where it does not.
class InlineImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    explicit InlineImageHandler(QObject *parent = nullptr);

    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
                    const QTextFormat &format) override;

private:
    static QImage image(QTextDocument *doc, const QTextImageFormat &format);
};
