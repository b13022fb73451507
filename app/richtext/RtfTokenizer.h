#pragma once
// The RTF reader's tokenizer: one pass over the bytes, token by token.
// Braces, control words with their parameter, control symbols, \'hh
// escapes and runs of plain text bytes; raw line ends between tokens are
// no text and are passed over. Parameters are clamped, names longer than
// any real one are read to their end and cut, so every token is bounded.

#include <QByteArrayView>

#include <algorithm>

#include <string_view>

namespace rtf {

// Control-word parameters are clamped to this magnitude.
constexpr int kMaxParam = 1 << 24;
// Whole parameters (\bin) saturate here, far beyond any file's size.
constexpr long long kMaxFullParam = (1LL << 62) / 10;

class Tokenizer
{
public:
    enum class Kind : quint8 {
        End,
        GroupOpen,   // {
        GroupClose,  // }
        Word,        // \name, \nameN or \name-N
        Symbol,      // \ and a character that is no letter (\*, \~, \{, ...)
        HexByte,     // \'hh
        Text,        // bytes up to the next brace, backslash or line end
        Broken,      // a backslash at the end, \' without a hex digit
    };

    struct Token {
        Kind kind = Kind::End;
        unsigned char byte = 0;  // Symbol: its character; HexByte: the byte
        bool hasParam = false;
        int param = 0;           // Word: clamped to kMaxParam either way
        long long fullParam = 0; // Word: unclamped and never negative (\bin's count of bytes)
        std::string_view text;   // Word: the name (at most 64 letters); Text: the bytes
    };

    explicit Tokenizer(QByteArrayView bytes)
        : m_data(reinterpret_cast<const unsigned char *>(bytes.data()))
        , m_size(bytes.size())
    {
    }

    Token next();

    // Passes over raw binary data (\binN), at most to the end.
    void skip(long long count) { m_pos += qsizetype(std::min<long long>(count, m_size - m_pos)); }

private:
    static bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool endsText(unsigned char c) { return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n'; }
    static Token token(Kind kind, unsigned char byte = 0)
    {
        Token t;
        t.kind = kind;
        t.byte = byte;
        return t;
    }
    Token word();
    Token hex();

    const unsigned char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

inline Tokenizer::Token Tokenizer::next()
{
    while (m_pos < m_size) {
        const unsigned char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            return token(Kind::GroupOpen);
        case '}':
            ++m_pos;
            return token(Kind::GroupClose);
        case '\r':
        case '\n':
            ++m_pos;
            break;
        case '\\':
            if (++m_pos >= m_size)
                return token(Kind::Broken);
            if (isLetter(m_data[m_pos]))
                return word();
            if (m_data[m_pos] == '\'') {
                ++m_pos;
                return hex();
            }
            return token(Kind::Symbol, m_data[m_pos++]);
        default: {
            // Locals: see word().
            const unsigned char *const data = m_data;
            const qsizetype size = m_size;
            const qsizetype start = m_pos;
            qsizetype end = start;
            while (end < size && !endsText(data[end]))
                ++end;
            m_pos = end;
            Token t = token(Kind::Text);
            t.text = std::string_view(reinterpret_cast<const char *>(data + start), size_t(end - start));
            return t;
        }
        }
    }
    return token(Kind::End);
}

} // namespace rtf
