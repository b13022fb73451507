#pragma once
// ShippedExtensions: registers the extensions an installed Quenora brings
// along, for the user who starts it, at every start.
//
// The install puts each plug-in library into the private plug-in folder and
// its REGEDIT4 file (HKEY_CLASSES_ROOT identifier and the entry under the
// Extensions key) into the data folder. No root-run script can reach a
// user's hive, so the program itself does what ./run.sh does in a build
// tree: a file whose entry is missing is imported; an entry that exists is
// left as the user has it (Active above all). Each entry is imported once per
// user (RegisteredKey notes it): one the user or an administrator removed
// afterwards stays removed. The library is always named by
// the plug-in folder this program was started from, never by the path the
// file was written with, so a relocated install (a tarball, a staging tree,
// a package built for another prefix) registers libraries that exist.

#include <QString>
#include <QStringList>

class clsRegistryAccess;

class ShippedExtensions
{
public:
    // What one registration file says.
    struct Registration {
        QString entryKey;    // HKEY_CURRENT_USER\...\Extensions\<Entry>
        QString classKey;    // HKEY_CLASSES_ROOT\<Project.Class>\InprocServer32
        QString libraryName; // the library's file name
    };
    // Reads a registration file; nothing when it is not one.
    static bool read(const QString &regFile, Registration &out);

    // Where the entries imported once are noted, one value per entry.
    static const QString RegisteredKey;

    ShippedExtensions(clsRegistryAccess &registry, QString regFolder, QString pluginFolder);

    // Registers every file of the folder as described above; returns the
    // names of the entries it created or repaired.
    QStringList registerAll();

private:
    clsRegistryAccess &m_registry;
    QString m_regFolder;
    QString m_pluginFolder;
};
