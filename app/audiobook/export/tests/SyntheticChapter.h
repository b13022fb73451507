#pragma once
// Synthetic speech for the tests of the parallel export: every word is a
// short run of samples with a value of its own, marked where it starts;
// every line of the text is a paragraph and a sentence.

#include "ChapterReceiver.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace SyntheticChapter {

inline constexpr int kRate = 16000;
inline constexpr qint64 kWordFrames = 160;

inline bool speak(int index, const QString &title, const QString &text, ChapterReceiver &receiver,
                  const std::function<void(double)> &share = {})
{
    receiver.beginChapter(title);
    const QStringList paragraphs = text.split(u'\n');
    const qsizetype total = text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size() + paragraphs.size();
    qsizetype done = 0;
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        if (p > 0 && !receiver.paragraphBreak())
            return false;
        const QString &paragraph = paragraphs[p];
        receiver.markSentence(receiver.chapterFrames(), paragraph);
        qsizetype at = 0;
        for (const QString &word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
            at = paragraph.indexOf(word, at);
            receiver.markWord(receiver.chapterFrames(), int(at));
            const std::vector<short> samples(size_t(kWordFrames), short(index * 100 + int(done % 50) + 1));
            if (!receiver.write(samples.data(), qint64(samples.size())))
                return false;
            ++done;
            if (share)
                share(double(done) / double(total));
        }
    }
    return true;
}

} // namespace SyntheticChapter
