#pragma once
// The numbered file errors every message of Quenora shows beside its
// description ("... : Datenträger voll (61)"): one table for the documents,
// the export and whatever else reads or writes a user's file.

#include <QLocale>
#include <QString>

#include <cerrno>

#include <sys/stat.h>

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

// The error number of a failed system call on a user's file; fallback for
// the causes the table has no number of its own for.
inline int numberForErrno(int error, int fallback)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return kPermissionDenied;
    case ENOENT:
    case ENOTDIR:
        return kPathNotFound;
    case EIO:
        return kDeviceIoError;
    case ENOMEM:
        return kOutOfMemory;
    default:
        return fallback;
    }
}

// Why a path that exists cannot be read or written as a file: it is a folder
// or a special file (device, pipe, socket). Empty for a regular file. Shown
// with kPathFileAccessError.
inline QString notRegularFile(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("Der Pfad ist ein Ordner, keine Datei");
    if (S_ISFIFO(mode))
        return QStringLiteral("Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("Der Pfad ist ein Gerät, keine gewöhnliche Datei");
    if (S_ISSOCK(mode))
        return QStringLiteral("Der Pfad ist ein Socket, keine gewöhnliche Datei");
    return QStringLiteral("Der Pfad ist keine gewöhnliche Datei");
}

// The free space a write keeps on its volume (DiskReserve) was reached.
inline QString reserveReached(qint64 reserveBytes)
{
    constexpr qint64 GiB = qint64(1) << 30;
    const QString amount = reserveBytes < GiB
        ? QStringLiteral("%1 MB").arg(reserveBytes >> 20)
        : QStringLiteral("%1 GB").arg(QLocale(QLocale::German).toString(double(reserveBytes) / double(GiB), 'f', 1));
    return QStringLiteral("Auf dem Datenträger müssen %1 frei bleiben").arg(amount);
}

// A path that contains a NUL character, which no file name can.
// A file too large to be read at once.
inline QString tooLarge(qint64 megabytes)
{
    return QStringLiteral("Die Datei ist größer als %1 MB und wird nicht gelesen").arg(megabytes);
}

inline QString pathWithNul()
{
    return QStringLiteral("Der Pfad enthält ein Nullzeichen");
}

} // namespace FileErrors
