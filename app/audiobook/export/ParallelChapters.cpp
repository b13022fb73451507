#include "ParallelChapters.h"

#include "AudiobookTexts.h"
#include "ChapterSpool.h"
#include "ChapterWorker.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// How often cancel is asked for while no worker says anything.
constexpr int kTickMs = 200;
// How long a worker may take to end after its input closed.
constexpr int kEndMs = 5000;

struct Worker {
    std::unique_ptr<QProcess> process;
    QByteArray pending; // answer bytes without their line end yet
    bool ready = false;
    int chapter = -1;   // the chapter being spoken
};

} // namespace

struct ParallelChapters::Private {
    Options options;
    QList<BookChapter> chapters;
    std::vector<Worker> workers;
    std::vector<QString> spools;   // per chapter, empty once removed
    std::vector<double> shares;    // per chapter, spoken share
    std::vector<bool> done;
    qint64 totalWords = 0;
    int rate = 0;
    int nextToGive = 0;
    int nextToReplay = 0;
    ChapterReceiver *receiver = nullptr;
    bool failed = false;
    bool cancelled = false;
    QString error;
    QEventLoop *loop = nullptr;
    Progress progress;

    QString titleOf(int chapter) const
    {
        return chapter >= 0 && chapter < chapters.size() ? chapters[chapter].title : QString();
    }
    void fail(const QString &why)
    {
        if (failed || cancelled)
            return;
        failed = true;
        error = why;
        stop();
    }
    double share() const
    {
        double words = 0;
        for (qsizetype i = 0; i < chapters.size(); ++i)
            words += double(std::max(1, chapters[i].words)) * shares[size_t(i)];
        return totalWords > 0 ? std::clamp(words / double(totalWords), 0.0, 1.0) : 1.0;
    }
    bool finished() const { return failed || cancelled || (rate > 0 && nextToReplay >= chapters.size()); }
    void tell()
    {
        if (progress && !chapters.isEmpty() && !failed && !cancelled
            && !progress(std::min<int>(nextToReplay, int(chapters.size()) - 1), share())) {
            cancelled = true;
            stop();
        }
    }
    void stop()
    {
        for (Worker &worker : workers) {
            if (worker.process && worker.process->state() != QProcess::NotRunning) {
                worker.process->disconnect();
                worker.process->kill();
                worker.process->waitForFinished(kEndMs);
            }
        }
        removeSpools();
        if (loop)
            loop->quit();
    }
    void removeSpools()
    {
        for (QString &spool : spools) {
            if (!spool.isEmpty())
                QFile::remove(spool);
            spool.clear();
        }
    }
    void give(Worker &worker)
    {
        if (!receiver)
            return;
        if (nextToGive >= chapters.size()) {
            worker.process->closeWriteChannel();
            return;
        }
        const int index = nextToGive++;
        QTemporaryFile spool(QDir(options.folder).filePath(QStringLiteral(".quenora-kapitel-XXXXXX")));
        spool.setAutoRemove(false);
        if (!spool.open()) {
            fail(AudiobookTexts::spoolFailed(spool.errorString()));
            return;
        }
        spools[size_t(index)] = spool.fileName();
        spool.close();
        worker.chapter = index;
        const WorkerProtocol::Chapter chapter{index, chapters[index].title, chapters[index].text,
                                              chapters[index].words, spools[size_t(index)]};
        worker.process->write(WorkerProtocol::chapterLine(chapter));
    }
    void replayReady()
    {
        while (!failed && !cancelled && nextToReplay < chapters.size() && done[size_t(nextToReplay)]) {
            const int index = nextToReplay;
            const ChapterSpool::Replay replay = ChapterSpool::replay(spools[size_t(index)], rate, *receiver);
            QFile::remove(spools[size_t(index)]);
            spools[size_t(index)].clear();
            if (!replay.ok()) {
                fail(replay.status == ChapterSpool::Replay::Status::Damaged
                         ? AudiobookTexts::workerFailed(index + 1, titleOf(index), replay.error)
                         : QString());
                return;
            }
            ++nextToReplay;
        }
        if (finished() && loop)
            loop->quit();
    }
    void answer(Worker &worker, const QByteArray &line)
    {
        const std::optional<WorkerProtocol::Answer> answer = WorkerProtocol::parseAnswer(line);
        using Kind = WorkerProtocol::Answer::Kind;
        const bool expected = answer
            && (answer->kind == Kind::Ready ? !worker.ready
                                            : worker.ready && (answer->index == worker.chapter
                                                               || (answer->kind == Kind::Error && answer->index == -1)));
        if (!expected) {
            fail(worker.chapter >= 0 ? AudiobookTexts::workerGarbage(worker.chapter + 1, titleOf(worker.chapter))
                                     : AudiobookTexts::workerCannotSpeak(QString::fromUtf8(line.left(200))));
            return;
        }
        switch (answer->kind) {
        case Kind::Ready:
            if (rate != 0 && rate != answer->index) {
                fail(AudiobookTexts::workersDisagree());
                return;
            }
            rate = answer->index;
            worker.ready = true;
            give(worker);
            if (!receiver && loop)
                loop->quit(); // start() has its rate
            break;
        case Kind::Progress:
            shares[size_t(worker.chapter)] = answer->share;
            tell();
            break;
        case Kind::Done: {
            const int index = worker.chapter;
            shares[size_t(index)] = 1.0;
            done[size_t(index)] = true;
            worker.chapter = -1;
            give(worker);
            tell();
            replayReady();
            break;
        }
        case Kind::Error:
            fail(worker.chapter >= 0 ? AudiobookTexts::workerFailed(worker.chapter + 1, titleOf(worker.chapter), answer->reason)
                                     : AudiobookTexts::workerCannotSpeak(answer->reason));
            break;
        }
    }
    void read(Worker &worker)
    {
        worker.pending += worker.process->readAllStandardOutput();
        qsizetype end;
        while (!failed && !cancelled && (end = worker.pending.indexOf('\n')) >= 0) {
            const QByteArray line = worker.pending.left(end);
            worker.pending.remove(0, end + 1);
            answer(worker, line);
        }
        if (worker.pending.size() > WorkerProtocol::kMaxAnswerLine)
            fail(AudiobookTexts::workerGarbage(worker.chapter + 1, titleOf(worker.chapter)));
    }
    void ended(Worker &worker)
    {
        if (failed || cancelled)
            return;
        read(worker);
        if (failed)
            return;
        if (worker.chapter >= 0) {
            fail(AudiobookTexts::workerEnded(worker.chapter + 1, titleOf(worker.chapter)));
            return;
        }
        const bool anyAlive = std::any_of(workers.begin(), workers.end(), [](const Worker &w) {
            return w.process && w.process->state() != QProcess::NotRunning;
        });
        if (!anyAlive && nextToReplay < chapters.size())
            fail(worker.ready ? AudiobookTexts::workersEnded()
                              : AudiobookTexts::workerNotStarted(options.program, worker.process->errorString()));
    }
    void waitUntilFinished(bool forStart)
    {
        QEventLoop events;
        loop = &events;
        QTimer tick;
        tick.setInterval(kTickMs);
        QObject::connect(&tick, &QTimer::timeout, &events, [this] { tell(); });
        tick.start();
        if (!(forStart ? (rate > 0 || failed || cancelled) : finished()))
            events.exec();
        loop = nullptr;
    }
};

