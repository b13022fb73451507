#include "VoiceDialogs.h"

#include "VoiceSliderDialog.h"
#include "frmVoice.h"

VoiceDialogs::VoiceDialogs(SpeechEngine &voice, SettingsStore &settings, VoicePreview *preview)
    : m_voice(voice), m_settings(settings), m_preview(preview)
{
}

bool VoiceDialogs::handles(int taskId)
{
    return taskId == TaskVolume || taskId == TaskVoice || taskId == TaskSpeed || taskId == TaskPitch;
}

std::unique_ptr<QDialog> VoiceDialogs::dialogForTask(int taskId, QWidget *owner) const
{
    switch (taskId) {
    case TaskVolume:
        return std::make_unique<frmVolume>(m_settings, m_preview, owner);
    case TaskVoice:
        return std::make_unique<frmVoice>(m_voice, m_settings, m_preview, owner);
    case TaskSpeed:
        return std::make_unique<frmSpeed>(m_settings, m_preview, owner);
    case TaskPitch:
        return std::make_unique<frmPitch>(m_settings, m_preview, owner);
    default:
        return nullptr;
    }
}

bool VoiceDialogs::showForTask(int taskId, QWidget *owner) const
{
    const std::unique_ptr<QDialog> dialog = dialogForTask(taskId, owner);
    if (!dialog)
        return false;
    dialog->exec();
    return true;
}
