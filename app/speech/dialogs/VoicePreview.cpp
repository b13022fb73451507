#include "VoicePreview.h"

#include "SettingsStore.h"
#include "SpeechEngine.h"
#include "SpeechNumbers.h"
#include "VoiceDialogTexts.h"
#include "VoiceSetup.h"

VoicePreview::VoicePreview(SpeechEngine &voice, SettingsStore &settings, std::function<void()> stopSpeaking)
    : m_voice(voice), m_settings(settings), m_stopSpeaking(std::move(stopSpeaking))
{
}

QString VoicePreview::sentence()
{
    return VoiceDialogTexts::previewSentence();
}

bool VoicePreview::play(const Values &shown)
{
    // The values the user has not touched in this dialog are the ones the
    // next spoken text will use; a stored value that is no number falls back
    // to what speaking assumes when nothing is stored, so the sample plays.
    const auto stored = [this](const SettingKeys::Key &key) {
        const auto value = SpeechNumbers::wholeNumber(m_settings.read(key));
        return value ? *value : *SpeechNumbers::wholeNumber(QString::fromLatin1(key.defaultValue));
    };
    VoiceSetup::Percentages values;
    values.voicePosition = shown.voicePosition.value_or(stored(SettingKeys::Voice));
    values.volume = shown.volume.value_or(stored(SettingKeys::Volume));
    values.speed = shown.speed.value_or(stored(SettingKeys::SpeedWhenSpeaking));
    values.pitch = shown.pitch.value_or(stored(SettingKeys::PitchWhenSpeaking));

    if (m_stopSpeaking)
        m_stopSpeaking();
    else
        m_voice.reset();
    if (VoiceSetup::apply(m_voice, nullptr, values) != VoiceSetup::Result::Ok)
        return false;
    m_voice.speak(sentence());
    return true;
}
