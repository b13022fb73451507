#include "Pronouncer.h"

#include "PronunciationTexts.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <hs.h>

#include <QChar>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

// Regular expressions are scanned as UTF-8 with Unicode classes and the
// start of each match. Literal entries, the many, go into Hyperscan's
// literal sets, which compile and scan far faster; their start is their end
// less their length. Case-insensitive ones are matched folded against a
// folded copy of the text (every letter lower case where that keeps its
// length in UTF-8, so offsets stay the same).
constexpr unsigned RegexFlags = HS_FLAG_UTF8 | HS_FLAG_UCP | HS_FLAG_SOM_LEFTMOST;
enum Set { CaseSensitive, Caseless, Regex, SetCount };

Set setOf(const PronunciationEntry &e)
{
    return e.regex ? Regex : e.caseSensitive ? CaseSensitive : Caseless;
}

QByteArray folded(const QByteArray &utf8)
{
    QByteArray out(utf8);
    auto *p = reinterpret_cast<unsigned char *>(out.data());
    const qsizetype size = out.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                p[i] = c + 32;
            ++i;
            continue;
        }
        // Letters with a lower case of the same length: two and three bytes.
        if (c < 0xE0 && i + 1 < size) {
            const char32_t cp = (char32_t(c & 0x1F) << 6) | (p[i + 1] & 0x3F);
            const char32_t lower = QChar::toLower(cp);
            if (lower != cp && lower >= 0x80 && lower < 0x800) {
                p[i] = static_cast<unsigned char>(0xC0 | (lower >> 6));
                p[i + 1] = static_cast<unsigned char>(0x80 | (lower & 0x3F));
            }
            i += 2;
        } else if (c < 0xF0 && i + 2 < size) {
            const char32_t cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
            const char32_t lower = QChar::toLower(cp);
            if (lower != cp && lower >= 0x800 && lower < 0x10000 && (lower < 0xD800 || lower > 0xDFFF)) {
                p[i] = static_cast<unsigned char>(0xE0 | (lower >> 12));
                p[i + 1] = static_cast<unsigned char>(0x80 | ((lower >> 6) & 0x3F));
                p[i + 2] = static_cast<unsigned char>(0x80 | (lower & 0x3F));
            }
            i += 3;
        } else {
            i += c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        }
    }
    return out;
}

QByteArray scanPattern(const PronunciationEntry &e)
{
    const QByteArray utf8 = e.written.toUtf8();
    return setOf(e) == Caseless ? folded(utf8) : utf8;
}

struct PcreCode {
    pcre2_code *code = nullptr;
    ~PcreCode() { pcre2_code_free(code); }
};

// Compiles a regular expression for PCRE2; empty reason when it compiled.
pcre2_code *compileRegex(const PronunciationEntry &e, QString *reason)
{
    const QByteArray pattern = e.written.toUtf8();
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), PCRE2_SIZE(pattern.size()),
                                     PCRE2_UTF | PCRE2_UCP | (e.caseSensitive ? 0 : PCRE2_CASELESS), &error,
                                     &offset, nullptr);
    if (!code) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(error, message, sizeof message);
        *reason = PronunciationTexts::invalidRegex(
            QStringLiteral("%1 (bei Zeichen %2)")
                .arg(QString::fromUtf8(reinterpret_cast<const char *>(message)))
                .arg(QString::fromUtf8(pattern.left(qsizetype(offset))).size() + 1));
    }
    return code;
}

// Why Hyperscan cannot take this entry; empty when it can.
QString scanReason(const PronunciationEntry &e)
{
    const QByteArray pattern = scanPattern(e);
    hs_expr_info_t *info = nullptr;
    hs_compile_error_t *error = nullptr;
    const unsigned flags = RegexFlags | (e.caseSensitive ? 0u : unsigned(HS_FLAG_CASELESS));
    if (hs_expression_info(pattern.constData(), flags, &info, &error) != HS_SUCCESS) {
        const QString detail = QString::fromUtf8(error->message);
        hs_free_compile_error(error);
        return PronunciationTexts::unsupportedRegex(detail);
    }
    const bool empty = info->min_width == 0;
    free(info);
    return empty ? PronunciationTexts::RegexMatchesEmpty : QString();
}

bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'_';
}

