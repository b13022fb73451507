#include "ScriptHighlighter.h"

#include "ScriptCommands.h"
#include "ScriptParser.h"

#include <QTextBlock>
#include <QTextLayout>

ScriptHighlighter::ScriptHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {}

QTextCharFormat ScriptHighlighter::format(Kind kind) const
{
    QTextCharFormat f;
    f.setProperty(KindProperty, int(kind));
    switch (kind) {
    case Kind::Skipped:
        f.setForeground(QColor(0x6a, 0x73, 0x7d));
        f.setFontItalic(true);
        break;
    case Kind::KnownCommand:
        f.setForeground(QColor(0x00, 0x4e, 0xa8));
        f.setFontWeight(QFont::Bold);
        break;
    case Kind::UnknownCommand:
        f.setForeground(QColor(0xb0, 0x1c, 0x1c));
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        f.setUnderlineColor(QColor(0xd0, 0x00, 0x00));
        break;
    case Kind::Parameter:
        f.setForeground(QColor(0x1e, 0x6b, 0x2a));
        break;
    case Kind::Variable:
        f.setForeground(QColor(0x8a, 0x2b, 0x9e));
        f.setFontWeight(QFont::Bold);
        break;
    }
    return f;
}

void ScriptHighlighter::highlightBlock(const QString &text)
{
    const std::optional<ScriptStatement> statement = ScriptParser::parseLine(text);
    if (!statement) {
        if (!text.isEmpty())
            setFormat(0, int(text.size()), format(Kind::Skipped));
        return;
    }
    // The parser's command is the text before the first "(", so its length
    // is where the parameters begin.
    const int open = int(statement->command.size());
    const bool known = ScriptCommands::isKnownCommand(ScriptCommands::commandWord(statement->command));
    setFormat(0, open, format(known ? Kind::KnownCommand : Kind::UnknownCommand));
    // Text after a second "(" never reaches the command; it shows as skipped.
    const qsizetype second = text.indexOf(QLatin1Char('('), open + 1);
    const int end = second < 0 ? int(text.size()) : int(second);
    setFormat(open + 1, end - open - 1, format(Kind::Parameter));
    if (second >= 0)
        setFormat(end, int(text.size()) - end, format(Kind::Skipped));
    for (const QString &name : ScriptCommands::variableNames()) {
        for (qsizetype at = text.indexOf(name, open + 1); at >= 0 && at < end; at = text.indexOf(name, at + 1))
            setFormat(int(at), int(name.size()), format(Kind::Variable));
    }
}

int ScriptHighlighter::kindAt(const QTextBlock &block, int position)
{
    const QTextLayout *layout = block.layout();
    if (!layout)
        return 0;
    for (const QTextLayout::FormatRange &range : layout->formats()) {
        if (position >= range.start && position < range.start + range.length)
            return range.format.property(KindProperty).toInt();
    }
    return 0;
}
