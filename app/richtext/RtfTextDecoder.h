#pragma once
// The RTF reader's text decoder: from the bytes and escapes of a file to
// UTF-16 characters. Bytes (raw or \'hh) are read in the code page in force,
// a lead byte of a double-byte page waits for its trail byte; \uN gives a
// character and makes the next \ucN characters its fallback, to be skipped;
// the halves of a character beyond 16 bits arrive as two \uN and are joined,
// a half without its partner becomes U+FFFD.
//
// Characters go to a sink, any callable taking a char16_t, so the decoder
// knows nothing of where text goes.

#include "CodePages.h"

#include <QChar>
#include <QString>

#include <memory>

class QStringDecoder;

namespace rtf {

class TextDecoder
{
public:
    TextDecoder();
    ~TextDecoder();

    // A group opens or closes: a fallback still to skip and a lead byte
    // without its trail byte end there.
    void endRun()
    {
        m_skip = 0;
        m_leadByte = -1;
    }

    // True (and one fewer to skip) when the next character of the file is
    // the fallback of a \uN.
    bool skipFallback()
    {
        if (m_skip > 0) {
            --m_skip;
            return true;
        }
        return false;
    }

    bool leadBytePending() const { return m_leadByte >= 0; }

    // Nothing waits: no fallback to skip, no lead byte, no half of a pair.
    // Then a character of plain text passes through unchanged.
    bool idle() const { return m_skip == 0 && m_leadByte < 0 && m_highSurrogate == 0; }

    // \uN (negative N counts from 65536), then `fallback` characters to skip.
    template <typename Sink>
    void unicode(int value, int fallback, Sink &&sink)
    {
        if (value < 0)
            value += 65536;
        const char16_t c = (value >= 0 && value <= 0xFFFF) ? static_cast<char16_t>(value) : char16_t(0xFFFD);
        m_skip = 0;
        sink(c);
        m_skip = fallback;
    }

    // A byte of text in a code page. Control bytes are no text.
    template <typename Sink>
    void byte(unsigned char b, int codePage, Sink &&sink)
    {
        if (CodePages::isDoubleByte(codePage)) {
            if (m_leadByte < 0 && CodePages::isLeadByte(codePage, b)) {
                m_leadByte = b;
                return;
            }
            if (m_leadByte >= 0) {
                const unsigned char lead = static_cast<unsigned char>(m_leadByte);
                m_leadByte = -1;
                if (skipFallback())
                    return;
                for (QChar ch : decodeDoubleByte(codePage, lead, b))
                    sink(ch.unicode());
                return;
            }
        }
        if (skipFallback())
            return;
        const char16_t c = CodePages::decodeByte(codePage, b);
        if (c >= 0x20)
            sink(c); // an escaped control byte is no text
    }

    // Joins UTF-16 pairs that arrive as two characters; a half without its
    // partner becomes U+FFFD rather than a broken string.
    template <typename Sink>
    void pair(char16_t c, Sink &&sink)
    {
        if (QChar::isHighSurrogate(c)) {
            if (m_highSurrogate)
                sink(char16_t(0xFFFD));
            m_highSurrogate = c;
            return;
        }
        const char16_t high = m_highSurrogate;
        m_highSurrogate = 0;
        if (QChar::isLowSurrogate(c) && !high) {
            c = 0xFFFD;
        } else if (high && !QChar::isLowSurrogate(c)) {
            sink(char16_t(0xFFFD));
        } else if (high) {
            sink(high);
        }
        sink(c);
    }

private:
    QString decodeDoubleByte(int codePage, unsigned char lead, unsigned char trail);

    int m_skip = 0;             // fallback characters of a \uN still to skip
    int m_leadByte = -1;        // of a double-byte character, waiting for its trail byte
    char16_t m_highSurrogate = 0;
    int m_decoderPage = 0;
    std::unique_ptr<QStringDecoder> m_decoder;
};

} // namespace rtf
