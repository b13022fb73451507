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

// A chapter spoken in a worker process, kept until it is written.
inline QString chapterSpoolDamaged(const QString &reason)
{
    return QStringLiteral("Die Zwischendatei eines Kapitels ist beschädigt: %1").arg(reason);
}
inline QString spoolTruncated()
{
    return QStringLiteral("sie endet vorzeitig.");
}
inline QString spoolNotASpool()
{
    return QStringLiteral("sie ist keine Zwischendatei dieses Programms.");
}
inline QString spoolOtherRate(int rate, int expected)
{
    return QStringLiteral("sie hat %1 Hz statt %2 Hz.").arg(rate).arg(expected);
}
inline QString spoolBadRecord(qint64 offset)
{
    return QStringLiteral("unlesbarer Eintrag bei Byte %1.").arg(offset);
}
inline QString spoolNotReadable(const QString &reason)
{
    return QStringLiteral("Die Zwischendatei eines Kapitels kann nicht gelesen werden: %1").arg(reason);
}

// A worker process of a parallel export.
inline QString workerNotStarted(const QString &program, const QString &reason)
{
    return QStringLiteral("Der Hilfsprozess „%1“ konnte nicht gestartet werden: %2").arg(program, reason);
}
inline QString workerCannotSpeak(const QString &reason)
{
    return QStringLiteral("Der Hilfsprozess kann nicht sprechen: %1").arg(reason);
}
inline QString workerEnded(int chapter, const QString &title)
{
    return QStringLiteral("Kapitel %1 „%2“: der Hilfsprozess hat sich unerwartet beendet.").arg(chapter).arg(title);
}
inline QString workerGarbage(int chapter, const QString &title)
{
    return QStringLiteral("Kapitel %1 „%2“: der Hilfsprozess antwortet unverständlich.").arg(chapter).arg(title);
}
inline QString workerFailed(int chapter, const QString &title, const QString &reason)
{
    return QStringLiteral("Kapitel %1 „%2“: %3").arg(chapter).arg(title, reason);
}
inline QString workersEnded()
{
    return QStringLiteral("Die Hilfsprozesse haben sich unerwartet beendet.");
}
inline QString workersDisagree()
{
    return QStringLiteral("Die Hilfsprozesse sprechen mit verschiedenen Abtastraten.");
}

inline QString workerInputNotUnderstood()
{
    return QStringLiteral("Der Hilfsprozess versteht seine Eingabe nicht.");
}
inline QString chapterNotSpoken()
{
    return QStringLiteral("Das Kapitel konnte nicht gesprochen werden.");
}

} // namespace AudiobookTexts
