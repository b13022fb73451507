#include "BackgroundLayoutScheduler.h"

#include "Clock.h"

#include <QTimerEvent>

namespace {

// While the user types the slices wait, looking again this often.
constexpr int kWaitWhileTypingMs = 60;

} // namespace

BackgroundLayoutScheduler::BackgroundLayoutScheduler(Work &work, const Clock &clock)
    : m_work(work)
    , m_clock(clock)
{
}

void BackgroundLayoutScheduler::start()
{
    if (!m_timer.isActive()) {
        m_waiting = false;
        m_timer.start(0, this);
    }
}

void BackgroundLayoutScheduler::stop()
{
    m_timer.stop();
}

void BackgroundLayoutScheduler::noteEdit()
{
    m_edited = true;
    m_editNs = m_clock.monotonicNs();
}

bool BackgroundLayoutScheduler::typing() const
{
    return m_edited && m_clock.monotonicNs() - m_editNs < kTypingPauseNs;
}

bool BackgroundLayoutScheduler::sliceOver() const
{
    return m_clock.monotonicNs() - m_sliceStartNs > kSliceNs;
}

void BackgroundLayoutScheduler::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (!m_work.hasBackgroundWork()) {
        m_timer.stop();
        return;
    }
    if (typing()) {
        if (!m_waiting) {
            m_waiting = true;
            m_timer.start(kWaitWhileTypingMs, this);
        }
        return;
    }
    if (m_waiting) {
        m_waiting = false;
        m_timer.start(0, this);
    }
    m_sliceStartNs = m_clock.monotonicNs();
    m_work.runBackgroundSlice();
    if (!m_work.hasBackgroundWork())
        m_timer.stop();
}
