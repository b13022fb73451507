#pragma once
// Every text of the script subsystem that a user can read, in one place.

#include <QString>

namespace ScriptTexts {

inline const QString ProgramTitle = QStringLiteral("Quenora");
inline const QString TitleWarning = QStringLiteral("Warnung");
inline const QString TitleError = QStringLiteral("Fehler");
inline const QString TitleConflict = QStringLiteral("Konflikt");

inline const QString ScriptsDisabled = QStringLiteral(
    "Sie haben das Ausführen von Voice Taskscripts in den Einstellungen unterbunden. Die Ausführung wurde "
    "abgebrochen.");
inline QString EscHint(const QString &name)
{
    return QStringLiteral("Drücken Sie ESC um die Ausführung von '") + name + QStringLiteral("' zu beenden.");
}
inline const QString RunFinished = QStringLiteral("Ausführung des Taskscripts beendet.");
inline const QString AlreadyRunning = QStringLiteral(
    "Es läuft bereits ein Taskscript. Bitte warten Sie bis dieses seine Aufgabe(n) erfüllt hat oder brechen Sie "
    "es mit ESC ab!");
inline QString ErrorPrompt(const QString &description)
{
    return QStringLiteral("Folgender Fehler trat während der Ausführung des Taskscripts auf:\r\n\r\n") + description
        + QStringLiteral("\r\n\r\nMöchten Sie mit der Ausführung fortfahren?");
}
// The same, saying where: the script's name and the line (from 1).
inline QString ErrorPrompt(const QString &description, const QString &script, int line)
{
    return QStringLiteral("Folgender Fehler trat während der Ausführung des Taskscripts '%1' in Zeile %2 auf:\r\n\r\n")
               .arg(script)
               .arg(line)
        + description + QStringLiteral("\r\n\r\nMöchten Sie mit der Ausführung fortfahren?");
}
// The status bar's permanent field while a script runs.
inline QString Running(const QString &name)
{
    return QStringLiteral("Taskscript '%1' läuft (ESC beendet)").arg(name);
}

// Reading a script
inline const QString NoScriptChosen = QStringLiteral("Es wurde kein Taskscript ausgewählt.");
inline QString CannotRead(const QString &name, const QString &reason)
{
    return QStringLiteral("Das Taskscript '%1' kann nicht gelesen werden: %2").arg(name, reason);
}
inline const QString FileMissing = QStringLiteral("Die Datei existiert nicht.");
inline const QString FileTooLarge = QStringLiteral("Die Datei ist zu groß.");
inline const QString NoEntryFile =
    QStringLiteral("Zu diesem Eintrag gibt es kein Taskscript mehr. Bitte legen Sie es erneut an.");
inline QString UnknownScript(const QString &name)
{
    return QStringLiteral("Das Taskscript '%1' wurde im Ordner der Taskscripts nicht gefunden.").arg(name);
}
inline const QString RunNeedsName = QStringLiteral("Nach --run fehlt der Name des Taskscripts.");
inline QString ScriptFolderMissing(const QString &dir)
{
    return QStringLiteral("Der Ordner der Taskscripts '%1' fehlt und kann nicht angelegt werden.").arg(dir);
}

// Errors of commands (shown inside the error prompt)
inline QString NotANumber(const QString &text)
{
    return QStringLiteral("'%1' ist keine gültige Zahl.").arg(text);
}
inline QString FileNotFound(const QString &path)
{
    return QStringLiteral("Die Datei '%1' wurde nicht gefunden.").arg(path);
}
inline QString CannotLoad(const QString &path, const QString &reason = QString())
{
    if (reason.isEmpty())
        return QStringLiteral("Die Datei '%1' kann nicht geladen werden.").arg(path);
    const QString sentence = reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
    return QStringLiteral("Die Datei '%1' kann nicht geladen werden: %2").arg(path, sentence);
}
inline QString CannotExport(const QString &path, const QString &reason)
{
    return QStringLiteral("Die Audiodatei '%1' kann nicht geschrieben werden: %2").arg(path, reason);
}
inline QString CannotUsePath(const QString &path, const QString &reason)
{
    return QStringLiteral("Der Pfad '%1' kann nicht verwendet werden: %2").arg(path, reason);
}
inline QString CannotDelete(const QString &path)
{
    return QStringLiteral("Die Datei '%1' kann nicht gelöscht werden.").arg(path);
}
inline QString CannotSave(const QString &path, const QString &reason)
{
    return QStringLiteral("Die Datei '%1' kann nicht gespeichert werden: %2").arg(path, reason);
}
inline const QString NoProgram = QStringLiteral("Es wurde kein Programm angegeben.");
inline QString CannotStart(const QString &program)
{
    return QStringLiteral("Das Programm '%1' kann nicht gestartet werden.").arg(program);
}
inline QString BadCommandLine(const QString &text)
{
    return QStringLiteral("Die Befehlszeile '%1' ist unvollständig (ein Anführungszeichen fehlt).").arg(text);
}
inline QString NotAPercentage(const QString &text)
{
    return QStringLiteral("'%1' ist kein gültiger Wert: erwartet wird eine ganze Zahl von 0 bis 100.").arg(text);
}
inline QString UnknownVoice(const QString &name)
{
    return QStringLiteral("Eine Stimme mit dem Namen '%1' ist nicht installiert.").arg(name);
}
inline QString BadLineNumber(const QString &text)
{
    return QStringLiteral("'%1' ist keine gültige Zeilennummer (1 oder größer).").arg(text);
}

// Download: a failure goes to the error prompt, naming address and reason.
inline const QString DownloadFailedPrefix = QStringLiteral("Download fehlgeschlagen: ");
inline QString DownloadFailed(const QString &url, const QString &reason)
{
    return QStringLiteral("Der Download von '%1' ist fehlgeschlagen: %2").arg(url, reason);
}
inline const QString DownloadBadScheme =
    QStringLiteral("Nur Adressen mit http://, https://, ftp:// oder ftps:// sind erlaubt.");
inline const QString DownloadNoTarget = QStringLiteral("Es wurde keine Zieldatei angegeben.");
inline QString DownloadHttpError(long status)
{
    return QStringLiteral("Der Server antwortet mit dem Fehler %1.").arg(status);
}
inline const QString DownloadHostNotFound = QStringLiteral("Der Server wurde nicht gefunden.");
inline const QString DownloadNoConnection = QStringLiteral("Keine Verbindung zum Server.");
inline const QString DownloadTimeout = QStringLiteral("Zeitüberschreitung, der Server antwortet nicht.");
inline const QString DownloadCancelled = QStringLiteral("Abgebrochen.");
inline QString DownloadCannotWrite(const QString &path, const QString &reason = QString())
{
    if (reason.isEmpty())
        return QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.").arg(path);
    return QStringLiteral("Die Datei '%1' kann nicht geschrieben werden: %2.").arg(path, reason);
}
inline QString DownloadTooLarge(qint64 megabytes)
{
    return QStringLiteral("Die Datei ist größer als %1 MB und wird nicht gespeichert.").arg(megabytes);
}
inline QString DownloadOther(const QString &detail)
{
    return QStringLiteral("Übertragungsfehler (%1).").arg(detail);
}
inline QString DownloadDone(const QString &path)
{
    return QStringLiteral("Download abgeschlossen: ") + path;
}

// The command builder: the parameter types it names and the help text of
// each command it offers. Wenn ends the run when the two texts differ,
// Wenn_nicht when they are the same: the help texts say what the commands do.
inline const QString TypeNothing = QStringLiteral("Nichts");
inline const QString TypeText = QStringLiteral("Text");
inline const QString TypePercent = QStringLiteral("Prozent");
inline const QString TypeNumber = QStringLiteral("Zahl");
inline const QString TypeTime = QStringLiteral("Zeit");
inline const QString TypeMode = QStringLiteral("Modus");

inline const QString HelpSprechen =
    QStringLiteral("Spricht den aktuellen vom Benutzer eingegebenen oder geladenen Text.");
inline const QString HelpSprechen2 = QStringLiteral("Spricht den Text 'Text'.");
inline const QString HelpStopp = QStringLiteral("Stoppt die Sprachausgabe.");
inline const QString HelpPause = QStringLiteral("Pausiert die Sprachausgabe.");
inline const QString HelpLaden = QStringLiteral("Öffnet die Datei 'Text' und zeigt sie an.");
inline const QString HelpSpeichern = QStringLiteral("Speichert den aktuellen Text in die Datei 'Text'.");
inline const QString HelpStimme = QStringLiteral("Wählt die Stimme mit den Namen 'Text' (sofern installiert).");
inline const QString HelpGeschwindigkeit = QStringLiteral(
    "Setzt die Geschwindigkeit des Sprechers auf 'Prozent' % der maximalen Geschwindigkeit. 'Prozent' muss "
    "hierbei eine gerundete Zahl sein.");
inline const QString HelpHelligkeit = QStringLiteral(
    "Setzt die Helligkeit der aktuellen Stimme auf 'Prozent' % der maximalen Helligkeit. 'Prozent' muss hierbei "
    "eine gerundete Zahl sein.");
inline const QString HelpExportieren = QStringLiteral(
    "Speichert die aktuelle Sprachausgabe als WAV-Datei mit dem Dateinamen 'Text' ab. Nach dem Aufrufen dieser "
    "Funktion muss Sprechen(); aufgerufen werden!");
inline const QString HelpBeenden = QStringLiteral("Beendet Quenora.");
inline const QString HelpWiederholen = QStringLiteral(
    "Startet das Skript von vorne. Achtung: Skript kann dann nur noch vom Benutzer beendet werden.");
inline const QString HelpSpringe =
    QStringLiteral("Springt zur Zeile 'Zahl' des Skripts und führt es von dort an wieder aus.");
inline const QString HelpText = QStringLiteral("Zeigt den Text 'Text' in der Statusbar des Hauptdialoges an.");
inline const QString HelpMeldung = QStringLiteral(
    "Zeigt die Meldung mit dem Text 'Text'. Solange die Meldung nicht weggeklickt wurde bleibt das Programm "
    "stehen.");
inline const QString HelpWartenBis = QStringLiteral(
    "Wartet mit der Ausführung des Taskscriptes bis die Zeit 'Zeit' erreicht ist. Parameter muss in der Form "
    "HH:MM:SS übergeben werden (z.B 21:05:11)");
inline const QString HelpErsetzen = QStringLiteral("Ersetzt den Text 'Text' mit 'Text2' im Dokument.");
inline const QString HelpWarten =
    QStringLiteral("Wartet 'Zahl' Sekunden bis zur weiteren Ausführung des Taskscripts.");
inline const QString HelpWennNicht = QStringLiteral(
    "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn dies zutrifft wird die Ausführung des "
    "Skriptes abgebrochen. 'Text' oder 'Text2' sollten hier Variablen sein.");
inline const QString HelpWenn = QStringLiteral(
    "Überprüft ob 'Text' und 'Text2' den selben Inhalt haben. Wenn nicht wird die Ausführung des Skriptes "
    "abgebrochen. 'Text' oder 'Text2' sollten hier Variablen sein.");
inline const QString HelpAusfuehren = QStringLiteral(
    "Führt die Datei oder den Befehl 'Text' aus. 'Text' kann entweder ein Pfad zu einer Ausführbare Datei sein "
    "(.exe .com .scr .bat) oder ein MS-DOS Befehl.");
inline const QString HelpDokument = QStringLiteral(
    "Setzt den Dokumenttext auf 'Text' oder fügt 'Text' an das aktuelle Dokument an. Wenn 'Text2' 0 ist wird der "
    "Text im Dokument durch 'Text' ersetzt. Wenn 'Text2' 1 ist wird der 'Text' angehängt.");
inline const QString HelpDownload = QStringLiteral(
    "Lädt die Datei 'Text' aus dem Internet und speicher Sie als 'Text2. Eine aktive Internetverbindung wird "
    "benötigt.'");

} // namespace ScriptTexts
