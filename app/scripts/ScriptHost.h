#pragma once
// ScriptHost: what the script commands may do to the main window, and no
// more: its document, status bar and the run flag. The window's script
// session implements it; tests use a small fake. Script code never sees the
// window; it speaks through the Speaker it is given.

#include <QString>
#include <QStringList>

class ScriptHost
{
public:
    virtual ~ScriptHost() = default;

    // The window's ScriptRunning: true while a run goes on; anyone may clear
    // it (ESC, the stop button, closing, a command) to end the run after its
    // line.
    virtual bool scriptRunning() const = 0;
    virtual void setScriptRunning(bool running) = 0;

    virtual QString documentText() const = 0;
    virtual void setDocumentText(const QString &text) = 0;
    virtual QString selectedText() const = 0;
    // The document box loads the file itself (rich text or plain text).
    // False, with why when that is known, when the file could not be loaded.
    virtual bool loadDocument(const QString &path, QString *why) = 0;

    virtual void showStatus(const QString &text) = 0;
    // A sign that stays while a script runs, whatever the status bar says
    // meanwhile: the script's name, or nothing once the run has ended.
    virtual void showRunningScript(const QString &name) = 0;

    // Ends the program at once, without the question about saving.
    virtual void endProgram() = 0;
};
