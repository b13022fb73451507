#pragma once
// FileTypeRegistration: makes script files (".vts") open with Quenora and show
// the script icon. Done at every start, so a moved program is repaired by
// the next start; nothing is ever removed.
//
// Two registrations are written: the classic one in the registry hive under
// HKEY_CLASSES_ROOT (extension -> type name -> open command and icon), which
// other programs of the system read, and the one the Linux desktop reads: a
// shared-mime-info package for the extension, a .desktop entry that opens
// such files with Quenora, and the icon, all in the user's data folder.

#include <QString>

class clsRegistryAccess;
class Dialogs;

class FileTypeRegistration
{
public:
    struct Environment {
        QString programPath;    // the quenora executable
        QString dataDir;        // holds vts.ico and icons/vts.png, icons/vts.svg
        QString freedesktopDir; // receives mime/, applications/, icons/
        bool refreshDatabases = true; // run update-mime-database and friends when found
        // An installed Quenora whose application entry and MIME type the
        // desktop already reads from the system's folders: the per-user
        // desktop files would only shadow them.
        bool systemWideRegistration = false;
    };
    // The running program's own environment (Paths).
    static Environment currentEnvironment();

    FileTypeRegistration(clsRegistryAccess &registry, Dialogs &dialogs, Environment environment);

    void RegisterFileType(const QString &extension);

    // Creates or opens the key below the root and writes a string value; the
    // result is not looked at.
    static void WriteRegistryString(clsRegistryAccess &registry, const QString &root, const QString &subkey,
                                    const QString &name, const QString &value);

    // True when programPath is the program an installed application entry
    // starts: its prefix's share folder holds Quenora's entry and .vts type,
    // the desktop reads that folder (one of dataDirs), and "quenora" on the
    // search path (foundOnPath) is this very program.
    static bool systemWideRegistrationFor(const QString &programPath, const QStringList &dataDirs,
                                          const QString &foundOnPath);

    // The MIME type Quenora uses for a type name such as "vtsfile".
    static QString mimeTypeFor(const QString &typeName);
    // One argument quoted for the Exec line of a .desktop entry; a null
    // string when the argument cannot be written there (a control character
    // other than tab, line feed or carriage return).
    static QString desktopExecQuote(const QString &argument);
    // A value as a .desktop entry's string type writes it: backslash, tab,
    // line feed and carriage return escaped, so no value can start a line
    // of its own; a null string for any other control character.
    static QString desktopStringValue(const QString &value);

    // True when the last RegisterFileType changed a desktop file.
    bool desktopFilesChanged() const { return m_changed; }

private:
    void writeDesktopFiles(const QString &extension, const QString &typeName);
    bool writeIfChanged(const QString &file, const QByteArray &content);
    bool copyIfChanged(const QString &from, const QString &to);

    clsRegistryAccess &m_registry;
    Dialogs &m_dialogs;
    Environment m_env;
    bool m_changed = false;
};
