#pragma once
// FakeClock: a Clock that stands still until the test moves it, so waits on
// the time of day end when the test says, not after real seconds.

#include "Clock.h"

class FakeClock : public Clock
{
public:
    explicit FakeClock(const QDateTime &start = QDateTime(QDate(2026, 12, 7), QTime(9, 7, 0)))
        : m_now(start)
    {
    }
    QDateTime now() const override { return m_now; }
    qint64 monotonicNs() const override { return m_monotonicNs; }
    // Setting the time of day leaves the monotonic time alone; advancing moves
    // both, as real time does.
    void set(const QDateTime &now) { m_now = now; }
    void advanceSeconds(qint64 seconds) { advanceMs(seconds * 1000); }
    void advanceMs(qint64 ms)
    {
        m_now = m_now.addMSecs(ms);
        m_monotonicNs += ms * 1000000;
    }

private:
    QDateTime m_now;
    qint64 m_monotonicNs = 0;
};
