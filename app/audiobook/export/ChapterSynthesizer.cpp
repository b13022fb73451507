#include "ChapterSynthesizer.h"

#include "ActiveDictionaries.h"
#include "ChapterReceiver.h"
#include "EspeakEngine.h"
#include "PronunciationFile.h"
#include "SampleReceiver.h"
#include "SettingsStore.h"
#include "SpeechTexts.h"

#include <QEventLoop>
#include <QTextBoundaryFinder>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// A paragraph's sentences: where each starts in the paragraph and its text
// without the blanks around it.
struct Sentence {
    int start = 0; // of the text, blanks skipped
    int end = 0;
    QString text;
};

constexpr int LoudAtFullVolume = 1000;

std::vector<Sentence> sentencesOf(const QString &paragraph)
{
    std::vector<Sentence> sentences;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, paragraph);
    int from = 0;
    while (from < paragraph.size()) {
        int to = int(finder.toNextBoundary());
        if (to <= from)
            to = int(paragraph.size());
        int start = from;
        while (start < to && paragraph.at(start).isSpace())
            ++start;
        int end = to;
        while (end > start && paragraph.at(end - 1).isSpace())
            --end;
        if (end > start)
            sentences.push_back({start, end, paragraph.mid(start, end - start)});
        from = to;
    }
    return sentences;
}

// One paragraph's speech on its way to the chapter, on the engine's
// synthesis thread: the samples go on as they come, and each sentence is
// marked where its speech is heard. The engine tells a word where its
// sounds begin, and a word opening with a stop ("Kapitel") begins with up
// to 50 ms of silence (or the faint tail of the text before); the sentence
// mark waits for the samples and moves to the first loud one, at most
// MaxShiftMs on, so a cue starts with what is heard.
class ParagraphMarks : public SampleReceiver
{
public:
    // loud: the level of the first sound of speech at the engine's volume.
    ParagraphMarks(ChapterReceiver &receiver, const QString &paragraph, int sampleRate, int loud)
        : m_receiver(receiver), m_base(receiver.chapterFrames()), m_sentences(sentencesOf(paragraph)),
          m_longestSilence(qint64(sampleRate) * MaxShiftMs / 1000), m_loud(std::max(1, loud))
    {
    }

    bool samples(const short *data, int count) override
    {
        if (m_pending.active) {
            const qint64 from = std::max<qint64>(0, m_pending.frame - m_written);
            for (qint64 i = from; i < count && m_pending.active; ++i) {
                if (std::abs(int(data[i])) >= m_loud || m_written + i >= m_pending.frame + m_longestSilence)
                    markPending(m_written + i);
            }
        }
        m_written += count;
        if (!m_receiver.write(data, count))
            m_failed = true;
        return !m_failed;
    }

    void word(qint64 frame, int position, int) override
    {
        // The sentence the word lies in, or the next one when it starts
        // in blanks before it.
        auto it = std::upper_bound(m_sentences.begin(), m_sentences.end(), position,
                                   [](int p, const Sentence &s) { return p < s.end; });
        if (it == m_sentences.end())
            return;
        const int index = int(it - m_sentences.begin());
        if (index < m_current)
            return;
        if (index > m_current) {
            finish();
            m_current = index;
            m_pending = {true, frame, it->text, {}};
        }
        const int inSentence = std::max(0, position - it->start);
        if (m_pending.active)
            m_pending.words.push_back({frame, inSentence});
        else
            m_receiver.markWord(m_base + frame, inSentence);
    }

    // The text's samples are all handed over: a sentence still waiting
    // for its first sound is marked where its word was.
    void finish()
    {
        if (m_pending.active)
            markPending(m_pending.frame);
    }

    bool failed() const { return m_failed; }

private:
    static constexpr int MaxShiftMs = 60;

    void markPending(qint64 frame)
    {
        m_pending.active = false;
        m_receiver.markSentence(m_base + frame, m_pending.text);
        for (const auto &[wordFrame, position] : m_pending.words)
            m_receiver.markWord(m_base + std::max(frame, wordFrame), position);
    }

    struct Pending {
        bool active = false;
        qint64 frame = 0; // where the engine said its first word starts
        QString text;
        std::vector<std::pair<qint64, int>> words;
    };

    ChapterReceiver &m_receiver;
    const qint64 m_base;
    const std::vector<Sentence> m_sentences;
    const qint64 m_longestSilence;
    const int m_loud;
    qint64 m_written = 0; // of this paragraph
    int m_current = -1;
    Pending m_pending;
    bool m_failed = false;
};

} // namespace

struct ChapterSynthesizer::Private {
    std::unique_ptr<EspeakEngine> ownEngine;
    SpeechEngine *engine = nullptr;
    int sampleRate = 0;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<PronunciationSource> dictionaries;
    QString problem;

