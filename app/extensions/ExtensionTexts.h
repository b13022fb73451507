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

} // namespace ExtensionTexts
