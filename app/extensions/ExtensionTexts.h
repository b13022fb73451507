#pragma once
// ExtensionTexts: what the extension host says to the user, in German.

#include <QString>

namespace ExtensionTexts {

inline QString caption()
{
    return QStringLiteral("Erweiterung ausgeschaltet");
}

// The moment of an event, as the user knows it.
inline QString moment(const QString &member)
{
    if (member == QLatin1String("Startup"))
        return QStringLiteral("beim Start von Quenora");
    if (member == QLatin1String("Close"))
        return QStringLiteral("beim Beenden von Quenora");
    if (member == QLatin1String("NewFile"))
        return QStringLiteral("beim Anlegen eines neuen Dokuments");
    if (member == QLatin1String("OpenFile"))
        return QStringLiteral("beim Öffnen eines Dokuments");
    if (member == QLatin1String("SaveFile"))
        return QStringLiteral("beim Speichern");
    if (member == QLatin1String("Export"))
        return QStringLiteral("beim Exportieren");
    if (member == QLatin1String("TaskScript"))
        return QStringLiteral("beim Start eines Taskscripts");
    if (member == QLatin1String("FilterText"))
        return QStringLiteral("beim Aufbereiten des Textes zum Vorlesen");
    return QStringLiteral("beim Aufruf von \"%1\"").arg(member);
}

inline QString tail()
{
    return QStringLiteral("Sie wurde ausgeschaltet; Quenora arbeitet ohne sie weiter. "
                          "In der Erweiterungsverwaltung lässt sie sich wieder einschalten.");
}

inline QString crashed(const QString &extension, const QString &member, const QString &reason)
{
    return QStringLiteral("Die Erweiterung \"%1\" ist %2 abgestürzt (%3).\n%4")
        .arg(extension, moment(member), reason, tail());
}

inline QString timedOut(const QString &extension, const QString &member, qint64 seconds)
{
    return QStringLiteral("Die Erweiterung \"%1\" hat %2 nach %3 Sekunden nicht geantwortet.\n%4")
        .arg(extension, moment(member))
        .arg(seconds)
        .arg(tail());
}

// A reason of a crash: the process answered what cannot be an answer.
inline QString unreadableAnswer()
{
    return QStringLiteral("unlesbare Antwort");
}

inline QString signalName(int signal)
{
    switch (signal) {
    case 4:
        return QStringLiteral("ungültiger Maschinenbefehl, Signal 4");
    case 6:
        return QStringLiteral("Programmabbruch, Signal 6");
    case 7:
        return QStringLiteral("Busfehler, Signal 7");
    case 8:
        return QStringLiteral("Rechenfehler, Signal 8");
    case 9:
        return QStringLiteral("von außen beendet, Signal 9");
    case 11:
        return QStringLiteral("Speicherzugriffsfehler, Signal 11");
    default:
        return QStringLiteral("Signal %1").arg(signal);
    }
}

inline QString exited(int code)
{
    return QStringLiteral("unerwartet beendet mit Code %1").arg(code);
}

// Loading a library and reaching the helper program.
inline QString fileMissing() { return QStringLiteral("Die Datei gibt es nicht."); }
inline QString pathLoops() { return QStringLiteral("Der Pfad führt in eine Schleife symbolischer Verknüpfungen."); }
inline QString pathNotSearchable()
{
    return QStringLiteral("Zugriff verweigert: ein Ordner des Pfades darf nicht durchsucht werden.");
}
inline QString pathPartNotFolder() { return QStringLiteral("Ein Teil des Pfades ist kein Ordner."); }
inline QString pathTooLong() { return QStringLiteral("Der Pfad ist zu lang."); }
inline QString isFolder() { return QStringLiteral("Das ist ein Ordner, keine Bibliothek."); }
inline QString notRegularFile() { return QStringLiteral("Das ist keine gewöhnliche Datei."); }
inline QString unknownReason() { return QStringLiteral("unbekannter Grund"); }
inline QString fileUncheckable(int error)
{
    return QStringLiteral("Die Datei lässt sich nicht prüfen (Fehler %1).").arg(error);
}
inline QString libraryPathRelative(const QString &path)
{
    return QStringLiteral("Der Pfad der Bibliothek ist nicht absolut: \"%1\"").arg(path);
}
inline QString libraryNotLoaded(const QString &why)
{
    return QStringLiteral("Die Bibliothek lässt sich nicht laden: %1").arg(why);
}
inline QString missingEntryPoints(const QString &names)
{
    return QStringLiteral("Der Bibliothek fehlen Einsprungpunkte: %1").arg(names);
}
inline QString wrongInterfaceVersion(quint32 version, quint32 lowest, quint32 highest)
{
    return QStringLiteral("Die Bibliothek hat die Schnittstellenversion %1, unterstützt wird %2 bis %3")
        .arg(version)
        .arg(lowest)
        .arg(highest);
}
// program: the path looked for, or empty when none was found.
inline QString hostMissing(const QString &program)
{
    return QStringLiteral("Das Hilfsprogramm quenora-extension-host fehlt%1.")
        .arg(program.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(program));
}
inline QString hostNoConnection(int error)
{
    return QStringLiteral("Es lässt sich keine Verbindung zum Hilfsprogramm anlegen (Fehler %1).").arg(error);
}
inline QString hostNotStarted(const QString &program, int error)
{
    return QStringLiteral("Das Hilfsprogramm %1 lässt sich nicht starten (Fehler %2).").arg(program).arg(error);
}
inline QString textTooLarge() { return QStringLiteral("Der Text ist für eine Erweiterung zu groß."); }

} // namespace ExtensionTexts
