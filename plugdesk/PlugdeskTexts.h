#pragma once
// Every text the extension manager shows or prints, in one place.

#include <QString>

namespace PlugdeskTexts {

inline QString caption() { return QStringLiteral("Marlowind Extension/AddIn Manager"); }
inline QString instruction()
{
    return QStringLiteral("Wählen Sie eine Erweiterung aus der Liste und deaktivieren oder aktivieren Sie es, "
                          "in dem Sie ein Kästchen davor setzen oder dieses entfernen.");
}
inline QString close() { return QStringLiteral("&Schließen"); }
inline QString noDescription() { return QStringLiteral("(keine Beschreibung vorhanden)"); }
inline QString unknownExtension() { return QStringLiteral("(unbekannte Extension)"); }
inline QString noneInstalled() { return QStringLiteral("Es sind keine Erweiterungen installiert!"); }
inline QString noneInstalledTitle() { return QStringLiteral("Extension Manager"); }
inline QString errorTitle() { return QStringLiteral("Fehler"); }

inline QString cannotRead(const QString &reason)
{
    return QStringLiteral("Die Liste der Erweiterungen kann nicht gelesen werden.\n\n%1").arg(reason);
}

// A switch that did not reach the hive: the first sentence for the command
// line, the whole text for the window, whose check box is put back.
inline QString switchFailed(const QString &item, bool wanted)
{
    return QStringLiteral("Die Erweiterung \"%1\" konnte nicht %2 werden, weil die Einstellung nicht "
                          "gespeichert werden konnte.")
        .arg(item, wanted ? QStringLiteral("aktiviert") : QStringLiteral("deaktiviert"));
}
inline QString notSaved(const QString &item, bool wanted, const QString &reason)
{
    return switchFailed(item, wanted) + QStringLiteral(" Das Kästchen zeigt wieder den bisherigen Zustand.\n\n")
           + reason;
}
inline QString entryGone()
{
    return QStringLiteral("Zu diesem Eintrag ist keine Erweiterung mehr eingetragen. "
                          "Starten Sie die Erweiterungsverwaltung neu, um die aktuelle Liste zu sehen.");
}
inline QString unknownWriteError() { return QStringLiteral("Die Registrierungsdatenbank hat den Wert nicht angenommen."); }

inline QString active() { return QStringLiteral("aktiv"); }
inline QString inactive() { return QStringLiteral("inaktiv"); }

inline QString nothingBelongs(const QString &text)
{
    return QStringLiteral("Keine installierte Erweiterung passt zu \"%1\".").arg(text);
}
inline QString emptyName() { return QStringLiteral("Bitte den Namen einer Erweiterung angeben (er darf nicht leer sein)."); }
inline QString missingName(const QString &option)
{
    return QStringLiteral("Nach %1 fehlt der Name einer Erweiterung.").arg(option);
}
inline QString unknownOption(const QString &option)
{
    return QStringLiteral("Unbekannte Angabe: %1\nEine Übersicht zeigt plugdesk --help.").arg(option);
}
inline QString help()
{
    return QStringLiteral(
        "Aufruf: plugdesk [--list | --enable TEXT | --disable TEXT | --help | --version]\n"
        "\n"
        "Ohne Angabe öffnet plugdesk das Fenster der Erweiterungsverwaltung: eine Liste der\n"
        "installierten Erweiterungen von Quenora mit einem Kästchen vor jeder; ein Haken\n"
        "schaltet die Erweiterung ein, ein entfernter Haken schaltet sie aus. Die Änderung\n"
        "gilt in einem laufenden Quenora ab dem nächsten Ereignis.\n"
        "\n"
        "Ohne Fenster, für Installationsprogramme und Administratoren:\n"
        "  --list          eine Zeile je Erweiterung: Anzeigename, \"aktiv\" oder \"inaktiv\"\n"
        "                  und der Bezeichner ihres Objekts (ObjectName), durch Tabulatoren getrennt\n"
        "  --enable TEXT   schaltet jede Erweiterung ein, deren Anzeigename TEXT enthält\n"
        "                  (Groß- und Kleinschreibung zählt; ohne Anzeigenamen gilt\n"
        "                  \"(unbekannte Extension)\")\n"
        "  --disable TEXT  schaltet jede solche Erweiterung aus\n"
        "  --help          zeigt diese Hilfe\n"
        "  --version       zeigt die Version\n"
        "\n"
        "Rückgabewert: 0 bei Erfolg; 1, wenn keine Erweiterung installiert ist, keine zu TEXT\n"
        "passt oder die Änderung nicht gespeichert werden konnte (mit einer Meldung);\n"
        "2 bei einem falschen Aufruf.\n");
}

} // namespace PlugdeskTexts
