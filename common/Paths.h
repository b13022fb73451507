#pragma once
// Paths: the answer to every "where does Quenora keep ..." question.
//
// On Windows one program folder held read-only data and writable folders side
// by side; here they are split into the installed data folder (read-only) and
// the user's folders (writable). With QUENORA_HOME set, everything writable
// lives below that one folder, which makes every program and test hermetic.
// Nothing else in the code base builds these paths. Used by app, plugdesk,
// the registry library and the command-line tools.

#include <QString>

class Paths
{
public:
    // $QUENORA_HOME, or empty when it is not set.
    static QString home();

    // Read-only data shipped with the program (hypertext pages, icons):
    // $QUENORA_DATA_DIR when set; <prefix>/share/quenora when installed;
    // else the folder of the executable (a build tree).
    static QString dataDir();

    // The plug-in libraries of the shipped extensions: the private plug-in
    // folder of an installed Quenora, found from the program's own place so
    // a relocated install still finds its own; in a build tree the folder
    // the plug-ins are built into.
    static QString pluginDir();

    // The extension-host process (quenora-extension-host) that runs the
    // plug-in libraries: in the private library folder of an installed
    // Quenora, found from the program's own place; in a build tree beside
    // quenora (build/app), one folder up for the programs built below it.
    // Empty when there is none.
    static QString extensionHostProgram();
    // The command-line program quenora-speak (the audiobook export's worker
    // processes run it): beside the program when installed, in the build
    // tree's app/speech folder beside quenora. Empty when there is none.
    static QString speakProgram();

    // The folder of the running executable.
    static QString executableDir();

    // Writable per-user data: $QUENORA_HOME, else $XDG_DATA_HOME/quenora.
    static QString userDataDir();

    // The script library: <userDataDir>/scripts.
    static QString scriptsDir();

    // Temporary recordings: $QUENORA_HOME/temp, else $XDG_CACHE_HOME/quenora/temp.
    static QString tempDir();

    // The error page written at run time: <userDataDir>/hypertext/err2.html.
    static QString errorPageFile();

    // The registry hive: $QUENORA_HOME/registry.db, else
    // $XDG_CONFIG_HOME/quenora/registry.db.
    static QString registryFile();

    // Where the freedesktop file-type registration goes (mime/, applications/,
    // icons/): $QUENORA_HOME/share, else $XDG_DATA_HOME.
    static QString freedesktopDataDir();

    // Lock files of running programs: $QUENORA_HOME, else $XDG_RUNTIME_DIR,
    // else a folder of this user's own in the system's temporary folder,
    // quenora-<uid>.
    static QString runtimeDir();
    // Creates runtimeDir() when missing. The folder in the shared temporary
    // folder must be a real folder of this user with mode 0700 (anyone could
    // have made it first); false with a German reason when it is not.
    static bool ensureRuntimeDir(QString *error = nullptr);

    // Creates the folder (and its parents) when missing, each new folder
    // private to the user (0700): recordings hold the spoken text. True when
    // it exists afterwards.
    static bool ensureDir(const QString &dir);
};
