#pragma once
// PlatformTexts: what the platform helpers tell the user, in German.

#include <QString>

namespace PlatformTexts {

inline QString errorTitle() { return QStringLiteral("Fehler"); }

// folder: the program folder, as the user's file manager shows it.
inline QString plugdeskMissing(const QString &folder)
{
    return QStringLiteral("Die Erweiterungsverwaltung (plugdesk) wurde nicht gefunden. "
                          "Sie gehört in den Programmordner von Quenora:\n%1")
        .arg(folder);
}
inline QString plugdeskFailed()
{
    return QStringLiteral("Die Erweiterungsverwaltung (plugdesk) konnte nicht gestartet werden.");
}

} // namespace PlatformTexts
