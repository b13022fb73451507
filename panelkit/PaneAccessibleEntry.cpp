#include "PaneAccessibleEntry.h"

#include "CPanelkitCtrl.h"
#include "PaneAccessible.h"
#include "PaneTexts.h"

#include <QWidget>
#include <QWindow>

PaneAccessibleEntry::PaneAccessibleEntry(CPanelkitCtrl *ctrl, const PaneGroup *group, const PaneItem *item)
    : m_ctrl(ctrl), m_group(group), m_item(item)
{
}

bool PaneAccessibleEntry::isValid() const
{
    if (!m_ctrl)
        return false;
    if (m_item)
        return m_ctrl->groupOf(m_item) == m_group && m_group;
    for (int i = 0; i < m_ctrl->groupCount(); ++i) {
        if (m_ctrl->groupAt(i) == m_group)
            return true;
    }
    return false;
}

const PaneGroup *PaneAccessibleEntry::group() const
{
    return m_group;
}

const PaneItem *PaneAccessibleEntry::item() const
{
    return m_item;
}

QWindow *PaneAccessibleEntry::window() const
{
    QAccessibleInterface *pane = m_ctrl ? PaneAccessible::of(m_ctrl) : nullptr;
    return pane ? pane->window() : nullptr;
}

QAccessibleInterface *PaneAccessibleEntry::parent() const
{
    if (!isValid())
        return nullptr;
    PaneAccessible *pane = PaneAccessible::of(m_ctrl);
    if (!pane)
        return nullptr;
    return m_item ? pane->groupInterface(m_group) : pane;
}

int PaneAccessibleEntry::childCount() const
{
    return isValid() && !m_item ? int(m_group->entries.size()) : 0;
}

QAccessibleInterface *PaneAccessibleEntry::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    PaneAccessible *pane = PaneAccessible::of(m_ctrl);
    return pane ? pane->itemInterface(m_group->entries[size_t(index)].get()) : nullptr;
}

int PaneAccessibleEntry::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *entry = dynamic_cast<const PaneAccessibleEntry *>(child);
    if (!entry || !entry->item() || childCount() == 0)
        return -1;
    for (size_t i = 0; i < m_group->entries.size(); ++i) {
        if (m_group->entries[i].get() == entry->item())
            return int(i);
    }
    return -1;
}

QAccessibleInterface *PaneAccessibleEntry::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface *c = child(i);
        if (c && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}

QString PaneAccessibleEntry::text(QAccessible::Text t) const
{
    if (!isValid())
        return QString();
    switch (t) {
    case QAccessible::Name: {
        if (m_item && m_item->isSeparator())
            return QString();
        QString name = m_item ? m_item->text : m_group->name;
        return name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    case QAccessible::Description:
        if (!m_item)
            return m_group->expanded ? PaneTexts::accessibleExpanded() : PaneTexts::accessibleCollapsed();
        return QString();
    default:
        return QString();
    }
}

QRect PaneAccessibleEntry::rect() const
{
    if (!isValid())
        return QRect();
    QRect r;
    if (m_item) {
        if (!m_group->expanded)
            return QRect();
        r = m_ctrl->itemRect(m_item->id);
        // Ids need not be unique; the rectangle must be this entry's own.
        if (m_ctrl->findItem(m_item->id) != m_item)
            r = QRect();
    } else {
        r = m_ctrl->groupTitleRect(m_group->id);
        if (m_ctrl->findGroup(m_group->id) != m_group)
            return QRect();
        if (m_group->expanded)
            r.setHeight(r.height() + m_ctrl->groupBodyRect(m_group->id).height());
    }
    if (r.isNull())
        return r;
    return QRect(m_ctrl->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role PaneAccessibleEntry::role() const
{
    if (!m_item)
        return QAccessible::Grouping;
    if (!isValid())
        return QAccessible::Link;
    if (m_item->isSeparator())
        return QAccessible::Separator;
    return m_item->isOption ? QAccessible::RadioButton : QAccessible::Link;
}

QAccessible::State PaneAccessibleEntry::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.disabled = !m_ctrl->isEnabled();
    if (m_item && m_item->isSeparator()) {
        s.invisible = !m_group->expanded;
        return s;
    }
    s.focusable = true;
    if (m_item) {
        const bool hasFocus = m_ctrl->hasFocus() && m_ctrl->focusItem() == m_item;
        s.focused = hasFocus;
        s.selectable = true;
        s.selected = m_ctrl->selectedTask() == m_item;
        s.disabled = s.disabled || m_item->disabled;
        s.invisible = !m_group->expanded;
        s.linked = !m_item->isOption;
        s.checkable = m_item->isOption;
        s.checked = m_item->isOption && m_item->checked;
    } else {
        s.focused = m_ctrl->hasFocus() && !m_ctrl->focusItem() && m_ctrl->focusGroup() == m_group;
        s.expandable = true;
        s.expanded = m_group->expanded;
        s.collapsed = !m_group->expanded;
        s.active = m_ctrl->selectedGroup() == m_group;
    }
    return s;
}

void *PaneAccessibleEntry::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList PaneAccessibleEntry::actionNames() const
{
    if (!isValid())
        return {};
    if (!m_item)
        return {toggleAction(), setFocusAction()};
    if (m_item->disabled || m_item->isSeparator())
        return {};
    return {pressAction(), setFocusAction()};
}

void PaneAccessibleEntry::doAction(const QString &actionName)
{
    if (!isValid())
        return;
    if (actionName == setFocusAction()) {
        m_ctrl->setFocus(Qt::OtherFocusReason);
        m_ctrl->setKeyboardFocus(m_item, m_group);
    } else if (!m_item && actionName == toggleAction()) {
        m_ctrl->toggleGroup(m_group);
    } else if (m_item && actionName == pressAction()) {
        // For an option, pressing it is what a click on its radio button does.
        m_ctrl->activateItem(m_item, m_item->isOption);
    }
}

QStringList PaneAccessibleEntry::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Space")};
    if (actionName == toggleAction())
        return {QStringLiteral("Left"), QStringLiteral("Right")};
    return {};
}

QString PaneAccessibleEntry::localizedActionDescription(const QString &actionName) const
{
    if (actionName == toggleAction())
        return PaneTexts::accessibleToggleAction();
    return QAccessibleActionInterface::localizedActionDescription(actionName);
}
