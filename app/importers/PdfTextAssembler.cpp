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

// A line that is only a list's bullet: Poppler gives the mark apart from
// the item's text, often in another place of the reading order.
// A dash or star counts only on a line of its own: at the start of a line
// of text it may be a dash of the sentence.
bool isBulletMark(const QString &text, bool alone = true)
{
    const QString t = text.trimmed();
    static const QString glyphs = QStringLiteral("\u2022\u25E6\u25AA\u25AB\u25CF\u25CB\u25A0\u25A1\u2023\u2043\u2219");
    static const QString dashes = QStringLiteral("\u2013\u00B7-*");
    return t.size() == 1 && (glyphs.contains(t.at(0)) || (alone && dashes.contains(t.at(0))));
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
    // A running line has one size on every page. Where its first occurrence
    // is clearly larger, that one is the document's title on its first page
    // ("Shared MIME-info Database" above the text, the same words as the
    // small running header of the later pages) and stays.
    QHash<QString, std::vector<double>> heightsOfKey;
    QHash<QString, const PdfLine *> firstOfKey;
    for (const PdfPageText &page : pages) {
        for (const PdfLine &line : page.lines) {
            if (!inMargin(line, page.size))
                continue;
            const QString key = runningKey(line.text);
            if (pagesWithKey.value(key) < needed)
                continue;
            heightsOfKey[key].push_back(line.box.height());
            if (!firstOfKey.contains(key))
                firstOfKey.insert(key, &line);
        }
    }
    QSet<const PdfLine *> titles;
    for (auto it = firstOfKey.cbegin(); it != firstOfKey.cend(); ++it) {
        if (it.value()->box.height() >= 1.3 * median(heightsOfKey.value(it.key())))
            titles.insert(it.value());
    }
    std::vector<PdfPageText> out;
    out.reserve(pages.size());
    for (const PdfPageText &page : pages) {
        PdfPageText kept;
        kept.size = page.size;
        std::vector<PdfLine> running;
        for (const PdfLine &line : page.lines) {
            if (inMargin(line, page.size) && !titles.contains(&line)) {
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

void PdfTextAssembler::appendLine(QString &paragraph, const QString &line)
{
    if (line.isEmpty())
        return;
    if (paragraph.isEmpty()) {
        paragraph = line;
        return;
    }
    if (endsWithHyphen(paragraph)) {
        const QString next = line.section(QLatin1Char(' '), 0, 0);
        if (isConjunction(next)) {
            paragraph += QLatin1Char(' ');
        } else if (!next.isEmpty() && next.at(0).isLower()) {
            paragraph.chop(1);
        } else if (paragraph.back() != QLatin1Char('-') && paragraph.back() != QChar(0x2010)) {
            // A soft hyphen before a capital goes; "Max-" + "Planck" keeps
            // the real hyphen of the compound.
            paragraph.chop(1);
        }
        paragraph += line;
        return;
    }
    paragraph += QLatin1Char(' ');
    paragraph += line;
}

QString PdfTextAssembler::joinLines(const QString &first, const QString &second)
{
    QString joined = first;
    appendLine(joined, second);
    return joined;
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

    for (const PdfPageText &bulleted : pages) {
        // The bullets themselves are not read; the line beside each one
        // starts a list item.
        PdfPageText page;
        std::vector<const PdfLine *> bullets;
        QSet<size_t> markedItems; // lines that began with their own bullet
        for (const PdfLine &l : bulleted.lines) {
            if (isBulletMark(l.text)) {
                bullets.push_back(&l);
            } else if (l.text.size() > 2 && isBulletMark(l.text.left(1), false) && l.text.at(1).isSpace()) {
                markedItems.insert(page.lines.size());
                page.lines.push_back({l.text.mid(2).trimmed(), l.box});
            } else {
                page.lines.push_back(l);
            }
        }
        const auto startsItem = [&](const PdfLine &l) {
            if (markedItems.contains(size_t(&l - page.lines.data())))
                return true;
            for (const PdfLine *b : bullets) {
                const double middle = b->box.center().y();
                if (middle >= l.box.top() && middle <= l.box.bottom() && b->box.right() <= l.box.left() + 1)
                    return true;
            }
            return false;
        };
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
                if (!lastLineOpen || startsItem(line))
                    flush();
                appendLine(current, line.text);
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
            // A sentence that ends where the next line's first word would
            // still have fitted ends its paragraph (ragged lines without
            // spacing between paragraphs).
            const double charWidth = line.box.width() / std::max<qsizetype>(1, line.text.size());
            const double firstWord = charWidth * double(line.text.section(QLatin1Char(' '), 0, 0).size() + 1);
            const bool wordWouldFit = right - prev.box.right() > firstWord;
            const bool paragraphEnd = !endsWithHyphen(prev.text)
                                      && ((shortPrev && (endsSentence(prev.text) || veryShortPrev))
                                          || (endsSentence(prev.text) && wordWouldFit));
            bool breakHere = bigGap || sizeChange || indented || paragraphEnd || startsItem(line);
            if (newColumn)
                breakHere = endsSentence(prev.text) && shortPrev;
            if (breakHere)
                flush();
            appendLine(current, line.text);
        }
        const PdfLine &last = page.lines.back();
        const bool lastShort = last.box.right() < right - 0.15 * width;
        lastLineOpen = endsWithHyphen(last.text) || (!endsSentence(last.text) && !lastShort);
    }
    flush();
    return out;
}

std::vector<int> PdfTextAssembler::headingLevels(const QStringList &paragraphs,
                                                 const std::vector<PdfOutlineEntry> &outline)
{
    std::vector<int> levels(size_t(paragraphs.size()), 0);
    if (outline.empty())
        return levels;
    auto key = [](const QString &text) { return text.simplified().toCaseFolded(); };
    // Where each text occurs, ascending: every entry is one look-up, however
    // many entries and paragraphs there are.
    QHash<QString, std::vector<qsizetype>> where;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        // Titles are short; a long paragraph is never one.
        if (paragraphs.at(i).size() <= 1000)
            where[key(paragraphs.at(i))].push_back(i);
    }
    qsizetype next = 0;
    for (const PdfOutlineEntry &entry : outline) {
        const auto it = where.constFind(key(entry.title));
        if (it == where.cend() || entry.title.trimmed().isEmpty())
            continue;
        const auto found = std::lower_bound(it->cbegin(), it->cend(), next);
        if (found == it->cend())
            continue;
        levels[size_t(*found)] = std::clamp(entry.level, 1, 6);
        next = *found + 1;
    }
    return levels;
}
