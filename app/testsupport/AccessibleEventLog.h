#pragma once
// AccessibleEventLog: what a screen reader would be told, recorded in the
// test's process. While one exists, the platform's accessibility counts as
// switched on (as when a screen reader runs; Qt passes events on only then)
// and every event that widgets send through QAccessible::updateAccessibility()
// is copied here instead of going to a bridge; the previous handler and state
// come back when it is destroyed. One at a time. Switching the platform's
// accessibility on takes Qt's private platform interface, as Qt's own
// accessibility tests do.

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>

class AccessibleEventLog
{
public:
    struct Event
    {
        QAccessible::Event type = QAccessible::InvalidEvent;
        QPointer<QObject> object;
        int child = -1;
        QAccessibleInterface *target = nullptr; // the interface the event is about
        QAccessible::State changed;             // StateChanged only
        QVariant value;                         // ValueChanged only
    };

    AccessibleEventLog()
    {
        s_current = this;
        m_previous = QAccessible::installUpdateHandler(&AccessibleEventLog::record);
        if (QPlatformAccessibility *platform = platformAccessibility()) {
            m_wasActive = platform->isActive();
            platform->setActive(true);
        }
    }
    ~AccessibleEventLog()
    {
        if (QPlatformAccessibility *platform = platformAccessibility())
            platform->setActive(m_wasActive);
        QAccessible::installUpdateHandler(m_previous);
        s_current = nullptr;
    }

    // False where the platform has no accessibility at all: then no event
    // can be seen, and a test should say so rather than pass.
    static bool available() { return platformAccessibility() != nullptr; }
    AccessibleEventLog(const AccessibleEventLog &) = delete;
    AccessibleEventLog &operator=(const AccessibleEventLog &) = delete;

    QList<Event> events;

    QList<Event> ofType(QAccessible::Event type) const
    {
        QList<Event> found;
        for (const Event &e : events)
            if (e.type == type)
                found.append(e);
        return found;
    }

private:
    static QPlatformAccessibility *platformAccessibility()
    {
        QPlatformIntegration *integration = QGuiApplicationPrivate::platformIntegration();
        return integration ? integration->accessibility() : nullptr;
    }

    static void record(QAccessibleEvent *event)
    {
        if (!s_current)
            return;
        Event e;
        e.type = event->type();
        e.object = event->object();
        e.child = event->child();
        e.target = event->accessibleInterface();
        if (event->type() == QAccessible::StateChanged)
            e.changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
        if (event->type() == QAccessible::ValueChanged)
            e.value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
        s_current->events.append(e);
    }

    static inline AccessibleEventLog *s_current = nullptr;
    QAccessible::UpdateHandler m_previous = nullptr;
    bool m_wasActive = false;
};
