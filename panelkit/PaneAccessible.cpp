#include "PaneAccessible.h"

#include "CPanelkitCtrl.h"
#include "PaneAccessibleEntry.h"
#include "PaneAnnouncement.h"
#include "PaneTexts.h"

namespace {

QAccessibleInterface *paneFactory(const QString &, QObject *object)
{
    if (auto *ctrl = qobject_cast<CPanelkitCtrl *>(object))
        return new PaneAccessible(ctrl);
    return nullptr;
}

} // namespace

PaneAccessible::PaneAccessible(CPanelkitCtrl *ctrl)
    : QAccessibleWidget(ctrl, QAccessible::Pane, PaneTexts::accessiblePaneName())
{
    m_lastStates.insert(nullptr, QAccessibleWidget::state());
    m_removeConnection = QObject::connect(ctrl, &CPanelkitCtrl::aboutToRemove, ctrl,
                                          [this](const void *record) { forget(record); });
}

PaneAccessible::~PaneAccessible()
{
    QObject::disconnect(m_removeConnection);
    for (QAccessible::Id id : std::as_const(m_children))
        QAccessible::deleteAccessibleInterface(id);
    if (m_announcementId)
        QAccessible::deleteAccessibleInterface(m_announcementId);
}

PaneAnnouncement *PaneAccessible::announcement()
{
    if (!m_announcementId)
        m_announcementId = QAccessible::registerAccessibleInterface(new PaneAnnouncement(ctrl()));
    return static_cast<PaneAnnouncement *>(QAccessible::accessibleInterface(m_announcementId));
}

void PaneAccessible::installFactory()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(paneFactory);
}

PaneAccessible *PaneAccessible::of(const CPanelkitCtrl *ctrl)
{
    return dynamic_cast<PaneAccessible *>(QAccessible::queryAccessibleInterface(const_cast<CPanelkitCtrl *>(ctrl)));
}

CPanelkitCtrl *PaneAccessible::ctrl() const
{
    return static_cast<CPanelkitCtrl *>(widget());
}

void PaneAccessible::forget(const void *record)
{
    const auto it = m_children.find(record);
    if (it == m_children.end())
        return;
    const QAccessible::Id id = it.value();
    m_children.erase(it);
    m_lastStates.remove(record);
    QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *PaneAccessible::cached(const void *record, const PaneGroup *group, const PaneItem *item) const
{
    if (!record)
        return nullptr;
    const auto it = m_children.constFind(record);
    if (it != m_children.constEnd())
        return QAccessible::accessibleInterface(it.value());
    auto *iface = new PaneAccessibleEntry(ctrl(), group, item);
    m_children.insert(record, QAccessible::registerAccessibleInterface(iface));
    m_lastStates.insert(record, iface->state());
    return iface;
}

QAccessibleInterface *PaneAccessible::groupInterface(const PaneGroup *group) const
{
    return cached(group, group, nullptr);
}

QAccessibleInterface *PaneAccessible::itemInterface(const PaneItem *item) const
{
    return cached(item, ctrl()->groupOf(item), item);
}

int PaneAccessible::childCount() const
{
    return ctrl()->groupCount();
}

QAccessibleInterface *PaneAccessible::child(int index) const
{
    const PaneGroup *group = ctrl()->groupAt(index);
    return group ? groupInterface(group) : nullptr;
}

int PaneAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *entry = dynamic_cast<const PaneAccessibleEntry *>(child);
    if (!entry || entry->item())
        return -1;
    for (int i = 0; i < ctrl()->groupCount(); ++i) {
        if (ctrl()->groupAt(i) == entry->group())
            return i;
    }
    return -1;
}

QAccessibleInterface *PaneAccessible::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface *c = child(i);
        if (c && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}

QAccessibleInterface *PaneAccessible::focusChild() const
{
    if (!ctrl()->hasFocus())
        return nullptr;
    if (ctrl()->focusItem())
        return itemInterface(ctrl()->focusItem());
    if (ctrl()->focusGroup())
        return groupInterface(ctrl()->focusGroup());
    return nullptr;
}

QAccessible::Role PaneAccessible::role() const
{
    return QAccessible::Pane;
}

QString PaneAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        const QString name = ctrl()->accessibleName();
        return name.isEmpty() ? PaneTexts::accessiblePaneName() : name;
    }
    return QAccessibleWidget::text(t);
}

void PaneAccessible::notifyFocus(CPanelkitCtrl *ctrl, const void *record)
{
    if (!QAccessible::isActive() || !record)
        return;
    PaneAccessible *pane = of(ctrl);
    if (!pane)
        return;
    const auto it = pane->m_children.constFind(record);
    QAccessibleInterface *iface = nullptr;
    if (it != pane->m_children.constEnd()) {
        iface = QAccessible::accessibleInterface(it.value());
    } else {
        // Focus is on the focus group or the focus item: make the interface.
        iface = ctrl->focusItem() == record ? pane->itemInterface(ctrl->focusItem())
                                            : pane->groupInterface(ctrl->focusGroup());
    }
    if (!iface)
        return;
    QAccessibleEvent event(iface, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void PaneAccessible::notifyStateChanged(CPanelkitCtrl *ctrl, const void *record)
{
    if (!QAccessible::isActive())
        return;
    PaneAccessible *pane = of(ctrl);
    if (!pane)
        return;
    QAccessibleInterface *iface = pane;
    if (record) {
        const auto it = pane->m_children.constFind(record);
        if (it == pane->m_children.constEnd())
            return; // nobody has asked about it yet
        iface = QAccessible::accessibleInterface(it.value());
    }
    if (!iface)
        return;
    // Only the states that really changed: a bridge that passes on one
    // state per event (checked before all others) would otherwise never
    // pass on "expanded".
    const QAccessible::State now = iface->state();
    const auto last = pane->m_lastStates.constFind(record);
    const QAccessible::State before = last != pane->m_lastStates.constEnd() ? last.value() : QAccessible::State();
    pane->m_lastStates.insert(record, now);
    const QAccessible::State changed = changedStates(before, now);
    if (!anyState(changed))
        return;
    QAccessibleStateChangeEvent event(iface, changed);
    QAccessible::updateAccessibility(&event);
    // A group's description says whether it is open and changed with it.
    // Qt 6.4's bridge passes neither "expanded" nor the new description's
    // text on, so the pane also announces it.
    if (changed.expanded && iface->role() == QAccessible::Grouping) {
        QAccessibleEvent description(iface, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
        pane->announcement()->announce(
            PaneTexts::accessibleGroupToggled(iface->text(QAccessible::Name), now.expanded));
    }
}

QAccessible::State PaneAccessible::changedStates(const QAccessible::State &before, const QAccessible::State &now)
{
    QAccessible::State c;
#define PANE_STATE_DIFF(field) c.field = before.field != now.field;
    PANE_STATE_DIFF(disabled)
    PANE_STATE_DIFF(selected)
    PANE_STATE_DIFF(focused)
    PANE_STATE_DIFF(checked)
    PANE_STATE_DIFF(checkable)
    PANE_STATE_DIFF(expanded)
    PANE_STATE_DIFF(collapsed)
    PANE_STATE_DIFF(invisible)
    PANE_STATE_DIFF(active)
    PANE_STATE_DIFF(focusable)
#undef PANE_STATE_DIFF
    return c;
}

bool PaneAccessible::anyState(const QAccessible::State &s)
{
    return s.disabled || s.selected || s.focused || s.checked || s.checkable || s.expanded || s.collapsed
        || s.invisible || s.active || s.focusable;
}
