#include "Dialect.h"

#include "DialectWordTable.h"

#include <QString>

namespace {

// Lower case as the lookup needs it: ASCII directly, anything else (the
// umlauts and every other letter) through Qt's Unicode tables.
bool toLower(std::string_view word, std::string &out)
{
    // Lower-casing shrinks a character to a third of its bytes at most
    // (U+212A KELVIN SIGN to "k"), so a longer word can be no key.
    if (word.size() > 3 * DialectWordTable::longestKey())
        return false;
    out.assign(word);
    bool ascii = true;
    for (char &c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    if (!ascii) {
        const QByteArray lower = QString::fromUtf8(word.data(), qsizetype(word.size())).toLower().toUtf8();
        out.assign(lower.constData(), size_t(lower.size()));
    }
    return true;
}

} // namespace

std::string Dialect::prepare(std::string_view text)
{
    // The replacements "!" -> " !", "?" -> " ?", "." -> " ,", "," -> " ,"
    // and CR LF -> " " done one after the other come to this one pass: the
    // comma a full stop turns into is set apart once more, and none of them
    // makes or breaks a CR LF pair.
    std::string s;
    s.reserve(text.size() + text.size() / 8 + 2);
    s.push_back(' ');
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '!':
            s.append(" !");
            break;
        case '?':
            s.append(" ?");
            break;
        case '.':
            s.append("  ,");
            break;
        case ',':
            s.append(" ,");
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                s.push_back(' ');
                ++i;
            } else {
                s.push_back(c);
            }
            break;
        default:
            s.push_back(c);
        }
    }
    s.push_back(' ');
    return s;
}

std::string Dialect::FilterText(std::string &sText) const
{
    sText = prepare(sText);
    const std::string_view text(sText);

    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::string lower;
    std::string nextLower;
    size_t start = 0;
    bool first = true;
    // Every blank ends a word, so two blanks in a row give an empty word and
    // the blanks come out again exactly as they went in.
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (!first)
            out.push_back(' ');
        first = false;

        const bool mayMatch = !word.empty() && toLower(word, lower);
        bool done = false;
        if (mayMatch && end < text.size() && DialectWordTable::beginsTwoWordKey(lower)) {
            // A two-word key takes the word and its neighbour together.
            size_t nextEnd = text.find(' ', end + 1);
            if (nextEnd == std::string_view::npos)
                nextEnd = text.size();
            const std::string_view next = text.substr(end + 1, nextEnd - end - 1);
            if (!next.empty() && toLower(next, nextLower)) {
                if (const std::string_view *two = DialectWordTable::lookupTwo(lower, nextLower)) {
                    out.append(*two);
                    end = nextEnd;
                    done = true;
                }
            }
        }
        if (!done) {
            const std::string_view *dialect = mayMatch ? DialectWordTable::lookup(lower) : nullptr;
            out.append(dialect ? *dialect : word);
        }
        start = end + 1;
    }
    return out;
}
