#pragma once
// ScriptRunner: the interpreter (ExecuteSkript). Reads the chosen script from
// the script library, cuts it into lines and hands each statement to
// ScriptCommands, first line to last, while the host's run flag holds.
//
// Wiederholen and Springe do not call back into the interpreter: the
// commands return them as outcomes and the one loop here re-reads the file
// or moves its line index, so a script that repeats itself for hours keeps
// constant memory and call depth.

#include "ScriptCommands.h"

#include <QString>

class Dialogs;
class ScriptHost;
class SettingsStore;

class ScriptRunner
{
public:
    ScriptRunner(ScriptHost &host, ScriptCommands &commands, SettingsStore &settings, Dialogs &dialogs);

    // Runs fileName (its name in the scripts folder), started from the task
    // id hID; returns when the run has ended.
    void ExecuteSkript(int hID, const QString &fileName);
    // The file and task id of the run going on, or of the last one.
    QString CurrentScriptFile() const { return m_file; }
    int CurrentScriptTaskId() const { return m_taskId; }

    // Files larger than this are refused rather than read into memory.
    static constexpr qint64 kMaxScriptSize = qint64(64) * 1024 * 1024;

private:
    // The script's lines, or nothing after telling the user why not.
    std::optional<QStringList> readScript();

    ScriptHost &m_host;
    ScriptCommands &m_commands;
    SettingsStore &m_settings;
    Dialogs &m_dialogs;
    QString m_file;
    int m_taskId = 0;
};
