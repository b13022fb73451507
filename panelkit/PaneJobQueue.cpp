#include "PaneJobQueue.h"

PaneJobQueue::PaneJobQueue(Stepper stepper, QObject *parent)
    : QObject(parent), m_stepper(std::move(stepper))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PaneJobQueue::runStep);
}

PaneJobQueue::~PaneJobQueue()
{
    clear();
}

void PaneJobQueue::enqueue(const PaneJob &job)
{
    m_jobs.push_back(job);
    if (!m_current && !m_timer.isActive())
        schedule(0);
}

int PaneJobQueue::pendingCount() const
{
    return int(m_jobs.size()) + (m_current ? 1 : 0);
}

void PaneJobQueue::clear()
{
    m_timer.stop();
    m_jobs.clear();
    m_current.reset();
}

void PaneJobQueue::forgetItem(const PaneItem *item)
{
    for (PaneJob &job : m_jobs) {
        if (job.item == item)
            job.item = nullptr;
    }
    if (m_current && m_current->item == item)
        m_current->item = nullptr;
}

void PaneJobQueue::schedule(int delayMs)
{
    m_timer.start(qMax(0, delayMs));
}

void PaneJobQueue::runStep()
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
    const int delay = m_stepper ? m_stepper(job) : -1;
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
