// The main window's side of the voice dialogs, the settings dialog and the
// automatic readers: what opens them, and that the readers' timers speak
// through SpeakText with the right recording target.
#include "WindowRig.h"

#include "CPanelkitCtrl.h"
#include "ClipboardReader.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Closes the next modal dialog with the named button; the result holds the
// dialog's name once it was seen.
std::shared_ptr<QString> answerNextDialog(const char *button)
{
    auto seen = std::make_shared<QString>();
    QTimer::singleShot(0, [seen, button] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        *seen = modal->objectName();
        if (auto *b = modal->findChild<QPushButton *>(QLatin1String(button)))
            b->click();
        else
            static_cast<QDialog *>(modal)->reject();
    });
    return seen;
}

// What the loudspeaker was given, without the blanks around prefix and suffix.
QStringList spoken(const WindowRig &rig)
{
    QStringList texts;
    for (const QString &text : rig.voice.spokenTexts())
        texts << text.trimmed();
    return texts;
}

} // namespace

class TestFrmMainDialogs : public QObject
{
    Q_OBJECT
private slots:
    void taskEntriesOpenTheirDialogs_data()
    {
        QTest::addColumn<int>("task");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("volume") << 303 << "frmVolume";
        QTest::newRow("voice") << 404 << "frmVoice";
        QTest::newRow("speed") << 505 << "frmSpeed";
        QTest::newRow("pitch") << 606 << "frmPitch";
    }
    void taskEntriesOpenTheirDialogs()
    {
        QFETCH(int, task);
        QFETCH(QString, dialog);
        WindowRig rig;
        frmMain &w = rig.load();
        const auto seen = answerNextDialog("Command1");
        emit w.ctlTask()->FireSelectItem(task, 0);
        QCOMPARE(*seen, dialog);
        // OK stored the value shown (the dialog's default on a fresh store).
        const QString key = dialog == "frmVolume" ? "Volume"
            : dialog == "frmVoice"                ? "Voice"
            : dialog == "frmSpeed"                ? "Speed"
                                                  : "Pitch";
        QVERIFY(rig.settings->read("Quenora", "Voice", key, "<none>") != "<none>");
    }

    void menuEntriesOpenTheirDialogs_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("storedKey"); // "Section/Key" its OK stores, or none
        QTest::newRow("settings") << "mnuSettings" << "frmSettings" << "Settings/VTSAllow";
        QTest::newRow("audiobook") << "mnuAudiobook" << "frmAudiobook" << QString();
    }
    void menuEntriesOpenTheirDialogs()
    {
        QFETCH(QString, entry);
        QFETCH(QString, dialog);
        QFETCH(QString, storedKey);
        WindowRig rig;
        frmMain &w = rig.load();
        const auto seen = answerNextDialog("Command1");
        w.action(entry)->trigger();
        QCOMPARE(*seen, dialog);
        if (!storedKey.isEmpty())
            QCOMPARE(rig.settings->read("Quenora", storedKey.section('/', 0, 0), storedKey.section('/', 1), "<none>"),
                     QStringLiteral("1"));
    }

    void clipboardReaderSpeaksIntoTheCurrentRecording()
    {
        WindowRig rig;
        rig.settings->write(SettingKeys::ReadClipboardOnChange, "1");
        rig.clipboard.content = "Aus der Zwischenablage";
        frmMain &w = rig.load();
        const QString recording = rig.voice2.outputFileName();
        // The first tick speaks what was there at start.
        w.readers().tmrClipboard()->setInterval(0);
        QTRY_VERIFY(spoken(rig).contains("Aus der Zwischenablage"));
        QCOMPARE(rig.voice2.outputFileName(), recording);
        QCOMPARE(w.readers().clipboardReader().LastClipboardText(), QStringLiteral("Aus der Zwischenablage"));
        QVERIFY(!w.readers().tmrWinTasks()->isActive());
    }

    void titleReaderSpeaksIntoAFreshRecording()
    {
        WindowRig rig;
        rig.settings->write(SettingKeys::ReadTitleOnAppChange, "1");
        rig.foreground.bringToFront("Rechner");
        frmMain &w = rig.load();
        const QString recording = rig.voice2.outputFileName();
        w.readers().tmrWinTasks()->setInterval(0);
        QTRY_VERIFY(spoken(rig).contains("Rechner"));
        QVERIFY(rig.voice2.outputFileName() != recording);
        rig.foreground.bringToFront("Editor");
        QTRY_VERIFY(spoken(rig).contains("Editor"));
        rig.foreground.bringToFront("Rechner");
        QTRY_COMPARE(spoken(rig).count("Rechner"), 2);
        QVERIFY(!w.readers().tmrClipboard()->isActive());
    }
};

QTEST_MAIN(TestFrmMainDialogs)
#include "tst_frmmain_dialogs.moc"
