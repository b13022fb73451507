#pragma once
// PcmQueue: the mono 16-bit samples the synthesis thread has produced for the
// loudspeaker and the sound device has not yet taken, with marks (word
// starts, text ends) at sample positions.
//
// Written on the synthesis thread, read on the GUI thread or the sound
// device's thread, so every member locks. Positions count frames since the
// queue was made and keep counting across clear(). Each clear() starts a new
// generation; appends of an older generation are dropped, so audio of a text
// that a reset discarded can never slip in after the reset.

#include <QtGlobal>

#include <functional>
#include <mutex>
#include <vector>

class PcmQueue
{
public:
    struct Mark {
        enum Kind { Word, TextEnd };
        qint64 frame = 0;
        Kind kind = Word;
        int position = 0; // Word: position in the text; TextEnd: the text's id
        int length = 0;
    };

    quint64 generation() const;
    // Drops everything queued and starts generation `generation`.
    void clear(quint64 generation);

    // False (and nothing stored) when `generation` is not the current one.
    bool append(quint64 generation, const qint16 *samples, qint64 count);
    bool addMark(quint64 generation, const Mark &mark);

    qint64 framesWritten() const;
    qint64 framesRead() const;
    qint64 framesAvailable() const;

    // Takes up to maxFrames samples; returns how many were taken.
    qint64 read(qint16 *samples, qint64 maxFrames);
    // Takes up to maxFrames samples without looking at them.
    qint64 skip(qint64 maxFrames);

    // Removes and returns the marks at or before `frame`, in order.
    std::vector<Mark> takeMarksUpTo(qint64 frame);
    bool hasMarks() const;

    // Called (on the appending thread) after every successful append; for
    // measuring how soon the first audio arrives.
    void setAppendObserver(std::function<void(qint64 framesWritten)> observer);

private:
    void compact();

    mutable std::mutex m_mutex;
    std::vector<qint16> m_samples; // m_samples[m_offset..] are unread
    std::size_t m_offset = 0;
    qint64 m_written = 0;
    qint64 m_read = 0;
    quint64 m_generation = 0;
    std::vector<Mark> m_marks;
    std::function<void(qint64)> m_observer;
};
