// The voice, volume, speed and pitch dialogs against a fake engine and a
// settings store on a fresh hive.
#include "AccessibilityRecorder.h"
#include "FakeSpeechEngine.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "VoiceDialogs.h"
#include "VoicePreview.h"
#include "VoiceSliderDialog.h"
#include "frmVoice.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Rig {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(std::make_shared<SqliteHive>(dir.filePath("registry.db")));
    FakeSpeechEngine voice;
    VoicePreview preview{voice, *settings};
};

std::unique_ptr<VoiceSliderDialog> makeSlider(const QString &which, SettingsStore &settings, VoicePreview *preview)
{
    if (which == "volume")
        return std::make_unique<frmVolume>(settings, preview);
    if (which == "speed")
        return std::make_unique<frmSpeed>(settings, preview);
    return std::make_unique<frmPitch>(settings, preview);
}

} // namespace

class TestVoiceDialogs : public QObject
{
    Q_OBJECT
private slots:
    void voiceListAndDetails()
    {
        Rig rig;
        // In the engine's order, which is what stored numbers mean.
        rig.voice.setModes({{"Spanisch (männlich)", "es", 1034, SpeechEngine::Male},
                            {"Deutsch (weiblich)", "de+f3", 1031, SpeechEngine::Female},
                            {"Arabisch (männlich)", "ar", 1025, SpeechEngine::Male},
                            {"Deutsch (männlich)", "de", 1031, SpeechEngine::Male},
                            {"Polnisch (weiblich)", "pl+f3", 1045, SpeechEngine::Female},
                            {"Zulu (männlich)", "zu", 1077, SpeechEngine::Male},
                            {"Ägyptisch (männlich)", "arz", 3073, SpeechEngine::Male},
                            {"Schweizerdeutsch (männlich)", "gsw", 2055, SpeechEngine::Male}});
        frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Stimme wählen"));
        QCOMPARE(dialog.findChild<QLabel *>("Label1")->text(), QStringLiteral("Stimme / Sprecher:"));
        // Shown: the German voices, then the rest by name ("Ä" as "A").
        QStringList shown;
        for (int i = 0; i < dialog.cmbVoice()->count(); ++i)
            shown << dialog.cmbVoice()->itemText(i);
        QCOMPARE(shown, (QStringList{"Deutsch (männlich)", "Deutsch (weiblich)", "Schweizerdeutsch (männlich)",
                                     "Ägyptisch (männlich)", "Arabisch (männlich)", "Polnisch (weiblich)",
                                     "Spanisch (männlich)", "Zulu (männlich)"}));
        // Nothing stored: position 1, which is also what speaking uses.
        QCOMPARE(dialog.selectedPosition(), 1);
        QCOMPARE(dialog.cmbVoice()->currentText(), QStringLiteral("Deutsch (weiblich)"));
        QCOMPARE(dialog.lblLNG()->text(), QStringLiteral("Sprache: Deutsch"));
        QCOMPARE(dialog.lblGender()->text(), QStringLiteral("Geschlecht: Weiblich"));
        dialog.cmbVoice()->setCurrentIndex(6);
        QCOMPARE(dialog.selectedPosition(), 0);
        QCOMPARE(dialog.lblLNG()->text(), QStringLiteral("Sprache: Spanisch"));
        QCOMPARE(dialog.lblGender()->text(), QStringLiteral("Geschlecht: Männlich"));
        dialog.cmbVoice()->setCurrentIndex(5);
        QCOMPARE(dialog.lblLNG()->text(), QStringLiteral("Sprache: Unbekannt"));
        // OK stores the engine's position of the voice, not its place in the list.
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(rig.settings->read(SettingKeys::Voice), QStringLiteral("4"));
        frmVoice again(rig.voice, *rig.settings, &rig.preview);
        QCOMPARE(again.cmbVoice()->currentText(), QStringLiteral("Polnisch (weiblich)"));
        QCOMPARE(dialog.okButton()->text(), QStringLiteral("OK"));
        QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("Abbrechen"));
    }

    // A screen reader hears the selected voice: the box's value, the list
    // entry carrying the selected state, and a value event at each change.
    void theSelectedVoiceIsToldToScreenReaders()
    {
        AccessibilityRecorder recorder;
        Rig rig;
        rig.voice.setModes({{"Deutsch (männlich)", "de", 1031, SpeechEngine::Male},
                            {"Deutsch (weiblich)", "de+f3", 1031, SpeechEngine::Female},
                            {"Spanisch (männlich)", "es", 1034, SpeechEngine::Male}});
        frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(dialog.cmbVoice());
        const auto selectedEntries = [box] {
            QStringList names;
            QAccessibleInterface *list = box->child(0);
            for (int i = 0; list && i < list->childCount(); ++i) {
                if (list->child(i)->state().selected)
                    names << list->child(i)->text(QAccessible::Name);
            }
            return names;
        };
        QCOMPARE(box->role(), QAccessible::ComboBox);
        QCOMPARE(box->text(QAccessible::Value), QStringLiteral("Deutsch (weiblich)"));
        // Readers take a closed box's text for its value.
        QVERIFY(box->textInterface());
        QCOMPARE(box->textInterface()->text(0, -1), QStringLiteral("Deutsch (weiblich)"));
        QCOMPARE(selectedEntries(), QStringList{QStringLiteral("Deutsch (weiblich)")});
        recorder.clear();
        dialog.cmbVoice()->setCurrentIndex(2);
        QCOMPARE(box->text(QAccessible::Value), QStringLiteral("Spanisch (männlich)"));
        QCOMPARE(box->textInterface()->text(0, -1), QStringLiteral("Spanisch (männlich)"));
        QCOMPARE(selectedEntries(), QStringList{QStringLiteral("Spanisch (männlich)")});
        QCOMPARE(recorder.last(QAccessible::ValueChanged).iface, box);
    }

    void languageNames_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("de") << 1031 << "Deutsch";
        QTest::newRow("en") << 1033 << "Englisch";
        QTest::newRow("es") << 1034 << "Spanisch";
        QTest::newRow("it") << 1040 << "Italienisch";
        QTest::newRow("nl") << 1043 << "Niederländisch";
        QTest::newRow("pt") << 2070 << "Portugiesisch";
        QTest::newRow("pt-br is another id") << 1046 << "Unbekannt";
        QTest::newRow("custom locale") << 4096 << "Unbekannt";
        QTest::newRow("none") << 0 << "Unbekannt";
    }
    void languageNames()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QCOMPARE(frmVoice::languageName(id), name);
    }

    void storedVoicePosition_data()
    {
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<int>("voices");
        QTest::addColumn<int>("selected");
        QTest::newRow("first voice") << "0" << 4 << 0;
        QTest::newRow("last voice") << "3" << 4 << 3;
        QTest::newRow("beyond the list") << "9" << 4 << 3;
        QTest::newRow("negative") << "-2" << 4 << 0;
        QTest::newRow("default with one voice") << "" << 1 << 0;
        QTest::newRow("no number") << "zwei" << 4 << 1;
        QTest::newRow("decimal") << "2.4" << 4 << 2;
        QTest::newRow("huge") << "99999999999999" << 4 << 1;
    }
    void storedVoicePosition()
    {
        QFETCH(QString, stored);
        QFETCH(int, voices);
        QFETCH(int, selected);
        Rig rig;
        rig.voice.setModes(FakeSpeechEngine::defaultModes().mid(0, voices));
        if (!stored.isEmpty())
            rig.settings->write(SettingKeys::Voice, stored);
        frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
        QCOMPARE(dialog.selectedPosition(), selected);
        QVERIFY(dialog.lblLNG()->text().startsWith("Sprache: "));
        // Opening never writes the corrected value back.
        QCOMPARE(rig.settings->read("Quenora", "Voice", "Voice", "<none>"), stored.isEmpty() ? "<none>" : stored);
    }

    void okStoresPositionCancelDoesNot()
    {
        Rig rig;
        {
            frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
            dialog.cmbVoice()->setCurrentIndex(3);
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(rig.settings->read("Quenora", "Voice", "Voice", "<none>"), QStringLiteral("<none>"));
        {
            frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
            dialog.cmbVoice()->setCurrentIndex(0);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        // The first voice is position 0, spoken as mode 1.
        QCOMPARE(rig.settings->read(SettingKeys::Voice), QStringLiteral("0"));
        QVERIFY(rig.voice.calls().isEmpty());
    }

    void noVoicesInstalled()
    {
        Rig rig;
        rig.voice.setModes({});
        frmVoice dialog(rig.voice, *rig.settings, &rig.preview);
        QCOMPARE(dialog.selectedPosition(), -1);
        QCOMPARE(dialog.lblLNG()->text(), QStringLiteral("Es ist keine Stimme installiert."));
        QVERIFY(!dialog.okButton()->isEnabled());
        QVERIFY(!dialog.previewButton()->isEnabled());
    }

    void sliderDialogs_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("freshValue");
        QTest::newRow("volume") << "volume" << "Sprachlautstärke" << "Sprach-/Stimmenlautstärke (0-100%):"
                                << "Volume" << 100;
        QTest::newRow("speed") << "speed" << "Geschwindigkeit" << "Sprach-/Stimmengeschwindigkeit (0-100%):"
                               << "Speed" << 60;
        QTest::newRow("pitch") << "pitch" << "Stimmenhelligkeit" << "Sprach-/Stimmenhelligkeit (0-100%):"
                               << "Pitch" << 60;
    }
    void sliderDialogs()
    {
        QFETCH(QString, which);
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QFETCH(QString, key);
        QFETCH(int, freshValue);
        Rig rig;
        auto dialog = makeSlider(which, *rig.settings, &rig.preview);
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->Label1()->text(), label);
        QSlider *slider = dialog->Slider1();
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 100);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 5);
        QCOMPARE(slider->value(), freshValue);
        QCOMPARE(slider->toolTip(), QString::number(freshValue) + "%");

        // Keys move the slider by its steps; the tooltip follows.
        slider->setValue(50);
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 51);
        QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(slider->value(), 56);
        QCOMPARE(slider->toolTip(), QStringLiteral("56%"));

        slider->setValue(37);
        QCOMPARE(slider->toolTip(), QStringLiteral("37%"));
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QCOMPARE(rig.settings->read("Quenora", "Voice", key, "<none>"), QStringLiteral("<none>"));

        auto again = makeSlider(which, *rig.settings, &rig.preview);
        QCOMPARE(again->value(), freshValue);
        again->Slider1()->setValue(37);
        QTest::mouseClick(again->okButton(), Qt::LeftButton);
        QCOMPARE(rig.settings->read("Quenora", "Voice", key, "<none>"), QStringLiteral("37"));
        QCOMPARE(makeSlider(which, *rig.settings, &rig.preview)->value(), 37);
    }

    void sliderStoredValues_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("number") << "42" << 42;
        QTest::newRow("spaces") << " 7 " << 7;
        QTest::newRow("above the range") << "250" << 100;
        QTest::newRow("below the range") << "-3" << 0;
        QTest::newRow("no number") << "laut" << 60;
        QTest::newRow("empty") << "" << 60;
    }
    void sliderStoredValues()
    {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        Rig rig;
        rig.settings->write(SettingKeys::SpeedInDialog, stored);
        frmSpeed dialog(*rig.settings, &rig.preview);
        QCOMPARE(dialog.value(), shown);
        QCOMPARE(rig.settings->read(SettingKeys::SpeedInDialog), stored);
    }

    void previewSpeaksShownValuesWithoutStoring()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Voice, "0");
        rig.settings->write(SettingKeys::Volume, "80");
        frmSpeed dialog(*rig.settings, &rig.preview);
        dialog.Slider1()->setValue(100);
        rig.voice.clearCalls();
        QTest::mouseClick(dialog.previewButton(), Qt::LeftButton);
        // Stored voice and volume, the speed shown: 100 % is the engine's top speed.
        QCOMPARE(rig.voice.calls().first(), QStringLiteral("reset"));
        QVERIFY(rig.voice.calls().contains("selectMode:1"));
        QCOMPARE(rig.voice.speed(), rig.voice.maxSpeed());
        QCOMPARE(rig.voice.leftVolume(), 80);
        QCOMPARE(rig.voice.pitch(), 50);
        QCOMPARE(rig.voice.spokenTexts(), QStringList{VoicePreview::sentence()});
        QCOMPARE(rig.settings->read("Quenora", "Voice", "Speed", "<none>"), QStringLiteral("<none>"));

        frmVoice voiceDialog(rig.voice, *rig.settings, &rig.preview);
        voiceDialog.cmbVoice()->setCurrentIndex(3);
        QTest::mouseClick(voiceDialog.previewButton(), Qt::LeftButton);
        QCOMPARE(rig.voice.currentMode(), 4);
        QCOMPARE(rig.settings->read(SettingKeys::Voice), QStringLiteral("0"));
    }

    void previewSurvivesBadStoredValues()
    {
        Rig rig;
        rig.settings->write(SettingKeys::Voice, "7");
        rig.settings->write(SettingKeys::PitchWhenSpeaking, "hell");
        frmVolume dialog(*rig.settings, &rig.preview);
        // Voice 7 does not exist: nothing is spoken, nothing breaks.
        QTest::mouseClick(dialog.previewButton(), Qt::LeftButton);
        QVERIFY(rig.voice.spokenTexts().isEmpty());
        rig.settings->write(SettingKeys::Voice, "1");
        QTest::mouseClick(dialog.previewButton(), Qt::LeftButton);
        QCOMPARE(rig.voice.spokenTexts().size(), 1);
        QCOMPARE(rig.voice.pitch(), 50);
    }

    void taskEntries_data()
    {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("dialog"); // empty: no dialog
        QTest::newRow("303") << 303 << "frmVolume";
        QTest::newRow("404") << 404 << "frmVoice";
        QTest::newRow("505") << 505 << "frmSpeed";
        QTest::newRow("606") << 606 << "frmPitch";
        QTest::newRow("101 speaks") << 101 << "";
        QTest::newRow("script entry") << 3 << "";
    }
    void taskEntries()
    {
        QFETCH(int, task);
        QFETCH(QString, dialog);
        Rig rig;
        VoiceDialogs dialogs(rig.voice, *rig.settings, &rig.preview);
        QCOMPARE(VoiceDialogs::handles(task), !dialog.isEmpty());
        QWidget owner;
        const auto shown = dialogs.dialogForTask(task, &owner);
        QCOMPARE(shown ? shown->objectName() : QString(), dialog);
        if (shown) {
            // Over the window it was opened from, not at the screen's corner.
            QCOMPARE(shown->parentWidget(), &owner);
            QVERIFY(shown->isWindow());
            QVERIFY(shown->isModal());
        }
    }

    void previewStopsTheProgramFirst()
    {
        Rig rig;
        int stops = 0;
        VoicePreview preview(rig.voice, *rig.settings, [&] { ++stops; });
        QVERIFY(preview.play({}));
        QCOMPARE(stops, 1);
        QVERIFY(!rig.voice.calls().contains("reset"));
    }
};

QTEST_MAIN(TestVoiceDialogs)
#include "tst_voicedialogs.moc"
