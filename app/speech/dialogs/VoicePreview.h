#pragma once
// Voice dialogs: the four small modal dialogs that store the voice, volume,
// speed and pitch (section Voice of the settings store) and nothing else;
// the next spoken text reads them. Each dialog maps its widgets to one value
// and stores it on OK. VoicePreview lets a dialog play a short sentence with
// the values it shows, without storing them. Uses the speech engine
// interface, VoiceSetup and the settings store; used by the main window.

#include <QString>

#include <functional>
#include <optional>

class SettingsStore;
class SpeechEngine;

class VoicePreview
{
public:
    // The values a dialog shows; what it leaves out comes from the store.
    struct Values {
        std::optional<int> voicePosition;
        std::optional<int> volume;
        std::optional<int> speed;
        std::optional<int> pitch;
    };

    // stopSpeaking: ends whatever the program is speaking before the sample
    // starts (the window's Stop); without it the loudspeaker is reset.
    VoicePreview(SpeechEngine &voice, SettingsStore &settings, std::function<void()> stopSpeaking = {});

    // Speaks the sample sentence on the loudspeaker instance. False when the
    // values cannot be applied (no such voice); nothing is spoken then.
    bool play(const Values &shown);

    static QString sentence();

private:
    SpeechEngine &m_voice;
    SettingsStore &m_settings;
    std::function<void()> m_stopSpeaking;
};
