#pragma once
// PageLabel: one entry of the settings dialog's column of page names. It is
// the only way to a page, so besides the mouse it takes the keyboard focus
// (Tab), moves to its neighbours with the arrow keys and opens its page with
// Enter or Space; it turns yellow while the mouse is over it or it has the
// focus, white otherwise. Screen readers meet it as a page tab (selected
// while its page shows) that can be pressed, not as static text.

#include <QLabel>

class PageLabel : public QLabel
{
    Q_OBJECT
public:
    PageLabel(int index, const QString &caption, QWidget *parent = nullptr);

    int index() const { return m_index; }
    bool isHighlighted() const { return m_hovered || hasFocus(); }
    void setCurrent(bool current);
    bool isCurrent() const { return m_current; }
    // Back to white while the mouse is over the dialog's background.
    void clearHover();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static QColor normalColor();
    static QColor highlightColor();

signals:
    void activated(int index);
    // -1: the label above, +1: the one below.
    void moveRequested(int index, int step);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void updateColor();

    int m_index;
    bool m_hovered = false;
    bool m_current = false;
};
