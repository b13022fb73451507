#include "LongLines.h"

#include <QTextBlock>
#include <QTextDocument>

#include <vector>

namespace {

class LineJoin : public QTextBlockUserData
{
public:
    explicit LineJoin(QChar joiner) : joiner(joiner) {}
    const QChar joiner;
};

struct Split {
    qsizetype at; // where the continuing block starts in the text given to the document
    QChar joiner;
};

// Where the next block of a long line starts: after the last blank in the
// second half of the block, else at the limit (never inside a surrogate pair).
qsizetype splitPoint(const QString &text, qsizetype start, bool *atBlank)
{
    const qsizetype limit = start + LongLines::kMaxBlockLength;
    for (qsizetype i = limit - 1; i > start + LongLines::kMaxBlockLength / 2; --i) {
        if (text.at(i) == QLatin1Char(' ')) {
            *atBlank = true;
            return i;
        }
    }
    *atBlank = false;
    return text.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}

} // namespace

void LongLines::setPlainText(QTextDocument *doc, QString text)
{
    // Blanks that become breaks are replaced in place; breaks between two
    // characters are inserted, which copies the text once.
    std::vector<Split> splits;
    std::vector<qsizetype> inserts;
    qsizetype lineStart = 0;
    const qsizetype size = text.size();
    while (lineStart < size) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = size;
        qsizetype start = lineStart;
        while (lineEnd - start > kMaxBlockLength) {
            bool atBlank = false;
            const qsizetype at = splitPoint(text, start, &atBlank);
            if (atBlank) {
                text[at] = QLatin1Char('\n');
                splits.push_back({at + 1 + qsizetype(inserts.size()), QLatin1Char(' ')});
                start = at + 1;
            } else {
                inserts.push_back(at);
                splits.push_back({at + qsizetype(inserts.size()), QChar()});
                start = at;
            }
        }
        lineStart = lineEnd + 1;
    }
    if (!inserts.empty()) {
        QString withBreaks;
        withBreaks.reserve(size + qsizetype(inserts.size()));
        qsizetype from = 0;
        for (const qsizetype at : inserts) {
            withBreaks.append(QStringView(text).sliced(from, at - from));
            withBreaks.append(QLatin1Char('\n'));
            from = at;
        }
        withBreaks.append(QStringView(text).sliced(from));
        text = std::move(withBreaks);
    }
    doc->setPlainText(text);
    text = QString(); // the document holds its own copy
    for (const Split &split : splits) {
        QTextBlock block = doc->findBlock(int(split.at));
        if (block.isValid() && block.position() == split.at)
            block.setUserData(new LineJoin(split.joiner));
    }
}

bool LongLines::continuesLine(const QTextBlock &block, QChar *joiner)
{
    const auto *join = dynamic_cast<const LineJoin *>(block.userData());
    if (!join || !block.previous().isValid())
        return false;
    if (joiner)
        *joiner = join->joiner;
    return true;
}

QString LongLines::fileText(const QTextDocument &doc)
{
    QString text = doc.toPlainText();
    // The text holds one character per document position; a block's break
    // is the character before the block's first.
    std::vector<qsizetype> dropped;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QChar joiner;
        if (!continuesLine(b, &joiner))
            continue;
        const qsizetype at = b.position() - 1;
        if (at < 0 || at >= text.size())
            continue;
        if (joiner.isNull())
            dropped.push_back(at);
        else
            text[at] = joiner;
    }
    if (dropped.empty())
        return text;
    QString joined;
    joined.reserve(text.size() - qsizetype(dropped.size()));
    qsizetype from = 0;
    for (const qsizetype at : dropped) {
        joined.append(QStringView(text).sliced(from, at - from));
        from = at + 1;
    }
    joined.append(QStringView(text).sliced(from));
    return joined;
}
