#include "CPanelkitCtrl.h"

#include "CPanelkitCtrl_p.h"
#include "PaneAccessible.h"
#include "PanePainter.h"
#include "PaneTexts.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScrollBar>

namespace {

constexpr int kHoverMs = 200;

} // namespace

CPanelkitCtrl::CPanelkitCtrl(QWidget *parent) : QWidget(parent), d(std::make_unique<CPanelkitCtrlPrivate>(*this))
{
    PaneAccessible::installFactory();

    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(PaneTexts::accessiblePaneName());

    d->createDemoContent();
}

CPanelkitCtrl::~CPanelkitCtrl()
{
    // QWidget's destructor still reports (focus, hiding) after the parts are
    // gone, and the pane's accessible interface reads them: it goes first,
    // while everything it reads is alive.
    if (QAccessible::isActive()) {
        if (PaneAccessible *iface = PaneAccessible::of(this))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

QSize CPanelkitCtrl::sizeHint() const
{
    // As wide as the widest title or entry needs on one line, up to a width
    // that leaves the host room; longer entries then break between words.
    const QFontMetrics fm(font());
    const QFontMetrics titleMetrics(d->titleFont);
    const int margins = d->geometry.marginLeft() + d->geometry.marginRight();
    int text = 0;
    for (const auto &g : d->model.groups()) {
        int title = titleMetrics.horizontalAdvance(g->name) + 2 + 20;
        if (g->icon >= 0 && d->hasGroupImageList)
            title += d->groupImageSize + 2;
        text = qMax(text, title + margins);
        for (const auto &item : g->entries)
            for (const QString &line : item->text.split(QLatin1Char('\n')))
                text = qMax(text, d->geometry.marginLeft() + d->entryTextIndent(*item) + fm.horizontalAdvance(line) + 12);
    }
    const int widest = margins + 40 * fm.averageCharWidth();
    // The scroll bar's room is always kept, so showing it never asks for more.
    return QSize(qMin(qMax(text, 120), widest) + d->scrollBar->sizeHint().width(), 360);
}

QSize CPanelkitCtrl::minimumSizeHint() const
{
    return QSize(d->geometry.marginLeft() + d->geometry.marginRight() + 8 * QFontMetrics(font()).averageCharWidth(), 0);
}

// --- read access ------------------------------------------------------------

int CPanelkitCtrl::groupCount() const { return d->model.groupCount(); }
const PaneGroup *CPanelkitCtrl::groupAt(int index) const { return d->model.groupAt(index); }
const PaneGroup *CPanelkitCtrl::findGroup(int m_nID) const { return d->model.groupById(m_nID); }
const PaneItem *CPanelkitCtrl::findItem(int m_nID) const { return d->model.itemById(m_nID); }
const PaneGroup *CPanelkitCtrl::groupOf(const PaneItem *item) const { return d->model.groupOf(item); }
const PaneItem *CPanelkitCtrl::selectedTask() const { return d->model.selectedTask; }
const PaneGroup *CPanelkitCtrl::selectedGroup() const { return d->model.selectedGroup; }
const PaneItem *CPanelkitCtrl::hotEntry() const { return d->model.hotEntry; }
const PaneItem *CPanelkitCtrl::focusItem() const { return d->model.focusItem; }
const PaneGroup *CPanelkitCtrl::focusGroup() const { return d->model.focusGroup; }
bool CPanelkitCtrl::isContentTakenOver() const { return d->contentTakenOver; }
bool CPanelkitCtrl::isRedrawSuspended() const { return d->redrawSuspended; }
bool CPanelkitCtrl::isAnimationEnabled() const { return d->animationEnabled; }
bool CPanelkitCtrl::isAnimating() const { return d->animation.isRunning(); }
int CPanelkitCtrl::pendingJobs() const { return d->scroller.pendingCount(); }
int CPanelkitCtrl::lastPaintedEntryCount() const { return d->lastPaintedEntries; }
QScrollBar *CPanelkitCtrl::verticalScrollBar() const { return d->scrollBar; }
bool CPanelkitCtrl::isModified() const { return d->modified; }
void CPanelkitCtrl::setModified(bool modified) { d->modified = modified; }

// --- methods of the control interface ---------------------------------------

int CPanelkitCtrl::TPAddGroup(const QString &m_szGroupName, int m_nID, bool m_bExpand, int m_nIconPos, int m_nColorref)
{
    d->takeOverContent();
    d->model.addGroup(m_szGroupName, m_nID, m_bExpand, m_nIconPos, m_nColorref);
    d->markLayoutDirty();
    d->repaintPane();
    return m_nID;
}

int CPanelkitCtrl::TPAddTask(int m_nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos)
{
    return d->addEntry(m_nGroupID, m_szTaskName, m_nID, m_nIconPos) ? 1 : -1;
}

void CPanelkitCtrl::TPSelectTask(int m_nID)
{
    PaneItem *item = d->model.itemById(m_nID);
    if (!item)
        return;
    PaneGroup *group = d->model.groupOf(item);
    d->model.selectedTask = item;
    d->model.selectedGroup = group;
    d->model.focusItem = item;
    d->model.focusGroup = group;
    d->notifyAccessibleState(item);
    d->notifyAccessibleFocus();
    PaneJob job;
    job.kind = PaneJob::RevealSelected;
    job.id = m_nID;
    job.item = item;
    const int groupId = group->id;
    // The job is handed over before the signal, whose receivers may delete
    // the entry (the queue then falls back to the id).
    if (d->contentTakenOver)
        d->scroller.enqueue(job);
    else
        d->scroller.runNow(job);
    if (!d->redrawSuspended)
        emit FireSelectItem(m_nID, groupId);
}

int CPanelkitCtrl::TPGetCurSel() const
{
    return d->model.selectedTask ? d->model.selectedTask->id : -1;
}

void CPanelkitCtrl::TPDeleteAll()
{
    if (d->animation.isRunning())
        d->finishAnimation();
    d->model.clear();
    d->markLayoutDirty();
    d->repaintPane();
}

void CPanelkitCtrl::TPEnsureVisible(int m_nID)
{
    PaneJob job;
    job.kind = PaneJob::ScrollIntoView;
    job.id = m_nID;
    job.item = d->model.itemById(m_nID);
    d->scroller.enqueue(job);
}

void CPanelkitCtrl::TPEnableTask(int m_nID, bool m_bEnable)
{
    PaneItem *item = d->model.itemById(m_nID);
    if (!item)
        return;
    item->disabled = !m_bEnable;
    if (item->disabled && d->model.hotEntry == item)
        d->model.hotEntry = nullptr;
    if (item->disabled && d->model.focusItem == item) {
        d->model.focusItem = nullptr;
        d->model.focusGroup = d->model.groupOf(item);
    }
    d->notifyAccessibleState(item);
    d->repaintPane();
}

void CPanelkitCtrl::TPSetColor(int m_Typ, OLE_COLOR crColor)
{
    const bool changed = d->colors.at(m_Typ) != (crColor & 0x00FFFFFF) || d->xpColorTyp != -1;
    d->colors.set(m_Typ, crColor);
    d->xpColorTyp = -1;
    if (changed)
        emit colorsChanged();
}

void CPanelkitCtrl::TPEnableAnimation(bool m_bEnable)
{
    d->animationEnabled = m_bEnable;
}

void CPanelkitCtrl::TPSetRedraw(bool m_bEnable)
{
    setUpdatesEnabled(m_bEnable);
    d->redrawSuspended = !m_bEnable;
    if (m_bEnable) {
        if (d->animation.isRunning())
            d->finishAnimation();
        d->repaintPane();
    }
}

int CPanelkitCtrl::TPAddOption(int nGroupID, const QString &m_szTaskName, int m_nID, int m_nIconPos, bool m_bFirst)
{
    PaneItem *item = d->addEntry(nGroupID, m_szTaskName, m_nID, m_nIconPos);
    if (!item)
        return -1;
    // The new option is already the last entry; the backward walk starts there.
    d->model.linkRadioGroup(d->model.groupById(nGroupID), item, m_bFirst);
    return 1;
}

void CPanelkitCtrl::TPSetOption(int m_nID, bool m_bChecked)
{
    PaneItem *item = d->model.itemById(m_nID);
    if (!item || !item->isOption)
        return;
    PaneGroup *group = d->model.groupOf(item);
    d->model.uncheckRadioGroup(group, item);
    item->checked = m_bChecked;
    d->notifyAccessibleState(item);
    d->repaintPane();
    emit FireOptionSelectItem(m_nID, group->id, item->optionIndex);
}

int CPanelkitCtrl::TPGetOption(int m_nID) const
{
    return d->model.checkedOption(d->model.itemById(m_nID));
}

void CPanelkitCtrl::TPExpandGroup(int m_nID, bool m_bExpand)
{
    PaneGroup *group = d->model.groupById(m_nID);
    if (!group)
        return;
    d->expandGroup(group, m_bExpand, true);
    d->repaintPane();
}

bool CPanelkitCtrl::TPDeleteGroup(int m_nID, bool m_bDelay)
{
    if (m_bDelay && isVisible() && !d->animation.isRunning())
        repaint();
    if (m_nID < 0 || !d->model.groupById(m_nID))
        return false;
    if (d->animation.isRunning())
        d->finishAnimation();
    d->model.removeGroup(m_nID);
    d->markLayoutDirty();
    d->repaintPane();
    return true;
}

bool CPanelkitCtrl::TPDeleteTask(int m_nID, bool m_bDelay)
{
    if (m_bDelay && isVisible() && !d->animation.isRunning())
        repaint();
    PaneItem *item = d->model.itemById(m_nID);
    if (!item)
        return false;
    if (d->animation.isRunning())
        d->finishAnimation();
    d->model.removeItem(item);
    d->markLayoutDirty();
    d->repaintPane();
    return true;
}

void CPanelkitCtrl::TPSetTaskImageSize(qint16 m_nSize)
{
    d->taskImageSize = qMax<int>(0, m_nSize);
    d->markLayoutDirty();
}

void CPanelkitCtrl::TPSetGroupImageSize(qint16 m_nSize)
{
    d->groupImageSize = qMax<int>(0, m_nSize);
    d->markLayoutDirty();
}

void CPanelkitCtrl::TPSetTaskImageMask(OLE_COLOR m_crMask) { d->taskImageMask = m_crMask; }
void CPanelkitCtrl::TPSetGroupImageMask(OLE_COLOR m_crMask) { d->groupImageMask = m_crMask; }

void CPanelkitCtrl::TPSetTaskImageList(const QPixmap &m_Picture)
{
    PaneImageList list(d->taskImageSize);
    list.addStrip(m_Picture, d->taskImageMask);
    d->installImageList(false, list);
}

void CPanelkitCtrl::TPSetGroupImageList(const QPixmap &m_Picture)
{
    PaneImageList list(d->groupImageSize);
    list.addStrip(m_Picture, d->groupImageMask);
    d->installImageList(true, list);
}

int CPanelkitCtrl::TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QPixmap &m_Picture, int m_nColorref)
{
    const int result = TPAddGroup(m_szGroupName, m_nID, m_bExpand, -1, m_nColorref);
    d->model.groups().back()->icon = d->addPicture(true, m_Picture, QIcon());
    return result;
}

int CPanelkitCtrl::TPAddGroupPic(const QString &m_szGroupName, int m_nID, bool m_bExpand, const QIcon &m_Picture, int m_nColorref)
{
    const int result = TPAddGroup(m_szGroupName, m_nID, m_bExpand, -1, m_nColorref);
    d->model.groups().back()->icon = d->addPicture(true, QPixmap(), m_Picture);
    return result;
}

int CPanelkitCtrl::TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture)
{
    PaneItem *item = d->addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = d->addPicture(false, m_Picture, QIcon());
    return 1;
}

