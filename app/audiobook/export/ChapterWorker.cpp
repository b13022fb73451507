#include "ChapterWorker.h"

#include "AudiobookTexts.h"
#include "ChapterSpool.h"
#include "ChapterSynthesizer.h"
#include "WorkerProtocol.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The next line of in without its line end; false at the end of input.
bool nextLine(std::FILE *in, QByteArray &line)
{
    char *buffer = nullptr;
    size_t capacity = 0;
    const ssize_t length = ::getline(&buffer, &capacity, in);
    if (length < 0) {
        std::free(buffer);
        return false;
    }
    line = QByteArray(buffer, length);
    std::free(buffer);
    if (line.endsWith('\n'))
        line.chop(1);
    return true;
}

void say(std::FILE *out, const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fflush(out);
}

} // namespace

namespace ChapterWorker {

int run(std::FILE *in, std::FILE *out)
{
    QByteArray line;
    if (!nextLine(in, line))
        return 1;
    const std::optional<WorkerProtocol::Voice> voice = WorkerProtocol::parseVoice(line);
    if (!voice) {
        say(out, WorkerProtocol::errorLine(-1, AudiobookTexts::workerInputNotUnderstood()));
        return 1;
    }
    ChapterSynthesizer synthesizer(voice->voice);
    if (!synthesizer.problem().isEmpty()) {
        say(out, WorkerProtocol::errorLine(-1, synthesizer.problem()));
        return 1;
    }
    const int rate = synthesizer.sampleRate();
    const qint64 pauseFrames = qint64(voice->paragraphPauseMs) * rate / 1000;
    say(out, WorkerProtocol::readyLine(rate));

    while (nextLine(in, line)) {
        const std::optional<WorkerProtocol::Chapter> chapter = WorkerProtocol::parseChapter(line);
        if (!chapter) {
            say(out, WorkerProtocol::errorLine(-1, AudiobookTexts::workerInputNotUnderstood()));
            return 1;
        }
        ChapterSpool spool(chapter->spool, rate, pauseFrames);
        BookChapter book{chapter->title, chapter->text, chapter->words, true};
        int told = -1;
        const auto share = [&](double done) {
            // A line per percent is enough for the parent's progress.
            const int percent = int(std::floor(done * 100.0));
            if (percent != told) {
                told = percent;
                say(out, WorkerProtocol::progressLine(chapter->index, std::clamp(done, 0.0, 1.0)));
            }
            return true;
        };
        const bool spoken = spool.open() && synthesizer.speak(book, spool, share);
        if (!spool.close() || !spoken) {
            QString reason = spool.error();
            if (reason.isEmpty())
                reason = synthesizer.problem();
            if (reason.isEmpty())
                reason = AudiobookTexts::chapterNotSpoken();
            say(out, WorkerProtocol::errorLine(chapter->index, reason));
            continue;
        }
        say(out, WorkerProtocol::doneLine(chapter->index));
    }
    return 0;
}

} // namespace ChapterWorker
