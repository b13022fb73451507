#pragma once
// PaneExpandAnimation: a group's body sliding open or shut. The model has
// already changed when it starts; the animation only shows the change, on
// a picture of the pane with the body open, taken once at the start. One
// QVariantAnimation drives it from the first frame to the last over the
// duration the style gives widget animations, so tests (and a style that
// wants none) decide how long it takes.

#include <QImage>
#include <QObject>
#include <QVariantAnimation>

class QPainter;

class PaneExpandAnimation : public QObject
{
    Q_OBJECT
public:
    explicit PaneExpandAnimation(QObject *parent = nullptr);

    // `expanded` shows the pane with the body open; the body starts at
    // bodyTop (widget coordinates) and is bodyHeight tall.
    void start(QImage expanded, int bodyTop, int bodyHeight, bool expanding, int durationMs);
    // Ends at once without finished(); the owner shows the final state.
    void stop();
    bool isRunning() const { return m_running; }
    // The current frame: what lies above the body, the part of the body
    // shown so far, and below it what follows the body.
    void paint(QPainter &painter, const QSize &client) const;

signals:
    void frameChanged();
    void finished();

private:
    QVariantAnimation m_timeLine;
    QImage m_expanded;
    int m_bodyTop = 0;
    int m_bodyHeight = 0;
    int m_shown = 0; // body pixels currently shown
    bool m_running = false;
};
