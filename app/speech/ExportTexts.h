#pragma once
// Every text of the audio export that a user can read, in one place. The
// error numbers are the ones the program's other file messages show.

#include "FileErrors.h"

#include <QString>

namespace ExportTexts {

using FileErrors::description;
using FileErrors::kBadFileFormat;
using FileErrors::kDeviceIoError;
using FileErrors::kDiskFull;
using FileErrors::kFileNotFound;
using FileErrors::kPathFileAccessError;
using FileErrors::kPathNotFound;
using FileErrors::kPermissionDenied;

inline QString writerRefused(const QString &format)
{
    return QStringLiteral("Die Aufnahme kann nicht im Format %1 geschrieben werden").arg(format);
}

// The export of the main window
inline const QString TitleError = QStringLiteral("Fehler");
inline QString Exporting(const QString &recordingPath) { return QStringLiteral("Exportiere ") + recordingPath; }
inline QString ExportFinished(const QString &target) { return QStringLiteral("Export beendet: ") + target; }
inline const QString ExportCancelled = QStringLiteral("Export abgebrochen.");
inline const QString ExportFailedStatus = QStringLiteral("Export fehlgeschlagen.");
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
