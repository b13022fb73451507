#pragma once
// PlugdeskLauncher: starts the extension manager `plugdesk` the way the main
// window's menu and the settings dialog both do: the program from Quenora's
// own folder, no arguments, that folder as working directory, not waiting for
// it. Installed, plugdesk sits beside quenora in bin/; in a build tree each
// program has its own folder, so the sibling folder plugdesk/ is looked at
// too. The caller learns "missing" or "failed" and shows the German text of
// message() through its Dialogs; the launcher itself shows nothing.

#include "PlatformTexts.h"
#include "Shell.h"

#include <QString>

class PlugdeskLauncher
{
public:
    enum class Result { Started, Missing, Failed };

    // programFolder: the folder of the running quenora (Paths::executableDir()).
    PlugdeskLauncher(Shell &shell, QString programFolder);

    // The plugdesk executable that would be started, or empty when none is there.
    QString findProgram() const;
    Result launch();

    // What to tell the user after a launch that did not start; empty for Started.
    QString message(Result result) const;
    static QString messageTitle() { return PlatformTexts::errorTitle(); }

private:
    Shell &m_shell;
    QString m_programFolder;
};
