#include "EspeakEngine.h"
#include "FakeClock.h"
#include "FakeSpeechEngine.h"

#include <QtTest>

#include <functional>
#include <memory>

// What every caller relies on, checked against the real engine (as speaker on
// the silent output and as recorder) and against the fake the other tests
// use, so the fake cannot drift away from the real thing.
class tst_SpeechContract : public QObject
{
    Q_OBJECT
public:
    enum Kind { Fake, Speaker, Recorder };
    Q_ENUM(Kind)

private slots:
    void initTestCase();
    void speakEndsExactlyOnce_data() { kinds(); }
    void speakEndsExactlyOnce();
    void queuedTextsEndOneByOne_data() { kinds(); }
    void queuedTextsEndOneByOne();
    void resetStopsAtOnceWithoutEnd_data() { kinds(); }
    void resetStopsAtOnceWithoutEnd();
    void pauseHoldsTheEnd_data() { kinds(); }
    void pauseHoldsTheEnd();
    void resetClearsPause_data() { kinds(); }
    void resetClearsPause();
    void modesAreNumberedFromOne_data() { kinds(); }
    void modesAreNumberedFromOne();
    void valuesAreClampedToTheRanges_data() { kinds(); }
    void valuesAreClampedToTheRanges();
    void emptyTextEndsToo_data() { kinds(); }
    void emptyTextEndsToo();

private:
    void kinds();
    std::unique_ptr<SpeechEngine> make();
    // Lets time pass for the engine until done() holds: the speaker's silent
    // output follows the fake clock, the others their own short timers.
    bool passTimeUntil(const std::function<bool()> &done);
    // Lets a good deal more time pass than any short text takes.
    void passTime();
    FakeClock m_clock;
    QTemporaryDir m_dir;
    int m_files = 0;
};

static const QString shortText = QStringLiteral("Hallo.");
static QString longText()
{
    return QStringLiteral("Dies ist ein langer Satz, der eine ganze Weile dauert. ").repeated(200);
}

void tst_SpeechContract::initTestCase()
{
    qputenv("QUENORA_AUDIO", "null");
    QVERIFY(m_dir.isValid());
}

void tst_SpeechContract::kinds()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("fake") << Fake;
    QTest::newRow("espeak speaker") << Speaker;
    QTest::newRow("espeak recorder") << Recorder;
}

std::unique_ptr<SpeechEngine> tst_SpeechContract::make()
{
    QFETCH(Kind, kind);
    if (kind == Fake) {
        auto fake = std::make_unique<FakeSpeechEngine>();
        fake->setAutoFinishMs(100);
        return fake;
    }
    auto engine = std::make_unique<EspeakEngine>(m_clock);
    if (!EspeakEngine::isAvailable())
        return nullptr;
    if (kind == Recorder)
        engine->setOutputFileName(m_dir.filePath(QStringLiteral("r%1.wav").arg(++m_files)));
    return engine;
}

bool tst_SpeechContract::passTimeUntil(const std::function<bool()> &done)
{
    // The real bound only guards against a hang; the synthesis thread is
    // what takes real time here.
    return QTest::qWaitFor([&] {
        if (done())
            return true;
        m_clock.advanceMs(100);
        return false;
    }, 20000);
}

void tst_SpeechContract::passTime()
{
    int rounds = 0;
    passTimeUntil([&] { return ++rounds > 20; });
}

#define MAKE_ENGINE(name)                                                                          \
    std::unique_ptr<SpeechEngine> name = make();                                                   \
    if (!name)                                                                                     \
        QSKIP("espeak-ng has no voice data here");

void tst_SpeechContract::speakEndsExactlyOnce()
{
    MAKE_ENGINE(engine);
    QSignalSpy ended(engine.get(), &SpeechEngine::textEnded);
    QVERIFY(!engine->isSpeaking());
    engine->speak(shortText);
    QVERIFY(engine->isSpeaking());
    QCOMPARE(ended.count(), 0); // never from inside speak()
    QVERIFY(passTimeUntil([&] { return ended.count() == 1; }));
    QVERIFY(!engine->isSpeaking());
    passTime();
    QCOMPARE(ended.count(), 1);
}

void tst_SpeechContract::queuedTextsEndOneByOne()
{
    MAKE_ENGINE(engine);
    QList<bool> speakingAtEnd;
    SpeechEngine *e = engine.get();
    connect(e, &SpeechEngine::textEnded, this, [&] { speakingAtEnd.append(e->isSpeaking()); });
    engine->speak(shortText);
    engine->speak(QStringLiteral("Und noch einmal."));
    QVERIFY(passTimeUntil([&] { return speakingAtEnd.size() == 2; }));
    // Still speaking after the first text, done after the second.
    QCOMPARE(speakingAtEnd, QList<bool>({true, false}));
    passTime();
    QCOMPARE(speakingAtEnd.size(), 2);
}