ParallelChapters::ParallelChapters(const Options &options) : d(std::make_unique<Private>())
{
    d->options = options;
}

ParallelChapters::~ParallelChapters()
{
    d->stop();
}

int ParallelChapters::start(const QList<BookChapter> &chapters, const Progress &progress)
{
    d->chapters = chapters;
    d->spools.assign(size_t(chapters.size()), QString());
    d->shares.assign(size_t(chapters.size()), 0.0);
    d->done.assign(size_t(chapters.size()), false);
    d->totalWords = 0;
    for (const BookChapter &chapter : chapters)
        d->totalWords += std::max(1, chapter.words);
    d->progress = progress;
    const int count = std::clamp(d->options.jobs, 1, std::max<int>(1, int(chapters.size())));
    d->workers.resize(size_t(count));
    const QByteArray voice = WorkerProtocol::voiceLine(d->options.voice);
    for (Worker &worker : d->workers) {
        worker.process = std::make_unique<QProcess>();
        QProcess *process = worker.process.get();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process, &QProcess::readyReadStandardOutput, [this, &worker] { d->read(worker); });
        QObject::connect(process, &QProcess::finished, [this, &worker] { d->ended(worker); });
        QObject::connect(process, &QProcess::errorOccurred, [this, &worker](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                d->ended(worker);
        });
        process->start(d->options.program, {QString::fromLatin1(ChapterWorker::kOption)});
        process->write(voice);
    }
    d->waitUntilFinished(true);
    return d->failed || d->cancelled ? 0 : d->rate;
}

ParallelChapters::Status ParallelChapters::run(ChapterReceiver &receiver, const Progress &progress)
{
    if (d->rate <= 0 || d->failed || d->cancelled) {
        d->stop();
        return d->cancelled ? Status::Cancelled : Status::Failed;
    }
    d->receiver = &receiver;
    d->progress = progress;
    for (Worker &worker : d->workers) {
        if (worker.ready && worker.chapter < 0)
            d->give(worker);
    }
    d->waitUntilFinished(false);
    d->receiver = nullptr;
    if (d->failed || d->cancelled) {
        d->stop();
        return d->cancelled ? Status::Cancelled : Status::Failed;
    }
    for (Worker &worker : d->workers) {
        worker.process->disconnect();
        worker.process->closeWriteChannel();
    }
    for (Worker &worker : d->workers) {
        if (!worker.process->waitForFinished(kEndMs))
            worker.process->kill();
    }
    d->stop();
    return Status::Ok;
}

QString ParallelChapters::error() const
{
    return d->error;
}

QStringList ParallelChapters::spools() const
{
    QStringList existing;
    for (const QString &spool : d->spools) {
        if (!spool.isEmpty() && QFile::exists(spool))
            existing.append(spool);
    }
    return existing;
}
