#include "CPanelkitCtrl_p.h"

#include "PaneAccessible.h"
#include "PanePainter.h"
#include "PaneTexts.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr int kLineStep = 10;

} // namespace

CPanelkitCtrlPrivate::CPanelkitCtrlPrivate(CPanelkitCtrl &q)
    : q(q),
      scrollBar(new QScrollBar(Qt::Vertical, &q)),
      animation(&q),
      scroller(*this, model, *scrollBar, &q),
      navigator(*this, model),
      radioImages(PaneImageList::radioButtons())
{
    model.setRemoveListener([this](const void *record) { onRemove(record); });
    titleFont = q.font();
    titleFont.setBold(true);
    scrollBar->setSingleStep(kLineStep);
    scrollBar->setFocusPolicy(Qt::NoFocus); // the pane takes the keys
    scrollBar->hide();
    QObject::connect(scrollBar, &QScrollBar::valueChanged, &q, [this](int value) {
        scrollOffset = value;
        placeGroups();
        repaintPane();
    });
    QObject::connect(scrollBar, &QScrollBar::actionTriggered, &q, [this](int action) {
        // A page is a little more than a menu line, as the pane always
        // scrolled; the slider itself still shows the window's share of the
        // content.
        if (action != QAbstractSlider::SliderPageStepAdd && action != QAbstractSlider::SliderPageStepSub)
            return;
        QScrollBar *bar = this->scrollBar;
        const int page = (this->q.fontMetrics().height() + 6) * 9 / 8;
        const int delta = action == QAbstractSlider::SliderPageStepAdd ? page : -page;
        bar->setSliderPosition(qBound(bar->minimum(), bar->value() + delta, bar->maximum()));
    });
    hoverTimer.setSingleShot(false);
    QObject::connect(&hoverTimer, &QTimer::timeout, &q, [this] { onHoverTimer(); });
    QObject::connect(&animation, &PaneExpandAnimation::frameChanged, &q, [this] { this->q.update(); });
    QObject::connect(&animation, &PaneExpandAnimation::finished, &q, [this] { finishAnimation(); });
}

CPanelkitCtrlPrivate::~CPanelkitCtrlPrivate()
{
    // Queued jobs are dropped without running; they would touch a dying widget.
    scroller.clear();
    hoverTimer.stop();
    animation.stop();
}

// --- content -----------------------------------------------------------------

void CPanelkitCtrlPrivate::createDemoContent()
{
    // A fresh pane shows something; the host's first group replaces it.
    model.addGroup(PaneTexts::demoGroup(1), 0, true, 0, -1);
    for (int i = 1; i <= 4; ++i)
        addEntry(0, PaneTexts::demoEntry(i), i, 0);
    model.addGroup(PaneTexts::demoGroup(2), 1, true, 0, -1);
    for (int i = 5; i <= 6; ++i)
        addEntry(1, PaneTexts::demoEntry(i), i, 0);
    q.TPSelectTask(2);
    model.hotEntry = model.itemById(3);
    modified = false;
}

void CPanelkitCtrlPrivate::takeOverContent()
{
    if (contentTakenOver)
        return;
    contentTakenOver = true;
    q.TPDeleteAll();
}

PaneItem *CPanelkitCtrlPrivate::addEntry(int groupId, const QString &text, int id, int icon)
{
    PaneItem *item = model.addEntry(groupId, text, id, icon);
    if (!item)
        return nullptr;
    markLayoutDirty();
    repaintPane();
    return item;
}

void CPanelkitCtrlPrivate::onRemove(const void *record)
{
    emit q.aboutToRemove(record);
    scroller.forgetItem(static_cast<const PaneItem *>(record));
}

void CPanelkitCtrlPrivate::installImageList(bool groupList, const PaneImageList &list)
{
    if (groupList) {
        groupImages = list;
        groupImagesGrey = list.greyed();
        hasGroupImageList = true;
    } else {
        taskImages = list;
        taskImagesGrey = list.greyed();
        hasTaskImageList = true;
    }
    markLayoutDirty();
    repaintPane();
}

