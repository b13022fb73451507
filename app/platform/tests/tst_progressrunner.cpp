// Work off the GUI thread behind a progress window: what the window is
// told, the window's cancel reaching the work, and an owner that goes while
// the work runs.
#include "ProgressRunner.h"
#include "ScriptedDialogs.h"

#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

const Dialogs::ProgressRequest kRequest{QStringLiteral("Titel"), QStringLiteral("Läuft …"),
                                        QStringLiteral("Abbrechen")};

void waitForCancel(const ProgressRunner::Job &job)
{
    while (!job.cancelled())
        QThread::yieldCurrentThread();
}

} // namespace

class tst_ProgressRunner : public QObject
{
    Q_OBJECT
private slots:
    void windowHearsEachNewValueUntilTheEnd()
    {
        ScriptedDialogs dialogs;
        ProgressRunner runner(dialogs);
        bool ranOffTheGuiThread = false;
        const bool cancelled = runner.run(kRequest, [&](ProgressRunner::Job &job) {
            ranOffTheGuiThread = QThread::currentThread() != qApp->thread();
            for (int permille : {0, 0, 250, 250, 1000})
                job.report(permille);
        });
        QVERIFY(!cancelled);
        QVERIFY(ranOffTheGuiThread);
        QVERIFY(!runner.isRunning());
        QCOMPARE(dialogs.progressWindows.size(), 1);
        QCOMPARE(dialogs.progressWindows[0].request.label, kRequest.label);
        QCOMPARE(dialogs.progressWindows[0].values, (QList<int>{0, 250, 1000}));
        QVERIFY(dialogs.progressWindows[0].closed);
    }

    void cancelReachesTheWork_data()
    {
        QTest::addColumn<int>("cancelAfter");
        QTest::newRow("as the window opens") << 0;
        QTest::newRow("after the first value") << 1;
    }
    void cancelReachesTheWork()
    {
        QFETCH(int, cancelAfter);
        ScriptedDialogs dialogs;
        dialogs.cancelProgressAfter = cancelAfter;
        ProgressRunner runner(dialogs);
        QVERIFY(runner.run(kRequest, [](ProgressRunner::Job &job) {
            job.report(10);
            waitForCancel(job);
        }));
        // The next run starts without the last one's cancel.
        dialogs.cancelProgressAfter = -1;
        bool cancelledAtStart = true;
        QVERIFY(!runner.run(kRequest, [&](ProgressRunner::Job &job) { cancelledAtStart = job.cancelled(); }));
        QVERIFY(!cancelledAtStart);
    }

    // The window closes while a file is being read: the work is told to stop
    // and has ended before the owner is gone.
    void ownerGoneDuringTheRunCancelsAndWaits()
    {
        ScriptedDialogs dialogs;
        auto runner = std::make_unique<ProgressRunner>(dialogs);
        std::atomic<bool> workEnded{false};
        bool endedBeforeOwnerWent = false;
        QTimer::singleShot(0, [&] {
            runner.reset();
            endedBeforeOwnerWent = workEnded;
        });
        const bool cancelled = runner->run(kRequest, [&](ProgressRunner::Job &job) {
            waitForCancel(job);
            workEnded = true;
        });
        QVERIFY(cancelled);
        QVERIFY(!runner);
        QVERIFY(endedBeforeOwnerWent);
        QVERIFY(dialogs.progressWindows[0].closed);
    }
};

QTEST_MAIN(tst_ProgressRunner)
#include "tst_progressrunner.moc"
