#pragma once
// ChapterReceiver: where the speech of a book goes, chapter by chapter, as
// the engine makes it: mono 16-bit samples, the pauses between paragraphs,
// and the frames at which sentences and words start. The AudiobookWriter is
// one; a chapter spool (a chapter synthesised in a worker process, replayed
// into the writer in order) is another.

#include <QString>

class ChapterReceiver
{
public:
    virtual ~ChapterReceiver() = default;
    virtual void beginChapter(const QString &title) = 0;
    // Samples of the current chapter so far (paragraph pauses included):
    // the base for the frames of the marks.
    virtual qint64 chapterFrames() const = 0;
    // False: the samples could not be kept (see the receiver's error).
    virtual bool write(const short *samples, qint64 count) = 0;
    // The configured pause between paragraphs, as silence.
    virtual bool paragraphBreak() = 0;
    // A sentence whose speech starts at frame of the current chapter.
    virtual void markSentence(qint64 frame, const QString &text) = 0;
    // A word of the last marked sentence: its position in that sentence's
    // text and the frame its speech starts at.
    virtual void markWord(qint64 frame, int positionInSentence) = 0;
};
