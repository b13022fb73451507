// The speaking routine with fake engines, a fake window (SpeechHost) and a
// hive of its own: where the text comes from, what is made of it, both
// engine instances, pause, stop, reading from the cursor, the recordings and
// what the window is told.
#include "FakeClock.h"
#include "FakeSpeechEngine.h"
#include "RecordingExtensionHost.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "SpeechControl.h"
#include "SpeechTexts.h"
#include "SqliteHive.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class Host : public SpeechHost
{
public:
    bool IsLoading() const override { return loading; }
    QString documentText() const override { return document; }
    Selection selection() const override { return selected; }
    void setExportButtonEnabled(bool enabled) override { exportEnabled = enabled; }
    void showStatus(const QString &text) override { status = text; }
    QString statusText() const override { return status; }
    void showCharacterCount() override { status = QStringLiteral("%1 Zeichen.").arg(document.size()); }

    bool loading = false;
    QString document = QStringLiteral("Ein Dokument.");
    Selection selected;
    bool exportEnabled = true;
    QString status;
};

// Counts its readings, so a test sees how often one speak asked the time.
class CountingClock : public FakeClock
{
public:
    QDateTime now() const override
    {
        ++reads;
        return FakeClock::now();
    }
    mutable int reads = 0;
};

// The routine with fake engines, a fake window and a hive of its own, in a
// QUENORA_HOME of its own (the temporary recordings).
struct Rig {
    QTemporaryDir dir;
    bool homeSet = [this] {
        qputenv("QUENORA_HOME", dir.path().toUtf8());
        return true;
    }();
    SettingsStore settings{std::make_shared<SqliteHive>(dir.filePath("registry.db"))};
    FakeSpeechEngine voice;
    FakeSpeechEngine voice2;
    Host host;
    RecordingExtensionHost extensions;
    ScriptedDialogs dialogs;
    CountingClock clock;
    SpeechControl control{voice, voice2, host, extensions, dialogs, settings, clock};

    QStringList spoken() const { return voice.spokenTexts(); }
};

const QString finished = QStringLiteral("Der Text wurde vollständig vorgelesen.");

} // namespace

class TestSpeechControl : public QObject
{
    Q_OBJECT
private slots:
    void whereTheTextComesFrom_data()
    {
        QTest::addColumn<int>("source"); // SpeakRequest::Source
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("spoken");
        using S = SpeakRequest::Source;
        QTest::newRow("the document") << int(S::Document) << "" << "" << " Dokumenttext ";
        QTest::newRow("a given text") << int(S::Text) << "Hallo" << "" << " Hallo ";
        QTest::newRow("a blank text: the document") << int(S::Text) << " \n\t" << "" << " Dokumenttext ";
        QTest::newRow("the selection") << int(S::Selection) << "" << "text" << " text ";
        QTest::newRow("no selection: the document") << int(S::Selection) << "" << "" << " Dokumenttext ";
        QTest::newRow("a blank selection: the document") << int(S::Selection) << "" << " " << " Dokumenttext ";
    }
    void whereTheTextComesFrom()
    {
        QFETCH(int, source);
        QFETCH(QString, text);
        QFETCH(QString, selection);
        QFETCH(QString, spoken);
        Rig rig;
        rig.host.document = QStringLiteral("Dokumenttext");
        rig.host.selected = {selection, 8};
        SpeakRequest request;
        request.source = SpeakRequest::Source(source);
        request.text = text;
        const SpeakResult result = rig.control.speak(request);
        QVERIFY(result.ok());
        QCOMPARE(result.spoken, spoken);
        QCOMPARE(rig.voice.spokenTexts(), QStringList{spoken});
        QCOMPARE(rig.voice2.spokenTexts(), QStringList{spoken});
    }