int CPanelkitCtrl::TPAddTaskPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture)
{
    PaneItem *item = d->addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = d->addPicture(false, QPixmap(), m_Picture);
    return 1;
}

int CPanelkitCtrl::TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QPixmap &m_Picture, bool m_bFirst)
{
    PaneItem *item = d->addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = d->addPicture(false, m_Picture, QIcon());
    d->model.linkRadioGroup(d->model.groupById(m_nGroupID), item, m_bFirst);
    return 1;
}

int CPanelkitCtrl::TPAddOptionPic(int m_nGroupID, const QString &m_szTaskName, int m_nID, const QIcon &m_Picture, bool m_bFirst)
{
    PaneItem *item = d->addEntry(m_nGroupID, m_szTaskName, m_nID, -1);
    if (!item)
        return -1;
    item->icon = d->addPicture(false, QPixmap(), m_Picture);
    d->model.linkRadioGroup(d->model.groupById(m_nGroupID), item, m_bFirst);
    return 1;
}

void CPanelkitCtrl::TPSetFirstGroupStartPosition(int m_TopSpace)
{
    setFirstGroupStartPosition(m_TopSpace);
}

void CPanelkitCtrl::TPEnableWindow(bool m_bEnable)
{
    setEnabled(m_bEnable);
}

