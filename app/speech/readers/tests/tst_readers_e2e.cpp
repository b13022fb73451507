// The real quenora on its own virtual X display with openbox as window manager:
// text another program puts on the clipboard is spoken (a recording
// appears), and a second window brought to the front has its title spoken
// (a fresh recording, longer than the short title spoken before it), and
// going back speaks again.
#include "SettingsStore.h"
#include "SqliteHive.h"
#include "TestWindowManager.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Byte length of the audio in a WAV file written by the recorder (the
// header is kept valid while it is written); -1 when it is none yet.
qint64 audioBytes(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.read(4096);
    const qsizetype data = bytes.indexOf("data");
    if (!bytes.startsWith("RIFF") || data < 0 || data + 8 > bytes.size())
        return -1;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData() + data + 4);
    return qint64(p[0]) | qint64(p[1]) << 8 | qint64(p[2]) << 16 | qint64(p[3]) << 24;
}

struct Desktop {
    QTemporaryDir home;
    QProcess openbox;
    QProcess quenora;
    std::vector<std::unique_ptr<QProcess>> helpers;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    ~Desktop()
    {
        for (auto &h : helpers) {
            h->kill();
            h->waitForFinished(5000);
        }
        quenora.kill();
        quenora.waitForFinished(5000);
        TestWindowManager::stop(openbox);
    }

    // Empty when everything runs, else what did not start.
    QString start(bool readClipboard, bool readTitles)
    {
        SettingsStore settings(std::make_shared<SqliteHive>(home.filePath("registry.db")));
        settings.write(SettingKeys::ReadClipboardOnChange, readClipboard ? "1" : "0");
        settings.write(SettingKeys::ReadTitleOnAppChange, readTitles ? "1" : "0");
        // Quenora's own title is the short one these tests compare with: a
        // user who wants it read switched off passing over its own windows.
        settings.write(SettingKeys::IgnoreOwnWindowTitles, "0");
        settings.write(SettingKeys::ShowWB, "0");
        settings.write(SettingKeys::Survey, "false");

        env.insert("QUENORA_HOME", home.path());
        env.insert("QUENORA_AUDIO", "null");
        env.insert("QT_QPA_PLATFORM", "xcb");
        if (const QString why = TestWindowManager::start(openbox, env); !why.isEmpty())
            return why;
        quenora.setProcessEnvironment(env);
        quenora.start(QStringLiteral(QUENORA_EXE), {});
        return quenora.waitForStarted(10000) ? QString() : "quenora: " + quenora.errorString();
    }

    QProcess &helper(const QStringList &arguments)
    {
        helpers.push_back(std::make_unique<QProcess>());
        QProcess &p = *helpers.back();
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(READER_HELPER), arguments);
        return p;
    }

    QStringList recordings() const
    {
        QStringList files = QDir(home.filePath("temp")).entryList({"*.wav"}, QDir::Files, QDir::Time | QDir::Reversed);
        for (QString &f : files)
            f = QDir(home.filePath("temp")).filePath(f);
        return files;
    }
};

QString xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(15000);
    return QString::fromLatin1(p.readAllStandardOutput()).split('\n').first().trimmed();
}

// The audio of a recording once the recorder has finished writing it.
qint64 settledAudio(const QString &file)
{
    qint64 last = -2;
    for (int stable = 0; stable < 3;) {
        QTest::qWait(200);
        const qint64 now = audioBytes(file);
        stable = now == last && now > 0 ? stable + 1 : 0;
        last = now;
    }
    return last;
}

} // namespace

