#pragma once
// Clock: the time of day as Quenora's behaviour sees it ($Zeit, $Datum,
// Warten, WartenBis, the time variables of speaking). SystemClock reads the
// local time; tests use FakeClock (app/testsupport), which they advance, so
// no test waits real seconds.

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    // Nanoseconds since a fixed start that never goes back when the time of
    // day is set: what pacing and durations are measured on.
    virtual qint64 monotonicNs() const
    {
        static const QElapsedTimer start = [] {
            QElapsedTimer timer;
            timer.start();
            return timer;
        }();
        return start.nsecsElapsed();
    }
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