int CPanelkitCtrlPrivate::addPicture(bool groupList, const QPixmap &pixmap, const QIcon &icon)
{
    if (pixmap.isNull() && icon.isNull())
        return -1;
    bool &has = groupList ? hasGroupImageList : hasTaskImageList;
    PaneImageList &list = groupList ? groupImages : taskImages;
    PaneImageList &grey = groupList ? groupImagesGrey : taskImagesGrey;
    if (!has)
        installImageList(groupList, PaneImageList(groupList ? groupImageSize : taskImageSize));
    const int index = icon.isNull() ? list.addBitmap(pixmap, groupList ? groupImageMask : taskImageMask)
                                    : list.addIcon(icon);
    // The greyed copy grows with the list, so a disabled pane never shows
    // a picture that was added after the list was installed in colour.
    if (index >= 0)
        grey = list.greyed();
    markLayoutDirty();
    return index;
}

void CPanelkitCtrlPrivate::setColorProperty(int code, OLE_COLOR value)
{
    const bool changed = colors.at(code) != (value & 0x00FFFFFF) || xpColorTyp != -1;
    colors.set(code, value);
    xpColorTyp = -1;
    modified = true;
    repaintPane();
    if (changed)
        emit q.colorsChanged();
}

// --- layout -------------------------------------------------------------------

void CPanelkitCtrlPrivate::markLayoutDirty()
{
    layoutDirty = true;
    q.updateGeometry();
}

bool CPanelkitCtrlPrivate::isScrollBarShown() const
{
    return !scrollBar->isHidden();
}

int CPanelkitCtrlPrivate::scrollPosition() const
{
    return isScrollBarShown() ? scrollBar->value() : 0;
}

QRect CPanelkitCtrlPrivate::clientRect() const
{
    QRect r = q.rect();
    if (isScrollBarShown())
        r.setWidth(qMax(0, r.width() - scrollBar->sizeHint().width()));
    return r;
}

int CPanelkitCtrlPrivate::entryTextIndent(const PaneItem &item) const
{
    return geometry.entryTextIndent(item, taskImageSize, hasTaskImageList);
}

void CPanelkitCtrlPrivate::ensureLayout()
{
    if (layoutDirty)
        layoutPass();
}

void CPanelkitCtrlPrivate::layoutPass()
{
    ++layoutDepth;
    PaneGeometry::Measures measures;
    measures.font = q.font();
    measures.clientWidth = clientRect().width();
    measures.taskImageSize = taskImageSize;
    measures.groupImageSize = groupImageSize;
    measures.hasTaskImages = hasTaskImageList;
    measures.firstGroupStartPosition = firstGroupStartPosition;
    geometry.measure(model, measures);

    const bool needsScrollBar = q.height() < geometry.contentHeight();
    if (needsScrollBar != isScrollBarShown() && layoutDepth < 3) {
        if (needsScrollBar) {
            scrollBar->show();
        } else {
            scrollBar->hide();
            scrollBar->setValue(0);
        }
        const int w = scrollBar->sizeHint().width();
        scrollBar->setGeometry(q.width() - w, 0, w, q.height());
        layoutPass(); // the width changed
        --layoutDepth;
        return;
    }
    updateScrollBar();
    layoutDirty = false;
    placeGroups();
    --layoutDepth;
}

void CPanelkitCtrlPrivate::updateScrollBar()
{
    const QSignalBlocker blocker(scrollBar);
    if (isScrollBarShown()) {
        scrollBar->setRange(0, qMax(0, geometry.contentHeight() - q.height()));
        scrollBar->setPageStep(qMax(1, q.height()));
    } else {
        scrollBar->setRange(0, 0);
    }
    scrollOffset = scrollPosition();
}

void CPanelkitCtrlPrivate::placeGroups()
{
    scrollOffset = scrollPosition();
    geometry.place(scrollOffset);
}

QRect CPanelkitCtrlPrivate::entryBox(const PaneItem *item) const
{
    const PaneGeometry::Entry *entry = geometry.entryOf(item);
    return entry ? entry->box : QRect();
}

QRect CPanelkitCtrlPrivate::titleRect(const PaneGroup *group) const
{
    const PaneGeometry::Group *g = geometry.groupOf(group);
    return g ? g->title : QRect();
}

void CPanelkitCtrlPrivate::scrollRectIntoView(const QRect &rect)
{
    if (!isScrollBarShown() || rect.isNull())
        return;
    const int h = q.height();
    if (rect.top() < 0)
        scrollBar->setValue(scrollBar->value() + rect.top() - 2);
    else if (rect.bottom() >= h)
        scrollBar->setValue(scrollBar->value() + rect.bottom() - h + 3);
}

