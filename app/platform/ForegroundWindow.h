#pragma once
// ForegroundWindow: which window is in front on the desktop, and its title,
// for the window-title reader. On X11 it asks the window manager through
// xcb (_NET_ACTIVE_WINDOW; without a window manager that names one, the
// window with the input focus) and reads _NET_WM_NAME, else WM_NAME. On
// Wayland no program may read another's title: the title is then empty, as
// when no window is in front. Tests use FakeForegroundWindow
// (app/testsupport).

#include <QString>

#include <memory>

class ForegroundWindow
{
public:
    struct Window {
        QString title;           // empty: no window, or one without a title
        bool ownProcess = false; // the window belongs to this program
    };

    virtual ~ForegroundWindow() = default;
    virtual Window foreground() = 0;

    // The desktop's own: X11 when this session has an X server and is not a
    // Wayland session, otherwise one that never names a window. It connects
    // at the first question.
    static std::unique_ptr<ForegroundWindow> create();
};

// No desktop to ask (Wayland, no display): never a window.
class NoForegroundWindow : public ForegroundWindow
{
public:
    Window foreground() override { return {}; }
};
