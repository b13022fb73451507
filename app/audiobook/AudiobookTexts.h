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

// quenora-speak's audiobook mode.
namespace Command {

inline QString usage()
{
    return QStringLiteral(
        "\n"
        "Hörbücher: quenora-speak --chapters [--out DATEI | --out-dir ORDNER [--one-file]]\n"
        "                      [--format m4b|mp3|opus] [--subtitles srt|vtt|lrc] [--normalize]\n"
        "                      [--jobs N] [--force] [--level N] [--chapter-rule MUSTER]\n"
        "                      [Stimmoptionen] DOKUMENT ...\n"
        "\n"
        "Spricht Dokumente Kapitel für Kapitel in Hörbuchdateien, mit Kapitelmarken und Tags.\n"
        "Die Kapitel kommen aus den Überschriften des Dokuments.\n"
        "\n"
        "  --chapters      Hörbuch-Modus (--out-dir schließt ihn ein)\n"
        "  --out DATEI     ein Dokument in eine Datei mit Kapitelmarken; die Endung wählt\n"
        "                  das Format: .m4b, .mp3, .opus oder .ogg\n"
        "  --out-dir ORDNER  eine Datei je Kapitel, „NN Titel.mp3“, und eine Wiedergabeliste\n"
        "                  (.m3u8); bei mehreren Dokumenten bekommt jedes einen Unterordner\n"
        "                  mit dem Namen seiner Datei ohne Endung\n"
        "  --one-file      mit --out-dir: je Dokument eine Datei mit Kapitelmarken, benannt\n"
        "                  nach der Datei des Dokuments (roman.epub wird roman.mp3)\n"
        "  --format F      m4b, mp3 (Voreinstellung) oder opus\n"
        "  --subtitles F   Untertitel neben jeder Audiodatei: srt, vtt oder lrc\n"
        "  --normalize     gleiche Lautheit für das ganze Buch (−18 LUFS)\n"
        "  --jobs N        so viele Kapitel zugleich sprechen (Voreinstellung: die Zahl der\n"
        "                  Prozessorkerne)\n"
        "  --force         auch Dokumente neu umwandeln, deren Hörbuch schon vollständig ist\n"
        "                  (sonst werden sie übersprungen)\n"
        "  --level N       Überschriften dieser Ebene (1 bis 6) beginnen Kapitel\n"
        "                  (Voreinstellung: die oberste Ebene im Dokument)\n"
        "  --chapter-rule MUSTER  Zeilen, auf die dieser reguläre Ausdruck passt, beginnen\n"
        "                  Kapitel, z. B. \"^(Kapitel|Teil) \"\n"
        "\n"
        "Namen aus Titeln werden für Dateisysteme bereinigt. Haben zwei Dokumente denselben\n"
        "Namen, bekommt das spätere „ (2)“ angehängt. Der Exit-Status ist 0, wenn jedes\n"
        "Dokument umgewandelt oder übersprungen wurde, sonst 1.\n");
}
inline QString chaptersWithoutTarget()
{
    return QStringLiteral("Für ein Hörbuch fehlt das Ziel: --out DATEI oder --out-dir ORDNER.");
}
inline QString outAndOutDir()
{
    return QStringLiteral("--out und --out-dir schließen einander aus.");
}
inline QString oneFileWithoutOutDir()
{
    return QStringLiteral("--one-file gilt nur mit --out-dir ORDNER.");
}
inline QString noDocuments()
{
    return QStringLiteral("Es ist kein Dokument angegeben.");
}
inline QString outWithSeveralDocuments()
{
    return QStringLiteral("--out DATEI nimmt nur ein Dokument. Für mehrere Dokumente: "
                          "--out-dir ORDNER --one-file (je Dokument eine Datei).");
}
inline QString unknownSuffix(const QString &file)
{
    return QStringLiteral("Die Endung von „%1“ ist kein Hörbuchformat: erlaubt sind .m4b, .mp3, .opus und .ogg.")
        .arg(file);
}
inline QString formatAndSuffix(const QString &format, const QString &file)
{
    return QStringLiteral("--format %1 passt nicht zur Endung von „%2“.").arg(format, file);
}
inline QString invalidFormat(const QString &value)
{
    return QStringLiteral("Unbekanntes Hörbuchformat „%1“: erlaubt sind m4b, mp3 und opus.").arg(value);
}
inline QString invalidSubtitles(const QString &value)
{
    return QStringLiteral("Unbekanntes Untertitelformat „%1“: erlaubt sind srt, vtt und lrc.").arg(value);
}
inline QString invalidJobs(const QString &value)
{
    return QStringLiteral("--jobs braucht eine ganze Zahl von 1 bis 1024, nicht „%1“.").arg(value);
}
inline QString invalidLevel(const QString &value)
{
    return QStringLiteral("--level braucht eine Überschriftenebene von 1 bis 6, nicht „%1“.").arg(value);
}
inline QString notForAudiobooks(const QString &option)
{
    return QStringLiteral("Die Option %1 gilt nicht für Hörbücher.").arg(option);
}
inline QString folderNotCreated(const QString &folder)
{
    return QStringLiteral("Der Ordner „%1“ konnte nicht angelegt werden.").arg(folder);
}
inline QString noText()
{
    return QStringLiteral("Das Dokument enthält keinen Text zum Vorlesen.");
}
inline QString stoppedBySignal(const QString &signal)
{
    return QStringLiteral("abgebrochen durch das Signal %1").arg(signal);
}
inline QString notStarted()
{
    return QStringLiteral("nicht begonnen, weil abgebrochen wurde");
}
inline QString skipped(const QString &document)
{
    return QStringLiteral("„%1“: übersprungen, das Hörbuch ist schon vollständig (--force wandelt neu um).")
        .arg(document);
}
inline QString unstructured(const QString &document)
{
    return QStringLiteral("„%1“ hat keine Überschriften und wird ein einziges Kapitel.").arg(document);
}
inline QString failed(const QString &document, const QString &reason)
{
    return QStringLiteral("„%1“: fehlgeschlagen: %2").arg(document, reason);
}
inline QString written(const QString &file)
{
    return QStringLiteral("geschrieben: %1").arg(file);
}
inline QString converted(const QString &document, int files)
{
    return files == 1 ? QStringLiteral("„%1“: umgewandelt, 1 Datei.").arg(document)
                      : QStringLiteral("„%1“: umgewandelt, %2 Dateien.").arg(document).arg(files);
}
// The progress line on a terminal.
inline QString progress(int document, int documents, const QString &name, int chapter, int chapters,
                        const QString &title, int percent)
{
    return QStringLiteral("[%1/%2] %3 – Kapitel %4/%5 %6 – %7 %")
        .arg(document)
        .arg(documents)
        .arg(name)
        .arg(chapter)
        .arg(chapters)
        .arg(title)
        .arg(percent);
}
inline QString progressEncoding(int document, int documents, const QString &name, int percent)
{
    return QStringLiteral("[%1/%2] %3 – Dateien werden geschrieben – %4 %")
        .arg(document)
        .arg(documents)
        .arg(name)
        .arg(percent);
}
inline QString timeLeft(const QString &time)
{
    return QStringLiteral(" – noch %1").arg(time);
}
inline QString summary(int converted, int skipped, int failed)
{
    return QStringLiteral("Hörbücher: %1 umgewandelt, %2 übersprungen, %3 fehlgeschlagen.")
        .arg(converted)
        .arg(skipped)
        .arg(failed);
}
inline QString failedLine(const QString &document, const QString &reason)
{
    return QStringLiteral("  „%1“: %2").arg(document, reason);
}

} // namespace Command

} // namespace AudiobookTexts
