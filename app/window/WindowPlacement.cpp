#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace {

// Beyond any desktop there is; a larger number is a damaged value.
constexpr int kLimit = 100000;

} // namespace

QString WindowPlacement::toString() const
{
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(geometry.x())
        .arg(geometry.y())
        .arg(geometry.width())
        .arg(geometry.height())
        .arg(maximized ? 1 : 0);
}

std::optional<WindowPlacement> WindowPlacement::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 5)
        return std::nullopt;
    int values[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || values[i] < -kLimit || values[i] > kLimit)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0 || (values[4] != 0 && values[4] != 1))
        return std::nullopt;
    WindowPlacement p;
    p.geometry = QRect(values[0], values[1], values[2], values[3]);
    p.maximized = values[4] == 1;
    return p;
}

QRect WindowPlacement::fitted(const QRect &wanted, const QRect &available, const QSize &minimum)
{
    if (available.isEmpty())
        return wanted;
    const int width = qMax(minimum.width(), qMin(wanted.width(), available.width()));
    const int height = qMax(minimum.height(), qMin(wanted.height(), available.height()));
    const int x = qMax(available.left(), qMin(wanted.x(), available.left() + available.width() - width));
    const int y = qMax(available.top(), qMin(wanted.y(), available.top() + available.height() - height));
    return QRect(x, y, width, height);
}

WindowPlacement WindowPlacement::of(const QWidget &window)
{
    WindowPlacement p;
    p.maximized = window.isMaximized();
    p.geometry = p.maximized ? window.normalGeometry() : window.geometry();
    if (p.geometry.isEmpty())
        p.geometry = window.geometry();
    return p;
}

void WindowPlacement::applyTo(QWidget &window) const
{
    QScreen *best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(geometry);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    const QRect available = best ? best->availableGeometry() : QRect();
    window.setGeometry(fitted(geometry, available, window.minimumSize()));
    if (maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}
