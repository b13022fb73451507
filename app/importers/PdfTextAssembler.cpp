#include "PdfTextAssembler.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// A line counts as header or footer only inside these shares of the page.
constexpr double kMarginShare = 0.12;
// ... and when it repeats on at least this share of the pages.
constexpr double kRepeatShare = 0.5;

// Page numbers and dates differ from page to page; the rest of a running
// line does not.
QString runningKey(const QString &text)
{
    QString key;
    key.reserve(text.size());
    bool lastDigit = false;
    for (const QChar c : text.simplified()) {
        if (c.isDigit()) {
            if (!lastDigit)
                key += QLatin1Char('#');
            lastDigit = true;
        } else {
            key += c.toLower();
            lastDigit = false;
        }
    }
    return key;
}

bool inMargin(const PdfLine &line, const QSizeF &page)
{
    if (page.height() <= 0)
        return false;
    return line.box.bottom() <= page.height() * kMarginShare || line.box.top() >= page.height() * (1 - kMarginShare);
}

bool isBarePageNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[\\s\\-\u2013\u2014]*(Seite|Page|S\\.)?\\s*[0-9]+(\\s*(/|von|of)\\s*[0-9]+)?[\\s\\-\u2013\u2014]*$"),
        QRegularExpression::CaseInsensitiveOption);
    return number.match(text).hasMatch();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

bool endsSentence(const QString &text)
{
    static const QString enders = QStringLiteral(".!?:\u2026\"\u201C\u201D\u00BB\u00AB)");
    return !text.isEmpty() && enders.contains(text.back());
}

bool endsWithHyphen(const QString &text)
{
    if (text.size() < 2)
        return false;
    const QChar last = text.back();
    return (last == QLatin1Char('-') || last == QChar(0x00AD) || last == QChar(0x2010))
           && text.at(text.size() - 2).isLetter();
}

// Words after which a line-end hyphen marks a left-out part of a compound
// ("Nord- und Südseite", "Ein- oder Ausgang"), so it and the space stay.
bool isConjunction(const QString &word)
{
    static const QSet<QString> words = {
        QStringLiteral("und"),  QStringLiteral("oder"),  QStringLiteral("bis"),  QStringLiteral("sowie"),
        QStringLiteral("bzw."), QStringLiteral("beziehungsweise"), QStringLiteral("noch"),
        QStringLiteral("als"),  QStringLiteral("wie"),   QStringLiteral("u."),   QStringLiteral("o."),
        QStringLiteral("respektive"), QStringLiteral("resp."), QStringLiteral("and"), QStringLiteral("or"),
        QStringLiteral("to"),   QStringLiteral("und/oder"),
    };
    return words.contains(word);
}

} // namespace

std::vector<PdfPageText> PdfTextAssembler::withoutRunningLines(const std::vector<PdfPageText> &pages)
{
    // Count on how many pages each margin line (by its key) occurs.
    QHash<QString, int> pagesWithKey;
    for (const PdfPageText &page : pages) {
        QSet<QString> seen;
        for (const PdfLine &line : page.lines) {
            if (inMargin(line, page.size))
                seen.insert(runningKey(line.text));
        }
        for (const QString &key : seen)
            ++pagesWithKey[key];
    }
    const int needed = std::max(2, int(std::ceil(double(pages.size()) * kRepeatShare)));
    std::vector<PdfPageText> out;
    out.reserve(pages.size());
    for (const PdfPageText &page : pages) {
        PdfPageText kept;
        kept.size = page.size;
        std::vector<PdfLine> running;
        for (const PdfLine &line : page.lines) {
            if (inMargin(line, page.size)) {
                const bool pageNumber = isBarePageNumber(line.text);
                if (pageNumber)
                    continue;
                if (pagesWithKey.value(runningKey(line.text)) >= needed) {
                    running.push_back(line);
                    continue;
                }
            }
            kept.lines.push_back(line);
        }
        // A page whose only text repeats on every page keeps it: that text is
        // the page's content, not its header.
        if (kept.lines.empty())
            kept.lines = std::move(running);
        out.push_back(std::move(kept));
    }
    return out;
}

QString PdfTextAssembler::joinLines(const QString &first, const QString &second)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    if (endsWithHyphen(first)) {
        const QString next = second.section(QLatin1Char(' '), 0, 0);
        if (isConjunction(next))
            return first + QLatin1Char(' ') + second;
        if (next.at(0).isLower())
            return first.chopped(1) + second;
        // "Max-" + "Planck": a real hyphen of the compound.
        if (first.back() == QLatin1Char('-') || first.back() == QChar(0x2010))
            return first + second;
        return first.chopped(1) + second;
    }
    return first + QLatin1Char(' ') + second;
}

QStringList PdfTextAssembler::paragraphs(const std::vector<PdfPageText> &input)
{
    const std::vector<PdfPageText> pages = withoutRunningLines(input);
    QStringList out;
    QString current;
    bool lastLineOpen = false; // the previous page ended inside a paragraph

    auto flush = [&] {
        const QString p = current.simplified();
        if (!p.isEmpty())
            out.append(p);
        current.clear();
    };

    for (const PdfPageText &page : pages) {
        if (page.lines.empty())
            continue;
        std::vector<double> heights;
        double left = page.lines.front().box.left();
        double right = page.lines.front().box.right();
        std::vector<double> lefts;
        for (const PdfLine &l : page.lines) {
            heights.push_back(l.box.height());
            lefts.push_back(l.box.left());
            right = std::max(right, l.box.right());
            left = std::min(left, l.box.left());
        }
        const double lineHeight = std::max(1.0, median(heights));
        const double textLeft = median(lefts);
        const double width = std::max(1.0, right - left);

        for (size_t i = 0; i < page.lines.size(); ++i) {
            const PdfLine &line = page.lines[i];
            if (i == 0) {
                if (!lastLineOpen)
                    flush();
                current = joinLines(current, line.text);
                continue;
            }
            const PdfLine &prev = page.lines[i - 1];
            const double gap = line.box.top() - prev.box.bottom();
            const bool bigGap = gap > 0.6 * lineHeight;
            const bool newColumn = line.box.top() < prev.box.top() - lineHeight;
            const bool shortPrev = prev.box.right() < right - 0.15 * width;
            const bool indented = line.box.left() > textLeft + 0.8 * lineHeight
                                  && std::abs(prev.box.left() - textLeft) < 0.5 * lineHeight;
            const bool sizeChange = std::abs(line.box.height() - prev.box.height()) > 0.3 * lineHeight;
            // Ragged-right lines end short inside a paragraph too; a short
            // line ends one only where its sentence ends or it is very short.
            const bool veryShortPrev = prev.box.right() < left + 0.6 * width;
            const bool paragraphEnd =
                shortPrev && !endsWithHyphen(prev.text) && (endsSentence(prev.text) || veryShortPrev);
            bool breakHere = bigGap || sizeChange || indented || paragraphEnd;
            if (newColumn)
                breakHere = endsSentence(prev.text) && shortPrev;
            if (breakHere)
                flush();
            current = joinLines(current, line.text);
        }
        const PdfLine &last = page.lines.back();
        const bool lastShort = last.box.right() < right - 0.15 * width;
        lastLineOpen = endsWithHyphen(last.text) || (!endsSentence(last.text) && !lastShort);
    }
    flush();
    return out;
}
