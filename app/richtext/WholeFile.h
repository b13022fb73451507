#pragma once
// WholeFile: the small whole-file routines the program uses wherever a file
// is read or written at once (the error page, plain-text saving, the script
// commands Laden, Speichern and Löschen). Reading decodes through the Ansi
// codec; writing goes through ReplacingFile, so a failed write leaves the old
// file whole. No widgets: usable by any subsystem without the window.

#include <QString>

namespace WholeFile {

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

// 0 when written; else an error number (the file keeps its old content) and,
// when asked for, its German description.
int WriteWholeFile(const QString &path, const QString &data, QString *description = nullptr);

} // namespace WholeFile
