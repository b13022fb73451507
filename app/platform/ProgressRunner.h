#pragma once
// ProgressRunner: Quenora's one way of running work off the GUI thread. The
// work runs on a worker thread while the window keeps painting; once it has
// taken longer than a moment a progress window (through Dialogs) shows how
// far it is, and its "Abbrechen" raises the flag the work polls. User input
// waits until that window is up (it is then modal), so nothing changes
// under the work. Used by the audio export and the document opener.
//
// One run at a time per runner. A runner destroyed while its run is under
// way (its owner went while the run let events run) cancels the work and
// waits for the worker; the run then returns as cancelled without touching
// the runner.

#include "Dialogs.h"

#include <atomic>
#include <functional>
#include <memory>

class ProgressRunner
{
public:
    // What the work is given, on its worker thread.
    class Job
    {
    public:
        // Raised by the progress window's button (or a destroyed runner).
        const std::atomic<bool> &cancelFlag() const;
        bool cancelled() const { return cancelFlag().load(); }
        // The share done, in thousandths; any thread, as often as it likes:
        // the window hears of each new value once, queued to the GUI thread.
        void report(int permille);
        // What is being done now, shown as the window's label; any thread,
        // queued to the GUI thread like report.
        void describe(const QString &label);

    private:
        friend class ProgressRunner;
        struct State;
        explicit Job(const std::shared_ptr<State> &state) : m_state(state) {}
        std::shared_ptr<State> m_state;
    };

    explicit ProgressRunner(Dialogs &dialogs);
    ~ProgressRunner();
    ProgressRunner(const ProgressRunner &) = delete;
    ProgressRunner &operator=(const ProgressRunner &) = delete;

    // Runs work on a worker thread and returns once it has ended, letting
    // the window's events run meanwhile. True when the user cancelled
    // (also when the cancel came as the work finished).
    bool run(const Dialogs::ProgressRequest &request, const std::function<void(Job &)> &work);

    bool isRunning() const { return m_state != nullptr; }

private:
    Dialogs &m_dialogs;
    std::shared_ptr<Job::State> m_state;
};
