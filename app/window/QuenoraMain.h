#pragma once
// QuenoraMain: the program's start: one instance only, the .vts file type,
// the start-up document from the command line, then the main window.

#include <QStringList>

#include <functional>

class QApplication;
class frmMain;

// arguments: the command line without the program name. loaded, when given,
// is called with the window once its load sequence has run (benchmarks).
int QuenoraMain(QApplication &app, const QStringList &arguments,
                const std::function<void(frmMain &)> &loaded = {});
