#pragma once
// ChapterSpool: one chapter's speech kept in a file, so that a chapter
// synthesised in a worker process can be handed to the book's writer later
// and in chapter order. As a ChapterReceiver it writes every call (the
// chapter's title, samples, paragraph pauses, sentence and word marks) as a
// record; replay() reads the file and makes the same calls on another
// receiver in the same order.
//
// Paragraph pauses are kept as silence in the spool, so the frames the
// synthesizer computes from chapterFrames() stay consistent; a mark is kept
// relative to the samples written before it, and replay() places it at the
// same point of the target's samples even where the target's own pause
// between paragraphs has another length.
//
// The file is read as outside input: every length is checked against what
// the file still holds before anything is allocated, and a truncated or
// damaged spool gives a German reason.

#include "ChapterReceiver.h"

#include <QString>

class QIODevice;

#include <cstdio>

class ChapterSpool : public ChapterReceiver
{
public:
    // pauseFrames: the silence written for a paragraph break.
    ChapterSpool(const QString &path, int sampleRate, qint64 pauseFrames);
    ~ChapterSpool() override;
    ChapterSpool(const ChapterSpool &) = delete;
    ChapterSpool &operator=(const ChapterSpool &) = delete;

    // Creates (or replaces) the file.
    bool open();
    void beginChapter(const QString &title) override;
    qint64 chapterFrames() const override { return m_frames; }
    bool write(const short *samples, qint64 count) override;
    bool paragraphBreak() override;
    void markSentence(qint64 frame, const QString &text) override;
    void markWord(qint64 frame, int positionInSentence) override;
    // Marks the spool complete and closes it; false when something could
    // not be written (see error()).
    bool close();

    QString error() const { return m_error; }

    struct Replay {
        enum class Status { Ok, Damaged, ReceiverFailed };
        Status status = Status::Ok;
        QString error; // German, with Damaged
        bool ok() const { return status == Status::Ok; }
    };
    // Gives receiver the calls kept in the spool at path, which must have
    // been made at sampleRate. With ReceiverFailed the receiver tells why.
    static Replay replay(const QString &path, int sampleRate, ChapterReceiver &receiver);
    // The same from an open device (read from its start).
    static Replay replay(QIODevice &spool, int sampleRate, ChapterReceiver &receiver);

private:
    bool record(char kind, const QByteArray &payload);
    void failed(int error);

    QString m_path;
    std::FILE *m_file = nullptr;
    int m_rate;
    qint64 m_pauseFrames;
    qint64 m_frames = 0;
    QString m_error;
};
