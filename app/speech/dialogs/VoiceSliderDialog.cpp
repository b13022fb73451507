#include "VoiceSliderDialog.h"

#include "SettingsStore.h"
#include "SpeechNumbers.h"
#include "VoiceDialogButtons.h"
#include "VoiceDialogTexts.h"
#include "VoicePreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

VoiceSliderDialog::VoiceSliderDialog(Setting setting, const char *objectName, const QString &caption,
                                     const QString &label, const SettingKeys::Key &key, SettingsStore &settings,
                                     VoicePreview *preview, QWidget *parent)
    : QDialog(parent), m_setting(setting), m_key(key), m_settings(settings), m_previewer(preview)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    setModal(true);

    m_label = new QLabel(label, this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("Slider1"));
    m_slider->setRange(0, 100);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setAccessibleName(label);
    m_label->setBuddy(m_slider);

    const VoiceDialogButtons buttons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_preview = buttons.preview;
    m_preview->setEnabled(preview != nullptr);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_slider);
    layout->addStretch(1);
    layout->addLayout(buttons.row);
    setMinimumWidth(360);

    connect(m_slider, &QSlider::valueChanged, this, [this](int value) { showValueTip(value, false); });
    // While the user drags or steps the slider, the value follows the handle.
    connect(m_slider, &QSlider::sliderMoved, this, [this](int value) { showValueTip(value, true); });
    connect(m_slider, &QSlider::actionTriggered, this, [this] { showValueTip(m_slider->sliderPosition(), true); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_settings.write(m_key, QString::number(value()));
        accept();
    });
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (!m_previewer)
            return;
        VoicePreview::Values shown;
        switch (m_setting) {
        case Setting::Volume:
            shown.volume = value();
            break;
        case Setting::Speed:
            shown.speed = value();
            break;
        case Setting::Pitch:
            shown.pitch = value();
            break;
        }
        m_previewer->play(shown);
    });

    // A stored value that is no number shows the dialog's default, one out
    // of range the nearest end; nothing is stored until the user presses OK.
    const auto stored = SpeechNumbers::wholeNumber(m_settings.read(m_key));
    const int shown = stored.value_or(QString::fromLatin1(m_key.defaultValue).toInt());
    m_slider->setValue(std::clamp(shown, 0, 100));
    showValueTip(m_slider->value(), false);
}

int VoiceSliderDialog::value() const
{
    return m_slider->value();
}

void VoiceSliderDialog::showValueTip(int value, bool pop)
{
    const QString tip = QString::number(value) + QLatin1Char('%');
    m_slider->setToolTip(tip);
    if (!pop || !m_slider->isVisible())
        return;
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = m_slider->orientation();
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    option.sliderPosition = value;
    option.sliderValue = value;
    const QRect handle =
        m_slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, m_slider);
    QToolTip::showText(m_slider->mapToGlobal(handle.bottomLeft()), tip, m_slider);
}

frmVolume::frmVolume(SettingsStore &settings, VoicePreview *preview, QWidget *parent)
    : VoiceSliderDialog(Setting::Volume, "frmVolume", VoiceDialogTexts::volumeCaption(),
                        VoiceDialogTexts::volumeLabel(), SettingKeys::Volume, settings, preview, parent)
{
}

frmSpeed::frmSpeed(SettingsStore &settings, VoicePreview *preview, QWidget *parent)
    : VoiceSliderDialog(Setting::Speed, "frmSpeed", VoiceDialogTexts::speedCaption(),
                        VoiceDialogTexts::speedLabel(), SettingKeys::SpeedInDialog, settings, preview, parent)
{
}

frmPitch::frmPitch(SettingsStore &settings, VoicePreview *preview, QWidget *parent)
    : VoiceSliderDialog(Setting::Pitch, "frmPitch", VoiceDialogTexts::pitchCaption(),
                        VoiceDialogTexts::pitchLabel(), SettingKeys::PitchInDialog, settings, preview, parent)
{
}
