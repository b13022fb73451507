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

// The dialog "Als Hörbuch exportieren".
inline const QString MenuEntry = QStringLiteral("Als &Hörbuch exportieren …");
inline const QString DialogTitle = QStringLiteral("Als Hörbuch exportieren");
inline const QString LevelLabel = QStringLiteral("Kapitel &beginnen bei:");
inline QString headingLevel(int level)
{
    return QStringLiteral("Überschrift %1").arg(level);
}
inline const QString RuleLabel = QStringLiteral("Kapitel beginnen bei Zei&len wie:");
inline const QString RuleName = QStringLiteral("Muster für Kapitelanfänge");
inline const QString NoStructure =
    QStringLiteral("Das Dokument hat keine Überschriften und wird ein einziges Kapitel.");
inline const QString NoStructureRule = QStringLiteral(
    "Das Dokument hat keine Überschriften. Ein Muster kann Zeilen als Kapitelanfänge bestimmen; ohne passende "
    "Zeile wird das Dokument ein einziges Kapitel.");
inline const QString ChaptersLabel = QStringLiteral("&Kapitel:");
inline const QString ChaptersName = QStringLiteral("Kapitel");
inline const QString ColumnTitle = QStringLiteral("Titel");
inline const QString ColumnWords = QStringLiteral("Wörter");
inline const QString ColumnDuration = QStringLiteral("Dauer (geschätzt)");
inline const QString Untitled = QStringLiteral("(ohne Titel)");
// "1:05" (minutes and seconds) or "1:02:05" with hours.
inline QString duration(qint64 seconds)
{
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}
inline QString chaptersSummary(int selected, int total, int words, qint64 seconds)
{
    return QStringLiteral("%1 von %2 Kapiteln ausgewählt, %3 Wörter, etwa %4 gesprochen")
        .arg(selected)
        .arg(total)
        .arg(words)
        .arg(duration(seconds));
}
inline const QString BookTitleLabel = QStringLiteral("Buch&titel:");
inline const QString AuthorLabel = QStringLiteral("&Autor:");
inline const QString LayoutLabel = QStringLiteral("Aufte&ilung:");
inline const QString LayoutFiles = QStringLiteral("Eine Datei je Kapitel, mit Wiedergabeliste");
inline const QString LayoutOne = QStringLiteral("Eine Datei mit Kapitelmarken");
inline const QString FormatLabel = QStringLiteral("&Format:");
inline const QString SubtitlesLabel = QStringLiteral("&Untertitel:");
inline const QString SubtitlesNone = QStringLiteral("Keine");
inline const QString Normalize = QStringLiteral("Lautstärke an&gleichen (−18 LUFS)");
inline const QString SilenceBeforeLabel = QStringLiteral("Pause &vor jedem Kapitel:");
inline const QString SilenceAfterLabel = QStringLiteral("Pause &nach jedem Kapitel:");
inline const QString ParagraphPauseLabel = QStringLiteral("Pause zwischen Ab&sätzen:");
inline const QString Seconds = QStringLiteral(" s");
inline const QString TargetFolderLabel = QStringLiteral("&Zielordner:");
inline const QString TargetFileLabel = QStringLiteral("&Zieldatei:");
inline const QString Browse = QStringLiteral("&Durchsuchen …");
inline const QString ChooseFolder = QStringLiteral("Ordner für das Hörbuch wählen");
inline const QString ChooseFile = QStringLiteral("Hörbuch speichern unter");
inline QString fileFilter(const QString &format, const QString &suffix)
{
    return QStringLiteral("%1|*.%2").arg(format, suffix);
}
inline const QString Export = QStringLiteral("&Exportieren");
inline const QString Cancel = QStringLiteral("Abbrechen");

inline const QString NoChapterSelected = QStringLiteral("Es ist kein Kapitel zum Exportieren ausgewählt.");
inline const QString NoTarget = QStringLiteral("Bitte wählen Sie, wohin das Hörbuch geschrieben wird.");
inline const QString MessageTitle = QStringLiteral("Hörbuch");

inline const QString ProgressTitle = QStringLiteral("Hörbuch wird exportiert");
inline const QString ProgressStart = QStringLiteral("Das Hörbuch wird vorbereitet …");
inline QString timeLeft(qint64 ms)
{
    if (ms < 0)
        return {};
    const qint64 minutes = (ms + 59999) / 60000;
    if (ms < 60000)
        return QStringLiteral("noch weniger als eine Minute");
    if (minutes < 60)
        return QStringLiteral("noch etwa %1 Minuten").arg(minutes);
    return QStringLiteral("noch etwa %1 Std. %2 Min.").arg(minutes / 60).arg(minutes % 60);
}
inline QString progressChapter(int number, int total, const QString &title, qint64 msLeft)
{
    QString text = QStringLiteral("Kapitel %1 von %2: „%3“").arg(number).arg(total).arg(title);
    if (msLeft >= 0)
        text += QStringLiteral("\n") + timeLeft(msLeft);
    return text;
}
inline QString progressEncoding(qint64 msLeft)
{
    QString text = QStringLiteral("Die Dateien werden geschrieben …");
    if (msLeft >= 0)
        text += QStringLiteral("\n") + timeLeft(msLeft);
    return text;
}

inline QString written(const QString &where)
{
    return QStringLiteral("Das Hörbuch ist fertig. Geschrieben in „%1“:").arg(where);
}
inline QString notWritten(const QString &reason)
{
    return QStringLiteral("Das Hörbuch wurde nicht fertig: %1").arg(reason);
}
inline const QString KeptFiles = QStringLiteral("Fertig und behalten:");
inline const QString NothingKept = QStringLiteral("Keine Datei wurde fertig; es ist nichts zurückgeblieben.");
inline QString moreFiles(int count)
{
    return QStringLiteral("… und %1 weitere").arg(count);
}

} // namespace AudiobookTexts
