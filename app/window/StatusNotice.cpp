#include "StatusNotice.h"

#include "AccessibleFactory.h"

#include <QAccessibleWidget>

namespace {

class StatusNoticeAccessible : public QAccessibleWidget
{
public:
    explicit StatusNoticeAccessible(StatusNotice *notice) : QAccessibleWidget(notice, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Description)
            return static_cast<StatusNotice *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

} // namespace

StatusNotice::StatusNotice(QWidget *parent) : QLabel(parent)
{
    installAccessibleFactory<StatusNotice, StatusNoticeAccessible>();
}

void StatusNotice::showMessage(const QString &text, Announce announce)
{
    setText(text);
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent name(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
    if (announce == Announce::Yes && !text.isEmpty() && isVisible()) {
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
}
