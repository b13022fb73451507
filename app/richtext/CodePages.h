#pragma once
// CodePages: the 8-bit code pages an RTF file can name, by number.
//
// RTF keeps text in the code page of the document (\ansicpg) or of the
// current font (\fcharset), written as \'hh escapes or raw bytes. The
// single-byte pages are tables of our own; the double-byte East Asian pages
// go through the platform's converter when it has them.

#include <QChar>
#include <QString>

class CodePages
{
public:
    // The code page Windows uses for a font's \fcharset value, or 0 when the
    // charset means "the document's own code page" (ANSI, default, symbol)
    // or is unknown.
    static int forCharset(int charset);

    // The table for bytes 0x80..0xFF of a single-byte code page, or nullptr
    // when the page is not one of ours (then callers fall back to 1252).
    static const char16_t *upperHalf(int codePage);

    // True for the double-byte pages (Japanese, Chinese, Korean).
    static bool isDoubleByte(int codePage);

    // True when the byte opens a two-byte character in that page.
    static bool isLeadByte(int codePage, unsigned char byte);

    // The converter name of a double-byte page, for QStringDecoder.
    static const char *doubleByteName(int codePage);

    // One byte of a single-byte page as text; unknown pages read as 1252.
    static char16_t decodeByte(int codePage, unsigned char byte);

    // The Windows-1252 byte for a character, or -1 when 1252 cannot hold it.
    static int encodeWindows1252(QChar c);
};
