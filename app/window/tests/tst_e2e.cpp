// The real quenora program on a virtual X display: started with a document
// and /s it records speech into its temporary folder, and a second start
// meanwhile shows its message and ends.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cmath>

namespace {

// Root mean square of the 16-bit samples of a PCM WAV file; -1 when it is
// not one.
double wavLoudness(const QString &file, int *samples)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return -1;
    // Find the data chunk.
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = quint32(quint8(bytes[pos + 4])) | quint32(quint8(bytes[pos + 5])) << 8
            | quint32(quint8(bytes[pos + 6])) << 16 | quint32(quint8(bytes[pos + 7])) << 24;
        pos += 8;
        if (id == "data") {
            const qsizetype end = qMin<qsizetype>(bytes.size(), pos + qsizetype(size));
            double sum = 0;
            int n = 0;
            for (qsizetype i = pos; i + 1 < end; i += 2, ++n) {
                const qint16 s = qint16(quint16(quint8(bytes[i])) | quint16(quint8(bytes[i + 1])) << 8);
                sum += double(s) * s;
            }
            *samples = n;
            return n ? std::sqrt(sum / n) : 0;
        }
        pos += size + (size & 1);
    }
    return -1;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void speaksAtStartAndRefusesASecondInstance()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        const QString xdotool = QStandardPaths::findExecutable("xdotool");
        if (xdotool.isEmpty())
            QSKIP("xdotool is not installed");

        QTemporaryDir home;
        const QString doc = home.filePath("mein brief.txt");
        {
            QFile f(doc);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Guten Tag. Dies ist ein Test der Sprachausgabe von Quenora.\n");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENORA_HOME", home.path());
        env.insert("QUENORA_AUDIO", "null");
        env.insert("QT_QPA_PLATFORM", "xcb");

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(QUENORA_EXE), {doc, "/s"});
        QVERIFY(first.waitForStarted());

        // The recorder writes the temporary recording while the window opens.
        const QDir temp(home.filePath("temp"));
        QString wav;
        double loudness = -1;
        int samples = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QStringList files = temp.entryList({"*.wav"}, QDir::Files);
                if (files.size() != 1)
                    return false;
                wav = temp.filePath(files.first());
                loudness = wavLoudness(wav, &samples);
                return samples > 22050; // more than a second of speech
            }(),
            30000);
        QVERIFY2(loudness > 300, qPrintable(QString("RMS %1 in %2").arg(loudness).arg(wav)));
        const QString base = QFileInfo(wav).completeBaseName();
        QVERIFY(base.toInt() >= 1 && base.toInt() <= 31000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(QUENORA_EXE), {doc});
        QVERIFY(second.waitForStarted());
        // Its message box: find the second process's window and answer it.
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QProcess search;
                search.start(xdotool, {"search", "--onlyvisible", "--pid", QString::number(second.processId())});
                search.waitForFinished(5000);
                window = QString::fromLatin1(search.readAllStandardOutput()).split('\n').first().trimmed();
                return !window.isEmpty();
            }(),
            20000);
        QProcess::execute(xdotool, {"windowfocus", "--sync", window});
        QProcess::execute(xdotool, {"key", "Return"});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitCode(), 0);
        // The first instance is untouched and still running.
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
