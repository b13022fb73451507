#include "AudiobookWriter.h"

#include "AudiobookTexts.h"
#include "EncodedFile.h"
#include "FileErrors.h"
#include "LoudnessMeter.h"
#include "ReplacingFile.h"
#include "SafeFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cerrno>
#include <cmath>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 kPieceFrames = 1 << 15;
// Less free space than this and an export is not started.
constexpr qint64 kMinimumFreeBytes = qint64(64) << 20;
constexpr int kMaxMarkTitle = 255;

QString errnoText(int error)
{
    return FileErrors::description(FileErrors::numberForErrno(error, FileErrors::kDeviceIoError));
}

// An unnamed file in folder; where the file system has none, a named one
// that loses its name at once.
int openSpool(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    int fd = ::open(path.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    QByteArray name = path + "/.quenora-spool-XXXXXX";
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.constData());
    return fd;
}

} // namespace

AudiobookWriter::AudiobookWriter() = default;

AudiobookWriter::~AudiobookWriter()
{
    cancel();
}

QString AudiobookWriter::refusal(const AudiobookOptions &options)
{
    const QFileInfo folder(options.folder);
    if (options.folder.isEmpty() || !folder.exists() || !folder.isDir())
        return AudiobookTexts::folderMissing(QDir::toNativeSeparators(options.folder));
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK | X_OK) != 0)
        return AudiobookTexts::folderNotWritable(QDir::toNativeSeparators(options.folder));
    if (!EncodedFile::available(options.format))
        return AudiobookTexts::encoderMissing(AudiobookFormats::displayName(options.format),
                                              AudiobookFormats::encoderName(options.format));
    if (options.layout == AudiobookLayout::OneFileWithChapters) {
        const ReplacingFile::Refusal target =
            ReplacingFile::checkTarget(QDir(options.folder).filePath(options.file));
        if (target || options.file.isEmpty() || options.file.contains(u'/'))
            return AudiobookTexts::fileNotWritten(options.file, target ? target.description
                                                                       : FileErrors::description(FileErrors::kPathNotFound));
    }
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kMinimumFreeBytes)
        return AudiobookTexts::diskAlmostFull(QDir::toNativeSeparators(options.folder));
    return {};
}

bool AudiobookWriter::open(const AudiobookOptions &options, int sampleRate)
{
    cancel();
    m_error = refusal(options);
    if (!m_error.isEmpty())
        return false;
    m_options = options;
    m_rate = std::max(1, sampleRate);
    m_spool = openSpool(QFileInfo(options.folder).absoluteFilePath());
    if (m_spool < 0) {
        m_error = AudiobookTexts::spoolFailed(errnoText(errno));
        return false;
    }
    if (options.normalize)
        m_meter = std::make_unique<LoudnessMeter>(m_rate);
    return true;
}

void AudiobookWriter::cancel()
{
    if (m_spool >= 0)
        ::close(m_spool);
    m_spool = -1;
    m_spoolFrames = 0;
    m_chapterFrames = 0;
    m_chapters.clear();
    m_meter.reset();
}

void AudiobookWriter::beginChapter(const QString &title)
{
    if (!m_chapters.isEmpty())
        m_chapters.back().frames = m_spoolFrames - m_chapters.back().start;
    Chapter chapter;
    chapter.title = title;
    chapter.start = m_spoolFrames;
    m_chapters.append(chapter);
    m_chapterFrames = 0;
}

bool AudiobookWriter::spool(const short *samples, qint64 count)
{
    if (m_spool < 0) {
        m_error = AudiobookTexts::notOpen();
        return false;
    }
    if (m_chapters.isEmpty())
        beginChapter(QString());
    const char *bytes = reinterpret_cast<const char *>(samples);
    qint64 left = count * qint64(sizeof(short));
    while (left > 0) {
        const ssize_t n = ::write(m_spool, bytes, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = AudiobookTexts::spoolFailed(errnoText(errno));
            return false;
        }
        bytes += n;
        left -= n;
    }
    m_spoolFrames += count;
    m_chapterFrames += count;
    return true;
}

bool AudiobookWriter::write(const short *samples, qint64 count)
{
    if (count <= 0)
        return true;
    if (!spool(samples, count))
        return false;
    if (m_meter)
        m_meter->add(samples, count);
    return true;
}

