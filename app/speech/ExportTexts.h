#pragma once
// Every text of the audio export that a user can read, in one place. The
// error numbers are the ones the program's other file messages show.

#include <QString>

namespace ExportTexts {

inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIoError = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kBadFileFormat = 321;

inline QString description(int errorNumber)
{
    switch (errorNumber) {
    case kFileNotFound: return QStringLiteral("Datei nicht gefunden");
    case kDeviceIoError: return QStringLiteral("Geräte-E/A-Fehler");
    case kDiskFull: return QStringLiteral("Datenträger voll");
    case kPermissionDenied: return QStringLiteral("Zugriff verweigert");
    case kPathFileAccessError: return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case kPathNotFound: return QStringLiteral("Pfad nicht gefunden");
    case kBadFileFormat: return QStringLiteral("Ungültiges Dateiformat");
    default: return QString();
    }
}

inline QString writerRefused(const QString &format)
{
    return QStringLiteral("Die Aufnahme kann nicht im Format %1 geschrieben werden").arg(format);
}

// The export of the main window
inline const QString TitleError = QStringLiteral("Fehler");
inline QString Exporting(const QString &recordingPath) { return QStringLiteral("Exportiere ") + recordingPath; }
inline const QString NothingSpoken = QStringLiteral(
    "Bitte lassen Sie sich den Text mindestens einmal vorlesen, bevor Sie diesen exportieren.");
inline QString ExportFailed(const QString &description) { return QStringLiteral("Fehler: ") + description; }
inline QString ExportFailedTitle(int number) { return QStringLiteral("Fehler ") + QString::number(number); }
inline const QString DialogTitle = QStringLiteral("Speichern unter");
inline const QString InitialFileName = QStringLiteral("Sprachausgabe.wav");
inline const QString WavFilter = QStringLiteral("Audio Dateien (*.wav)|*.wav");
inline const QString ProgressLabel = QStringLiteral("Exportiere …");
inline const QString ProgressTitle = QStringLiteral("Exportieren");
inline const QString ProgressCancel = QStringLiteral("Abbrechen");

} // namespace ExportTexts
