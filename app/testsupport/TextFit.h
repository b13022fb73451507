#pragma once
// TextFit: whether a window's texts can be read whole, the way a user with
// large type sees them. cutTexts() names every shown label and button that
// got less room than its text needs (a wrapped label: the height its width
// needs); overlappingTexts() names shown labels of one parent that cover
// each other. Both return an empty list when all is well, and otherwise one
// line per fault for the test's message.

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace TextFit {

inline QString describe(const QWidget *w)
{
    const auto *label = qobject_cast<const QLabel *>(w);
    const auto *button = qobject_cast<const QAbstractButton *>(w);
    const QString text = label ? label->text() : button ? button->text() : QString();
    return QStringLiteral("%1 \"%2\"").arg(w->objectName(), text.left(40));
}

inline QStringList cutTexts(const QWidget *window)
{
    QStringList cut;
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (const QWidget *w : widgets) {
        if (!w->isVisible())
            continue;
        QSize needed;
        if (const auto *label = qobject_cast<const QLabel *>(w)) {
            if (label->text().isEmpty())
                continue;
            needed = label->wordWrap() ? QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()))
                                       : label->sizeHint();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            if (button->text().isEmpty())
                continue;
            needed = button->sizeHint();
        } else {
            continue;
        }
        if (needed.width() > w->width() || needed.height() > w->height())
            cut << QStringLiteral("%1 needs %2x%3, has %4x%5")
                       .arg(describe(w))
                       .arg(needed.width())
                       .arg(needed.height())
                       .arg(w->width())
                       .arg(w->height());
    }
    return cut;
}

inline QStringList overlappingTexts(const QWidget *window)
{
    QStringList overlaps;
    QList<const QLabel *> labels;
    for (const QLabel *label : window->findChildren<QLabel *>())
        if (label->isVisible() && !label->text().isEmpty())
            labels << label;
    for (int i = 0; i < labels.size(); ++i)
        for (int j = i + 1; j < labels.size(); ++j)
            if (labels[i]->parentWidget() == labels[j]->parentWidget()
                && labels[i]->geometry().intersects(labels[j]->geometry()))
                overlaps << describe(labels[i]) + QStringLiteral(" covers ") + describe(labels[j]);
    return overlaps;
}

} // namespace TextFit
