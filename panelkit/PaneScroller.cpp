#include "PaneScroller.h"

#include "PaneGeometry.h"
#include "PaneModel.h"

#include <QScrollBar>

#include <cmath>

namespace {

// While an animation runs, a job looks again this often.
constexpr int kAnimationPollMs = 5;

int scrollDelay(int distance)
{
    if (distance <= 10)
        return 30;
    if (distance <= 80)
        return 10;
    return 0;
}

} // namespace

PaneScroller::PaneScroller(Host &host, PaneModel &model, QScrollBar &scrollBar, QObject *parent)
    : QObject(parent), m_host(host), m_model(model), m_scrollBar(scrollBar)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PaneScroller::runStep);
}

PaneScroller::~PaneScroller()
{
    clear();
}

void PaneScroller::enqueue(const PaneJob &job)
{
    m_jobs.push_back(job);
    if (!m_current && !m_timer.isActive())
        schedule(0);
}

int PaneScroller::pendingCount() const
{
    return int(m_jobs.size()) + (m_current ? 1 : 0);
}

void PaneScroller::clear()
{
    m_timer.stop();
    m_jobs.clear();
    m_current.reset();
}

void PaneScroller::forgetItem(const PaneItem *item)
{
    for (PaneJob &job : m_jobs) {
        if (job.item == item)
            job.item = nullptr;
    }
    if (m_current && m_current->item == item)
        m_current->item = nullptr;
}

void PaneScroller::schedule(int delayMs)
{
    m_timer.start(qMax(0, delayMs));
}

void PaneScroller::runStep()
{
    if (!m_current) {
        if (m_jobs.empty())
            return;
        m_current = m_jobs.front();
        m_jobs.pop_front();
    }
    // The step may emit signals whose receivers change the pane (or clear
    // this queue), so it works on a copy that is written back only when the
    // job is still the current one afterwards.
    PaneJob job = *m_current;
    const int delay = step(job);
    if (!m_current)
        return; // cleared meanwhile
    if (delay >= 0) {
        const PaneItem *item = m_current->item;
        *m_current = job;
        if (!item)
            m_current->item = nullptr; // forgotten during the step
        schedule(delay);
        return;
    }
    m_current.reset();
    if (!m_jobs.empty())
        schedule(0);
}

void PaneScroller::runNow(PaneJob job)
{
    // Before a host has taken the pane over nothing animates or scrolls
    // smoothly, so the job finishes without waiting.
    for (int guard = 0; guard < 100000; ++guard) {
        if (m_host.isAnimating())
            m_host.finishAnimation();
        if (step(job) < 0)
            return;
    }
}

PaneItem *PaneScroller::itemOf(PaneJob &job) const
{
    PaneItem *item = (job.item && m_model.contains(job.item)) ? const_cast<PaneItem *>(job.item)
                                                               : m_model.itemById(job.id);
    job.item = item;
    return item;
}

int PaneScroller::step(PaneJob &job)
{
    if (job.phase == 0 && job.kind == PaneJob::RevealSelected) {
        PaneItem *item = itemOf(job);
        if (!item || item->disabled)
            return -1;
        PaneGroup *group = m_model.groupOf(item);
        if (!group->expanded)
            m_host.revealGroup(group, m_host.isTakenOver());
        job.phase = 1;
        return m_host.isAnimating() ? kAnimationPollMs : 0;
    }
    if (job.phase <= 1) {
        if (m_host.isAnimating())
            return kAnimationPollMs;
        job.phase = 2;
    }
    return scrollStep(job, m_host.isSmooth() && m_host.isTakenOver());
}

int PaneScroller::scrollStep(PaneJob &job, bool smoothAllowed)
{
    if (job.phase == 2) {
        PaneItem *item = itemOf(job);
        if (!item)
            return -1;
        if (item->disabled || !m_host.isShown()) {
            m_host.repaint();
            return -1;
        }
        const PaneGeometry &geometry = m_host.layoutForScrolling();
        if (m_scrollBar.isHidden()) {
            m_host.repaint();
            return -1;
        }
        const PaneGeometry::Entry *entry = geometry.entryOf(item);
        const int p0 = m_scrollBar.value();
        const int t = p0 + entry->y;
        const int rh = entry->rowHeight;
        const int winH = m_host.viewHeight();
        if (p0 <= t && t <= p0 + winH - rh) {
            m_host.repaint();
            return -1;
        }
        if (!smoothAllowed) {
            m_scrollBar.setValue(t);
            m_host.repaint();
            return -1;
        }
        job.position = m_scrollBar.value();
        job.rowHeight = rh;
        job.up = job.position > t;
        job.target = job.up ? qMax(t, 5) : t + rh - winH + 10;
        job.phase = 3;
    }

    // One smooth step: two pixels, with longer waits close to the target.
    // Far from it the steps grow with the distance, so that a long way
    // (a tall pane) takes a moment rather than thousands of frames.
    auto stride = [](int distance) { return distance > 80 ? qMax(2, (distance - 80) / 4) : 2; };
    int &p = job.position;
    if (job.up) {
        if (!(p > job.target - job.rowHeight + 2) || p < m_scrollBar.minimum()) {
            m_host.repaint();
            return -1;
        }
        m_scrollBar.setValue(p);
        const int distance = std::abs(p - job.target + 5);
        p -= stride(distance);
        return scrollDelay(distance);
    }
    if (!(p < job.target) || p > m_scrollBar.maximum()) {
        m_host.repaint();
        return -1;
    }
    m_scrollBar.setValue(p);
    const int distance = std::abs(p - job.target);
    p += stride(distance);
    return scrollDelay(distance);
}