class TestReadersEndToEnd : public QObject
{
    Q_OBJECT
    QProcess m_xvfb;

private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "openbox", "xdotool"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QString("needs %1").arg(tool)));
        // An X server of its own: Xvfb picks a free display number itself
        // and reports it, so tests started at the same time never share one.
        m_xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        QVERIFY(m_xvfb.waitForStarted(10000));
        QVERIFY(m_xvfb.waitForReadyRead(20000));
        const QByteArray display = m_xvfb.readLine().trimmed();
        QVERIFY2(!display.isEmpty(), "Xvfb reported no display");
        qputenv("DISPLAY", ":" + display);
        qunsetenv("XAUTHORITY");
        qunsetenv("WAYLAND_DISPLAY");
        // The number can come before the server takes clients (seen on a
        // loaded machine: the window manager then found no display); wait
        // until a client really gets through.
        bool answers = false;
        for (int attempt = 0; attempt < 100 && !answers; ++attempt) {
            QProcess probe;
            probe.start(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")});
            answers = probe.waitForFinished(5000) && probe.exitStatus() == QProcess::NormalExit
                && probe.exitCode() == 0;
            if (!answers)
                QTest::qWait(100);
        }
        QVERIFY2(answers, "the virtual display takes no clients");
    }
    void cleanupTestCase()
    {
        m_xvfb.terminate();
        if (!m_xvfb.waitForFinished(5000))
            m_xvfb.kill();
    }

    void clipboardTextFromAnotherProgramIsSpoken()
    {
        Desktop desktop;
        QCOMPARE(desktop.start(true, false), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!xdotool({"search", "--onlyvisible", "--pid",
                                           QString::number(desktop.quenora.processId())})
                                      .isEmpty(),
                                 20000);
        // An empty clipboard at start speaks nothing, so the one recording
        // is the other program's text.
        QCOMPARE(desktop.recordings().size(), 0);
        QProcess &helper = desktop.helper({"--clipboard", "Dieser Text kommt aus einem anderen Programm."});
        QVERIFY(helper.waitForReadyRead(10000));
        QTRY_COMPARE_WITH_TIMEOUT(desktop.recordings().size(), 1, 15000);
        // Well over a second of speech at 22050 Hz, 16 bit.
        QVERIFY(settledAudio(desktop.recordings().first()) > 44100);
    }

    void titleOfTheWindowInFrontIsSpoken()
    {
        Desktop desktop;
        QCOMPARE(desktop.start(false, true), QString());
        QString quenoraWindow;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(quenoraWindow = xdotool({"search", "--onlyvisible", "--pid", QString::number(desktop.quenora.processId())}))
                 .isEmpty(),
            20000);
        // Its own window comes to the front first: its short title is spoken.
        xdotool({"windowactivate", "--sync", quenoraWindow});
        QTRY_COMPARE_WITH_TIMEOUT(desktop.recordings().size(), 1, 15000);
        const qint64 ownTitle = settledAudio(desktop.recordings().first());
        QVERIFY(ownTitle > 0);

        QProcess &helper = desktop.helper(
            {"--window", "Zweites Fenster mit einem langen Titel, der deutlich länger dauert als der erste"});
        QVERIFY(helper.waitForReadyRead(10000));
        QString second;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(second = xdotool({"search", "--onlyvisible", "--pid", QString::number(helper.processId())})).isEmpty(),
            10000);
        xdotool({"windowactivate", "--sync", second});
        QTRY_COMPARE_WITH_TIMEOUT(desktop.recordings().size(), 2, 15000);
        const qint64 secondTitle = settledAudio(desktop.recordings().last());
        QVERIFY2(secondTitle > 3 * ownTitle,
                 qPrintable(QString("%1 bytes after %2 bytes").arg(secondTitle).arg(ownTitle)));

        // Back and forth: each switch speaks again.
        xdotool({"windowactivate", "--sync", quenoraWindow});
        QTRY_COMPARE_WITH_TIMEOUT(desktop.recordings().size(), 3, 15000);
        xdotool({"windowactivate", "--sync", second});
        QTRY_COMPARE_WITH_TIMEOUT(desktop.recordings().size(), 4, 15000);
    }
};

QTEST_MAIN(TestReadersEndToEnd)
#include "tst_readers_e2e.moc"
