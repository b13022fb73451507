#pragma once
// PlainText: the document box's reading and writing of plain-text files.
//
// Text files come from Windows and from Linux: UTF-8 when the bytes are
// valid UTF-8, otherwise Windows-1252 (the Ansi codec); a file that starts
// with a UTF-16 byte-order mark (what Windows editors save as "Unicode") is
// read as UTF-16. CR LF, LF and lone CR all end a line. Written text is
// UTF-8 with LF line ends.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class PlainText
{
public:
    // File bytes to document text: line ends become '\n', a byte-order mark
    // and NUL characters (which no text holds and which would cut the text
    // short for the speech engine) are dropped; the document's internal
    // frame and object markers become U+FFFD.
    static QString decode(QByteArrayView bytes);

    // Document text to file bytes.
    static QByteArray encode(const QString &text);
};
