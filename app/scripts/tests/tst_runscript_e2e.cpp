// The real quenora program on a virtual X display: "quenora --run NAME" runs
// a script of the library once the window is up; this one records its
// speech into a WAV file and ends the program.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_RunScriptE2E : public QObject
{
    Q_OBJECT
private slots:
    void runRecordsAndEnds()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath("scripts"));
        const QString wav = home.filePath("aus.wav");
        {
            QFile f(home.filePath("scripts/Aufnahme.vts"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Exportieren(" + wav.toUtf8() + ");\r\nDokument(Hallo,0);\r\nSprechen();\r\nBeenden();\r\n");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", home.path());
        env.insert("QUENORA_AUDIO", "null");
        env.insert("QT_QPA_PLATFORM", "xcb");

        QProcess quenora;
        quenora.setProcessEnvironment(env);
        quenora.start(QStringLiteral(QUENORA_EXE), {"--run", "Aufnahme"});
        QVERIFY(quenora.waitForStarted());
        QVERIFY2(quenora.waitForFinished(60000), "the script's Beenden() did not end the program");
        QCOMPARE(quenora.exitCode(), 0);

        QFile f(wav);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("RIFF"));
        QCOMPARE(bytes.mid(8, 4), QByteArray("WAVE"));
        // Well over a header: the word was spoken into it.
        QVERIFY2(bytes.size() > 8000, qPrintable(QString::number(bytes.size())));
    }
};

QTEST_GUILESS_MAIN(tst_RunScriptE2E)
#include "tst_runscript_e2e.moc"
