#include "RtfTokenizer.h"

#include <algorithm>

namespace rtf {

Tokenizer::Token Tokenizer::word()
{
    // The position is kept in a local: the bytes are read as unsigned char,
    // which may alias a member, so a member would be reloaded at every byte.
    const unsigned char *const data = m_data;
    const qsizetype size = m_size;
    qsizetype pos = m_pos;
    const qsizetype start = pos;
    while (pos < size && isLetter(data[pos]))
        ++pos;
    Token t = token(Kind::Word);
    // Names longer than any real one cannot match; they are read to the end
    // and cut.
    t.text = std::string_view(reinterpret_cast<const char *>(data + start),
                              static_cast<size_t>(std::min<qsizetype>(pos - start, 64)));
    bool negative = false;
    long long value = 0;
    if (pos < size && data[pos] == '-' && pos + 1 < size && data[pos + 1] >= '0' && data[pos + 1] <= '9') {
        negative = true;
        ++pos;
    }
    // \bin's length is a count of bytes to skip, not a size to clamp: a
    // clamped one would read the rest of a long payload as text.
    long long fullValue = 0;
    while (pos < size && data[pos] >= '0' && data[pos] <= '9') {
        t.hasParam = true;
        if (value <= kMaxParam)
            value = value * 10 + (data[pos] - '0');
        if (fullValue <= kMaxFullParam)
            fullValue = fullValue * 10 + (data[pos] - '0');
        ++pos;
    }
    t.fullParam = negative ? 0 : fullValue;
    if (pos < size && data[pos] == ' ')
        ++pos; // the delimiter belongs to the control word
    m_pos = pos;
    value = std::min<long long>(value, kMaxParam);
    t.param = static_cast<int>(negative ? -value : value);
    return t;
}

Tokenizer::Token Tokenizer::hex()
{
    auto digit = [](unsigned char h) -> int {
        if (h >= '0' && h <= '9')
            return h - '0';
        if (h >= 'a' && h <= 'f')
            return h - 'a' + 10;
        if (h >= 'A' && h <= 'F')
            return h - 'A' + 10;
        return -1;
    };
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_pos < m_size && digit(m_data[m_pos]) >= 0) {
        value = value * 16 + digit(m_data[m_pos]);
        ++m_pos;
        ++digits;
    }
    if (digits == 0)
        return token(Kind::Broken);
    return token(Kind::HexByte, static_cast<unsigned char>(value));
}

} // namespace rtf
