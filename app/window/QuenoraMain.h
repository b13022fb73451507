#pragma once
// QuenoraMain: the program's start: one instance only, the .vts file type,
// the start-up document from the command line, then the main window.

#include <QStringList>

class QApplication;

// arguments: the command line without the program name.
int QuenoraMain(QApplication &app, const QStringList &arguments);
