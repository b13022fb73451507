#pragma once
// Ansi: the one place where Quenora turns bytes from files, the registry hive
// and .reg files into text and back.
//
// Quenora's files were historically written in the Windows "ANSI" code page
// (Windows-1252 for German). On Linux the system code page is UTF-8. Decoding
// therefore takes the bytes as UTF-8 when they are valid UTF-8 and falls back
// to Windows-1252 otherwise, so both old and new files read correctly;
// encoding always writes UTF-8. Used by every library that reads or writes
// text outside the program (registry, settings, documents, scripts).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Ansi {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). An empty array is valid.
bool isValidUtf8(QByteArrayView bytes);

// Bytes to text: UTF-8 when valid, else Windows-1252. A byte-order mark is
// kept as U+FEFF so callers can see that it was there.
QString decode(QByteArrayView bytes);

// Windows-1252 to text, byte by byte (the five undefined bytes map to the
// C1 control of the same value, as Windows does).
QString decodeWindows1252(QByteArrayView bytes);

// Text to bytes in the system code page (UTF-8).
QByteArray encode(QStringView text);

} // namespace Ansi
