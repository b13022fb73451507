#include "VoiceSetup.h"

#include "SpeechEngine.h"
#include "SpeechNumbers.h"

#include <limits>

VoiceSetup::Result VoiceSetup::apply(SpeechEngine &voice, SpeechEngine *voice2,
                                     const Percentages &settings)
{
    if (settings.voicePosition == std::numeric_limits<int>::max())
        return Result::ModeRejected;
    const int mode = settings.voicePosition + 1;
    if (!voice.selectMode(mode) || (voice2 && !voice2->selectMode(mode)))
        return Result::ModeRejected;

    const auto pitch = SpeechNumbers::percentToEngineValue(voice.minPitch(), voice.maxPitch(), settings.pitch);
    if (!pitch)
        return Result::Overflow;
    voice.setPitch(*pitch);
    const auto speed = SpeechNumbers::percentToEngineValue(voice.minSpeed(), voice.maxSpeed(), settings.speed);
    if (!speed)
        return Result::Overflow;
    voice.setSpeed(*speed);
    const auto volume =
        SpeechNumbers::percentToEngineValue(voice.minVolume(), voice.maxVolume(), settings.volume);
    if (!volume)
        return Result::Overflow;
    voice.setLeftVolume(*volume);
    voice.setRightVolume(*volume);

    if (voice2) {
        voice2->setPitch(voice.pitch());
        voice2->setSpeed(voice.speed());
        voice2->setLeftVolume(voice.leftVolume());
        voice2->setRightVolume(voice.rightVolume());
    }
    return Result::Ok;
}
