#include "AudioOutput.h"
#include "OutputTicks.h"
#include "FakeClock.h"
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
    void audioArrivingLateIsNotSkipped();
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
    FakeClock clock;
    AudioOutput output(22050, clock);
    QVERIFY(output.isNull());
    const auto samples = tone(22050 * 2);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.start();
    QVERIFY(letOutputTick(output));
    // The clock has not moved: nothing has been heard yet.
    QCOMPARE(output.playedFrames(), qint64(0));
    clock.advanceMs(400);
    QTRY_COMPARE(output.playedFrames(), qint64(22050 * 4 / 10));
    clock.advanceMs(600);
    QTRY_COMPARE(output.playedFrames(), qint64(22050));
    // Never more than there is.
    clock.advanceSeconds(5);
    QTRY_COMPARE(output.playedFrames(), qint64(22050 * 2));
}

void tst_AudioOutput::pauseHoldsTheClock()
{
    FakeClock clock;
    AudioOutput output(22050, clock);
    const auto samples = tone(22050 * 3);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.start();
    clock.advanceMs(100);
    QTRY_COMPARE(output.playedFrames(), qint64(2205));
    output.pause();
    QVERIFY(output.isPaused());
    clock.advanceSeconds(2);
    QVERIFY(letOutputTick(output));
    QCOMPARE(output.playedFrames(), qint64(2205));
    output.resume();
    QVERIFY(letOutputTick(output));
    // Continues from where it was held, not from where the clock would be.
    QCOMPARE(output.playedFrames(), qint64(2205));
    clock.advanceMs(100);
    QTRY_COMPARE(output.playedFrames(), qint64(4410));
}

void tst_AudioOutput::marksArriveInOrderWhenReached()
{
    FakeClock clock;
    AudioOutput output(22050, clock);
    QSignalSpy spy(&output, &AudioOutput::markReached);
    const auto samples = tone(22050 / 2); // half a second
    output.queue()->addMark(0, {11025, PcmQueue::Mark::TextEnd, 7, 0});
    output.queue()->addMark(0, {100, PcmQueue::Mark::Word, 0, 5});
    output.queue()->addMark(0, {5000, PcmQueue::Mark::Word, 6, 4});
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.start();
    clock.advanceMs(10); // 220 frames: past the first word only
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<PcmQueue::Mark>().position, 0);
    QVERIFY(letOutputTick(output));
    QCOMPARE(spy.count(), 1);
    clock.advanceMs(490);
    QTRY_COMPARE(spy.count(), 3);
    QCOMPARE(spy.at(1).at(0).value<PcmQueue::Mark>().position, 6);
    QCOMPARE(spy.at(2).at(0).value<PcmQueue::Mark>().kind, PcmQueue::Mark::TextEnd);
    QCOMPARE(output.playedFrames(), qint64(11025));
}

void tst_AudioOutput::audioArrivingLateIsNotSkipped()
{
    // The synthesis may fall behind; the clock must wait for the audio
    // instead of counting the gap as heard.
    FakeClock clock;
    AudioOutput output(22050, clock);
    output.start();
    clock.advanceSeconds(1);
    QVERIFY(letOutputTick(output));
    QCOMPARE(output.playedFrames(), qint64(0));
    const auto samples = tone(22050);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    QVERIFY(letOutputTick(output));
    QCOMPARE(output.playedFrames(), qint64(0));
    clock.advanceMs(200);
    QTRY_COMPARE(output.playedFrames(), qint64(4410));
}

void tst_AudioOutput::haltStopsAtOnce()
{
    FakeClock clock;
    AudioOutput output(22050, clock);
    QSignalSpy spy(&output, &AudioOutput::markReached);
    const auto samples = tone(22050);
    output.queue()->append(0, samples.data(), qint64(samples.size()));
    output.queue()->addMark(0, {22050, PcmQueue::Mark::TextEnd, 1, 0});
    output.start();
    clock.advanceMs(100);
    QTRY_VERIFY(output.playedFrames() > 0);
    output.queue()->clear(1);
    output.halt();
    QVERIFY(!output.isRunning());
    clock.advanceSeconds(2);
    QVERIFY(letOutputTick(output));
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
