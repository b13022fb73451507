#pragma once
// RecordingSpeaker: a Speaker that records every request and call instead of
// speaking. whileSpeaking runs inside speak(), so a test can act while a
// statement speaks (press "ESC", for example); failure is what speak()
// answers.

#include "Speaker.h"

#include <functional>

class RecordingSpeaker : public Speaker
{
public:
    QList<SpeakRequest> requests;
    std::function<void()> whileSpeaking;
    QString failure;
    int pauses = 0;
    int stops = 0;
    int loudspeakerStops = 0;
    QStringList recorderOutputs;
    QStringList voices{QStringLiteral("Deutsch (männlich)"), QStringLiteral("Deutsch (weiblich)"),
                       QStringLiteral("English (male)"), QStringLiteral("English (female)")};

    SpeakResult speak(const SpeakRequest &request) override
    {
        requests.append(request);
        if (whileSpeaking)
            whileSpeaking();
        return SpeakResult{failure, failure.isEmpty() ? request.text : QString()};
    }
    void togglePause() override { ++pauses; }
    void stop() override
    {
        ++stops;
        emit stopped();
    }
    void stopLoudspeaker() override { ++loudspeakerStops; }
    void setRecorderOutput(const QString &path) override { recorderOutputs << path; }
    QStringList voiceNames() const override { return voices; }
    // The texts of the requests, in order.
    QStringList texts() const
    {
        QStringList result;
        for (const SpeakRequest &request : requests)
            result << request.text;
        return result;
    }
};