// --- painting -----------------------------------------------------------------

void CPanelkitCtrlPrivate::repaintPane()
{
    if (!animation.isRunning())
        q.update();
}

void CPanelkitCtrlPrivate::redrawEntry(const PaneItem *item)
{
    if (!item || !model.contains(item)) {
        repaintPane();
        return;
    }
    ensureLayout();
    if (!animation.isRunning())
        q.update(entryBox(item).adjusted(-1, -1, 1, 1) & clientRect());
}

void CPanelkitCtrlPrivate::paint(QPaintEvent *event)
{
    // Showing itself means a host has taken the pane as it stands.
    contentTakenOver = true;
    const bool scrollBarBefore = isScrollBarShown();
    ensureLayout();
    QPainter widgetPainter(&q);
    const QRect client = clientRect();
    if (animation.isRunning()) {
        animation.paint(widgetPainter, client.size());
        return;
    }
    const qreal dpr = q.devicePixelRatioF();
    const QSize pixels = (QSizeF(client.size()) * dpr).toSize().expandedTo(QSize(1, 1));
    const bool fresh = buffer.size() != pixels;
    if (fresh) {
        buffer = QImage(pixels, QImage::Format_RGB32);
        buffer.setDevicePixelRatio(dpr);
    }
    // Each rectangle of the dirty region is painted on its own, so two
    // far-apart rows (old and new hover) do not drag in what lies between.
    const bool full = fresh || repaintEverything;
    const QRegion region = full ? QRegion(client) : (event->region() & client);
    lastPaintedEntries = 0;
    for (const QRect &r : region) {
        PanePainter::Options options;
        options.clip = r;
        options.everything = false;
        options.hideSelection = hideSelection;
        PanePainter painter(*this, buffer, options);
        painter.paint();
        lastPaintedEntries += painter.paintedEntries();
        widgetPainter.drawImage(r, buffer, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    }
    repaintEverything = false;
    if (scrollBarBefore != isScrollBarShown())
        QMetaObject::invokeMethod(&q, [this] { q.update(); }, Qt::QueuedConnection);
}

// --- interaction --------------------------------------------------------------

PaneGeometry::Hit CPanelkitCtrlPrivate::hitTest(const QPoint &pos)
{
    ensureLayout();
    const PaneGeometry::Hit hit = clientRect().contains(pos) ? geometry.hitTest(pos) : PaneGeometry::Hit();
    pointerOverEntry = hit.group != nullptr;
    return hit;
}

void CPanelkitCtrlPrivate::updateCursor()
{
    if (pointerOverEntry) {
        if (q.cursor().shape() != Qt::PointingHandCursor || !q.testAttribute(Qt::WA_SetCursor))
            q.setCursor(Qt::PointingHandCursor);
    } else if (q.testAttribute(Qt::WA_SetCursor)) {
        q.unsetCursor();
    }
}

void CPanelkitCtrlPrivate::onHoverTimer()
{
    if (animation.isRunning())
        return;
    const PaneGeometry::Hit hit = hitTest(lastMousePos);
    updateCursor();
    if (hit.item)
        return;
    PaneItem *old = model.hotEntry;
    model.hotEntry = nullptr;
    if (old)
        redrawEntry(old);
    else
        repaintPane();
    hoverTimer.stop();
}

void CPanelkitCtrlPrivate::clickEntry(PaneItem *item, PaneGroup *group, bool onRadioButton)
{
    PaneGroup *previousGroup = model.selectedGroup;
    PaneItem *previousTask = model.selectedTask;
    model.selectedTask = item;
    model.selectedGroup = group;
    model.focusItem = item;
    model.focusGroup = group;

    // Repaint requests first: the signal's receivers may change the pane.
    if (group == previousGroup) {
        if (previousTask && previousTask != item)
            redrawEntry(previousTask);
        redrawEntry(item);
    } else {
        repaintPane();
    }
    const int id = item->id;
    const int groupId = group->id;
    if (previousTask != item)
        notifyAccessibleState(previousTask);
    notifyAccessibleState(item);
    notifyAccessibleFocus();
    if (onRadioButton) {
        model.uncheckRadioGroup(group, item);
        item->checked = !item->checked;
        notifyAccessibleState(item);
        emit q.FireOptionSelectItem(id, groupId, item->optionIndex);
    } else {
        emit q.FireSelectItem(id, groupId);
    }
}

void CPanelkitCtrlPrivate::notifyAccessibleFocus()
{
    if (q.hasFocus())
        PaneAccessible::notifyFocus(&q, model.focusItem ? static_cast<const void *>(model.focusItem) : model.focusGroup);
}

void CPanelkitCtrlPrivate::notifyAccessibleState(const void *record)
{
    PaneAccessible::notifyStateChanged(&q, record);
}

// --- expand and collapse --------------------------------------------------------

int CPanelkitCtrlPrivate::animationDuration() const
{
    return q.style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, &q);
}

