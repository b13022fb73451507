// The export of the main window, without a window: what the user is told,
// what the save dialog is asked, what lands on disk and when the extensions
// hear of it.

#include "AudioExport.h"
#include "ExportTexts.h"
#include "RecordingExtensionHost.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <unistd.h>
#include <sys/stat.h>
#include <vector>

namespace {

class FakeHost : public ExportHost
{
public:
    QString recording;
    // The status texts in order, with the moments the status bar was held
    // and released.
    QStringList statuses;
    QString CurrentRecordingPath() const override { return recording; }
    void showStatus(const QString &text) override { statuses << text; }
    void holdStatus(bool held) override { statuses << (held ? QStringLiteral("<halten>") : QStringLiteral("<frei>")); }
};

void writeRecording(const QString &path, double seconds)
{
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY(f);
    std::vector<short> samples(size_t(22050 * seconds));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = short(8000 * std::sin(double(i) * 0.05));
    sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
}

int majorFormat(const QString &path, long long *frames = nullptr)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return 0;
    sf_close(f);
    if (frames)
        *frames = info.frames;
    return info.format & SF_FORMAT_TYPEMASK;
}

} // namespace

class TestAudioExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void nothingSpokenYet();
    void cancelledDialogSaysSoAndSendsNothing();
    void exportsWavAndTellsExtensions();
    void dialogOffersWhatOpens();
    void extensionChoosesFormat_data();
    void extensionChoosesFormat();
    void failingExportShowsErrorAndLeavesNoFile_data();
    void failingExportShowsErrorAndLeavesNoFile();
    void cancelledConversionLeavesNoFile();
    void longRecordingReportsProgress();

private:
    void exportTo(const QString &target);

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeHost m_host;
    ScriptedDialogs m_dialogs;
    RecordingExtensionHost m_extensions;
    std::unique_ptr<AudioExport> m_export;
};

void TestAudioExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_host = FakeHost();
    m_host.recording = m_dir->filePath(QStringLiteral("temp/4711.wav"));
    QDir(m_dir->path()).mkdir(QStringLiteral("temp"));
    m_dialogs = ScriptedDialogs();
    m_extensions.events.clear();
    m_export = std::make_unique<AudioExport>(m_host, m_dialogs, m_extensions);
    m_export->setFormatProbe([] { return AudioConverter::availableFormats(); });
}

void TestAudioExport::exportTo(const QString &target)
{
    m_dialogs.files.enqueue(target);
    m_export->ExportDoc();
}

void TestAudioExport::nothingSpokenYet()
{
    m_export->ExportDoc();
    QCOMPARE(m_host.statuses, QStringList{QStringLiteral("Exportiere ") + m_host.recording});
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].text, ExportTexts::NothingSpoken);
    QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("Fehler"));
    QCOMPARE(m_dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(m_dialogs.fileDialogs.isEmpty());
    QVERIFY(m_extensions.events.isEmpty());
}

void TestAudioExport::cancelledDialogSaysSoAndSendsNothing()
{
    writeRecording(m_host.recording, 0.5);
    m_export->ExportDoc(); // the queue is empty: the dialog is cancelled
    QCOMPARE(m_dialogs.fileDialogs.size(), 1);
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(m_extensions.events.isEmpty());
    QCOMPARE(m_host.statuses, (QStringList{QStringLiteral("Exportiere ") + m_host.recording, "<halten>", "<frei>",
                                           "Export abgebrochen."}));
    QVERIFY(m_dialogs.progressWindows.isEmpty());
}

