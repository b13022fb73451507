#include "AudioOutput.h"
#include "EspeakEngine.h"
#include "FakeClock.h"
#include "OutputTicks.h"
#include "PronunciationFile.h"
#include "PronunciationSource.h"
#include "WavAnalysis.h"

#include <QtTest>

#include <functional>

// Real espeak-ng audio, recorded into WAV files and measured.
// Lets fake time pass for the silent output until done() holds; the real
// bound only guards against a hang in the synthesis thread.
static bool passTimeUntil(FakeClock &time, const std::function<bool()> &done)
{
    return QTest::qWaitFor([&] {
        if (done())
            return true;
        time.advanceMs(100);
        return false;
    }, 20000);
}

class tst_EspeakAudio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void durationGrowsWithTextLength();
    void fastestSpeedIsAtLeastThreeTimesShorter();
    void volumeZeroIsSilent();
    void highestPitchIsMeasurablyHigher();
    void voicesSoundDifferent();
    void resetMidTextLeavesValidWav();
    void queuedTextsGoIntoOneFile();
    void newTextReplacesTheFile();
    void unwritableOutputStillEndsTheText_data();
    void unwritableOutputStillEndsTheText();
    void wordsAreAnnouncedWhileHeard();
    void resetMidTextSilencesTheSpeaker();
    void dictionaryWordsMarkTheWrittenForm();
    void longTextKeepsAtMostAMinuteAhead();

private:
    WavAnalysis record(const QString &text, int pitch = EspeakEngine::DefaultPitch,
                       int speed = EspeakEngine::DefaultSpeed, int volume = 100, int mode = 1);
    QString newPath();
    QTemporaryDir m_dir;
    int m_n = 0;
};

static const QString sentence = QStringLiteral(
    "Guten Morgen, heute scheint die Sonne über den Bergen und im Tal blühen die Blumen.");

void tst_EspeakAudio::initTestCase()
{
    qputenv("QUENORA_AUDIO", "null");
    QVERIFY(m_dir.isValid());
    if (!EspeakEngine::isAvailable())
        QSKIP("espeak-ng has no voice data here");
}

QString tst_EspeakAudio::newPath()
{
    return m_dir.filePath(QStringLiteral("t%1.wav").arg(++m_n));
}

WavAnalysis tst_EspeakAudio::record(const QString &text, int pitch, int speed, int volume, int mode)
{
    EspeakEngine engine;
    const QString path = newPath();
    engine.setOutputFileName(path);
    engine.selectMode(mode);
    engine.setPitch(pitch);
    engine.setSpeed(speed);
    engine.setLeftVolume(volume);
    engine.setRightVolume(volume);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    engine.speak(text);
    if (!QTest::qWaitFor([&] { return ended.count() == 1; }, 20000))
        return {};
    return WavAnalysis::read(path);
}

void tst_EspeakAudio::durationGrowsWithTextLength()
{
    const WavAnalysis one = record(QStringLiteral("Eins."));
    const WavAnalysis four = record(QStringLiteral("Eins, zwei, drei, vier."));
    const WavAnalysis many = record(sentence);
    QVERIFY(one.valid && four.valid && many.valid);
    QCOMPARE(one.sampleRate, EspeakEngine::sampleRate());
    QCOMPARE(one.channels, 1);
    QVERIFY2(one.seconds() > 0.2, qPrintable(QString::number(one.seconds())));
    QVERIFY(four.seconds() > one.seconds() * 1.8);
    QVERIFY(many.seconds() > four.seconds() * 1.5);
}

void tst_EspeakAudio::fastestSpeedIsAtLeastThreeTimesShorter()
{
    const WavAnalysis slow = record(sentence, 50, EspeakEngine::MinSpeed);
    const WavAnalysis fast = record(sentence, 50, EspeakEngine::MaxSpeed);
    QVERIFY(slow.valid && fast.valid);
    QVERIFY2(slow.seconds() >= 3.0 * fast.seconds(),
             qPrintable(QStringLiteral("%1 s against %2 s").arg(slow.seconds()).arg(fast.seconds())));
}

