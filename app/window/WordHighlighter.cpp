#include "WordHighlighter.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

WordHighlighter::WordHighlighter(QTextEdit &box, QObject *parent) : QObject(parent), m_box(box) {}

void WordHighlighter::highlight(int position, int length)
{
    // The user may have edited the document meanwhile: stay inside it.
    const int end = m_box.document()->characterCount() - 1;
    if (position < 0 || length <= 0 || position >= end) {
        clear();
        return;
    }
    QTextCursor cursor(m_box.document());
    cursor.setPosition(position);
    cursor.setPosition(qMin(position + length, end), QTextCursor::KeepAnchor);

    QTextEdit::ExtraSelection selection;
    selection.cursor = cursor;
    const QPalette palette = m_box.palette();
    selection.format.setBackground(palette.color(QPalette::Highlight).lighter(160));
    selection.format.setForeground(palette.color(QPalette::Text));
    m_box.setExtraSelections({selection});
    m_active = true;

    // Scroll so that the word is visible, a third from the top, without
    // moving the text cursor.
    QTextCursor at(m_box.document());
    at.setPosition(position);
    const QRect r = m_box.cursorRect(at);
    const QRect view = m_box.viewport()->rect();
    if (r.top() < view.top() || r.bottom() > view.bottom()) {
        QScrollBar *bar = m_box.verticalScrollBar();
        bar->setValue(bar->value() + r.top() - view.height() / 3);
    }
}

void WordHighlighter::clear()
{
    if (!m_active)
        return;
    m_box.setExtraSelections({});
    m_active = false;
}
