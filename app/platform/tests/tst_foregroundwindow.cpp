// ForegroundWindow against a real X server (run under xvfb-run, without a
// window manager, so the input-focus path is taken): titles from
// _NET_WM_NAME and from WM_NAME alone, a focused unnamed child, no window at
// all, and whether the window is this program's own.
#include "ForegroundWindow.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

// Raw X windows made by the test, so that exactly the properties a row
// needs are set.
struct RawX {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    QList<xcb_window_t> windows;

    ~RawX()
    {
        for (xcb_window_t w : windows)
            xcb_destroy_window(c, w);
        xcb_flush(c);
        xcb_disconnect(c);
    }
    xcb_window_t create(xcb_window_t parent)
    {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 50, 50, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(c, w);
        windows.append(w);
        return w;
    }
    void setName(xcb_window_t w, const QByteArray &bytes, xcb_atom_t type = XCB_ATOM_STRING)
    {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, type, 8, uint32_t(bytes.size()),
                            bytes.constData());
        sync();
    }
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    }
    void focus(xcb_window_t w)
    {
        sync();
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, w, XCB_CURRENT_TIME);
        sync();
    }
    // Makes sure the server has done everything asked so far.
    void sync()
    {
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
};

} // namespace

class TestForegroundWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
    }

    void ownQtWindowWithUtf8Title()
    {
        auto foreground = ForegroundWindow::create();
        QWidget window;
        window.setWindowTitle(QStringLiteral("Größe – Übersicht"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QTRY_COMPARE(foreground->foreground().title, QStringLiteral("Größe – Übersicht"));
        QVERIFY(foreground->foreground().ownProcess);
    }

    void rawWindows()
    {
        auto foreground = ForegroundWindow::create();
        RawX x;
        // WM_NAME alone, Latin-1 as X defines it.
        const xcb_window_t named = x.create(x.root);
        x.setName(named, QByteArray("Rechner \xE4", 9));
        x.focus(named);
        QCOMPARE(foreground->foreground().title, QStringLiteral("Rechner ä"));
        QVERIFY(!foreground->foreground().ownProcess);

        // Compound text from an old program: UTF-8 when it is, else its code page.
        x.setName(named, QByteArray("Gr\xC3\xBC\xC3\x9F""e"), x.atom("COMPOUND_TEXT"));
        QCOMPARE(foreground->foreground().title, QStringLiteral("Grüße"));
        x.setName(named, QByteArray("Gr\xFC\xDF""e \x80"), x.atom("COMPOUND_TEXT"));
        QCOMPARE(foreground->foreground().title, QStringLiteral("Grüße €"));
        x.setName(named, QByteArray("Rechner \xE4", 9));

        // The focus on an unnamed child: its named parent is what the user sees.
        const xcb_window_t child = x.create(named);
        x.focus(child);
        QCOMPARE(foreground->foreground().title, QStringLiteral("Rechner ä"));

        // A window without any name, directly below the root: no title.
        const xcb_window_t unnamed = x.create(x.root);
        x.focus(unnamed);
        QCOMPARE(foreground->foreground().title, QString());

        // No window has the focus.
        xcb_set_input_focus(x.c, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
        x.sync();
        QCOMPARE(foreground->foreground().title, QString());
    }

    void noDisplayNoWindow()
    {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        auto foreground = ForegroundWindow::create();
        const QString title = foreground->foreground().title;
        qputenv("DISPLAY", display);
        QCOMPARE(title, QString());
        // Decided once: a display that appears later is not looked at.
        QCOMPARE(foreground->foreground().title, QString());
    }
};

int main(int argc, char **argv)
{
    // A real X connection for Qt's own windows; the tests are registered
    // with the offscreen platform.
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestForegroundWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_foregroundwindow.moc"
