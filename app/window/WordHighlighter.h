#pragma once
// WordHighlighter: marks the word being heard in the document box and keeps
// it in view. It uses the box's extra selections, so the document's own
// formatting, its undo history and the user's cursor stay untouched.

#include <QObject>

class QTextEdit;

class WordHighlighter : public QObject
{
    Q_OBJECT
public:
    explicit WordHighlighter(QTextEdit &box, QObject *parent = nullptr);

    void highlight(int position, int length);
    void clear();
    bool isActive() const { return m_active; }

private:
    QTextEdit &m_box;
    bool m_active = false;
};
