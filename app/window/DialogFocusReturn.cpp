#include "DialogFocusReturn.h"

#include "ForegroundWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace {

bool isModalDialog(const QWidget *widget)
{
    return widget->isWindow() && (qobject_cast<const QDialog *>(widget) || widget->windowType() == Qt::Dialog)
        && widget->isModal();
}

} // namespace

DialogFocusReturn::DialogFocusReturn(ForegroundWindow &desktop, QObject *parent) : QObject(parent), m_desktop(desktop)
{
    qApp->installEventFilter(this);
}

DialogFocusReturn::~DialogFocusReturn()
{
    qApp->removeEventFilter(this);
}

bool DialogFocusReturn::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Show:
        if (isModalDialog(widget))
            dialogShown(widget);
        break;
    case QEvent::Hide:
        if (widget->isWindow())
            dialogHidden(widget);
        break;
    case QEvent::WindowActivate:
        if (m_returning && widget == m_returning->window())
            QTimer::singleShot(0, this, [this] { giveBack(); });
        break;
    default:
        break;
    }
    return false;
}

void DialogFocusReturn::dialogShown(QWidget *dialog)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() == dialog)
        return;
    m_open.push_back(Open{dialog, focus});
}

void DialogFocusReturn::dialogHidden(QWidget *dialog)
{
    for (auto it = m_open.begin(); it != m_open.end(); ++it) {
        if (it->dialog != dialog)
            continue;
        QPointer<QWidget> focus = it->focus;
        m_open.erase(it);
        if (!focus)
            return;
        m_returning = focus;
        m_attempts = 0;
        // After the dialog has really gone (and its own focus handling ran).
        QTimer::singleShot(0, this, [this] { giveBack(); });
        return;
    }
}

void DialogFocusReturn::giveBack()
{
    QWidget *focus = m_returning;
    if (!focus)
        return;
    QWidget *window = focus->window();
    // Another modal dialog opened meanwhile: it keeps the focus, and this
    // return waits for its own end.
    QWidget *modal = QApplication::activeModalWidget();
    if (!window->isVisible() || !focus->isVisible() || (modal && modal != window)) {
        if (!modal || modal == window)
            m_returning = nullptr;
        return;
    }
    if (!window->isActiveWindow() && m_attempts > 0 && desktopShows(window)) {
        // The desktop has the window in front and its keyboard focus, but
        // Qt missed the activation (it came while the dialog's window went
        // away); asking the window manager again changes nothing then.
        QApplication::setActiveWindow(window);
    }
    if (!window->isActiveWindow()) {
        // The focus event follows the window's activation. A window manager
        // may pass over the first request while the dialog's window goes
        // away: the request is repeated a few times.
        window->activateWindow();
        focus->setFocus(Qt::ActiveWindowFocusReason);
        if (++m_attempts <= MaxAttempts)
            QTimer::singleShot(RetryMs, this, [this] { giveBack(); });
        else
            m_returning = nullptr;
        return;
    }
    m_returning = nullptr;
    focus->setFocus(Qt::ActiveWindowFocusReason);
    tell(focus);
}

bool DialogFocusReturn::desktopShows(const QWidget *window)
{
    const ForegroundWindow::Window front = m_desktop.foreground();
    return front.ownProcess && front.title == window->windowTitle();
}

void DialogFocusReturn::tell(QWidget *widget)
{
    // The widget may have had the focus all along as far as Qt knows: the
    // reader is told anyway.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return;
    // A widget with focusable parts of its own (the task pane's entries, a
    // page's links) names the part that has the focus.
    if (QAccessibleInterface *part = iface->focusChild(); part && part != iface && part->isValid())
        iface = part;
    QAccessibleEvent event(iface, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}
