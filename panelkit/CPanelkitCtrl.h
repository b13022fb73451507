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
// This class is the facade: the control interface, the properties and the
// widget's events. Its parts live behind one private object: the model
// (PaneModel: the records, radio groups, look-ups and the references into
// them), the geometry (PaneGeometry: one layout pass whose rectangles serve
// both PanePainter and hit testing), the expand animation
// (PaneExpandAnimation, on pre-rendered pictures, as long as the style's
// widget animations), the scroller (PaneScroller: stepped scrolling jobs on
// the GUI thread) and the keyboard navigator (PaneKeyboardNavigator).
// Painting is double-buffered into an image and repaints only what changed
// (a hover change repaints two rows). Keyboard use, a focus frame, wheel
// scrolling and accessibility (PaneAccessible) make the pane usable without
// a mouse and with a screen reader.
//
// Uses only Qt (Widgets). Used by the Quenora main window as its task pane
// `ctlTask`, and by panelkit-demo.

#include "PaneColors.h"
#include "PaneGroup.h"
#include "PanelkitExport.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <memory>

class QScrollBar;
class CPanelkitCtrlPrivate;

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
    OLE_COLOR Name() const;                                                                        \
    void set##Name(OLE_COLOR value);
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
    int XPColorTyp() const;
    void setXPColorTyp(int value);
    int FirstGroupStartPosition() const;
    void setFirstGroupStartPosition(int value);

    // Set by every property change, as a host's "unsaved settings" hint.
    bool isModified() const;
    void setModified(bool modified);

    // --- read access for hosts, tests and the accessibility layer ---------
    int groupCount() const;
    const PaneGroup *groupAt(int index) const;
    const PaneGroup *findGroup(int m_nID) const;
    const PaneItem *findItem(int m_nID) const;
    const PaneGroup *groupOf(const PaneItem *item) const;
    const PaneItem *selectedTask() const;
    const PaneGroup *selectedGroup() const;
    const PaneItem *hotEntry() const;
    const PaneItem *focusItem() const;
    const PaneGroup *focusGroup() const;
    bool isContentTakenOver() const;
    bool isRedrawSuspended() const;
    bool isAnimationEnabled() const;
    bool isAnimating() const;
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
    QRect groupBodyRect(int m_nID) const; // below the title; null while collapsed
    // The lines an entry's text is drawn in: broken between words, a word
    // too long for its line elided.
    QStringList entryLines(int m_nID) const;
    // How many entries the last paint drew (a hover change draws two).
    int lastPaintedEntryCount() const;
    // Every pixel of the pane as it would be painted now.
    QImage renderPane();
    QScrollBar *verticalScrollBar() const;

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
    int tpSetXPColor() const;
    void setTpSetXPColor(int value);

    const std::unique_ptr<CPanelkitCtrlPrivate> d;
};
