#pragma once
// installAccessibleFactory<Widget, Accessible>(): from the first call on,
// Qt asks Accessible (constructed from the Widget) for what a screen reader
// sees of every Widget, instead of its own interface for the base class.
// Called from Widget's constructor; installs once per pair.

#include <QAccessible>
#include <QObject>

template <class Widget, class Accessible>
void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString &, QObject *object) -> QAccessibleInterface * {
            auto *widget = qobject_cast<Widget *>(object);
            return widget ? new Accessible(widget) : nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}
