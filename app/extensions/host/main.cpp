// quenora-extension-host: runs the plug-in libraries of Quenora's extensions
// outside the editor's process. Started by the editor (and quenora-speak)
// with one end of a socket pair; not a program for the user.
//
//   quenora-extension-host --fd N [--gui]
//
// --gui makes a widget application, so an extension can show a window (the
// editor passes it when it has a display itself).

#include "ExtensionServer.h"

#include <QApplication>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/prctl.h>

int main(int argc, char **argv)
{
    int fd = -1;
    bool gui = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fd") == 0 && i + 1 < argc)
            fd = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--gui") == 0)
            gui = true;
    }
    if (fd < 3 || ::fcntl(fd, F_GETFD) < 0) {
        std::fputs("quenora-extension-host wird von Quenora gestartet, nicht von Hand.\n", stderr);
        return 2;
    }
    // Gone with the editor, also while a plug-in hangs; and programs a
    // plug-in starts do not inherit the socket.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quenora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quenora"));
    ExtensionServer server(fd);
    return server.run();
}
