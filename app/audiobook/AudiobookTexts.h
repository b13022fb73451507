#pragma once
// The German texts of the audiobook export.

#include <QString>

namespace AudiobookTexts {

inline QString folderMissing(const QString &folder)
{
    return QStringLiteral("Der Ordner „%1“ existiert nicht.").arg(folder);
}
inline QString folderNotWritable(const QString &folder)
{
    return QStringLiteral("In den Ordner „%1“ kann nicht geschrieben werden.").arg(folder);
}
inline QString encoderMissing(const QString &format, const QString &encoder)
{
    return QStringLiteral("Das Format %1 kann hier nicht geschrieben werden: der Encoder „%2“ fehlt.")
        .arg(format, encoder);
}
inline QString diskAlmostFull(const QString &folder)
{
    return QStringLiteral("Auf dem Datenträger von „%1“ ist zu wenig Platz frei.").arg(folder);
}
inline QString fileNotWritten(const QString &file, const QString &reason)
{
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2").arg(file, reason);
}
inline QString encoderFailed()
{
    return QStringLiteral("Der Encoder meldet einen Fehler.");
}
inline QString spoolFailed(const QString &reason)
{
    return QStringLiteral("Die Zwischendatei des Hörbuchs konnte nicht geschrieben werden: %1").arg(reason);
}
inline QString cancelled()
{
    return QStringLiteral("Der Export wurde abgebrochen.");
}
inline QString notOpen()
{
    return QStringLiteral("Der Hörbuch-Export ist nicht geöffnet.");
}
// The title of a chapter whose own title leaves nothing for a file name.
inline QString chapterFallback(int number)
{
    return QStringLiteral("Kapitel %1").arg(number);
}
inline QString bookFallback()
{
    return QStringLiteral("Hörbuch");
}

inline QString noChapterSelected()
{
    return QStringLiteral("Es ist kein Kapitel zum Exportieren ausgewählt.");
}
inline QString synthesisFailed(const QString &chapter)
{
    return QStringLiteral("Das Kapitel „%1“ konnte nicht gesprochen werden.").arg(chapter);
}

inline QString invalidChapterRule(const QString &reason)
{
    return QStringLiteral("Das Muster für Kapitelanfänge ist ungültig: %1").arg(reason);
}

} // namespace AudiobookTexts
