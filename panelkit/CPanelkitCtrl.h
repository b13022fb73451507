#pragma once
// Panelkit: the task pane widget library.
//
// CPanelkitCtrl is a vertical task pane: a column of collapsible groups
// (PaneGroup), each with a title bar, a circular expand/collapse button and
// a list of entries (PaneItem) that are either tasks (clickable links with
// an optional icon) or options (radio-button entries). Its hosts drive it
// through the TP... methods below with ids of their own choosing and hear
// about clicks through the FireSelectItem and FireOptionSelectItem signals;
// the colours are the 20 properties, set one by one or through a scheme.
//
// Inside, one model (the groups with their entries, the selection and the
// hover reference) is measured by a layout pass whose rectangles serve both
// PanePainter and hit testing. Painting is double-buffered into an image
// and repaints only what changed (a hover change repaints two rows).
// Scrolling entries into view and revealing the selection run as stepped
// jobs of a PaneJobQueue on the GUI thread; expanding and collapsing change
// the model at once and animate on pre-rendered pixmaps, one frame per 5 ms
// tick. Keyboard use, a focus frame, wheel scrolling and accessibility
// (PaneAccessible) make the pane usable without a mouse and with a screen
// reader.
//
// Uses only Qt (Widgets). Used by the Quenora main window as its task pane
// `ctlTask`, and by panelkit-demo.

#include "PaneColors.h"
#include "PaneGroup.h"
#include "PaneImageList.h"
#include "PanelkitExport.h"

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QScrollBar;
class PaneJobQueue;
struct PaneJob;

class PANELKIT_EXPORT CPanelkitCtrl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(quint32 CtrlBkColorStart READ CtrlBkColorStart WRITE setCtrlBkColorStart NOTIFY colorsChanged)
    Q_PROPERTY(quint32 CtrlBkColorEnd READ CtrlBkColorEnd WRITE setCtrlBkColorEnd NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpTitleBkColor READ GrpTitleBkColor WRITE setGrpTitleBkColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpTitleTextColor READ GrpTitleTextColor WRITE setGrpTitleTextColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpBkColor READ GrpBkColor WRITE setGrpBkColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpTextColor READ GrpTextColor WRITE setGrpTextColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpBorderColor READ GrpBorderColor WRITE setGrpBorderColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpTitleActiveTextColor READ GrpTitleActiveTextColor WRITE setGrpTitleActiveTextColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 GrpTitleBkActiveColor READ GrpTitleBkActiveColor WRITE setGrpTitleBkActiveColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 SelectBoxColor READ SelectBoxColor WRITE setSelectBoxColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 HilightBoxColor READ HilightBoxColor WRITE setHilightBoxColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 SelectBoxBorderColor READ SelectBoxBorderColor WRITE setSelectBoxBorderColor NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBorder1Normal READ ButtonBorder1Normal WRITE setButtonBorder1Normal NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBorder2Normal READ ButtonBorder2Normal WRITE setButtonBorder2Normal NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBkNormal READ ButtonBkNormal WRITE setButtonBkNormal NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBorder1Active READ ButtonBorder1Active WRITE setButtonBorder1Active NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBorder2Active READ ButtonBorder2Active WRITE setButtonBorder2Active NOTIFY colorsChanged)
    Q_PROPERTY(quint32 ButtonBkActive READ ButtonBkActive WRITE setButtonBkActive NOTIFY colorsChanged)
    Q_PROPERTY(int XPColorTyp READ XPColorTyp WRITE setXPColorTyp NOTIFY colorsChanged)
    Q_PROPERTY(int FirstGroupStartPosition READ FirstGroupStartPosition WRITE setFirstGroupStartPosition NOTIFY firstGroupStartPositionChanged)
    // Scheme by name only: there is deliberately no public C++ member for it.
    Q_PROPERTY(int TPSetXPColor READ tpSetXPColor WRITE setTpSetXPColor NOTIFY colorsChanged)