void CPanelkitCtrl::AboutBox()
{
    QMessageBox box(QMessageBox::Information, PaneTexts::aboutCaption(), PaneTexts::aboutText(),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("panelkitAboutBox"));
    box.exec();
}

// --- properties ---------------------------------------------------------------

#define PANELKIT_COLOR_PROPERTY(Name)                                                              \
    OLE_COLOR CPanelkitCtrl::Name() const { return d->colors.at(PaneColors::Name); }               \
    void CPanelkitCtrl::set##Name(OLE_COLOR value) { d->setColorProperty(PaneColors::Name, value); }
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

int CPanelkitCtrl::XPColorTyp() const
{
    return d->xpColorTyp;
}

void CPanelkitCtrl::setXPColorTyp(int value)
{
    const PaneColors before = d->colors;
    const int typBefore = d->xpColorTyp;
    d->colors.applyScheme(value, PaneColors::fromQColor(palette().color(QPalette::Active, QPalette::Highlight)));
    d->xpColorTyp = value;
    d->modified = true;
    d->repaintPane();
    if (!(before == d->colors) || typBefore != value)
        emit colorsChanged();
}

int CPanelkitCtrl::tpSetXPColor() const
{
    return d->xpColorTyp;
}

void CPanelkitCtrl::setTpSetXPColor(int value)
{
    setXPColorTyp(value);
}

