#include "EspeakOwner.h"

#include <espeak-ng/speak_lib.h>

#include <QVector>

#include <algorithm>
#include <chrono>
#include <future>
#include <iterator>

namespace {

// A slice that has made this much audio gives way when other work waits:
// about 30 ms of synthesis here.
constexpr qint64 SliceSeconds = 30;

// The slice being synthesised; only touched on the synthesis thread.
struct ActiveSlice {
    EspeakOwner::Job *job = nullptr;
    const EspeakOwner *owner = nullptr;
    QVector<int> utf16Index; // code point number (from 1) -> index in the spoken slice
    const OffsetMap *map = nullptr; // spoken slice -> the slice's written text
    int sliceStart = 0;      // QString index of the slice's text in the job's text
    qint64 sliceSamples = 0; // audio of this slice handed on so far
    int sampleRate = 22050;
    bool stopped = false;    // cancelled or refused by the sink
    int yieldAt = -1;        // QString index where the next slice starts
};
ActiveSlice *g_active = nullptr;

int synthCallback(short *samples, int count, espeak_EVENT *events)
{
    ActiveSlice *active = g_active;
    if (!active || !active->job)
        return 1;
    EspeakOwner::Job &job = *active->job;
    if (active->stopped || job.channel->generation.load() != job.generation) {
        active->stopped = true;
        return 1;
    }
    const bool full = job.sink->isFull();
    const qint64 sliceLimit = SliceSeconds * active->sampleRate;
    const bool giveWay = full || (active->sliceSamples >= sliceLimit && active->owner->otherWorkWaiting());
    // Without sentence ends for far too long, a word start will do.
    const bool anyWord = giveWay && (active->sliceSamples >= 4 * sliceLimit || (full && active->sliceSamples >= sliceLimit));
    const int n = active->utf16Index.size() - 1;
    const qint64 bufferStart = active->sliceSamples;

    for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type != espeakEVENT_WORD && e->type != espeakEVENT_SENTENCE)
            continue;
        const int first = e->text_position;
        if (first < 1 || first > n)
            continue;
        const int from = active->utf16Index.at(first - 1);
        const qint64 sample = qint64(e->audio_position) * active->sampleRate / 1000;
        // A slice never ends inside a dictionary's replacement: the next
        // one starts at a place of the written text.
        if (giveWay && from > 0 && sample >= bufferStart
            && (e->type == espeakEVENT_SENTENCE || anyWord) && active->map->isBoundary(from)) {
            // Hand on the audio before this point; the next slice starts here.
            const int keep = int(std::clamp<qint64>(sample - bufferStart, 0, count));
            if (samples && keep > 0 && !job.sink->audio(samples, keep)) {
                active->stopped = true;
                return 1;
            }
            active->sliceSamples += keep;
            active->yieldAt = active->sliceStart + active->map->writtenStart(from);
            return 1;
        }
        // espeak closes every synthesis with an empty word pointing back
        // into the text; it is no word of the text.
        if (e->type == espeakEVENT_WORD && e->length > 0) {
            const int last = first + std::max(e->length, 0);
            const int to = active->utf16Index.at(std::min(last, n + 1) - 1);
            // A word spoken for a replacement marks the whole written form.
            const int writtenFrom = active->map->writtenStart(from);
            const int writtenTo = active->map->writtenEnd(to);
            job.sink->word(job.samplesSoFar + sample, active->sliceStart + writtenFrom,
                           std::max(0, writtenTo - writtenFrom));
        }
    }
    if (samples && count > 0 && !job.sink->audio(samples, count)) {
        active->stopped = true;
        return 1;
    }
    active->sliceSamples += std::max(count, 0);
    return 0;
}

