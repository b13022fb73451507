#include "ForegroundWindow.h"

#include "Ansi.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// A reply that frees itself.
template <class T>
struct Reply {
    T *p = nullptr;
    explicit Reply(T *reply) : p(reply) {}
    ~Reply() { std::free(p); }
    Reply(const Reply &) = delete;
    Reply &operator=(const Reply &) = delete;
    T *operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

class X11ForegroundWindow : public ForegroundWindow
{
public:
    X11ForegroundWindow()
    {
        int screenNumber = 0;
        m_connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < screenNumber && it.rem; ++i)
            xcb_screen_next(&it);
        if (!it.rem)
            return;
        m_root = it.data->root;
        m_netActiveWindow = atom("_NET_ACTIVE_WINDOW");
        m_netWmName = atom("_NET_WM_NAME");
        m_netWmPid = atom("_NET_WM_PID");
        m_utf8String = atom("UTF8_STRING");
    }
    ~X11ForegroundWindow() override { xcb_disconnect(m_connection); }

    bool usable() const { return m_root != XCB_WINDOW_NONE && !xcb_connection_has_error(m_connection); }

    Window foreground() override
    {
        if (!usable())
            return {};
        xcb_window_t window = activeWindow();
        // Without a window manager naming one, the focus may sit on an
        // unnamed child: its named ancestor is the window the user sees.
        for (int depth = 0; depth < 16 && window != XCB_WINDOW_NONE && window != m_root; ++depth) {
            std::optional<QString> title = windowTitle(window);
            if (title)
                return {*title, isOwn(window)};
            window = parent(window);
        }
        return {};
    }

private:
    xcb_atom_t atom(const char *name)
    {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    Reply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type,
                                             uint32_t longLength)
    {
        return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, longLength), nullptr));
    }

    xcb_window_t activeWindow()
    {
        if (m_netActiveWindow != XCB_ATOM_NONE) {
            auto reply = property(m_root, m_netActiveWindow, XCB_ATOM_WINDOW, 1);
            if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32
                && xcb_get_property_value_length(reply.p) >= 4)
                // The window manager names the active window; 0 means none is.
                return *static_cast<xcb_window_t *>(xcb_get_property_value(reply.p));
        }
        Reply<xcb_get_input_focus_reply_t> focus(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        if (!focus || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
            return XCB_WINDOW_NONE;
        return focus->focus;
    }

    // The title, or nothing when the window has no name at all.
    std::optional<QString> windowTitle(xcb_window_t window)
    {
        // Titles are short; 64 KiB is more than any window manager shows.
        constexpr uint32_t Longs = 16384;
        if (m_netWmName != XCB_ATOM_NONE && m_utf8String != XCB_ATOM_NONE) {
            auto reply = property(window, m_netWmName, m_utf8String, Longs);
            if (reply && reply->type == m_utf8String && reply->format == 8)
                return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply.p)),
                                         xcb_get_property_value_length(reply.p));
        }
        auto reply = property(window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, Longs);
        if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
            return std::nullopt;
        const auto *bytes = static_cast<const char *>(xcb_get_property_value(reply.p));
        const int length = xcb_get_property_value_length(reply.p);
        // STRING is Latin-1 by definition; the compound text of modern
        // programs is, in practice, UTF-8, and older ones write their code page.
        if (reply->type == XCB_ATOM_STRING)
            return QString::fromLatin1(bytes, length);
        return Ansi::decode(QByteArrayView(bytes, length));
    }

    bool isOwn(xcb_window_t window)
    {
        if (m_netWmPid == XCB_ATOM_NONE)
            return false;
        auto reply = property(window, m_netWmPid, XCB_ATOM_CARDINAL, 1);
        if (!reply || reply->type != XCB_ATOM_CARDINAL || reply->format != 32
            || xcb_get_property_value_length(reply.p) < 4)
            return false;
        return *static_cast<const uint32_t *>(xcb_get_property_value(reply.p))
            == uint32_t(QCoreApplication::applicationPid());
    }

    xcb_window_t parent(xcb_window_t window)
    {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        return tree ? tree->parent : xcb_window_t(XCB_WINDOW_NONE);
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_netActiveWindow = XCB_ATOM_NONE;
    xcb_atom_t m_netWmName = XCB_ATOM_NONE;
    xcb_atom_t m_netWmPid = XCB_ATOM_NONE;
    xcb_atom_t m_utf8String = XCB_ATOM_NONE;
};

bool isWaylandSession()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Decides at the first question, so that a program that never reads titles
// never connects to the X server.
class DesktopForegroundWindow : public ForegroundWindow
{
public:
    Window foreground() override
    {
        if (!m_real) {
            // Under Wayland an X server may still run for older programs,
            // but it knows only their windows: a title from there would be
            // wrong as often as not.
            std::unique_ptr<X11ForegroundWindow> x11;
            if (!isWaylandSession() && !qEnvironmentVariableIsEmpty("DISPLAY"))
                x11 = std::make_unique<X11ForegroundWindow>();
            if (x11 && x11->usable())
                m_real = std::move(x11);
            else
                m_real = std::make_unique<NoForegroundWindow>();
        }
        return m_real->foreground();
    }

private:
    std::unique_ptr<ForegroundWindow> m_real;
};

} // namespace

std::unique_ptr<ForegroundWindow> ForegroundWindow::create()
{
    return std::make_unique<DesktopForegroundWindow>();
}
