#pragma once

// BackgroundLayoutScheduler: runs the layout of the blocks that carry only an
// estimated height in short slices on the GUI thread. A slice yields after a
// few milliseconds, and while the user types (the last edit less than a pause
// ago) no slice runs at all, so that a key press never queues behind one; the
// slices go on in the pauses. Time is the monotonic time of the injected
// Clock, so tests decide when a slice is over and when the user has paused.

#include <QBasicTimer>
#include <QObject>

class Clock;

class BackgroundLayoutScheduler : public QObject
{
public:
    // What a slice does.
    class Work
    {
    public:
        // Whether anything is left to lay out.
        virtual bool hasBackgroundWork() const = 0;
        // Lays out one block after the other until sliceOver(), at least one.
        virtual void runBackgroundSlice() = 0;

    protected:
        ~Work() = default;
    };

    // Time one slice may take before it yields.
    static constexpr qint64 kSliceNs = 4'000'000;
    // How long after an edit the user counts as typing.
    static constexpr qint64 kTypingPauseNs = 150'000'000;

    BackgroundLayoutScheduler(Work &work, const Clock &clock);

    // Runs slices, from the event loop, until the work is done or stop().
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // The text was just edited: slices wait until the user pauses.
    void noteEdit();
    // Whether the running slice has used up its time.
    bool sliceOver() const;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    bool typing() const;

    Work &m_work;
    const Clock &m_clock;
    QBasicTimer m_timer;
    bool m_waiting = false;
    bool m_edited = false;
    qint64 m_editNs = 0;
    qint64 m_sliceStartNs = 0;
};
