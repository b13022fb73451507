#pragma once
// frmVoice: chooses the voice. Lists the engine's modes in their order,
// shows language and gender of the selected one, and on OK stores its
// zero-based list position under Voice/Voice (list position p is mode p + 1).

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class SettingsStore;
class SpeechEngine;
class VoicePreview;

class frmVoice : public QDialog
{
    Q_OBJECT
public:
    // preview may be null: the dialog then offers no sample.
    frmVoice(SpeechEngine &voice, SettingsStore &settings, VoicePreview *preview, QWidget *parent = nullptr);

    // The shown language name for a Windows language id.
    static QString languageName(int languageId);

    // The selected list position, -1 when the engine has no voice.
    int selectedPosition() const;

    QComboBox *cmbVoice() const { return m_cmbVoice; }
    QLabel *lblLNG() const { return m_lblLNG; }
    QLabel *lblGender() const { return m_lblGender; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *previewButton() const { return m_preview; }

private:
    void showVoiceDetails(int position);
    void markSelected(int position);
    void store();

    SpeechEngine &m_voice;
    SettingsStore &m_settings;
    VoicePreview *m_previewer;
    QComboBox *m_cmbVoice = nullptr;
    QLabel *m_lblLNG = nullptr;
    QLabel *m_lblGender = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_preview = nullptr;
};
