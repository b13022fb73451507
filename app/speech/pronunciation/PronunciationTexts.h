#pragma once
// The German texts of the pronunciation dictionaries: file problems, broken
// lines, entries that cannot be used, and the dialog's captions.

#include <QString>

namespace PronunciationTexts {

inline QString lineProblem(int line, const QString &reason)
{
    return QStringLiteral("Zeile %1: %2").arg(line).arg(reason);
}
inline const QString NoTab = QStringLiteral("Geschriebene und gesprochene Form müssen durch einen Tabulator getrennt sein.");
inline const QString TooManyFields = QStringLiteral("Mehr als drei durch Tabulatoren getrennte Felder.");
inline const QString EmptyWritten = QStringLiteral("Die geschriebene Form ist leer.");
inline const QString NotUtf8 = QStringLiteral("Die Zeile ist kein gültiger UTF-8-Text.");
inline QString unknownFlag(QChar flag)
{
    return QStringLiteral("Unbekannte Option „%1“ (erlaubt sind w, c, r und -).").arg(flag);
}

inline QString tooLarge(int megabytes)
{
    return QStringLiteral("Die Wörterbuchdatei ist größer als %1 MB.").arg(megabytes);
}
inline QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Das Wörterbuch „%1“ kann nicht gelesen werden: %2").arg(path, reason);
}
inline const QString Unreadable = QStringLiteral("Die Datei kann nicht gelesen werden.");

inline QString invalidRegex(const QString &detail)
{
    return QStringLiteral("Ungültiger regulärer Ausdruck: %1").arg(detail);
}
inline QString unsupportedRegex(const QString &detail)
{
    return QStringLiteral("Dieser reguläre Ausdruck wird nicht unterstützt: %1").arg(detail);
}
inline const QString RegexMatchesEmpty = QStringLiteral("Der reguläre Ausdruck passt auf leeren Text.");
inline const QString RegexTooCostly = QStringLiteral(
    "Der reguläre Ausdruck braucht zu viele Schritte und wird beim Sprechen übersprungen.");
inline QString entryProblem(const QString &origin, int line, const QString &written, const QString &reason)
{
    return QStringLiteral("%1, Zeile %2 („%3“): %4").arg(origin).arg(line).arg(written, reason);
}

// The dialog "Aussprache-Wörterbuch".
inline const QString DialogTitle = QStringLiteral("Aussprache-Wörterbuch");
inline const QString MenuEntry = QStringLiteral("&Aussprache-Wörterbuch …");
inline const QString Dictionaries = QStringLiteral("&Wörterbücher (in dieser Reihenfolge angewandt):");
inline const QString Entries = QStringLiteral("&Einträge des gewählten Wörterbuchs:");
inline const QString Search = QStringLiteral("&Suchen:");
inline const QString New = QStringLiteral("&Neu …");
inline const QString Import = QStringLiteral("&Importieren …");
inline const QString Export = QStringLiteral("E&xportieren …");
inline const QString Remove = QStringLiteral("Ent&fernen");
inline const QString Up = QStringLiteral("Nach &oben");
inline const QString Down = QStringLiteral("Nach &unten");
inline const QString AddEntry = QStringLiteral("Eintrag &hinzufügen");
inline const QString DeleteEntry = QStringLiteral("Eintrag &löschen");
inline const QString Listen = QStringLiteral("Probehören");
inline const QString Close = QStringLiteral("Schließen");
inline const QString ColumnWritten = QStringLiteral("Geschrieben");
inline const QString ColumnSpoken = QStringLiteral("Gesprochen");
inline const QString ColumnWholeWord = QStringLiteral("Ganzes Wort");
inline const QString ColumnCase = QStringLiteral("Groß/klein");
inline const QString ColumnRegex = QStringLiteral("Regulärer Ausdruck");
inline const QString ColumnProblem = QStringLiteral("Hinweis");
inline const QString Shipped = QStringLiteral("mitgeliefert");
inline const QString ShippedReadOnly = QStringLiteral(
    "Mitgelieferte Wörterbücher können nicht bearbeitet werden. Exportieren Sie es und importieren Sie die Kopie, "
    "um es zu ändern.");
inline const QString NewName = QStringLiteral("Name des neuen Wörterbuchs:");
inline const QString BadName = QStringLiteral("Der Name darf nicht leer sein, keinen Schrägstrich enthalten und nicht mit einem Punkt beginnen.");
inline const QString NoUserFolder = QStringLiteral("Der Ordner für eigene Wörterbücher kann nicht angelegt werden.");
inline const QString SettingNotStored = QStringLiteral("Die Liste der Wörterbücher konnte nicht gespeichert werden.");
inline QString nameTaken(const QString &name)
{
    return QStringLiteral("Ein Wörterbuch „%1“ gibt es schon.").arg(name);
}
inline QString importedWithout(const QStringList &lines)
{
    return QStringLiteral("Importiert, ohne diese fehlerhaften Zeilen:\n%1").arg(lines.join(QLatin1Char('\n')));
}
inline QString notSaved(const QString &reason)
{
    return QStringLiteral("Das Wörterbuch wurde nicht gespeichert: %1").arg(reason);
}
inline const QString FileFilter = QStringLiteral("Aussprache-Wörterbücher (*.txt)|*.txt|Alle Dateien|*");
inline const QString ImportTitle = QStringLiteral("Wörterbuch importieren");
inline const QString ExportTitle = QStringLiteral("Wörterbuch exportieren");
inline const QString TitleError = QStringLiteral("Fehler");
inline const QString TitleNotice = QStringLiteral("Hinweis");
inline QString brokenLinesNotice(const QStringList &lines)
{
    return QStringLiteral("Nicht geladen: %1").arg(lines.join(QStringLiteral("; ")));
}

} // namespace PronunciationTexts
