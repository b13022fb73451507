#pragma once
// AccessibilityRecorder: what a screen reader would be told, in process.
// It switches Qt's accessibility on (the headless platform has no screen
// reader to do it) and records every accessibility event: type, the
// interface's role, name and, for state changes, which states changed;
// read at the moment of the event, since interfaces may go away later.
// One at a time; the destructor restores the previous handler.

#include <QAccessible>
#include <QString>

#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <private/qguiapplication_p.h>

#include <vector>

class AccessibilityRecorder
{
public:
    struct Event {
        QAccessible::Event type;
        QAccessibleInterface *iface;
        QAccessible::Role role;
        QString name;
        QAccessible::State changed; // StateChanged only
    };

    AccessibilityRecorder()
    {
        if (QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
            platform->setActive(true);
        current() = this;
        m_previous = QAccessible::installUpdateHandler(&AccessibilityRecorder::record);
    }
    ~AccessibilityRecorder()
    {
        QAccessible::installUpdateHandler(m_previous);
        current() = nullptr;
    }
    AccessibilityRecorder(const AccessibilityRecorder &) = delete;
    AccessibilityRecorder &operator=(const AccessibilityRecorder &) = delete;

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
        return Event{QAccessible::InvalidEvent, nullptr, QAccessible::NoRole, {}, {}};
    }

private:
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
        Event e{event->type(), iface, iface ? iface->role() : QAccessible::NoRole,
                iface ? iface->text(QAccessible::Name) : QString(), {}};
        if (event->type() == QAccessible::StateChanged)
            e.changed = static_cast<QAccessibleStateChangeEvent *>(event)->changedStates();
        self->events.push_back(e);
    }

    QAccessible::UpdateHandler m_previous = nullptr;
};