// espeak counts text positions in code points from 1; the program in QString
// units from 0. Entry k is the QString index of code point k+1; one extra
// entry holds the length of the text.
QVector<int> codePointIndex(const QString &text)
{
    QVector<int> index;
    index.reserve(text.size() + 1);
    for (int i = 0; i < text.size(); ++i) {
        index.append(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    index.append(int(text.size()));
    return index;
}

// espeak reads up to the first NUL and would treat the text as SSML or
// phonemes only when asked to; control characters other than line ends are
// of no use to it.
QByteArray synthesisText(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return clean.toUtf8();
}

} // namespace

EspeakOwner &EspeakOwner::instance()
{
    static EspeakOwner owner;
    return owner;
}

EspeakOwner::EspeakOwner() : m_ready(m_readyPromise.get_future().share())
{
    // espeak loads its phoneme data and voice list here, which takes several
    // milliseconds: the window is built meanwhile, and only a caller that
    // needs the voices or the sample rate waits for it.
    m_thread = std::thread([this] {
        // 200 ms of audio per callback: fewer WAV header rewrites while
        // recording, and still well under a millisecond of synthesis before
        // the first audio and before a reset is noticed.
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, nullptr,
                                           espeakINITIALIZE_DONT_EXIT);
        if (rate > 0) {
            m_available = true;
            m_sampleRate = rate;
            espeak_SetSynthCallback(synthCallback);
            QList<ModeList::InstalledVoice> voices;
            for (const espeak_VOICE **v = espeak_ListVoices(nullptr); v && *v; ++v) {
                const espeak_VOICE *voice = *v;
                // languages: a priority byte, then the language name.
                const char *language = voice->languages ? voice->languages + 1 : "";
                voices.append({QByteArray(language), QString::fromUtf8(voice->name),
                               QByteArray(voice->identifier ? voice->identifier : "")});
            }
            m_modes = ModeList::build(voices);
        }
        m_readyPromise.set_value();
        run();
    });
}

