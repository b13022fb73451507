#pragma once
// WindowServices: what the parts of the main window share from outside it:
// the settings, the dialogs, the desktop shell, the extension host and the
// program's version. The composition root owns them; the parts hold this
// by value (references and the version text).

#include <QString>

class Dialogs;
class ExtensionHost;
class SettingsStore;
class Shell;

struct WindowServices {
    SettingsStore &settings;
    Dialogs &dialogs;
    Shell &shell;
    ExtensionHost &extensions;
    QString version;
};
