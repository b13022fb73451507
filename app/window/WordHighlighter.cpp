#include "WordHighlighter.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

WordHighlighter::WordHighlighter(QTextEdit &box, QObject *parent) : QObject(parent), m_box(box)
{
    connect(m_box.document(), &QTextDocument::contentsChange, this, &WordHighlighter::onContentsChange);
}

void WordHighlighter::onContentsChange(int position, int removed, int added)
{
    // Typing arrives one character at a time; runs of it are one edit, so a
    // long listening session does not make every word slower to place.
    if (!m_edits.empty() && removed == 0) {
        Edit &last = m_edits.back();
        if (last.removed == 0 && position == last.position + last.added) {
            last.added += added;
            return;
        }
    }
    m_edits.push_back(Edit{position, removed, added});
}

std::optional<int> WordHighlighter::currentPosition(int position, int length) const
{
    int start = position;
    int end = position + length;
    for (const Edit &e : m_edits) {
        if (e.position >= end)
            continue; // after the word (or right behind it)
        const bool before = e.removed == 0 ? e.position <= start : e.position + e.removed <= start;
        if (!before)
            return std::nullopt; // inside the word: it was changed
        const int shift = e.added - e.removed;
        start += shift;
        end += shift;
    }
    return start;
}

void WordHighlighter::highlight(int position, int length)
{
    const std::optional<int> now = currentPosition(position, length);
    // The user may have edited the document meanwhile: stay inside it.
    const int end = m_box.document()->characterCount() - 1;
    if (!now || *now < 0 || length <= 0 || *now >= end) {
        m_box.setExtraSelections({});
        m_active = false;
        return;
    }
    position = *now;
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
    m_edits.clear();
    if (!m_active)
        return;
    m_box.setExtraSelections({});
    m_active = false;
}
