#include "CodePages.h"

int CodePages::forCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift-JIS
    case 129: return 949;    // Hangul
    case 134: return 936;    // GB 2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Central European
    case 254: return 437;    // PC-437
    case 255: return 850;    // OEM
    default: return 0;
    }
}

bool CodePages::isDoubleByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

bool CodePages::isLeadByte(int codePage, unsigned char byte)
{
    if (codePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    if (isDoubleByte(codePage))
        return byte >= 0x81 && byte <= 0xFE;
    return false;
}

const char *CodePages::doubleByteName(int codePage)
{
    switch (codePage) {
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    default: return nullptr;
    }
}

char16_t CodePages::decodeByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (const char16_t *table = upperHalf(codePage))
        return table[byte - 0x80];
    return upperHalf(1252)[byte - 0x80];
}

int CodePages::encodeWindows1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    const char16_t *table = upperHalf(1252);
    for (int i = 0; i < 32; ++i) {
        if (table[i] == u)
            return 0x80 + i;
    }
    return -1;
}
