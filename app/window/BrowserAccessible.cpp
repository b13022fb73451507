#include "BrowserAccessible.h"

#include "AccessibleFactory.h"
#include "BrowserView.h"
#include "WindowTexts.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

BrowserAccessible *accessibleOf(BrowserView *view)
{
    if (!QAccessible::isActive())
        return nullptr;
    return dynamic_cast<BrowserAccessible *>(QAccessible::queryAccessibleInterface(view));
}

// One link of the page as a screen reader sees it.
class BrowserLinkAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    BrowserLinkAccessible(BrowserView *view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override { return page() && m_index < int(page()->links().size()); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return page(); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name)
            return link().text;
        if (t == QAccessible::Value)
            return link().href;
        return QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return isValid() ? page()->rangeRect(link().start, link().end) : QRect(); }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.linked = true;
        s.selectable = true;
        const bool selected = page()->selectedLink() == m_index;
        s.selected = selected;
        s.focused = selected && m_view->hasFocus();
        s.invisible = !m_view->isVisible();
        s.offscreen = rect().isEmpty();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString &name) override
    {
        if (!isValid())
            return;
        if (name == pressAction())
            page()->followLink(m_index);
        else if (name == setFocusAction())
            page()->selectLink(m_index);
    }
    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
    }

private:
    BrowserAccessible *page() const { return m_view ? accessibleOf(m_view) : nullptr; }
    const PageLink &link() const { return page()->links()[size_t(m_index)]; }

    QPointer<BrowserView> m_view;
    int m_index;
};

} // namespace

std::vector<PageLink> pageLinks(const QTextDocument &document)
{
    std::vector<PageLink> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty())
                continue;
            const int start = fragment.position();
            const int end = start + fragment.length();
            if (!links.empty() && links.back().href == format.anchorHref() && links.back().end == start) {
                links.back().end = end;
                continue;
            }
            links.push_back(PageLink{start, end, format.anchorHref(), QString()});
        }
    }
    const QString plain = document.toPlainText();
    for (PageLink &link : links) {
        // A picture is an object character: its link is named by its
        // address when it has no text of its own.
        QString text = plain.mid(link.start, link.end - link.start);
        text.remove(QChar::ObjectReplacementCharacter);
        text = text.simplified();
        link.text = text.isEmpty() ? link.href : text;
    }
    return links;
}

BrowserAccessible::BrowserAccessible(BrowserView *view) : QAccessibleWidget(view, QAccessible::Document) {}

BrowserAccessible::~BrowserAccessible()
{
    reset();
}

void BrowserAccessible::installFactory()
{
    installAccessibleFactory<BrowserView, BrowserAccessible>();
}

BrowserView *BrowserAccessible::view() const
{
    return static_cast<BrowserView *>(widget());
}

void BrowserAccessible::reset()
{
    for (QAccessible::Id id : m_childIds) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
    m_childIds.clear();
    m_links.clear();
    m_linksValid = false;
    m_announcedLink = -1;
}

const std::vector<PageLink> &BrowserAccessible::links() const
{
    if (!m_linksValid) {
        m_links = pageLinks(*view()->document());
        m_childIds.assign(m_links.size(), 0);
        m_linksValid = true;
    }
    return m_links;
}

void BrowserAccessible::pageChanged(BrowserView *view)
{
    BrowserAccessible *page = accessibleOf(view);
    if (!page)
        return;
    page->reset();
    QAccessibleEvent reorder(view, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
    QAccessibleEvent name(view, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

void BrowserAccessible::selectionChanged(BrowserView *view)
{
    BrowserAccessible *page = accessibleOf(view);
    if (!page)
        return;
    const int link = page->selectedLink();
    if (link == page->m_announcedLink)
        return;
    page->m_announcedLink = link;
    if (link < 0 || !view->hasFocus())
        return;
    QAccessibleEvent focus(page->child(link), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

void BrowserAccessible::focusEntered(BrowserView *view)
{
    // Qt tells of the view's focus after its focus-in handler; the selected
    // link's focus has to come after that, or the reader stays on the view.
    QTimer::singleShot(0, view, [view = QPointer<BrowserView>(view)] {
        if (!view || !view->hasFocus())
            return;
        BrowserAccessible *page = accessibleOf(view);
        if (!page)
            return;
        const int link = page->selectedLink();
        page->m_announcedLink = link;
        if (link < 0)
            return;
        QAccessibleEvent focus(page->child(link), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    });
}

QString BrowserAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name) {
        if (!view()->accessibleName().isEmpty())
            return view()->accessibleName();
        const QString title = view()->documentTitle().simplified();
        return title.isEmpty() ? WindowTexts::StartPageName : title;
    }
    if (t == QAccessible::Value)
        return QString();
    return QAccessibleWidget::text(t);
}

QAccessible::State BrowserAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

int BrowserAccessible::childCount() const
{
    return int(links().size());
}

QAccessibleInterface *BrowserAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    QAccessible::Id &id = m_childIds[size_t(index)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new BrowserLinkAccessible(view(), index));
    return QAccessible::accessibleInterface(id);
}

int BrowserAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
    for (size_t i = 0; i < m_childIds.size(); ++i) {
        if (m_childIds[i] == id)
            return int(i);
    }
    return -1;
}

QAccessibleInterface *BrowserAccessible::childAt(int x, int y) const
{
    for (int i = 0; i < childCount(); ++i) {
        QAccessibleInterface *c = child(i);
        if (c && c->rect().contains(x, y))
            return c;
    }
    return nullptr;
}

QAccessibleInterface *BrowserAccessible::focusChild() const
{
    const int link = view()->hasFocus() ? selectedLink() : -1;
    return link >= 0 ? child(link) : nullptr;
}

void *BrowserAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

int BrowserAccessible::selectedLink() const
{
    const QTextCursor cursor = view()->textCursor();
    if (!cursor.hasSelection())
        return -1;
    const auto &all = links();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].start == cursor.selectionStart() && all[i].end == cursor.selectionEnd())
            return int(i);
    }
    return -1;
}

