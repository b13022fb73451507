#include "AudioOutput.h"
#include "PcmQueue.h"
#include "PcmStream.h"

#include <QtTest>

#include <vector>

// The null output is what runs without a sound card, so it is what these
// tests exercise (QUENORA_AUDIO=null).
class tst_AudioOutput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void nullOutputIsPacedByTheClock();
    void pauseHoldsTheClock();
    void marksArriveInOrderWhenReached();
    void haltStopsAtOnce();
    void clearDropsAudioOfTheOldGeneration();
    void queueKeepsSamplesAcrossCompaction();
    void streamAppliesChannelGains_data();
    void streamAppliesChannelGains();
};

static std::vector<qint16> tone(qint64 frames, qint16 value = 1000)
{
    return std::vector<qint16>(std::size_t(frames), value);
}

void tst_AudioOutput::initTestCase()
{
    qputenv("QUENORA_AUDIO", "null");
}

void tst_AudioOutput::nullOutputIsPacedByTheClock()
{
    AudioOutput output(22050);
    QVERIFY(output.isNull());
    const auto samples = tone(22050 * 2);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    QElapsedTimer clock;
    clock.start();
    output.start();
    QTest::qWait(400);
    output.pause();
    const double expected = clock.elapsed() * 22.05;
    const double played = double(output.playedFrames());
    // Real time, with room for a loaded machine, but never "all at once".
    QVERIFY2(played > expected * 0.6 && played < expected * 1.1,
             qPrintable(QStringLiteral("played %1, expected about %2").arg(played).arg(expected)));
}

void tst_AudioOutput::pauseHoldsTheClock()
{
    AudioOutput output(22050);
    const auto samples = tone(22050 * 3);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.start();
    QTRY_VERIFY(output.playedFrames() > 2000);
    output.pause();
    QVERIFY(output.isPaused());
    const qint64 held = output.playedFrames();
    QTest::qWait(300);
    QCOMPARE(output.playedFrames(), held);
    output.resume();
    // Continues from where it was held, not from where the clock would be.
    QTRY_VERIFY(output.playedFrames() > held);
    QVERIFY(output.playedFrames() < held + 22050);
}

void tst_AudioOutput::marksArriveInOrderWhenReached()
{
    AudioOutput output(22050);
    QSignalSpy spy(&output, &AudioOutput::markReached);
    const auto samples = tone(22050 / 2); // half a second
    output.queue()->addMark(0, {11025, PcmQueue::Mark::TextEnd, 7, 0});
    output.queue()->addMark(0, {100, PcmQueue::Mark::Word, 0, 5});
    output.queue()->addMark(0, {5000, PcmQueue::Mark::Word, 6, 4});
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.start();
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<PcmQueue::Mark>().position, 0);
    QVERIFY(output.playedFrames() < 5000);
    QTRY_COMPARE(spy.count(), 3);
    QCOMPARE(spy.at(1).at(0).value<PcmQueue::Mark>().position, 6);
    QCOMPARE(spy.at(2).at(0).value<PcmQueue::Mark>().kind, PcmQueue::Mark::TextEnd);
    QVERIFY(output.playedFrames() >= 11025);
}

void tst_AudioOutput::haltStopsAtOnce()
{
    AudioOutput output(22050);
    QSignalSpy spy(&output, &AudioOutput::markReached);
    const auto samples = tone(22050);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.queue()->addMark(0, {22050, PcmQueue::Mark::TextEnd, 1, 0});
    output.start();
    QTRY_VERIFY(output.playedFrames() > 0);
    output.queue()->clear(1);
    output.halt();
    QVERIFY(!output.isRunning());
    QTest::qWait(1200);
    QCOMPARE(spy.count(), 0);
}

void tst_AudioOutput::clearDropsAudioOfTheOldGeneration()
{
    PcmQueue queue;
    const auto samples = tone(100);
    QVERIFY(queue.append(0, samples.data(), 100));
    queue.clear(1);
    QCOMPARE(queue.framesAvailable(), qint64(0));
    QVERIFY(!queue.append(0, samples.data(), 100));
    QVERIFY(!queue.addMark(0, {0, PcmQueue::Mark::Word, 1, 1}));
    QCOMPARE(queue.framesAvailable(), qint64(0));
    QVERIFY(!queue.hasMarks());
    QVERIFY(queue.append(1, samples.data(), 100));
    QCOMPARE(queue.framesAvailable(), qint64(100));
    // Positions keep counting across the clear.
    QCOMPARE(queue.framesWritten(), qint64(200));
}

void tst_AudioOutput::queueKeepsSamplesAcrossCompaction()
{
    PcmQueue queue;
    std::vector<qint16> ramp(300000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = qint16(i % 30000);
    queue.append(0, ramp.data(), qint64(ramp.size()));
    std::vector<qint16> got(1000);
    qint64 at = 0;
    while (at < qint64(ramp.size())) {
        const qint64 n = queue.read(got.data(), qint64(got.size()));
        QVERIFY(n > 0);
        for (qint64 i = 0; i < n; ++i)
            QCOMPARE(got[std::size_t(i)], ramp[std::size_t(at + i)]);
        at += n;
        if (at == 150000) // more arrives while the front has been compacted away
            queue.append(0, ramp.data(), 10);
    }
    QCOMPARE(queue.framesAvailable(), qint64(10));
}

void tst_AudioOutput::streamAppliesChannelGains_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<int>("expectedLeft");
    QTest::addColumn<int>("expectedRight");
    QTest::newRow("full") << 1.0 << 1.0 << 20000 << 20000;
    QTest::newRow("right half") << 1.0 << 0.5 << 20000 << 10000;
    QTest::newRow("left silent") << 0.0 << 1.0 << 0 << 20000;
}

void tst_AudioOutput::streamAppliesChannelGains()
{
    QFETCH(double, left);
    QFETCH(double, right);
    QFETCH(int, expectedLeft);
    QFETCH(int, expectedRight);
    auto queue = std::make_shared<PcmQueue>();
    PcmStream stream(queue);
    stream.open(QIODevice::ReadOnly);
    stream.setGains(left, right);
    const auto samples = tone(8, 20000);
    queue->append(0, samples.data(), 8);
    QCOMPARE(stream.bytesAvailable(), qint64(32));
    const QByteArray data = stream.read(1000);
    QCOMPARE(data.size(), 32);
    const auto *s = reinterpret_cast<const qint16 *>(data.constData());
    QVERIFY(qAbs(s[0] - expectedLeft) <= 1);
    QVERIFY(qAbs(s[1] - expectedRight) <= 1);
}

QTEST_GUILESS_MAIN(tst_AudioOutput)
#include "tst_audiooutput.moc"
