// "Exportieren" from the menu (Ctrl+E) and from the toolbar reach the audio
// export with the window's own recording, status bar and extensions.

#include "WindowRig.h"

#include <QAction>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <sndfile.h>

#include <vector>

namespace {

void writeRecording(const QString &path)
{
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY(f);
    std::vector<short> samples(22050, 1000);
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
}

} // namespace

class TestFrmMainExport : public QObject
{
    Q_OBJECT

private slots:
    void exportBeforeAnythingWasSpoken_data();
    void exportBeforeAnythingWasSpoken();
    void exportWritesTheRecordingAndTellsExtensions_data();
    void exportWritesTheRecordingAndTellsExtensions();
};

void TestFrmMainExport::exportBeforeAnythingWasSpoken_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("menu") << "mnuExport";
    QTest::newRow("toolbar") << "tbExport";
}

void TestFrmMainExport::exportBeforeAnythingWasSpoken()
{
    QFETCH(QString, entry);
    WindowRig rig;
    frmMain &w = rig.load();
    w.action(entry)->trigger();
    QCOMPARE(w.statusText(), QStringLiteral("Exportiere ") + w.CurrentRecordingPath());
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages[0].text,
             QStringLiteral("Bitte lassen Sie sich den Text mindestens einmal vorlesen, bevor Sie diesen "
                            "exportieren."));
    QVERIFY(rig.dialogs.fileDialogs.isEmpty());
    QVERIFY(!rig.extensions.events.contains(QStringLiteral("Export:"), Qt::CaseSensitive));
}

void TestFrmMainExport::exportWritesTheRecordingAndTellsExtensions_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("name");
    QTest::newRow("menu, wav") << "mnuExport" << "Sprachausgabe.wav";
    QTest::newRow("toolbar, flac") << "tbExport" << "Sprachausgabe.flac";
}

void TestFrmMainExport::exportWritesTheRecordingAndTellsExtensions()
{
    QFETCH(QString, entry);
    QFETCH(QString, name);
    WindowRig rig;
    frmMain &w = rig.load();
    QCOMPARE(w.action(QStringLiteral("mnuExport"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    writeRecording(w.CurrentRecordingPath());
    const QString target = rig.home.filePath(name);
    rig.dialogs.files.enqueue(target);
    rig.extensions.events.clear();

    // Whatever else shows a status while the conversion runs (here: an edit
    // of the document, which shows the character count) waits for its end.
    QString statusDuringExport;
    QTimer::singleShot(0, &w, [&] {
        w.rtfText()->setPlainText(QStringLiteral("Geändert"));
        statusDuringExport = w.statusText();
    });
    w.action(entry)->trigger();
    QCOMPARE(statusDuringExport, QStringLiteral("Exportiere ") + w.CurrentRecordingPath());
    QVERIFY(rig.dialogs.messages.isEmpty());
    QCOMPARE(rig.extensions.events, QStringList{QStringLiteral("Export:") + target});
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(target).constData(), SFM_READ, &info);
    QVERIFY(f);
    sf_close(f);
    QCOMPARE(info.frames, sf_count_t(22050));
    QCOMPARE(w.statusText(), QStringLiteral("Export beendet: ") + target);
    w.rtfText()->setPlainText(QStringLiteral("Danach"));
    QCOMPARE(w.statusText(), QStringLiteral("6 Zeichen."));
}

QTEST_MAIN(TestFrmMainExport)
#include "tst_frmmain_export.moc"
