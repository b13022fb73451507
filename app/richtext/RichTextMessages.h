#pragma once
// The user-visible texts of the document formats, in one place. Error
// numbers are the ones the program's messages show beside the description
// (the save error message reads "... : <description> (<number>)").

#include "FileErrors.h"

#include <QString>

namespace RichTextMessages {

using FileErrors::description;
using FileErrors::kDeviceIoError;
using FileErrors::kDiskFull;
using FileErrors::kFileNotFound;
using FileErrors::kOutOfMemory;
using FileErrors::kPathFileAccessError;
using FileErrors::kPathNotFound;
using FileErrors::kPermissionDenied;

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
