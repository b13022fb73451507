#pragma once
// Lets an AudioOutput's timer act a few times: waits for its ticks, not for
// a stretch of time, so a slow machine makes the test slower, never wrong.

#include "AudioOutput.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

inline bool letOutputTick(AudioOutput &output, int ticks = 3)
{
    auto *timer = output.findChild<QTimer *>(QStringLiteral("AudioOutputTick"), Qt::FindDirectChildrenOnly);
    if (!timer)
        return false;
    QSignalSpy fired(timer, &QTimer::timeout);
    if (!timer->isActive()) {
        // A stopped output does nothing more; only what is already queued runs.
        QCoreApplication::processEvents();
        return true;
    }
    return QTest::qWaitFor([&] { return fired.count() >= ticks; }, 10000);
}