    void prefixSuffixAndFilters_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("filters");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("blank text, both") << "Vorne" << "Hinten" << "   " << true << "Vorne Dokumenttext Hinten";
        QTest::newRow("empty text, none") << "" << "" << "" << true << " Dokumenttext ";
        QTest::newRow("prefix only") << "Achtung" << "" << "Hallo" << true << "Achtung Hallo ";
        // The filter rewrites the text, never the prefix.
        QTest::newRow("filtered") << "ich" << "" << "ich bin" << true << "ich i bin ";
        QTest::newRow("not filtered") << "ich" << "" << "ich bin" << false << "ich ich bin ";
        QTest::newRow("time variables everywhere")
            << "$Zeit[h]:$Zeit[m]" << "Tag $Zeit[w]" << "$Zeit[s] Sekunden" << false << "9:7 0 Sekunden Tag 2";
    }
    void prefixSuffixAndFilters()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QString, text);
        QFETCH(bool, filters);
        QFETCH(QString, spoken);
        Rig rig;
        rig.host.document = QStringLiteral("Dokumenttext");
        rig.settings.write(SettingKeys::Prefix, prefix);
        rig.settings.write(SettingKeys::Suffix, suffix);
        rig.extensions.filter = [](QString t) { return t.replace("ich", "i"); };
        rig.control.speak(SpeakRequest::ofText(text).withFilters(filters));
        QCOMPARE(rig.spoken(), QStringList{spoken});
        QCOMPARE(rig.extensions.events.count("Filter"), filters ? 1 : 0);
        // The time variables of prefix, text and suffix are of one moment.
        QCOMPARE(rig.clock.reads, 1);
    }

    void nothingIsSpokenWhileTheWindowLoads()
    {
        Rig rig;
        rig.host.loading = true;
        const SpeakResult result = rig.control.speak(SpeakRequest::ofText("Hallo"));
        QVERIFY(result.ok());
        QVERIFY(rig.voice.spokenTexts().isEmpty());
        QVERIFY(rig.voice2.spokenTexts().isEmpty());
        QVERIFY(!rig.extensions.events.contains("Filter"));
    }

    void voiceSettingsReachBothInstances()
    {
        Rig rig;
        rig.settings.write(SettingKeys::Voice, "2");
        rig.settings.write(SettingKeys::Volume, "50");
        rig.control.speak(SpeakRequest::ofText("x").withFilters(false));
        // Stored defaults: pitch 50 % of 0..100, speed 25 % of 80..450.
        QCOMPARE(rig.voice.currentMode(), 3);
        QCOMPARE(rig.voice2.currentMode(), 3);
        QCOMPARE(rig.voice.pitch(), 50);
        QCOMPARE(rig.voice.speed(), 172);
        QCOMPARE(rig.voice.leftVolume(), 50);
        QCOMPARE(rig.voice2.speed(), 172);
        QCOMPARE(rig.voice2.rightVolume(), 50);
        // A new speak resets the instances first.
        QCOMPARE(rig.voice.calls().first(), QStringLiteral("reset"));
    }

    void aStoredSettingTheEngineCannotTakeIsTold_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("speed with a decimal comma")
            << "Speed" << "50,5" << SpeechTexts::settingNotANumber("Geschwindigkeit", "50,5");
        QTest::newRow("speed that is a word")
            << "Speed" << "schnell" << SpeechTexts::settingNotANumber("Geschwindigkeit", "schnell");
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
        QVERIFY(rig.settings.write(QStringLiteral("Quenora"), QStringLiteral("Voice"), section, value));
        const SpeakRequest request =
            SpeakRequest::ofText("Hallo").recordingInto(rig.dir.filePath("aufnahme.wav")).withFilters(false);
        QCOMPARE(rig.control.speak(request).failure, reason);
        if (reason.isEmpty()) {
            QCOMPARE(rig.voice.spokenTexts().size(), 1);
        } else {
            QCOMPARE(rig.voice.spokenTexts(), QStringList());
            QCOMPARE(rig.host.status, reason);
        }
    }

    void recordingTargets()
    {
        Rig rig;
        rig.control.setRecorderOutput(QString());
        const QString first = rig.voice2.outputFileName();
        QVERIFY(first.startsWith(rig.dir.filePath("temp/")));
        rig.control.speak(SpeakRequest::ofText("a").keepingRecording());
        QCOMPARE(rig.voice2.outputFileName(), first);
        const QString target = rig.dir.filePath("mein.wav");
        rig.control.speak(SpeakRequest::ofText("b").recordingInto(target));
        QCOMPARE(rig.voice2.outputFileName(), target);
        rig.control.speak(SpeakRequest::ofText("c"));
        QCOMPARE(rig.voice2.outputFileName(), rig.control.CurrentRecordingPath());
        QVERIFY(rig.control.RecordingNumber() >= 1 && rig.control.RecordingNumber() <= 31000);
    }

    void endOfSpeechReportsAndEnablesExport()
    {
        Rig rig;
        rig.control.speak(SpeakRequest::ofText("Hallo"));
        QVERIFY(!rig.host.exportEnabled);
        // A reset text never ends: export stays off.
        rig.control.speak(SpeakRequest::ofText("Neu"));
        // The recording is complete long before the loudspeaker is done:
        // export is possible, "read completely" is not said yet.
        QVERIFY(rig.voice2.finishText());
        QTRY_VERIFY(rig.host.exportEnabled);
        QVERIFY(rig.host.status != finished);
        QVERIFY(rig.voice.finishText());
        QTRY_COMPARE(rig.host.status, finished);
    }

    void waitingSpeakReturnsWhenSpoken()
    {
        Rig rig;
        // Once both speak, both finish.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (rig.voice2.isSpeaking() && rig.voice.isSpeaking()) {
                rig.voice2.finishText();
                rig.voice.finishText();
            }
        });
        poll.start(1);
        const SpeakResult result = rig.control.speak(SpeakRequest::document().waiting());
        QVERIFY(result.ok());
        QCOMPARE(rig.spoken(), QStringList{" Ein Dokument. "});
        QVERIFY(!rig.voice.isSpeaking());
        QCOMPARE(rig.voice.calls().last(), QStringLiteral("reset"));
    }

    void newSpeakDropsTheEndMessage()
    {
        Rig rig;
        rig.host.document = QStringLiteral("Hallo");
        rig.control.speak(SpeakRequest::ofText("Hallo"));
        QVERIFY(rig.voice2.finishText());
        QVERIFY(rig.voice.finishText());
        QTRY_COMPARE(rig.host.status, finished);
        rig.control.speak(SpeakRequest::document());
        QCOMPARE(rig.host.status, QStringLiteral("5 Zeichen."));
    }

    void pauseHintOncePerUser()
    {
        Rig rig;
        QSignalSpy paused(&rig.control, &SpeechControl::pausedChanged);
        QCOMPARE(rig.control.IsPaused(), false);
        rig.control.togglePause();
        QCOMPARE(rig.control.IsPaused(), true);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.dialogs.messages[0].text, SpeechTexts::pauseHint());
        QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Hinweis"));
        QCOMPARE(rig.dialogs.messages[0].icon, Dialogs::Icon::Information);
        rig.control.togglePause();
        QCOMPARE(rig.control.IsPaused(), false);
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QCOMPARE(rig.voice.calls(), (QStringList{"pause", "resume"}));
        QCOMPARE(rig.voice2.calls(), (QStringList{"pause", "resume"}));
        QCOMPARE(paused.size(), 2);
        QCOMPARE(rig.settings.read(SettingKeys::ShowPauseMsg), QStringLiteral("false"));
        // The next start of the program asks nothing either.
        SpeechControl again(rig.voice, rig.voice2, rig.host, rig.extensions, rig.dialogs, rig.settings, rig.clock);
        again.togglePause();
        QCOMPARE(rig.dialogs.messages.size(), 1);
    }

    void resetEndsThePause_data()
    {
        QTest::addColumn<bool>("bySpeaking"); // else by stop()
        QTest::newRow("new speak") << true;
        QTest::newRow("stop") << false;
    }
    void resetEndsThePause()
    {
        QFETCH(bool, bySpeaking);
        Rig rig;
        rig.settings.write(SettingKeys::ShowPauseMsg, "false");
        QSignalSpy paused(&rig.control, &SpeechControl::pausedChanged);
        rig.control.speak(SpeakRequest::ofText("Eins"));
        rig.control.togglePause();
        QCOMPARE(paused.size(), 1);
        if (bySpeaking)
            rig.control.speak(SpeakRequest::ofText("Zwei"));
        else
            rig.control.stop();
        QCOMPARE(rig.control.IsPaused(), false);
        QCOMPARE(paused.size(), 2);
        QCOMPARE(paused.last().first().toBool(), false);
        // One toggle pauses again instead of resuming.
        rig.voice.clearCalls();
        rig.control.togglePause();
        QCOMPARE(rig.voice.calls(), QStringList{"pause"});
    }

    void stopResetsBothAndTellsWhoRunsAScript()
    {
        Rig rig;
        QSignalSpy stopped(&rig.control, &Speaker::stopped);
        rig.control.speak(SpeakRequest::ofText("Hallo"));
        rig.voice.clearCalls();
        rig.voice2.clearCalls();
        rig.control.stop();
        QCOMPARE(rig.voice.calls(), QStringList{"reset"});
        QCOMPARE(rig.voice2.calls(), QStringList{"reset"});
        QCOMPARE(stopped.size(), 1);
        // A script's Stopp ends the loudspeaker only; the recording goes on.
        rig.control.speak(SpeakRequest::ofText("Weiter"));
        rig.voice.clearCalls();
        rig.voice2.clearCalls();
        rig.control.stopLoudspeaker();
        QCOMPARE(rig.voice.calls(), QStringList{"reset"});
        QCOMPARE(rig.voice2.calls(), QStringList());
        QCOMPARE(stopped.size(), 1);
    }

    void stoppedRecordingCanBeExported()
    {
        Rig rig;
        rig.control.speak(SpeakRequest::ofText("Ein langer Text"));
        QVERIFY(!rig.host.exportEnabled);
        // Stopped before the recorder wrote anything: nothing to export.
        rig.control.stop();
        QVERIFY(!rig.host.exportEnabled);
        rig.control.speak(SpeakRequest::ofText("Ein langer Text"));
        // What the recorder wrote before the stop is a playable file.
        QFile wav(rig.voice2.outputFileName());
        QVERIFY(wav.open(QIODevice::WriteOnly));
        wav.write(QByteArray(4096, 'w'));
        wav.close();
        rig.control.stop();
        QVERIFY(rig.host.exportEnabled);
    }

    void readFromCursor_data()
    {
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("at 0: the whole document") << 0 << "Eins zwei drei" << " Eins zwei drei ";
        QTest::newRow("after the first character") << 1 << "Eins zwei drei" << " Eins zwei drei ";
        QTest::newRow("before zwei") << 5 << "Eins zwei drei" << "  zwei drei ";
        QTest::newRow("at the end") << 14 << "Eins zwei drei" << " i ";
        QTest::newRow("only a blank left: the whole document") << 5 << "Eins  " << " Eins   ";
        QTest::newRow("empty document: said in the status bar") << 0 << "" << "";
    }
    void readFromCursor()
    {
        QFETCH(int, cursor);
        QFETCH(QString, document);
        QFETCH(QString, spoken);
        Rig rig;
        rig.host.document = document;
        // Reading from the cursor is never filtered.
        rig.extensions.filter = [](const QString &) { return QStringLiteral("GEFILTERT"); };
        rig.control.ReadFromCursor(cursor);
        QCOMPARE(rig.spoken(), spoken.isEmpty() ? QStringList() : QStringList{spoken});
        QCOMPARE(rig.dialogs.messages.size(), 0);
        if (document.isEmpty())
            QCOMPARE(rig.host.status, SpeechTexts::nothingToRead());
    }

    // Which word of the document is being heard, for the highlighting.
    void wordInDocument_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("position"); // in the spoken text
        QTest::addColumn<int>("reported"); // in the document; -1: nothing
        // Document "Eins zwei drei"; "zwei" is at 5.
        QTest::newRow("the document") << "document" << "" << 6 << 5;
        QTest::newRow("behind a prefix") << "document" << "Vorab" << 11 << 5;
        QTest::newRow("a word of the prefix") << "document" << "Vorab" << 0 << -1;
        QTest::newRow("the selection") << "selection" << "" << 1 << 5;
        QTest::newRow("from the cursor") << "cursor" << "" << 3 << 5;
        QTest::newRow("a text of its own") << "text" << "" << 6 << -1;
        QTest::newRow("a filtered text") << "filtered" << "" << 6 << -1;
        QTest::newRow("time variables in the document") << "time" << "" << 6 << -1;
    }
    void wordInDocument()
    {
        QFETCH(QString, how);
        QFETCH(QString, prefix);
        QFETCH(int, position);
        QFETCH(int, reported);
        Rig rig;
        rig.host.document = how == "time" ? QStringLiteral("Eins zwei $Zeit[h]") : QStringLiteral("Eins zwei drei");
        rig.host.selected = {QStringLiteral("zwei drei"), 5};
        rig.settings.write(SettingKeys::Prefix, prefix);
        rig.extensions.filter = [](QString t) { return t.replace("zwei", "zwoa"); };
        QSignalSpy words(&rig.control, &SpeechControl::wordInDocument);
        if (how == "cursor") {
            rig.control.ReadFromCursor(4);
        } else if (how == "selection") {
            SpeakRequest request = SpeakRequest::document().withFilters(false);
            request.source = SpeakRequest::Source::Selection;
            rig.control.speak(request);
        } else if (how == "text") {
            rig.control.speak(SpeakRequest::ofText("Ein anderer Text").withFilters(false));
        } else {
            rig.control.speak(SpeakRequest::document().withFilters(how == "filtered"));
        }
        rig.voice.emitWord(position, 4);
        if (reported < 0) {
            QCOMPARE(words.size(), 0);
        } else {
            QCOMPARE(words.size(), 1);
            QCOMPARE(words.first(), (QVariantList{reported, 4}));
        }
    }

    // The window side of a recorder that stopped for want of disk space.
    void recorderStoppedForSpaceIsShownAndNotCalledComplete()
    {
        Rig rig;
        rig.control.speak(
            SpeakRequest::ofText("Hallo").recordingInto(rig.dir.filePath("aufnahme.wav")).withFilters(false));
        QVERIFY(!rig.host.exportEnabled);
        const QString reason = QStringLiteral("Die Aufnahme wurde angehalten: zu wenig Platz.");
        emit rig.voice2.recordingStopped(reason);
        QCOMPARE(rig.host.status, reason);
        // The loudspeaker ends later; the text was not recorded completely.
        QVERIFY(rig.voice.finishText());
        QTRY_VERIFY(!rig.voice.isSpeaking());
        QCoreApplication::processEvents();
        QCOMPARE(rig.host.status, reason);
        QVERIFY(!rig.host.exportEnabled);
    }

    // Without a sound device nothing is heard: the window says so, not only stderr.
    void aMissingSoundDeviceIsSaidInTheWindow()
    {
        Rig rig;
        const QString message = SpeechTexts::noAudioDevice(SpeechTexts::reasonNoDevice());
        emit rig.voice.soundUnavailable(message);
        QCOMPARE(rig.host.status, message);
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
        const SpeakResult result =
            rig.control.speak(SpeakRequest::ofText("Hallo").waiting().recordingInto(recording).withFilters(false));
        QCOMPARE(result.failure, told ? reason : QString());
        QCOMPARE(rig.host.status, reason);
    }

    void voiceNamesInTheirOrder()
    {
        Rig rig;
        QStringList names;
        for (int mode = 1; mode <= rig.voice.modeCount(); ++mode)
            names << rig.voice.modeName(mode);
        QVERIFY(!names.isEmpty());
        QCOMPARE(rig.control.voiceNames(), names);
    }
};

QTEST_MAIN(TestSpeechControl)
#include "tst_speechcontrol.moc"
