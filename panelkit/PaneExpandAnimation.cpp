#include "PaneExpandAnimation.h"

#include <QPainter>

PaneExpandAnimation::PaneExpandAnimation(QObject *parent) : QObject(parent), m_timeLine(this)
{
    connect(&m_timeLine, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        if (!m_running)
            return;
        m_shown = value.toInt();
        emit frameChanged();
    });
    connect(&m_timeLine, &QVariantAnimation::finished, this, [this] {
        if (!m_running)
            return;
        m_running = false;
        m_expanded = QImage();
        emit finished();
    });
}

void PaneExpandAnimation::start(QImage expanded, int bodyTop, int bodyHeight, bool expanding, int durationMs)
{
    stop();
    m_expanded = std::move(expanded);
    m_bodyTop = bodyTop;
    m_bodyHeight = bodyHeight;
    m_shown = expanding ? 1 : bodyHeight;
    m_running = true;
    m_timeLine.setDuration(qMax(1, durationMs));
    m_timeLine.setStartValue(m_shown);
    m_timeLine.setEndValue(expanding ? bodyHeight : 0);
    m_timeLine.start();
}

void PaneExpandAnimation::stop()
{
    m_running = false;
    m_timeLine.stop();
    m_expanded = QImage();
}

void PaneExpandAnimation::paint(QPainter &painter, const QSize &client) const
{
    const int w = client.width();
    const int top = qMax(0, m_bodyTop);
    painter.drawImage(QRect(0, 0, w, top), m_expanded, QRect(0, 0, w, top));
    painter.drawImage(QRect(0, m_bodyTop, w, m_shown), m_expanded, QRect(0, m_bodyTop, w, m_bodyHeight));
    const int belowTop = m_bodyTop + m_shown;
    const int belowHeight = client.height() - belowTop;
    if (belowHeight > 0)
        painter.drawImage(QRect(0, belowTop, w, belowHeight), m_expanded,
                          QRect(0, m_bodyTop + m_bodyHeight, w, belowHeight));
}
