#pragma once
// Every text of the script editor and the command builder that a user reads.

#include <QString>

namespace EditorTexts {

// Command builder
inline const QString BuilderCaption = QStringLiteral("Task hinzufügen");
inline const QString BuilderIntro = QStringLiteral("Hier können Sie Ihrem Taskscript Befehle hinzufügen.");
inline const QString LabelCommand = QStringLiteral("Befehl:");
inline const QString LabelParameter1 = QStringLiteral("Parameter 1:");
inline const QString LabelParameter2 = QStringLiteral("Parameter 2:");
inline const QString NotNeeded = QStringLiteral("(nicht benötigt)");
inline const QString FrameInfo = QStringLiteral("Befehlsinfo");
inline const QString ButtonAdd = QStringLiteral("&Hinzufügen");
inline const QString ButtonDone = QStringLiteral("&Fertig");
inline const QString TitleError = QStringLiteral("Fehler");
// The parameter pattern beside the command word, by the number of fields.
inline const QString PatternNone = QStringLiteral("();");
inline QString PatternOne(const QString &type)
{
    return QStringLiteral("(") + type + QStringLiteral(" als Parameter);");
}
inline QString PatternTwo(const QString &type)
{
    return QStringLiteral("(") + type + QStringLiteral(" als Parameter,") + type
        + QStringLiteral(" als zweiter Parameter);");
}
inline const QString ParameterParenthesis = QStringLiteral(
    "Ein Parameter darf keine öffnende Klammer \"(\" enthalten: Beim Ausführen endet der Befehl an dieser "
    "Stelle.");
inline const QString ParameterEnd = QStringLiteral(
    "Ein Parameter darf nicht \");\" enthalten: Beim Ausführen wird diese Zeichenfolge entfernt.");
inline const QString ParameterBackslash = QStringLiteral(
    "Der erste Parameter darf nicht mit \"\\\" enden: Beim Ausführen würden sonst beide Parameter zu einem.");
inline QString WrongType(const QString &word, const QString &type)
{
    return QStringLiteral("Skriptfehler:\r\n\r\nDer Befehl ") + word
        + QStringLiteral("(); erwartet als Parameter folgenden Typ: ") + type;
}

// Script editor
inline const QString EditorCaption = QStringLiteral("Taskscript Editor");
inline const QString LabelName = QStringLiteral("Name:");
// What a screen reader calls the script's text area.
inline const QString ScriptTextName = QStringLiteral("Taskscript");
inline const QString DefaultName = QStringLiteral("Neues Taskscript");
inline const QString ButtonOpen = QStringLiteral("Taskscript öffnen");
inline const QString ButtonAddTask = QStringLiteral("Task hinzufügen");
inline const QString ButtonSave = QStringLiteral("Taskscript speichern");
inline const QString ButtonRun = QStringLiteral("Ausführen");
inline const QString OpenFilter = QStringLiteral("Voice Taskscripts (*.vts)|*.vts");
inline const QString OpenTitle = QStringLiteral("Taskscript öffnen");
inline const QString TitleSave = QStringLiteral("Taskscript speichern");
inline const QString TitleOpen = QStringLiteral("Taskscript öffnen");

inline const QString NameEmpty =
    QStringLiteral("Bitte geben Sie dem Taskscript einen Namen, bevor Sie es speichern.");
inline const QString NameInvalid = QStringLiteral(
    "Der Name des Taskscripts darf keinen Schrägstrich (/) enthalten und nicht mit einem Punkt beginnen.");
inline QString AskOverwrite(const QString &name)
{
    return QStringLiteral("Es gibt bereits ein Taskscript namens '%1'. Möchten Sie es ersetzen?").arg(name);
}
inline QString SaveFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Taskscript konnte nicht unter '%1' gespeichert werden: %2\r\n\r\n"
                          "Ihr Text bleibt im Editor erhalten.")
        .arg(path, reason);
}
inline const QString FolderMissing = QStringLiteral("Der Ordner der Taskscripts fehlt und kann nicht angelegt werden.");
inline const QString ReasonUnknown = QStringLiteral("unbekannter Fehler");
inline QString OpenFailed(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Taskscript '%1' kann nicht geöffnet werden: %2").arg(path, reason);
}
inline const QString HintUnknownCommand = QStringLiteral(
    "Unbekannter Befehl: Diese Zeile wird beim Ausführen übergangen. Groß- und Kleinschreibung zählen, und vor dem "
    "Befehl sind nur Leerzeichen erlaubt, keine Tabulatoren.");
inline const QString HintSkipped =
    QStringLiteral("Diese Zeile ist kein Befehl (Kommentar oder ohne Klammer) und wird beim Ausführen übergangen.");
inline const QString NotReadable = QStringLiteral("Die Datei kann nicht gelesen werden.");
inline const QString TooLarge = QStringLiteral("Die Datei ist zu groß.");

} // namespace EditorTexts
