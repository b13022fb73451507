#pragma once
// ScriptHighlighter: colours a script as the interpreter will read it. Each
// line goes through ScriptParser::parseLine, the same function the
// interpreter calls, so a line the interpreter skips (a comment, a line
// without "(", one too short) is shown as skipped, and a command word the
// interpreter does not know (misspelt, wrong case, tab-indented) is marked
// before a run silently ignores it.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class ScriptHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // What a stretch of a line is; tests read the kinds back from the formats.
    enum class Kind { Skipped = 1, KnownCommand, UnknownCommand, Parameter, Variable };
    static constexpr int KindProperty = QTextFormat::UserProperty + 1;

    explicit ScriptHighlighter(QTextDocument *document);

    // The kind of the character at `position` in a block's text, or 0.
    static int kindAt(const class QTextBlock &block, int position);

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextCharFormat format(Kind kind) const;
};
