#pragma once
// The private side of CPanelkitCtrl: its parts and the state that ties them
// together. Not installed with the library; only its own sources include it.
//
// The model holds the records and the references into them, the geometry
// where they lie, the painter (PanePainter) draws what both say, the
// expand animation shows a group opening or closing, the scroller runs the
// scrolling jobs and the keyboard navigator moves the focus. The private
// object implements what the scroller and the navigator need of the pane.

#include "CPanelkitCtrl.h"
#include "PaneColors.h"
#include "PaneExpandAnimation.h"
#include "PaneGeometry.h"
#include "PaneImageList.h"
#include "PaneKeyboardNavigator.h"
#include "PaneModel.h"
#include "PaneScroller.h"

#include <QFont>
#include <QImage>
#include <QTimer>

class QScrollBar;

class CPanelkitCtrlPrivate : public PaneScroller::Host, public PaneKeyboardNavigator::Host
{
public:
    explicit CPanelkitCtrlPrivate(CPanelkitCtrl &q);
    ~CPanelkitCtrlPrivate() override;

    CPanelkitCtrl &q;
    PaneModel model;
    PaneGeometry geometry;
    QScrollBar *scrollBar = nullptr;
    PaneExpandAnimation animation;
    PaneScroller scroller;
    PaneKeyboardNavigator navigator;
    QTimer hoverTimer;
    QFont titleFont;
    PaneColors colors;
    PaneImageList taskImages, taskImagesGrey;
    PaneImageList groupImages, groupImagesGrey;
    PaneImageList radioImages;
    QImage buffer;
    QPoint lastMousePos{-1, -1};

    bool hideSelection = false;
    bool layoutDirty = true;
    bool pointerOverEntry = false;
    bool redrawSuspended = false;
    bool animationEnabled = true;
    bool contentTakenOver = false;
    bool repaintEverything = false;
    bool modified = false;
    bool hasTaskImageList = false;
    bool hasGroupImageList = false;

    int scrollOffset = 0;
    int taskImageSize = 0;
    int groupImageSize = 0;
    OLE_COLOR taskImageMask = 0x00FF00FF;
    OLE_COLOR groupImageMask = 0x00FF00FF;
    int xpColorTyp = -1;
    int firstGroupStartPosition = 0;
    int lastPaintedEntries = 0;
    int layoutDepth = 0;

    // --- content ---
    void createDemoContent();
    void takeOverContent();
    PaneItem *addEntry(int groupId, const QString &text, int id, int icon);
    int addPicture(bool groupList, const QPixmap &pixmap, const QIcon &icon);
    void installImageList(bool groupList, const PaneImageList &list);
    void onRemove(const void *record);
    void setColorProperty(int code, OLE_COLOR value);

    // --- layout ---
    // The content or its measures changed: lay out again, and let the host
    // know that the wanted size may have changed.
    void markLayoutDirty();
    void ensureLayout();
    void layoutPass();
    void updateScrollBar();
    void placeGroups();
    bool isScrollBarShown() const;
    int scrollPosition() const;
    QRect clientRect() const;
    int entryTextIndent(const PaneItem &item) const;
    QRect entryBox(const PaneItem *item) const;
    QRect titleRect(const PaneGroup *group) const;
    void scrollRectIntoView(const QRect &rect);

    // --- painting ---
    void repaintPane();
    void redrawEntry(const PaneItem *item);
    void paint(QPaintEvent *event);

    // --- interaction ---
    PaneGeometry::Hit hitTest(const QPoint &pos);
    void updateCursor();
    void onHoverTimer();
    void clickEntry(PaneItem *item, PaneGroup *group, bool onRadioButton);
    void notifyAccessibleFocus();
    void notifyAccessibleState(const void *record);

    // --- expand and collapse ---
    // Expand or collapse; animate only when asked and possible. A running
    // animation is finished first, so no request is ever lost.
    void expandGroup(PaneGroup *group, bool expand, bool animate);
    void startAnimation(PaneGroup *group, bool expand);
    void finishAnimation() override;
    int animationDuration() const;

    // PaneScroller::Host
    bool isShown() const override;
    bool isTakenOver() const override { return contentTakenOver; }
    bool isSmooth() const override { return animationEnabled; }
    bool isAnimating() const override { return animation.isRunning(); }
    void revealGroup(PaneGroup *group, bool animate) override;
    const PaneGeometry &layoutForScrolling() override;
    int viewHeight() const override;
    void repaint() override { repaintPane(); }

    // PaneKeyboardNavigator::Host
    void activate(const PaneItem *item, bool onRadioButton) override;
    void toggle(const PaneGroup *group) override;
    void expand(PaneGroup *group, bool expand) override;
    void focusMoved(bool reveal) override;
    bool scrollPage(bool down) override;
};
