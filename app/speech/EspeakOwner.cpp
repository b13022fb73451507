#include "EspeakOwner.h"

#include <espeak-ng/speak_lib.h>

#include <QVector>

#include <future>

namespace {

// The job being synthesised; only touched on the synthesis thread.
struct ActiveJob {
    EspeakOwner::Job *job = nullptr;
    QVector<int> utf16Index; // code point number (from 1) -> QString index
    int sampleRate = 22050;
    bool stopped = false;
};
ActiveJob *g_active = nullptr;

int synthCallback(short *samples, int count, espeak_EVENT *events)
{
    ActiveJob *active = g_active;
    if (!active || !active->job)
        return 1;
    EspeakOwner::Job &job = *active->job;
    if (active->stopped || job.channel->generation.load() != job.generation) {
        active->stopped = true;
        return 1;
    }
    for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type != espeakEVENT_WORD)
            continue;
        const int first = e->text_position;
        const int last = e->text_position + std::max(e->length, 0);
        const int n = active->utf16Index.size() - 1;
        if (first < 1 || first > n)
            continue;
        const int from = active->utf16Index.at(first - 1);
        const int to = active->utf16Index.at(std::min(last, n + 1) - 1);
        job.sink->word(qint64(e->audio_position) * active->sampleRate / 1000, from, std::max(0, to - from));
    }
    if (samples && count > 0 && !job.sink->audio(samples, count)) {
        active->stopped = true;
        return 1;
    }
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

EspeakOwner::EspeakOwner()
{
    std::promise<void> ready;
    std::future<void> started = ready.get_future();
    m_thread = std::thread([this, &ready] {
        const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr,
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
        ready.set_value();
        run();
    });
    started.wait();
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

void EspeakOwner::run()
{
    for (;;) {
        Job job;
        QByteArray prepare;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] {
                return m_stopping || !m_jobs.empty() || !m_voiceToPrepare.isEmpty();
            });
            if (m_stopping)
                break;
            if (!m_jobs.empty()) {
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            } else {
                prepare = std::exchange(m_voiceToPrepare, QByteArray());
            }
        }
        if (!job.sink) {
            if (m_available)
                selectVoice(prepare);
            continue;
        }

        bool completed = false;
        if (job.channel->generation.load() == job.generation) {
            if (m_available) {
                synthesise(job);
                completed = job.channel->generation.load() == job.generation;
            } else {
                job.sink->begin();
                completed = true;
            }
        }
        bool moreFollow = false;
        {
            std::lock_guard lock(m_mutex);
            for (const Job &queued : m_jobs) {
                if (queued.channel == job.channel && queued.generation == job.generation) {
                    moreFollow = true;
                    break;
                }
            }
        }
        job.sink->end(completed, moreFollow);
    }
    if (m_available)
        espeak_Terminate();
}

void EspeakOwner::selectVoice(const QByteArray &voice)
{
    if (voice.isEmpty() || voice == m_currentVoice)
        return;
    if (espeak_SetVoiceByName(voice.constData()) == EE_OK)
        m_currentVoice = voice;
}

void EspeakOwner::synthesise(Job &job)
{
    selectVoice(job.voice);
    espeak_SetParameter(espeakRATE, job.rate, 0);
    espeak_SetParameter(espeakPITCH, job.pitch, 0);
    espeak_SetParameter(espeakVOLUME, job.volume, 0);

    ActiveJob active;
    active.job = &job;
    active.sampleRate = m_sampleRate;
    active.utf16Index = codePointIndex(job.text);
    const QByteArray text = synthesisText(job.text);
    job.sink->begin();
    g_active = &active;
    espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, nullptr);
    g_active = nullptr;
}
