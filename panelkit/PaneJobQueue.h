#pragma once
// PaneJobQueue: the pane's queue of background work (scrolling an entry
// into view, revealing the selection). Widgets may only be touched on the
// GUI thread, so the jobs run there: one job at a time, one step per timer
// tick, where a step says how long to wait before the next one. A job is a
// small state machine kept in its PaneJob record; the control supplies the
// function that advances it.

#include "PanelkitExport.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

struct PaneItem;

struct PANELKIT_EXPORT PaneJob
{
    enum Kind { ScrollIntoView = 1, RevealSelected = 2 };

    Kind kind = ScrollIntoView;
    qint32 id = 0;
    const PaneItem *item = nullptr; // cleared when the entry is deleted
    // State of a running job, owned by the control's step function.
    int phase = 0;
    int position = 0;
    int target = 0;
    int rowHeight = 0;
    bool up = false;
};

class PANELKIT_EXPORT PaneJobQueue : public QObject
{
    Q_OBJECT
public:
    // Advances a job by one step and returns the milliseconds to wait before
    // the next step, or -1 when the job is done.
    using Stepper = std::function<int(PaneJob &)>;

    explicit PaneJobQueue(Stepper stepper, QObject *parent = nullptr);
    ~PaneJobQueue() override;

    void enqueue(const PaneJob &job);
    // Jobs waiting plus the one running.
    int pendingCount() const;
    // Stops the running job and drops every queued one without running it.
    void clear();
    // An entry is going away: jobs that pointed at it fall back to its id.
    void forgetItem(const PaneItem *item);

private:
    void runStep();
    void schedule(int delayMs);

    Stepper m_stepper;
    std::deque<PaneJob> m_jobs;
    std::optional<PaneJob> m_current;
    QTimer m_timer;
};
