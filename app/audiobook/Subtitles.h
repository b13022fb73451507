#pragma once
// Subtitles: cues that follow the voice, from the engine's own sentence and
// word positions, written as SRT, WebVTT or LRC.
//
// Every time is a count of frames until it is written out, so a two-hour
// book does not drift; a cue starts at the first frame of its sentence's
// speech (a split sentence's later cues at their first word's frame where
// the engine told it, else in proportion to the characters). A cue holds
// at most two lines of about kLineLength characters; long sentences are cut
// after a clause's punctuation where one is near, else between words.

#include "AudiobookFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

struct SentenceMark {
    qint64 start = 0; // frame of the sentence's first sample
    QString text;
    // Where words start: position in text, frame.
    QList<std::pair<int, qint64>> words;
};

struct Cue {
    qint64 start = 0;
    qint64 end = 0;
    QStringList lines;
};

namespace Subtitles {

inline constexpr int kLineLength = 42;

// The lines of a sentence, each with the position of its first character.
QList<std::pair<int, QString>> wrap(const QString &text, int lineLength = kLineLength);
// The cues of one sentence that lasts until end.
QList<Cue> cuesFor(const SentenceMark &sentence, qint64 end);
// The whole file; rate is the frame rate of the cues' times.
QByteArray render(SubtitleFormat format, const QList<Cue> &cues, int rate, const FileTags &tags);

} // namespace Subtitles
