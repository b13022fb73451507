#pragma once

#include <QObject>
#include <QPointer>

class Clock;
class QTextDocument;
class QTextEdit;

// Keeps the right layout on a QTextEdit's document. A flat document (only
// paragraphs) gets an IncrementalDocumentLayout; one holding tables or other
// frames gets Qt's own layout, which knows how to place them. Switching is
// always queued: the layout is never replaced from inside one of its own
// calls, and until the switch the current layout shows the document as it can.
// It also follows QTextEdit::setDocument, noticed at the next paint, and
// keeps the block at the top of the view in place while the background layout
// replaces estimated heights above it.
class DocumentLayoutKeeper : public QObject
{
    Q_OBJECT

public:
    // clock: the time the incremental layouts it makes run their background layout on.
    DocumentLayoutKeeper(QTextEdit *edit, const Clock &clock);

    // Whether the edit's document is laid out by an IncrementalDocumentLayout.
    bool usesIncrementalLayout() const;

signals:
    // After a switch, with the layout now in charge.
    void layoutSwitched(bool incremental);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attach(QTextDocument *doc);
    void onContentsChange();
    void scheduleCheck();
    void check();
    bool wantsIncremental() const;
    void connectLayout();
    void keepViewInPlace(int firstBlockNumber);
    void captureAnchor();

    const Clock &m_clock;
    QPointer<QTextEdit> m_edit;
    QPointer<QTextDocument> m_doc;
    bool m_pending = false;
    // The block at the top of the view at the last paint, and how far into
    // its share of the height the view starts.
    int m_anchorBlock = -1;
    qreal m_anchorOffset = 0;
};
