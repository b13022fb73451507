#pragma once
// Every text of the main window that a user can read, in one place.

#include "SpeechTexts.h"

#include <QString>

namespace WindowTexts {

inline const QString Caption = QStringLiteral("Quenora");
inline const QString TitleQuestion = QStringLiteral("Frage");
inline const QString TitleError = QStringLiteral("Fehler");

// What a screen reader calls the main window's parts.
inline const QString DocumentName = QStringLiteral("Dokument");
inline const QString ToolbarName = QStringLiteral("Symbolleiste");
inline const QString StartPageName = QStringLiteral("Startseite");

inline const QString AlreadyRunning = QStringLiteral("Eine Instanz von Quenora läuft bereits.");

inline const QString SaveBeforeNew =
    QStringLiteral("Möchten Sie das aktuelle Dokument speichern bevor Sie ein neues anlegen?");
inline const QString SaveBeforeExit =
    QStringLiteral("Möchten Sie das aktuelle Dokument speichern bevor Sie Quenora beenden?");
inline const QString OpenUnknownType =
    QStringLiteral("Die von Ihnen ausgewählte Datei scheint keine darstellbare, textbasierende Datei zu sein.\n\n"
                   "Möchten Sie diese trotzdem öffnen?");
inline QString SaveFailed(const QString &description, int number)
{
    return QStringLiteral("Während des Speichervorganges ist ein Fehler aufgetreten: %1 (%2)")
        .arg(description).arg(number);
}
inline const QString OpenFilter = QStringLiteral(
    "Textbasierende Dateien (*.txt,*.rtf)|*.txt;*.rtf|Textdateien (*.txt)|*.txt|Wordpad Dateien (*.rtf)|*.rtf|"
    "Alle Dateien (*.*)|*.*");
inline const QString SaveFilter =
    QStringLiteral("Textdateien (*.txt)|*.txt|Wordpad Dateien (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*");
inline QString CharacterCount(qint64 count) { return QString::number(count) + QStringLiteral(" Zeichen."); }

// The speaking routine's messages belong to it.
inline const QString PauseHint = SpeechTexts::pauseHint();

// Survey
inline const QString SurveyCaption = QStringLiteral("Umfrage");
inline const QString SurveyLine1 =
    QStringLiteral("Würden Sie sich einen Moment Zeit nehmen und uns helfen Quenora zu verbessern?");
inline const QString SurveyLine2 = QStringLiteral(
    "Unser Ziel ist es unsere Programme so benutzerfreundlich wie möglich zu gestalten, dass geht jedoch nur mit "
    "Ihrer Hilfe.");
inline const QString SurveyLine3 = QStringLiteral(
    "Würden Sie uns 2 Minuten Ihrer Zeit schenken und uns einige Fragen zu Quenora beantworten? Unsere Umfrage "
    "ist völlig anonym und selbstverständlich freiwillig.");
inline const QString SurveyLine4 =
    QStringLiteral("Als Dankeschön erhalten Sie von uns einen 5 Euro Gutschein für unsere Programme!");
inline const QString SurveyYes = QStringLiteral("Ja");
inline const QString SurveyNo = QStringLiteral("Nein");
inline const QString SurveyLater = QStringLiteral("Später erinnern");

// Menus: the captions with their access keys.
inline const QString MenuFile = QStringLiteral("&Datei");
inline const QString MenuNew = QStringLiteral("&Neu");
inline const QString MenuOpen = QStringLiteral("&Öffnen");
inline const QString MenuSave = QStringLiteral("&Speichern");
inline const QString MenuSaveAs = QStringLiteral("Speichern &unter");
inline const QString MenuExport = QStringLiteral("&Exportieren");
inline const QString MenuExit = QStringLiteral("&Beenden");
inline const QString MenuEdit = QStringLiteral("&Bearbeiten");
inline const QString MenuCut = QStringLiteral("&Ausschneiden");
inline const QString MenuCopy = QStringLiteral("&Kopieren");
inline const QString MenuPaste = QStringLiteral("&Einfügen");
inline const QString MenuDelete = QStringLiteral("&Löschen");
inline const QString MenuAction = QStringLiteral("&Aktion");
inline const QString MenuSpeak = QStringLiteral("&Sprechen");
inline const QString MenuStop = QStringLiteral("Sto&p");
inline const QString MenuPause = QStringLiteral("P&ause");
inline const QString MenuReadFromCursor = QStringLiteral("Text ab &Cursorposition lesen");
inline const QString MenuView = QStringLiteral("A&nsicht");
inline const QString MenuTextmode = QStringLiteral("&Textmodus");
inline const QString MenuInteractive = QStringLiteral("&Interaktivmodus");
inline const QString MenuExtras = QStringLiteral("E&xtras");
inline const QString MenuSettings = QStringLiteral("&Einstellungen");
inline const QString MenuExtensions = QStringLiteral("Erweiterungen &verwalten");
inline const QString MenuHelp = QStringLiteral("&?");
inline const QString MenuShowHelp = QStringLiteral("&Hilfe");
inline const QString MenuMoreVoices = QStringLiteral("Weitere &Stimmen herunterladen");
inline const QString MenuReportError = QStringLiteral("Fehler b&erichten");
inline const QString MenuMoreInfo = QStringLiteral("Weitere &Informationen");
inline const QString MenuUpdates = QStringLiteral("&Aktualisierungen suchen");
inline const QString MenuAbout = QStringLiteral("&Über Quenora");

// Toolbar: caption and tooltip of each button.
inline const QString ToolNew = QStringLiteral("Neu");
inline const QString ToolNewTip = QStringLiteral("Neu");
inline const QString ToolOpen = QStringLiteral("Öffnen");
inline const QString ToolOpenTip = QStringLiteral("Öffnen");
inline const QString ToolSave = QStringLiteral("Speichern");
inline const QString ToolSaveTip = QStringLiteral("Speichern");
inline const QString ToolSpeak = QStringLiteral("Sprechen");
inline const QString ToolSpeakTip = QStringLiteral("Text vorlesen");
inline const QString ToolStop = QStringLiteral("Stop");
inline const QString ToolStopTip = QStringLiteral("Sprachausgabe stoppen");
inline const QString ToolPause = QStringLiteral("Pause");
inline const QString ToolPauseTip = QStringLiteral("Sprachausgabe pausieren");
inline const QString ToolExport = QStringLiteral("Exportieren");
inline const QString ToolExportTip = QStringLiteral("Text als *.wav Datei abspeichern");

// Task pane
inline const QString TaskSpeakText = QStringLiteral("Text vorlesen");
inline const QString TaskSaveText = QStringLiteral("Text abspeichern");
inline const QString TaskVoiceText = QStringLiteral("Stimme wählen");
inline const QString TaskVolumeText = QStringLiteral("Lautstärke ändern");
inline const QString TaskSpeedText = QStringLiteral("Geschwindigkeit ändern");
inline const QString TaskPitchText = QStringLiteral("Helligkeit ändern");
inline const QString TaskScriptEditorText = QStringLiteral("Taskscript erstellen");
inline const QString TaskSeparatorText = QStringLiteral("----------");
inline const QString TaskGroupTasks = QStringLiteral("Tasks");

} // namespace WindowTexts

