// The clipboard and window-title readers with a fake clipboard, a fake
// foreground window and a recording speaker; each tick is called
// by the test, so no timer runs.
#include "ClipboardReader.h"
#include "FakeClipboard.h"
#include "FakeForegroundWindow.h"
#include "RecordingSpeaker.h"
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "WindowTitleReader.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Rig {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(std::make_shared<SqliteHive>(dir.filePath("registry.db")));
    FakeClipboard clipboard;
    FakeForegroundWindow foreground;
    RecordingSpeaker speaker;
    ClipboardReader clipboardReader{clipboard, speaker};
    WindowTitleReader titleReader{foreground, speaker, *settings};
};

} // namespace

class TestReaders : public QObject
{
    Q_OBJECT
private slots:
    void clipboardSequence_data()
    {
        // Each step is the clipboard's content at one tick ("<none>": no
        // text, e.g. a picture); spoken are the texts handed to SpeakText.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("spoken");
        QTest::newRow("text already there at start") << QStringList{"Hallo"} << QStringList{"Hallo"};
        QTest::newRow("nothing at start") << QStringList{"<none>", "<none>"} << QStringList{};
        QTest::newRow("copied twice in a row")
            << QStringList{"Hallo", "Hallo", "Hallo"} << QStringList{"Hallo"};
        QTest::newRow("other text, then the first again")
            << QStringList{"eins", "zwei", "eins"} << QStringList{"eins", "zwei", "eins"};
        QTest::newRow("case counts") << QStringList{"hallo", "Hallo"} << QStringList{"hallo", "Hallo"};
        QTest::newRow("text to no text says nothing")
            << QStringList{"Hallo", "<none>", "<none>", "Hallo"} << QStringList{"Hallo", "Hallo"};
        QTest::newRow("blanks only say nothing") << QStringList{"Hallo", " \n\t", "Hallo"}
                                                 << QStringList{"Hallo", "Hallo"};
        QTest::newRow("trailing space counts") << QStringList{"a", "a "} << QStringList{"a", "a "};
    }
    void clipboardSequence()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, spoken);
        Rig rig;
        for (const QString &step : steps) {
            rig.clipboard.content = step == "<none>" ? QString() : step;
            rig.clipboardReader.tick();
        }
        QCOMPARE(rig.speaker.texts(), spoken);
        for (const SpeakRequest &request : rig.speaker.requests) {
            QCOMPARE(request.source, SpeakRequest::Source::Text);
            QCOMPARE(request.wait, false);
            QCOMPARE(request.recording, SpeakRequest::Recording::KeepFile);
            QCOMPARE(request.applyFilters, true);
        }
        QCOMPARE(rig.clipboard.reads, steps.size());
    }

    void titleSequence_data()
    {
        QTest::addColumn<QStringList>("steps"); // the front window's title at each tick
        QTest::addColumn<QStringList>("spoken");
        QTest::newRow("switching back and forth")
            << QStringList{"Editor", "Rechner", "Editor", "Rechner"}
            << QStringList{"Editor", "Rechner", "Editor", "Rechner"};
        QTest::newRow("staying in front") << QStringList{"Editor", "Editor", "Editor"} << QStringList{"Editor"};
        QTest::newRow("no window or no title says nothing")
            << QStringList{"Editor", "", "", "Editor", " "} << QStringList{"Editor", "Editor"};
        QTest::newRow("nothing at start") << QStringList{""} << QStringList{};
        QTest::newRow("cut at the first NUL")
            << QStringList{QString("Fenster") + QChar(0) + "Rest", "Fenster"} << QStringList{"Fenster"};
    }
    void titleSequence()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, spoken);
        Rig rig;
        for (const QString &title : steps) {
            rig.foreground.bringToFront(title);
            rig.titleReader.ReadForegroundTitle();
        }
        QCOMPARE(rig.speaker.texts(), spoken);
        for (const SpeakRequest &request : rig.speaker.requests) {
            QCOMPARE(request.wait, false);
            QCOMPARE(request.recording, SpeakRequest::Recording::NewTemporary); // a fresh recording
            QCOMPARE(request.applyFilters, false);
        }
    }

    void longTitlesAreCut_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("kept");
        QTest::newRow("254 characters") << QString(254, 'a') << QString(254, 'a');
        QTest::newRow("255 characters") << QString(255, 'a') << QString(254, 'a');
        QTest::newRow("1000 characters") << QString(1000, QChar(0xE4)) << QString(254, QChar(0xE4));
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("no half character") << QString(253, 'a') + emoji << QString(253, 'a');
    }
    void longTitlesAreCut()
    {
        QFETCH(QString, title);
        QFETCH(QString, kept);
        QCOMPARE(WindowTitleReader::bufferedTitle(title), kept);
    }

    void ownWindowsIgnoredUnlessSwitchedOff()
    {
        Rig rig;
        const auto visit = [&](const QString &title, bool own) {
            rig.foreground.bringToFront(title, own);
            rig.titleReader.ReadForegroundTitle();
        };
        // By default Quenora's own windows are passed over.
        visit("Quenora", true);
        visit("Rechner", false);
        visit("Einstellungen", true);
        // Another program that calls itself "Quenora" is still read.
        visit("Quenora", false);
        QCOMPARE(rig.speaker.texts(), (QStringList{"Rechner", "Quenora"}));
        QCOMPARE(rig.titleReader.LastWindowTitle(), QStringLiteral("Quenora"));

        // Switched off, the main window's own title is spoken like any.
        rig.settings->write(SettingKeys::IgnoreOwnWindowTitles, "0");
        visit("Speichern unter", true);
        visit("Rechner", false);
        QCOMPARE(rig.speaker.texts(), (QStringList{"Rechner", "Quenora", "Speichern unter", "Rechner"}));
    }
};

QTEST_MAIN(TestReaders)
#include "tst_readers.moc"
