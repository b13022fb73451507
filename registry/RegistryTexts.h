#pragma once
// RegistryTexts: what the registry and qnreg tell the user, in German.

#include <QString>
#include <QStringList>

namespace RegistryTexts {

// qnreg

// The help, written out byte for byte as it stands here.
inline constexpr char qnregUsage[] =
    "Aufruf:\n"
    "  qnreg import DATEI\n"
    "  qnreg export SCHLÜSSEL DATEI [--subkeys]\n"
    "  qnreg get SCHLÜSSEL NAME\n"
    "  qnreg set SCHLÜSSEL NAME WERT [--dword | --binary]\n"
    "  qnreg delete SCHLÜSSEL [NAME]\n"
    "  qnreg keys SCHLÜSSEL\n"
    "  qnreg values SCHLÜSSEL\n"
    "  qnreg --help | --version\n"
    "Der Name @ steht für den Standardwert eines Schlüssels.\n";

inline QString unknownCommand(const QString &verb)
{
    return QStringLiteral("Unbekannter Befehl \"%1\" (qnreg --help zeigt die Befehle)").arg(verb);
}

// "Aufruf: " and the command's line of the help, for a command called
// without what it needs.
inline QString usage(const QString &command)
{
    const QString start = QStringLiteral("qnreg ") + command + QLatin1Char(' ');
    for (const QString &line : QString::fromUtf8(qnregUsage).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(start))
            return QStringLiteral("Aufruf: ") + line.trimmed();
    }
    return QString();
}

inline QString fileNotFound(const QString &file)
{
    return QStringLiteral("Die Datei %1 wurde nicht gefunden.").arg(file);
}

inline QString importFault(const QString &file, const QString &fault)
{
    return QStringLiteral("%1: %2").arg(file, fault);
}

inline QString moreImportFaults(const QString &file, qsizetype count)
{
    return QStringLiteral("%1: %2 weitere Fehler").arg(file).arg(count);
}

inline QString importIncomplete(const QString &file)
{
    return QStringLiteral("%1 ist keine vollständig lesbare REGEDIT4-Datei (erste Zeile REGEDIT4, "
                          "Zeilenenden CR LF); nicht jeder Eintrag wurde übernommen.")
        .arg(file);
}

inline QString fileExists(const QString &file)
{
    return QStringLiteral("Die Datei %1 existiert bereits und wird nicht überschrieben.").arg(file);
}

inline QString fileNotWritten(const QString &file)
{
    return QStringLiteral("Die Datei %1 konnte nicht geschrieben werden.").arg(file);
}

inline QString keyMissing(const QString &key)
{
    return QStringLiteral("Der Schlüssel %1 existiert nicht.").arg(key);
}

inline QString unknownRoot(const QString &key)
{
    return QStringLiteral("Unbekannter Hauptschlüssel in %1").arg(key);
}

inline QString valueMissing(const QString &name, const QString &key)
{
    return QStringLiteral("Der Wert %1 in %2 existiert nicht.").arg(name, key);
}

inline QString notADWord(const QString &value)
{
    return QStringLiteral("%1 ist keine 32-Bit-Zahl.").arg(value);
}

inline QString notHexBytes(const QString &value)
{
    return QStringLiteral("%1 ist keine Folge zweistelliger Hexadezimalzahlen.").arg(value);
}

inline QString valueNotWritten(const QString &name, const QString &key)
{
    return QStringLiteral("Der Wert %1 in %2 konnte nicht geschrieben werden.").arg(name, key);
}

inline QString keyHasSubkeys(const QString &key)
{
    return QStringLiteral("Der Schlüssel %1 hat Unterschlüssel; lösche diese zuerst.").arg(key);
}

// The hive

inline QString folderNotCreated(const QString &folder)
{
    return QStringLiteral("Der Ordner der Registrierungsdatenbank kann nicht angelegt werden: %1").arg(folder);
}

inline QString hiveLocked(const QString &file)
{
    return QStringLiteral("Die Registrierungsdatenbank ist von einem anderen Programm gesperrt: %1").arg(file);
}

inline QString hiveCorrupt(const QString &file)
{
    return QStringLiteral("Die Registrierungsdatenbank ist beschädigt: %1").arg(file);
}

inline QString reasonReadOnly() { return QStringLiteral("schreibgeschützt"); }

inline QString reasonCannotOpen() { return QStringLiteral("lässt sich nicht öffnen"); }

inline QString reasonPermission() { return QStringLiteral("Zugriff verweigert"); }

inline QString reasonDiskFull() { return QStringLiteral("Datenträger voll"); }

inline QString reasonInputOutput() { return QStringLiteral("Ein-/Ausgabefehler"); }

inline QString hiveNotWritable(const QString &file, const QString &reason)
{
    return QStringLiteral("Die Registrierungsdatenbank kann nicht geschrieben werden: %1 (%2)").arg(file, reason);
}

// what: the step that failed; detail: SQLite's own message.
inline QString hiveError(const QString &file, const QString &what, const QString &detail)
{
    return QStringLiteral("Fehler in der Registrierungsdatenbank %1 (%2: %3)").arg(file, what, detail);
}

inline QString rootNotDeleted() { return QStringLiteral("Ein Hauptschlüssel kann nicht gelöscht werden."); }

inline QString subkeysNotDeleted()
{
    return QStringLiteral("Der Schlüssel hat Unterschlüssel und wird nicht gelöscht.");
}

} // namespace RegistryTexts
