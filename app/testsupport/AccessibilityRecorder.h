#pragma once
// AccessibilityRecorder: what a screen reader would be told, in process.
// While one exists, Qt's platform accessibility counts as switched on (as
// when a screen reader runs; the headless platform has none to do it, and Qt
// passes events on only then) and every event widgets send through
// QAccessible::updateAccessibility() is recorded here instead of going to a
// bridge: type, object, child, the interface and its role and name read at
// the moment of the event (interfaces may go away later), the states a state
// change names and a value change's value. One at a time; the destructor
// restores the previous handler and state. Switching the platform's
// accessibility on takes Qt's private platform interface, as Qt's own
// accessibility tests do.

#include <QAccessible>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <private/qguiapplication_p.h>

#include <vector>

class AccessibilityRecorder
{
public:
    struct Event {
        QAccessible::Event type = QAccessible::InvalidEvent;
        QAccessibleInterface *iface = nullptr; // the interface the event is about
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
        QAccessible::State changed; // StateChanged only
        QPointer<QObject> object;
        int child = -1;
        QVariant value; // ValueChanged only
    };

    AccessibilityRecorder()
    {
        current() = this;
        m_previous = QAccessible::installUpdateHandler(&AccessibilityRecorder::record);
        if (QPlatformAccessibility *platform = platformAccessibility()) {
            m_wasActive = platform->isActive();
            platform->setActive(true);
        }
    }
    ~AccessibilityRecorder()
    {
        if (QPlatformAccessibility *platform = platformAccessibility())
            platform->setActive(m_wasActive);
        QAccessible::installUpdateHandler(m_previous);
        current() = nullptr;
    }
    AccessibilityRecorder(const AccessibilityRecorder &) = delete;
    AccessibilityRecorder &operator=(const AccessibilityRecorder &) = delete;

    // False where the platform has no accessibility at all: then no event
    // can be seen, and a test should say so rather than pass.
    static bool available() { return platformAccessibility() != nullptr; }

    std::vector<Event> events;

    void clear() { events.clear(); }
    std::vector<Event> ofType(QAccessible::Event type) const
    {
        std::vector<Event> found;
        for (const Event &e : events) {
            if (e.type == type)
                found.push_back(e);
        }
        return found;
    }
    // The last event of a type, or an invalid one (iface null).
    Event last(QAccessible::Event type) const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->type == type)
                return *it;
        }
        return Event{};
    }

private:
    static QPlatformAccessibility *platformAccessibility()
    {
        QPlatformIntegration *integration = QGuiApplicationPrivate::platformIntegration();
        return integration ? integration->accessibility() : nullptr;
    }
    static AccessibilityRecorder *&current()
    {
        static AccessibilityRecorder *recorder = nullptr;
        return recorder;
    }
    static void record(QAccessibleEvent *event)
    {
        AccessibilityRecorder *self = current();
        if (!self)
            return;
        QAccessibleInterface *iface = event->accessibleInterface();
        Event e;
        e.type = event->type();
        e.iface = iface;
        e.role = iface ? iface->role() : QAccessible::NoRole;
        e.name = iface ? iface->text(QAccessible::Name) : QString();
        e.object = event->object();
        e.child = event->child();
        if (event->type() == QAccessible::StateChanged)
            e.changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
        if (event->type() == QAccessible::ValueChanged)
            e.value = static_cast<QAccessibleValueChangeEvent *>(event)->value();
        self->events.push_back(e);
    }

    QAccessible::UpdateHandler m_previous = nullptr;
    bool m_wasActive = false;
};
