#include "DocumentLayoutKeeper.h"

#include "IncrementalDocumentLayout.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>

DocumentLayoutKeeper *IncrementalDocumentLayout::install(QTextEdit *edit, const Clock &clock)
{
    if (!edit)
        return nullptr;
    if (auto *keeper = edit->findChild<DocumentLayoutKeeper *>(QString(), Qt::FindDirectChildrenOnly))
        return keeper;
    return new DocumentLayoutKeeper(edit, clock);
}

DocumentLayoutKeeper::DocumentLayoutKeeper(QTextEdit *edit, const Clock &clock)
    : QObject(edit)
    , m_clock(clock)
    , m_edit(edit)
{
    edit->viewport()->installEventFilter(this);
    // Scrolling moves the anchor at once, before any paint: a background step
    // in between must not pull the view back.
    connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &DocumentLayoutKeeper::captureAnchor);
    attach(edit->document());
    check();
    connectLayout();
}

bool DocumentLayoutKeeper::usesIncrementalLayout() const
{
    return m_doc && qobject_cast<IncrementalDocumentLayout *>(m_doc->documentLayout());
}

bool DocumentLayoutKeeper::wantsIncremental() const
{
    return m_doc && m_doc->rootFrame()->childFrames().isEmpty();
}

void DocumentLayoutKeeper::attach(QTextDocument *doc)
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
    m_doc = doc;
    if (m_doc) {
        connect(m_doc, &QTextDocument::contentsChange, this, &DocumentLayoutKeeper::onContentsChange);
        connect(m_doc, &QTextDocument::documentLayoutChanged, this, &DocumentLayoutKeeper::onContentsChange);
    }
}

void DocumentLayoutKeeper::onContentsChange()
{
    // Called for every keystroke: only queue a check when the kind of
    // document no longer matches its layout.
    if (wantsIncremental() != usesIncrementalLayout())
        scheduleCheck();
}

bool DocumentLayoutKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && m_edit) {
        if (m_edit->document() != m_doc) {
            scheduleCheck();
        } else {
            captureAnchor();
        }
    }
    return QObject::eventFilter(watched, event);
}

void DocumentLayoutKeeper::captureAnchor()
{
    auto *layout = m_doc ? qobject_cast<IncrementalDocumentLayout *>(m_doc->documentLayout()) : nullptr;
    if (!m_edit || !layout || m_edit->document() != m_doc) {
        m_anchorBlock = -1;
        return;
    }
    const int top = m_edit->verticalScrollBar()->value();
    m_anchorBlock = layout->blockNumberAt(top);
    m_anchorOffset = top - layout->blockOffset(m_anchorBlock);
}

void DocumentLayoutKeeper::connectLayout()
{
    m_anchorBlock = -1;
    if (auto *layout = m_doc ? qobject_cast<IncrementalDocumentLayout *>(m_doc->documentLayout()) : nullptr)
        connect(layout, &IncrementalDocumentLayout::estimatesReplaced, this,
                &DocumentLayoutKeeper::keepViewInPlace, Qt::UniqueConnection);
}

void DocumentLayoutKeeper::keepViewInPlace(int firstBlockNumber)
{
    auto *layout = m_doc ? qobject_cast<IncrementalDocumentLayout *>(m_doc->documentLayout()) : nullptr;
    if (!m_edit || !layout || m_anchorBlock <= firstBlockNumber || m_anchorBlock >= m_doc->blockCount())
        return;
    m_edit->verticalScrollBar()->setValue(qRound(layout->blockOffset(m_anchorBlock) + m_anchorOffset));
}

void DocumentLayoutKeeper::scheduleCheck()
{
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &DocumentLayoutKeeper::check, Qt::QueuedConnection);
}

void DocumentLayoutKeeper::check()
{
    m_pending = false;
    if (!m_edit)
        return;
    if (m_edit->document() != m_doc)
        attach(m_edit->document());
    if (!m_doc)
        return;
    const bool want = wantsIncremental();
    if (want == usesIncrementalLayout())
        return;
    if (want) {
        m_doc->setDocumentLayout(new IncrementalDocumentLayout(m_doc, m_clock));
        connectLayout();
    } else {
        // Without a layout of its own the document makes Qt's.
        m_doc->setDocumentLayout(nullptr);
        m_doc->documentLayout();
    }
    emit layoutSwitched(want);
}