void tst_EspeakAudio::volumeZeroIsSilent()
{
    const WavAnalysis silent = record(sentence, 50, 175, 0);
    const WavAnalysis loud = record(sentence, 50, 175, 100);
    QVERIFY(silent.valid && loud.valid);
    QVERIFY(silent.frames > 0); // silence of the text's length, not nothing
    QVERIFY2(silent.peak() <= 1, qPrintable(QString::number(silent.peak())));
    QVERIFY2(loud.rms() > 500, qPrintable(QString::number(loud.rms())));
}

void tst_EspeakAudio::highestPitchIsMeasurablyHigher()
{
    const WavAnalysis low = record(sentence, 0);
    const WavAnalysis high = record(sentence, 100);
    const double lowHz = low.medianPitch();
    const double highHz = high.medianPitch();
    QVERIFY2(lowHz > 0 && highHz > lowHz * 1.3,
             qPrintable(QStringLiteral("%1 Hz against %2 Hz").arg(highHz).arg(lowHz)));
}

void tst_EspeakAudio::voicesSoundDifferent()
{
    // Mode 2, the stored default, is the female German voice.
    const double male = record(sentence, 50, 175, 100, 1).medianPitch();
    const double female = record(sentence, 50, 175, 100, 2).medianPitch();
    QVERIFY2(male > 0 && female > male * 1.3,
             qPrintable(QStringLiteral("female %1 Hz, male %2 Hz").arg(female).arg(male)));
}

void tst_EspeakAudio::resetMidTextLeavesValidWav()
{
    EspeakEngine engine;
    const QString path = newPath();
    engine.setOutputWrittenInPlace(true); // as the temporary recordings are
    engine.setOutputFileName(path);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    // Some minutes of speech: several seconds of synthesis even here.
    engine.speak(sentence.repeated(400));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 200000, 10000);

    // Stopped when reset() returns, without waiting for the synthesis.
    engine.reset();
    QVERIFY(!engine.isSpeaking());

    // The synthesis thread let go of the text: a new one is done quickly.
    EspeakEngine other;
    other.setOutputFileName(newPath());
    QSignalSpy otherEnded(&other, &SpeechEngine::textEnded);
    other.speak(QStringLiteral("Kurz."));
    QTRY_COMPARE_WITH_TIMEOUT(otherEnded.count(), 1, 10000);
    QCOMPARE(ended.count(), 0);

    // The one synthesis thread has gone on to the other text, so the old one
    // is done with: what is still queued for the window runs, and nothing
    // more is written.
    const qint64 size = QFileInfo(path).size();
    QCoreApplication::processEvents();
    QCOMPARE(QFileInfo(path).size(), size);
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid);
    QVERIFY(wav.headerMatchesSize);
    QVERIFY(wav.frames > 100000);
    // Far less than the whole text (400 sentences of about 5 s each).
    QVERIFY2(wav.seconds() < 400 * 4.0, qPrintable(QString::number(wav.seconds())));
}

void tst_EspeakAudio::queuedTextsGoIntoOneFile()
{
    const double single = record(sentence).seconds();
    EspeakEngine engine;
    const QString path = newPath();
    engine.setOutputFileName(path);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    engine.speak(sentence);
    engine.speak(sentence);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 20000);
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid && wav.headerMatchesSize);
    QVERIFY2(qAbs(wav.seconds() - 2 * single) < 0.1 * single,
             qPrintable(QStringLiteral("%1 s, one text %2 s").arg(wav.seconds()).arg(single)));
}