int CPanelkitCtrl::FirstGroupStartPosition() const
{
    return d->firstGroupStartPosition;
}

void CPanelkitCtrl::setFirstGroupStartPosition(int value)
{
    if (d->firstGroupStartPosition == value)
        return;
    d->firstGroupStartPosition = value;
    d->modified = true;
    d->markLayoutDirty();
    d->repaintPane();
    emit firstGroupStartPositionChanged(value);
}

// --- geometry -----------------------------------------------------------------

bool CPanelkitCtrl::isScrollBarShown() const
{
    return d->isScrollBarShown();
}

int CPanelkitCtrl::scrollPosition() const
{
    return d->scrollPosition();
}

int CPanelkitCtrl::contentHeight() const
{
    d->ensureLayout();
    return d->geometry.contentHeight();
}

int CPanelkitCtrl::rowHeight() const
{
    d->ensureLayout();
    return d->geometry.rowHeight();
}

QRect CPanelkitCtrl::clientRect() const
{
    return d->clientRect();
}

QRect CPanelkitCtrl::itemRect(int m_nID) const
{
    d->ensureLayout();
    return d->entryBox(d->model.itemById(m_nID));
}

QRect CPanelkitCtrl::checkRect(int m_nID) const
{
    d->ensureLayout();
    const PaneGeometry::Entry *entry = d->geometry.entryOf(d->model.itemById(m_nID));
    return entry ? entry->check : QRect();
}

QRect CPanelkitCtrl::groupTitleRect(int m_nID) const
{
    d->ensureLayout();
    return d->titleRect(d->model.groupById(m_nID));
}

QRect CPanelkitCtrl::groupButtonRect(int m_nID) const
{
    d->ensureLayout();
    const PaneGeometry::Group *group = d->geometry.groupOf(d->model.groupById(m_nID));
    return group ? group->button : QRect();
}

QRect CPanelkitCtrl::groupBodyRect(int m_nID) const
{
    d->ensureLayout();
    const PaneGeometry::Group *group = d->geometry.groupOf(d->model.groupById(m_nID));
    return group && group->group->expanded ? group->body : QRect();
}

QStringList CPanelkitCtrl::entryLines(int m_nID) const
{
    d->ensureLayout();
    const PaneGeometry::Entry *entry = d->geometry.entryOf(d->model.itemById(m_nID));
    return entry ? entry->lines : QStringList();
}

// --- painting -----------------------------------------------------------------

QImage CPanelkitCtrl::renderPane()
{
    d->ensureLayout();
    const QRect client = clientRect();
    QImage image(client.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    PanePainter::Options options;
    options.clip = QRect(QPoint(0, 0), image.size());
    options.everything = true;
    options.hideSelection = d->hideSelection;
    PanePainter painter(*d, image, options);
    painter.paint();
    d->lastPaintedEntries = painter.paintedEntries();
    return image;
}

void CPanelkitCtrl::paintEvent(QPaintEvent *event)
{
    if (!d->redrawSuspended)
        d->paint(event);
}

void CPanelkitCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = d->scrollBar->sizeHint().width();
    d->scrollBar->setGeometry(width() - w, 0, w, height());
    d->layoutDirty = true;
    // The scroll bar must be settled before the first paint, or a one-shot
    // render (grab) would miss it.
    if (isVisible())
        d->ensureLayout();
    d->repaintPane();
}

