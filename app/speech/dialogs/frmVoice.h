#pragma once
// frmVoice: chooses the voice. Lists the engine's modes sorted by their
// names, the German voices first, shows language and gender of the selected
// one, and on OK stores its zero-based position in the engine's list under
// Voice/Voice (position p is mode p + 1), whatever place the list shows it at.

#include <QDialog>
#include <QList>

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

    // The selected voice's position in the engine's list, -1 when the engine
    // has no voice.
    int selectedPosition() const;
    // The engine's positions in the order the list shows them.
    static QList<int> shownOrder(const SpeechEngine &voice);

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