void tst_EspeakAudio::newTextReplacesTheFile()
{
    EspeakEngine engine;
    const QString path = newPath();
    engine.setOutputFileName(path);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    engine.speak(sentence);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    const double first = WavAnalysis::read(path).seconds();
    engine.speak(QStringLiteral("Eins."));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 20000);
    const WavAnalysis second = WavAnalysis::read(path);
    QVERIFY(second.valid && second.headerMatchesSize);
    QVERIFY(second.seconds() < first / 3);
}

void tst_EspeakAudio::unwritableOutputStillEndsTheText_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("temporary recording: ends as spoken") << true;
    QTest::newRow("a user's file: ends with the reason") << false;
}

void tst_EspeakAudio::unwritableOutputStillEndsTheText()
{
    QFETCH(bool, inPlace);
    EspeakEngine engine;
    const QString path = m_dir.filePath(QStringLiteral("missing/folder/x.wav"));
    engine.setOutputWrittenInPlace(inPlace);
    engine.setOutputFileName(path);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    QSignalSpy stopped(&engine, &SpeechEngine::recordingStopped);
    engine.speak(sentence);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count() + stopped.count(), 1, 20000);
    QCOMPARE(ended.count(), inPlace ? 1 : 0);
    if (!inPlace)
        QCOMPARE(stopped.at(0).at(0).toString(),
                 QStringLiteral("Die Aufnahme nach \"%1\" ist fehlgeschlagen: Pfad nicht gefunden.").arg(path));
    QVERIFY(!engine.isSpeaking());
    QVERIFY(!QFileInfo::exists(path));
}

void tst_EspeakAudio::wordsAreAnnouncedWhileHeard()
{
    FakeClock time;
    EspeakEngine engine(time);
    QSignalSpy words(&engine, &SpeechEngine::wordReached);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    // A character outside the BMP first: positions are QString units.
    const QString text = QStringLiteral("\U0001F600 Hallo schöne Welt");
    engine.setSpeed(EspeakEngine::MaxSpeed);
    engine.speak(text);
    // Synthesised is not heard: while the clock stands still the text does
    // not end, however far the synthesis has got.
    const int rate = EspeakEngine::sampleRate();
    QTRY_VERIFY_WITH_TIMEOUT(engine.audioOutput()->queue()->framesWritten() > rate / 2, 20000);
    QVERIFY(letOutputTick(*engine.audioOutput()));
    QCOMPARE(ended.count(), 0);
    QVERIFY(passTimeUntil(time, [&] { return ended.count() == 1; }));
    QList<QPair<int, int>> seen;
    for (const QList<QVariant> &args : words)
        seen.append({args.at(0).toInt(), args.at(1).toInt()});
    QVERIFY2(seen.contains(qMakePair(3, 5)), qPrintable(QDebug::toString(seen)));
    QVERIFY(seen.contains(qMakePair(9, 6)));
    QVERIFY(seen.contains(qMakePair(16, 4)));
    for (const auto &w : seen)
        QVERIFY(w.first >= 0 && w.first + w.second <= text.size());
    // Announced as heard: the words took playing time, not synthesis time.
    QVERIFY2(time.monotonicNs() > qint64(300) * 1000000, qPrintable(QString::number(time.monotonicNs())));
    QVERIFY(engine.audioOutput()->isNull());
}

namespace {
// The dictionaries the engine asks for at each text; tests change them.
class TestDictionary : public PronunciationSource
{
public:
    void set(const QByteArray &file)
    {
        m_current = std::make_shared<const Pronouncer>(PronunciationFile::parse(file).entries);
    }
    std::shared_ptr<const Pronouncer> current() override { return m_current; }
    QStringList fileProblems() const override { return {}; }

private:
    std::shared_ptr<const Pronouncer> m_current;
};
} // namespace