void TestAudioExport::exportsWavAndTellsExtensions()
{
    writeRecording(m_host.recording, 0.5);
    const QString target = m_dir->filePath(QStringLiteral("Sprachausgabe.wav"));
    exportTo(target);

    const Dialogs::FileRequest &request = m_dialogs.fileDialogs.at(0).request;
    QVERIFY(m_dialogs.fileDialogs.at(0).save);
    QCOMPARE(QFileInfo(request.initialPath).fileName(), QStringLiteral("Sprachausgabe.wav"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("wav"));
    QVERIFY(request.confirmOverwrite);
    QVERIFY(request.filter.startsWith(QStringLiteral("Audio Dateien (*.wav)|*.wav")));

    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(m_extensions.events, QStringList{QStringLiteral("Export:") + target});
    long long frames = 0;
    QCOMPARE(majorFormat(target, &frames), int(SF_FORMAT_WAV));
    QCOMPARE(frames, 11025LL);
    // The recording stays for the next export.
    QVERIFY(QFileInfo(m_host.recording).isFile());
    QCOMPARE(m_dialogs.progressWindows.size(), 1);
    QCOMPARE(m_dialogs.progressWindows[0].request.title, QStringLiteral("Exportieren"));
    QCOMPARE(m_dialogs.progressWindows[0].request.label, QStringLiteral("Exportiere …"));
    QCOMPARE(m_dialogs.progressWindows[0].request.cancel, QStringLiteral("Abbrechen"));
    QVERIFY(m_dialogs.progressWindows[0].closed);
    // "Exportiere …" stood until the file was written, then the end is said.
    QCOMPARE(m_host.statuses, (QStringList{QStringLiteral("Exportiere ") + m_host.recording, "<halten>", "<frei>",
                                           "Export beendet: " + target}));

    // The next dialog starts in the folder of the last export.
    exportTo(target);
    QCOMPARE(QFileInfo(m_dialogs.fileDialogs.at(1).request.initialPath).absolutePath(), m_dir->path());
}

void TestAudioExport::dialogOffersWhatOpens()
{
    QCOMPARE(AudioExport::filterFor({AudioFormat::Wav}), QStringLiteral("Audio Dateien (*.wav)|*.wav"));
    QCOMPARE(AudioExport::filterFor({AudioFormat::Wav, AudioFormat::Flac, AudioFormat::Mp3}),
             QStringLiteral("Audio Dateien (*.wav)|*.wav|FLAC Dateien (*.flac)|*.flac|MP3 Dateien (*.mp3)|*.mp3"));
    // WAV is first even when a probe forgets it.
    QCOMPARE(AudioExport::filterFor({AudioFormat::Opus}),
             QStringLiteral("Audio Dateien (*.wav)|*.wav|Opus Dateien (*.opus)|*.opus"));

    writeRecording(m_host.recording, 0.2);
    int probes = 0;
    m_export->setFormatProbe([&probes] {
        ++probes;
        return QList<AudioFormat>{AudioFormat::Wav, AudioFormat::OggVorbis};
    });
    m_export->ExportDoc();
    QCOMPARE(probes, 1);
    QCOMPARE(m_dialogs.fileDialogs.at(0).request.filter,
             QStringLiteral("Audio Dateien (*.wav)|*.wav|Ogg Vorbis Dateien (*.ogg)|*.ogg"));
}

void TestAudioExport::extensionChoosesFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("major");
    QTest::newRow("mp3") << "rede.mp3" << int(SF_FORMAT_MPEG);
    QTest::newRow("flac") << "rede.FLAC" << int(SF_FORMAT_FLAC);
    QTest::newRow("opus") << "rede.opus" << int(SF_FORMAT_OGG);
    QTest::newRow("unknown stays wav") << "rede.audio" << int(SF_FORMAT_WAV);
}

void TestAudioExport::extensionChoosesFormat()
{
    QFETCH(QString, name);
    QFETCH(int, major);
    writeRecording(m_host.recording, 1.0);
    const QString target = m_dir->filePath(name);
    exportTo(target);
    QVERIFY(m_dialogs.messages.isEmpty());
    QCOMPARE(majorFormat(target), major);
    QCOMPARE(m_extensions.events, QStringList{QStringLiteral("Export:") + target});
}