public:
    enum XPColorStyle { XP_COLOR_OWN = -1, XP_COLOR_BLUE = 0, XP_COLOR_GREEN = 1, XP_COLOR_SILVER = 2 };
    Q_ENUM(XPColorStyle)

    explicit CPanelkitCtrl(QWidget *parent = nullptr);
    ~CPanelkitCtrl() override;

    // --- methods of the control interface ---------------------------------
    int TPAddGroup(const QString &m_szGroupName, int m_nID, bool m_bExpand, int m_nIconPos, int m_nColorref);
    int TPAddTask(int m_nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos);
    void TPSelectTask(int m_nID);
    int TPGetCurSel() const;
    void TPDeleteAll();
    void TPEnsureVisible(int m_nID);
    void TPEnableTask(int m_nID, bool m_bEnable);
    void TPSetColor(int m_Typ, OLE_COLOR crColor);
    void TPEnableAnimation(bool m_bEnable);
    void TPSetRedraw(bool m_bEnable);
    int TPAddOption(int nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos, bool m_bFirst);
    void TPSetOption(int m_nID, bool m_bChecked);
    int TPGetOption(int m_nID) const;
    void TPExpandGroup(int m_nID, bool m_bExpand);
    bool TPDeleteGroup(int m_nID, bool m_bDelay);
    bool TPDeleteTask(int m_nID, bool m_bDelay);
    void TPSetTaskImageSize(qint16 m_nSize);
    void TPSetGroupImageSize(qint16 m_nSize);
    void TPSetTaskImageMask(OLE_COLOR m_crMask);
    void TPSetGroupImageMask(OLE_COLOR m_crMask);
    // A horizontal strip of square images of the current image size.
    void TPSetTaskImageList(const QPixmap &m_Picture);
    void TPSetGroupImageList(const QPixmap &m_Picture);
    void TPSetFirstGroupStartPosition(int m_TopSpace);
    // A null picture means no icon. A QPixmap is a bitmap whose mask colour
    // becomes transparent; a QIcon keeps its own transparency.
    int TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QPixmap &m_Picture, int m_nColorref);
    int TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QIcon &m_Picture, int m_nColorref);
    int TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture);
    int TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture);
    int TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture, bool m_bFirst);
    int TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture, bool m_bFirst);
    void TPEnableWindow(bool m_bEnable);
    void AboutBox();

    // --- properties -------------------------------------------------------
#define PANELKIT_COLOR_PROPERTY(Name)                                                              \
    OLE_COLOR Name() const { return m_colors.at(PaneColors::Name); }                               \
    void set##Name(OLE_COLOR value) { setColorProperty(PaneColors::Name, value); }
    PANELKIT_COLOR_PROPERTY(CtrlBkColorStart)
    PANELKIT_COLOR_PROPERTY(CtrlBkColorEnd)
    PANELKIT_COLOR_PROPERTY(GrpTitleBkColor)
    PANELKIT_COLOR_PROPERTY(GrpTitleTextColor)
    PANELKIT_COLOR_PROPERTY(GrpBkColor)
    PANELKIT_COLOR_PROPERTY(GrpTextColor)
    PANELKIT_COLOR_PROPERTY(GrpBorderColor)
    PANELKIT_COLOR_PROPERTY(GrpTitleActiveTextColor)
    PANELKIT_COLOR_PROPERTY(GrpTitleBkActiveColor)
    PANELKIT_COLOR_PROPERTY(SelectBoxColor)
    PANELKIT_COLOR_PROPERTY(HilightBoxColor)
    PANELKIT_COLOR_PROPERTY(SelectBoxBorderColor)
    PANELKIT_COLOR_PROPERTY(ButtonBorder1Normal)
    PANELKIT_COLOR_PROPERTY(ButtonBorder2Normal)
    PANELKIT_COLOR_PROPERTY(ButtonBkNormal)
    PANELKIT_COLOR_PROPERTY(ButtonBorder1Active)
    PANELKIT_COLOR_PROPERTY(ButtonBorder2Active)
    PANELKIT_COLOR_PROPERTY(ButtonBkActive)