void tst_EspeakAudio::dictionaryWordsMarkTheWrittenForm()
{
    FakeClock time;
    EspeakEngine engine(time);
    TestDictionary dictionary;
    dictionary.set("EZB\tEuropäische Zentralbank\n");
    engine.setPronunciation(&dictionary);
    QSignalSpy words(&engine, &SpeechEngine::wordReached);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    engine.setSpeed(EspeakEngine::MaxSpeed);
    auto heard = [&](const QString &text) {
        words.clear();
        const qsizetype before = ended.count();
        engine.speak(text);
        [&] { QVERIFY(passTimeUntil(time, [&] { return ended.count() == before + 1; })); }();
        QList<QPair<int, int>> seen;
        for (const QList<QVariant> &args : words)
            seen.append({args.at(0).toInt(), args.at(1).toInt()});
        return seen;
    };
    // "Die EZB hat Geld": both spoken words of the replacement mark "EZB",
    // the words after it sit where they are written.
    QList<QPair<int, int>> seen = heard(QStringLiteral("Die EZB hat Geld"));
    QVERIFY2(seen.count(qMakePair(4, 3)) == 2, qPrintable(QDebug::toString(seen)));
    QVERIFY(seen.contains(qMakePair(0, 3)));
    QVERIFY(seen.contains(qMakePair(8, 3)));
    QVERIFY(seen.contains(qMakePair(12, 4)));
    // A changed dictionary is used from the next text on.
    dictionary.set("Geld\tMoneten\n");
    seen = heard(QStringLiteral("Die EZB hat Geld"));
    QVERIFY2(seen.contains(qMakePair(4, 3)) && seen.count(qMakePair(4, 3)) == 1, qPrintable(QDebug::toString(seen)));
    QVERIFY(seen.contains(qMakePair(12, 4)));
}

void tst_EspeakAudio::resetMidTextSilencesTheSpeaker()
{
    FakeClock time;
    EspeakEngine engine(time);
    QSignalSpy words(&engine, &SpeechEngine::wordReached);
    QSignalSpy ended(&engine, &SpeechEngine::textEnded);
    engine.speak(sentence.repeated(20));
    QVERIFY(passTimeUntil(time, [&] { return words.count() >= 2; }));
    engine.reset();
    QVERIFY(!engine.isSpeaking());
    const qint64 played = engine.audioOutput()->playedFrames();
    const int wordsAtReset = int(words.count());
    time.advanceSeconds(5);
    QVERIFY(letOutputTick(*engine.audioOutput()));
    QCOMPARE(engine.audioOutput()->playedFrames(), played);
    QCOMPARE(int(words.count()), wordsAtReset);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(engine.audioOutput()->queue()->framesAvailable(), qint64(0));
}

void tst_EspeakAudio::longTextKeepsAtMostAMinuteAhead()
{
    EspeakEngine speaker;
    EspeakEngine recorder;
    const QString path = newPath();
    recorder.setOutputFileName(path);
    QSignalSpy recorded(&recorder, &SpeechEngine::textEnded);
    QSignalSpy spoken(&speaker, &SpeechEngine::textEnded);
    const QString text = sentence.repeated(300); // about 25 minutes of speech
    speaker.speak(text);
    recorder.speak(text);
    // The recorder is not held up by the speaker's playback...
    QTRY_COMPARE_WITH_TIMEOUT(recorded.count(), 1, 30000);
    QVERIFY(speaker.isSpeaking());
    // ...and the speaker does not hold 25 minutes of audio in memory.
    const int rate = EspeakEngine::sampleRate();
    const qint64 ahead = speaker.audioOutput()->queue()->framesAvailable();
    QVERIFY2(ahead > 20 * rate && ahead < 70 * rate, qPrintable(QString::number(ahead / rate)));
    const WavAnalysis wav = WavAnalysis::read(path);
    QVERIFY(wav.valid && wav.headerMatchesSize);
    QVERIFY2(wav.seconds() > 20 * 60, qPrintable(QString::number(wav.seconds())));
    speaker.reset();
    QCOMPARE(spoken.count(), 0);
}

QTEST_GUILESS_MAIN(tst_EspeakAudio)
#include "tst_espeakaudio.moc"
