#pragma once
// VoiceDialogs: which dialog a task pane entry opens (303 volume, 404 voice,
// 505 speed, 606 pitch) and opening it modally over the owner window.

#include <QDialog>

#include <memory>

class SettingsStore;
class SpeechEngine;
class VoicePreview;

class VoiceDialogs
{
public:
    enum Task { TaskVolume = 303, TaskVoice = 404, TaskSpeed = 505, TaskPitch = 606 };

    // preview may be null: the dialogs then offer no sample.
    VoiceDialogs(SpeechEngine &voice, SettingsStore &settings, VoicePreview *preview);

    static bool handles(int taskId);
    // The dialog for a task, not yet shown; null for any other id.
    std::unique_ptr<QDialog> dialogForTask(int taskId, QWidget *owner = nullptr) const;
    // Shows it over owner and returns when it is closed; false for any
    // other id.
    bool showForTask(int taskId, QWidget *owner) const;

private:
    SpeechEngine &m_voice;
    SettingsStore &m_settings;
    VoicePreview *m_preview;
};
