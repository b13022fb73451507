#include "FakeClock.h"
#include "FakeSpeechEngine.h"
#include "RecordingExtensionHost.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SpeechControl.h"
#include "SpeechTexts.h"
#include "SqliteHive.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class Host : public SpeechHost
{
public:
    bool IsLoading() const override { return false; }
    QString documentText() const override { return QStringLiteral("Ein Dokument."); }
    Selection selection() const override { return {}; }
    void setExportButtonEnabled(bool enabled) override { exportEnabled = enabled; }
    void showStatus(const QString &text) override { status = text; }
    QString statusText() const override { return status; }
    void showCharacterCount() override { status = QStringLiteral("Zeichen"); }

    bool exportEnabled = true;
    QString status;
};

// The routine with fake engines, a fake window and a hive of its own.
struct Rig {
    QTemporaryDir dir;
    SettingsStore settings{std::make_shared<SqliteHive>(dir.filePath("registry.db"))};
    FakeSpeechEngine voice;
    FakeSpeechEngine voice2;
    Host host;
    RecordingExtensionHost extensions;
    ScriptedDialogs dialogs;
    FakeClock clock;
    SpeechControl control{voice, voice2, host, extensions, dialogs, settings, clock};
};

} // namespace

// The window side of a recorder that stopped for want of disk space.
class TestSpeechControl : public QObject
{
    Q_OBJECT
private slots:
    void recorderStoppedForSpaceIsShownAndNotCalledComplete()
    {
        Rig rig;
        auto &[dir, settings, voice, voice2, host, extensions, dialogs, clock, control] = rig;

        control.speak(SpeakRequest::ofText("Hallo").recordingInto(dir.filePath("aufnahme.wav")).withFilters(false));
        QVERIFY(!host.exportEnabled);
        const QString reason = QStringLiteral("Die Aufnahme wurde angehalten: zu wenig Platz.");
        emit voice2.recordingStopped(reason);
        QCOMPARE(host.status, reason);
        // The loudspeaker ends later; the text was not recorded completely.
        QVERIFY(voice.finishText());
        QTRY_VERIFY(!voice.isSpeaking());
        QCoreApplication::processEvents();
        QCOMPARE(host.status, reason);
        QVERIFY(!host.exportEnabled);
    }

    // Without a sound device nothing is heard: the window says so, not only stderr.
    void aMissingSoundDeviceIsSaidInTheWindow()
    {
        Rig rig;
        auto &[dir, settings, voice, voice2, host, extensions, dialogs, clock, control] = rig;
        const QString message = SpeechTexts::noAudioDevice(SpeechTexts::reasonNoDevice());
        emit voice.soundUnavailable(message);
        QCOMPARE(host.status, message);
    }

    void aScriptsRecordingThatFailedIsTheCallersFailure_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("told");
        QTest::newRow("a script's file") << "aufnahme.wav" << true;
        QTest::newRow("the temporary recording") << "" << false;
    }

    // Waiting for a speak that was to be recorded into a script's file, the
    // caller learns that the file was not written.
    void aScriptsRecordingThatFailedIsTheCallersFailure()
    {
        QFETCH(QString, target);
        QFETCH(bool, told);
        Rig rig;
        const QString reason = QStringLiteral("Datenträger voll");
        // Once both speak: the recorder gives up, the loudspeaker ends.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (rig.voice2.isSpeaking() && rig.voice.isSpeaking()) {
                emit rig.voice2.recordingStopped(reason);
                rig.voice.finishText();
            }
        });
        poll.start(1);
        const QString recording = target.isEmpty() ? QString() : rig.dir.filePath(target);
        const QString failure =
            rig.control.speak(SpeakRequest::ofText("Hallo").waiting().recordingInto(recording).withFilters(false))
                .failure;
        QCOMPARE(failure, told ? reason : QString());
        QCOMPARE(rig.host.status, reason);
    }

    void aStoredSettingTheEngineCannotTakeIsTold_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("speed with a decimal comma")
            << "Speed" << "50,5" << SpeechTexts::settingNotANumber("Geschwindigkeit", "50,5");
        QTest::newRow("voice that is text") << "Voice" << "abc" << SpeechTexts::settingNotANumber("Stimme", "abc");
        QTest::newRow("voice beyond the list") << "Voice" << "999" << SpeechTexts::voiceRejected(1000);
        QTest::newRow("a decimal point rounds") << "Speed" << "50.5" << QString();
    }

    void aStoredSettingTheEngineCannotTakeIsTold()
    {
        QFETCH(QString, section);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        Rig rig;
        auto &[dir, settings, voice, voice2, host, extensions, dialogs, clock, control] = rig;
        QVERIFY(settings.write(QStringLiteral("Quenora"), QStringLiteral("Voice"), section, value));

        const SpeakRequest request =
            SpeakRequest::ofText("Hallo").recordingInto(dir.filePath("aufnahme.wav")).withFilters(false);
        QCOMPARE(control.speak(request).failure, reason);
        if (reason.isEmpty()) {
            QCOMPARE(voice.spokenTexts().size(), 1);
        } else {
            QCOMPARE(voice.spokenTexts(), QStringList());
            QCOMPARE(host.status, reason);
        }
    }
};

QTEST_MAIN(TestSpeechControl)
#include "tst_speechcontrol.moc"