#undef PANELKIT_COLOR_PROPERTY
    int XPColorTyp() const { return m_xpColorTyp; }
    void setXPColorTyp(int value);
    int FirstGroupStartPosition() const { return m_firstGroupStartPosition; }
    void setFirstGroupStartPosition(int value);

    // Set by every property change, as a host's "unsaved settings" hint.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // --- read access for hosts, tests and the accessibility layer ---------
    int groupCount() const { return int(m_groups.size()); }
    const PaneGroup *groupAt(int index) const;
    const PaneGroup *findGroup(int m_nID) const;
    const PaneItem *findItem(int m_nID) const;
    const PaneGroup *groupOf(const PaneItem *item) const;
    const PaneItem *selectedTask() const { return m_selectedTask; }
    const PaneGroup *selectedGroup() const { return m_selectedGroup; }
    const PaneItem *hotEntry() const { return m_hotEntry; }
    const PaneItem *focusItem() const { return m_focusItem; }
    const PaneGroup *focusGroup() const { return m_focusGroup; }
    bool isContentTakenOver() const { return m_contentTakenOver; }
    bool isRedrawSuspended() const { return m_redrawSuspended; }
    bool isAnimationEnabled() const { return m_animationEnabled; }
    bool isAnimating() const { return m_animation.has_value(); }
    int pendingJobs() const;
    // Geometry after the layout pass, in widget coordinates.
    bool isScrollBarShown() const;
    int scrollPosition() const;
    int contentHeight() const;
    int rowHeight() const;
    QRect clientRect() const;
    QRect itemRect(int m_nID) const;  // the entry's box as painted
    QRect checkRect(int m_nID) const; // an option's radio button
    QRect groupTitleRect(int m_nID) const;
    QRect groupButtonRect(int m_nID) const;
    // How many entries the last paint drew (a hover change draws two).
    int lastPaintedEntryCount() const { return m_lastPaintedEntries; }
    // Every pixel of the pane as it would be painted now.
    QImage renderPane();
    QScrollBar *verticalScrollBar() const { return m_scrollBar; }

    // For the accessibility layer: act on an entry or group as a click would.
    void activateItem(const PaneItem *item, bool onRadioButton);
    void toggleGroup(const PaneGroup *group);
    void setKeyboardFocus(const PaneItem *item, const PaneGroup *group);

    // The width the widest title or entry needs (up to 40 characters); the
    // host may give it more or less, entries then wrap or end in "…".
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void FireSelectItem(int m_ActiveItem, int m_ActiveGroup);
    void FireOptionSelectItem(int m_ActiveItem, int m_ActiveGroup, int m_ActiveOption);
    void colorsChanged();
    void firstGroupStartPositionChanged(int value);
    // An entry or group is about to be destroyed (the accessibility layer
    // drops what it knows about it).
    void aboutToRemove(const void *record);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class PanePainter;

    struct Hit
    {
        PaneGroup *group = nullptr;
        PaneItem *item = nullptr;
    };
    struct Animation
    {
        QImage expandedImage; // the pane with the group expanded
        QImage before;        // what stood on screen when it started
        int bodyTop = 0;      // body's top in widget coordinates
        int bodyHeight = 0;
        int step = 1;
        int shown = 0;        // body pixels currently shown
        bool expanding = true;
    };

    int tpSetXPColor() const { return m_xpColorTyp; }
    void setTpSetXPColor(int value);
    void setColorProperty(int code, OLE_COLOR value);
    OLE_COLOR highlightColor() const;

    void createDemoContent();
    void takeOverContent();
    PaneGroup *groupById(int id) const;
    PaneItem *itemById(int id) const;
    PaneGroup *groupOfItem(const PaneItem *item) const;
    bool containsItem(const PaneItem *item) const;
    PaneItem *addEntry(int groupId, const QString &text, int id, int icon);
    void linkRadioGroup(PaneGroup *group, PaneItem *item, bool first);
    std::vector<PaneItem *> radioGroupOf(const PaneGroup *group, const PaneItem *item) const;
    void uncheckRadioGroup(PaneGroup *group, PaneItem *item);
    void forgetItem(const PaneItem *item);
    void forgetGroup(const PaneGroup *group);
    int addPicture(bool groupList, const QPixmap &pixmap, const QIcon &icon);
    void installImageList(bool groupList, const PaneImageList &list);

    void repaintPane();
    // The content or its measures changed: lay out again, and let the host
    // know that the wanted size may have changed.
    void markLayoutDirty()
    {
        m_layoutDirty = true;
        updateGeometry();
    }
    int entryTextIndent(const PaneItem *item) const;
    void ensureLayout();
    void layoutPass();
    void placeGroups();
    QRect entryBox(const PaneItem *item) const;
    int workLeft() const;
    int workRight() const;
    void updateScrollBar();
    void onScrollValueChanged(int value);
    void onScrollAction(int action);
    void redrawEntry(const PaneItem *item);

    Hit hitTest(const QPoint &pos);
    void updateCursor();
    void onHoverTimer();

    // Expand or collapse; animate only when asked and possible. A running
    // animation is finished first, so no request is ever lost.
    void expandGroup(PaneGroup *group, bool expand, bool animate);
    void startAnimation(PaneGroup *group, bool expand);
    void finishAnimation();
    void onAnimationTick();
    void paintAnimationFrame(QPainter &painter);

    int runJobStep(PaneJob &job);
    void runJobNow(PaneJob job);
    int scrollStep(PaneJob &job, bool smoothAllowed);

    void clickEntry(PaneItem *item, PaneGroup *group, bool onRadioButton);

    struct FocusStop
    {
        PaneGroup *group = nullptr;
        PaneItem *item = nullptr;
    };
    std::vector<FocusStop> focusStops() const;
    void moveFocus(int delta);
    void scrollRectIntoView(const QRect &rect);
    void notifyAccessibleFocus();
    void notifyAccessibleState(const void *record);

    std::vector<std::unique_ptr<PaneGroup>> m_groups;
    std::unique_ptr<PaneJobQueue> m_jobs;
    QScrollBar *m_scrollBar = nullptr;
    QTimer m_hoverTimer;
    QTimer m_animationTimer;
    QFont m_titleFont;
    PaneColors m_colors;
    PaneImageList m_taskImages, m_taskImagesGrey;
    PaneImageList m_groupImages, m_groupImagesGrey;
    PaneImageList m_radioImages;
    std::optional<Animation> m_animation;
    QImage m_buffer;
    QPoint m_lastMousePos{-1, -1};

    PaneItem *m_selectedTask = nullptr;
    PaneItem *m_hotEntry = nullptr;
    PaneGroup *m_selectedGroup = nullptr;
    PaneItem *m_focusItem = nullptr;
    PaneGroup *m_focusGroup = nullptr;
    bool m_hideSelection = false;

    bool m_layoutDirty = true;
    bool m_needsScrollBar = false;
    bool m_pointerOverEntry = false;
    bool m_redrawSuspended = false;
    bool m_animationEnabled = true;
    bool m_contentTakenOver = false;
    bool m_repaintEverything = false;
    bool m_modified = false;
    bool m_hasTaskImageList = false;
    bool m_hasGroupImageList = false;

    int m_marginLeft = 8, m_marginTop = 0, m_marginRight = 8, m_marginBottom = 10;
    int m_textHeight = 20;
    int m_rowHeight = 20;
    int m_titleHeight = 24;
    int m_contentHeight = 0;
    int m_scrollOffset = 0;
    int m_taskImageSize = 0;
    int m_groupImageSize = 0;
    OLE_COLOR m_taskImageMask = 0x00FF00FF;
    OLE_COLOR m_groupImageMask = 0x00FF00FF;
    int m_xpColorTyp = -1;
    int m_firstGroupStartPosition = 0;
    int m_lastPaintedEntries = 0;
    int m_layoutDepth = 0;
};
