#pragma once
// ChapterSynthesizer: one engine instance of its own that speaks chapters
// into a ChapterReceiver: the chapter begins, each paragraph is spoken with
// the configured pause between paragraphs, and every sentence and word is
// marked at the frame where its speech starts, as the engine tells it while
// the samples are written.

#include "Book.h"
#include "BookExport.h"

#include <functional>
#include <memory>

class ChapterReceiver;
class SpeechEngine;

class ChapterSynthesizer
{
public:
    // Speaks with an espeak-ng instance of its own.
    explicit ChapterSynthesizer(const BookVoice &voice);
    // Speaks with engine, whose samples come at sampleRate; engine must be
    // able to hand over its samples and outlive this.
    ChapterSynthesizer(const BookVoice &voice, SpeechEngine &engine, int sampleRate);
    ~ChapterSynthesizer();
    ChapterSynthesizer(const ChapterSynthesizer &) = delete;
    ChapterSynthesizer &operator=(const ChapterSynthesizer &) = delete;

    // Empty when the engine is ready, else the German reason.
    QString problem() const;
    int sampleRate() const;

    // Speaks the chapter into receiver and returns when it is done, running
    // an event loop meanwhile; any thread will do (the GUI thread is not
    // needed), always the same one, and with the engine passed in, the
    // engine's thread. Cancelled, the receiver is no longer touched once
    // this returns. share
    // is told how much of the chapter is spoken (0..1); it returns false to
    // cancel. False when cancelled or the receiver failed.
    bool speak(const BookChapter &chapter, ChapterReceiver &receiver,
               const std::function<bool(double share)> &share = {});

private:
    struct Private;
    std::unique_ptr<Private> d;
};
