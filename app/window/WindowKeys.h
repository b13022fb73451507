#pragma once
// WindowKeys: the main window's own keys, seen before the control that has
// the focus, the way its key preview always worked: F4 shows the program
// folder, F10 opens the menu bar, Escape stops speaking. Dialogs of their
// own keep their keys; Escape in the window that runs a script stops it.
// Installed on the application while it lives.

#include <QObject>

#include <functional>

class QMainWindow;
class QWidget;
class Shell;

class WindowKeys : public QObject
{
public:
    struct Actions {
        std::function<void()> stop;
        // Whether Escape in this top-level window stops a running script
        // (the script editor while its "Ausführen" runs).
        std::function<bool(const QWidget *window)> runsScript;
    };

    WindowKeys(QMainWindow &window, Shell &shell, Actions actions);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMainWindow &m_window;
    Shell &m_shell;
    Actions m_actions;
};
