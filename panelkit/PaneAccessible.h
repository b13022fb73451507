#pragma once
// PaneAccessible: what a screen reader sees of the task pane. The pane is a
// Pane whose children are its groups (Grouping, expanded or collapsed, with
// a toggle action); a group's children are its entries (Link for a task,
// RadioButton for an option) with their selected, checked, disabled and
// focused states. The entry interfaces (PaneAccessibleEntry) are made on
// demand, cached per record and dropped when the record is removed.

#include <QAccessibleWidget>
#include <QHash>
#include <QMetaObject>

class CPanelkitCtrl;
class PaneAnnouncement;
struct PaneGroup;
struct PaneItem;

class PaneAccessible : public QAccessibleWidget
{
public:
    explicit PaneAccessible(CPanelkitCtrl *ctrl);
    ~PaneAccessible() override;

    static void installFactory();
    static PaneAccessible *of(const CPanelkitCtrl *ctrl);
    // Tell assistive technology about the keyboard focus or a state change
    // (a null record means the pane itself).
    static void notifyFocus(CPanelkitCtrl *ctrl, const void *record);
    static void notifyStateChanged(CPanelkitCtrl *ctrl, const void *record);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;

    CPanelkitCtrl *ctrl() const;
    QAccessibleInterface *groupInterface(const PaneGroup *group) const;
    QAccessibleInterface *itemInterface(const PaneItem *item) const;

    // The states that differ between two snapshots.
    static QAccessible::State changedStates(const QAccessible::State &before, const QAccessible::State &now);
    static bool anyState(const QAccessible::State &states);

private:
    QAccessibleInterface *cached(const void *record, const PaneGroup *group, const PaneItem *item) const;
    void forget(const void *record);

    mutable QHash<const void *, QAccessible::Id> m_children;
    // What each record's interface reported last (the pane's own under
    // null), so a state event names only what changed.
    mutable QHash<const void *, QAccessible::State> m_lastStates;
    QMetaObject::Connection m_removeConnection;
    // Made at the first announcement.
    PaneAnnouncement *announcement();
    QAccessible::Id m_announcementId = 0;
};
