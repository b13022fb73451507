#pragma once
// VoiceSliderDialog: the common form of the volume, speed and pitch dialogs:
// one slider from 0 to 100 percent (steps 1 and 5) that shows its value as a
// tooltip, OK stores it under its setting, Abbrechen stores nothing.
// frmVolume, frmSpeed and frmPitch differ only in texts and setting.

#include "SettingKeys.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class SettingsStore;
class VoicePreview;

class VoiceSliderDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Setting { Volume, Speed, Pitch };

    int value() const;

    QSlider *Slider1() const { return m_slider; }
    QLabel *Label1() const { return m_label; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *previewButton() const { return m_preview; }

protected:
    // key: the setting with the default the dialog shows when none is stored.
    VoiceSliderDialog(Setting setting, const char *objectName, const QString &caption, const QString &label,
                      const SettingKeys::Key &key, SettingsStore &settings, VoicePreview *preview,
                      QWidget *parent);

private:
    void showValueTip(int value, bool pop);

    Setting m_setting;
    SettingKeys::Key m_key;
    SettingsStore &m_settings;
    VoicePreview *m_previewer;
    QLabel *m_label = nullptr;
    QSlider *m_slider = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_preview = nullptr;
};

class frmVolume : public VoiceSliderDialog
{
    Q_OBJECT
public:
    frmVolume(SettingsStore &settings, VoicePreview *preview, QWidget *parent = nullptr);
};

class frmSpeed : public VoiceSliderDialog
{
    Q_OBJECT
public:
    frmSpeed(SettingsStore &settings, VoicePreview *preview, QWidget *parent = nullptr);
};

class frmPitch : public VoiceSliderDialog
{
    Q_OBJECT
public:
    frmPitch(SettingsStore &settings, VoicePreview *preview, QWidget *parent = nullptr);
};
