#pragma once
// BrowserAccessible: what a screen reader sees of the browser view, the way
// browsers expose a page. The view is a document named by the page's title
// whose text is the page's plain text (paragraph and frame markers become
// line ends, so offsets are the document's own positions); each link of the
// page is a child: a focusable, named Link whose press action follows it
// through the view's navigation and whose focus action selects it. When the
// keyboard moves to a link (Tab, or the focus coming back to a view with a
// link selected), a focus event goes to that link.

#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

class BrowserView;

// One link of the page shown: its text range and address as written.
struct PageLink {
    int start = 0;
    int end = 0;
    QString href;
    QString text;
};

// The links of a document in reading order; neighbouring fragments with
// the same address are one link.
std::vector<PageLink> pageLinks(const class QTextDocument &document);

class BrowserAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit BrowserAccessible(BrowserView *view);
    ~BrowserAccessible() override;

    static void installFactory();
    // Called by the view whenever its page or its selection changed.
    static void pageChanged(BrowserView *view);
    static void selectionChanged(BrowserView *view);
    static void focusEntered(BrowserView *view);

    QAccessible::Role role() const override { return QAccessible::Document; }
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    BrowserView *view() const;
    const std::vector<PageLink> &links() const;
    // The link whose whole text is selected, or -1.
    int selectedLink() const;
    // Global rectangle of a range of the page.
    QRect rangeRect(int start, int end) const;
    void selectLink(int index);
    void followLink(int index);

private:
    void reset();

    mutable std::vector<PageLink> m_links;
    mutable bool m_linksValid = false;
    mutable std::vector<QAccessible::Id> m_childIds;
    int m_announcedLink = -1;
};
