#pragma once
// Every text of the settings dialog, in one place.

#include <QString>

namespace SettingsDialogTexts {

inline QString caption() { return QStringLiteral("Einstellungen"); }
inline QString apply() { return QStringLiteral("&Übernehmen"); }

inline QString pageWorkspace() { return QStringLiteral("Arbeitsfläche"); }
inline QString pageExtensions() { return QStringLiteral("Erweiterungen"); }
inline QString pageScripts() { return QStringLiteral("Taskscripts"); }
inline QString pageMisc() { return QStringLiteral("Diverses"); }

// Arbeitsfläche
inline QString workspaceIntro() { return QStringLiteral("Passen Sie hier die Oberfläche von Quenora ihren Bedürfnissen an."); }
inline QString atStart() { return QStringLiteral("Beim Start...."); }
inline QString startInteractive() { return QStringLiteral("...den interaktiv Modus anzeigen."); }
inline QString startText() { return QStringLiteral("...den Textmodus anzeigen."); }
inline QString startLastDocument() { return QStringLiteral("...zuletzt bearbeitetes Dokument öffnen."); }
inline QString whenSpeaking() { return QStringLiteral("Beim Vorlesen..."); }
inline QString usePrefixSuffix() { return QStringLiteral("Folgenden Prä/Suffix verwenden:"); }
inline QString prefix() { return QStringLiteral("Präfix:"); }
inline QString suffix() { return QStringLiteral("Suffix:"); }
inline QString mayBeEmpty() { return QStringLiteral("ggf. leer lassen"); }
inline QString info() { return QStringLiteral("Info:"); }
inline QString prefixHelp()
{
    return QStringLiteral("Der Präfix wird bei jedem klicke auf 'Sprechen' vor dem eingegebenen Text gesprochen. "
                          "Ein Suffix wird danach gesprochen. Beide Einstellungen werden nicht durch "
                          "Erweiterungen gefiltert.");
}

// Erweiterungen
inline QString extensionsIntro() { return QStringLiteral("Aktivieren oder deaktivieren Sie hier die installierten Erweiterungen."); }
inline QString extensionsGroup() { return QStringLiteral("Erweiterungen / AddIns..."); }
inline QString extensionsLink() { return QStringLiteral("Klicken Sie hier um die Konfiguration für die Erweiterungen aufzurufen."); }

// Taskscripts
inline QString scriptsHeading() { return QStringLiteral("Taskscripts (Makros)"); }
inline QString scriptsIntro() { return QStringLiteral("Legen Sie hier die Sicherheitseinstellungen für Taskscripts fest."); }
inline QString scriptsGroup() { return QStringLiteral("Taskscripts..."); }
inline QString allowVTS() { return QStringLiteral("...generell zulassen."); }
inline QString allowRead() { return QStringLiteral("...dürfen lokale Dateien öffnen, anzeigen, ausführen und löschen."); }
inline QString allowDownload() { return QStringLiteral("...dürfen Dateien aus dem Internet herunterladen."); }

// Diverses
inline QString miscGroup() { return QStringLiteral("Weitere Einstellungen..."); }
inline QString readTitle() { return QStringLiteral("...bei einem Programmwechsel aktuellen Programmtitel vorlesen"); }
inline QString readClipboard() { return QStringLiteral("... bei Änderung der Zwischenablage, den gesamten Inhalt vorlesen."); }
inline QString launchMail() { return QStringLiteral("... nach dem Exportvorgang standard E-Mail Programm öffnen"); }
inline QString ignoreOwnTitles() { return QStringLiteral("... dabei die Titel der Fenster von Quenora selbst nicht vorlesen."); }

// Übernehmen
inline QString restartTitle() { return QStringLiteral("Hinweis"); }
inline QString restartNotice()
{
    return QStringLiteral("Sie haben eine Einstellung geändert, die einen Neustart von Quenora erfordert.\n\n"
                          "Die Einstellungen werden erst nach dem Neustart effekt haben, Sie können Quenora "
                          "während der aktuellen Sitzung jedoch weiterhin vollständig benutzen.");
}

} // namespace SettingsDialogTexts