    void setUp(const BookVoice &voice)
    {
        switch (VoiceSetup::apply(*engine, nullptr, voice.percentages)) {
        case VoiceSetup::Result::Ok:
            break;
        case VoiceSetup::Result::ModeRejected:
            problem = SpeechTexts::voiceOutOfRange(QString::number(voice.percentages.voicePosition),
                                                   engine->modeCount());
            return;
        case VoiceSetup::Result::Overflow:
            problem = SpeechTexts::valueOutOfRange();
            return;
        }
        switch (voice.dictionaries) {
        case BookVoice::Dictionaries::Active:
            settings = std::make_unique<SettingsStore>();
            dictionaries = std::make_unique<ActiveDictionaries>(*settings);
            break;
        case BookVoice::Dictionaries::Files:
            // Files named for this export must load, as on the command line.
            for (const QString &path : voice.dictionaryFiles) {
                if (const PronunciationFile file = PronunciationFile::load(path); !file.error.isEmpty()) {
                    problem = file.error;
                    return;
                }
            }
            dictionaries = std::make_unique<FixedDictionaries>(voice.dictionaryFiles);
            break;
        case BookVoice::Dictionaries::None:
            break;
        }
        engine->setPronunciation(dictionaries.get());
    }
};

ChapterSynthesizer::ChapterSynthesizer(const BookVoice &voice) : d(std::make_unique<Private>())
{
    d->ownEngine = std::make_unique<EspeakEngine>();
    // Bound to no thread until it first speaks: the thread that speaks
    // (a worker, often) runs the loop its results arrive on.
    d->ownEngine->moveToThread(nullptr);
    d->engine = d->ownEngine.get();
    d->sampleRate = EspeakEngine::sampleRate();
    if (!EspeakEngine::isAvailable()) {
        d->problem = SpeechTexts::noVoices();
        return;
    }
    d->setUp(voice);
}

ChapterSynthesizer::ChapterSynthesizer(const BookVoice &voice, SpeechEngine &engine, int sampleRate)
    : d(std::make_unique<Private>())
{
    d->engine = &engine;
    d->sampleRate = sampleRate;
    d->setUp(voice);
}

ChapterSynthesizer::~ChapterSynthesizer()
{
    d->engine->reset();
    d->engine->setSampleReceiver(nullptr);
    d->engine->setPronunciation(nullptr);
}

QString ChapterSynthesizer::problem() const
{
    return d->problem;
}

int ChapterSynthesizer::sampleRate() const
{
    return d->sampleRate;
}

bool ChapterSynthesizer::speak(const BookChapter &chapter, ChapterReceiver &receiver,
                               const std::function<bool(double share)> &share)
{
    if (!d->problem.isEmpty())
        return false;
    receiver.beginChapter(chapter.title);
    const QStringList paragraphs = chapter.text.split(QLatin1Char('\n'));
    qint64 total = 0;
    for (const QString &paragraph : paragraphs)
        total += paragraph.trimmed().isEmpty() ? 0 : paragraph.size();
    total = std::max<qint64>(total, 1);

    SpeechEngine &engine = *d->engine;
    if (!engine.thread())
        engine.moveToThread(QThread::currentThread());
    // Speech at full volume is heard from about -30 dBFS.
    const int loud = int(LoudAtFullVolume * std::max(engine.leftVolume(), engine.rightVolume())
                         / std::max(1, engine.maxVolume()));
    qint64 done = 0;
    bool first = true;
    for (const QString &paragraph : paragraphs) {
        if (paragraph.trimmed().isEmpty())
            continue;
        if (!first && !receiver.paragraphBreak())
            return false;
        first = false;

        ParagraphMarks marks(receiver, paragraph, d->sampleRate, loud);
        if (!engine.setSampleReceiver(&marks))
            return false;
        QEventLoop loop;
        bool ended = false;
        bool cancelled = false;
        QObject::connect(&engine, &SpeechEngine::textEnded, &loop, [&] {
            ended = true;
            loop.quit();
        });
        QObject::connect(&engine, &SpeechEngine::recordingStopped, &loop, [&] { loop.quit(); });
        QObject::connect(&engine, &SpeechEngine::wordReached, &loop, [&](int position, int) {
            if (share && !cancelled && !share(double(done + position) / double(total))) {
                cancelled = true;
                loop.quit();
            }
        });
        if (share && !share(double(done) / double(total))) {
            cancelled = true;
        } else {
            engine.speak(paragraph);
            loop.exec();
        }
        // After the reset the engine no longer touches marks or receiver.
        if (!ended || cancelled)
            engine.reset();
        engine.setSampleReceiver(nullptr);
        if (!ended || cancelled || marks.failed())
            return false;
        marks.finish();
        done += paragraph.size();
    }
    return !share || share(1.0);
}
