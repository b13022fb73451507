#pragma once
// AudiobookWriter: turns the engine's samples of a book, chapter by
// chapter, into an audiobook: one file per chapter ("07 Titel.mp3") with
// an .m3u8 playlist, or one file with chapter marks; tags in every file,
// subtitles beside the audio, optionally one loudness gain for the whole
// book, silence around chapters and between paragraphs.
//
// Two passes, never the book's audio in memory: while the engine speaks,
// its 16-bit samples go into an unnamed spool file in the chosen folder
// (gone when the writer is, or the program killed) and through the
// loudness meter; finish() then knows every chapter's length and the gain
// and encodes. Sentence marks give the subtitle cues in frames of the
// written audio.
//
// refusal() tells before any synthesis why an export cannot run (folder,
// format, free space). On cancel, a full disk or an error the file being
// written is removed; files finished before stay and are in the playlist.
// Nothing is written outside the chosen folder (or beside the one file).

#include "AudiobookFormat.h"
#include "ChapterReceiver.h"
#include "Subtitles.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class LoudnessMeter;

struct AudiobookOptions {
    AudiobookLayout layout = AudiobookLayout::FilePerChapter;
    AudiobookFormat format = AudiobookFormat::Mp3;
    QString folder; // where the files go; the one file's folder
    QString file;   // one file with chapters: its name in folder
    BookInfo book;
    SubtitleFormat subtitles = SubtitleFormat::None;
    bool normalize = false;
    double targetLufs = -18.0;
    double ceilingDbtp = -3.0;
    int silenceBeforeMs = 500;
    int silenceAfterMs = 1500;
    int paragraphPauseMs = 800;
    // With files per chapter: how many files are encoded at the same time.
    int threads = 1;
};

class AudiobookWriter : public ChapterReceiver
{
public:
    struct Result {
        enum class Status { Ok, Cancelled, Failed };
        Status status = Status::Failed;
        QString message;       // German, for Failed and Cancelled
        QStringList files;     // complete audio files, in order
        QString playlist;      // with files per chapter
        QStringList subtitles; // complete subtitle files
        double gainDb = 0.0;
        bool ok() const { return status == Status::Ok; }
    };
    // The share done (0..1) of the encoding pass; false cancels.
    using Progress = std::function<bool(double)>;

    AudiobookWriter();
    ~AudiobookWriter() override;
    AudiobookWriter(const AudiobookWriter &) = delete;
    AudiobookWriter &operator=(const AudiobookWriter &) = delete;

    // Empty when the export can run, else the German reason.
    static QString refusal(const AudiobookOptions &options);

    // Starts a book of mono 16-bit samples at sampleRate.
    bool open(const AudiobookOptions &options, int sampleRate);
    void beginChapter(const QString &title) override;
    // Samples of the current chapter so far (paragraph pauses included):
    // the base for the frames of the marks.
    qint64 chapterFrames() const override { return m_chapterFrames; }
    bool write(const short *samples, qint64 count) override;
    // The configured pause between paragraphs, as silence.
    bool paragraphBreak() override;
    // A sentence whose speech starts at frame of the current chapter.
    void markSentence(qint64 frame, const QString &text) override;
    // A word of the last marked sentence: its position in that sentence's
    // text and the frame its speech starts at.
    void markWord(qint64 frame, int positionInSentence) override;

    Result finish(const Progress &progress = {});
    // Drops everything; nothing of this book stays but files finished before.
    void cancel();

    QString error() const { return m_error; }

private:
    struct Chapter {
        QString title;
        qint64 start = 0; // in the spool
        qint64 frames = 0;
        QList<SentenceMark> sentences;
    };
    bool spool(const short *samples, qint64 count);
    FileTags tagsFor(int chapter) const;
    QList<Cue> cuesOf(const Chapter &chapter, qint64 offset) const;
    // advance is told the frames of each piece encoded; false stops (then
    // stopped is set). error gets the German reason of a failure.
    bool encodeChapter(class EncodedFile &file, const Chapter &chapter, float gain,
                       const std::function<bool(qint64)> &advance, bool &stopped, QString &error) const;
    struct Encoded;
    void encodeFiles(std::vector<Encoded> &files, float gain, const Progress &progress, bool &cancelled) const;
    bool writeText(const QString &path, const QByteArray &bytes);
    bool writeSubtitles(const QString &audioPath, const QList<Cue> &cues, const FileTags &tags, Result &result);
    void writePlaylist(Result &result, const QList<qint64> &durations);

    AudiobookOptions m_options;
    int m_rate = 22050;
    int m_spool = -1;
    qint64 m_spoolFrames = 0;
    qint64 m_chapterFrames = 0;
    QList<Chapter> m_chapters;
    std::unique_ptr<LoudnessMeter> m_meter;
    QString m_error;
};
