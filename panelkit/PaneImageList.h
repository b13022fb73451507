#pragma once
// PaneImageList: a list of square images of one size, the pane's stand-in
// for a masked image list. Bitmaps come in as horizontal strips (or single
// pictures) with a transparent mask colour, icons as QIcon. The greyed copy
// used while the pane is disabled is made from a list by greyed().

#include "PaneColors.h"
#include "PanelkitExport.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <vector>

class QPainter;

class PANELKIT_EXPORT PaneImageList
{
public:
    explicit PaneImageList(int size = 0) : m_size(qMax(0, size)) {}

    int imageSize() const { return m_size; }
    int count() const { return int(m_images.size()); }
    bool isValidIndex(int index) const { return index >= 0 && index < count(); }
    const QPixmap &pixmap(int index) const { return m_images.at(size_t(index)); }

    // Cuts the strip into images of the list's size, left to right, making
    // the mask colour transparent. Returns how many images were added.
    int addStrip(const QPixmap &strip, OLE_COLOR mask);
    // One picture, scaled to the list's size when it differs. Returns the
    // new index or -1 (null picture, or a list of size 0).
    int addBitmap(const QPixmap &picture, OLE_COLOR mask);
    int addIcon(const QIcon &icon);

    // The same images, every pixel that is not black turned grey; the
    // transparency stays as it was.
    PaneImageList greyed() const;
    static QImage greyImage(const QImage &source);

    // Draws image `index` with its top left at `pos`; out-of-range indexes
    // draw nothing.
    void draw(QPainter &painter, int index, const QPoint &pos, qreal opacity = 1.0) const;

    // The four 14 x 14 radio button images: unchecked, checked, unchecked
    // inactive, checked inactive.
    static PaneImageList radioButtons();

private:
    static QImage masked(const QImage &source, OLE_COLOR mask);

    int m_size = 0;
    std::vector<QPixmap> m_images;
};
