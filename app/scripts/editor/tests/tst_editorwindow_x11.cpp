// The script editor on a real X display with a window manager: shown again
// after being hidden, it stands where it stood (openbox would otherwise put
// it lower by its title bar each time).
#include "ScriptedDialogs.h"
#include "TestWindowManager.h"
#include "frmTaskEditor.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// Shows a window and waits until the window manager has framed it. A window
// mapped while openbox still finishes its start (slow on a busy machine) can
// stay unmanaged and unframed; it is mapped again then.
bool showFramed(QWidget &w)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        w.show();
        if (QTest::qWaitForWindowExposed(&w, 10000)
            && QTest::qWaitFor([&] { return w.frameGeometry().top() < w.geometry().top(); }, 10000))
            return true;
        w.hide();
        QTest::qWaitFor([&] { return !w.isVisible(); }, 5000);
    }
    return false;
}

class tst_EditorWindowX11 : public QObject
{
    Q_OBJECT
private slots:
    void reopensWhereItWas()
    {
        QTemporaryDir scripts;
        ScriptedDialogs dialogs;
        // As in the program: a dialog of the main window.
        QMainWindow main;
        main.resize(600, 400);
        QVERIFY(showFramed(main));
        frmTaskEditor editor(dialogs, scripts.path(), &main);
        // Placed once the window manager has framed it.
        QVERIFY(showFramed(editor));
        const QPoint first = editor.frameGeometry().topLeft();
        for (int i = 0; i < 3; ++i) {
            editor.hide();
            QTRY_VERIFY(!editor.isVisible());
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor, 20000));
            QTRY_VERIFY_WITH_TIMEOUT(editor.frameGeometry().top() < editor.geometry().top(), 20000);
            QCOMPARE(editor.frameGeometry().topLeft(), first);
        }
    }
};

int main(int argc, char **argv)
{
    // The window manager runs before the program connects, as on a desktop:
    // Qt learns at its start what the window manager supports.
    pid_t openbox = 0;
    char program[] = "openbox";
    char option[] = "--sm-disable";
    char *openboxArguments[] = {program, option, nullptr};
    if (posix_spawnp(&openbox, program, nullptr, nullptr, openboxArguments, environ) != 0) {
        std::fprintf(stderr, "openbox cannot be started\n");
        return 1;
    }
    for (int i = 0; i < 600 && !TestWindowManager::running(); ++i)
        usleep(50 * 1000);
    if (!TestWindowManager::running()) {
        std::fprintf(stderr, "openbox did not announce itself\n");
        kill(openbox, SIGTERM);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        tst_EditorWindowX11 test;
        result = QTest::qExec(&test, argc, argv);
    }
    kill(openbox, SIGTERM);
    waitpid(openbox, nullptr, 0);
    return result;
}

#include "tst_editorwindow_x11.moc"
