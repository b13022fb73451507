#pragma once
// ScriptTextEdit: the editor's text box. Plain text (a script has no
// formatting), a margin with the line numbers Springe counts, and the
// script's own line end: the text comes in and goes out with CR LF, the only
// line end the interpreter splits at.

#include <QPlainTextEdit>

class ScriptTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ScriptTextEdit(QWidget *parent = nullptr);

    // The script as stored: lines joined by CR LF.
    QString scriptText() const;
    // Replaces the text; lines are split where the interpreter splits them.
    void setScriptText(const QString &text);
    // Appends a new line holding `line` as one undoable step.
    void appendLine(const QString &line);

    // What the colouring at a place means, for its tooltip; empty where
    // there is nothing to explain.
    QString hintAt(int line, int column) const;

    int lineNumberAreaWidth() const;
    QWidget *lineNumberArea() const { return m_lineNumbers; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    friend class LineNumberArea;
    void paintLineNumbers(QPaintEvent *event);
    void updateMargin();
    void updateLineNumberArea(const QRect &rect, int dy);

    QWidget *m_lineNumbers;
};
