#include "TestWindowManager.h"

#include <QDeadlineTimer>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

bool TestWindowManager::running()
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const char name[] = "_NET_SUPPORTING_WM_CHECK";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr);
    bool announced = false;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        xcb_get_property_reply_t *p = xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        announced = p && xcb_get_property_value_length(p) == 4;
        std::free(p);
    }
    std::free(atom);
    xcb_disconnect(c);
    return announced;
}

QString TestWindowManager::start(QProcess &openbox, const QProcessEnvironment &env)
{
    for (int attempt = 0; attempt < 3 && !running(); ++attempt) {
        if (attempt > 0)
            QTest::qWait(500);
        openbox.setProcessEnvironment(env);
        openbox.setProcessChannelMode(QProcess::MergedChannels);
        openbox.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!openbox.waitForStarted(10000))
            return QStringLiteral("openbox: ") + openbox.errorString();
        QDeadlineTimer deadline(30000);
        while (!running() && !deadline.hasExpired() && openbox.state() == QProcess::Running)
            QTest::qWait(50);
    }
    if (running())
        return QString();
    return QStringLiteral("openbox did not announce itself on %1 (state %2, exit %3): %4")
        .arg(qEnvironmentVariable("DISPLAY"))
        .arg(int(openbox.state()))
        .arg(openbox.exitCode())
        .arg(QString::fromLocal8Bit(openbox.readAll()));
}

void TestWindowManager::stop(QProcess &openbox)
{
    openbox.terminate();
    if (!openbox.waitForFinished(5000))
        openbox.kill();
}
