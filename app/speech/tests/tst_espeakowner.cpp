#include "EspeakOwner.h"

#include <QtTest>

#include <atomic>

#include <future>
#include <mutex>

// The synthesis owner with a sink of the test's own, to check that a text
// synthesised in slices comes out as if it had been synthesised in one go.
class tst_EspeakOwner : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void slicedTextMatchesWholeText();
    void cancelledJobEndsUncompleted();
};

namespace {

struct Word {
    qint64 sample;
    int position;
    int length;
};

class RecordingSink : public SynthesisSink
{
public:
    explicit RecordingSink(qint64 sliceSamples) : m_sliceSamples(sliceSamples) {}

    bool audio(const short *, int count) override
    {
        samples += count;
        m_portion += count;
        return true;
    }
    void word(qint64 sample, int position, int length) override
    {
        words.push_back({sample, position, length});
    }
    bool isFull() const override { return m_sliceSamples > 0 && m_portion > m_sliceSamples; }
    bool canContinue() const override
    {
        ++continued;
        m_portion = 0;
        return true;
    }
    void end(bool completed, bool) override { done.set_value(completed); }

    std::atomic<qint64> samples = 0; // read by the test while synthesis runs
    std::vector<Word> words;
    mutable int continued = 0;
    std::promise<bool> done;

private:
    qint64 m_sliceSamples;
    mutable qint64 m_portion = 0;
};

} // namespace

void tst_EspeakOwner::initTestCase()
{
    if (!EspeakOwner::instance().isAvailable())
        QSKIP("espeak-ng has no voice data here");
}

static QString text()
{
    QString t;
    const QStringList words = {"Sonne", "Regen", "Wolken", "Berge", "Täler", "Flüsse", "Wälder"};
    for (int i = 0; i < 40; ++i)
        t += QStringLiteral("Satz %1 erzählt von %2 und %3. ").arg(i + 1).arg(words[i % 7], words[(i + 3) % 7]);
    return t;
}

static std::shared_ptr<RecordingSink> synthesise(const QString &t, qint64 sliceSamples)
{
    auto sink = std::make_shared<RecordingSink>(sliceSamples);
    std::future<bool> done = sink->done.get_future();
    EspeakOwner::Job job;
    job.channel = std::make_shared<SynthesisChannel>();
    job.text = t;
    job.voice = "gmw/de";
    job.sink = sink;
    EspeakOwner::instance().enqueue(std::move(job));
    if (done.wait_for(std::chrono::seconds(60)) != std::future_status::ready || !done.get())
        return nullptr;
    return sink;
}

void tst_EspeakOwner::slicedTextMatchesWholeText()
{
    const QString t = text();
    const auto whole = synthesise(t, 0);
    const auto sliced = synthesise(t, 3 * 22050); // about every three seconds of audio
    QVERIFY(whole && sliced);
    QVERIFY2(sliced->continued >= 5, qPrintable(QString::number(sliced->continued)));

    // The same audio, give or take the pauses at the cuts.
    QVERIFY2(qAbs(sliced->samples - whole->samples) < whole->samples / 50,
             qPrintable(QStringLiteral("%1 against %2").arg(sliced->samples).arg(whole->samples)));
    // The same words at the same places of the text, none twice, none lost.
    QCOMPARE(sliced->words.size(), whole->words.size());
    for (std::size_t i = 0; i < whole->words.size(); ++i) {
        const Word &a = whole->words[i];
        const Word &b = sliced->words[i];
        QCOMPARE(b.position, a.position);
        QCOMPARE(b.length, a.length);
        QVERIFY(qAbs(b.sample - a.sample) < whole->samples / 50);
        if (i > 0)
            QVERIFY(b.sample >= sliced->words[i - 1].sample);
    }
    const Word &third = whole->words.at(2);
    QCOMPARE(t.mid(third.position, third.length), QStringLiteral("erzählt"));
}

void tst_EspeakOwner::cancelledJobEndsUncompleted()
{
    auto sink = std::make_shared<RecordingSink>(0);
    std::future<bool> done = sink->done.get_future();
    auto channel = std::make_shared<SynthesisChannel>();
    EspeakOwner::Job job;
    job.channel = channel;
    job.text = text().repeated(20);
    job.voice = "gmw/de";
    job.sink = sink;
    EspeakOwner::instance().enqueue(std::move(job));
    // Cancelled once the synthesis is under way.
    QTRY_VERIFY_WITH_TIMEOUT(sink->samples > 0, 10000);
    channel->generation.fetch_add(1);
    QCOMPARE(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QCOMPARE(done.get(), false);
}

QTEST_GUILESS_MAIN(tst_EspeakOwner)
#include "tst_espeakowner.moc"
