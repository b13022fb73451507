#pragma once
// VoiceSetup: configures the two engine instances from the stored voice
// settings the way every spoken text does: the mode (stored position + 1) on
// both, pitch, speed and volume on the first from their percentages of its
// ranges (in this order; volume on both channels), and then the values read
// back from the first set on the second, so both speak exactly alike.

#include <QString>

class SpeechEngine;

class VoiceSetup
{
public:
    struct Percentages {
        int voicePosition = 1;
        int pitch = 50;
        int speed = 25;
        int volume = 100;
    };

    enum class Result { Ok, ModeRejected, Overflow };

    // voice2 may be null (a program with only one instance).
    static Result apply(SpeechEngine &voice, SpeechEngine *voice2, const Percentages &settings);
};