// The code point starting at byte pos of valid UTF-8.
char32_t codePointAt(const char *s, qsizetype size, qsizetype pos)
{
    if (pos >= size)
        return 0;
    const auto b = [&](qsizetype i) { return char32_t(static_cast<unsigned char>(s[i])); };
    const char32_t lead = b(pos);
    if (lead < 0x80)
        return lead;
    if (lead < 0xE0)
        return ((lead & 0x1F) << 6) | (b(pos + 1) & 0x3F);
    if (lead < 0xF0)
        return ((lead & 0x0F) << 12) | ((b(pos + 1) & 0x3F) << 6) | (b(pos + 2) & 0x3F);
    return ((lead & 0x07) << 18) | ((b(pos + 1) & 0x3F) << 12) | ((b(pos + 2) & 0x3F) << 6) | (b(pos + 3) & 0x3F);
}

// The code point ending at byte pos.
char32_t codePointBefore(const char *s, qsizetype size, qsizetype pos)
{
    if (pos <= 0)
        return 0;
    qsizetype start = pos - 1;
    while (start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80)
        --start;
    return codePointAt(s, size, start);
}

bool isWholeWord(const char *s, qsizetype size, qsizetype from, qsizetype to)
{
    if (isWordCharacter(codePointAt(s, size, from)) && isWordCharacter(codePointBefore(s, size, from)))
        return false;
    if (isWordCharacter(codePointBefore(s, size, to)) && isWordCharacter(codePointAt(s, size, to)))
        return false;
    return true;
}

// Byte offsets of UTF-8 made from a QString to that QString's positions,
// asked in increasing order.
class Utf16Positions
{
public:
    explicit Utf16Positions(const char *s) : m_s(s) {}
    qsizetype at(qsizetype byte)
    {
        while (m_byte < byte) {
            const auto c = static_cast<unsigned char>(m_s[m_byte]);
            m_byte += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            m_unit += c >= 0xF0 ? 2 : 1;
        }
        return m_unit;
    }

private:
    const char *m_s;
    qsizetype m_byte = 0;
    qsizetype m_unit = 0;
};

