#include "StatusNotice.h"

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

QAccessibleInterface *noticeFactory(const QString &, QObject *object)
{
    if (auto *notice = qobject_cast<StatusNotice *>(object))
        return new StatusNoticeAccessible(notice);
    return nullptr;
}

} // namespace

StatusNotice::StatusNotice(QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeFactory);
        return true;
    }();
    Q_UNUSED(installed);
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