bool AudiobookWriter::paragraphBreak()
{
    const std::vector<short> silence(size_t(qint64(m_options.paragraphPauseMs) * m_rate / 1000), 0);
    return spool(silence.data(), qint64(silence.size()));
}

void AudiobookWriter::markSentence(qint64 frame, const QString &text)
{
    if (m_chapters.isEmpty())
        beginChapter(QString());
    m_chapters.back().sentences.append(SentenceMark{std::max<qint64>(0, frame), text, {}});
}

void AudiobookWriter::markWord(qint64 frame, int positionInSentence)
{
    if (!m_chapters.isEmpty() && !m_chapters.back().sentences.isEmpty())
        m_chapters.back().sentences.back().words.append({positionInSentence, frame});
}

FileTags AudiobookWriter::tagsFor(int chapter) const
{
    FileTags tags;
    const QString book = SafeFileName::oneLine(m_options.book.title);
    tags.album = book.isEmpty() ? AudiobookTexts::bookFallback() : book;
    tags.artist = SafeFileName::oneLine(m_options.book.author);
    tags.year = SafeFileName::oneLine(m_options.book.year);
    tags.cover = m_options.book.cover;
    if (chapter < 0) {
        tags.title = tags.album;
        return tags;
    }
    const QString title = SafeFileName::oneLine(m_chapters[chapter].title);
    tags.title = title.isEmpty() ? AudiobookTexts::chapterFallback(chapter + 1) : title;
    tags.track = chapter + 1;
    tags.trackTotal = int(m_chapters.size());
    return tags;
}

QList<Cue> AudiobookWriter::cuesOf(const Chapter &chapter, qint64 offset) const
{
    QList<Cue> cues;
    for (qsizetype i = 0; i < chapter.sentences.size(); ++i) {
        const qint64 end = i + 1 < chapter.sentences.size() ? chapter.sentences[i + 1].start : chapter.frames;
        SentenceMark sentence = chapter.sentences[i];
        sentence.start = std::min(sentence.start, chapter.frames);
        for (Cue cue : Subtitles::cuesFor(sentence, std::min(end, chapter.frames))) {
            cue.start += offset;
            cue.end += offset;
            cues.append(cue);
        }
    }
    return cues;
}

bool AudiobookWriter::encodeChapter(EncodedFile &file, const Chapter &chapter, float gain,
                                    const std::function<bool(qint64)> &advance, bool &stopped, QString &error) const
{
    std::vector<short> samples(static_cast<size_t>(kPieceFrames));
    std::vector<float> floats(static_cast<size_t>(kPieceFrames));
    qint64 at = 0;
    while (at < chapter.frames) {
        const qint64 piece = std::min(kPieceFrames, chapter.frames - at);
        const qint64 bytes = piece * qint64(sizeof(short));
        const off_t offset = off_t((chapter.start + at) * qint64(sizeof(short)));
        if (pread(m_spool, samples.data(), size_t(bytes), offset) != bytes) {
            error = AudiobookTexts::spoolFailed(errnoText(errno ? errno : EIO));
            return false;
        }
        for (qint64 i = 0; i < piece; ++i)
            floats[size_t(i)] = std::clamp(float(samples[size_t(i)]) * gain / 32768.0f, -1.0f, 1.0f);
        if (!file.write(floats.data(), piece)) {
            error = file.error();
            return false;
        }
        at += piece;
        if (!advance(piece)) {
            stopped = true;
            error = AudiobookTexts::cancelled();
            return false;
        }
    }
    return true;
}

// One chapter's file of a book with files per chapter.
struct AudiobookWriter::Encoded {
    int chapter = 0;
    QString path;
    FileTags tags;
    qint64 frames = 0; // with the silence around the chapter
    bool finished = false;
    bool stopped = false; // by a cancel or another file's failure
    QString error;
};