EspeakOwner::~EspeakOwner()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        for (Job &job : m_jobs)
            job.channel->generation.fetch_add(1);
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void EspeakOwner::enqueue(Job job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void EspeakOwner::prepareVoice(const QByteArray &voice)
{
    {
        std::lock_guard lock(m_mutex);
        m_voiceToPrepare = voice;
    }
    m_wake.notify_one();
}

bool EspeakOwner::otherWorkWaiting() const
{
    return m_waiting.load() > 0;
}

// Called with m_mutex held.
void EspeakOwner::updateWaiting()
{
    int ready = int(m_jobs.size());
    for (const Job &job : m_parked) {
        if (job.sink->canContinue() || job.channel->generation.load() != job.generation)
            ++ready;
    }
    m_waiting = ready;
}

void EspeakOwner::run()
{
    using namespace std::chrono_literals;
    for (;;) {
        Job job;
        QByteArray prepare;
        std::vector<Job> dropped;
        {
            std::unique_lock lock(m_mutex);
            for (;;) {
                if (m_stopping)
                    break;
                // Parked jobs that may go on come first: they are being heard.
                std::deque<Job> ready;
                for (auto it = m_parked.begin(); it != m_parked.end();) {
                    if (it->channel->generation.load() != it->generation) {
                        dropped.push_back(std::move(*it));
                        it = m_parked.erase(it);
                    } else if (it->sink->canContinue()) {
                        ready.push_back(std::move(*it));
                        it = m_parked.erase(it);
                    } else {
                        ++it;
                    }
                }
                m_jobs.insert(m_jobs.begin(), std::make_move_iterator(ready.begin()),
                              std::make_move_iterator(ready.end()));
                if (!dropped.empty() || !m_jobs.empty() || !m_voiceToPrepare.isEmpty())
                    break;
                // A parked job is looked at again shortly; nothing else
                // wakes the thread while a sink drains.
                if (m_parked.empty())
                    m_wake.wait(lock);
                else
                    m_wake.wait_for(lock, 50ms);
            }
            if (m_stopping)
                break;
            if (dropped.empty()) {
                // The next job whose instance has no earlier text parked.
                auto next = std::find_if(m_jobs.begin(), m_jobs.end(), [this](const Job &j) {
                    return std::none_of(m_parked.begin(), m_parked.end(),
                                        [&j](const Job &p) { return p.channel == j.channel; });
                });
                if (next != m_jobs.end()) {
                    job = std::move(*next);
                    m_jobs.erase(next);
                } else if (!m_voiceToPrepare.isEmpty()) {
                    prepare = std::exchange(m_voiceToPrepare, QByteArray());
                }
            }
            updateWaiting();
        }
        for (Job &old : dropped)
            finish(old, false);
        if (!job.sink) {
            if (m_available && !prepare.isEmpty())
                selectVoice(prepare);
            else if (prepare.isEmpty() && dropped.empty()) {
                // Only jobs behind a parked text of their instance: wait.
                std::unique_lock lock(m_mutex);
                m_wake.wait_for(lock, 50ms);
            }
            continue;
        }

        bool done = true;
        bool completed = false;
        if (job.channel->generation.load() == job.generation) {
            if (!job.begun) {
                job.begun = true;
                job.sink->begin();
            }
            if (m_available) {
                done = synthesise(job);
                completed = done && job.channel->generation.load() == job.generation;
            } else {
                completed = true;
            }
        }
        if (!done) {
            std::lock_guard lock(m_mutex);
            if (job.sink->isFull()) {
                m_parked.push_back(std::move(job));
            } else {
                // Back in line, but before any later text of its instance.
                auto later = std::find_if(m_jobs.begin(), m_jobs.end(),
                                          [&job](const Job &j) { return j.channel == job.channel; });
                m_jobs.insert(later, std::move(job));
            }
            updateWaiting();
            continue;
        }
        finish(job, completed);
    }
    if (m_available)
        espeak_Terminate();
}

void EspeakOwner::finish(Job &job, bool completed)
{
    bool moreFollow = false;
    {
        std::lock_guard lock(m_mutex);
        auto same = [&job](const Job &j) {
            return j.channel == job.channel && j.generation == job.generation;
        };
        moreFollow = std::any_of(m_jobs.begin(), m_jobs.end(), same)
                     || std::any_of(m_parked.begin(), m_parked.end(), same);
    }
    job.sink->end(completed, moreFollow);
}

void EspeakOwner::selectVoice(const QByteArray &voice)
{
    if (voice.isEmpty() || voice == m_currentVoice)
        return;
    if (espeak_SetVoiceByName(voice.constData()) == EE_OK)
        m_currentVoice = voice;
}

bool EspeakOwner::synthesise(Job &job)
{
    selectVoice(job.voice);
    espeak_SetParameter(espeakRATE, job.rate, 0);
    espeak_SetParameter(espeakPITCH, job.pitch, 0);
    espeak_SetParameter(espeakVOLUME, job.volume, 0);

    const int end = pieceEnd(job.text, job.resumeAt);
    const QStringView piece = QStringView(job.text).mid(job.resumeAt, end - job.resumeAt);
    Pronouncer::Result spoken;
    if (job.pronouncer && !job.pronouncer->isEmpty())
        spoken = job.pronouncer->apply(piece);
    else
        spoken.spoken = piece.toString();
    ActiveSlice active;
    active.job = &job;
    active.owner = this;
    active.sampleRate = m_sampleRate;
    active.sliceStart = job.resumeAt;
    active.map = &spoken.map;
    active.utf16Index = codePointIndex(spoken.spoken);
    const QByteArray text = synthesisText(spoken.spoken);
    g_active = &active;
    espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, nullptr);
    g_active = nullptr;
    job.samplesSoFar += active.sliceSamples;
    if (active.stopped)
        return true;
    if (active.yieldAt > job.resumeAt) {
        job.resumeAt = active.yieldAt;
        return false;
    }
    if (end < job.text.size()) {
        job.resumeAt = end;
        return false;
    }
    return true;
}

int EspeakOwner::pieceEnd(const QString &text, int from)
{
    const int size = int(text.size());
    if (size - from <= PieceLength)
        return size;
    const int limit = from + PieceLength;
    const int least = from + PieceLength / 2;
    const int lineEnd = int(text.lastIndexOf(QLatin1Char('\n'), limit - 1));
    if (lineEnd >= least)
        return lineEnd + 1;
    for (int i = limit - 1; i >= least; --i) {
        if (text.at(i).isSpace())
            return i + 1;
    }
    return text.at(limit - 1).isHighSurrogate() ? limit + 1 : limit;
}