// A regular expression's spoken form with \0 ... \9 filled in; "\\" is a
// backslash.
QString expand(const QString &spoken, const char *subject, const PCRE2_SIZE *ovector, int pairs)
{
    QString out;
    for (qsizetype i = 0; i < spoken.size(); ++i) {
        const QChar c = spoken.at(i);
        if (c == QLatin1Char('\\') && i + 1 < spoken.size()) {
            const QChar next = spoken.at(i + 1);
            if (next >= QLatin1Char('0') && next <= QLatin1Char('9')) {
                const int group = next.unicode() - '0';
                if (group < pairs && ovector[2 * group] != PCRE2_UNSET)
                    out += QString::fromUtf8(subject + ovector[2 * group],
                                             qsizetype(ovector[2 * group + 1] - ovector[2 * group]));
                ++i;
                continue;
            }
            if (next == QLatin1Char('\\')) {
                out += c;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

struct Match {
    unsigned long long from;
    unsigned long long to;
    unsigned id;
};

int onMatch(unsigned id, unsigned long long from, unsigned long long to, unsigned, void *context)
{
    static_cast<std::vector<Match> *>(context)->push_back({from, to, id});
    return 0;
}

} // namespace

struct Pronouncer::Compiled {
    std::once_flag once;
    // One per Set; null when it has no entries.
    hs_database_t *database[SetCount] = {nullptr, nullptr, nullptr};
    hs_scratch_t *scratch = nullptr; // the prototype each apply() clones, fit for both
    std::vector<PcreCode> regex;     // per entry; null for literals
    std::vector<qsizetype> literalBytes; // per entry: the UTF-8 length of a literal's match
    std::unique_ptr<std::atomic<bool>[]> switchedOff;
    mutable std::mutex mutex;
    QStringList problems;

    ~Compiled()
    {
        hs_free_scratch(scratch);
        for (hs_database_t *d : database)
            hs_free_database(d);
    }
};

Pronouncer::Pronouncer(QList<PronunciationEntry> entries)
    : m_entries(std::move(entries)), m_compiled(std::make_unique<Compiled>())
{
}

Pronouncer::~Pronouncer() = default;

QString Pronouncer::check(const PronunciationEntry &entry)
{
    if (entry.written.isEmpty())
        return PronunciationTexts::EmptyWritten;
    if (!entry.regex)
        return QString();
    QString reason;
    PcreCode code{compileRegex(entry, &reason)};
    if (!code.code)
        return reason;
    return scanReason(entry);
}

void Pronouncer::compile() const
{
    Compiled &c = *m_compiled;
    const qsizetype n = m_entries.size();
    c.regex.resize(size_t(n));
    c.switchedOff = std::make_unique<std::atomic<bool>[]>(size_t(n));
    std::vector<bool> usable(size_t(n), true);
    auto reject = [&](qsizetype i, const QString &reason) {
        usable[size_t(i)] = false;
        const PronunciationEntry &e = m_entries.at(i);
        c.problems.append(PronunciationTexts::entryProblem(e.origin, e.line, e.written, reason));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const PronunciationEntry &e = m_entries.at(i);
        if (e.written.isEmpty()) {
            reject(i, PronunciationTexts::EmptyWritten);
            continue;
        }
        if (!e.regex)
            continue;
        QString reason;
        c.regex[size_t(i)].code = compileRegex(e, &reason);
        if (reason.isEmpty())
            reason = scanReason(e);
        if (!reason.isEmpty())
            reject(i, reason);
    }
    // One database for the literal entries and one for the expressions;
    // an expression Hyperscan still refuses is left out and the rest
    // compiled again.
    for (qsizetype i = 0; i < n; ++i) {
        c.literalBytes.push_back(m_entries.at(i).regex ? 0 : m_entries.at(i).written.toUtf8().size());
    }
    for (const Set set : {CaseSensitive, Caseless, Regex}) {
        for (;;) {
            std::vector<QByteArray> patterns;
            std::vector<const char *> pointers;
            std::vector<size_t> lengths;
            std::vector<unsigned> flags, ids;
            for (qsizetype i = 0; i < n; ++i) {
                const PronunciationEntry &e = m_entries.at(i);
                if (!usable[size_t(i)] || setOf(e) != set)
                    continue;
                patterns.push_back(scanPattern(e));
                flags.push_back(set == Regex ? RegexFlags | (e.caseSensitive ? 0u : unsigned(HS_FLAG_CASELESS)) : 0u);
                ids.push_back(unsigned(i));
            }
            if (patterns.empty())
                break;
            for (const QByteArray &p : patterns) {
                pointers.push_back(p.constData());
                lengths.push_back(size_t(p.size()));
            }
            hs_compile_error_t *error = nullptr;
            hs_database_t *&database = c.database[set];
            const hs_error_t compiled = set == Regex
                ? hs_compile_multi(pointers.data(), flags.data(), ids.data(), unsigned(pointers.size()),
                                   HS_MODE_BLOCK, nullptr, &database, &error)
                : hs_compile_lit_multi(pointers.data(), flags.data(), ids.data(), lengths.data(),
                                       unsigned(pointers.size()), HS_MODE_BLOCK, nullptr, &database, &error);
            if (compiled == HS_SUCCESS) {
                if (hs_alloc_scratch(database, &c.scratch) != HS_SUCCESS) {
                    hs_free_database(database);
                    database = nullptr;
                }
                break;
            }
            const int failed = error->expression;
            const QString detail = QString::fromUtf8(error->message);
            hs_free_compile_error(error);
            if (failed < 0 || size_t(failed) >= ids.size()) {
                // Not one expression's fault (the set as a whole is too large).
                for (const unsigned id : ids)
                    reject(qsizetype(id), PronunciationTexts::unsupportedRegex(detail));
                break;
            }
            reject(qsizetype(ids[size_t(failed)]), PronunciationTexts::unsupportedRegex(detail));
        }
    }
}

QStringList Pronouncer::problems() const
{
    std::call_once(m_compiled->once, [this] { compile(); });
    std::lock_guard lock(m_compiled->mutex);
    return m_compiled->problems;
}

Pronouncer::Result Pronouncer::apply(QStringView written) const
{
    Compiled &c = *m_compiled;
    std::call_once(c.once, [this] { compile(); });
    Result result;
    if ((!c.database[CaseSensitive] && !c.database[Caseless] && !c.database[Regex]) || written.isEmpty()) {
        result.spoken = written.toString();
        return result;
    }
    const QByteArray utf8 = written.toUtf8();
    const char *s = utf8.constData();
    const qsizetype size = utf8.size();

    std::vector<Match> matches;
    hs_scratch_t *scratch = nullptr;
    if (hs_clone_scratch(c.scratch, &scratch) != HS_SUCCESS) {
        result.spoken = written.toString();
        return result;
    }
    for (const Set set : {CaseSensitive, Regex}) {
        if (c.database[set])
            hs_scan(c.database[set], s, unsigned(size), 0, scratch, onMatch, &matches);
    }
    if (c.database[Caseless]) {
        const QByteArray lower = folded(utf8);
        hs_scan(c.database[Caseless], lower.constData(), unsigned(size), 0, scratch, onMatch, &matches);
    }
    hs_free_scratch(scratch);
    // A literal's match starts its length before its end.
    for (Match &m : matches) {
        if (!m_entries.at(m.id).regex)
            m.from = m.to - c.literalBytes[m.id];
    }
    std::sort(matches.begin(), matches.end(), [](const Match &a, const Match &b) {
        return a.from != b.from ? a.from < b.from : a.id < b.id;
    });

    pcre2_match_context *context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(context, StepLimit);
    pcre2_set_depth_limit(context, StepLimit / 20);
    pcre2_match_data *data = pcre2_match_data_create(10, nullptr);

    QString &spoken = result.spoken;
    spoken.reserve(written.size() + written.size() / 8);
    Utf16Positions position(s);
    qsizetype cursor = 0;   // bytes of the written text handled
    qsizetype cursor16 = 0; // the same in QString units
    for (size_t k = 0; k < matches.size();) {
        const qsizetype from = qsizetype(matches[k].from);
        size_t group = k;
        while (group < matches.size() && matches[group].from == matches[k].from)
            ++group;
        if (from < cursor) {
            k = group;
            continue;
        }
        qsizetype bestTo = -1;
        unsigned bestId = 0;
        QString bestSpoken;
        for (size_t j = k; j < group; ++j) {
            const unsigned id = matches[j].id;
            if (j > k && matches[j - 1].id == id)
                continue; // a regular expression reported again for a longer end
            if (c.switchedOff[id].load(std::memory_order_relaxed))
                continue;
            const PronunciationEntry &e = m_entries.at(id);
            qsizetype to = qsizetype(matches[j].to);
            QString replacement;
            if (e.regex) {
                const int rc = pcre2_match(c.regex[id].code, reinterpret_cast<PCRE2_SPTR>(s), PCRE2_SIZE(size),
                                           PCRE2_SIZE(from), PCRE2_ANCHORED | PCRE2_NO_UTF_CHECK, data, context);
                if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT) {
                    if (!c.switchedOff[id].exchange(true)) {
                        std::lock_guard lock(c.mutex);
                        c.problems.append(PronunciationTexts::entryProblem(e.origin, e.line, e.written,
                                                                           PronunciationTexts::RegexTooCostly));
                    }
                    continue;
                }
                if (rc < 0)
                    continue;
                const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data);
                to = qsizetype(ovector[1]);
                if (to <= from)
                    continue;
                if (e.wholeWord && !isWholeWord(s, size, from, to))
                    continue;
                if (to - from < bestTo - from || (to - from == bestTo - from && id > bestId))
                    continue;
                replacement = expand(e.spoken, s, ovector, rc);
            } else {
                if (e.wholeWord && !isWholeWord(s, size, from, to))
                    continue;
                if (to - from < bestTo - from || (to - from == bestTo - from && id > bestId))
                    continue;
                replacement = e.spoken;
            }
            bestTo = to;
            bestId = id;
            bestSpoken = replacement;
        }
        k = group;
        if (bestTo < 0)
            continue;
        const qsizetype from16 = position.at(from);
        const qsizetype to16 = position.at(bestTo);
        spoken += written.mid(cursor16, from16 - cursor16);
        const int spokenFrom = int(spoken.size());
        spoken += bestSpoken;
        result.map.addReplacement(spokenFrom, int(spoken.size()), int(from16), int(to16));
        cursor = bestTo;
        cursor16 = to16;
    }
    spoken += written.mid(cursor16);
    pcre2_match_data_free(data);
    pcre2_match_context_free(context);
    return result;
}