// Encodes the chapters' files, up to options.threads at the same time.
// After a failure no further file is begun and those being written go on
// (they fail by themselves when the disk is full); a cancel stops them
// too. Unfinished files are removed (EncodedFile keeps no partial file),
// finished ones stay. progress is called on this thread.
void AudiobookWriter::encodeFiles(std::vector<Encoded> &files, float gain, const Progress &progress,
                                  bool &cancelled) const
{
    const qint64 before = qint64(m_options.silenceBeforeMs) * m_rate / 1000;
    const qint64 after = qint64(m_options.silenceAfterMs) * m_rate / 1000;
    const double total = double(std::max<qint64>(1, m_spoolFrames));
    std::atomic<qint64> done = 0;
    std::atomic<bool> stop = false;    // cancelled: every file stops
    std::atomic<bool> failure = false; // no further file is begun
    std::atomic<size_t> next = 0;
    const auto encodeOne = [&](Encoded &encoded, const std::function<bool(qint64)> &advance) {
        EncodedFile file(m_options.format, m_rate);
        const Chapter &chapter = m_chapters[encoded.chapter];
        encoded.finished = file.open(encoded.path, encoded.tags) && file.writeSilence(before)
            && encodeChapter(file, chapter, gain, advance, encoded.stopped, encoded.error)
            && file.writeSilence(after) && file.finish();
        if (!encoded.finished && !encoded.stopped && !file.error().isEmpty())
            encoded.error = file.error();
    };

    const int threads = std::clamp(m_options.threads, 1, std::max(1, int(files.size())));
    if (threads == 1) {
        for (Encoded &encoded : files) {
            encodeOne(encoded, [&](qint64 frames) {
                done += frames;
                return !progress || progress(double(done) / total);
            });
            if (!encoded.finished) {
                cancelled = encoded.stopped;
                return;
            }
        }
        return;
    }

    std::mutex mutex;
    std::condition_variable ended;
    int running = threads;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (size_t i = next++; i < files.size() && !stop && !failure; i = next++) {
                encodeOne(files[i], [&](qint64 frames) {
                    done += frames;
                    return !stop;
                });
                if (!files[i].finished && !files[i].stopped)
                    failure = true;
            }
            const std::lock_guard lock(mutex);
            --running;
            ended.notify_all();
        });
    }
    std::unique_lock lock(mutex);
    while (running > 0) {
        ended.wait_for(lock, std::chrono::milliseconds(100));
        lock.unlock();
        if (progress && !stop && !progress(double(done) / total)) {
            cancelled = true;
            stop = true;
        }
        lock.lock();
    }
    lock.unlock();
    for (std::thread &thread : pool)
        thread.join();
}

bool AudiobookWriter::writeText(const QString &path, const QByteArray &bytes)
{
    ReplacingFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit()) {
        m_error = AudiobookTexts::fileNotWritten(QFileInfo(path).fileName(), file.errorDescription());
        return false;
    }
    return true;
}

bool AudiobookWriter::writeSubtitles(const QString &audioPath, const QList<Cue> &cues, const FileTags &tags,
                                     Result &result)
{
    if (m_options.subtitles == SubtitleFormat::None)
        return true;
    const QFileInfo audio(audioPath);
    const QString path =
        audio.dir().filePath(audio.completeBaseName() + u'.' + AudiobookFormats::subtitleSuffix(m_options.subtitles));
    if (!writeText(path, Subtitles::render(m_options.subtitles, cues, m_rate, tags)))
        return false;
    result.subtitles.append(path);
    return true;
}

void AudiobookWriter::writePlaylist(Result &result, const QList<qint64> &durations)
{
    if (result.files.isEmpty())
        return;
    QString text = QStringLiteral("#EXTM3U\n");
    for (qsizetype i = 0; i < result.files.size(); ++i) {
        text += QStringLiteral("#EXTINF:%1,%2\n").arg(durations[i] / m_rate).arg(tagsFor(int(i)).title);
        text += QFileInfo(result.files[i]).fileName() + u'\n';
    }
    const QString path = QDir(m_options.folder)
                             .filePath(SafeFileName::fromTitle(m_options.book.title, AudiobookTexts::bookFallback())
                                       + QStringLiteral(".m3u8"));
    const QString error = m_error;
    if (writeText(path, text.toUtf8()))
        result.playlist = path;
    else if (result.ok())
        result.status = Result::Status::Failed;
    else
        m_error = error; // the first failure is the one to tell
}