// The maker's web pages. The addresses are placeholders under one example
// domain until the real ones exist; nothing else in the program names them.
namespace WebAddresses {
inline const QString Base = QStringLiteral("https://www.example.com/quenora");
inline QString MoreVoices() { return Base + QStringLiteral("/getmorevoices/"); }
inline QString ReportError(const QString &version)
{
    return Base + QStringLiteral("/submit_bug/?program=Quenora%20") + version;
}
inline QString Survey(const QString &version) { return Base + QStringLiteral("/survey/?version=") + version; }
} // namespace WebAddresses

// Browser view, error page and about dialog
namespace WindowTexts {

inline QString PageMissing(const QString &address)
{
    return QStringLiteral("<html><body style=\"font-family: sans-serif; margin: 24px;\">"
                          "<h2 style=\"color: #1d3d6e;\">Diese Seite kann nicht angezeigt werden</h2>"
                          "<p>Die Seite <b>%1</b> wurde nicht gefunden oder kann nicht gelesen werden.</p>"
                          "<p>Über das Menü <i>Ansicht &gt; Textmodus</i> kehren Sie zu Ihrem Text zurück.</p>"
                          "</body></html>")
        .arg(address.toHtmlEscaped());
}

// The extra text of the error page: number, description, or the note that
// there is no description.
inline const QString ErrorPageNumber = QStringLiteral("<p><p>Fehlernummer: ");
inline const QString ErrorPageDescription = QStringLiteral("<br>Fehlerbeschreibung: ");
inline const QString ErrorPageNoNumber = QStringLiteral("(keine Fehlernummer!)");

inline const QString AboutCaption = QStringLiteral("Über Quenora");
inline const QString AboutSubtitle = QStringLiteral("Der Vorleser für Ihre Texte");
inline const QString AboutReleaseDate = QStringLiteral("Erscheinungsdatum: 6. Dezember 2005");
inline const QString AboutClickHint = QStringLiteral("Klicken Sie auf den Dialog um zum Programm zurückzukehren.");
inline const QString AboutMaker = QStringLiteral("Herausgeber: das Quenora-Projekt");
inline const QString AboutAuthor = QStringLiteral("Programmierung und Gestaltung: das Quenora-Entwicklerteam");
inline const QString AboutLegal = QStringLiteral(
    "Quenora ist freie Software unter der GNU General Public License, Version 3 oder "
    "jede spätere Version (GPL-3.0-or-later), und wird ohne jede Gewährleistung bereitgestellt.");

} // namespace WindowTexts
