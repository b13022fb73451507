#pragma once
// Every text of the speech subsystem that a user can read, in one place.

#include "FileErrors.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>

namespace SpeechTexts {

// The speaking routine's own messages.
inline QString speechFinished() { return QStringLiteral("Der Text wurde vollständig vorgelesen."); }
// Why a text was not spoken: a stored voice setting the engine cannot take.
inline QString settingNotANumber(const QString &name, const QString &value)
{
    return QStringLiteral("Es wird nichts vorgelesen: Die Einstellung \u201E%1\u201C ist keine ganze Zahl (%2).")
        .arg(name, value);
}
inline QString voiceRejected(int position)
{
    return QStringLiteral("Es wird nichts vorgelesen: Die Stimme Nummer %1 gibt es nicht.").arg(position);
}
inline QString settingsOverflow()
{
    return QStringLiteral("Es wird nichts vorgelesen: Die gespeicherten Werte für Tonhöhe, Geschwindigkeit oder "
                          "Lautstärke sind zu groß.");
}
inline QString pauseHint()
{
    return QStringLiteral(
        "Bitte setzen Sie die Sprachausgabe fort, indem Sie Pause (F7) noch einmal wählen. „Sprechen“ (F5) "
        "liest den Text wieder vom Anfang an vor!");
}
inline QString nothingToRead() { return QStringLiteral("Das Dokument enthält keinen Text zum Vorlesen."); }
inline QString titleHint() { return QStringLiteral("Hinweis"); }
inline QString titleError() { return QStringLiteral("Fehler"); }

inline QString genderWord(int gender)
{
    return gender == 1 ? QStringLiteral("männlich") : QStringLiteral("weiblich");
}

inline QString modeName(const QString &language, int gender)
{
    return QStringLiteral("%1 (%2)").arg(language, genderWord(gender));
}

// Printed once on stderr when sound goes to the silent output, and shown in
// the window when a sound device is missing or failed.
inline QString noAudioDevice(const QString &reason)
{
    return QStringLiteral("Keine Tonausgabe möglich (%1); die Sprachausgabe läuft stumm weiter.")
        .arg(reason);
}
inline QString reasonNoDevice() { return QStringLiteral("kein Audiogerät gefunden"); }
inline QString reasonFormat() { return QStringLiteral("das Audiogerät kann das Format nicht abspielen"); }
inline QString reasonStartFailed() { return QStringLiteral("das Audiogerät lässt sich nicht öffnen"); }
inline QString reasonDeviceFailed() { return QStringLiteral("das Audiogerät ist ausgefallen"); }
inline QString reasonForced() { return QStringLiteral("QUENORA_AUDIO=null"); }

// quenora-speak
inline QString usage()
{
    return QStringLiteral(
        "Aufruf: quenora-speak [--voice N] [--speed P] [--pitch P] [--volume P] [--wav DATEI]\n"
        "                      [--list-voices] [--dry-run] [--no-filters]\n"
        "                      [--dictionary DATEI ... | --no-dictionary] [--file DOKUMENT | TEXT | -]\n"
        "\n"
        "Liest TEXT (oder bei - bzw. ohne TEXT die Standardeingabe) mit den gespeicherten\n"
        "Spracheinstellungen vor, samt Präfix und Suffix, nach den aktiven Textfiltern der\n"
        "Erweiterungen und mit den aktiven Aussprache-Wörterbüchern.\n"
        "\n"
        "  --voice N       Stimme an Position N der Stimmenliste (ab 0)\n"
        "  --speed P       Geschwindigkeit in Prozent (0 bis 100)\n"
        "  --pitch P       Tonhöhe in Prozent (0 bis 100)\n"
        "  --volume P      Lautstärke in Prozent (0 bis 100)\n"
        "  --wav DATEI     in eine Audiodatei aufnehmen statt abzuspielen; die Endung wählt\n"
        "                  das Format: .wav, .flac, .ogg, .opus oder .mp3\n"
        "  --out DATEI     wie --wav (mit --chapters: ein Hörbuch, siehe unten)\n"
        "  --file DOKUMENT ein Dokument vorlesen, wie der Editor es zeigt: Text, RTF, PDF,\n"
        "                  EPUB, ODT, DOCX, HTML oder Markdown\n"
        "  --list-voices   die Stimmen auflisten: Position, Modus, Name, Sprach-ID, Geschlecht\n"
        "  --dry-run       nur den Text ausgeben, der gesprochen würde (nach den Wörterbüchern)\n"
        "  --dictionary DATEI  dieses Aussprache-Wörterbuch statt der aktiven verwenden\n"
        "                  (mehrfach möglich, in dieser Reihenfolge)\n"
        "  --no-dictionary kein Aussprache-Wörterbuch verwenden\n"
        "  --no-filters    den Text an keinem Textfilter der Erweiterungen vorbeiführen\n"
        "  --help          diese Hilfe\n");
}
inline QString dictionaryAndNone()
{
    return QStringLiteral("--dictionary und --no-dictionary schließen einander aus.");
}
inline QString unknownOption(const QString &option)
{
    return QStringLiteral("Unbekannte Option: %1").arg(option);
}
inline QString missingValue(const QString &option)
{
    return QStringLiteral("Die Option %1 braucht einen Wert.").arg(option);
}
inline QString invalidPercent(const QString &option, const QString &value)
{
    return QStringLiteral("Ungültiger Wert für %1: \"%2\" (erlaubt ist eine ganze Zahl von 0 bis 100).")
        .arg(option, value);
}
inline QString invalidStoredValue(const QString &key, const QString &value)
{
    return QStringLiteral("Der gespeicherte Wert \"%2\" für %1 ist keine ganze Zahl.").arg(key, value);
}
inline QString voiceOutOfRange(const QString &value, int count)
{
    return QStringLiteral("Die Stimme %1 gibt es nicht (erlaubt sind 0 bis %2).").arg(value).arg(count - 1);
}
inline QString noVoices()
{
    return QStringLiteral("Es ist keine Stimme installiert (espeak-ng-data fehlt?).");
}
inline QString receiverRefused()
{
    return QStringLiteral("Die Sprachausgabe wurde nicht mehr angenommen und abgebrochen.");
}
inline QString fileAndText()
{
    return QStringLiteral("Bitte entweder --file DOKUMENT oder einen TEXT angeben, nicht beides.");
}
inline QString unreadableInput()
{
    return QStringLiteral("Die Standardeingabe lässt sich nicht lesen.");
}
inline QString unwritableWav(const QString &path, const QString &reason)
{
    return QStringLiteral("Die Audiodatei \"%1\" lässt sich nicht schreiben: %2").arg(path, reason);
}
inline QString inputTooLarge(qint64 limitBytes)
{
    return QStringLiteral("Die Standardeingabe ist größer als %1 MB und wird nicht gelesen.")
        .arg(limitBytes / (1024 * 1024));
}
inline QString storedValueOutOfRange(const QString &key, const QString &value)
{
    return QStringLiteral("Der gespeicherte Wert \"%2\" für %1 liegt außerhalb des Bereichs.").arg(key, value);
}
// The recorder kept free space for everything else on the disk; short
// enough for the status bar.
inline QString recordingStoppedForSpace(qint64 reserveBytes)
{
    return QStringLiteral("Aufnahme angehalten: ") + FileErrors::reserveReached(reserveBytes) + QLatin1Char('.');
}
inline QString recordingFailed(const QString &path, const QString &reason = QString())
{
    if (reason.isEmpty())
        return QStringLiteral("Die Aufnahme nach \"%1\" ist fehlgeschlagen.").arg(path);
    return QStringLiteral("Die Aufnahme nach \"%1\" ist fehlgeschlagen: %2.").arg(path, reason);
}
inline QString valueOutOfRange()
{
    return QStringLiteral("Die Einstellungen ergeben einen Wert außerhalb des Zahlenbereichs.");
}

} // namespace SpeechTexts