QRect BrowserAccessible::rangeRect(int start, int end) const
{
    QRect r;
    QTextCursor cursor(view()->document());
    for (int pos = start; pos <= end; ++pos) {
        cursor.setPosition(pos);
        r = r.united(view()->cursorRect(cursor));
    }
    if (r.isEmpty())
        return QRect();
    const QRect visible = view()->viewport()->rect();
    r = r.intersected(visible);
    if (r.isEmpty())
        return QRect();
    return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

void BrowserAccessible::selectLink(int index)
{
    if (index < 0 || index >= childCount())
        return;
    QTextCursor cursor(view()->document());
    cursor.setPosition(m_links[size_t(index)].start);
    cursor.setPosition(m_links[size_t(index)].end, QTextCursor::KeepAnchor);
    view()->setFocus(Qt::OtherFocusReason);
    view()->setTextCursor(cursor);
    view()->ensureCursorVisible();
}

void BrowserAccessible::followLink(int index)
{
    if (index < 0 || index >= childCount())
        return;
    // The view may load another page at once: the address is copied first.
    const QString href = m_links[size_t(index)].href;
    view()->navigate(href);
}

void BrowserAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = view()->textCursor();
    if (selectionIndex != 0 || !cursor.hasSelection())
        return;
    *startOffset = cursor.selectionStart();
    *endOffset = cursor.selectionEnd();
}

int BrowserAccessible::selectionCount() const
{
    return view()->textCursor().hasSelection() ? 1 : 0;
}

void BrowserAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void BrowserAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = view()->textCursor();
    cursor.clearSelection();
    view()->setTextCursor(cursor);
}

void BrowserAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int count = characterCount();
    QTextCursor cursor(view()->document());
    cursor.setPosition(qBound(0, startOffset, count));
    cursor.setPosition(qBound(0, endOffset, count), QTextCursor::KeepAnchor);
    view()->setTextCursor(cursor);
}

int BrowserAccessible::cursorPosition() const
{
    return view()->textCursor().position();
}

void BrowserAccessible::setCursorPosition(int position)
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(qBound(0, position, characterCount()));
    view()->setTextCursor(cursor);
}

QString BrowserAccessible::text(int startOffset, int endOffset) const
{
    // toPlainText() turns paragraph, line and frame markers into line ends,
    // one character for one, so offsets stay the document's positions.
    const QString plain = view()->document()->toPlainText();
    startOffset = qBound(0, startOffset, int(plain.size()));
    endOffset = endOffset < 0 ? int(plain.size()) : qBound(startOffset, endOffset, int(plain.size()));
    return plain.mid(startOffset, endOffset - startOffset);
}

int BrowserAccessible::characterCount() const
{
    return qMax(0, view()->document()->characterCount() - 1);
}

QRect BrowserAccessible::characterRect(int offset) const
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(qBound(0, offset, characterCount()));
    const QRect r = view()->cursorRect(cursor);
    return QRect(view()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

int BrowserAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(local))
        return -1;
    return view()->cursorForPosition(local).position();
}

void BrowserAccessible::scrollToSubstring(int startIndex, int)
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(qBound(0, startIndex, characterCount()));
    const QRect r = view()->cursorRect(cursor);
    QScrollBar *bar = view()->verticalScrollBar();
    bar->setValue(bar->value() + r.top());
}

QString BrowserAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = qBound(0, offset, characterCount());
    return QString();
}
