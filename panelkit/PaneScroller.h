#pragma once
// PaneScroller: the pane's queue of scrolling work (scrolling an entry into
// view, revealing the selection). Widgets may only be touched on the GUI
// thread, so the jobs run there: one job at a time, one step per timer
// tick, where a step says how long to wait before the next one. A job is a
// small state machine kept in its PaneJob record: reveal the entry's group
// (waiting for its animation), then scroll smoothly, two pixels a step and
// slower close to the target, or at once where smooth scrolling is off.

#include <QObject>
#include <QTimer>

#include <deque>
#include <optional>

class PaneGeometry;
class PaneModel;
class QScrollBar;
struct PaneGroup;
struct PaneItem;

struct PaneJob
{
    enum Kind { ScrollIntoView = 1, RevealSelected = 2 };

    Kind kind = ScrollIntoView;
    qint32 id = 0;
    const PaneItem *item = nullptr; // cleared when the entry is deleted
    // State of a running job.
    int phase = 0;
    int position = 0;
    int target = 0;
    int rowHeight = 0;
    bool up = false;
};

class PaneScroller : public QObject
{
    Q_OBJECT
public:
    // What the scroller needs of the pane besides its model and scroll bar.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual bool isShown() const = 0;
        virtual bool isTakenOver() const = 0; // a host fills the pane: jobs may animate
        virtual bool isSmooth() const = 0;
        virtual bool isAnimating() const = 0;
        virtual void finishAnimation() = 0;
        virtual void revealGroup(PaneGroup *group, bool animate) = 0;
        // Lays out (everything is painted anew) and returns the geometry.
        virtual const PaneGeometry &layoutForScrolling() = 0;
        virtual int viewHeight() const = 0;
        virtual void repaint() = 0;
    };

    PaneScroller(Host &host, PaneModel &model, QScrollBar &scrollBar, QObject *parent = nullptr);
    ~PaneScroller() override;

    void enqueue(const PaneJob &job);
    // Runs a job to its end without waiting (before a host takes the pane).
    void runNow(PaneJob job);
    // Jobs waiting plus the one running.
    int pendingCount() const;
    // Stops the running job and drops every queued one without running it.
    void clear();
    // An entry is going away: jobs that pointed at it fall back to its id.
    void forgetItem(const PaneItem *item);

private:
    void runStep();
    void schedule(int delayMs);
    // Advances a job by one step and returns the milliseconds to wait before
    // the next step, or -1 when the job is done.
    int step(PaneJob &job);
    int scrollStep(PaneJob &job, bool smoothAllowed);
    PaneItem *itemOf(PaneJob &job) const;

    Host &m_host;
    PaneModel &m_model;
    QScrollBar &m_scrollBar;
    std::deque<PaneJob> m_jobs;
    std::optional<PaneJob> m_current;
    QTimer m_timer;
};
