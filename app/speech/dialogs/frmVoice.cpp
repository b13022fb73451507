#include "frmVoice.h"

#include "SettingsStore.h"
#include "SpeechEngine.h"
#include "SpeechNumbers.h"
#include "VoiceBox.h"
#include "VoiceDialogButtons.h"
#include "VoiceDialogTexts.h"
#include "VoicePreview.h"

#include <QCollator>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

frmVoice::frmVoice(SpeechEngine &voice, SettingsStore &settings, VoicePreview *preview, QWidget *parent)
    : QDialog(parent), m_voice(voice), m_settings(settings), m_previewer(preview)
{
    setObjectName(QStringLiteral("frmVoice"));
    setWindowTitle(VoiceDialogTexts::voiceCaption());
    setModal(true);

    auto *label = new QLabel(VoiceDialogTexts::voiceLabel(), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_cmbVoice = new VoiceBox(this);
    m_cmbVoice->setObjectName(QStringLiteral("cmbVoice"));
    m_cmbVoice->setEditable(false);
    label->setBuddy(m_cmbVoice);
    m_lblLNG = new QLabel(this);
    m_lblLNG->setObjectName(QStringLiteral("lblLNG"));
    m_lblGender = new QLabel(this);
    m_lblGender->setObjectName(QStringLiteral("lblGender"));

    const VoiceDialogButtons buttons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_preview = buttons.preview;
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_cmbVoice);
    layout->addWidget(m_lblLNG);
    layout->addWidget(m_lblGender);
    layout->addStretch(1);
    layout->addLayout(buttons.row);

    connect(m_cmbVoice, &QComboBox::currentIndexChanged, this, [this] { showVoiceDetails(selectedPosition()); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (m_previewer && selectedPosition() >= 0)
            m_previewer->play({selectedPosition(), {}, {}, {}});
    });

    const int count = std::max(0, m_voice.modeCount());
    for (int position : shownOrder(m_voice))
        m_cmbVoice->addItem(m_voice.modeName(position + 1), position);

    if (count == 0) {
        m_lblLNG->setText(VoiceDialogTexts::noVoices());
        m_ok->setEnabled(false);
        m_preview->setEnabled(false);
        return;
    }
    m_preview->setEnabled(m_previewer != nullptr);
    // A stored position the list does not have (fewer voices installed than
    // when it was chosen, or no number at all) selects the nearest voice the
    // list has; nothing is stored until the user presses OK.
    const auto stored = SpeechNumbers::wholeNumber(m_settings.read(SettingKeys::Voice));
    const int wanted = stored.value_or(QString::fromLatin1(SettingKeys::Voice.defaultValue).toInt());
    const int position = std::clamp(wanted, 0, count - 1);
    const int index = m_cmbVoice->findData(position);
    if (m_cmbVoice->currentIndex() == index)
        showVoiceDetails(position);
    else
        m_cmbVoice->setCurrentIndex(index);
}

QList<int> frmVoice::shownOrder(const SpeechEngine &voice)
{
    QList<int> positions;
    for (int position = 0; position < voice.modeCount(); ++position)
        positions << position;
    // Every German voice (any German language id: the primary language is
    // 0x07) first, then by the name shown, as a German reader sorts.
    const auto german = [&voice](int position) { return (voice.language(position + 1) & 0x3ff) == 0x07; };
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setNumericMode(true);
    std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
        if (german(a) != german(b))
            return german(a);
        return collator.compare(voice.modeName(a + 1), voice.modeName(b + 1)) < 0;
    });
    return positions;
}

QString frmVoice::languageName(int languageId)
{
    switch (languageId) {
    case 1031:
        return QStringLiteral("Deutsch");
    case 1033:
        return QStringLiteral("Englisch");
    case 1034:
        return QStringLiteral("Spanisch");
    case 1040:
        return QStringLiteral("Italienisch");
    case 1043:
        return QStringLiteral("Niederländisch");
    case 2070:
        return QStringLiteral("Portugiesisch");
    default:
        return VoiceDialogTexts::unknownLanguage();
    }
}

int frmVoice::selectedPosition() const
{
    return m_cmbVoice->currentIndex() < 0 ? -1 : m_cmbVoice->currentData().toInt();
}

void frmVoice::showVoiceDetails(int position)
{
    if (position < 0)
        return;
    markSelected(position);
    const int mode = position + 1;
    m_lblLNG->setText(VoiceDialogTexts::languagePrefix() + languageName(m_voice.language(mode)));
    m_lblGender->setText(VoiceDialogTexts::genderPrefix()
                         + (m_voice.gender(mode) == SpeechEngine::Male ? VoiceDialogTexts::male()
                                                                       : VoiceDialogTexts::female()));
}

void frmVoice::markSelected(int position)
{
    // The closed box's list keeps the shown voice selected, so a screen
    // reader finds it among the entries (the box selects it only when the
    // list opens).
    QAbstractItemView *list = m_cmbVoice->view();
    const QModelIndex entry =
        m_cmbVoice->model()->index(position, m_cmbVoice->modelColumn(), m_cmbVoice->rootModelIndex());
    if (list && list->selectionModel() && entry.isValid())
        list->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
}

void frmVoice::store()
{
    if (selectedPosition() >= 0)
        m_settings.write(SettingKeys::Voice, QString::number(selectedPosition()));
}
