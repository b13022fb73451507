#include "WindowKeys.h"

#include "Paths.h"
#include "Shell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>

WindowKeys::WindowKeys(QMainWindow &window, Shell &shell, Actions actions)
    : QObject(&window), m_window(window), m_shell(shell), m_actions(std::move(actions))
{
    qApp->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    // A script started with "Ausführen" runs while the editor has the focus;
    // the status bar's "ESC" stops it there too instead of hiding the editor.
    if (plain && key->key() == Qt::Key_Escape && window != &m_window && m_actions.runsScript(window)) {
        m_actions.stop();
        return true;
    }
    if (window != &m_window || !plain)
        return false;
    if (key->key() == Qt::Key_F4) {
        m_shell.showFolder(Paths::executableDir());
        return true;
    }
    // F10 opens the menu bar, as in every desktop program.
    QMenuBar *bar = m_window.menuBar();
    if (key->key() == Qt::Key_F10 && !bar->actions().isEmpty()) {
        bar->setActiveAction(bar->actions().constFirst());
        return true;
    }
    // Escape stops speaking only where nothing else wants it: the menu bar
    // leaves its keyboard mode with it, a popup closes.
    if (key->key() == Qt::Key_Escape && !qobject_cast<QMenuBar *>(watched) && !QApplication::activePopupWidget()) {
        m_actions.stop();
        return true;
    }
    return false;
}