void tst_SpeechContract::resetStopsAtOnceWithoutEnd()
{
    MAKE_ENGINE(engine);
    QSignalSpy ended(engine.get(), &SpeechEngine::textEnded);
    engine->speak(longText());
    engine->speak(shortText);
    // Some of the long text is heard, the rest still to come.
    m_clock.advanceMs(200);
    QCoreApplication::processEvents();
    QVERIFY(engine->isSpeaking());
    // Stopped when reset() returns, without waiting for anything.
    engine->reset();
    QVERIFY(!engine->isSpeaking());
    passTime();
    QCOMPARE(ended.count(), 0);
    // And it speaks again at once: the discarded texts do not come first.
    engine->speak(shortText);
    QVERIFY(engine->isSpeaking());
    QVERIFY(passTimeUntil([&] { return ended.count() == 1; }));
}

void tst_SpeechContract::pauseHoldsTheEnd()
{
    MAKE_ENGINE(engine);
    QSignalSpy ended(engine.get(), &SpeechEngine::textEnded);
    engine->speak(shortText);
    engine->pause();
    QVERIFY(engine->isPaused());
    passTime();
    QCOMPARE(ended.count(), 0);
    QVERIFY(engine->isSpeaking());
    engine->resume();
    QVERIFY(!engine->isPaused());
    QCOMPARE(ended.count(), 0);
    QVERIFY(passTimeUntil([&] { return ended.count() == 1; }));
    QVERIFY(!engine->isSpeaking());
}

void tst_SpeechContract::resetClearsPause()
{
    MAKE_ENGINE(engine);
    QSignalSpy ended(engine.get(), &SpeechEngine::textEnded);
    engine->speak(shortText);
    engine->pause();
    engine->reset();
    QVERIFY(!engine->isPaused());
    engine->speak(shortText);
    QVERIFY(passTimeUntil([&] { return ended.count() == 1; }));
}

void tst_SpeechContract::modesAreNumberedFromOne()
{
    MAKE_ENGINE(engine);
    QVERIFY(engine->modeCount() >= 4);
    QCOMPARE(engine->language(1), 1031);
    QCOMPARE(engine->gender(1), int(SpeechEngine::Male));
    QCOMPARE(engine->language(2), 1031);
    QCOMPARE(engine->gender(2), int(SpeechEngine::Female));
    QVERIFY(engine->selectMode(2));
    QCOMPARE(engine->currentMode(), 2);
    QVERIFY(!engine->selectMode(0));
    QVERIFY(!engine->selectMode(engine->modeCount() + 1));
    QVERIFY(!engine->selectMode(-1));
    QCOMPARE(engine->currentMode(), 2);
    QVERIFY(engine->selectMode(engine->modeCount()));
}

void tst_SpeechContract::valuesAreClampedToTheRanges()
{
    MAKE_ENGINE(engine);
    QCOMPARE(engine->minPitch(), 0);
    QCOMPARE(engine->maxPitch(), 100);
    QCOMPARE(engine->minSpeed(), 80);
    QCOMPARE(engine->maxSpeed(), 450);
    QCOMPARE(engine->minVolume(), 0);
    QCOMPARE(engine->maxVolume(), 100);
    engine->setPitch(-5);
    QCOMPARE(engine->pitch(), 0);
    engine->setSpeed(100000);
    QCOMPARE(engine->speed(), 450);
    engine->setSpeed(172);
    QCOMPARE(engine->speed(), 172);
    engine->setLeftVolume(250);
    engine->setRightVolume(-1);
    QCOMPARE(engine->leftVolume(), 100);
    QCOMPARE(engine->rightVolume(), 0);
}

void tst_SpeechContract::emptyTextEndsToo()
{
    MAKE_ENGINE(engine);
    QSignalSpy ended(engine.get(), &SpeechEngine::textEnded);
    engine->speak(QString());
    engine->speak(QString::fromUtf8("\0\x01 ", 3)); // control characters only
    QVERIFY(passTimeUntil([&] { return ended.count() == 2; }));
    QVERIFY(!engine->isSpeaking());
}

QTEST_GUILESS_MAIN(tst_SpeechContract)
#include "tst_speechcontract.moc"