void CPanelkitCtrlPrivate::expandGroup(PaneGroup *group, bool expand, bool animate)
{
    if (animation.isRunning())
        finishAnimation();
    if (group->expanded == expand) {
        markLayoutDirty();
        return;
    }
    if (!expand)
        model.leaveGroup(group);
    const bool canAnimate = animate && animationEnabled && !redrawSuspended && q.isVisible() && q.width() > 0
                            && q.height() > 0 && animationDuration() > 0;
    if (canAnimate) {
        startAnimation(group, expand);
    } else {
        group->expanded = expand;
        markLayoutDirty();
        repaintPane();
    }
    notifyAccessibleState(group);
}

void CPanelkitCtrlPrivate::startAnimation(PaneGroup *group, bool expand)
{
    model.hotEntry = nullptr;
    hideSelection = group == model.selectedGroup;
    repaintEverything = true;
    if (expand) {
        group->expanded = true;
        markLayoutDirty();
    }
    ensureLayout();
    const PaneGeometry::Group *placed = geometry.groupOf(group);
    const int bodyTop = placed->body.top();
    const int bodyHeight = placed->bodyHeight + 2;
    const QRect client = clientRect();
    if (bodyTop >= client.height() || bodyTop + bodyHeight <= 0 || client.isEmpty()
        || bodyHeight > 4 * qMax(client.height(), 1024)) {
        // Nothing of the body would move on screen, or the body is so tall
        // that its picture would cost more than the animation is worth.
        group->expanded = expand;
        hideSelection = false;
        markLayoutDirty();
        q.update();
        return;
    }
    QImage expandedImage(client.width(), client.height() + bodyHeight, QImage::Format_RGB32);
    PanePainter::Options options;
    options.clip = expandedImage.rect();
    options.everything = true;
    options.hideSelection = hideSelection;
    PanePainter painter(*this, expandedImage, options);
    painter.paint();
    if (!expand) {
        group->expanded = false;
        markLayoutDirty();
    }
    animation.start(std::move(expandedImage), bodyTop, bodyHeight, expand, animationDuration());
    q.update();
}

void CPanelkitCtrlPrivate::finishAnimation()
{
    animation.stop();
    hideSelection = false;
    repaintEverything = true;
    markLayoutDirty();
    q.update();
}

// --- PaneScroller::Host ------------------------------------------------------------

bool CPanelkitCtrlPrivate::isShown() const
{
    return q.isVisible();
}

void CPanelkitCtrlPrivate::revealGroup(PaneGroup *group, bool animate)
{
    expandGroup(group, true, animate);
    repaintPane();
}

const PaneGeometry &CPanelkitCtrlPrivate::layoutForScrolling()
{
    repaintEverything = true;
    ensureLayout();
    return geometry;
}

int CPanelkitCtrlPrivate::viewHeight() const
{
    return q.height();
}

// --- PaneKeyboardNavigator::Host ---------------------------------------------------

void CPanelkitCtrlPrivate::activate(const PaneItem *item, bool onRadioButton)
{
    q.activateItem(item, onRadioButton);
}

void CPanelkitCtrlPrivate::toggle(const PaneGroup *group)
{
    q.toggleGroup(group);
}

void CPanelkitCtrlPrivate::expand(PaneGroup *group, bool expand)
{
    expandGroup(group, expand, true);
    q.update();
}

void CPanelkitCtrlPrivate::focusMoved(bool reveal)
{
    if (reveal) {
        ensureLayout();
        scrollRectIntoView(model.focusItem ? entryBox(model.focusItem) : titleRect(model.focusGroup));
    }
    q.update();
    notifyAccessibleFocus();
}

bool CPanelkitCtrlPrivate::scrollPage(bool down)
{
    if (!isScrollBarShown())
        return false;
    scrollBar->triggerAction(down ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
    return true;
}
