#include "Dialect.h"

#include "DialectWordTable.h"

#include <QString>

#include <array>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// Lower-casing shrinks a character to a third of its bytes at most (U+212A
// KELVIN SIGN becomes "k"), so a word of more bytes than this is no key in
// any letter case.
std::size_t longestCandidate()
{
    static const std::size_t n = 3 * DialectWordTable::longestKey();
    return n;
}

// The word in lower case as the lookup needs it: ASCII directly into buf,
// anything else (the umlauts and every other letter) through Qt's Unicode
// tables into spill. Nothing when the word is too long to be a key.
struct LowerWord {
    char buf[64];
    std::string spill;

    std::optional<std::string_view> of(std::string_view word)
    {
        if (word.empty() || word.size() > longestCandidate())
            return std::nullopt;
        if (word.size() <= sizeof buf) {
            std::size_t i = 0;
            for (; i < word.size(); ++i) {
                const char c = word[i];
                if (static_cast<unsigned char>(c) >= 0x80)
                    break;
                buf[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
            }
            if (i == word.size())
                return std::string_view(buf, i);
        }
        const QByteArray lower = QString::fromUtf8(word.data(), qsizetype(word.size())).toLower().toUtf8();
        spill.assign(lower.constData(), size_t(lower.size()));
        return std::string_view(spill);
    }
};

std::string_view wordAt(std::string_view text, std::size_t start)
{
    const std::size_t end = text.find(' ', start);
    return text.substr(start, (end == std::string_view::npos ? text.size() : end) - start);
}

} // namespace

std::size_t Dialect::preparedSizeBound(std::size_t textSize)
{
    return 3 * textSize + 2; // "." grows most, to "  ,"
}

std::size_t Dialect::prepareInto(std::string_view text, char *out)
{
    // The replacements "!" -> " !", "?" -> " ?", "." -> " ,", "," -> " ,"
    // and CR LF -> " ", done one after the other over the whole text, come
    // to this one pass: the comma a full stop turns into is set apart once
    // more, and none of them makes or breaks a CR LF pair. Runs of ordinary
    // bytes, nearly all of a text, are copied whole.
    static constexpr auto special = [] {
        std::array<bool, 256> t{};
        for (const unsigned char c : {'!', '?', '.', ',', '\r'})
            t[c] = true;
        return t;
    }();
    char *o = out;
    *o++ = ' ';
    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *run = p;
        while (p < end && !special[static_cast<unsigned char>(*p)])
            ++p;
        std::memcpy(o, run, std::size_t(p - run));
        o += p - run;
        if (p == end)
            break;
        const char c = *p++;
        switch (c) {
        case '!':
        case '?':
            *o++ = ' ';
            *o++ = c;
            break;
        case '.':
            *o++ = ' ';
            *o++ = ' ';
            *o++ = ',';
            break;
        case ',':
            *o++ = ' ';
            *o++ = ',';
            break;
        default: // CR: a line break only together with LF
            if (p < end && *p == '\n') {
                *o++ = ' ';
                ++p;
            } else {
                *o++ = c;
            }
        }
    }
    *o++ = ' ';
    return std::size_t(o - out);
}

std::size_t Dialect::dialectSizeBound(std::size_t preparedSize)
{
    return preparedSize * DialectWordTable::longestGrowth() + 1;
}

std::size_t Dialect::dialectInto(std::string_view text, char *out)
{
    char *o = out;
    LowerWord lower;
    LowerWord nextLower;
    std::size_t start = 0;
    // Every blank ends a word, so two blanks in a row give an empty word and
    // the blanks come out again exactly as they went in.
    for (;;) {
        const std::string_view word = wordAt(text, start);
        std::size_t end = start + word.size();
        std::string_view dialect = word;
        if (const auto l = lower.of(word)) {
            bool two = false;
            if (end < text.size() && DialectWordTable::beginsTwoWordKey(*l)) {
                // A two-word key takes the word and its right neighbour together.
                const std::string_view next = wordAt(text, end + 1);
                if (const auto n = nextLower.of(next)) {
                    if (const std::string_view *d = DialectWordTable::lookupTwo(*l, *n)) {
                        dialect = *d;
                        end += 1 + next.size();
                        two = true;
                    }
                }
            }
            if (!two) {
                if (const std::string_view *d = DialectWordTable::lookup(*l))
                    dialect = *d;
            }
        }
        std::memcpy(o, dialect.data(), dialect.size());
        o += dialect.size();
        if (end >= text.size())
            break;
        *o++ = ' ';
        start = end + 1;
    }
    return std::size_t(o - out);
}

std::string Dialect::FilterText(std::string &sText) const
{
    // Uninitialised buffers: only what is written is touched.
    std::unique_ptr<char[]> prepared(new char[preparedSizeBound(sText.size())]);
    sText.assign(prepared.get(), prepareInto(sText, prepared.get()));
    prepared.reset();
    std::unique_ptr<char[]> out(new char[dialectSizeBound(sText.size())]);
    return std::string(out.get(), dialectInto(sText, out.get()));
}