AudiobookWriter::Result AudiobookWriter::finish(const Progress &progress)
{
    Result result;
    if (m_spool < 0) {
        result.message = m_error.isEmpty() ? AudiobookTexts::notOpen() : m_error;
        return result;
    }
    if (m_chapters.isEmpty())
        beginChapter(QString());
    m_chapters.back().frames = m_spoolFrames - m_chapters.back().start;

    if (m_meter) {
        result.gainDb = LoudnessMeter::gainFor(m_meter->integrated(), m_meter->truePeak(), m_options.targetLufs,
                                               m_options.ceilingDbtp);
    }
    const float gain = float(std::pow(10.0, result.gainDb / 20.0));
    const qint64 before = qint64(m_options.silenceBeforeMs) * m_rate / 1000;
    const qint64 after = qint64(m_options.silenceAfterMs) * m_rate / 1000;
    const qint64 total = std::max<qint64>(1, m_spoolFrames);
    qint64 done = 0;
    bool cancelled = false;
    bool failed = false;

    if (m_options.layout == AudiobookLayout::FilePerChapter) {
        const int count = int(m_chapters.size());
        std::vector<Encoded> files(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            Encoded &file = files[size_t(i)];
            file.chapter = i;
            file.tags = tagsFor(i);
            file.path = QDir(m_options.folder)
                            .filePath(SafeFileName::numbered(i + 1, count, m_chapters[i].title,
                                                             AudiobookTexts::chapterFallback(i + 1),
                                                             AudiobookFormats::suffix(m_options.format)));
            file.frames = before + m_chapters[i].frames + after;
        }
        encodeFiles(files, gain, progress, cancelled);
        // Every finished file is listed with its subtitles, in chapter
        // order; the first failure (by chapter) is the one to tell.
        QList<qint64> durations;
        for (const Encoded &file : files) {
            if (!file.finished) {
                if (!failed && !file.stopped)
                    m_error = file.error;
                failed = true;
                continue;
            }
            result.files.append(file.path);
            durations.append(file.frames);
            if (!writeSubtitles(file.path, cuesOf(m_chapters[file.chapter], before), file.tags, result))
                failed = true;
        }
        if (cancelled)
            m_error = AudiobookTexts::cancelled();
        else if (failed && m_error.isEmpty())
            m_error = AudiobookTexts::encoderFailed();
        result.status = failed ? (cancelled ? Result::Status::Cancelled : Result::Status::Failed) : Result::Status::Ok;
        writePlaylist(result, durations);
    } else {
        QList<ChapterMark> marks;
        QList<Cue> cues;
        qint64 at = 0;
        for (int i = 0; i < m_chapters.size(); ++i) {
            const qint64 length = before + m_chapters[i].frames + after;
            // Containers keep a chapter title in a few kilobytes at most.
            QString title = tagsFor(i).title;
            if (title.size() > kMaxMarkTitle)
                title.truncate(title.at(kMaxMarkTitle - 1).isHighSurrogate() ? kMaxMarkTitle - 1 : kMaxMarkTitle);
            marks.append(ChapterMark{title, at, at + length});
            cues.append(cuesOf(m_chapters[i], at + before));
            at += length;
        }
        const FileTags tags = tagsFor(-1);
        const QString path = QDir(m_options.folder).filePath(m_options.file);
        EncodedFile file(m_options.format, m_rate);
        failed = !file.open(path, tags, marks);
        const auto advance = [&](qint64 frames) {
            done += frames;
            return !progress || progress(double(done) / double(total));
        };
        QString error;
        for (int i = 0; i < m_chapters.size() && !failed; ++i) {
            failed = !file.writeSilence(before) || !encodeChapter(file, m_chapters[i], gain, advance, cancelled, error)
                || !file.writeSilence(after);
        }
        if (failed)
            m_error = error;
        failed = failed || !file.finish();
        if (failed && !cancelled && !file.error().isEmpty())
            m_error = file.error();
        if (!failed) {
            result.files.append(path);
            failed = !writeSubtitles(path, cues, tags, result);
        }
        result.status = failed ? (cancelled ? Result::Status::Cancelled : Result::Status::Failed) : Result::Status::Ok;
    }
    if (!result.ok())
        result.message = m_error;
    const double gainDb = result.gainDb;
    cancel();
    result.gainDb = gainDb;
    return result;
}
