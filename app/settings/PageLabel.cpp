#include "PageLabel.h"

#include "AccessibleFactory.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

class PageLabelAccessible : public QAccessibleWidget
{
public:
    explicit PageLabelAccessible(PageLabel *label) : QAccessibleWidget(label, QAccessible::PageTab) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = label()->isCurrent();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            emit label()->activated(label()->index());
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    PageLabel *label() const { return static_cast<PageLabel *>(widget()); }
};

} // namespace

PageLabel::PageLabel(int index, const QString &caption, QWidget *parent) : QLabel(caption, parent), m_index(index)
{
    installAccessibleFactory<PageLabel, PageLabelAccessible>();
    setObjectName(QStringLiteral("Label1_%1").arg(index));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(caption);
    setAccessibleDescription(QStringLiteral("Seite „%1“ der Einstellungen anzeigen").arg(caption));
    setMargin(4);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.15);
    setFont(f);
    updateColor();
}

QColor PageLabel::normalColor()
{
    return QColor(255, 255, 255);
}

QColor PageLabel::highlightColor()
{
    return QColor(255, 255, 0);
}

QSize PageLabel::sizeHint() const
{
    // Room for the caption in bold, as the current page shows it, so that
    // the column keeps its width whichever page is chosen.
    QFont bold = font();
    bold.setBold(true);
    const int extra = QFontMetrics(bold).horizontalAdvance(text()) - fontMetrics().horizontalAdvance(text());
    const QSize hint = QLabel::sizeHint();
    return {hint.width() + qMax(0, extra), qMax(hint.height(), QFontMetrics(bold).height() + 2 * margin())};
}

QSize PageLabel::minimumSizeHint() const
{
    return sizeHint();
}

void PageLabel::setCurrent(bool current)
{
    const bool changed = m_current != current;
    m_current = current;
    QFont f = font();
    f.setBold(current);
    setFont(f);
    if (!changed)
        return;
    // A screen reader hears which page now shows: the tab's selected state
    // changed (told as a selection event too, which is what reaches AT-SPI).
    QAccessible::State selected;
    selected.selected = true;
    QAccessibleStateChangeEvent state(this, selected);
    QAccessible::updateAccessibility(&state);
    QAccessibleEvent selection(this, current ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&selection);
}

void PageLabel::clearHover()
{
    if (!m_hovered)
        return;
    m_hovered = false;
    updateColor();
}

void PageLabel::updateColor()
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, isHighlighted() ? highlightColor() : normalColor());
    setPalette(p);
}

void PageLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit activated(m_index);
    QLabel::mousePressEvent(event);
}

void PageLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit activated(m_index);
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        emit moveRequested(m_index, -1);
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        emit moveRequested(m_index, +1);
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void PageLabel::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    updateColor();
    QLabel::enterEvent(event);
}

void PageLabel::leaveEvent(QEvent *event)
{
    m_hovered = false;
    updateColor();
    QLabel::leaveEvent(event);
}

void PageLabel::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    updateColor();
}

void PageLabel::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    updateColor();
}
