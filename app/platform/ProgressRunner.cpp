#include "ProgressRunner.h"

#include <QCoreApplication>
#include <QThread>

struct ProgressRunner::Job::State {
    std::atomic<bool> cancel{false};
    std::atomic<int> reported{-1};
    // GUI thread only.
    QObject *receiver = nullptr; // lives until the worker has ended
    Dialogs::Progress *window = nullptr;
    QThread *worker = nullptr;
    bool finished = false;
    bool runnerGone = false;
};

const std::atomic<bool> &ProgressRunner::Job::cancelFlag() const
{
    return m_state->cancel;
}

void ProgressRunner::Job::report(int permille)
{
    if (m_state->reported.exchange(permille) == permille)
        return;
    // Queued to an object of the run: reports still on their way when the
    // run ends go with it.
    QMetaObject::invokeMethod(
        m_state->receiver,
        [state = m_state, permille] {
            if (state->window)
                state->window->setValue(permille);
        },
        Qt::QueuedConnection);
}

void ProgressRunner::Job::describe(const QString &label)
{
    QMetaObject::invokeMethod(
        m_state->receiver,
        [state = m_state, label] {
            if (state->window)
                state->window->setLabel(label);
        },
        Qt::QueuedConnection);
}

ProgressRunner::ProgressRunner(Dialogs &dialogs) : m_dialogs(dialogs) {}

ProgressRunner::~ProgressRunner()
{
    // The worker reads and writes files its caller named; it must not
    // outlive the owner that started it.
    if (m_state) {
        m_state->runnerGone = true;
        m_state->cancel = true;
        m_state->worker->wait();
    }
}

bool ProgressRunner::run(const Dialogs::ProgressRequest &request, const std::function<void(Job &)> &work)
{
    const auto state = std::make_shared<Job::State>();
    QObject receiver;
    state->receiver = &receiver;
    std::unique_ptr<Dialogs::Progress> window = m_dialogs.progress(request, [state] { state->cancel = true; });
    state->window = window.get();
    QThread *worker = QThread::create([state, &work] {
        Job job(state);
        work(job);
    });
    state->worker = worker;
    m_state = state;
    QObject::connect(worker, &QThread::finished, &receiver, [state] { state->finished = true; });
    worker->start();
    while (!state->finished) {
        // Paint and timers run all along; clicks and keys wait until the
        // modal progress window is there to take them.
        const QEventLoop::ProcessEventsFlags flags =
            window->isShown() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
    worker->wait();
    delete worker;
    state->window = nullptr;
    window.reset();
    if (!state->runnerGone)
        m_state.reset();
    return state->cancel.load();
}
