#include "EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace EventWait {

void until(const std::function<bool()> &done, int pollMs)
{
    if (done())
        return;
    // The timer only ends a sleep that no event would end; the loop never
    // spins, it blocks in the event dispatcher between passes.
    QTimer wake;
    wake.setTimerType(Qt::CoarseTimer);
    wake.start(pollMs > 0 ? pollMs : kDefaultPollMs);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void letEventsRun()
{
    QCoreApplication::processEvents();
}

} // namespace EventWait
