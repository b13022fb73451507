#pragma once
// SampleReceiver: where an engine instance that neither plays nor records
// puts its speech: the samples as they are made and the sample at which
// each word starts. An audiobook export is one; it keeps the samples where
// it likes (never all of them in memory here).
//
// Called on the engine's synthesis thread, one text after the other, never
// two calls at once. After the instance's reset(), another
// setSampleReceiver() or its destruction the receiver is not called again.

#include <QtGlobal>

class SampleReceiver
{
public:
    virtual ~SampleReceiver() = default;
    // Mono 16-bit samples at the engine's sample rate, in order. False: the
    // receiver takes no more; the text stops without an end of text.
    virtual bool samples(const short *data, int count) = 0;
    // A word starts frame samples after the beginning of the text being
    // spoken; position and length in QString units of that text. Told no
    // later than the samples it starts in.
    virtual void word(qint64 frame, int position, int length) = 0;
};
