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

} // namespace PronunciationTexts
