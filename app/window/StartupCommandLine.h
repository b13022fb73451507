#pragma once
// StartupCommandLine: what Quenora's command line asks for at start.
//
// The program historically received its command line as one string: a quoted
// document path first, then optionally /t (text view) and /s (speak the
// document once the window is up). On Linux the process gets an argument
// vector; fromArguments() rebuilds the one-string form from it, and parse()
// reads that form exactly as the program always has: the path is the text
// between the first and the last double quote.

#include <QString>
#include <QStringList>

struct StartupRequest {
    QString quotedPath;        // the text between the quotes; empty: none
    bool textMode = false;     // /t
    bool speakAtStart = false; // /s (also switches to the text view)
};

namespace StartupCommandLine {

// The one-string command line for an argument vector without the program
// name: the first argument, unless it is a switch, becomes the quoted
// (absolute) path; the other arguments follow, separated by blanks.
QString fromArguments(const QStringList &arguments);

// Reads the one-string command line.
StartupRequest parse(const QString &commandLine);

} // namespace StartupCommandLine
