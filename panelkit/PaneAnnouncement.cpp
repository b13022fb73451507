#include "PaneAnnouncement.h"

#include "CPanelkitCtrl.h"
#include "PaneAccessible.h"


PaneAnnouncement::PaneAnnouncement(CPanelkitCtrl *ctrl) : m_ctrl(ctrl) {}

void PaneAnnouncement::announce(const QString &text)
{
    m_text = text;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

bool PaneAnnouncement::isValid() const
{
    return !m_ctrl.isNull();
}

QWindow *PaneAnnouncement::window() const
{
    QAccessibleInterface *pane = m_ctrl ? PaneAccessible::of(m_ctrl) : nullptr;
    return pane ? pane->window() : nullptr;
}

QAccessibleInterface *PaneAnnouncement::parent() const
{
    return m_ctrl ? PaneAccessible::of(m_ctrl) : nullptr;
}

QString PaneAnnouncement::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? m_text : QString();
}

QRect PaneAnnouncement::rect() const
{
    if (!m_ctrl)
        return QRect();
    return QRect(m_ctrl->mapToGlobal(QPoint(0, 0)), m_ctrl->size());
}

QAccessible::State PaneAnnouncement::state() const
{
    QAccessible::State s;
    if (!m_ctrl) {
        s.invalid = true;
        return s;
    }
    s.invisible = !m_ctrl->isVisible();
    return s;
}
