#include "BookExport.h"

#include "AudiobookTexts.h"
#include "ChapterSynthesizer.h"
#include "Clock.h"
#include "ParallelChapters.h"

#include <algorithm>

namespace {

// Of the whole export, the share the synthesis takes; the encoding after it
// takes the rest.
constexpr double SynthesisShare = 0.85;
// The caller hears of progress when the share has grown this much (or the
// chapter or phase changed): often enough to cancel at once, not per word.
constexpr double ProgressStep = 0.001;

// Tells the caller how far the export is and how long it may still take.
class ProgressReport
{
public:
    ProgressReport(const BookExport::Progress &progress, const Clock &clock, int chapters)
        : m_progress(progress), m_clock(clock), m_startNs(clock.monotonicNs())
    {
        m_state.chapters = chapters;
    }

    bool chapter(int index, const QString &title)
    {
        m_state.chapter = index;
        m_state.title = title;
        return tell(m_state.share, true);
    }
    bool encoding()
    {
        m_state.encoding = true;
        return tell(SynthesisShare, true);
    }
    // share of the whole export, 0..1.
    bool tell(double share, bool always = false)
    {
        share = std::clamp(share, m_state.share, 1.0);
        if (!m_progress || (!always && share - m_told < ProgressStep && share < 1.0))
            return true;
        m_state.share = share;
        m_told = share;
        const qint64 elapsedMs = (m_clock.monotonicNs() - m_startNs) / 1000000;
        m_state.msLeft = share >= 0.01 && elapsedMs > 0 ? qint64(elapsedMs * (1.0 - share) / share) : -1;
        return m_progress(m_state);
    }

private:
    const BookExport::Progress &m_progress;
    const Clock &m_clock;
    const qint64 m_startNs;
    BookProgress m_state;
    double m_told = -1.0;
};

AudiobookWriter::Result failed(const QString &message)
{
    AudiobookWriter::Result result;
    result.status = AudiobookWriter::Result::Status::Failed;
    result.message = message;
    return result;
}

AudiobookWriter::Result cancelled()
{
    AudiobookWriter::Result result;
    result.status = AudiobookWriter::Result::Status::Cancelled;
    result.message = AudiobookTexts::cancelled();
    return result;
}

// Several chapters at once, each spoken by a worker process of its own;
// the chapters reach the one writer in order.
AudiobookWriter::Result inWorkers(const Book &book, const AudiobookOptions &options, const BookVoice &voice,
                                  const BookExport::Workers &workers, const Clock &clock,
                                  const BookExport::Progress &progress)
{
    const Book selected = book.selected();
    ParallelChapters parallel({workers.program, workers.jobs, options.folder, {voice, options.paragraphPauseMs}});
    ProgressReport report(progress, clock, int(selected.chapters.size()));
    int shown = -1;
    const auto told = [&](int chapter, double share) {
        if (chapter != shown) {
            shown = chapter;
            if (!report.chapter(chapter, selected.chapters.at(chapter).title))
                return false;
        }
        return report.tell(SynthesisShare * share);
    };
    const int rate = parallel.start(selected.chapters, told);
    if (rate <= 0)
        return parallel.error().isEmpty() ? cancelled() : failed(parallel.error());

    AudiobookWriter writer;
    if (!writer.open(options, rate))
        return failed(writer.error());
    switch (parallel.run(writer, told)) {
    case ParallelChapters::Status::Ok:
        break;
    case ParallelChapters::Status::Cancelled:
        writer.cancel();
        return cancelled();
    case ParallelChapters::Status::Failed: {
        const QString error = parallel.error().isEmpty() ? writer.error() : parallel.error();
        writer.cancel();
        return failed(error);
    }
    }
    if (!report.encoding()) {
        writer.cancel();
        return cancelled();
    }
    return writer.finish([&report](double share) { return report.tell(SynthesisShare + (1.0 - SynthesisShare) * share); });
}

} // namespace

AudiobookWriter::Result BookExport::run(const Book &book, const AudiobookOptions &options, const BookVoice &voice,
                                        const Workers &workers, const Clock &clock, const Progress &progress)
{
    if (const QString refusal = AudiobookWriter::refusal(options); !refusal.isEmpty())
        return failed(refusal);
    if (book.selected().chapters.isEmpty())
        return failed(AudiobookTexts::noChapterSelected());

    // As many files are encoded at once as chapters are spoken.
    AudiobookOptions encoding = options;
    encoding.threads = std::max({1, options.threads, workers.jobs});
    if (workers.jobs > 1 && !workers.program.isEmpty())
        return inWorkers(book, encoding, voice, workers, clock, progress);

    ChapterSynthesizer synthesizer(voice);
    return speak(book, encoding, synthesizer, clock, progress);
}

AudiobookWriter::Result BookExport::speak(const Book &book, const AudiobookOptions &options,
                                          ChapterSynthesizer &synthesizer, const Clock &clock,
                                          const Progress &progress)
{
    if (const QString problem = synthesizer.problem(); !problem.isEmpty())
        return failed(problem);
    const Book selected = book.selected();
    if (selected.chapters.isEmpty())
        return failed(AudiobookTexts::noChapterSelected());

    AudiobookWriter writer;
    if (!writer.open(options, synthesizer.sampleRate()))
        return failed(writer.error());

    // Each chapter's part of the synthesis, by its characters.
    qint64 total = 0;
    for (const BookChapter &chapter : selected.chapters)
        total += chapter.text.size();
    total = std::max<qint64>(total, 1);

    ProgressReport report(progress, clock, int(selected.chapters.size()));
    qint64 before = 0;
    for (int i = 0; i < selected.chapters.size(); ++i) {
        const BookChapter &chapter = selected.chapters.at(i);
        if (!report.chapter(i, chapter.title)) {
            writer.cancel();
            return cancelled();
        }
        bool stopped = false;
        const bool spoken = synthesizer.speak(chapter, writer, [&](double share) {
            const double done = double(before) + share * double(chapter.text.size());
            stopped = !report.tell(SynthesisShare * done / double(total));
            return !stopped;
        });
        if (!spoken) {
            const QString error = writer.error();
            writer.cancel();
            if (stopped)
                return cancelled();
            return failed(error.isEmpty() ? AudiobookTexts::synthesisFailed(chapter.title) : error);
        }
        before += chapter.text.size();
    }

    if (!report.encoding()) {
        writer.cancel();
        return cancelled();
    }
    return writer.finish([&report](double share) { return report.tell(SynthesisShare + (1.0 - SynthesisShare) * share); });
}
