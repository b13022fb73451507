#pragma once
// The numbered file errors every message of Quenora shows beside its
// description ("... : Datenträger voll (61)"): one table for the documents,
// the export and whatever else reads or writes a user's file.

#include <QString>

namespace FileErrors {

inline constexpr int kOutOfMemory = 7;
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
    case kOutOfMemory: return QStringLiteral("Nicht genügend Speicher");
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

} // namespace FileErrors
