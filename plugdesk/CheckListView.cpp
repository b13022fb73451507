#include "CheckListView.h"

#include "AccessibleFactory.h"

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

Qt::CheckState checkState(const QModelIndex &index)
{
    return Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
}

// One row as a check box. It stands for a position, not a record: the list
// is filled once, and a row past the end is no longer valid.
class CheckItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CheckItemAccessible(CheckListView *view, int row) : m_view(view), m_row(row) {}

    bool isValid() const override
    {
        return m_view && m_view->model() && m_row < m_view->model()->rowCount();
    }
    // Not an object of its own; the cache must not take it for the view.
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_view ? m_view->window()->windowHandle() : nullptr;
    }

    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t != QAccessible::Name)
            return QString();
        const QString spoken = index().data(Qt::AccessibleTextRole).toString();
        return spoken.isEmpty() ? index().data(Qt::DisplayRole).toString() : spoken;
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = m_view->visualRect(index());
        return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const QModelIndex i = index();
        s.checkable = true;
        s.checked = checkState(i) == Qt::Checked;
        s.checkStateMixed = checkState(i) == Qt::PartiallyChecked;
        s.disabled = !(i.flags() & Qt::ItemIsEnabled) || !m_view->isEnabled();
        s.focusable = true;
        s.selectable = true;
        s.selected = m_view->selectionModel() && m_view->selectionModel()->isSelected(i);
        s.focused = m_view->hasFocus() && m_view->currentIndex() == i;
        s.invisible = !m_view->isVisible() || !m_view->viewport()->rect().intersects(m_view->visualRect(i));
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return {toggleAction(), setFocusAction()};
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList();
    }
    void doAction(const QString &name) override
    {
        if (!isValid())
            return;
        const QModelIndex i = index();
        if (name == toggleAction()) {
            // Through the model, as a click would: it may refuse.
            m_view->model()->setData(i, checkState(i) == Qt::Checked ? Qt::Unchecked : Qt::Checked,
                                     Qt::CheckStateRole);
        } else if (name == setFocusAction()) {
            m_view->setFocus(Qt::OtherFocusReason);
            m_view->setCurrentIndex(i);
        }
    }

private:
    QModelIndex index() const { return m_view->model()->index(m_row, 0, m_view->rootIndex()); }

    QPointer<CheckListView> m_view;
    int m_row;
};

// The list: its children are the rows, nothing else.
class CheckListAccessible : public QAccessibleWidget
{
public:
    explicit CheckListAccessible(CheckListView *view) : QAccessibleWidget(view, QAccessible::List) {}
    ~CheckListAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        return view()->model() ? view()->model()->rowCount(view()->rootIndex()) : 0;
    }
    QAccessibleInterface *child(int row) const override
    {
        if (row < 0 || row >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_items.value(row))
            return QAccessible::accessibleInterface(id);
        auto *item = new CheckItemAccessible(view(), row);
        m_items.insert(row, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex i = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return i.isValid() ? child(i.row()) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex current = view()->currentIndex();
        return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

private:
    CheckListView *view() const { return static_cast<CheckListView *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_items;
};

} // namespace

CheckListView::CheckListView(QWidget *parent) : QListView(parent)
{
    installAccessibleFactory<CheckListView, CheckListAccessible>();
}

void CheckListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    QListView::dataChanged(topLeft, bottomRight, roles);
    if (!QAccessible::isActive() || !(roles.isEmpty() || roles.contains(Qt::CheckStateRole)))
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    if (!list)
        return;
    QAccessible::State changed;
    changed.checked = true;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        if (QAccessibleInterface *item = list->child(row)) {
            QAccessibleStateChangeEvent event(item, changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}
