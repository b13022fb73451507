#pragma once
// PaneAccessibleEntry: the accessible side of one group or one entry of
// the task pane (see PaneAccessible). It holds the record's address only
// as a key and asks the pane whether the record still exists before it
// reads it.

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class CPanelkitCtrl;
struct PaneGroup;
struct PaneItem;

class PaneAccessibleEntry : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PaneAccessibleEntry(CPanelkitCtrl *ctrl, const PaneGroup *group, const PaneItem *item);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;
    QString localizedActionDescription(const QString &actionName) const override;

    const PaneGroup *group() const;
    const PaneItem *item() const;

private:
    QPointer<CPanelkitCtrl> m_ctrl;
    const PaneGroup *m_group;
    const PaneItem *m_item;
};
