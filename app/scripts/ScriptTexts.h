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

} // namespace ScriptTexts
