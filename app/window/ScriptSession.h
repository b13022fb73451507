#pragma once
// ScriptSession: the main window's task scripts. It is the ScriptHost the
// commands see (document, status bar, the run flag ScriptRunning), owns the
// interpreter and the script editor of task 1000, shows the status bar's
// permanent field while a script runs, and starts a run when an entry is
// clicked, a name is given (--run) or the editor asks. The run flag ends
// when the speaker is stopped (ESC, the stop button, a dialog's preview):
// the session observes the speaker, nobody calls back into the window.

#include "ScriptHost.h"

#include <QObject>

#include <functional>
#include <memory>

class Clipboard;
class Clock;
class Dialogs;
class DocumentController;
class ExtensionHost;
class QLabel;
class QStatusBar;
class QTextEdit;
class QWidget;
class ScriptCommands;
class ScriptRunner;
class SettingsStore;
class Shell;
class Speaker;
class frmTaskEditor;

class ScriptSession : public QObject, private ScriptHost
{
    Q_OBJECT
public:
    struct Parts {
        QWidget &window; // the editor's parent
        QStatusBar &statusBar;
        DocumentController &documents;
        QTextEdit &documentBox;
        Speaker &speaker;
        SettingsStore &settings;
        Dialogs &dialogs;
        Shell &shell;
        Clock &clock;
        Clipboard &clipboard;
        ExtensionHost &extensions;
    };
    // What a run asks of the window beyond its document.
    struct WindowActions {
        std::function<void(const QString &)> showStatus; // announced
        std::function<void()> showTextView;               // after Laden
        std::function<void()> endProgram;                 // Beenden, without asking
        std::function<void()> scriptsChanged;             // the editor saved a script
    };

    ScriptSession(Parts parts, WindowActions actions);
    ~ScriptSession() override;

    // ScriptRunning: true while a run goes on; clearing it ends the run
    // after its line.
    bool running() const { return m_running; }
    void setRunning(bool running) { m_running = running; }

    // Runs the script file (its name in the scripts folder) from task id hID.
    void ExecuteSkript(int hID, const QString &fileName);
    // A click on a script entry: refused while a script runs; tells the
    // extensions (TaskScript), then runs it.
    void startEntry(int hID, const QString &fileName);
    // By file name (with or without ".vts") as a click on its entry would;
    // an unknown name is reported.
    void RunScriptByName(const QString &name);
    // The script editor of task 1000, not modal, kept between uses.
    void ShowTaskEditor();

    QString CurrentScriptFile() const;
    int CurrentScriptTaskId() const;
    // The status bar's permanent field; empty when no script runs.
    QString runningScriptText() const;
    frmTaskEditor *taskEditor() const { return m_taskEditor; }

private:
    // ScriptHost
    bool scriptRunning() const override { return m_running; }
    void setScriptRunning(bool running) override { m_running = running; }
    QString documentText() const override;
    void setDocumentText(const QString &text) override;
    QString selectedText() const override;
    bool loadDocument(const QString &path, QString *why) override;
    void showStatus(const QString &text) override;
    void showRunningScript(const QString &name) override;
    void endProgram() override;

    Parts m_parts;
    WindowActions m_actions;
    bool m_running = false;
    QLabel *m_runningScript = nullptr; // permanent field while a script runs
    std::unique_ptr<ScriptCommands> m_commands;
    std::unique_ptr<ScriptRunner> m_runner;
    frmTaskEditor *m_taskEditor = nullptr; // a child of the window
};
