#include "ScriptTextEdit.h"

#include "EditorTexts.h"
#include "ScriptHighlighter.h"
#include "ScriptParser.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QTextBlock>

class LineNumberArea : public QWidget
{
public:
    explicit LineNumberArea(ScriptTextEdit *editor) : QWidget(editor), m_editor(editor) {}
    QSize sizeHint() const override { return {m_editor->lineNumberAreaWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_editor->paintLineNumbers(event); }

private:
    ScriptTextEdit *m_editor;
};

ScriptTextEdit::ScriptTextEdit(QWidget *parent) : QPlainTextEdit(parent), m_lineNumbers(new LineNumberArea(this))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A long statement stays one line, as the line numbers count it.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The interpreter passes over a statement indented with a tab, so the
    // key never types one: Tab and Shift+Tab move the focus, as in every
    // other box of the dialog, and the keyboard alone gets out of the text.
    setTabChangesFocus(true);
    // A tab that came with an opened or pasted script matters (it makes a
    // command unknown) but need not be wide.
    setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 4);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &ScriptTextEdit::updateMargin);
    connect(this, &QPlainTextEdit::updateRequest, this, &ScriptTextEdit::updateLineNumberArea);
    updateMargin();
}

QString ScriptTextEdit::scriptText() const
{
    QString text = toPlainText().split(QLatin1Char('\n')).join(QLatin1String("\r\n"));
    text.replace(QChar(0x240A), QLatin1Char('\n'));
    text.replace(QChar(0x240D), QLatin1Char('\r'));
    return text;
}

void ScriptTextEdit::setScriptText(const QString &text)
{
    // A lone LF or CR is not a line end to the interpreter. The box would
    // break the line there, so it would show lines the interpreter never
    // sees; both are kept visible as symbols instead (saving writes them
    // back unchanged).
    QStringList lines = ScriptParser::splitLines(text);
    for (QString &line : lines) {
        line.replace(QLatin1Char('\n'), QChar(0x240A));
        line.replace(QLatin1Char('\r'), QChar(0x240D));
    }
    setPlainText(lines.join(QLatin1Char('\n')));
}

void ScriptTextEdit::appendLine(const QString &line)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QLatin1Char('\n') + line);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString ScriptTextEdit::hintAt(int line, int column) const
{
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid() || block.text().isEmpty())
        return QString();
    switch (ScriptHighlighter::Kind(ScriptHighlighter::kindAt(block, column))) {
    case ScriptHighlighter::Kind::UnknownCommand:
        return EditorTexts::HintUnknownCommand;
    case ScriptHighlighter::Kind::Skipped:
        return EditorTexts::HintSkipped;
    default:
        return QString();
    }
}

bool ScriptTextEdit::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QTextCursor cursor = cursorForPosition(help->pos());
        const QString hint = hintAt(cursor.blockNumber(), cursor.positionInBlock());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            // As rich text, which the tooltip wraps to a readable width;
            // plain text would stand on one line as wide as the sentence.
            QToolTip::showText(help->globalPos(), QStringLiteral("<p>%1</p>").arg(hint.toHtmlEscaped()), viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

int ScriptTextEdit::lineNumberAreaWidth() const
{
    int digits = 1;
    for (int n = qMax(1, blockCount()); n >= 10; n /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * qMax(2, digits);
}

void ScriptTextEdit::updateMargin()
{
    setViewportMargins(lineNumberAreaWidth(), 0, 0, 0);
}

void ScriptTextEdit::updateLineNumberArea(const QRect &rect, int dy)
{
    if (dy)
        m_lineNumbers->scroll(0, dy);
    else
        m_lineNumbers->update(0, rect.y(), m_lineNumbers->width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateMargin();
}

void ScriptTextEdit::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect cr = contentsRect();
    m_lineNumbers->setGeometry(QRect(cr.left(), cr.top(), lineNumberAreaWidth(), cr.height()));
}

void ScriptTextEdit::paintLineNumbers(QPaintEvent *event)
{
    QPainter painter(m_lineNumbers);
    painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int width = m_lineNumbers->width() - 4;
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            painter.drawText(0, top, width, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}
