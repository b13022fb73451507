#pragma once
// PaneAnnouncement: what the task pane says without moving the focus. Qt
// 6.4's AT-SPI bridge passes on no "expanded" state change, and the name or
// description change it does pass on carries no text, so a screen reader
// stays silent when a group opens or closes. A notification that is shown
// is read out by screen readers; this is that notification, a child of the
// pane outside its list of groups, shown anew with each message.

#include <QAccessibleInterface>
#include <QPointer>

class CPanelkitCtrl;

class PaneAnnouncement : public QAccessibleInterface
{
public:
    explicit PaneAnnouncement(CPanelkitCtrl *ctrl);

    // Takes the text and tells assistive technology that it is shown.
    void announce(const QString &text);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override;

private:
    QPointer<CPanelkitCtrl> m_ctrl;
    QString m_text;
};
