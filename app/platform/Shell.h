#pragma once
// Shell: what the desktop does for Quenora: open a web page, a mail link or a
// file with the user's chosen program, start a program, show a folder in the
// file manager. QtShell does it for real, without a shell in between (no
// quoting pitfalls, no command injection through a file name); tests record
// the calls instead. No caller looks at a result beyond "started or not".

#include <QString>
#include <QStringList>

class Shell
{
public:
    virtual ~Shell() = default;

    // A web address, a mailto: link or a local file, opened by the desktop.
    virtual bool openUrl(const QString &url) = 0;
    // Starts a program with its arguments, not waiting for it.
    virtual bool startProgram(const QString &program, const QStringList &arguments,
                              const QString &workingFolder = QString()) = 0;
    // Shows a folder in the file manager.
    virtual bool showFolder(const QString &folder) = 0;
};

class QtShell : public Shell
{
public:
    bool openUrl(const QString &url) override;
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder = QString()) override;
    bool showFolder(const QString &folder) override;
};
