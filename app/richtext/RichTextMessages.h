#pragma once
// The user-visible texts of the document formats, in one place. Error
// numbers are the ones the program's messages show beside the description
// (the save error message reads "... : <description> (<number>)").

#include <QString>

namespace RichTextMessages {

inline constexpr int kOutOfMemory = 7;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIoError = 57;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;

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
    default: return QString();
    }
}

// A whole sentence for programs without the window (quenora-speak).
inline QString loadFailed(const QString &path, const QString &description)
{
    return QStringLiteral("Die Datei \u201E%1\u201C konnte nicht geladen werden: %2.").arg(path, description);
}

// A document that opens only with a password, where nobody can be asked.
inline QString passwordProtected()
{
    return QStringLiteral("Die Datei ist durch ein Kennwort geschützt");
}

} // namespace RichTextMessages
