#pragma once
// WordHighlighter: marks the word being heard in the document box and keeps
// it in view. It uses the box's extra selections, so the document's own
// formatting, its undo history and the user's cursor stay untouched.
//
// Positions arrive in the document as it was when speaking began. The user
// may go on editing while listening, so every edit since then is kept and a
// position is carried across them to where that word is now; a word that was
// itself edited is no longer the word being heard and is not marked.

#include <QObject>

#include <optional>
#include <vector>

class QTextEdit;

class WordHighlighter : public QObject
{
    Q_OBJECT
public:
    explicit WordHighlighter(QTextEdit &box, QObject *parent = nullptr);

    void highlight(int position, int length);
    // No word is heard any more; later positions refer to the document as it
    // is now.
    void clear();
    bool isActive() const { return m_active; }

    // Where a range of the document as it was now starts, or nothing when an
    // edit touched the range.
    std::optional<int> currentPosition(int position, int length) const;

private:
    struct Edit {
        int position;
        int removed;
        int added;
    };
    void onContentsChange(int position, int removed, int added);

    QTextEdit &m_box;
    std::vector<Edit> m_edits;
    bool m_active = false;
};
