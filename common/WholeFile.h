#pragma once
// WholeFile: a user's file read or written at once. Reading opens without
// waiting and refuses folders, devices and pipes with what they are, never
// reading them (reading one may never end); writing goes through
// ReplacingFile, so a failed write leaves the old file whole. Failures are
// the numbered errors of FileErrors. Used by the documents, the error page
// and the script commands Laden, Speichern and Löschen; Qt Core only.

#include <QByteArray>
#include <QString>

namespace WholeFile {

// Files larger than this are refused rather than exhausting memory.
inline constexpr qint64 kMaxFileSize = qint64(512) * 1024 * 1024;

struct Result {
    bool ok = false;
    // On failure: the error number and its German description
    // (53 "Datei nicht gefunden", 70 "Zugriff verweigert", ...).
    int errorNumber = 0;
    QString errorDescription;
};

// The bytes of a regular file up to kMaxFileSize, without opening a folder,
// device or pipe for more than a look at what it is.
Result readBytes(const QString &path, QByteArray *bytes);

// The bytes written in place of the file, complete or not at all.
Result writeBytes(const QString &path, const QByteArray &bytes);

// True when something exists under the name: a file, or a folder, device or
// pipe, which reading refuses with what it is. Told without opening it.
bool FileExists(const QString &path);

// Why something that exists under the name is not opened as a file (a
// folder, device, pipe or socket), told without opening it; empty for a
// regular file or nothing.
QString NotAFileReason(const QString &path);

// The whole file as text (UTF-8 when valid, else Windows-1252); empty when
// it cannot be read or is not a regular file.
QString ReadWholeFile(const QString &path);

// Writes the text as UTF-8. 0 when written; else an error number (the file
// keeps its old content) and, when asked for, its German description.
int WriteWholeFile(const QString &path, const QString &data, QString *description = nullptr);

} // namespace WholeFile