void CPanelkitCtrl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    d->ensureLayout();
}

void CPanelkitCtrl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        d->notifyAccessibleState(nullptr);
        d->repaintPane();
        break;
    case QEvent::FontChange:
        d->titleFont = font();
        d->titleFont.setBold(true);
        d->markLayoutDirty();
        d->repaintPane();
        break;
    case QEvent::PaletteChange:
        d->repaintPane();
        break;
    default:
        break;
    }
}

// --- mouse ----------------------------------------------------------------------

void CPanelkitCtrl::mouseMoveEvent(QMouseEvent *event)
{
    d->lastMousePos = event->position().toPoint();
    if (d->animation.isRunning())
        return;
    const PaneGeometry::Hit hit = d->hitTest(d->lastMousePos);
    d->updateCursor();
    if (!hit.item)
        return;
    d->hoverTimer.stop();
    if (d->model.hotEntry != hit.item) {
        PaneItem *old = d->model.hotEntry;
        d->model.hotEntry = hit.item;
        if (old)
            d->redrawEntry(old);
        d->redrawEntry(hit.item);
    }
    d->hoverTimer.start(kHoverMs);
}

void CPanelkitCtrl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    d->lastMousePos = QPoint(-1, -1);
    d->pointerOverEntry = false;
    d->updateCursor();
}

void CPanelkitCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const PaneGeometry::Hit hit = d->hitTest(pos);
    if (!hit.group)
        return;
    if (!hit.item) {
        if (d->geometry.groupOf(hit.group)->button.contains(pos)) {
            d->model.focusGroup = hit.group;
            d->model.focusItem = nullptr;
            d->expandGroup(hit.group, !hit.group->expanded, true);
            d->repaintPane();
        }
        return;
    }
    if (d->redrawSuspended)
        return;
    const PaneGeometry::Entry *entry = d->geometry.entryOf(hit.item);
    d->clickEntry(hit.item, hit.group, hit.item->isOption && entry->check.contains(pos));
}

void CPanelkitCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const PaneGeometry::Hit hit = d->hitTest(event->position().toPoint());
    if (hit.group && !hit.item) {
        d->expandGroup(hit.group, !hit.group->expanded, true);
        d->repaintPane();
        return;
    }
    // The press before this double click has already acted on the entry;
    // the double click itself is taken so that it reaches no parent.
}

void CPanelkitCtrl::wheelEvent(QWheelEvent *event)
{
    if (isScrollBarShown()) {
        QCoreApplication::sendEvent(d->scrollBar, event);
        return;
    }
    event->ignore();
}

// --- for the accessibility layer -------------------------------------------------

void CPanelkitCtrl::activateItem(const PaneItem *item, bool onRadioButton)
{
    if (d->redrawSuspended || !item || item->disabled || !isEnabled())
        return;
    PaneGroup *group = d->model.groupOf(item);
    if (!group)
        return;
    d->clickEntry(const_cast<PaneItem *>(item), group, onRadioButton && item->isOption);
}

void CPanelkitCtrl::toggleGroup(const PaneGroup *group)
{
    if (!d->model.contains(group))
        return;
    auto *g = const_cast<PaneGroup *>(group);
    d->expandGroup(g, !g->expanded, true);
    d->repaintPane();
}

void CPanelkitCtrl::setKeyboardFocus(const PaneItem *item, const PaneGroup *group)
{
    d->navigator.setFocus(item, group);
}

// --- keyboard -----------------------------------------------------------------------

void CPanelkitCtrl::keyPressEvent(QKeyEvent *event)
{
    if (!d->navigator.handleKey(*event))
        QWidget::keyPressEvent(event);
}

void CPanelkitCtrl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    d->navigator.focusEntered();
    update();
    // Qt tells of the pane's own focus after this handler returns; the
    // focused entry's event has to come after it, or a screen reader stays
    // on the pane.
    QTimer::singleShot(0, this, [this] { d->notifyAccessibleFocus(); });
}

void CPanelkitCtrl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}