void TestAudioExport::failingExportShowsErrorAndLeavesNoFile_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("read-only folder") << "read-only" << 70 << "Zugriff verweigert";
    QTest::newRow("target is a folder") << "folder" << 75 << "Der Pfad ist ein Ordner, keine Datei";
    // Confirmed for overwriting or not, a special file is never replaced,
    // and the reason is what it is, not a missing permission.
    QTest::newRow("target is a pipe") << "pipe" << 75
                                      << "Der Pfad ist eine benannte Pipe (FIFO), keine gewöhnliche Datei";
    QTest::newRow("target links to /dev/full") << "device" << 75 << "Der Pfad ist ein Gerät, keine gewöhnliche Datei";
}

void TestAudioExport::failingExportShowsErrorAndLeavesNoFile()
{
    QFETCH(QString, situation);
    QFETCH(int, number);
    QFETCH(QString, description);
    writeRecording(m_host.recording, 0.3);
    QString folder = m_dir->filePath(QStringLiteral("out"));
    QDir(m_dir->path()).mkdir(QStringLiteral("out"));
    QString target = QDir(folder).filePath(QStringLiteral("Sprachausgabe.wav"));
    if (situation == QLatin1String("folder")) {
        QDir(folder).mkdir(QStringLiteral("Sprachausgabe.wav"));
    } else if (situation == QLatin1String("pipe")) {
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    } else if (situation == QLatin1String("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), target));
    } else {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0) // permissions do not stop root; a kernel folder does
            target = QStringLiteral("/sys/Sprachausgabe.wav");
    }

    exportTo(target);
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].text, QStringLiteral("Fehler: ") + description);
    QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("Fehler ") + QString::number(number));
    QCOMPARE(m_dialogs.messages[0].icon, Dialogs::Icon::Critical);
    QVERIFY(m_extensions.events.isEmpty());
    QVERIFY(!QFileInfo(target).isFile());
    QCOMPARE(m_host.statuses.mid(1), (QStringList{"<halten>", "<frei>", "Export fehlgeschlagen."}));
    struct stat kept {};
    if (situation == QLatin1String("pipe"))
        QVERIFY(::lstat(QFile::encodeName(target).constData(), &kept) == 0 && S_ISFIFO(kept.st_mode));
    if (situation == QLatin1String("device"))
        QVERIFY(QFileInfo(target).isSymLink());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             situation == QLatin1String("device") ? QStringList{QStringLiteral("Sprachausgabe.wav")} : QStringList());
}

void TestAudioExport::cancelledConversionLeavesNoFile()
{
    writeRecording(m_host.recording, 3.0);
    m_dialogs.cancelProgressAfter = 0;
    const QString target = m_dir->filePath(QStringLiteral("abgebrochen.mp3"));
    exportTo(target);
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(m_extensions.events.isEmpty());
    QCOMPARE(m_dialogs.progressWindows.size(), 1);
    QVERIFY(m_dialogs.progressWindows[0].closed);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!m_export->isExporting());
    QCOMPARE(m_host.statuses.last(), QStringLiteral("Export abgebrochen."));
}

void TestAudioExport::longRecordingReportsProgress()
{
    writeRecording(m_host.recording, 30.0);
    const QString target = m_dir->filePath(QStringLiteral("lang.ogg"));
    exportTo(target);
    QCOMPARE(m_extensions.events, QStringList{QStringLiteral("Export:") + target});
    // Progress arrives queued from the worker: whatever arrived before the
    // end rises, and none arrives after it.
    const QList<int> atEnd = m_dialogs.progressWindows.at(0).values;
    QVERIFY(std::is_sorted(atEnd.begin(), atEnd.end()));
    QCoreApplication::processEvents();
    QCOMPARE(m_dialogs.progressWindows.at(0).values, atEnd);
}

QTEST_MAIN(TestAudioExport)
#include "tst_audioexport.moc"
