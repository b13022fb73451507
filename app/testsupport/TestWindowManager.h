#pragma once
// TestWindowManager: the window manager of an end-to-end test's virtual
// display. Openbox is started and waited for until it announces itself on
// the root window, so a program started afterwards is managed from its
// first window on; a window manager that gave up at once (the display did
// not take clients yet) is started again, a few times.

#include <QProcess>
#include <QString>

namespace TestWindowManager {

// Whether a window manager announces itself on the display in DISPLAY.
bool running();

// Starts openbox in process with env; empty when it runs, else why not.
QString start(QProcess &openbox, const QProcessEnvironment &env);

// Ends it again (for a test's clean-up).
void stop(QProcess &openbox);

} // namespace TestWindowManager
